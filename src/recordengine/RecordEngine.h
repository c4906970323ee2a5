#pragma once

#include "CommandNumbers.h"

#include <functional>
#include <QDate>
#include <QPointer>
#include <QString>

namespace kivo {

class ProgramContext;
class ScreenHost;
class RecordScreen;
class Recordset;

// What field 0 shows for a record that is not stored yet.
inline QString NewRecordText()
{
    return QStringLiteral("(New)");
}

// The generic record form engine: shows, browses, edits, validates and saves the record of
// whatever register or document screen is open (CurrentForm). It knows no particular table
// or screen: each field's descriptor says what to do with it, and the screen brings its
// table, last field, rules object and (for documents) its line grid. Every routine reports
// its failures through the error reporter and goes on with its next step; nothing here opens
// a dialog.
//
// Each Save (the new row, the record's columns, its lines and the screen's after-save
// rules), each Delete and so each Xerox followed by Save is one transaction: a failing step
// is reported and the whole unit is rolled back, so the database never holds half a record,
// and a crash at any instant leaves it as before the command.
class RecordEngine {
public:
    RecordEngine(ProgramContext& context, ScreenHost& host);

    // CurrentForm: the open record screen, or nullptr when none is open.
    RecordScreen* Current() const;

    // Screen frame. Opening makes the screen CurrentForm, opens its browse list over
    // "Select EId, EDate From " + table, shows the newest record and sets the command state.
    // Closing runs the screen's close rules, releases its list and returns the main window
    // to idle.
    void OpenRecordScreen(RecordScreen& screen);
    void CloseRecordScreen(RecordScreen& screen);
    // The "<" button of field index: writes the next option of its hint into the field.
    static void CycleChoice(RecordScreen& screen, int index);
    // The button cmdList(index) beside a field: the screen's own handling first, then "<"
    // steps the options and "+" opens the list picker, whose pick goes into the field (its
    // name into the hint).
    void PressListButton(RecordScreen& screen, int index);

    // Record display. ShowRecord shows the list's current row; ClearRecord turns the screen
    // into an empty new record.
    void ShowRecord(RecordScreen& screen);
    void ClearRecord(RecordScreen& screen);
    // Puts the name behind the id in field index into its hint: sql + the field's text
    // (quoted when sql ends with a quote), first column of the first row; empty when nothing.
    static void ShowLookup(ProgramContext& context, RecordScreen& screen, int index, const QString& sql);

    // Commands: 1 Add, 2 Modify, 3 Delete, 5 Save, 6 Xerox, 7 Cancel, 9 First, 10 Prior,
    // 11 Next, 12 Last, 14 Inquiry, 15 Report, 17 Exit, 19 toolbar labels, 99 find by id.
    // Any other number does nothing.
    void RecordCommand(int number);
    // 1 Add, 2 Modify, 3 Delete: false (after its message) when the operation is refused.
    bool CheckPermission(RecordScreen& screen, int operation);

    // Checks every field against its descriptor and the unique fields against the table;
    // lists all problems in one message and returns false when there is any.
    bool ValidateRecord(RecordScreen& screen);
    // Writes the fields into the row the list stands on, by column position, then the lines
    // and the screen's after-save rules, as one transaction (a savepoint inside the caller's).
    // Returns false, with everything it wrote rolled back, when a step failed.
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
    static bool ListEmpty(const RecordScreen& screen);
    static QString CurrentListId(const RecordScreen& screen);
    // The screen's table row of record id, read for showing or saving it.
    void OpenRow(Recordset& row, const RecordScreen& screen, const QString& id);
    void ResetEmptyScreen(RecordScreen& screen);
    // Shows the list's current row, or resets the screen when the list is empty. Returns
    // whether a record is shown.
    bool ShowCurrent(RecordScreen& screen);
    void ShowPosition(const RecordScreen& screen);
    // After a rolled-back command: the list is read again and stands on the record with id
    // (or on its last row), so it holds no row the database does not.
    void RestoreList(RecordScreen& screen, const QString& id);
    void SwitchToEditing(RecordScreen& screen);
    void SwitchToBrowsing(RecordScreen& screen);
    void SetCommandState(const RecordScreen& screen, const QString& key);

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

    ProgramContext& m_context;
    ScreenHost& m_host;
    QPointer<RecordScreen> m_current;
};

} // namespace kivo
