#pragma once

#include <optional>
#include <QString>

namespace kivo {

class RecordScreen;

// A row chosen in the list picker: the key that goes into the field and the name shown
// beside it.
struct ListPick {
    QString key;
    QString name;
};

// What the record engine needs from the main window and the rest of the program. The main
// window side implements it; the engine never includes a window, and tests script it.
class ScreenHost {
public:
    virtual ~ScreenHost() = default;

    // The command state for a key: "Tran", "Trao", "Trap", "Traq", "Trar", "Mast", "Admn",
    // "Edit", "Help" or "Text" (toolbar labels). screenEmpty: the open screen's list has no row.
    virtual void SetCommandState(const QString& key, bool screenEmpty = true) = 0;
    // The record position label of the left pane ("3 / 12", or ".").
    virtual void SetPositionLabel(const QString& text) = 0;
    // The find box of the left pane.
    virtual QString FindBoxText() const = 0;
    virtual void SetFindBoxText(const QString& text) = 0;
    // Module pane: disabled while a record is being edited.
    virtual void SetModulePaneEnabled(bool enabled) = 0;
    virtual bool ModulePaneEnabled() const = 0;
    // Shows the newest row of ExportTables[panel] on the dashboard.
    virtual void RefreshDashboard(int panel) = 0;
    // Lays the main window out again after the customization changed.
    virtual void SetupMainWindow() = 0;
    // Writes the enterprise short name into txtComp1 and status bar panel 4.
    virtual void ShowEnterpriseShort(const QString& shortName) = 0;
    // Status bar panel 2 and the left pane's caption.
    virtual void ShowScreenCaption(const QString& caption) = 0;
    // Shows or hides the left pane and the dashboard while a screen opens or closes.
    virtual void ShowLeftPane(bool shown) = 0;
    virtual void ShowDashboard(bool shown) = 0;
    // Gives the module labels their back colour again, clearing any hover colour.
    virtual void ResetModuleColours() { }

    // Modal dialogs, each returning its answer. The access-code prompt: true when the right
    // code was given.
    virtual bool AskAccessCode() = 0;
    // The inquiry over the open screen's table; a chosen row becomes its current record.
    virtual void OpenInquiry(RecordScreen& screen) = 0;
    // The report screen for a report code.
    virtual void OpenReport(int report) = 0;
    // The list picker over source ("GName, EId From kmGroup"); nothing when closed without a pick.
    virtual std::optional<ListPick> PickFromList(const QString& source) = 0;

    // Closes the open screen's window, which runs CloseRecordScreen.
    virtual void CloseCurrentScreen() = 0;
    // Ends the program.
    virtual void CloseMainWindow() = 0;
};

} // namespace kivo
