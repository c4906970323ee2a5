#pragma once

#include "WorkbookReader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

struct zip;

namespace kivo {

// One sheet of an Office Open XML workbook (.xlsx), read through libzip: the workbook part
// names the sheets, its relations give each sheet's part, the shared strings hold the text
// cells, and the styles tell which number cells the sheet shows as dates. The sheet part
// itself is parsed as it is unpacked, a slice at a time, so a sheet of any length is read
// in the same memory (SheetRowScanner). Problems throw DbError (WorkbookReader::Fail).
class XlsxSheet {
public:
    explicit XlsxSheet(const QString& path);
    ~XlsxSheet();
    XlsxSheet(const XlsxSheet&) = delete;
    XlsxSheet& operator=(const XlsxSheet&) = delete;

    // Reads the sheet of that name (letter case aside) row by row.
    void Read(const QString& sheetName, const WorkbookReader::RowSink& row);

private:
    QByteArray Part(const QString& name, bool required) const;
    QString SheetPart(const QString& sheetName);
    void ReadSharedStrings();
    void ReadStyles();
    void ReadRows(const QString& part, const WorkbookReader::RowSink& row);

    QString m_path;
    zip* m_archive = nullptr;
    QStringList m_strings;
    std::vector<bool> m_dateStyles; // per cell style index
    bool m_1904 = false;
};

} // namespace kivo
