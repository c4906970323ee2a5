#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kivo::test {

// Workbooks written and read by an independent program (python3 with openpyxl or xlwt), so
// the program's own writer and reader are checked against another implementation.

// Runs a script with Debian's python3 (where python3-openpyxl and python3-xlwt install) with the given
// arguments (sys.argv[1:]); its standard output in `output`. True when it ran and exited 0.
inline bool RunPython(const QString& script, const QStringList& arguments, QString* output = nullptr)
{
    QProcess python;
    python.start(
        QStringLiteral("/usr/bin/python3"), QStringList { QStringLiteral("-c"), script } + arguments);
    if (!python.waitForFinished(120000) || python.exitStatus() != QProcess::NormalExit
        || python.exitCode() != 0) {
        qWarning("python3: %s", python.readAllStandardError().constData());
        return false;
    }
    if (output)
        *output = QString::fromUtf8(python.readAllStandardOutput());
    return true;
}

// The first sheet of a workbook as openpyxl reads it: "title", "rows" (one array per row:
// numbers as numbers, text as strings, empty cells as null) and "width" (column A's).
inline QJsonObject ReadWithOpenpyxl(const QString& path)
{
    static const QString script = QStringLiteral(R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
rows = [list(r) for r in sheet.iter_rows(values_only=True)]
dim = sheet.column_dimensions['A']
print(json.dumps({'title': sheet.title, 'rows': rows, 'width': dim.width}))
)");
    QString out;
    if (!RunPython(script, { path }, &out))
        return {};
    return QJsonDocument::fromJson(out.toUtf8()).object();
}

} // namespace kivo::test
