// The command dispatcher of the record screens: browsing, entering, editing, saving and
// deleting records, with their confirmations, permissions and access-code prompts.
#include "DateText.h"
#include "Messages.h"
#include "NumberText.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "ScreenHost.h"
#include "Session.h"

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
        m_host.OpenInquiry();
        break;
    case CommandNumber::Report:
        if (m_session.ScreenReport == 0)
            m_session.messages.Notice(QStringLiteral("No Report !"));
        else
            m_host.OpenReport();
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
    auto refuse = [&](const char* text) {
        m_session.messages.Notice(QString::fromLatin1(text));
        return false;
    };
    auto status = [&](int index) { return index < screen.FieldCount() ? screen.Text(index) : QString(); };
    switch (operation) {
    case CommandNumber::Add:
        // Bills are created only at the counter; the bill screen views and deletes them.
        if (screen.name == u"KvBill")
            return refuse("Add Disabled !");
        break;
    case CommandNumber::Modify:
        // A quote that was billed or an order that was purchased is history.
        if (screen.name == u"KvQuote" && status(13) != u"N")
            return refuse("Cannot Modify Processed Quote !");
        if (screen.name == u"KvOrder" && status(7) != u"N")
            return refuse("Cannot Modify Processed Order !");
        break;
    case CommandNumber::Delete:
        if (m_session.customization.CAllowDele == u"N")
            return refuse("Delete Denied !");
        break;
    default:
        break;
    }
    return true;
}

void RecordEngine::Add(RecordScreen& screen)
{
    if (!CheckPermission(screen, CommandNumber::Add))
        return;
    if (!m_session.messages.Ask(QStringLiteral("Confirm Add ?")))
        return;
    m_session.NewRecordPending = true;
    ClearRecord(screen);
    SwitchToEditing(screen);
}

void RecordEngine::Modify(RecordScreen& screen)
{
    if (!CheckPermission(screen, CommandNumber::Modify))
        return;
    if (IsYes(m_session.customization.CModiPass) && !AccessGranted())
        return;
    if (!screen.detailTable.isEmpty())
        CommandStep([&] { RecountDocumentLines(screen); });
    SwitchToEditing(screen);
}

void RecordEngine::Delete(RecordScreen& screen)
{
    if (!CheckPermission(screen, CommandNumber::Delete))
        return;
    if (IsYes(m_session.customization.CDelePass) && !AccessGranted())
        return;
    if (!m_session.messages.Ask(QStringLiteral("Confirm Delete ?")))
        return;

    Recordset& list = m_session.rsScreen;
    const QString id = CurrentListId();
    bool done = false;
    {
        // The document's lines (and their stock) and its row go together or not at all.
        // A failure is always reported: the record is still there.
        std::optional<Transaction> unit;
        done = Report([&] { unit.emplace(m_session.connection); });
        if (done && !screen.detailTable.isEmpty())
            done = Report([&] { DeleteDocumentLines(screen, id); });
        if (done)
            done = Report([&] {
                Transaction removal(m_session.connection);
                list.Delete();
                removal.Commit();
            });
        if (done)
            done = Report([&] { unit->Commit(); });
    }
    if (!done) {
        RestoreList(id);
        ShowCurrent(screen);
        return;
    }
    if (!ScreenListEmpty())
        m_session.RecordTotal = list.RecordCount();
    MoveNext(screen);
}

void RecordEngine::Save(RecordScreen& screen)
{
    if (!ValidateRecord(screen))
        return;

    Recordset& list = m_session.rsScreen;
    const bool adding = m_session.NewRecordPending;
    const QString shownId = CurrentListId();
    bool done = false;
    {
        // The new row, its columns and the screen's after-save rules are one unit. Failures
        // are always reported here, even on an empty table: the typed record is not lost.
        std::optional<Transaction> unit;
        done = Report([&] { unit.emplace(m_session.connection); });
        if (done && adding) {
            m_session.NewRecordPending = false;
            // The row is first stored with its entry date alone, so the database assigns its id.
            done = Report([&] {
                Transaction newRow(m_session.connection);
                list.AddNew();
                list.SetValue(QStringLiteral("EDate"), screen.Text(1));
                list.Update();
                newRow.Commit();
            });
            if (done)
                m_session.RecordTotal = list.RecordCount();
        }
        if (done)
            done = SaveRecord(screen);
        if (done)
            done = Report([&] { unit->Commit(); });
    }
    if (!done) {
        // Nothing was written: the list forgets the rolled-back row and the screen stays in
        // editing with what was typed, ready for another Save or a Cancel.
        RestoreList(shownId);
        m_session.NewRecordPending = adding;
        return;
    }
    SwitchToBrowsing(screen);
    ShowRecord(screen);
}

void RecordEngine::Xerox(RecordScreen& screen)
{
    if (!m_session.messages.Ask(QStringLiteral("Confirm Xerox ?")))
        return;
    m_session.NewRecordPending = true;
    // The copy keeps every value; its remarks say where it came from ("Id#12").
    const QString copiedId = screen.Text(0).trimmed();
    if (screen.lastField > 0 && screen.lastField < screen.FieldCount())
        screen.SetText(screen.lastField, QStringLiteral("Id#") + copiedId);
    screen.field(0).text = NewRecordText();
    if (screen.FieldCount() > 1)
        screen.SetText(1, ShortDate(Today()));
    if (!screen.detailTable.isEmpty())
        CommandStep([&] { RecountDocumentLines(screen); });
    CommandStep([&] { screen.RunRules(m_session, m_host, QStringLiteral("DX")); });
    SwitchToEditing(screen);
}

void RecordEngine::Cancel(RecordScreen& screen)
{
    SwitchToBrowsing(screen);
    m_session.rsScreen.CancelUpdate();
    if (m_session.NewRecordPending) {
        // A new record is dropped for the newest one, not for the one shown before Add.
        MoveLast(screen);
        m_session.NewRecordPending = false;
        if (ScreenListEmpty())
            ResetEmptyScreen(screen);
        return;
    }
    ShowCurrent(screen);
}

void RecordEngine::MoveFirst(RecordScreen& screen)
{
    CommandStep([&] { m_session.rsScreen.MoveFirst(); });
    ShowCurrent(screen);
}

void RecordEngine::MovePrior(RecordScreen& screen)
{
    Recordset& list = m_session.rsScreen;
    CommandStep([&] {
        list.MovePrevious();
        if (list.Bof())
            list.MoveFirst();
    });
    ShowCurrent(screen);
}

void RecordEngine::MoveNext(RecordScreen& screen)
{
    Recordset& list = m_session.rsScreen;
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
    Recordset& list = m_session.rsScreen;
    if (list.Eof())
        return;
    CommandStep([&] { list.MoveLast(); });
    ShowCurrent(screen);
}

void RecordEngine::Find(RecordScreen& screen)
{
    Recordset& list = m_session.rsScreen;
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
        m_session.messages.Notice(QStringLiteral("Invalid Id !"));
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
        if (!m_session.messages.Ask(QStringLiteral("Cancel Edits ?")))
            return;
        m_host.SetModulePaneEnabled(true);
    }
    m_host.CloseCurrentScreen();
}

} // namespace kivo
