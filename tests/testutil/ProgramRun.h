#pragma once

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

// The text of a PDF as pdftotext lays it out; empty when it could not be read.
QString PdfText(const QString& path);

} // namespace kivo::test
