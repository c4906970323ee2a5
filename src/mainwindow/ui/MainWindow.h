#pragma once

#include <QMainWindow>

class QAction;
class QLabel;
class QMdiArea;

namespace kivo {

class CommandToolbar;
class Dashboard;
class MainMenus;
class ModulePane;
class QuickButtons;
class ProgramContext;
struct CommandState;
struct ToolbarLabels;

// The program's one top-level window: the menus, the command toolbar, a multiple-document
// area that holds the register and document screens, the module pane beside an open screen,
// the dashboard while none is open, the counter's quick-button bar in the sales layout and a
// status bar of seven panels. It decides nothing about records: the user's choices leave it
// as signals, and the program tells it what to show.
//
// What the window handles itself: Transaction 17 "Quit" and quick button 7 "QUIT" close the
// window (which ends the run); Help 1 "Content" opens the user guide in the desktop's browser.
// Every other menu entry is announced; the program opens what it names.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ProgramContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Lays the window out for the logged-in user's mode: back office for UserMode "B", the
    // counter's quick buttons for any other mode (which also sets CShowDash to "N" for the
    // run). Runs the labels toggle once and writes status bar panels 1, 3 and 4. The first
    // call also shows the dashboard (when CShowDash is "Y") and fills its six frames.
    void SetupMainWindow();

    // Status bar panel n (1 to 7).
    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString& text);

    // Toolbar buttons and Operation entries 1 to 15, the menus, and for a screen key the open
    // screen's frame (frmMain of the active child window) and the module pane.
    void ApplyCommandState(const CommandState& state);
    // The labels toggle: flips the context's ToolbarToggleCaption and shows the result.
    void RunLabelsToggle();
    void ApplyToolbarLabels(const ToolbarLabels& labels);

    // The module pane.
    void SetPositionLabel(const QString& text);
    QString FindBoxText() const;
    void SetFindBoxText(const QString& text);
    void SetModulePaneEnabled(bool enabled);
    bool ModulePaneEnabled() const;
    void ShowLeftPane(bool shown);
    void ResetModuleColours();
    // Status bar panel 2 and the pane's caption; the module click compares with it.
    void ShowScreenCaption(const QString& caption);

    // Shows the newest row of ExportTables[panel] in dashboard frame panel (0 to 5). A table
    // with no rows leaves the frame as it is; a failure is reported.
    void RefreshDashboard(int panel);
    // Shown only while CShowDash is "Y".
    void ShowDashboard(bool shown);
    // txtComp1 and status bar panel 4.
    void ShowEnterpriseShort(const QString& shortName);
    void SetQuickButtonsEnabled(bool enabled);

    // Menu entries by menu name and number, for the program and for tests.
    void SetMenuEntryEnabled(const QString& menu, int entry, bool enabled);
    QAction* MenuAction(const QString& menu, int entry) const;
    bool MenuEnabled(const QString& menu) const;
    // Runs a menu entry as if it were chosen.
    void RunMenuEntry(const QString& menu, int entry);

    QMdiArea* mdiArea() const { return m_mdi; }

signals:
    // Transaction, Utility, Report, Master, Admin and Help entries, by the menu's name and
    // the entry's number (Transaction 17 and Help 1 excepted, see above). The dashboard's
    // buttons and the module labels run Transaction entries.
    void menuEntryChosen(const QString& menu, int entry);
    // Record commands: the toolbar and the Operation menu (1 ... 17), the labels toggle (19),
    // the find box and its button (99).
    void commandChosen(int number);
    // Quick buttons 1 to 6 (7 closes the window).
    void quickButtonClicked(int index);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load();
    void MenuEntryChosen(const QString& menu, int entry);
    void ModuleClicked(int module);
    void QuickButtonClicked(int index);
    void OpenHelp();
    void ArrangePanels();
    void EnableForPendingScreens();
    QColor SettingColour(const QString& text);

    ProgramContext& m_context;
    MainMenus* m_menus;
    CommandToolbar* m_toolbar;
    QuickButtons* m_quick;
    Dashboard* m_dashboard;
    ModulePane* m_pane;
    QMdiArea* m_mdi;
    QLabel* m_panels[7];
    QString m_screenCaption;
    bool m_loaded = false;
};

} // namespace kivo
