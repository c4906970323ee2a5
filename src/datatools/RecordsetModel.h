#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace kivo {

class Recordset;

// A read-only table of the rows a recordset held when it was loaded, for the data tools'
// grids. Cells are the grid texts of the shared grid layout: double numbers as "######0.00",
// dates in the short date form, everything else as the recordset shows it. The model keeps
// its own copy, so the recordset may be closed or reused afterwards.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);

    // Takes every row of the recordset (which is left on its first row); an unopened or
    // empty recordset gives its headings (if any) and no rows.
    void Load(Recordset& recordset);
    void Clear();

    // A column whose name contains "Passcd" is never shown: its cells stay empty.
    bool IsHiddenColumn(int column) const;
    QString Text(int row, int column) const;
    // The column's recordset field type (FieldLong, FieldDouble, FieldDate, FieldText).
    int FieldTypeOf(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QStringList m_headings;
    std::vector<int> m_types;
    std::vector<bool> m_hidden;
    std::vector<QStringList> m_rows;
};

} // namespace kivo
