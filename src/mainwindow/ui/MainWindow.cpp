#include "MainWindow.h"

#include "Accessibility.h"
#include "CommandNumbers.h"
#include "CommandState.h"
#include "CommandToolbar.h"
#include "Dashboard.h"
#include "LoginState.h"
#include "MainMenus.h"
#include "ModulePane.h"
#include "PendingScreens.h"
#include "ProgramContext.h"
#include "QuickButtons.h"
#include "Twips.h"
#include "Version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace kivo {

namespace {

// The Transaction entries behind the dashboard's buttons cmdDash(0..5).
constexpr int DashboardEntries[Dashboard::Frames] = { 1, 2, 3, 4, 6, 9 };

} // namespace

MainWindow::MainWindow(ProgramContext& context, QWidget* parent)
    : QMainWindow(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("KvMain"));
    setWindowTitle(QStringLiteral("Kivo - Sales Software"));

    menuBar()->setObjectName(QStringLiteral("mnuMain"));
    m_menus = new MainMenus(menuBar());
    connect(m_menus, &MainMenus::entryChosen, this, &MainWindow::MenuEntryChosen);

    m_toolbar = new CommandToolbar(this);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    connect(m_toolbar, &CommandToolbar::commandChosen, this, &MainWindow::commandChosen);

    m_quick = new QuickButtons(this);
    m_quick->hide();
    connect(m_quick, &QuickButtons::clicked, this, &MainWindow::QuickButtonClicked);

    m_dashboard = new Dashboard(this);
    m_dashboard->hide();
    connect(m_dashboard, &Dashboard::openRequested, this,
        [this](int frame) { RunMenuEntry(QStringLiteral("Transaction"), DashboardEntries[frame]); });

    m_pane = new ModulePane(this);
    m_pane->hide();
    connect(m_pane, &ModulePane::moduleClicked, this, &MainWindow::ModuleClicked);
    connect(m_pane, &ModulePane::findRequested, this, [this] { emit commandChosen(99); });

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiMain"));
    m_mdi->setBackground(palette().color(QPalette::Window).darker(108));
    Describe(m_mdi, QString(), QStringLiteral("mdiMain"));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_quick);
    column->addWidget(m_dashboard);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(m_pane);
    row->addWidget(m_mdi, 1);
    column->addLayout(row, 1);
    setCentralWidget(central);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stbMain"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < 7; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("stbMain(%1)").arg(i + 1));
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panels[i]->setContentsMargins(6, 0, 6, 0);
        bar->addPermanentWidget(m_panels[i], i == 3 ? 1 : 0);
    }
    SetPanelText(2, QStringLiteral("Main"));
    ArrangePanels();

    EnableForPendingScreens();
    // With no screen open nothing is there to command (the idle state, until the program
    // sets it).
    ApplyCommandState(ComputeCommandState(QStringLiteral("Help"), true, false));

    // Operation shortcuts such as Ctrl+C (Cancel) and Ctrl+X (Xerox) win over a text field's
    // own use of the key, as long as the entry is enabled.
    qApp->installEventFilter(this);
    Describe(this, windowTitle(), QStringLiteral("KvMain"));
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
}

void MainWindow::EnableForPendingScreens()
{
    for (const QString& menu : MainMenus::Names())
        for (int entry : m_menus->Entries(menu))
            if (MenuEntryPending(menu, entry))
                m_menus->Action(menu, entry)->setEnabled(false);
    for (int index = 1; index <= QuickButtons::Buttons; ++index)
        m_quick->Button(index)->setEnabled(!QuickButtonPending(index));

    // A module label or dashboard button can do no more than its Transaction entry.
    for (int module = 0; module < ModulePane::Modules; ++module) {
        QAction* action = MenuAction(QStringLiteral("Transaction"), ModulePane::ModuleEntry(module));
        ModuleLabel* label = m_pane->Module(module);
        label->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, label, &QWidget::setEnabled);
    }
    for (int frame = 0; frame < Dashboard::Frames; ++frame) {
        QAction* action = MenuAction(QStringLiteral("Transaction"), DashboardEntries[frame]);
        QPushButton* button = m_dashboard->Button(frame);
        button->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    }
}

void MainWindow::Load()
{
    ShowDashboard(true);
    for (int panel = 0; panel < Dashboard::Frames; ++panel)
        RefreshDashboard(panel);
}

QColor MainWindow::SettingColour(const QString& text)
{
    QColor colour;
    TryStep(m_context.errors, [&] { colour = WindowsColour(text); });
    return colour;
}

