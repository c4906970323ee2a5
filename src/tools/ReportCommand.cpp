#include "ReportCommand.h"
#include "AdminCommands.h"

#include "DatabasePassword.h"
#include "DateText.h"
#include "LockFile.h"
#include "LoginState.h"
#include "Messages.h"
#include "PageModel.h"
#include "ProgramContext.h"
#include "Recordset.h"
#include "ReportCatalogue.h"
#include "ReportScreenState.h"
#include "Settings.h"
#include "StartupFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace kivo {

namespace {

// The report screen's messages, written to the error stream.
class StreamMessages final : public Messages {
public:
    explicit StreamMessages(QTextStream& err)
        : m_err(err)
    {
    }
    void Notice(const QString& text) override { m_err << "kivo-admin: " << text << u'\n'; }
    bool Ask(const QString& text) override
    {
        Notice(text);
        return false;
    }

private:
    QTextStream& m_err;
};

struct Arguments {
    QString folder;
    QString codeText;
    QString value;
    QString from;
    QString to;
    QString pdf;
    QString today;
    bool hasValue = false;
};

// The name beside a picked key, as the list picker would have shown it: "GName, EId From
// kmGroup" looks the key up in EId and answers GName.
QString PickedName(Connection& connection, const QString& listSource, const QString& key)
{
    const QString shown = listSource.section(u',', 0, 0).trimmed();
    const QString rest = listSource.section(u',', 1).trimmed();
    const QString keyColumn = rest.section(u' ', 0, 0);
    const QString table = rest.section(QStringLiteral(" From "), 1).trimmed();
    return connection
        .Scalar(QStringLiteral("Select ") + shown + QStringLiteral(" From ") + table
                + QStringLiteral(" Where ") + keyColumn + QStringLiteral("=?"),
            { key })
        .toString();
}

} // namespace

ReportCommand::ReportCommand(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
{
}

void ReportCommand::WriteUsage(QTextStream& stream)
{
    stream << "  kivo-admin report DIR CODE [--value V | --from DATE --to DATE] [--today DATE] --pdf FILE\n"
              "                                  render report CODE (41..80) of DIR to a PDF file:\n"
              "                                  --value is the group, document, product code or\n"
              "                                  account; date reports take --from and --to\n"
              "                                  (YYYY-MM-DD or the short date form; today when\n"
              "                                  left out); --today (YYYY-MM-DD) is the date the program\n"
              "                                  takes for today (the clock when left out); exit\n"
              "                                  status 1 when no PDF was written\n";
}

int ReportCommand::Fail(const QString& message)
{
    m_err << "kivo-admin: " << message << u'\n';
    return 1;
}

int ReportCommand::Run(const QStringList& arguments)
{
    Arguments a;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const auto next = [&](QString& target) {
            if (i + 1 >= arguments.size())
                return false;
            target = arguments[++i];
            return true;
        };
        bool ok = true;
        if (argument == u"--value") {
            ok = next(a.value);
            a.hasValue = true;
        } else if (argument == u"--from")
            ok = next(a.from);
        else if (argument == u"--to")
            ok = next(a.to);
        else if (argument == u"--pdf")
            ok = next(a.pdf);
        else if (argument == u"--today")
            ok = next(a.today);
        else if (argument.startsWith(u"--"))
            return Fail(QStringLiteral("report: unknown option %1").arg(argument));
        else if (a.folder.isEmpty())
            a.folder = argument;
        else if (a.codeText.isEmpty())
            a.codeText = argument;
        else
            return Fail(QStringLiteral("report: unexpected argument %1").arg(argument));
        if (!ok)
            return Fail(QStringLiteral("report: %1 needs a value").arg(argument));
    }
    if (a.folder.isEmpty() || a.codeText.isEmpty() || a.pdf.isEmpty())
        return Fail(QStringLiteral("report needs DIR, CODE and --pdf FILE"));

    bool numeric = false;
    const int code = a.codeText.toInt(&numeric);
    const ReportEntry* entry = numeric ? ReportCatalogue::Find(code) : nullptr;
    if (!entry)
        return Fail(
            QStringLiteral("report: %1 is no report code (41 to 80, without 47, 50, 55, 62, 67 and 74)")
                .arg(a.codeText));
    const bool dates = entry->group == CriterionGroup::DateRange;
    if (dates && a.hasValue)
        return Fail(
            QStringLiteral("report: %1 (%2) takes --from and --to, not --value").arg(code).arg(entry->title));
    if (!dates && (!a.from.isEmpty() || !a.to.isEmpty()))
        return Fail(QStringLiteral("report: %1 (%2) takes --value, not dates").arg(code).arg(entry->title));
    const QDate from = a.from.isEmpty() ? QDate() : ParseShortDate(a.from);
    const QDate to = a.to.isEmpty() ? QDate() : ParseShortDate(a.to);
    if (!a.from.isEmpty() && !from.isValid())
        return Fail(QStringLiteral("report: --from %1 is not a date (YYYY-MM-DD)").arg(a.from));
    if (!a.to.isEmpty() && !to.isValid())
        return Fail(QStringLiteral("report: --to %1 is not a date (YYYY-MM-DD)").arg(a.to));

    const QDate today = a.today.isEmpty() ? QDate() : QDate::fromString(a.today, Qt::ISODate);
    if (!a.today.isEmpty() && (!today.isValid() || a.today.size() != 10))
        return Fail(QStringLiteral("report: --today %1 is not a date (YYYY-MM-DD)").arg(a.today));

    StreamMessages messages(m_err);
    ProgramContext context(messages);
    if (today.isValid())
        context.today = [today] { return today; };
    context.SetLocations(InitLocations(QDir(a.folder).absolutePath()));
    if (!QFileInfo::exists(context.locations.DatabaseFile()))
        return Fail(QStringLiteral("report: %1 does not exist").arg(context.locations.DatabaseFile()));
    LockFile lock(StartupFiles::For(context.locations, QDate::currentDate()).lock);
    AdminCommands::OpenDatabase(context.connection, lock, QDir(a.folder).absolutePath(), m_err);
    {
        Recordset enterprise(context.connection);
        enterprise.Open(QStringLiteral("kaEnterprise"));
        if (!enterprise.Eof())
            FillEnterpriseValues(context.login, enterprise);
    }
    LoadPreferences(context);

    ReportScreenState state(context, code, entry->title);
    if (dates) {
        if (from.isValid())
            state.PickStartDate(from);
        if (to.isValid())
            state.PickEndDate(to);
    } else if (a.hasValue) {
        state.txtRepo1 = a.value;
        if (!state.ListSource.isEmpty())
            state.lblList = PickedName(context.connection, state.ListSource, a.value.trimmed());
    }

    if (!state.View())
        return Fail(QStringLiteral("report %1 was not made").arg(code));
    if (!state.Pages())
        return Fail(
            state.lastError.isEmpty() ? QStringLiteral("report %1 was not made").arg(code) : state.lastError);
    if (!state.ExportPdf(a.pdf))
        return Fail(state.lastError);
    const int pages = state.Pages()->PageCount();
    m_out << "Wrote " << a.pdf << " (" << entry->title << ", " << pages
          << (pages == 1 ? " page)\n" : " pages)\n");
    return 0;
}

} // namespace kivo
