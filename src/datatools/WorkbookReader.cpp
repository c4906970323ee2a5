#include "WorkbookReader.h"

#include "DbError.h"
#include "XlsxSheet.h"

#include <freexl.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kivo {

namespace {

const QByteArray ZipMagic("PK\x03\x04", 4);
const QByteArray CompoundMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// A workbook saved with a password is an encrypted package inside a compound file.
bool HoldsEncryptedPackage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray name = QByteArray::fromRawData(
        reinterpret_cast<const char*>(u"EncryptedPackage"), qsizetype(sizeof(u"EncryptedPackage") - 2));
    // The stream's name sits in the file's directory, which may lie anywhere in it.
    QByteArray tail;
    while (!file.atEnd()) {
        const QByteArray chunk = tail + file.read(1 << 20);
        if (chunk.contains(name))
            return true;
        tail = chunk.right(name.size());
    }
    return false;
}

} // namespace

void WorkbookReader::Fail(const QString& path, const QString& problem)
{
    throw DbError(DbErrorNumber::FileError, QStringLiteral("Workbook"),
        QFileInfo(path).fileName() + QStringLiteral(": ") + problem);
}

void WorkbookReader::ReadSheet(const QString& path, const RowSink& row)
{
    QFile file(path);
    if (!file.exists())
        Fail(path, QStringLiteral("the file does not exist"));
    if (!file.open(QIODevice::ReadOnly))
        Fail(path, QStringLiteral("the file cannot be read"));
    const QByteArray head = file.read(8);
    file.close();
    if (head.isEmpty())
        Fail(path, QStringLiteral("the file is empty"));
    if (head.startsWith(ZipMagic)) {
        ReadXlsx(path, row);
        return;
    }
    if (head == CompoundMagic) {
        if (HoldsEncryptedPackage(path))
            Fail(path, QStringLiteral("the workbook is protected by a password"));
        ReadXls(path, row);
        return;
    }
    Fail(path, QStringLiteral("the file is not a workbook"));
}

void WorkbookReader::ReadXlsx(const QString& path, const RowSink& row)
{
    XlsxSheet sheet(path);
    sheet.Read(QString::fromLatin1(SheetName), row);
}

void WorkbookReader::ReadXls(const QString& path, const RowSink& row)
{
    const void* handle = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (freexl_open(name.constData(), &handle) != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        Fail(path, QStringLiteral("the workbook is damaged or not an Excel workbook"));
    }
    struct Closer {
        const void* handle;
        ~Closer() { freexl_close(handle); }
    } closer { handle };

    unsigned int protection = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &protection) == FREEXL_OK
        && protection == FREEXL_BIFF_OBFUSCATED)
        Fail(path, QStringLiteral("the workbook is protected by a password"));
    unsigned int sheets = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
    int found = -1;
    for (unsigned int i = 0; i < sheets && found < 0; ++i) {
        const char* sheetName = nullptr;
        if (freexl_get_worksheet_name(handle, unsigned(i), &sheetName) == FREEXL_OK && sheetName
            && QString::fromUtf8(sheetName).compare(QLatin1String(SheetName), Qt::CaseInsensitive) == 0)
            found = int(i);
    }
    if (found < 0)
        Fail(path, QStringLiteral("the workbook has no sheet named Sheet1"));
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, unsigned(found)) != FREEXL_OK
        || freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        Fail(path, QStringLiteral("the sheet Sheet1 cannot be read"));

    QVariantList cells;
    for (unsigned int r = 0; r < rows; ++r) {
        cells.clear();
        bool any = false;
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell;
            QVariant value;
            if (freexl_get_cell_value(handle, r, c, &cell) == FREEXL_OK) {
                switch (cell.type) {
                case FREEXL_CELL_INT:
                    value = double(cell.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    value = cell.value.double_value;
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    value = QString::fromUtf8(cell.value.text_value);
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                    value
                        = QDate::fromString(QString::fromLatin1(cell.value.text_value).left(10), Qt::ISODate);
                    break;
                case FREEXL_CELL_TIME:
                    value = QString::fromLatin1(cell.value.text_value);
                    break;
                default:
                    break;
                }
            }
            any = any || !value.isNull();
            cells << value;
        }
        if (any && !row(cells))
            return;
    }
}

} // namespace kivo
