#pragma once

#include <map>
#include <QString>

namespace kivo {

// What the toolbar, the Operation menu, the other menus, the screen's frame and the module
// pane allow for a command-state key. Computed without any widget; the main window applies it.
struct CommandState {
    std::map<int, bool> enabled; // command 1..15 (not 4, 8, 13) -> enabled
    bool frameEnabled = false; // the open screen's frmMain: typing allowed
    bool leftPaneEnabled = false;
    bool mainMenusEnabled = false; // Transaction, Utility, Report and Master menus
    bool operationMenuEnabled = false;
    bool adminMenuEnabled = false;
    bool commandLock = false; // the CommandLock left after the routine
    QString commandList;
};

// key: "Tran", "Trao", "Trap", "Traq", "Trar", "Mast", "Admn", "Edit" or "Help"; any other key is
// taken as "Help" (no screen open). With no screen open the frame and the left pane are not
// concerned: both flags are false and the window leaves them as they are.
// screenEmpty: rsScreen is at its end (the table has no rows).
// adminAllowed: CAdminDisp is "Y" or the login name in capitals is "CHIEF".
CommandState ComputeCommandState(const QString& key, bool screenEmpty, bool adminAllowed);

// The toolbar labels toggle ("Text"): from the toggle's caption, whether the command buttons
// now show their captions, and the toggle's new caption and tooltip.
struct ToolbarLabels {
    bool showCaptions = false;
    QString toggleCaption;
    QString toggleTooltip;
};
ToolbarLabels ToggleToolbarLabels(const QString& toggleCaption);

// The caption of each toolbar command (1 "Add" ... 15 "Report", 17 "Exit"); empty for a separator.
QString CommandCaption(int command);

} // namespace kivo
