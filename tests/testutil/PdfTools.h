#pragma once

#include <QList>
#include <QSizeF>
#include <QStringList>

namespace kivo::test {

// A tool's standard output, or a null string when it cannot be run or fails.
QString ToolOutput(const QString& program, const QStringList& arguments);
// A PDF's text as pdftotext lays it out, the pages parted by form feeds.
QString PdfText(const QString& pdf);
// Each page's size in points, as pdfinfo reads it.
QList<QSizeF> PdfPageSizes(const QString& pdf);

constexpr double PointsPerMm = 72 / 25.4;

} // namespace kivo::test
