#pragma once

#include "RecordEngine.h"
#include "ScreenHost.h"
#include "StartupSequence.h"

#include <memory>
#include <QObject>
#include <QPointer>

class QMdiSubWindow;

namespace kivo {

class MainWindow;
class RecordScreen;
class ProgramContext;

// Wires the program together: opens the screen that each menu entry names, runs the record
// commands of the toolbar and menus, and stands behind the record engine's requests with the
// real windows and dialogs.
class ProgramHost : public QObject, public ScreenHost, public StartupWindows {
    Q_OBJECT
public:
    ProgramHost(ProgramContext& context, MainWindow& window);
    ~ProgramHost() override;

    RecordEngine& engine() { return m_engine; }
    // Opens a record screen by its name ("KvProduct") as a child window.
    void OpenScreen(const QString& name);
    // Utility > Trends..: the sales trend, modally.
    void OpenTrend();
    // The BILLING quick button: a fresh counter screen; the quick buttons wait until it closes.
    void OpenBilling();

    // ScreenHost
    void SetCommandState(const QString& key, bool screenEmpty = true) override;
    void SetPositionLabel(const QString& text) override;
    QString FindBoxText() const override;
    void SetFindBoxText(const QString& text) override;
    void SetModulePaneEnabled(bool enabled) override;
    bool ModulePaneEnabled() const override;
    void RefreshDashboard(int panel) override;
    void SetupMainWindow() override;
    void ShowEnterpriseShort(const QString& shortName) override;
    void ShowScreenCaption(const QString& caption) override;
    void ShowLeftPane(bool shown) override;
    void ShowDashboard(bool shown) override;
    void ResetModuleColours() override;
    bool AskAccessCode() override;
    void OpenInquiry(RecordScreen& screen) override;
    void OpenReport(int report) override;
    std::optional<ListPick> PickFromList(const QString& source) override;
    void CloseCurrentScreen() override;
    void CloseMainWindow() override;

    // StartupWindows
    bool RunMaintenance(StartupMaintenance& work) override;
    bool RunLogin() override;
    void ShowMainWindow() override;
    void SetIdleCommandState() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnMenuEntry(const QString& menu, int entry);
    void OnQuickButton(int index);
    // Help > About and Specifics, Admin > Options.., Utility > Stock Closing; false for any
    // other entry.
    bool OpenAdminScreen(const QString& menu, int entry);
    // The report screen, modal; menuCaption is the Report-menu caption when the menu opened it.
    void ShowReport(int report, const QString& menuCaption);
    void FinishClosing();

    ProgramContext& m_context;
    MainWindow& m_window;
    RecordEngine m_engine;
    std::unique_ptr<RecordScreen> m_screen;
    QPointer<QMdiSubWindow> m_subWindow;
    QPointer<QMdiSubWindow> m_billing;
};

} // namespace kivo
