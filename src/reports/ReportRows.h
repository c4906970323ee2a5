#pragma once

#include <memory>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace kivo {

class Recordset;
struct FieldInfo;

// The rows of a report, with random access: a group header needs to see its rows (their
// totals) before they are printed, and a page footer sums the rows of its page.
class ReportRows {
public:
    virtual ~ReportRows() = default;
    virtual int ColumnCount() const = 0;
    // A bare ("BGross") or qualified ("b.BGross") name, without regard to case; where a join
    // repeats a name the bare name finds the first such column. -1 when none.
    virtual int ColumnIndex(const QString& name) const = 0;
    virtual int RowCount() const = 0;
    // null, qlonglong, double, QDate or QString.
    virtual QVariant Value(int row, int column) const = 0;
};

// The rows of a recordset, read from it where they lie: a listing of a million rows is held
// once, in the recordset, not copied beside it. A report reads rows out of order, so each
// read stands the recordset on its row; reading along a row, or on to the next, does not
// seek again. A row that cannot be read (a windowed list whose fetch fails) reads null.
class RecordsetRows final : public ReportRows {
public:
    // Takes the recordset, open or not; nothing else may move it while the rows are read.
    explicit RecordsetRows(std::unique_ptr<Recordset> rs);
    ~RecordsetRows() override;

    int ColumnCount() const override { return int(m_names.size()); }
    int ColumnIndex(const QString& name) const override;
    int RowCount() const override { return m_rows; }
    QVariant Value(int row, int column) const override;

private:
    std::vector<QString> m_names;
    std::vector<QString> m_qualifiers; // the alias that qualifies each column, "" when none
    std::unique_ptr<Recordset> m_recordset;
    int m_rows = 0;
    mutable int m_position = -1; // the row the recordset stands on, 0-based; -1 not known
};

// Rows held in memory: for the coupon sheet, kivo-admin and tests. Names may be qualified
// ("b.BGross"); a row shorter than the column list reads null in the missing columns.
class TableRows final : public ReportRows {
public:
    TableRows(QStringList columnNames, std::vector<QVariantList> rows);

    int ColumnCount() const override { return int(m_names.size()); }
    int ColumnIndex(const QString& name) const override;
    int RowCount() const override { return int(m_rows.size()); }
    QVariant Value(int row, int column) const override;

private:
    QStringList m_names;
    std::vector<QVariantList> m_rows;
};

} // namespace kivo
