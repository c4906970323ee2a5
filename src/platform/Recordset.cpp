#include "Recordset.h"

#include "Connection.h"
#include "DateText.h"
#include "DbError.h"
#include "NumberText.h"

#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace kivo {

namespace {

const QString& Source()
{
    static const QString source = QStringLiteral("Kivo Recordset");
    return source;
}

// "TEXT(15) COLLATE NOCASE" -> text of 15; "INTEGER" -> long; "REAL" -> double; "DATE" -> date.
bool FieldTypeFromDeclared(const char* declared, FieldInfo& field)
{
    if (!declared)
        return false;
    const QString type = QString::fromUtf8(declared).trimmed().toUpper();
    if (type.startsWith(u"INT")) {
        field.type = FieldLong;
        field.definedSize = 4;
    } else if (type.startsWith(u"REAL") || type.startsWith(u"DOUBLE") || type.startsWith(u"NUM")) {
        field.type = FieldDouble;
        field.definedSize = 8;
    } else if (type.startsWith(u"DATE")) {
        field.type = FieldDate;
        field.definedSize = 8;
    } else {
        field.type = FieldText;
        field.definedSize = 255;
        const qsizetype open = type.indexOf(u'(');
        const qsizetype close = type.indexOf(u')');
        if (open > 0 && close > open) {
            bool ok = false;
            const int width = type.mid(open + 1, close - open - 1).trimmed().toInt(&ok);
            if (ok && width > 0)
                field.definedSize = width;
        }
    }
    return true;
}

bool ContainsWord(const QString& sql, QStringView words)
{
    return sql.contains(words, Qt::CaseInsensitive);
}

// One condition of a Find criterion.
struct Condition {
    QString column;
    QString op;
    QString value;
    bool quoted = false;
    bool dated = false;
};

Condition ParseCriterion(const QString& criterion)
{
    const QString s = criterion.trimmed();
    qsizetype i = 0;
    const qsizetype n = s.size();
    Condition c;
    if (i < n && s[i] == u'[') {
        const qsizetype close = s.indexOf(u']', i);
        if (close < 0)
            throw DbError(DbErrorNumber::BadCriterion, Source(),
                QStringLiteral("Cannot read the criterion: ") + criterion);
        c.column = s.mid(i + 1, close - i - 1);
        i = close + 1;
    } else {
        while (i < n && (s[i].isLetterOrNumber() || s[i] == u'_' || s[i] == u'.'))
            ++i;
        c.column = s.left(i);
        if (const qsizetype dot = c.column.lastIndexOf(u'.'); dot >= 0)
            c.column = c.column.mid(dot + 1);
    }
    while (i < n && s[i].isSpace())
        ++i;
    while (i < n && (s[i] == u'=' || s[i] == u'<' || s[i] == u'>'))
        c.op += s[i++];
    while (i < n && s[i].isSpace())
        ++i;
    static const QStringList operators = { QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
        QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=") };
    if (c.column.isEmpty() || !operators.contains(c.op) || i >= n)
        throw DbError(
            DbErrorNumber::BadCriterion, Source(), QStringLiteral("Cannot read the criterion: ") + criterion);
    if (s[i] == u'\'') {
        c.quoted = true;
        ++i;
        bool closed = false;
        while (i < n) {
            if (s[i] == u'\'') {
                if (i + 1 < n && s[i + 1] == u'\'') {
                    c.value += u'\'';
                    i += 2;
                    continue;
                }
                closed = true;
                ++i;
                break;
            }
            c.value += s[i++];
        }
        // Anything after the closing quote means the criterion was not one quoted value.
        if (!closed || !s.mid(i).trimmed().isEmpty())
            throw DbError(DbErrorNumber::BadCriterion, Source(),
                QStringLiteral("Cannot read the criterion: ") + criterion);
    } else if (s[i] == u'#') {
        const qsizetype close = s.indexOf(u'#', i + 1);
        if (close < 0)
            throw DbError(DbErrorNumber::BadCriterion, Source(),
                QStringLiteral("Cannot read the criterion: ") + criterion);
        c.value = JetDialect::DateLiteralToIso(QStringView(s).sliced(i + 1, close - i - 1));
        c.dated = true;
        if (c.value.isEmpty())
            throw DbError(DbErrorNumber::BadCriterion, Source(),
                QStringLiteral("Cannot read the criterion: ") + criterion);
    } else {
        c.value = s.mid(i).trimmed();
    }
    return c;
}

bool Holds(int comparison, const QString& op)
{
    if (op == u"=")
        return comparison == 0;
    if (op == u"<>")
        return comparison != 0;
    if (op == u"<")
        return comparison < 0;
    if (op == u">")
        return comparison > 0;
    if (op == u"<=")
        return comparison <= 0;
    return comparison >= 0;
}

} // namespace

Recordset::Recordset(Connection& connection)
    : m_connection(connection)
{
}

void Recordset::Open(const QString& source)
{
    Close();
    const QString trimmed = source.trimmed();
    const bool bareTable = !trimmed.isEmpty() && !trimmed.contains(u' ');
    const QString statement = bareTable ? QStringLiteral("Select * From ") + trimmed : source;
    QString engineSql = m_connection.Translate(statement);

    // Decide whether the rows can be written back: every column comes from one table and
    // the statement neither groups nor merges rows. Such a recordset also reads the rowid.
    QString table;
    {
        StatementHandle probe = m_connection.Prepare(engineSql);
        const int columns = sqlite3_column_count(probe.get());
        for (int i = 0; i < columns; ++i) {
            const char* name = sqlite3_column_table_name(probe.get(), i);
            const QString columnTable = name ? QString::fromUtf8(name) : QString();
            if (columnTable.isEmpty() || (i > 0 && columnTable != table)) {
                table.clear();
                break;
            }
            table = columnTable;
        }
    }
    if (!table.isEmpty()
        && (ContainsWord(engineSql, u"group by") || ContainsWord(engineSql, u"distinct")
            || ContainsWord(engineSql, u" union ")))
        table.clear();
    if (!table.isEmpty()) {
        const qsizetype select = engineSql.indexOf(QStringLiteral("select"), 0, Qt::CaseInsensitive);
        QString withRowid = engineSql;
        withRowid.insert(select + 6, QStringLiteral(" rowid AS kivo_rowid,"));
        try {
            m_connection.Prepare(withRowid);
            engineSql = withRowid;
        } catch (const DbError&) {
            table.clear(); // several tables after all (a join): read-only
        }
    }
    m_source = source;
    m_engineSql = engineSql;
    m_table = table;
    Load();
    m_open = true;
}

void Recordset::Load()
{
    StatementHandle statement = m_connection.Prepare(m_engineSql);
    sqlite3_stmt* s = statement.get();
    const int first = m_table.isEmpty() ? 0 : 1;
    const int columns = sqlite3_column_count(s) - first;

    m_fields.assign(size_t(columns), FieldInfo {});
    std::vector<bool> typed(size_t(columns), false);
    for (int c = 0; c < columns; ++c) {
        FieldInfo& field = m_fields[size_t(c)];
        field.name = QString::fromUtf8(sqlite3_column_name(s, c + first));
        if (const char* origin = sqlite3_column_origin_name(s, c + first))
            field.baseColumn = QString::fromUtf8(origin);
        typed[size_t(c)] = FieldTypeFromDeclared(sqlite3_column_decltype(s, c + first), field);
    }
    m_cells.clear();
    m_rowids.clear();
    m_rows = 0;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        m_rowids.push_back(first ? sqlite3_column_int64(s, 0) : 0);
        for (int c = 0; c < columns; ++c) {
            Cell cell;
            const int column = c + first;
            switch (sqlite3_column_type(s, column)) {
            case SQLITE_INTEGER:
                cell.kind = Cell::Kind::Integer;
                cell.integer = sqlite3_column_int64(s, column);
                break;
            case SQLITE_FLOAT:
                cell.kind = Cell::Kind::Real;
                cell.real = sqlite3_column_double(s, column);
                break;
            case SQLITE_NULL:
                break;
            default: {
                cell.kind = Cell::Kind::Text;
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
                cell.text = QString::fromUtf8(text, sqlite3_column_bytes(s, column));
                break;
            }
            }
            // An expression column takes its type from its first value (Count -> long, Sum -> double).
            if (!typed[size_t(c)] && cell.kind != Cell::Kind::Null) {
                FieldInfo& field = m_fields[size_t(c)];
                field.type = cell.kind == Cell::Kind::Integer ? FieldLong
                    : cell.kind == Cell::Kind::Real           ? FieldDouble
                                                              : FieldText;
                field.definedSize = field.type == FieldLong ? 4 : field.type == FieldDouble ? 8 : 255;
                typed[size_t(c)] = true;
            }
            m_cells.push_back(std::move(cell));
        }
        ++m_rows;
    }
    if (rc != SQLITE_DONE)
        m_connection.ThrowEngineError(rc, Source());
    m_position = m_rows > 0 ? 0 : m_rows; // empty: BOF and EOF both true
    m_editing = m_adding = false;
}

