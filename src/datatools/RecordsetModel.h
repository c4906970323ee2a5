#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace kivo {

class Recordset;

// A read-only table of a recordset's rows for the data tools' grids. Cells are the grid texts
// of the shared grid layout: double numbers as "######0.00", dates in the short date form,
// everything else as the recordset shows it. Rows are read a page at a time as the view
// scrolls to them (canFetchMore/fetchMore), so a large result costs only what is shown. The
// model reads the recordset forward from its first row: keep it open and do not move it while
// the model shows it; rows already read stay when it is closed.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);

    // Shows the recordset's headings and its first page of rows; an unopened or empty
    // recordset gives its headings (if any) and no rows.
    void Load(Recordset& recordset);
    static constexpr int PageRows = 256;
    void Clear();

    // A column whose name contains "Passcd" is never shown: its cells stay empty.
    bool IsHiddenColumn(int column) const;
    QString Text(int row, int column) const;
    // The column's recordset field type (FieldLong, FieldDouble, FieldDate, FieldText).
    int FieldTypeOf(int column) const;
    // Why reading more rows stopped early, or empty.
    QString ReadError() const { return m_readError; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    std::vector<QStringList> ReadPage();

    Recordset* m_recordset = nullptr; // read from; none once every row is read
    QString m_readError;
    QStringList m_headings;
    std::vector<int> m_types;
    std::vector<bool> m_hidden;
    std::vector<QStringList> m_rows;
};

} // namespace kivo
