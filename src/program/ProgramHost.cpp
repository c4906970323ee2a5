#include "ProgramHost.h"

#include "BillingState.h"
#include "CommandState.h"
#include "DocumentScreenView.h"
#include "KvAccess.h"
#include "KvBilling.h"
#include "KvCustomerB.h"
#include "KvExport.h"
#include "KvFindRepl.h"
#include "KvImport.h"
#include "KvInquiry.h"
#include "KvList.h"
#include "KvLogin.h"
#include "KvOption.h"
#include "KvPQuery.h"
#include "KvPSelect.h"
#include "KvPUpdate.h"
#include "KvReport.h"
#include "KvSClosing.h"
#include "KvSpecific.h"
#include "KvStart.h"
#include "KvTrend.h"
#include "LineGrid.h"
#include "MainWindow.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "RecordScreen.h"
#include "RecordScreenView.h"
#include "ReportCatalogue.h"
#include "ScreenCatalogue.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>

namespace kivo {

ProgramHost::ProgramHost(ProgramContext& context, MainWindow& window)
    : m_context(context)
    , m_window(window)
    , m_engine(context, *this)
{
    connect(&m_window, &MainWindow::menuEntryChosen, this, &ProgramHost::OnMenuEntry);
    connect(
        &m_window, &MainWindow::commandChosen, this, [this](int number) { m_engine.RecordCommand(number); });
    connect(&m_window, &MainWindow::quickButtonClicked, this, &ProgramHost::OnQuickButton);
}

ProgramHost::~ProgramHost() = default;

void ProgramHost::OnMenuEntry(const QString& menu, int entry)
{
    if (menu == u"Report") {
        // The Report menu's entries are the catalogue's reports, in order; the caption is the title.
        if (const ReportEntry* report = ReportCatalogue::Find(ReportCatalogue::CodeOfMenuEntry(entry)))
            ShowReport(report->code, report->title);
        return;
    }
    if (menu == u"Utility" && entry == 5) {
        OpenTrend();
        return;
    }
    if (OpenAdminScreen(menu, entry))
        return;
    if (menu == u"Utility" && entry == 1) {
        KvFindRepl screen(
            m_context, [this] { return AskAccessCode(); }, &m_window);
        screen.show();
        screen.Open();
        screen.exec();
        return;
    }
    if (menu == u"Utility" && entry == 2) {
        KvPUpdate screen(
            m_context, [this] { return AskAccessCode(); }, &m_window);
        screen.show();
        screen.Open();
        screen.exec();
        return;
    }
    if (menu == u"Transaction" && entry == 14) {
        KvImport screen(m_context, &m_window);
        screen.exec();
        // A completed import ends the program: the next start checks the changed database.
        if (screen.EndsProgram()) {
            // Through the main window, which closes the connection as the program's end does.
            m_window.close();
            m_context.connection.Close();
            QCoreApplication::exit(0);
        }
        return;
    }
    if (menu == u"Transaction" && entry == 15) {
        KvExport screen(m_context, &m_window);
        screen.exec();
        return;
    }
    if (const ScreenEntry* screen = ScreenForMenuEntry(menu, entry))
        OpenScreen(screen->name);
}

bool ProgramHost::OpenAdminScreen(const QString& menu, int entry)
{
    if (menu == u"Help" && entry == 4) {
        KvStart::ShowAbout(m_context.login.EnterpriseShort, &m_window);
    } else if (menu == u"Help" && entry == 2) {
        KvSpecific specifics(m_context, &m_window);
        specifics.exec();
    } else if (menu == u"Admin" && entry == 8) {
        KvOption options(m_context, &m_window);
        options.exec();
    } else if (menu == u"Utility" && entry == 3) {
        KvSClosing closing(m_context, &m_window);
        closing.exec();
        if (closing.endProgram()) {
            // The next start works on the closed period: the program ends here.
            m_window.close();
            QCoreApplication::quit();
        }
    } else {
        return false;
    }
    return true;
}

void ProgramHost::OpenTrend()
{
    KvTrend trend(m_context, &m_window);
    trend.exec();
}

void ProgramHost::OnQuickButton(int index)
{
    // The counter's other screens (bill prints) take their places here; QUIT is the window's
    // own.
    if (index == 1)
        OpenBilling();
    if (index == 5) {
        KvPQuery query(m_context, &m_window); // PRODUCT QUERY
        query.exec();
    }
    if (index == 6)
        KvCustomerB::RunStandAlone(m_context, m_engine, &m_window); // CUSTOMER INFO
}

void ProgramHost::OpenBilling()
{
    if (m_billing || m_screen)
        return;
    auto* billing = new KvBilling(m_context, m_engine);
    QMdiSubWindow* sub = m_window.mdiArea()->addSubWindow(billing);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(billing->windowTitle());
    m_billing = sub;
    billing->productSelection = [this, billing](BillingState& bill) {
        KvPSelect::Select(m_context, bill.Grid(), 1, true, billing, [&bill](int) { bill.RecalcTotals(); });
    };
    m_window.SetQuickButtonsEnabled(false);
    m_window.ShowScreenCaption(QStringLiteral("Billing"));
    connect(billing, &KvBilling::closeRequested, this, [this, sub] {
        m_window.SetQuickButtonsEnabled(true);
        m_window.ShowScreenCaption(QStringLiteral("Main"));
        SetIdleCommandState();
        // From CHECKOUT or CANCEL/EXIT the window goes now; from its own close button it is
        // closing already.
        sub->close();
    });
    // The screen puts the cursor in its first field itself when it is shown.
    sub->showMaximized();
}

void ProgramHost::OpenScreen(const QString& name)
{
    if (m_screen)
        return; // one record screen at a time: the menus are disabled while one is open
    m_screen = BuildRecordScreen(name);
    if (!m_screen)
        return;
    RecordScreen& screen = *m_screen;

    // Document screens (they have lines) show their products and conversion buttons too.
    QWidget* view = nullptr;
    const auto exit = [this] { m_engine.RecordCommand(CommandNumber::Exit); };
    if (screen.lines) {
        auto* document = new DocumentScreenView(m_context, m_engine, screen);
        connect(document, &DocumentScreenView::exitRequested, this, exit);
        document->SetProductSelector([this, document](LineGrid& grid, int callerCode) {
            KvPSelect::Select(m_context, grid, callerCode, false, document, {});
        });
        view = document;
    } else {
        auto* record = new RecordScreenView(m_context, m_engine, screen);
        connect(record, &RecordScreenView::exitRequested, this, exit);
        view = record;
    }
    QMdiSubWindow* sub = m_window.mdiArea()->addSubWindow(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(screen.caption);
    sub->installEventFilter(this);
    m_subWindow = sub;
    sub->showMaximized();
    m_engine.OpenRecordScreen(screen);
    view->setFocus();
}

bool ProgramHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_subWindow && event->type() == QEvent::Close) {
        // The window's own close button goes through Exit, so edits are confirmed first;
        // Exit takes the window away itself when the screen closes.
        event->ignore();
        m_engine.RecordCommand(CommandNumber::Exit);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ProgramHost::CloseCurrentScreen()
{
    if (!m_screen)
        return;
    m_engine.CloseRecordScreen(*m_screen);
    FinishClosing();
}

void ProgramHost::FinishClosing()
{
    // The child window may be closing already (its close button runs Exit), so it is taken
    // out of the area and deleted later rather than closed again. The screen's state goes with
    // it: the view, created first, is deleted before the state it shows.
    QMdiSubWindow* sub = m_subWindow;
    m_subWindow = nullptr;
    RecordScreen* screen = m_screen.release();
    if (sub) {
        sub->removeEventFilter(this);
        sub->hide();
        m_window.mdiArea()->removeSubWindow(sub);
        screen->setParent(sub);
        sub->deleteLater();
    } else {
        delete screen;
    }
}

void ProgramHost::CloseMainWindow()
{
    m_window.close();
}

void ProgramHost::SetCommandState(const QString& key, bool screenEmpty)
{
    if (key == u"Text") {
        const ToolbarLabels labels = ToggleToolbarLabels(m_context.ToolbarToggleCaption);
        m_window.ApplyToolbarLabels(labels);
        m_context.ToolbarToggleCaption = labels.toggleCaption;
        return;
    }
    const CommandState state = ComputeCommandState(key, screenEmpty, AdminAllowed(m_context));
    m_window.ApplyCommandState(state);
    if (m_screen) {
        m_screen->frameEnabled = state.frameEnabled;
        m_screen->NotifyChanged();
    }
}

void ProgramHost::SetPositionLabel(const QString& text)
{
    m_window.SetPositionLabel(text);
}

QString ProgramHost::FindBoxText() const
{
    return m_window.FindBoxText();
}

void ProgramHost::SetFindBoxText(const QString& text)
{
    m_window.SetFindBoxText(text);
}

void ProgramHost::SetModulePaneEnabled(bool enabled)
{
    m_window.SetModulePaneEnabled(enabled);
}

bool ProgramHost::ModulePaneEnabled() const
{
    return m_window.ModulePaneEnabled();
}

void ProgramHost::RefreshDashboard(int panel)
{
    m_window.RefreshDashboard(panel);
}

void ProgramHost::SetupMainWindow()
{
    m_window.SetupMainWindow();
}

void ProgramHost::ShowEnterpriseShort(const QString& shortName)
{
    m_window.ShowEnterpriseShort(shortName);
}

void ProgramHost::ShowScreenCaption(const QString& caption)
{
    m_window.ShowScreenCaption(caption);
}

void ProgramHost::ShowLeftPane(bool shown)
{
    m_window.ShowLeftPane(shown);
}

void ProgramHost::ShowDashboard(bool shown)
{
    m_window.ShowDashboard(shown);
}

void ProgramHost::ResetModuleColours()
{
    m_window.ResetModuleColours();
}

bool ProgramHost::AskAccessCode()
{
    return KvAccess::AskAccessCode(m_context, &m_window);
}

void ProgramHost::OpenInquiry(RecordScreen& screen)
{
    KvInquiry inquiry(m_context, m_engine, screen, &m_window);
    // Without a current record the inquiry has said "No Record !" and is not shown.
    if (inquiry.HasRecord())
        inquiry.exec();
}

void ProgramHost::OpenReport(int report)
{
    ShowReport(report, QString());
}

void ProgramHost::ShowReport(int report, const QString& menuCaption)
{
    // The open register or document screen lends its values to the criterion (CurrentForm).
    OpenScreenValues currentForm;
    if (m_screen)
        for (int i = 0; i < m_screen->FieldCount(); ++i) {
            currentForm.fields << m_screen->Text(i);
            currentForm.listLabels << m_screen->field(i).hint;
        }
    KvReport screen(
        m_context, report, menuCaption, m_screen ? &currentForm : nullptr, QStringLiteral("R"),
        [this](const QString& source) { return PickFromList(source); }, &m_window);
    screen.exec();
}

std::optional<ListPick> ProgramHost::PickFromList(const QString& source)
{
    return KvList::PickFromList(m_context, source, &m_window);
}

bool ProgramHost::RunMaintenance(StartupMaintenance& work)
{
    KvStart screen;
    return screen.RunMaintenance(work);
}

bool ProgramHost::RunLogin()
{
    KvLogin login(m_context);
    return login.exec() == QDialog::Accepted;
}

void ProgramHost::ShowMainWindow()
{
    // Without a window manager to maximize it, the window still takes the whole screen.
    if (QScreen* screen = m_window.screen())
        m_window.setGeometry(screen->availableGeometry());
    m_window.showMaximized();
}

void ProgramHost::SetIdleCommandState()
{
    SetCommandState(QStringLiteral("Help"));
}

} // namespace kivo