void Recordset::Close()
{
    m_open = false;
    m_fields.clear();
    m_cells.clear();
    m_rowids.clear();
    m_rows = 0;
    m_position = 0;
    m_editing = m_adding = false;
    m_table.clear();
}

void Recordset::Requery()
{
    if (!m_open)
        throw DbError(DbErrorNumber::NotOpen, Source(), QStringLiteral("The recordset is not open"));
    m_editing = m_adding = false;
    Load();
}

bool Recordset::Bof() const
{
    return m_position < 0 || m_rows == 0;
}

bool Recordset::Eof() const
{
    return m_position >= m_rows;
}

void Recordset::Settle()
{
    if (!m_open)
        throw DbError(DbErrorNumber::NotOpen, Source(), QStringLiteral("The recordset is not open"));
    if (m_editing)
        Update();
}

void Recordset::MoveFirst()
{
    Settle();
    m_position = m_rows > 0 ? 0 : m_rows;
}

void Recordset::MoveLast()
{
    Settle();
    m_position = m_rows > 0 ? m_rows - 1 : m_rows;
}

void Recordset::MoveNext()
{
    Settle();
    if (m_position < m_rows)
        ++m_position;
}

void Recordset::MovePrevious()
{
    Settle();
    if (m_position >= 0)
        --m_position;
}

