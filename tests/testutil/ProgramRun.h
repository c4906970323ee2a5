#pragma once

#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace kivo::test {

struct Outcome {
    int exitCode = -1; // -1: did not run or did not end normally
    QString out;
    QString err;
};

// Runs a program to its end; a crash or a hang shows as exit code -1.
inline Outcome RunProgram(const QString& program, const QStringList& arguments)
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

// The kivo-admin of this build tree.
inline QString AdminProgram()
{
    return qEnvironmentVariable("KIVO_BINARY_DIR") + QStringLiteral("/src/tools/kivo-admin");
}

inline Outcome Admin(const QStringList& arguments)
{
    return RunProgram(AdminProgram(), arguments);
}

// kivo-admin's output for one command, trimmed; a failure shows as a text that no comparison
// expects.
inline QString AdminText(const QStringList& arguments)
{
    const Outcome run = Admin(arguments);
    return run.exitCode == 0 ? run.out.trimmed() : QStringLiteral("kivo-admin failed: ") + run.err;
}

// A query's rows on a data folder, without the line of column names that kivo-admin prints first.
inline QString AdminRows(const QString& data, const QString& statement)
{
    return AdminText({ QStringLiteral("sql"), data, statement }).section(u'\n', 1);
}

// The text of a PDF as pdftotext lays it out; empty when it could not be read.
inline QString PdfText(const QString& path)
{
    const Outcome run
        = RunProgram(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), path, QStringLiteral("-") });
    return run.exitCode == 0 ? run.out : QString();
}

// Each page's size in points, as pdfinfo reads it; empty when it could not be read.
inline QList<QSizeF> PdfPageSizes(const QString& pdf)
{
    const Outcome info = RunProgram(QStringLiteral("pdfinfo"),
        { QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("9999"), pdf });
    static const QRegularExpression line(QStringLiteral("Page +\\d+ size: +([0-9.]+) x ([0-9.]+) pts"));
    QList<QSizeF> sizes;
    for (auto match = line.globalMatch(info.exitCode == 0 ? info.out : QString()); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return sizes;
}

constexpr double PointsPerMm = 72 / 25.4;

} // namespace kivo::test
