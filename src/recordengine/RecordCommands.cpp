// The command dispatcher of the record screens: browsing, entering, editing, saving and
// deleting records, with their confirmations, permissions and access-code prompts.
#include "DateText.h"
#include "Messages.h"
#include "NumberText.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "ScreenHost.h"
#include "ScreenRules.h"

#include <cmath>
#include <optional>
#include <QPointer>

namespace kivo {

void RecordEngine::RecordCommand(int number)
{
    RecordScreen* open = Current();
    if (number == CommandNumber::ToolbarLabels) {
        m_host.SetCommandState(QStringLiteral("Text"));
        return;
    }
    if (!open) {
        if (number == CommandNumber::Exit)
            m_host.CloseMainWindow();
        return;
    }
    // Exit may close and destroy the screen; everything after it checks the guard.
    QPointer<RecordScreen> screen(open);
    switch (number) {
    case CommandNumber::Add:
        Add(*screen);
        break;
    case CommandNumber::Modify:
        Modify(*screen);
        break;
    case CommandNumber::Delete:
        Delete(*screen);
        break;
    case CommandNumber::Save:
        Save(*screen);
        break;
    case CommandNumber::Xerox:
        Xerox(*screen);
        break;
    case CommandNumber::Cancel:
        Cancel(*screen);
        break;
    case CommandNumber::First:
        MoveFirst(*screen);
        break;
    case CommandNumber::Prior:
        MovePrior(*screen);
        break;
    case CommandNumber::Next:
        MoveNext(*screen);
        break;
    case CommandNumber::Last:
        MoveLast(*screen);
        break;
    case CommandNumber::Inquiry:
        m_host.OpenInquiry(*screen);
        break;
    case CommandNumber::Report:
        if (const int report = screen->rules->ReportCode(m_context, screen->report); report == 0)
            m_context.messages.Notice(QStringLiteral("No Report !"));
        else
            m_host.OpenReport(report);
        break;
    case CommandNumber::Exit:
        Exit(*screen);
        break;
    case CommandNumber::Find:
        Find(*screen);
        break;
    default:
        break;
    }
    if (screen)
        screen->NotifyChanged();
}

bool RecordEngine::CheckPermission(RecordScreen& screen, int operation)
{
    QString refusal = screen.rules->Refusal(screen, operation);
    if (refusal.isEmpty() && operation == CommandNumber::Delete && m_context.customization.CAllowDele == u"N")
        refusal = QStringLiteral("Delete Denied !");
    if (refusal.isEmpty())
        return true;
    m_context.messages.Notice(refusal);
    return false;
}

void RecordEngine::Add(RecordScreen& screen)
{
    if (!CheckPermission(screen, CommandNumber::Add))
        return;
    if (!m_context.messages.Ask(QStringLiteral("Confirm Add ?")))
        return;
    screen.newRecordPending = true;
    ClearRecord(screen);
    SwitchToEditing(screen);
}

void RecordEngine::Modify(RecordScreen& screen)
{
    if (!CheckPermission(screen, CommandNumber::Modify))
        return;
    if (IsYes(m_context.customization.CModiPass) && !m_host.AskAccessCode())
        return;
    if (screen.lines)
        CommandStep([&] { screen.lines->Recount(m_context, screen); });
    SwitchToEditing(screen);
}

void RecordEngine::Delete(RecordScreen& screen)
{
    if (!CheckPermission(screen, CommandNumber::Delete))
        return;
    if (IsYes(m_context.customization.CDelePass) && !m_host.AskAccessCode())
        return;
    if (!m_context.messages.Ask(QStringLiteral("Confirm Delete ?")))
        return;

    Recordset& list = *screen.list;
    const QString id = CurrentListId(screen);
    bool done = false;
    {
        // The document's lines (and their stock) and its row go together or not at all.
        // A failure is always reported: the record is still there.
        std::optional<Transaction> unit;
        done = Report([&] { unit.emplace(m_context.connection); });
        if (done && screen.lines)
            done = Report([&] { screen.lines->Delete(m_context, screen, id); });
        if (done)
            done = Report([&] {
                Transaction removal(m_context.connection);
                list.Delete();
                removal.Commit();
            });
        if (done)
            done = Report([&] { unit->Commit(); });
    }
    if (!done) {
        RestoreList(screen, id);
        ShowCurrent(screen);
        return;
    }
    if (!ListEmpty(screen))
        screen.recordTotal = list.RecordCount();
    MoveNext(screen);
}

void RecordEngine::Save(RecordScreen& screen)
{
    if (!ValidateRecord(screen))
        return;

    Recordset& list = *screen.list;
    const bool adding = screen.newRecordPending;
    const QString shownId = CurrentListId(screen);
    bool done = false;
    {
        // The new row, its columns and the screen's after-save rules are one unit. Failures
        // are always reported here, even on an empty table: the typed record is not lost.
        std::optional<Transaction> unit;
        done = Report([&] { unit.emplace(m_context.connection); });
        if (done && adding) {
            screen.newRecordPending = false;
            // The row is first stored with its entry date alone, so the database assigns its id.
            done = Report([&] {
                Transaction newRow(m_context.connection);
                list.AddNew();
                list.SetValue(QStringLiteral("EDate"), screen.Text(1));
                list.Update();
                newRow.Commit();
            });
            if (done)
                screen.recordTotal = list.RecordCount();
        }
        if (done)
            done = SaveRecord(screen);
        if (done)
            done = Report([&] { unit->Commit(); });
    }
    if (!done) {
        // Nothing was written: the list forgets the rolled-back row and the screen stays in
        // editing with what was typed, ready for another Save or a Cancel.
        RestoreList(screen, shownId);
        screen.newRecordPending = adding;
        return;
    }
    SwitchToBrowsing(screen);
    ShowRecord(screen);
}

void RecordEngine::Xerox(RecordScreen& screen)
{
    if (!m_context.messages.Ask(QStringLiteral("Confirm Xerox ?")))
        return;
    screen.newRecordPending = true;
    screen.ForgetShownTexts();
    // The copy keeps every value; its remarks say where it came from ("Id#12").
    const QString copiedId = screen.Text(0).trimmed();
    if (screen.lastField > 0 && screen.lastField < screen.FieldCount())
        screen.SetText(screen.lastField, QStringLiteral("Id#") + copiedId);
    screen.field(0).text = NewRecordText();
    if (screen.FieldCount() > 1)
        screen.SetText(1, ShortDate(m_context.Today()));
    if (screen.lines)
        CommandStep([&] { screen.lines->Recount(m_context, screen); });
    CommandStep([&] { screen.rules->AfterCopy(m_context, m_host, screen); });
    SwitchToEditing(screen);
}

void RecordEngine::Cancel(RecordScreen& screen)
{
    SwitchToBrowsing(screen);
    screen.list->CancelUpdate();
    if (screen.newRecordPending) {
        // A new record is dropped for the newest one, not for the one shown before Add.
        MoveLast(screen);
        screen.newRecordPending = false;
        if (ListEmpty(screen))
            ResetEmptyScreen(screen);
        return;
    }
    ShowCurrent(screen);
}

void RecordEngine::MoveFirst(RecordScreen& screen)
{
    CommandStep([&] { screen.list->MoveFirst(); });
    ShowCurrent(screen);
}

void RecordEngine::MovePrior(RecordScreen& screen)
{
    Recordset& list = *screen.list;
    CommandStep([&] {
        list.MovePrevious();
        if (list.Bof())
            list.MoveFirst();
    });
    ShowCurrent(screen);
}

void RecordEngine::MoveNext(RecordScreen& screen)
{
    Recordset& list = *screen.list;
    CommandStep([&] {
        list.MoveNext();
        if (list.Eof())
            list.MoveLast();
    });
    if (ShowCurrent(screen))
        SwitchToBrowsing(screen);
}

void RecordEngine::MoveLast(RecordScreen& screen)
{
    Recordset& list = *screen.list;
    if (list.Eof())
        return;
    CommandStep([&] { list.MoveLast(); });
    ShowCurrent(screen);
}

void RecordEngine::Find(RecordScreen& screen)
{
    Recordset& list = *screen.list;
    QString wanted = m_host.FindBoxText().trimmed();
    if (!IsNumeric(wanted)) {
        m_host.SetFindBoxText(QStringLiteral("0"));
        wanted = QStringLiteral("0");
    }
    // Ids are whole numbers: any other number names no record.
    auto findId = [&](const QString& text) {
        const std::optional<double> id = ParseNumber(text);
        if (!id || *id != std::trunc(*id) || std::abs(*id) > 9.0e15)
            return false;
        list.MoveFirst();
        return list.Find(QStringLiteral("EId=") + QString::number(qint64(*id)));
    };
    bool found = false;
    CommandStep([&] { found = findId(wanted); });
    if (!found) {
        m_context.messages.Notice(QStringLiteral("Invalid Id !"));
        // Back to the record shown before, or to the newest one when none was.
        CommandStep([&] {
            if (!findId(screen.Text(0).trimmed()))
                list.MoveLast();
        });
    }
    emit screen.focusRequested();
    ShowCurrent(screen);
}

void RecordEngine::Exit(RecordScreen& screen)
{
    if (screen.frameEnabled) {
        if (!m_context.messages.Ask(QStringLiteral("Cancel Edits ?")))
            return;
        m_host.SetModulePaneEnabled(true);
    }
    m_host.CloseCurrentScreen();
}

} // namespace kivo
