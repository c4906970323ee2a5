#include "ProgramRun.h"

#include <QProcess>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace kivo::test {

Outcome RunProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    Outcome outcome;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return outcome;
    }
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit)
        outcome.exitCode = process.exitCode();
    return outcome;
}

QString AdminProgram()
{
    return qEnvironmentVariable("KIVO_BINARY_DIR") + u"/src/tools/kivo-admin"_s;
}

Outcome Admin(const QStringList& arguments)
{
    return RunProgram(AdminProgram(), arguments);
}

QString AdminText(const QStringList& arguments)
{
    const Outcome run = Admin(arguments);
    if (run.exitCode != 0)
        return u"kivo-admin failed: "_s + run.err;
    return run.out.trimmed();
}

QString AdminRows(const QString& data, const QString& statement)
{
    return AdminText({ u"sql"_s, data, statement }).section(u'\n', 1);
}

QString PdfText(const QString& path)
{
    const Outcome run = RunProgram(u"pdftotext"_s, { u"-layout"_s, path, u"-"_s });
    return run.exitCode == 0 ? run.out : QString();
}

QList<QSizeF> PdfPageSizes(const QString& pdf)
{
    const Outcome info = RunProgram(u"pdfinfo"_s, { u"-f"_s, u"1"_s, u"-l"_s, u"9999"_s, pdf });
    static const QRegularExpression line(u"Page +\\d+ size: +([0-9.]+) x ([0-9.]+) pts"_s);
    QList<QSizeF> sizes;
    if (info.exitCode != 0)
        return sizes;
    for (auto match = line.globalMatch(info.out); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return sizes;
}

} // namespace kivo::test