void MainWindow::SetupMainWindow()
{
    if (!m_loaded) {
        m_loaded = true;
        Load();
    }
    Customization& settings = m_context.customization;
    const LoginValues& login = m_context.login;
    const QColor back = SettingColour(settings.CBackColor);
    const QColor texture = SettingColour(settings.CTexTure);
    const QColor text = SettingColour(settings.CTextColor);

    if (login.UserMode == u"B") {
        m_menus->SetMenusVisible(true);
        menuBar()->show();
        m_toolbar->show();
        m_quick->hide();
        // Frame, heading and module label positions follow the width as the panes resize.
        m_pane->SetColours(back, texture, text);
        m_dashboard->SetColours(back, text);
    } else {
        // The counter: no menus, no toolbar, no dashboard for the rest of the run.
        m_menus->SetMenusVisible(false);
        menuBar()->hide();
        m_toolbar->hide();
        m_dashboard->hide();
        if (back.isValid())
            m_mdi->setBackground(back);
        m_quick->SetTexture(texture);
        m_quick->show();
        settings.CShowDash = QStringLiteral("N");
    }

    m_dashboard->SetEnterpriseShort(login.EnterpriseShort);
    m_quick->SetEnterpriseShort(login.EnterpriseShort);
    RunLabelsToggle();
    SetPanelText(1, VersionText());
    SetPanelText(3, QStringLiteral("User:") + ProperCase(login.LoginName));
    SetPanelText(4, login.EnterpriseShort);
}

QString MainWindow::PanelText(int panel) const
{
    return (panel >= 1 && panel <= 7) ? m_panels[panel - 1]->text() : QString();
}

void MainWindow::SetPanelText(int panel, const QString& text)
{
    if (panel < 1 || panel > 7)
        return;
    m_panels[panel - 1]->setText(text);
    Describe(m_panels[panel - 1], text, QStringLiteral("stbMain(%1)").arg(panel));
}

void MainWindow::ArrangePanels()
{
    // Panels 1 and 7 are 3025 twips wide, 2, 3, 5 and 6 take 12% of the width each and
    // panel 4 the rest; on a narrow window the fixed panels give way.
    const int w = width();
    const int outer = qMin(Twips(3025), w / 8);
    const int share = w * 12 / 100;
    const int widths[7] = { outer, share, share, 0, share, share, outer };
    for (int i = 0; i < 7; ++i)
        if (i != 3)
            m_panels[i]->setFixedWidth(widths[i]);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    ArrangePanels();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The window is kept maximized: any state but minimized goes back to maximized.
    if (event->type() == QEvent::WindowStateChange && isVisible()) {
        const Qt::WindowStates kept = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
        if (!(windowState() & kept))
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
                        showMaximized();
                },
                Qt::QueuedConnection);
    }
}

void MainWindow::ApplyCommandState(const CommandState& state)
{
    const QString operation = QStringLiteral("Operation");
    for (const auto& [number, enabled] : state.enabled) {
        if (QAction* button = m_toolbar->Button(number))
            button->setEnabled(enabled);
        if (QAction* entry = m_menus->Action(operation, number))
            entry->setEnabled(enabled);
    }
    for (const char16_t* menu : { u"Transaction", u"Utility", u"Report", u"Master" })
        m_menus->SetMenuEnabled(QString::fromUtf16(menu), state.mainMenusEnabled);
    m_menus->SetMenuEnabled(operation, state.operationMenuEnabled);
    m_menus->SetMenuEnabled(QStringLiteral("Admin"), state.adminMenuEnabled);

    // A screen key sets the frame and the pane; with no screen open they stay as they are.
    if (state.frameEnabled || state.leftPaneEnabled) {
        m_pane->setEnabled(state.leftPaneEnabled);
        if (QMdiSubWindow* screen = m_mdi->currentSubWindow())
            if (auto* frame = screen->findChild<QWidget*>(QStringLiteral("frmMain")))
                frame->setEnabled(state.frameEnabled);
    }
}

void MainWindow::RunLabelsToggle()
{
    const ToolbarLabels labels = ToggleToolbarLabels(m_context.ToolbarToggleCaption);
    m_context.ToolbarToggleCaption = labels.toggleCaption;
    ApplyToolbarLabels(labels);
}

void MainWindow::ApplyToolbarLabels(const ToolbarLabels& labels)
{
    m_toolbar->ApplyLabels(labels);
}

void MainWindow::SetPositionLabel(const QString& text)
{
    m_pane->SetPositionText(text);
}

QString MainWindow::FindBoxText() const
{
    return m_pane->FindText();
}

void MainWindow::SetFindBoxText(const QString& text)
{
    m_pane->SetFindText(text);
}

void MainWindow::SetModulePaneEnabled(bool enabled)
{
    m_pane->setEnabled(enabled);
}

