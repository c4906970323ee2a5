#include "KvReport.h"

#include "Accessibility.h"
#include "Appearance.h"
#include "DropCalendar.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "ReportMailer.h"
#include "ReportViewer.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kivo {

namespace {

QPushButton* Button(QWidget* parent, const QString& caption, const QString& element, const QString& tip = {})
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(element);
    button->setAutoDefault(false);
    if (!tip.isEmpty())
        button->setToolTip(tip);
    Describe(button, tip.isEmpty() ? caption : tip, element);
    return button;
}

QLineEdit* Box(QWidget* parent, const QString& element, const QString& caption)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(element);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000000000000000")) + 18);
    Describe(box, caption, element);
    return box;
}

} // namespace

KvReport::KvReport(ProgramContext& context, int code, const QString& menuCaption,
    const OpenScreenValues* currentForm, const QString& reportMode, Picker picker, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_state(context, code, menuCaption, currentForm, reportMode)
    , m_picker(std::move(picker))
{
    setObjectName(QStringLiteral("KvReport"));
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    // The criterion column and operator: one entry each, never shown.
    m_cmbField = new QComboBox(this);
    m_cmbField->setObjectName(QStringLiteral("cmbField"));
    m_cmbField->addItem(m_state.Setup().column);
    m_cmbField->hide();
    m_cmbOper = new QComboBox(this);
    m_cmbOper->setObjectName(QStringLiteral("cmbOper"));
    m_cmbOper->addItem(QStringLiteral("="));
    m_cmbOper->hide();

    m_txtRepo1 = Box(this, QStringLiteral("txtRepo1"), QStringLiteral("Criteria"));
    m_txtRepo1->installEventFilter(this);
    m_cmdList1 = Button(this, QStringLiteral("+"), QStringLiteral("cmdList1"), QStringLiteral("Listing"));
    m_cmdList1->setFixedWidth(28);
    m_lblList = new QLabel(this);
    m_lblList->setObjectName(QStringLiteral("lblList"));
    m_lblList->setMinimumWidth(160);
    m_txtRepo2 = Box(this, QStringLiteral("txtRepo2"), QStringLiteral("To"));
    m_txtRepo2->setReadOnly(true);
    m_cmdList2 = Button(this, QStringLiteral("+"), QStringLiteral("cmdList2"), QStringLiteral("Listing"));
    m_cmdList2->setFixedWidth(28);
    m_cmdView = Button(this, QStringLiteral("<    View"), QStringLiteral("cmdView"));
    m_cmdPrint
        = Button(this, QStringLiteral("P"), QStringLiteral("cmdPrint"), QStringLiteral("Print Report"));
    m_cmdExport
        = Button(this, QStringLiteral("E"), QStringLiteral("cmdExport"), QStringLiteral("Export Report"));
    m_cmdEmail = Button(this, QStringLiteral("@"), QStringLiteral("cmdEmail"),
        QStringLiteral("Email Report (mail transport needed)"));
    for (QPushButton* small : { m_cmdPrint, m_cmdExport, m_cmdEmail })
        small->setFixedWidth(32);
    m_cmdPprint
        = Button(this, QStringLiteral("PRINT"), QStringLiteral("cmdPprint"), QStringLiteral("Print Report"));
    m_cmdPprint->installEventFilter(this);
    m_cmdClose = Button(this, QStringLiteral("Close"), QStringLiteral("cmdClose"));
    m_viewer = new ReportViewer(this);
    m_viewer->setObjectName(QStringLiteral("crvMain"));
    m_monSel1 = new DropCalendar(this);
    m_monSel1->setObjectName(QStringLiteral("monSel1"));
    m_monSel2 = new DropCalendar(this);
    m_monSel2->setObjectName(QStringLiteral("monSel2"));

    auto* row = new QHBoxLayout;
    row->addWidget(m_txtRepo1);
    row->addWidget(m_cmdList1);
    row->addWidget(m_lblList);
    row->addWidget(m_txtRepo2);
    row->addWidget(m_cmdList2);
    row->addSpacing(8);
    row->addWidget(m_cmdView);
    row->addStretch();
    for (QPushButton* button : { m_cmdPrint, m_cmdExport, m_cmdEmail, m_cmdPprint, m_cmdClose })
        row->addWidget(button);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(m_viewer, 1);

    connect(m_cmdView, &QPushButton::clicked, this, &KvReport::View);
    connect(m_cmdList1, &QPushButton::clicked, this, &KvReport::List1);
    connect(m_cmdList2, &QPushButton::clicked, this, &KvReport::List2);
    connect(m_cmdPrint, &QPushButton::clicked, this, &KvReport::PrintReport);
    connect(m_cmdPprint, &QPushButton::clicked, this, &KvReport::PrintReport);
    connect(m_cmdExport, &QPushButton::clicked, this, &KvReport::ExportReport);
    connect(m_cmdEmail, &QPushButton::clicked, this, &KvReport::MailReport);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_monSel1, &DropCalendar::datePicked, this, [this](const QDate& date) {
        m_state.PickStartDate(date);
        ShowState();
    });
    connect(m_monSel2, &DropCalendar::datePicked, this, [this](const QDate& date) {
        m_state.PickEndDate(date);
        ShowState();
    });

    chooseExportFile = [this] {
        QFileDialog dialog(this, QStringLiteral("Export Filename"), m_context.locations.DocFolder,
            QStringLiteral("Pdf (*.Pdf *.pdf)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("Pdf"));
        dialog.selectFile(QStringLiteral("*.Pdf"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        const QString file = dialog.selectedFiles().constFirst();
        return file.endsWith(QStringLiteral("*.Pdf")) ? QString() : file;
    };
    choosePrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("Print Report"));
        return dialog.exec() == QDialog::Accepted;
    };

    setWindowTitle(m_state.title);
    resize(980, 700);
    ApplyAppearance(m_context, this);
    ShowState();
    m_txtRepo1->setFocus();
}

KvReport::~KvReport()
{
    // The viewer may still be laying out the state's report: it lets go first.
    m_viewer->Clear();
}

void KvReport::ShowState()
{
    m_txtRepo1->setMaxLength(m_state.txtRepo1Length);
    m_txtRepo1->setText(m_state.txtRepo1);
    m_txtRepo1->setReadOnly(m_state.txtRepo1ReadOnly);
    m_txtRepo1->setEnabled(m_state.txtRepo1Enabled);
    m_txtRepo2->setText(m_state.txtRepo2);
    m_lblList->setText(m_state.lblList);
    m_cmdList1->setVisible(m_state.cmdList1Visible);
    m_lblList->setVisible(m_state.lblListVisible);
    m_txtRepo2->setVisible(m_state.txtRepo2Visible);
    m_cmdList2->setVisible(m_state.cmdList2Visible);
    m_cmdView->setVisible(m_state.cmdViewVisible);
    m_cmdPrint->setVisible(m_state.cmdPrintVisible);
    m_cmdExport->setVisible(m_state.cmdExportVisible);
    m_cmdEmail->setVisible(m_state.cmdEmailVisible);
    m_cmdPprint->setVisible(m_state.cmdPprintVisible);
}

void KvReport::ReadBoxes()
{
    // A typed criterion is the box's text; picked values are in the state already.
    if (!m_state.txtRepo1ReadOnly)
        m_state.txtRepo1 = m_txtRepo1->text();
}

void KvReport::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    // Print mode shows the bill at once, once the window is on the screen.
    if (m_state.ReportMode != u"R")
        QTimer::singleShot(0, this, &KvReport::View);
}

void KvReport::View()
{
    ReadBoxes();
    // View replaces the report the viewer shows: the viewer lets go of it first.
    m_viewer->Clear();
    m_state.View();
    ShowState();
    if (const PageModel* pages = m_state.Pages())
        m_viewer->Show(*pages, [this](int maxRows) { return m_state.LayOutSome(maxRows); });
    if (m_state.focusRepo1 && m_txtRepo1->isEnabled())
        m_txtRepo1->setFocus();
    else if (m_cmdPprint->isVisible())
        m_cmdPprint->setFocus();
}

void KvReport::List1()
{
    if (m_state.Setup().kind == CriterionSetup::DateRange) {
        m_monSel1->DropDown(m_cmdList1, m_state.monSel1);
        return;
    }
    if (!m_picker || m_state.ListSource.isEmpty())
        return;
    if (const std::optional<ListPick> pick = m_picker(m_state.ListSource)) {
        m_state.Pick(pick->key, pick->name);
        ShowState();
    }
}

void KvReport::List2()
{
    m_monSel2->DropDown(m_cmdList2, m_state.monSel2);
}

void KvReport::PrintReport()
{
    if (!m_viewer->HasReport())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_state.title);
    if (!choosePrinter || !choosePrinter(printer))
        return;
    QString error;
    if (!m_viewer->Print(printer, &error))
        m_context.messages.Notice(error);
}

void KvReport::ExportReport()
{
    const QString file = chooseExportFile ? chooseExportFile() : QString();
    if (file.isEmpty())
        return; // cancelled: nothing happens
    m_viewer->FinishLayout();
    if (!m_state.ExportPdf(file) && !m_state.lastError.isEmpty())
        m_context.messages.Notice(m_state.lastError);
}

void KvReport::MailReport()
{
    m_viewer->FinishLayout();
    m_state.MailReport(ReportMailer());
}

void KvReport::done(int result)
{
    m_state.Close();
    QDialog::done(result);
}

bool KvReport::eventFilter(QObject* watched, QEvent* event)
{
    // Escape in the criterion box or on PRINT closes the screen (a calendar keeps its own).
    if ((watched == m_txtRepo1 || watched == m_cmdPprint) && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    // Page Up and Page Down turn the viewer's pages from the criterion box as well.
    if (watched == m_txtRepo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
            if (key == Qt::Key_PageDown)
                m_viewer->NextPage();
            else
                m_viewer->PriorPage();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kivo
