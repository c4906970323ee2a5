#include "ReportScreenState.h"

#include "DateText.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "Recordset.h"
#include "ReportInputs.h"
#include "ReportLayout.h"
#include "ReportMailer.h"
#include "ReportPdf.h"
#include "ReportRows.h"
#include "ReportTemplate.h"

#include <QFile>
#include <QRegularExpression>

namespace kivo {

namespace {

const QString Source = QStringLiteral("KvReport");

// Rows laid out by View before the window shows the first page.
constexpr int FirstRows = 200;

// The enterprise address check: dotted words, one "@", dotted domain words and a final part of
// 2 to 4 letters. "\w" is a letter, digit or underscore of the ASCII range only.
const QString EmailPattern = QStringLiteral("^(\\w+\\.)*(\\w+)@(\\w+\\.)+([a-zA-Z]{2,4})$");

} // namespace

ReportScreenState::ReportScreenState(ProgramContext& context, int code, const QString& menuCaption,
    const OpenScreenValues* currentForm, const QString& reportMode)
    : title(menuCaption)
    , ReportMode(reportMode)
    , ScreenReport(code)
    , m_context(context)
    , m_entry(ReportCatalogue::Find(code))
{
    if (!m_entry)
        return;
    m_setup = CriterionSetup::For(m_entry->group);
    txtRepo1Length = m_setup.valueLength;
    txtRepo1ReadOnly = m_setup.valueReadOnly;
    cmdList1Visible = lblListVisible = m_setup.picker;
    txtRepo2Visible = cmdList2Visible = m_setup.endDate;
    if (!m_setup.listSource.isEmpty()) {
        ListSource = m_setup.listSource;
        CallerCode = 99;
    }
    if (m_setup.kind == CriterionSetup::DateRange) {
        const QDate today = context.Today();
        txtRepo1 = txtRepo2 = ShortDate(today);
        monSel1 = monSel2 = today;
    }

    // Rate History is no screen's own report: it takes neither the screen's values nor its title.
    if (currentForm && code != 76) {
        const int field = m_setup.prefillField;
        if (field >= 0) {
            const QString value = currentForm->fields.value(field);
            txtRepo1 = value;
            if (m_setup.prefillLabel)
                lblList = currentForm->listLabels.value(field);
            if (m_setup.kind == CriterionSetup::DateRange) {
                txtRepo2 = value;
                monSel1 = monSel2 = ParseShortDate(value);
            }
        }
        title = m_entry->title;
    }
}

ReportScreenState::~ReportScreenState() = default;

void ReportScreenState::Start()
{
    if (ReportMode != u"R")
        View();
}

void ReportScreenState::Pick(const QString& key, const QString& name)
{
    txtRepo1 = key;
    lblList = name;
}

void ReportScreenState::PickStartDate(const QDate& date)
{
    monSel1 = date;
    txtRepo1 = ShortDate(date);
}

void ReportScreenState::PickEndDate(const QDate& date)
{
    monSel2 = date;
    txtRepo2 = ShortDate(date);
}

QString ReportScreenState::TemplateName() const
{
    return m_context.locations.BinFolder + m_context.locations.DatabaseName.left(2) + title.left(3)
        + QString::number(ScreenReport) + QStringLiteral(".Kvr");
}

QString ReportScreenState::AttachmentName() const
{
    return m_context.locations.DocFolder + m_context.locations.DatabaseName.left(2) + title.left(3)
        + QStringLiteral(".Pdf");
}

bool ReportScreenState::ValidEmail(const QString& address)
{
    static const QRegularExpression pattern(EmailPattern);
    return pattern.match(address).hasMatch();
}

void ReportScreenState::Report(int number, const QString& description)
{
    lastError = description;
    m_context.errors.ReportError(number, Source, description);
}

bool ReportScreenState::View()
{
    focusRepo1 = false;
    m_layout.reset();
    m_rows.reset();
    if (!m_entry) {
        Report(ErrorNumber::Unexpected, QStringLiteral("There is no report %1.").arg(ScreenReport));
        return false;
    }

    const Criterion criterion = BuildCriterion(m_setup, txtRepo1, lblList, monSel1, monSel2, txtRepo2);
    CriteriaSql.clear();
    FilterText = QStringLiteral("-");
    if (criterion.status == Criterion::Status::InvalidCriteria) {
        m_context.messages.Notice(QStringLiteral("Invalid Criteria !"));
        return false;
    }
    if (criterion.status == Criterion::Status::InvalidRange) {
        m_context.messages.Notice(QStringLiteral("Invalid Range !"));
        return false;
    }
    CriteriaSql = criterion.CriteriaSql;
    FilterText = criterion.FilterText;
    if (m_entry->criterionNeeded && txtRepo1.trimmed().isEmpty()) {
        m_context.messages.Notice(QStringLiteral("Select Criteria !"));
        focusRepo1 = true;
        return false;
    }

    SqlText = m_entry->Statement(CriteriaSql);
    if (MakeRows() && m_rows->RowCount() == 0)
        m_context.messages.Notice(QStringLiteral("No Data !"));
    if (m_rows)
        MakeLayout();

    if (ReportMode == u"R") {
        cmdPrintVisible = cmdExportVisible = cmdEmailVisible = true;
        focusRepo1 = true;
    } else {
        txtRepo1Enabled = false;
        cmdViewVisible = false;
        cmdPprintVisible = true;
    }
    return true;
}

bool ReportScreenState::MakeRows()
{
    return TryStep(m_context.errors, [&] {
        auto rs = std::make_unique<Recordset>(m_context.connection);
        rs->Open(SqlText);
        m_rows = std::make_unique<RecordsetRows>(std::move(rs));
    });
}

bool ReportScreenState::MakeLayout()
{
    const QString path = TemplateName();
    TemplateError error;
    const ReportTemplate tpl = ReportTemplate::Load(path, &error);
    if (tpl.IsEmpty()) {
        Report(QFile::exists(path) ? int(ErrorNumber::Unexpected) : int(ErrorNumber::FileNotFound),
            QFile::exists(path) ? error.Text()
                                : QStringLiteral("The report template %1 is missing.").arg(path));
        return false;
    }

    ReportLayout::Parameters parameters;
    const bool haveParameters = TryStep(m_context.errors, [&] {
        if (m_entry->code == 48 && m_rows->RowCount() > 0)
            m_rows = ReportInputs::CouponSheet(m_context.connection, *m_rows);
        switch (m_entry->parameters) {
        case ParameterKind::Document:
            parameters = ReportInputs::Document(m_context, m_entry->code);
            break;
        case ParameterKind::Tax:
            parameters = ReportInputs::Tax(m_context, FilterText);
            break;
        case ParameterKind::Standard:
            parameters = ReportInputs::Standard(m_context, FilterText);
            break;
        }
    });
    if (!haveParameters) {
        lastError = QStringLiteral("The report's parameters could not be read.");
        return false;
    }

    auto layout = std::make_unique<ReportLayout>(tpl, *m_rows, parameters);
    layout->SetToday(m_context.Today());
    if (!layout->Bind(&error)) {
        Report(ErrorNumber::Unexpected, error.Text());
        return false;
    }
    layout->LayOutSome(FirstRows);
    m_layout = std::move(layout);
    return true;
}

bool ReportScreenState::LayOutSome(int maxRows)
{
    return !m_layout || m_layout->LayOutSome(maxRows);
}

void ReportScreenState::LayOutAll()
{
    if (m_layout)
        m_layout->LayOutAll();
}

const PageModel* ReportScreenState::Pages() const
{
    return m_layout ? &m_layout->Pages() : nullptr;
}

bool ReportScreenState::ExportPdf(const QString& path)
{
    bool written = false;
    if (!m_layout) {
        Report(DbErrorNumber::FileError, QStringLiteral("There is no report to export to %1.").arg(path));
    } else {
        LayOutAll();
        QString error;
        written = ReportPdf::Write(m_layout->Pages(), path, title, &error);
        if (!written)
            Report(DbErrorNumber::FileError, error);
    }
    m_context.messages.Notice(QStringLiteral("Report Exported !"));
    return written;
}

bool ReportScreenState::MailReport(const ReportMailer& mailer)
{
    const LoginValues& login = m_context.login;
    if (!ValidEmail(login.EnterpriseEmail)) {
        m_context.messages.Notice(QStringLiteral("Invalid Enterprise Email !"));
        return false;
    }
    const auto notSetUp = [&](const QString& reason) {
        Report(ErrorNumber::Unexpected, reason);
        m_context.messages.Notice(QStringLiteral("Emailing Not Setup !"));
        return false;
    };

    const QString attachment = AttachmentName();
    if (!m_layout)
        return notSetUp(QStringLiteral("There is no report to mail."));
    LayOutAll();
    QString error;
    if (!ReportPdf::Write(m_layout->Pages(), attachment, title, &error))
        return notSetUp(error);

    ReportMail mail;
    mail.to = mail.from = login.EnterpriseEmail;
    mail.subject = QStringLiteral("Report: ") + title;
    mail.htmlBody = QStringLiteral("<br>Report Attached (") + title + QStringLiteral(")<br><br>")
        + login.EnterpriseShort + QStringLiteral("<br>");
    mail.attachmentPath = attachment;
    if (!mailer.Send(mail, &error))
        return notSetUp(error);

    QFile::remove(attachment);
    m_context.messages.Notice(QStringLiteral("Report Emailed !"));
    return true;
}

} // namespace kivo
