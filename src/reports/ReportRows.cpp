#include "ReportRows.h"

#include "DbError.h"
#include "Recordset.h"

namespace kivo {

namespace {

// The column a name finds among `names` (qualifiers beside them): the exact name first,
// then a qualified name by its qualifier, else the first column of that bare name.
template <typename Names, typename Qualifier>
int FindColumn(const Names& names, Qualifier qualifierOf, const QString& name)
{
    const int count = int(names.size());
    for (int i = 0; i < count; ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) {
        // A bare name also finds a column that was listed qualified.
        for (int i = 0; i < count; ++i) {
            const qsizetype own = names[i].lastIndexOf(u'.');
            if (own >= 0 && QStringView(names[i]).sliced(own + 1).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    const QStringView qualifier = QStringView(name).left(dot);
    const QStringView bare = QStringView(name).sliced(dot + 1);
    int unqualified = -1;
    for (int i = 0; i < count; ++i) {
        QStringView own(names[i]);
        const qsizetype ownDot = own.lastIndexOf(u'.');
        if (ownDot >= 0)
            own = own.sliced(ownDot + 1);
        if (own.compare(bare, Qt::CaseInsensitive) != 0)
            continue;
        if (qualifierOf(i).compare(qualifier, Qt::CaseInsensitive) == 0)
            return i;
        if (unqualified < 0)
            unqualified = i;
    }
    return unqualified;
}

} // namespace

RecordsetRows::RecordsetRows(std::unique_ptr<Recordset> rs)
    : m_recordset(std::move(rs))
{
    const int columns = m_recordset->FieldCount();
    m_names.reserve(size_t(columns));
    m_qualifiers.reserve(size_t(columns));
    for (int c = 0; c < columns; ++c) {
        m_names.push_back(m_recordset->Field(c).name);
        m_qualifiers.push_back(m_recordset->Field(c).qualifier);
    }
    if (m_recordset->IsOpen())
        m_rows = m_recordset->RecordCount();
}

RecordsetRows::~RecordsetRows() = default;

int RecordsetRows::ColumnIndex(const QString& name) const
{
    return FindColumn(
        m_names, [this](int i) { return QStringView(m_qualifiers[size_t(i)]); }, name);
}

QVariant RecordsetRows::Value(int row, int column) const
{
    if (row < 0 || row >= m_rows || column < 0 || column >= ColumnCount())
        return {};
    try {
        if (row == m_position + 1 && m_position >= 0) {
            m_recordset->MoveNext(); // stays in the recordset's window: cheaper than a seek
            m_position = row;
        } else if (row != m_position) {
            m_position = -1; // unknown should the seek fail
            m_recordset->SetAbsolutePosition(row + 1);
            m_position = row;
        }
        return m_recordset->Value(column);
    } catch (const DbError&) {
        m_position = -1;
        return {};
    }
}

TableRows::TableRows(QStringList columnNames, std::vector<QVariantList> rows)
    : m_names(std::move(columnNames))
    , m_rows(std::move(rows))
{
}

int TableRows::ColumnIndex(const QString& name) const
{
    return FindColumn(
        m_names,
        [this](int i) {
            const QString& own = m_names[i];
            const qsizetype dot = own.lastIndexOf(u'.');
            return dot < 0 ? QStringView() : QStringView(own).left(dot);
        },
        name);
}

QVariant TableRows::Value(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return {};
    const QVariantList& values = m_rows[size_t(row)];
    return column < values.size() ? values[column] : QVariant();
}

} // namespace kivo
