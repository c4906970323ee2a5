#pragma once

#include "ProgramRun.h"

#include <QList>
#include <QSizeF>

namespace kivo::test {

// Each page's size in points, as pdfinfo reads it; empty when it could not be read.
QList<QSizeF> PdfPageSizes(const QString& pdf);

constexpr double PointsPerMm = 72 / 25.4;

} // namespace kivo::test