bool MainWindow::ModulePaneEnabled() const
{
    return m_pane->isEnabled();
}

void MainWindow::ShowLeftPane(bool shown)
{
    m_pane->setVisible(shown);
}

void MainWindow::ResetModuleColours()
{
    m_pane->ResetModuleColours();
}

void MainWindow::ShowScreenCaption(const QString& caption)
{
    m_screenCaption = caption;
    SetPanelText(2, caption);
    m_pane->SetScreenCaption(caption);
}

void MainWindow::RefreshDashboard(int panel)
{
    const QStringList& tables = m_context.locations.ExportTables;
    if (panel < 0 || panel >= Dashboard::Frames || panel >= tables.size())
        return;
    TryStep(m_context.errors, [&] {
        Recordset rs(m_context.connection);
        rs.Open(
            QStringLiteral("Select Top 1 * From kt") + tables[panel] + QStringLiteral(" Order By EId Desc"));
        if (!rs.Bof() && !rs.Eof()) {
            QStringList values;
            for (int column = 0; column < Dashboard::Rows && column < rs.FieldCount(); ++column)
                values << rs.Text(column);
            m_dashboard->SetValues(panel, values);
        }
    });
}

void MainWindow::ShowDashboard(bool shown)
{
    m_dashboard->setVisible(shown && IsYes(m_context.customization.CShowDash));
}

void MainWindow::ShowEnterpriseShort(const QString& shortName)
{
    m_dashboard->SetEnterpriseShort(shortName);
    SetPanelText(4, shortName);
}

void MainWindow::SetQuickButtonsEnabled(bool enabled)
{
    m_quick->setEnabled(enabled);
}

void MainWindow::SetMenuEntryEnabled(const QString& menu, int entry, bool enabled)
{
    if (QAction* action = m_menus->Action(menu, entry))
        action->setEnabled(enabled);
}

QAction* MainWindow::MenuAction(const QString& menu, int entry) const
{
    return m_menus->Action(menu, entry);
}

bool MainWindow::MenuEnabled(const QString& menu) const
{
    return m_menus->MenuEnabled(menu);
}

void MainWindow::RunMenuEntry(const QString& menu, int entry)
{
    QAction* action = m_menus->Action(menu, entry);
    if (action && action->isEnabled())
        MenuEntryChosen(menu, entry);
}

void MainWindow::MenuEntryChosen(const QString& menu, int entry)
{
    if (menu == u"Operation") {
        emit commandChosen(entry);
        return;
    }
    if (menu == u"Transaction" && entry == 17) {
        close();
        return;
    }
    if (menu == u"Help" && entry == 1) {
        OpenHelp();
        return;
    }
    emit menuEntryChosen(menu, entry);
}

void MainWindow::ModuleClicked(int module)
{
    // The module of the open screen is already there.
    if (ModulePane::ModuleCaption(module).left(8).trimmed() == m_screenCaption.left(8))
        return;
    // No switching in the middle of a switch: the open screen closes first, then the module opens.
    SetModulePaneEnabled(false);
    emit commandChosen(CommandNumber::Exit);
    RunMenuEntry(QStringLiteral("Transaction"), ModulePane::ModuleEntry(module));
    SetModulePaneEnabled(true);
}

void MainWindow::QuickButtonClicked(int index)
{
    if (index == QuickButtons::Buttons) {
        close();
        return;
    }
    emit quickButtonClicked(index);
}

void MainWindow::OpenHelp()
{
    const QString file = m_context.locations.HelpFile;
    if (!QFileInfo::exists(file)) {
        m_context.errors.ReportError(
            ErrorNumber::FileNotFound, QStringLiteral("KvMain"), QStringLiteral("File not found: ") + file);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        m_context.errors.ReportError(
            ErrorNumber::Unexpected, QStringLiteral("KvMain"), QStringLiteral("No program opens ") + file);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this
        && m_menus->MenuEnabled(QStringLiteral("Operation")) && menuBar()->isVisible()) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (int entry : m_menus->Entries(QStringLiteral("Operation"))) {
            QAction* action = m_menus->Action(QStringLiteral("Operation"), entry);
            // Not delivered, so the text field does not claim the key and the shortcut runs.
            if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed)
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The open screens close first, each with its own closing routine; one that stays open
    // keeps the program running.
    m_mdi->closeAllSubWindows();
    for (QMdiSubWindow* screen : m_mdi->subWindowList())
        if (screen->isVisible()) {
            event->ignore();
            return;
        }
    // Closing the main window ends the run: the one connection closes with it.
    m_context.connection.Close();
    event->accept();
}

} // namespace kivo
