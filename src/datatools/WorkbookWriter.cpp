#include "WorkbookWriter.h"

#include "DbError.h"

#include <QDir>
#include <xlsxwriter.h>

namespace kivo {

namespace {

constexpr int CellTextLimit = 32767;
constexpr int LastColumn = 16383;

QString Source()
{
    return QStringLiteral("Workbook");
}

} // namespace

WorkbookWriter::WorkbookWriter(const QString& path)
    : m_path(path)
{
    const QByteArray file = QFile::encodeName(path);
    const QByteArray temp = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(temp.constData());
    m_workbook = workbook_new_opt(file.constData(), &options);
    if (!m_workbook)
        Fail(QStringLiteral("cannot start the workbook"), 0);
    m_sheet = workbook_add_worksheet(m_workbook, "Sheet1");
    if (!m_sheet)
        Fail(QStringLiteral("cannot add a sheet (no room for temporary files?)"), 0);
}

WorkbookWriter::~WorkbookWriter()
{
    if (m_workbook) {
        // Closing writes the file; a workbook given up on must not leave one behind.
        workbook_close(m_workbook);
        QFile::remove(m_path);
    }
}

void WorkbookWriter::SetColumnWidths(double width)
{
    worksheet_set_column(m_sheet, 0, LastColumn, width, nullptr);
}

void WorkbookWriter::WriteText(int row, int column, const QString& text)
{
    const QByteArray utf8 = (text.size() > CellTextLimit ? text.left(CellTextLimit) : text).toUtf8();
    const lxw_error error
        = worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column), utf8.constData(), nullptr);
    if (error != LXW_NO_ERROR)
        Fail(QStringLiteral("cannot write row %1").arg(row + 1), error);
}

void WorkbookWriter::WriteNumber(int row, int column, double value)
{
    const lxw_error error
        = worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value, nullptr);
    if (error != LXW_NO_ERROR)
        Fail(QStringLiteral("cannot write row %1").arg(row + 1), error);
}

void WorkbookWriter::Close()
{
    lxw_workbook* workbook = m_workbook;
    m_workbook = nullptr;
    m_sheet = nullptr;
    if (!workbook)
        return;
    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR) {
        QFile::remove(m_path);
        Fail(QStringLiteral("cannot be written"), error);
    }
}

void WorkbookWriter::Fail(const QString& what, int code) const
{
    QString description = QDir::toNativeSeparators(m_path) + u": " + what;
    if (code != 0)
        description += u" (" + QString::fromUtf8(lxw_strerror(lxw_error(code))) + u')';
    throw DbError(DbErrorNumber::FileError, Source(), description);
}

} // namespace kivo