int Recordset::RecordCount() const
{
    return m_rows;
}

int Recordset::AbsolutePosition() const
{
    return (m_position >= 0 && m_position < m_rows) ? m_position + 1 : -1;
}

void Recordset::SetAbsolutePosition(int position)
{
    Settle();
    if (position < 1 || position > m_rows)
        throw DbError(DbErrorNumber::NoCurrentRecord, Source(),
            QStringLiteral("Position %1 is outside the %2 records").arg(position).arg(m_rows));
    m_position = position - 1;
}

bool Recordset::Find(const QString& criterion)
{
    Settle();
    const Condition condition = ParseCriterion(criterion);
    const int column = FieldIndex(condition.column);
    if (column < 0)
        throw DbError(DbErrorNumber::UnknownField, Source(),
            QStringLiteral("Item '%1' cannot be found in the collection").arg(condition.column));
    const FieldInfo& field = m_fields[size_t(column)];
    const bool numeric = field.type == FieldLong || field.type == FieldDouble;
    std::optional<double> number;
    if (numeric) {
        number = ParseNumber(condition.value);
        if (!number)
            throw DbError(DbErrorNumber::TypeConversion, Source(),
                QStringLiteral("Data type mismatch in criterion: ") + criterion);
    }
    QString value = condition.value;
    if (field.type == FieldDate && !condition.dated) {
        const QDate date = ParseShortDate(value);
        if (date.isValid())
            value = date.toString(Qt::ISODate);
    }
    for (int row = qMax(0, m_position); row < m_rows; ++row) {
        const Cell& cell = CellAt(row, column);
        if (cell.kind == Cell::Kind::Null)
            continue;
        int comparison;
        if (numeric) {
            const double v = cell.kind == Cell::Kind::Integer ? double(cell.integer)
                : cell.kind == Cell::Kind::Real               ? cell.real
                                                              : ParseNumber(cell.text).value_or(std::nan(""));
            if (std::isnan(v))
                continue;
            comparison = v < *number ? -1 : v > *number ? 1 : 0;
        } else {
            const QString text = cell.kind == Cell::Kind::Text ? cell.text : Text(column);
            comparison = text.compare(value, Qt::CaseInsensitive);
        }
        if (Holds(comparison, condition.op)) {
            m_position = row;
            return true;
        }
    }
    m_position = m_rows;
    return false;
}

