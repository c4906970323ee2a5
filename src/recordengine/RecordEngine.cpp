#include "RecordEngine.h"

#include "Messages.h"
#include "NumberText.h"
#include "ProgramContext.h"
#include "RecordScreen.h"
#include "ScreenHost.h"

#include <cmath>

namespace kivo {

RecordEngine::RecordEngine(ProgramContext& context, ScreenHost& host)
    : m_context(context)
    , m_host(host)
{
}

RecordScreen* RecordEngine::Current() const
{
    return m_current.data();
}

bool RecordEngine::Report(const std::function<void()>& step)
{
    return TryStep(m_context.errors, step);
}

bool RecordEngine::CommandStep(const std::function<void()>& step)
{
    auto failed = [&](int number, const QString& source, const QString& description) {
        // A command that fails on an empty table has nothing to show: the screen goes back
        // to its empty state instead of reporting a missing record.
        RecordScreen* screen = Current();
        if (screen && ListEmpty(*screen))
            ResetEmptyScreen(*screen);
        else
            m_context.errors.ReportError(number, source, description);
    };
    try {
        step();
        return true;
    } catch (const DbError& error) {
        failed(error.number, error.source, error.description);
    } catch (const std::exception& error) {
        failed(ErrorNumber::Unexpected, QStringLiteral("Kivo"), QString::fromLocal8Bit(error.what()));
    }
    return false;
}

QString RecordEngine::SqlOperand(const QString& text)
{
    const std::optional<double> number = ParseNumber(text);
    if (number && std::isfinite(*number)) {
        if (*number == std::trunc(*number) && std::abs(*number) < 9.0e15)
            return QString::number(qint64(*number));
        return QString::number(*number, 'g', 17);
    }
    return u'\'' + SqlQuote(text) + u'\'';
}

bool RecordEngine::ListEmpty(const RecordScreen& screen)
{
    const Recordset* list = screen.list.get();
    return !list || !list->IsOpen() || (list->Bof() && list->Eof());
}

QString RecordEngine::CurrentListId(const RecordScreen& screen)
{
    const Recordset* list = screen.list.get();
    if (!list || !list->IsOpen() || list->Bof() || list->Eof())
        return {};
    return list->Text(QStringLiteral("EId"));
}

void RecordEngine::OpenRow(Recordset& row, const RecordScreen& screen, const QString& id)
{
    row.Open(QStringLiteral("Select * From ") + screen.table + QStringLiteral(" Where EId= ") + id);
    if (row.Eof())
        throw DbError(DbErrorNumber::NoCurrentRecord, QStringLiteral("RecordEngine"),
            QStringLiteral("Record %1 is no longer in %2").arg(id, screen.table));
}

void RecordEngine::ResetEmptyScreen(RecordScreen& screen)
{
    screen.newRecordPending = false;
    ClearRecord(screen);
    SwitchToBrowsing(screen);
    m_host.SetPositionLabel(QStringLiteral("."));
}

void RecordEngine::ShowPosition(const RecordScreen& screen)
{
    const Recordset* list = screen.list.get();
    const int position = list && list->IsOpen() ? list->AbsolutePosition() : -1;
    m_host.SetPositionLabel(position > 0
            ? QString::number(position) + QStringLiteral(" / ") + QString::number(screen.recordTotal)
            : QStringLiteral("."));
}

void RecordEngine::SetCommandState(const RecordScreen& screen, const QString& key)
{
    const Recordset* list = screen.list.get();
    m_host.SetCommandState(key, !list || !list->IsOpen() || list->Eof());
}

void RecordEngine::SwitchToEditing(RecordScreen& screen)
{
    SetCommandState(screen, QStringLiteral("Edit"));
    screen.frameEnabled = true;
}

void RecordEngine::SwitchToBrowsing(RecordScreen& screen)
{
    SetCommandState(screen, screen.screenKey);
    screen.frameEnabled = false;
}

void RecordEngine::RestoreList(RecordScreen& screen, const QString& id)
{
    Recordset& list = *screen.list;
    // A row added or removed inside the rolled-back transaction is still in the list; drop
    // any pending change first, or reading the list again would write it.
    list.CancelUpdate();
    Report([&] {
        list.Requery();
        if (id.isEmpty() || !list.Find(QStringLiteral("EId=") + id))
            list.MoveLast();
    });
    if (!ListEmpty(screen))
        screen.recordTotal = list.RecordCount();
}

void RecordEngine::OpenRecordScreen(RecordScreen& screen)
{
    m_current = &screen;
    m_host.ShowScreenCaption(QStringLiteral("Loading..."));
    m_host.ShowDashboard(false);

    screen.list = std::make_unique<Recordset>(m_context.connection);
    Recordset& list = *screen.list;
    // A table that cannot be read still opens its screen, empty, after the error message.
    Report([&] { list.Open(QStringLiteral("Select EId, EDate From ") + screen.table); });
    if (!ListEmpty(screen))
        screen.recordTotal = list.RecordCount();

    RecordCommand(CommandNumber::Last);
    SwitchToBrowsing(screen);

    m_host.SetFindBoxText(QStringLiteral("Find Id"));
    m_host.ShowLeftPane(true);
    m_host.ShowScreenCaption(screen.caption);
    screen.NotifyChanged();
}

void RecordEngine::CloseRecordScreen(RecordScreen& screen)
{
    // A screen closed while its record was being edited leaves the pane (disabled) in view
    // and the dashboard hidden.
    if (m_host.ModulePaneEnabled()) {
        m_host.ShowLeftPane(false);
        if (IsYes(m_context.customization.CShowDash))
            m_host.ShowDashboard(true);
    }

    Report([&] { screen.rules->OnClose(m_context, m_host, screen); });

    screen.list.reset();
    screen.choiceField = 0;
    // An edit abandoned by closing the screen must not make a later Save add a row.
    screen.newRecordPending = false;
    if (m_current == &screen)
        m_current = nullptr;

    m_host.SetCommandState(QStringLiteral("Help"));
    m_host.SetPositionLabel(QStringLiteral("."));
    m_host.ShowScreenCaption(QStringLiteral("Main"));
    m_host.ResetModuleColours();
}

void RecordEngine::CycleChoice(RecordScreen& screen, int index)
{
    if (index < 0 || index >= screen.FieldCount())
        return;
    if (index != screen.choiceField) {
        screen.choiceField = index;
        screen.choicePosition = 0;
    }
    // "0/1/2 (Digit after Decimal)": the note after the last option stays with it and is cut
    // off by the field's length, so a one-character field receives "2".
    const QStringList choices = screen.field(index).hint.split(u'/');
    const int position = screen.choicePosition % int(choices.size());
    screen.SetText(index, choices.at(position));
    screen.choicePosition = (position + 1) % int(choices.size());
    screen.NotifyChanged();
}

void RecordEngine::PressListButton(RecordScreen& screen, int index)
{
    if (index < 0 || index >= screen.FieldCount())
        return;
    if (screen.rules->PressListButton(m_context, m_host, screen, index))
        return;
    Field& field = screen.field(index);
    if (field.button == u"<") {
        CycleChoice(screen, index);
    } else if (field.button == u"+") {
        const std::optional<ListPick> pick = m_host.PickFromList(field.pickSource);
        if (!pick)
            return;
        field.hint = pick->name;
        screen.SetText(index, pick->key);
        screen.NotifyChanged();
    }
}

} // namespace kivo
