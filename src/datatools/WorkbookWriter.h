#pragma once

#include <QString>

struct lxw_workbook;
struct lxw_worksheet;

namespace kivo {

// A new workbook of one sheet, "Sheet1", written row by row: each row is written to a
// temporary file as it is finished, so memory does not grow with the sheet. Rows must be
// written in order (row 0 first). Text longer than a cell holds (32,767 characters) is cut.
// Nothing reaches the named file until Close, which throws DbError naming the problem
// (a folder that does not exist, a file that cannot be written).
class WorkbookWriter {
public:
    explicit WorkbookWriter(const QString& path);
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // The width of every column of the sheet, in characters.
    void SetColumnWidths(double width);
    void WriteText(int row, int column, const QString& text);
    void WriteNumber(int row, int column, double value);
    void Close();

private:
    [[noreturn]] void Fail(const QString& what, int code) const;

    QString m_path;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
};

} // namespace kivo