const FieldInfo& Recordset::Field(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw DbError(DbErrorNumber::UnknownField, Source(),
            QStringLiteral("Item %1 cannot be found in the collection").arg(index));
    return m_fields[size_t(index)];
}

int Recordset::FieldIndex(const QString& name) const
{
    for (int i = 0; i < FieldCount(); ++i)
        if (m_fields[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Recordset::CheckedIndex(const QString& name) const
{
    const int index = FieldIndex(name);
    if (index < 0)
        throw DbError(DbErrorNumber::UnknownField, Source(),
            QStringLiteral("Item '%1' cannot be found in the collection").arg(name));
    return index;
}

void Recordset::RequireCurrent(const char* operation) const
{
    if (!m_open)
        throw DbError(DbErrorNumber::NotOpen, Source(), QStringLiteral("The recordset is not open"));
    if (m_position < 0 || m_position >= m_rows)
        throw DbError(DbErrorNumber::NoCurrentRecord, Source(),
            QStringLiteral("Either BOF or EOF is True, or the current record has been deleted (%1)")
                .arg(QString::fromLatin1(operation)));
}

QVariant Recordset::CellValue(const Cell& cell, int column) const
{
    if (cell.kind == Cell::Kind::Null)
        return {};
    switch (m_fields[size_t(column)].type) {
    case FieldDate: {
        const QDate date = QDate::fromString(cell.text.left(10), Qt::ISODate);
        return date.isValid() ? QVariant(date) : QVariant(cell.text);
    }
    case FieldLong:
        if (cell.kind == Cell::Kind::Integer)
            return QVariant(qlonglong(cell.integer));
        if (cell.kind == Cell::Kind::Real)
            return QVariant(qlonglong(std::llround(cell.real)));
        return QVariant(cell.text);
    case FieldDouble:
        if (cell.kind == Cell::Kind::Real)
            return QVariant(cell.real);
        if (cell.kind == Cell::Kind::Integer)
            return QVariant(double(cell.integer));
        return QVariant(cell.text);
    default:
        if (cell.kind == Cell::Kind::Text)
            return QVariant(cell.text);
        return QVariant(
            cell.kind == Cell::Kind::Integer ? QString::number(cell.integer) : NumberText(cell.real));
    }
}

QVariant Recordset::Value(int index) const
{
    RequireCurrent("Value");
    Field(index);
    return CellValue(CellAt(m_position, index), index);
}

QString Recordset::Text(int index) const
{
    const QVariant value = Value(index);
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::QDate:
        return ShortDate(value.toDate());
    case QMetaType::Double:
        return NumberText(value.toDouble());
    default:
        return value.toString();
    }
}

Recordset::Cell Recordset::Convert(int column, const QVariant& value) const
{
    const FieldInfo& field = m_fields[size_t(column)];
    Cell cell;
    if (!value.isValid() || value.isNull())
        return cell;
    const bool isText = value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray;
    auto conversionError = [&]() {
        return DbError(DbErrorNumber::TypeConversion, Source(),
            QStringLiteral("Data type conversion error: '%1' for field %2")
                .arg(value.toString(), field.name));
    };
    switch (field.type) {
    case FieldLong:
    case FieldDouble: {
        double number;
        if (isText) {
            const QString text = value.toString();
            if (text.trimmed().isEmpty())
                return cell; // an empty box stores no number
            const auto parsed = ParseNumber(text);
            if (!parsed)
                throw conversionError();
            number = *parsed;
        } else {
            bool ok = false;
            number = value.toDouble(&ok);
            if (!ok)
                throw conversionError();
        }
        if (field.type == FieldLong) {
            const double whole = RoundHalfEven(number, 0);
            if (whole > std::numeric_limits<qint32>::max() || whole < std::numeric_limits<qint32>::min())
                throw DbError(DbErrorNumber::TypeConversion, Source(),
                    QStringLiteral("Overflow: '%1' for field %2").arg(value.toString(), field.name));
            cell.kind = Cell::Kind::Integer;
            cell.integer = qint64(whole);
        } else {
            cell.kind = Cell::Kind::Real;
            cell.real = number;
        }
        return cell;
    }
    case FieldDate: {
        QDate date;
        if (value.typeId() == QMetaType::QDate)
            date = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime)
            date = value.toDateTime().date();
        else {
            const QString text = value.toString();
            if (text.trimmed().isEmpty())
                return cell;
            date = ParseShortDate(text);
            if (!date.isValid()) {
                const QString iso = JetDialect::DateLiteralToIso(text);
                date = QDate::fromString(iso, Qt::ISODate);
            }
        }
        if (!date.isValid())
            throw conversionError();
        cell.kind = Cell::Kind::Text;
        cell.text = date.toString(Qt::ISODate);
        return cell;
    }
    default: {
        QString text;
        if (value.typeId() == QMetaType::QDate)
            text = ShortDate(value.toDate());
        else if (value.typeId() == QMetaType::Double)
            text = NumberText(value.toDouble());
        else
            text = value.toString();
        if (text.size() > field.definedSize)
            throw DbError(3163, Source(),
                QStringLiteral(
                    "The field %1 is too small to accept the amount of data (%2 characters, %3 allowed)")
                    .arg(field.name)
                    .arg(text.size())
                    .arg(field.definedSize));
        cell.kind = Cell::Kind::Text;
        cell.text = text;
        return cell;
    }
    }
}

void Recordset::SetValue(int index, const QVariant& value)
{
    RequireCurrent("SetValue");
    Field(index);
    Cell converted = Convert(index, value);
    if (!m_editing) {
        m_editing = true;
        m_adding = false;
        m_original.assign(m_cells.begin() + qsizetype(m_position) * FieldCount(),
            m_cells.begin() + qsizetype(m_position + 1) * FieldCount());
        m_dirty.assign(size_t(FieldCount()), false);
    }
    CellAt(m_position, index) = std::move(converted);
    m_dirty[size_t(index)] = true;
}

void Recordset::AddNew()
{
    Settle();
    if (!IsUpdatable())
        throw DbError(DbErrorNumber::NotUpdatable, Source(),
            QStringLiteral("Current Recordset does not support updating"));
    m_cells.resize(m_cells.size() + m_fields.size());
    m_rowids.push_back(0);
    ++m_rows;
    m_position = m_rows - 1;
    m_editing = true;
    m_adding = true;
    m_original.clear();
    m_dirty.assign(size_t(FieldCount()), false);
}

void Recordset::CancelUpdate()
{
    if (!m_editing)
        return;
    if (m_adding) {
        m_cells.resize(m_cells.size() - m_fields.size());
        m_rowids.pop_back();
        --m_rows;
        m_position = m_rows > 0 ? m_rows - 1 : m_rows;
    } else {
        std::move(
            m_original.begin(), m_original.end(), m_cells.begin() + qsizetype(m_position) * FieldCount());
    }
    m_editing = m_adding = false;
}

void Recordset::Update()
{
    if (!m_editing)
        return;
    if (!IsUpdatable()) {
        CancelUpdate();
        throw DbError(DbErrorNumber::NotUpdatable, Source(),
            QStringLiteral("Current Recordset does not support updating"));
    }
    try {
        WriteRow();
    } catch (...) {
        // Nothing half-written: the row goes back to what the database holds.
        CancelUpdate();
        throw;
    }
    m_editing = m_adding = false;
}

void Recordset::WriteRow()
{
    QStringList columns;
    QVariantList values;
    for (int c = 0; c < FieldCount(); ++c) {
        if (!m_dirty[size_t(c)] || m_fields[size_t(c)].baseColumn.isEmpty())
            continue;
        columns << u'"' + m_fields[size_t(c)].baseColumn + u'"';
        const Cell& cell = CellAt(m_position, c);
        switch (cell.kind) {
        case Cell::Kind::Null:
            values << QVariant();
            break;
        case Cell::Kind::Integer:
            values << QVariant(qlonglong(cell.integer));
            break;
        case Cell::Kind::Real:
            values << QVariant(cell.real);
            break;
        case Cell::Kind::Text:
            values << QVariant(cell.text);
            break;
        }
    }
    const QString table = u'"' + m_table + u'"';
    auto run = [&](const QString& sql, const QVariantList& parameters) {
        StatementHandle statement = m_connection.Prepare(sql, parameters);
        const int rc = sqlite3_step(statement.get());
        if (rc != SQLITE_DONE)
            m_connection.ThrowEngineError(rc, Source());
    };
    if (m_adding) {
        if (columns.isEmpty()) {
            run(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" DEFAULT VALUES"), {});
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(table, columns.join(u','), marks.join(u',')),
                values);
        }
        m_rowids[size_t(m_position)] = m_connection.LastInsertId();
    } else {
        if (columns.isEmpty())
            return;
        QStringList sets;
        for (const QString& column : columns)
            sets << column + QStringLiteral("=?");
        values << QVariant(qlonglong(m_rowids[size_t(m_position)]));
        run(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(table, sets.join(u',')), values);
    }
    ReloadRow(m_position);
}

