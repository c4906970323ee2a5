#include "ProductUpdateState.h"

#include "Connection.h"
#include "DateText.h"
#include "JetDialect.h"
#include "Messages.h"
#include "NumberText.h"
#include "ProgramContext.h"
#include "Recordset.h"

#include <sqlite3.h>

namespace kivo {

ProductUpdateState::ProductUpdateState(ProgramContext& context, std::function<bool()> askAccessCode)
    : m_context(context)
    , m_askAccessCode(std::move(askAccessCode))
{
}

const QStringList& ProductUpdateState::UpdateColumns()
{
    static const QStringList columns
        = { QStringLiteral("POpenQty"), QStringLiteral("PPurchRate"), QStringLiteral("PSaleRate") };
    return columns;
}

const QStringList& ProductUpdateState::Operators()
{
    static const QStringList operators = { QStringLiteral("Like"), QStringLiteral("="), QStringLiteral("<>"),
        QStringLiteral(">"), QStringLiteral(">="), QStringLiteral("<"), QStringLiteral("<=") };
    return operators;
}

const QStringList& ProductUpdateState::Joins()
{
    static const QStringList joins = { QString(), QStringLiteral("And"), QStringLiteral("Or") };
    return joins;
}

void ProductUpdateState::Open()
{
    fieldNames.clear();
    m_fields.clear();
    Recordset columns(m_context.connection);
    TryStep(m_context.errors, [&] { columns.Open(QStringLiteral("Select * From ktProduct Where 1=2")); });
    for (int c = 0; columns.IsOpen() && c < columns.FieldCount(); ++c) {
        fieldNames << columns.Field(c).name;
        m_fields.push_back(columns.Field(c));
    }
    update = field1 = op1 = field2 = op2 = join = 0;
    m_context.messages.Notice(QStringLiteral("Access-Code Required !"));
}

std::optional<QString> ProductUpdateState::Condition(int field, int op, const QString& value) const
{
    if (field < 0 || size_t(field) >= m_fields.size())
        return std::nullopt;
    const FieldInfo& info = m_fields[size_t(field)];
    const QStringList& operators = Operators();
    const QString oper = operators.value(op, operators.first());
    const QString typed = value.trimmed();
    QString condition = info.name + u' ' + oper + u' ';
    switch (info.type) {
    case FieldLong:
    case FieldDouble: {
        if (!IsNumeric(typed))
            return std::nullopt;
        QString number = typed;
        number.replace(u',', u'.');
        return condition + number;
    }
    case FieldDate: {
        const QDate date = ParseShortDate(typed);
        if (!date.isValid())
            return std::nullopt;
        return condition + SqlDate(date);
    }
    default:
        // No blank after the quote here, unlike the other data tools' criterion.
        return condition + u'\'' + SqlQuote(typed)
            + (oper == u"Like" ? QStringLiteral("%'") : QStringLiteral("'"));
    }
}

std::optional<QString> ProductUpdateState::Filter() const
{
    QString filter = QStringLiteral(" ( 1=1");
    if (!txtInqry1.trimmed().isEmpty()) {
        const std::optional<QString> first = Condition(field1, op1, txtInqry1);
        if (!first)
            return std::nullopt;
        filter = QStringLiteral(" ( ") + *first;
    }
    const QString joinWord = Joins().value(join);
    if (!joinWord.isEmpty() && !txtInqry2.trimmed().isEmpty()) {
        const std::optional<QString> second = Condition(field2, op2, txtInqry2);
        if (!second)
            return std::nullopt;
        filter += u' ' + joinWord + u' ' + *second;
    }
    return filter + QStringLiteral(" )");
}

void ProductUpdateState::List()
{
    const std::optional<QString> filter = Filter();
    if (!filter) {
        m_context.messages.Notice(QStringLiteral("Invalid Criteria !"));
        return;
    }
    const QString column = UpdateColumns().value(update, UpdateColumns().first());
    SqlText = QStringLiteral("Select EId, PCode, PName, ") + column
        + QStringLiteral(" , '-' As NewValue From ktProduct Where PActive='Y' And ") + *filter;
    m_listedColumn = column;
    Load();
    m_context.messages.Notice(QStringLiteral("Total Records: ") + QString::number(m_rows.size()));
    SetCurrentRow(m_rows.empty() ? -1 : 0);
}

void ProductUpdateState::Load()
{
    beginResetModel();
    m_rows.clear();
    m_listed = false;
    Recordset rows(m_context.connection);
    if (TryStep(m_context.errors, [&] { rows.Open(SqlText); })) {
        m_listed = true;
        for (; !rows.Eof(); rows.MoveNext())
            m_rows.push_back({ rows.Value(0).toLongLong(), rows.Text(1), rows.Text(2),
                rows.Value(3).isNull() ? QString() : NumberText(rows.Value(3).toDouble()),
                QStringLiteral("-") });
    }
    endResetModel();
}

bool ProductUpdateState::StoreValue()
{
    const QString typed = txtUpdate.trimmed();
    if (!IsNumeric(typed)) {
        m_context.messages.Notice(QStringLiteral("Invalid Value !"));
        txtUpdate.clear();
        return false;
    }
    if (currentRow >= 0 && size_t(currentRow) < m_rows.size()) {
        m_rows[size_t(currentRow)].newValue = typed;
        const QModelIndex cell = index(currentRow, NewValueColumn);
        emit dataChanged(cell, cell);
    }
    txtUpdate.clear();
    return true;
}

void ProductUpdateState::Move(int step)
{
    if (m_rows.empty())
        return;
    SetCurrentRow(qBound(0, currentRow + step, int(m_rows.size()) - 1));
}

void ProductUpdateState::SetCurrentRow(int row)
{
    currentRow = row;
    if (row < 0 || size_t(row) >= m_rows.size()) {
        codeLabel.clear();
        nameLabel.clear();
        valueLabel.clear();
        return;
    }
    const Row& current = m_rows[size_t(row)];
    codeLabel = current.code;
    nameLabel = current.name;
    valueLabel = current.current;
}

void ProductUpdateState::Process()
{
    if (!m_listed) {
        m_context.messages.Notice(QStringLiteral("Find Records !"));
        return;
    }
    if (m_rows.empty()) {
        m_context.messages.Notice(QStringLiteral("No Records !"));
        return;
    }
    if (!m_context.messages.Ask(QStringLiteral("Confirm Process ?")))
        return;
    if (!m_askAccessCode || !m_askAccessCode())
        return;
    frameEnabled = false;
    Connection& connection = m_context.connection;
    const auto target = std::find_if(m_fields.cbegin(), m_fields.cend(),
        [&](const FieldInfo& field) { return field.name == m_listedColumn; });
    std::vector<QString> written(m_rows.size()); // the stored value of each changed row
    const bool done = TryStep(m_context.errors, [&] {
        if (target == m_fields.cend())
            throw DbError(DbErrorNumber::UnknownField, QStringLiteral("KvPUpdate"), m_listedColumn);
        Transaction transaction(connection);
        CachedStatement statement = connection.StatementAsWritten(
            QStringLiteral("UPDATE ktProduct SET ") + m_listedColumn + QStringLiteral("=? WHERE EId=?"));
        for (size_t r = 0; r < m_rows.size(); ++r) {
            const Row& row = m_rows[r];
            if (row.newValue == u"-")
                continue;
            const StoredValue value = ConvertForField(*target, row.newValue);
            written[r] = value.kind == StoredKind::Integer ? QString::number(value.integer)
                : value.kind == StoredKind::Real           ? NumberText(value.real)
                                                           : QString();
            sqlite3_stmt* update = statement.get();
            sqlite3_reset(update);
            if (value.kind == StoredKind::Integer)
                sqlite3_bind_int64(update, 1, value.integer);
            else if (value.kind == StoredKind::Real)
                sqlite3_bind_double(update, 1, value.real);
            else
                sqlite3_bind_null(update, 1);
            sqlite3_bind_int64(update, 2, row.id);
            const int rc = sqlite3_step(update);
            if (rc != SQLITE_DONE)
                connection.ThrowEngineError(rc, QStringLiteral("KvPUpdate"));
        }
        // A changed opening quantity recomputes every product's closing quantity, not only the
        // listed ones', so the stock rule holds for the whole table; in the same transaction,
        // so that it holds at every instant. Rows that already hold it are not rewritten.
        if (m_listedColumn == u"POpenQty")
            connection.ExecuteRaw(QStringLiteral("UPDATE ktProduct SET PCloseQty=POpenQty+PPurchQty-PSaleQty "
                                                 "WHERE PCloseQty IS NOT POpenQty+PPurchQty-PSaleQty"));
        transaction.Commit();
    });
    // The listed rows stay listed and show what was written, with nothing pending; after a
    // failure they show the table as it still is.
    if (done) {
        for (size_t r = 0; r < m_rows.size(); ++r)
            if (m_rows[r].newValue != u"-") {
                m_rows[r].current = written[r];
                m_rows[r].newValue = QStringLiteral("-");
            }
        emit dataChanged(index(0, 3), index(rowCount() - 1, NewValueColumn));
    } else {
        Load();
    }
    SetCurrentRow(m_rows.empty() ? -1 : qBound(0, currentRow, int(m_rows.size()) - 1));
    frameEnabled = true;
    m_context.messages.Notice(QStringLiteral("Record(s) Processed !"));
}

int ProductUpdateState::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ProductUpdateState::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 5;
}

QVariant ProductUpdateState::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_rows.size())
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == 1 || index.column() == 2 ? QVariant(int(Qt::AlignLeft | Qt::AlignVCenter))
                                                          : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    if (role != Qt::DisplayRole)
        return {};
    const Row& row = m_rows[size_t(index.row())];
    switch (index.column()) {
    case 0:
        return QString::number(row.id);
    case 1:
        return row.code;
    case 2:
        return row.name;
    case 3:
        return row.current;
    case 4:
        return row.newValue;
    default:
        return {};
    }
}

QVariant ProductUpdateState::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case 0:
        return QStringLiteral("EId");
    case 1:
        return QStringLiteral("PCode");
    case 2:
        return QStringLiteral("PName");
    case 3:
        return m_listedColumn.isEmpty() ? UpdateColumns().value(update) : m_listedColumn;
    case 4:
        return QStringLiteral("NewValue");
    default:
        return {};
    }
}

} // namespace kivo
