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

// The first sheet of a workbook as openpyxl reads it: "title" and "rows" (one array per row:
// numbers as numbers, text as strings, empty cells as null).
inline QJsonObject ReadWithOpenpyxl(const QString& path)
{
    static const QString script = QStringLiteral(R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
rows = [list(r) for r in sheet.iter_rows(values_only=True)]
print(json.dumps({'title': sheet.title, 'rows': rows}))
)");
    QString out;
    if (!RunPython(script, { path }, &out))
        return {};
    return QJsonDocument::fromJson(out.toUtf8()).object();
}

// A workbook's description from its JSON text (a mistake in it ends the test run).
inline QJsonObject Json(const char* text)
{
    QJsonParseError error;
    const QJsonObject book = QJsonDocument::fromJson(text, &error).object();
    if (error.error != QJsonParseError::NoError)
        qFatal("bad workbook description: %s", qPrintable(error.errorString()));
    return book;
}

// Writes a workbook with openpyxl from a JSON description: {"sheet": name, "rows": [[...]],
// "dates": ["B2", ...] (cells given as "YYYY-MM-DD" written as real dates), "merge": ["A3:B3"],
// "formulas": {"C2": ["=1+1", 2]} (a formula with the value a spreadsheet would have cached)}.
inline bool WriteWithOpenpyxl(const QString& path, const QJsonObject& book)
{
    static const QString script = QStringLiteral(R"(
import datetime, json, re, sys, zipfile, openpyxl
book = json.loads(sys.argv[2])
wb = openpyxl.Workbook()
ws = wb.active
ws.title = book.get('sheet', 'Sheet1')
for row in book['rows']:
    ws.append(row)
for ref in book.get('dates', []):
    ws[ref] = datetime.date.fromisoformat(ws[ref].value)
for ref in book.get('merge', []):
    ws.merge_cells(ref)
for ref, (formula, cached) in book.get('formulas', {}).items():
    ws[ref] = formula
wb.save(sys.argv[1])
if book.get('formulas'):
    # openpyxl leaves formula results empty; put in the value a spreadsheet caches.
    src = zipfile.ZipFile(sys.argv[1])
    parts = {n: src.read(n) for n in src.namelist()}
    src.close()
    sheet = parts['xl/worksheets/sheet1.xml'].decode()
    for ref, (formula, cached) in book['formulas'].items():
        sheet = re.sub('(<c r="%s"[^>]*>)<f>([^<]*)</f><v\s*(/>|></v>)' % ref,
                       lambda m: '%s<f>%s</f><v>%s</v>' % (m.group(1), m.group(2), cached), sheet)
    parts['xl/worksheets/sheet1.xml'] = sheet.encode()
    out = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)
    for n, data in parts.items():
        out.writestr(n, data)
    out.close()
)");
    return RunPython(script, { path, QString::fromUtf8(QJsonDocument(book).toJson(QJsonDocument::Compact)) });
}

// Writes an .xls workbook with xlwt: same description as WriteWithOpenpyxl (no formulas).
inline bool WriteWithXlwt(const QString& path, const QJsonObject& book)
{
    static const QString script = QStringLiteral(R"(
import datetime, json, sys, xlwt
book = json.loads(sys.argv[2])
wb = xlwt.Workbook()
ws = wb.add_sheet(book.get('sheet', 'Sheet1'))
dates = set(book.get('dates', []))
style = xlwt.easyxf(num_format_str='YYYY-MM-DD')
for r, row in enumerate(book['rows']):
    for c, value in enumerate(row):
        if chr(ord('A') + c) + str(r + 1) in dates:
            ws.write(r, c, datetime.date.fromisoformat(value), style)
        elif value is not None:
            ws.write(r, c, value)
wb.save(sys.argv[1])
)");
    return RunPython(script, { path, QString::fromUtf8(QJsonDocument(book).toJson(QJsonDocument::Compact)) });
}

} // namespace kivo::test
