#pragma once

#include <functional>
#include <QString>
#include <QVariantList>

namespace kivo {

// Reads the sheet named "Sheet1" (letter case aside) of a workbook, .xlsx or .xls, told apart
// by their content rather than their name. Rows are handed over one at a time as they are
// read, so memory does not grow with the sheet: the first row holds the column names, and a
// row with no value at all is left out. Each cell is a null QVariant (empty), a double, a
// QDate (a number the sheet shows as a date) or a QString; a formula gives its cached value,
// a merged range its value in the first cell. Anything that keeps the sheet from being read
// (no file, an empty, damaged or password-protected file, a file that is no workbook, no
// "Sheet1") throws DbError whose description names the file and the problem.
class WorkbookReader {
public:
    static constexpr const char* SheetName = "Sheet1";

    // `row` returns false to stop reading.
    using RowSink = std::function<bool(const QVariantList& cells)>;
    static void ReadSheet(const QString& path, const RowSink& row);

    // The DbError for a workbook problem: "<file>: <problem>".
    [[noreturn]] static void Fail(const QString& path, const QString& problem);

private:
    static void ReadXlsx(const QString& path, const RowSink& row);
    static void ReadXls(const QString& path, const RowSink& row);
};

} // namespace kivo
