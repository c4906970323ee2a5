#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace kivo {

// The import's preview grid: the sheet's column names and the texts of the rows read so
// far (at most the preview's limit). A column whose name contains "Passcd" shows no values.
class SheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SheetModel(QObject* parent = nullptr);

    void Reset(const QStringList& headings);
    void Append(QStringList row);
    void Clear() { Reset({}); }
    void Finish();

    bool IsHiddenColumn(int column) const;
    QString Text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_headings;
    std::vector<QStringList> m_rows; // gathered by Append, shown from Finish on
    int m_shown = 0;
};

} // namespace kivo
