#include "PdfTools.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace kivo::test {

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
