#pragma once

#include <QString>

namespace kivo {

class Session;
class ScreenHost;
class RecordScreen;

// The generic record form engine: shows, browses, edits, validates and saves the record of
// whatever register or document screen is open (the session's CurrentForm). It knows no
// particular table; each field's descriptor says what to do with it. Every routine reports
// its failures through the session's error reporter and goes on with its next step.
class RecordEngine {
public:
    RecordEngine(Session& session, ScreenHost& host);

    // The open record screen, or nullptr when none is open.
    RecordScreen* Current() const;

    // Screen frame: opening sizes nothing here (the window does) but opens rsScreen over
    // "Select EId, EDate From " + table, applies nothing visual, shows the newest record and
    // sets the command state; closing releases the shared recordsets and returns to idle.
    void OpenRecordScreen(RecordScreen& screen);
    void CloseRecordScreen(RecordScreen& screen);
    // The "<" button of field index: writes the next option of its hint into the field.
    void CycleChoice(RecordScreen& screen, int index);

    // Record display.
    void ShowRecord(RecordScreen& screen);
    void ClearRecord(RecordScreen& screen);
    void ShowLookup(RecordScreen& screen, int index, const QString& sql);

    // Commands: 1 Add, 2 Modify, 3 Delete, 5 Save, 6 Xerox, 7 Cancel, 9 First, 10 Prior,
    // 11 Next, 12 Last, 14 Inquiry, 15 Report, 17 Exit, 19 toolbar labels, 99 find by id.
    void RecordCommand(int number);
    // 1 Add, 2 Modify, 3 Delete: false (after its message) when the operation is refused.
    bool CheckPermission(RecordScreen& screen, int operation);

    // Validation and save.
    bool ValidateRecord(RecordScreen& screen);
    void SaveRecord(RecordScreen& screen);

private:
    Session& m_session;
    ScreenHost& m_host;
};

} // namespace kivo
