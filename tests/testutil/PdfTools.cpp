#include "PdfTools.h"

#include <QProcess>
#include <QRegularExpression>

namespace kivo::test {

QString ToolOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfText(const QString& pdf)
{
    return ToolOutput(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
}

QList<QSizeF> PdfPageSizes(const QString& pdf)
{
    const QString info = ToolOutput(QStringLiteral("pdfinfo"),
        { QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("9999"), pdf });
    static const QRegularExpression line(QStringLiteral("Page +\\d+ size: +([0-9.]+) x ([0-9.]+) pts"));
    QList<QSizeF> sizes;
    for (auto match = line.globalMatch(info); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return sizes;
}

} // namespace kivo::test
