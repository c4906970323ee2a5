#include "BillingProductList.h"

#include "Connection.h"
#include "ErrorReporter.h"
#include "Recordset.h"
#include "TextPad.h"

namespace kivo {

BillingProductList::BillingProductList(Connection& connection, ErrorReporter& errors, QObject* parent)
    : QAbstractListModel(parent)
    , m_connection(connection)
    , m_errors(errors)
{
}

void BillingProductList::Clear()
{
    beginResetModel();
    m_items.clear();
    m_groupId = 0;
    m_lastId = 0;
    m_complete = true;
    endResetModel();
}

void BillingProductList::ShowGroup(qint64 groupId)
{
    Clear();
    if (groupId < 1)
        return;
    m_groupId = groupId;
    m_complete = false;
    QStringList first;
    try {
        ReadPage(first);
    } catch (...) {
        Clear();
        throw;
    }
    beginInsertRows({}, 0, int(first.size()) - 1);
    m_items = first;
    endInsertRows();
}

bool BillingProductList::ReadPage(QStringList& items)
{
    // By the group's index, from the id after the last one read: a page costs the same
    // wherever in the group it starts.
    Recordset rows(m_connection);
    rows.Open(QStringLiteral("Select Top %1 PName, PCode, EId From ktProduct Where PActive='Y' And PGId=%2 "
                             "And EId>%3 Order By EId")
                  .arg(PageRows)
                  .arg(m_groupId)
                  .arg(m_lastId));
    int read = 0;
    for (; !rows.Eof(); rows.MoveNext(), ++read) {
        items << PadText(rows.Text(0), 28) + u' ' + PadText(rows.Text(1), 16);
        m_lastId = rows.Value(2).toLongLong();
    }
    m_complete = read < PageRows;
    return !m_complete;
}

QString BillingProductList::Item(int row) const
{
    return row >= 0 && row < m_items.size() ? m_items.at(row) : QString();
}

QString BillingProductList::CodeOfItem(const QString& item)
{
    return item.right(16).trimmed();
}

int BillingProductList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant BillingProductList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_items.at(index.row());
    if (role == Qt::CheckStateRole)
        return Qt::Unchecked;
    return {};
}

bool BillingProductList::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || value.toInt() != Qt::Checked)
        return false;
    emit productChosen(index.row());
    return false;
}

Qt::ItemFlags BillingProductList::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

bool BillingProductList::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_complete;
}

void BillingProductList::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    QStringList more;
    // A failed page is reported once; the list keeps what it has and asks for no more.
    if (!TryStep(m_errors, [&] { ReadPage(more); })) {
        m_complete = true;
        return;
    }
    if (more.isEmpty())
        return;
    beginInsertRows({}, int(m_items.size()), int(m_items.size() + more.size()) - 1);
    m_items += more;
    endInsertRows();
}

} // namespace kivo
