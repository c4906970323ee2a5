#include "RecordsetModel.h"

#include "DateText.h"
#include "DbError.h"
#include "NumberText.h"
#include "Recordset.h"

namespace kivo {

namespace {

QString GridText(const Recordset& recordset, int column, int type)
{
    const QVariant value = recordset.Value(column);
    if (value.isNull())
        return {};
    if (type == FieldDouble && value.canConvert<double>())
        return FormatNumber(value.toDouble());
    if (type == FieldDate && value.typeId() == QMetaType::QDate)
        return ShortDate(value.toDate());
    return recordset.Text(column);
}

} // namespace

RecordsetModel::RecordsetModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void RecordsetModel::Clear()
{
    beginResetModel();
    m_headings.clear();
    m_types.clear();
    m_hidden.clear();
    m_rows.clear();
    m_recordset = nullptr;
    m_readError.clear();
    endResetModel();
}

void RecordsetModel::Load(Recordset& recordset)
{
    beginResetModel();
    m_headings.clear();
    m_types.clear();
    m_hidden.clear();
    m_rows.clear();
    m_recordset = nullptr;
    m_readError.clear();
    if (recordset.IsOpen()) {
        const int columns = recordset.FieldCount();
        for (int c = 0; c < columns; ++c) {
            const FieldInfo& field = recordset.Field(c);
            m_headings << field.name;
            m_types.push_back(field.type);
            m_hidden.push_back(field.name.contains(QStringLiteral("Passcd"), Qt::CaseInsensitive));
        }
        if (!(recordset.Bof() && recordset.Eof())) {
            recordset.MoveFirst();
            m_recordset = &recordset;
            m_rows = ReadPage();
        }
    }
    endResetModel();
}

std::vector<QStringList> RecordsetModel::ReadPage()
{
    std::vector<QStringList> page;
    Recordset& recordset = *m_recordset;
    const int columns = int(m_headings.size());
    while (int(page.size()) < PageRows && recordset.IsOpen() && !recordset.Eof()) {
        QStringList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row << (m_hidden[size_t(c)] ? QString() : GridText(recordset, c, m_types[size_t(c)]));
        page.push_back(std::move(row));
        recordset.MoveNext();
    }
    if (!recordset.IsOpen() || recordset.Eof())
        m_recordset = nullptr;
    return page;
}

bool RecordsetModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_recordset && m_recordset->IsOpen() && !m_recordset->Eof();
}

void RecordsetModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    std::vector<QStringList> page;
    try {
        page = ReadPage();
    } catch (const DbError& error) {
        // A view asks for rows from its event loop, where nothing can report: the grid keeps
        // the rows it has and says why it stopped.
        m_recordset = nullptr;
        m_readError = error.description;
    }
    if (page.empty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(page.size()) - 1);
    for (QStringList& row : page)
        m_rows.push_back(std::move(row));
    endInsertRows();
}

bool RecordsetModel::IsHiddenColumn(int column) const
{
    return column >= 0 && column < int(m_hidden.size()) && m_hidden[size_t(column)];
}

QString RecordsetModel::Text(int row, int column) const
{
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= m_headings.size())
        return {};
    return m_rows[size_t(row)].at(column);
}

int RecordsetModel::FieldTypeOf(int column) const
{
    return column >= 0 && column < int(m_types.size()) ? m_types[size_t(column)] : FieldText;
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_headings.size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return Text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        const int type = FieldTypeOf(index.column());
        const bool number = type == FieldLong || type == FieldDouble;
        return QVariant::fromValue(
            Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    return {};
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < m_headings.size() ? QVariant(m_headings.at(section)) : QVariant();
    return section + 1;
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace kivo
