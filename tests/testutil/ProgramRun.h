#pragma once

#include <QList>
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
Outcome RunProgram(const QString& program, const QStringList& arguments);

// The kivo-admin of this build tree.
QString AdminProgram();
Outcome Admin(const QStringList& arguments);
// kivo-admin's output for one command, trimmed; a failure shows as a text that no comparison
// expects.
QString AdminText(const QStringList& arguments);
// A query's rows on a data folder, without the line of column names that kivo-admin prints first.
QString AdminRows(const QString& data, const QString& statement);

// The text of a PDF as pdftotext lays it out; empty when it could not be read.
QString PdfText(const QString& path);
// Each page's size in points, as pdfinfo reads it; empty when it could not be read.
QList<QSizeF> PdfPageSizes(const QString& pdf);

constexpr double PointsPerMm = 72 / 25.4;

} // namespace kivo::test
