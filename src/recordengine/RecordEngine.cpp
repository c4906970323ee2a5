#include "RecordEngine.h"

#include "NumberText.h"
#include "RecordScreen.h"
#include "ScreenHost.h"
#include "Session.h"

#include <cmath>

namespace kivo {

RecordEngine::RecordEngine(Session& session, ScreenHost& host)
    : m_session(session)
    , m_host(host)
    , m_today([] { return QDate::currentDate(); })
{
}

RecordScreen* RecordEngine::Current() const
{
    return qobject_cast<RecordScreen*>(m_session.CurrentForm.data());
}

bool RecordEngine::Report(const std::function<void()>& step)
{
    return TryStep(m_session.errors, step);
}

bool RecordEngine::CommandStep(const std::function<void()>& step)
{
    auto failed = [&](int number, const QString& source, const QString& description) {
        // A command that fails on an empty table has nothing to show: the screen goes back
        // to its empty state instead of reporting a missing record.
        RecordScreen* screen = Current();
        if (screen && ScreenListEmpty())
            ResetEmptyScreen(*screen);
        else
            m_session.errors.ReportError(number, source, description);
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

bool RecordEngine::ScreenListEmpty() const
{
    return m_session.rsScreen.Bof() && m_session.rsScreen.Eof();
}

QString RecordEngine::CurrentListId() const
{
    const Recordset& list = m_session.rsScreen;
    if (!list.IsOpen() || list.Bof() || list.Eof())
        return {};
    return list.Text(QStringLiteral("EId"));
}

void RecordEngine::ResetEmptyScreen(RecordScreen& screen)
{
    m_session.NewRecordPending = false;
    ClearRecord(screen);
    SwitchToBrowsing(screen);
    m_host.SetPositionLabel(QStringLiteral("."));
}

void RecordEngine::ShowPosition()
{
    const Recordset& list = m_session.rsScreen;
    const int position = list.IsOpen() ? list.AbsolutePosition() : -1;
    m_host.SetPositionLabel(position > 0
            ? QString::number(position) + QStringLiteral(" / ") + QString::number(m_session.RecordTotal)
            : QStringLiteral("."));
}

void RecordEngine::SwitchToEditing(RecordScreen& screen)
{
    m_host.SetCommandState(QStringLiteral("Edit"));
    screen.frameEnabled = true;
}

void RecordEngine::SwitchToBrowsing(RecordScreen& screen)
{
    m_host.SetCommandState(m_session.ScreenKey);
    screen.frameEnabled = false;
}

bool RecordEngine::AccessGranted()
{
    m_session.AccessResult = QStringLiteral("N");
    m_host.AskAccessCode();
    return m_session.AccessResult != u"N";
}

void RecordEngine::RestoreList(const QString& id)
{
    Recordset& list = m_session.rsScreen;
    // A row added or removed inside the rolled-back transaction is still in the snapshot;
    // drop any pending change first, or reading the list again would write it.
    list.CancelUpdate();
    Report([&] {
        list.Requery();
        if (id.isEmpty() || !list.Find(QStringLiteral("EId=") + id))
            list.MoveLast();
    });
    if (!ScreenListEmpty())
        m_session.RecordTotal = list.RecordCount();
}

void RecordEngine::OpenRecordScreen(RecordScreen& screen)
{
    m_session.CurrentForm = &screen;
    m_session.ScreenKey = screen.screenKey;
    m_session.ScreenTable = screen.table;
    m_session.DetailTable = screen.detailTable;
    m_session.LastField = screen.lastField;
    m_session.ScreenReport = screen.report;

    m_host.ShowScreenCaption(QStringLiteral("Loading..."));
    m_host.ShowDashboard(false);

    m_session.SqlText = QStringLiteral("Select EId, EDate From ") + screen.table;
    Recordset& list = m_session.rsScreen;
    list.Close();
    // A table that cannot be read still opens its screen, empty, after the error message.
    Report([&] { list.Open(m_session.SqlText); });
    if (!list.Bof() && !list.Eof())
        m_session.RecordTotal = list.RecordCount();

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
        if (IsYes(m_session.customization.CShowDash))
            m_host.ShowDashboard(true);
    }

    Report([&] { screen.RunRules(m_session, m_host, QStringLiteral("FC")); });

    for (Recordset* slot : { &m_session.rsScreen, &m_session.rsWork, &m_session.rsDetail, &m_session.rsUser,
             &m_session.rsEnterprise, &m_session.rsList1, &m_session.rsList2 })
        slot->Close();
    m_session.CurrentForm = nullptr;

    m_session.ScreenReport = 0;
    m_session.ChoiceField = 0;
    m_session.ScreenKey.clear();
    // An edit abandoned by closing the screen must not make the next screen's Save add a row.
    m_session.NewRecordPending = false;

    m_host.SetCommandState(QStringLiteral("Help"));
    m_host.SetPositionLabel(QStringLiteral("."));
    m_host.ShowScreenCaption(QStringLiteral("Main"));
    m_host.ResetModuleColours();
}

void RecordEngine::CycleChoice(RecordScreen& screen, int index)
{
    if (index < 0 || index >= screen.FieldCount())
        return;
    if (index != m_session.ChoiceField) {
        m_session.ChoiceField = index;
        m_session.ChoicePosition = 0;
    }
    // "0/1/2 (Digit after Decimal)": the note after the last option stays with it and is cut
    // off by the field's length, so a one-character field receives "2".
    const QStringList choices = screen.field(index).hint.split(u'/');
    const int position = m_session.ChoicePosition % int(choices.size());
    screen.SetText(index, choices.at(position));
    m_session.ChoicePosition = (position + 1) % int(choices.size());
    screen.NotifyChanged();
}

} // namespace kivo
