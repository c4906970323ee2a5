#include "ProductListModel.h"

#include "Connection.h"
#include "DbError.h"
#include "ErrorReporter.h"
#include "ListPickerState.h"

#include <limits>
#include <sqlite3.h>

namespace kivo {

namespace {

QString ColumnText(sqlite3_stmt* statement, int column)
{
    const void* text = sqlite3_column_text16(statement, column);
    if (!text)
        return {};
    return QString::fromUtf16(
        static_cast<const char16_t*>(text), sqlite3_column_bytes16(statement, column) / 2);
}

} // namespace

ProductListModel::ProductListModel(
    Connection& connection, ErrorReporter& errors, bool activeOnly, QObject* parent)
    : QAbstractListModel(parent)
    , m_connection(connection)
    , m_errors(errors)
    , m_activeOnly(activeOnly)
{
}

void ProductListModel::Open()
{
    beginResetModel();
    m_lines.clear();
    m_lastId = std::numeric_limits<qint64>::min();
    m_atEnd = true;
    try {
        m_atEnd = !ReadPage(m_lines, m_lastId);
    } catch (...) {
        m_lines.clear();
        endResetModel();
        throw;
    }
    endResetModel();
}

bool ProductListModel::ReadPage(std::vector<QString>& lines, qint64& after) const
{
    // Keyset paging by the primary key: each page starts where the last one ended, so no
    // page reads past the products it shows.
    static const QString all
        = QStringLiteral("SELECT EId, PName, PCode FROM ktProduct WHERE EId>?1 ORDER BY EId LIMIT ?2");
    static const QString active = QStringLiteral(
        "SELECT EId, PName, PCode FROM ktProduct WHERE EId>?1 AND PActive='Y' ORDER BY EId LIMIT ?2");
    CachedStatement statement = m_connection.StatementAsWritten(m_activeOnly ? active : all);
    sqlite3_stmt* s = statement.get();
    sqlite3_bind_int64(s, 1, after);
    sqlite3_bind_int(s, 2, PageSize);
    int read = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        after = sqlite3_column_int64(s, 0);
        lines.push_back(ListPickerState::Line(ColumnText(s, 1), ColumnText(s, 2)));
        ++read;
    }
    if (rc != SQLITE_DONE)
        m_connection.ThrowEngineError(rc, QStringLiteral("ProductListModel"));
    return read == PageSize;
}

QString ProductListModel::CodeAt(int row) const
{
    return row >= 0 && row < rowCount() ? ListPickerState::KeyOf(m_lines[size_t(row)]) : QString();
}

QString ProductListModel::NameAt(int row) const
{
    return row >= 0 && row < rowCount() ? ListPickerState::NameOf(m_lines[size_t(row)]) : QString();
}

int ProductListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant ProductListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::CheckStateRole && m_tickable)
        return Qt::Unchecked;
    if (role != Qt::DisplayRole)
        return {};
    return m_lines[size_t(index.row())];
}

Qt::ItemFlags ProductListModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags flags = QAbstractListModel::flags(index);
    return m_tickable && index.isValid() ? flags | Qt::ItemIsUserCheckable : flags;
}

bool ProductListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !m_tickable
        || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    if (value.toInt() == Qt::Checked) {
        emit dataChanged(index, index, { Qt::CheckStateRole }); // shown clear again
        emit ticked(index.row());
    }
    return true;
}

bool ProductListModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_atEnd;
}

void ProductListModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid() || m_atEnd)
        return;
    std::vector<QString> page;
    qint64 after = m_lastId;
    bool more = false;
    try {
        more = ReadPage(page, after);
    } catch (const DbError& error) {
        // The list ends here; the next Open reads it again.
        m_atEnd = true;
        m_errors.ReportError(error);
        return;
    }
    m_atEnd = !more;
    if (page.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(page.size()) - 1);
    for (QString& line : page)
        m_lines.push_back(std::move(line));
    m_lastId = after;
    endInsertRows();
}

} // namespace kivo