void Recordset::ReloadRow(int row)
{
    // Read the row back so that the id the database assigned and its own conversions show.
    QStringList columns;
    for (const FieldInfo& field : m_fields)
        columns << (field.baseColumn.isEmpty() ? QStringLiteral("NULL") : u'"' + field.baseColumn + u'"');
    StatementHandle statement = m_connection.Prepare(
        QStringLiteral("SELECT %1 FROM \"%2\" WHERE rowid=?").arg(columns.join(u','), m_table),
        { QVariant(qlonglong(m_rowids[size_t(row)])) });
    sqlite3_stmt* s = statement.get();
    if (sqlite3_step(s) != SQLITE_ROW)
        return;
    for (int c = 0; c < FieldCount(); ++c) {
        if (m_fields[size_t(c)].baseColumn.isEmpty())
            continue;
        Cell cell;
        switch (sqlite3_column_type(s, c)) {
        case SQLITE_INTEGER:
            cell.kind = Cell::Kind::Integer;
            cell.integer = sqlite3_column_int64(s, c);
            break;
        case SQLITE_FLOAT:
            cell.kind = Cell::Kind::Real;
            cell.real = sqlite3_column_double(s, c);
            break;
        case SQLITE_NULL:
            break;
        default:
            cell.kind = Cell::Kind::Text;
            cell.text = QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(s, c)), sqlite3_column_bytes(s, c));
        }
        CellAt(row, c) = std::move(cell);
    }
}

void Recordset::Delete()
{
    RequireCurrent("Delete");
    if (m_adding) {
        CancelUpdate();
        return;
    }
    if (!IsUpdatable())
        throw DbError(DbErrorNumber::NotUpdatable, Source(),
            QStringLiteral("Current Recordset does not support updating"));
    if (m_editing)
        CancelUpdate();
    StatementHandle statement
        = m_connection.Prepare(QStringLiteral("DELETE FROM \"%1\" WHERE rowid=?").arg(m_table),
            { QVariant(qlonglong(m_rowids[size_t(m_position)])) });
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_DONE)
        m_connection.ThrowEngineError(rc, Source());
    const auto begin = m_cells.begin() + qsizetype(m_position) * FieldCount();
    m_cells.erase(begin, begin + FieldCount());
    m_rowids.erase(m_rowids.begin() + m_position);
    --m_rows;
    // The cursor now stands on the row after the deleted one, or on EOF.
}

} // namespace kivo
