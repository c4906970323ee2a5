#pragma once

#include <functional>
#include <QDate>
#include <QString>

namespace kivo {

class Session;
class ScreenHost;
class RecordScreen;

// The command numbers of the Operation menu and the toolbar (4, 8 and 13 are separators).
namespace CommandNumber {
inline constexpr int Add = 1;
inline constexpr int Modify = 2;
inline constexpr int Delete = 3;
inline constexpr int Save = 5;
inline constexpr int Xerox = 6;
inline constexpr int Cancel = 7;
inline constexpr int First = 9;
inline constexpr int Prior = 10;
inline constexpr int Next = 11;
inline constexpr int Last = 12;
inline constexpr int Inquiry = 14;
inline constexpr int Report = 15;
inline constexpr int Exit = 17;
inline constexpr int ToolbarLabels = 19;
inline constexpr int Find = 99;
} // namespace CommandNumber

// What field 0 shows for a record that is not stored yet.
inline QString NewRecordText()
{
    return QStringLiteral("(New)");
}

// The generic record form engine: shows, browses, edits, validates and saves the record of
// whatever register or document screen is open (the session's CurrentForm). It knows no
// particular table; each field's descriptor says what to do with it, and the screen says
// which table, last field and rules it has. Every routine reports its failures through the
// session's error reporter and goes on with its next step; nothing here opens a dialog.
//
// Each Save (the new row, the record's columns and the screen's after-save rules), each
// Delete and so each Xerox followed by Save is one transaction: a failing step is reported
// and the whole unit is rolled back, so the database never holds half a record, and a crash
// at any instant leaves it as before the command.
class RecordEngine {
public:
    RecordEngine(Session& session, ScreenHost& host);

    // The open record screen, or nullptr when none is open.
    RecordScreen* Current() const;

    // "Today" for new records and copies; the clock by default, fixed by tests.
    void SetClock(std::function<QDate()> today) { m_today = std::move(today); }
    QDate Today() const { return m_today(); }

    // Screen frame. Opening makes the screen CurrentForm, takes its table, key, last field and
    // report into the screen context, opens rsScreen over "Select EId, EDate From " + table,
    // shows the newest record and sets the command state. Closing runs the screen's "FC" rules,
    // releases the shared recordsets and returns the main window to idle.
    void OpenRecordScreen(RecordScreen& screen);
    void CloseRecordScreen(RecordScreen& screen);
    // The "<" button of field index: writes the next option of its hint into the field.
    void CycleChoice(RecordScreen& screen, int index);

    // Record display. ShowRecord shows the current row of rsScreen; ClearRecord turns the
    // screen into an empty new record.
    void ShowRecord(RecordScreen& screen);
    void ClearRecord(RecordScreen& screen);
    // Puts the name behind the id in field index into its hint: sql + the field's text
    // (quoted when sql ends with a quote), first column of the first row; empty when nothing.
    // Static so that a screen's rules can call it with the session they are given.
    static void ShowLookup(Session& session, RecordScreen& screen, int index, const QString& sql);
    void ShowLookup(RecordScreen& screen, int index, const QString& sql)
    {
        ShowLookup(m_session, screen, index, sql);
    }

    // Commands: 1 Add, 2 Modify, 3 Delete, 5 Save, 6 Xerox, 7 Cancel, 9 First, 10 Prior,
    // 11 Next, 12 Last, 14 Inquiry, 15 Report, 17 Exit, 19 toolbar labels, 99 find by id.
    // Any other number does nothing.
    void RecordCommand(int number);
    // 1 Add, 2 Modify, 3 Delete: false (after its message) when the operation is refused.
    bool CheckPermission(RecordScreen& screen, int operation);

    // Checks every field against its descriptor and the unique fields against the table;
    // lists all problems in one message and returns false when there is any.
    bool ValidateRecord(RecordScreen& screen);
    // Writes the fields into the row rsScreen stands on, by column position, and runs the
    // screen's "DS" rules on the saved row, as one transaction (a savepoint inside the
    // caller's). Returns false, with everything it wrote rolled back, when a step failed.
    bool SaveRecord(RecordScreen& screen);

private:
    // A step of a routine: a failure is reported and the routine goes on.
    bool Report(const std::function<void()>& step);
    // A step of a command: as Report, except that a failure on an empty screen list resets
    // the screen to its empty state instead.
    bool CommandStep(const std::function<void()>& step);
    // A typed value placed unquoted in a statement: the number it reads as, or else the
    // text as one quoted literal, so that nothing typed can change the statement.
    static QString SqlOperand(const QString& text);
    bool ScreenListEmpty() const;
    void ResetEmptyScreen(RecordScreen& screen);
    // Shows the current row of rsScreen, or resets the screen when the list is empty.
    // Returns whether a record is shown.
    bool ShowCurrent(RecordScreen& screen);
    void ShowPosition();
    QString CurrentListId() const;
    // After a rolled-back command: the list is read again and stands on the record with id
    // (or on its last row), so it holds no row the database does not.
    void RestoreList(const QString& id);
    void SwitchToEditing(RecordScreen& screen);
    void SwitchToBrowsing(RecordScreen& screen);
    // The access-code prompt: true when the right code was given.
    bool AccessGranted();

    void Add(RecordScreen& screen);
    void Modify(RecordScreen& screen);
    void Delete(RecordScreen& screen);
    void Save(RecordScreen& screen);
    void Xerox(RecordScreen& screen);
    void Cancel(RecordScreen& screen);
    void MoveFirst(RecordScreen& screen);
    void MovePrior(RecordScreen& screen);
    void MoveNext(RecordScreen& screen);
    void MoveLast(RecordScreen& screen);
    void Find(RecordScreen& screen);
    void Exit(RecordScreen& screen);

    // Document screens (a detail table): the line grid and its stock posting come with the
    // document screens; until then these do nothing and a document has no line check.
    void ShowDocumentLines(RecordScreen& screen);
    void RecountDocumentLines(RecordScreen& screen);
    void DeleteDocumentLines(RecordScreen& screen, const QString& id);
    void SaveDocumentLines(RecordScreen& screen, const QString& id);
    bool DocumentHasNoLines(const RecordScreen& screen) const;

    Session& m_session;
    ScreenHost& m_host;
    std::function<QDate()> m_today;
};

} // namespace kivo
