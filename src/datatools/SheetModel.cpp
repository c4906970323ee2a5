#include "SheetModel.h"

namespace kivo {

SheetModel::SheetModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void SheetModel::Reset(const QStringList& headings)
{
    beginResetModel();
    m_headings = headings;
    m_rows.clear();
    m_shown = 0;
    endResetModel();
}

void SheetModel::Append(QStringList row)
{
    m_rows.push_back(std::move(row));
}

void SheetModel::Finish()
{
    beginResetModel();
    m_shown = int(m_rows.size());
    endResetModel();
}

bool SheetModel::IsHiddenColumn(int column) const
{
    return m_headings.value(column).contains(QStringLiteral("Passcd"), Qt::CaseInsensitive);
}

QString SheetModel::Text(int row, int column) const
{
    if (row < 0 || row >= m_shown || IsHiddenColumn(column))
        return {};
    return m_rows[size_t(row)].value(column);
}

int SheetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int SheetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_headings.size());
}

QVariant SheetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return Text(index.row(), index.column());
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_headings.value(section);
    return section + 1;
}

} // namespace kivo
