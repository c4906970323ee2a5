#pragma once

#include <QString>

namespace kivo {

class ProgramContext;
class Recordset;
class RecordScreen;
class ScreenHost;

// What one screen adds to the record engine at fixed moments. The engine knows no particular
// screen: everything a screen does differently lives in its rules object, attached when the
// screen is built from the screen catalogue. Every hook does nothing by default.
class ScreenRules {
public:
    virtual ~ScreenRules() = default;

    // "DL": after a record is shown.
    virtual void AfterShow(ProgramContext&, ScreenHost&, RecordScreen&) { }
    // "DI": after the screen is cleared for a new record.
    virtual void AfterClear(ProgramContext&, ScreenHost&, RecordScreen&) { }
    // "DS": after a save, inside the save's transaction, with the saved row.
    virtual void AfterSave(ProgramContext&, ScreenHost&, RecordScreen&, Recordset&) { }
    // "DX": after a Xerox copy was prepared.
    virtual void AfterCopy(ProgramContext&, ScreenHost&, RecordScreen&) { }
    // "FC": when the screen closes.
    virtual void OnClose(ProgramContext&, ScreenHost&, RecordScreen&) { }

    // The notice that refuses an operation (1 Add, 2 Modify, 3 Delete) on this screen, or
    // empty when the screen allows it.
    virtual QString Refusal(const RecordScreen&, int) const { return {}; }
    // The report the Report command opens; designed: the catalogue's report code.
    virtual int ReportCode(const ProgramContext&, int designed) const { return designed; }
    // A press of the button beside field index that the screen handles itself; false leaves
    // it to the engine ("<" steps the options, "+" opens the pick list).
    virtual bool PressListButton(ProgramContext&, ScreenHost&, RecordScreen&, int) { return false; }
    // Whether the screen's window shows the colour samples beside its look fields.
    virtual bool ShowsColourSamples() const { return false; }
};

} // namespace kivo
