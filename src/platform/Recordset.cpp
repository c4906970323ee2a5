#include "Recordset.h"

#include "Connection.h"
#include "DateText.h"
#include "DbError.h"
#include "NumberText.h"
#include "ValueText.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <new>
#include <QStringDecoder>
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

namespace {

// Blocks that closed snapshots gave back, kept for the next ones up to a bound.
struct BlockPool {
    std::mutex mutex;
    std::vector<void*> blocks;
    static constexpr size_t MaxKept = 512; // 32 MiB
};

// Never destroyed, so a recordset that outlives the other statics can still give back its
// blocks at exit.
BlockPool& Pool()
{
    static BlockPool* const pool = new BlockPool;
    return *pool;
}

} // namespace

void* Recordset::AcquireBlock()
{
    {
        BlockPool& pool = Pool();
        const std::lock_guard lock(pool.mutex);
        if (!pool.blocks.empty()) {
            void* block = pool.blocks.back();
            pool.blocks.pop_back();
            return block;
        }
    }
    void* block = std::malloc(BlockBytes);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void Recordset::ReleaseBlock(void* block)
{
    BlockPool& pool = Pool();
    const std::lock_guard lock(pool.mutex);
    if (pool.blocks.size() < BlockPool::MaxKept)
        pool.blocks.push_back(block);
    else
        std::free(block);
}

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

    // Decide whether the rows can be written back: every column that comes from a table
    // comes from the same one (expression columns ride along and are never written), and
    // the statement neither groups nor merges rows. Such a recordset also reads the rowid.
    QString table;
    {
        StatementHandle probe = m_connection.Prepare(engineSql);
        const int columns = sqlite3_column_count(probe.get());
        for (int i = 0; i < columns; ++i) {
            const char* name = sqlite3_column_table_name(probe.get(), i);
            if (!name)
                continue;
            const QString columnTable = QString::fromUtf8(name);
            if (!table.isEmpty() && columnTable != table) {
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
            table.clear(); // the columns of one table out of a join: "rowid" is ambiguous, read-only
        }
    }
    m_source = source;
    m_engineSql = engineSql;
    m_table = table;
    Load();
    m_open = true;
}

Recordset::Cell Recordset::ReadCell(sqlite3_stmt* statement, int column, QStringDecoder& decoder)
{
    Cell cell;
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        cell.kind = Cell::Kind::Integer;
        cell.integer = sqlite3_column_int64(statement, column);
        break;
    case SQLITE_FLOAT:
        cell.kind = Cell::Kind::Real;
        cell.real = sqlite3_column_double(statement, column);
        break;
    case SQLITE_NULL:
        break;
    default: {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        const qsizetype size = sqlite3_column_bytes(statement, column);
        // Decode straight into the shared text buffer: UTF-8 never needs more UTF-16 units
        // than it has bytes.
        const qsizetype offset = m_text.size();
        if (m_text.capacity() < offset + size)
            m_text.reserve(qMax(2 * m_text.capacity(), offset + size + 1024));
        m_text.resize(offset + size);
        QChar* begin = m_text.data() + offset;
        QChar* end = decoder.appendToBuffer(begin, QByteArrayView(bytes, size));
        m_text.resize(offset + (end - begin));
        cell.kind = Cell::Kind::Text;
        cell.offset = offset;
        cell.length = quint32(end - begin);
        break;
    }
    }
    return cell;
}

Recordset::Cell Recordset::StoreText(QStringView text)
{
    Cell cell;
    cell.kind = Cell::Kind::Text;
    cell.offset = m_text.size();
    cell.length = quint32(text.size());
    m_text.append(text);
    return cell;
}

void Recordset::Load()
{
    StatementHandle statement = m_connection.Prepare(m_engineSql);
    sqlite3_stmt* s = statement.get();
    const int first = m_table.isEmpty() ? 0 : 1;
    const int columns = sqlite3_column_count(s) - first;

    // An expression column has no declared type and takes it from its values: the first
    // one decides (Count -> long, Sum of numbers -> double, anything else -> text), and a
    // long widens to a double when a fractional value follows.
    enum class Typing : quint8 { Declared, Open, Widenable };
    std::vector<Typing> typing(size_t(columns), Typing::Declared);
    m_fields.assign(size_t(columns), FieldInfo {});
    for (int c = 0; c < columns; ++c) {
        FieldInfo& field = m_fields[size_t(c)];
        field.name = QString::fromUtf8(sqlite3_column_name(s, c + first));
        if (const char* origin = sqlite3_column_origin_name(s, c + first))
            field.baseColumn = QString::fromUtf8(origin);
        if (!FieldTypeFromDeclared(sqlite3_column_decltype(s, c + first), field))
            typing[size_t(c)] = Typing::Open;
    }
    m_cells.clear();
    m_rowids.clear();
    m_text.resize(0); // keeps its memory for the new rows
    m_rows = 0;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        m_rowids.push_back(first ? sqlite3_column_int64(s, 0) : 0);
        for (int c = 0; c < columns; ++c) {
            const Cell cell = ReadCell(s, c + first, decoder);
            if (typing[size_t(c)] != Typing::Declared && cell.kind != Cell::Kind::Null) {
                FieldInfo& field = m_fields[size_t(c)];
                if (typing[size_t(c)] == Typing::Open) {
                    field.type = cell.kind == Cell::Kind::Integer ? FieldLong
                        : cell.kind == Cell::Kind::Real           ? FieldDouble
                                                                  : FieldText;
                    field.definedSize = field.type == FieldLong ? 4 : field.type == FieldDouble ? 8 : 255;
                    typing[size_t(c)] = field.type == FieldLong ? Typing::Widenable : Typing::Declared;
                } else if (cell.kind == Cell::Kind::Real) {
                    field.type = FieldDouble;
                    field.definedSize = 8;
                    typing[size_t(c)] = Typing::Declared;
                }
            }
            m_cells.push_back(cell);
        }
        ++m_rows;
    }
    if (rc != SQLITE_DONE)
        m_connection.ThrowEngineError(rc, Source());
    m_position = m_rows > 0 ? 0 : m_rows; // empty: BOF and EOF both true
    m_editing = m_adding = false;
    m_afterDelete = false;
}

void Recordset::Close()
{
    m_open = false;
    m_fields.clear();
    m_cells.Release();
    m_text.clear();
    m_rowids.Release();
    m_rows = 0;
    m_position = 0;
    m_editing = m_adding = false;
    m_afterDelete = false;
    m_table.clear();
}

void Recordset::Requery()
{
    if (!m_open)
        throw DbError(DbErrorNumber::NotOpen, Source(), QStringLiteral("The recordset is not open"));
    Settle();
    Load();
}

bool Recordset::Bof() const
{
    return m_rows == 0 || m_position < 0;
}

bool Recordset::Eof() const
{
    return m_rows == 0 || m_position >= m_rows;
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
    Arrive();
    m_position = m_rows > 0 ? 0 : m_rows;
}

void Recordset::MoveLast()
{
    Settle();
    Arrive();
    m_position = m_rows > 0 ? m_rows - 1 : m_rows;
}

void Recordset::MoveNext()
{
    Settle();
    if (m_afterDelete) {
        // Stepping off the deleted row lands on the row that followed it, where we stand.
        Arrive();
        return;
    }
    if (m_position < m_rows)
        ++m_position;
}

void Recordset::MovePrevious()
{
    Settle();
    Arrive();
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
    Arrive();
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
    double number = 0;
    if (numeric) {
        const std::optional<double> parsed = ParseNumber(condition.value);
        if (!parsed)
            throw DbError(DbErrorNumber::TypeConversion, Source(),
                QStringLiteral("Data type mismatch in criterion: ") + criterion);
        number = *parsed;
    }
    QString value = condition.value;
    if (field.type == FieldDate && !condition.dated) {
        const QDate date = ParseShortDate(value);
        if (date.isValid())
            value = date.toString(Qt::ISODate);
    }
    Arrive();
    for (int row = qMax(0, m_position); row < m_rows; ++row) {
        const Cell& cell = CellAt(row, column);
        int comparison = 0;
        switch (cell.kind) {
        case Cell::Kind::Null:
            continue;
        case Cell::Kind::Integer:
        case Cell::Kind::Real: {
            const double v = cell.kind == Cell::Kind::Integer ? double(cell.integer) : cell.real;
            if (numeric)
                comparison = v < number ? -1 : v > number ? 1 : 0;
            else
                comparison = CellValue(cell, column).toString().compare(value, Qt::CaseInsensitive);
            break;
        }
        case Cell::Kind::Text: {
            QStringView text = CellText(cell);
            if (numeric) {
                const std::optional<double> v = ParseNumber(text.toString());
                if (!v)
                    continue;
                comparison = *v < number ? -1 : *v > number ? 1 : 0;
            } else {
                if (field.type == FieldDate)
                    text = text.left(10); // a time part is not part of the date
                comparison = text.compare(value, Qt::CaseInsensitive);
            }
            break;
        }
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

void Recordset::RequireUpdatable() const
{
    if (!IsUpdatable())
        throw DbError(DbErrorNumber::NotUpdatable, Source(),
            QStringLiteral("Current Recordset does not support updating"));
}

QVariant Recordset::CellValue(const Cell& cell, int column) const
{
    switch (cell.kind) {
    case Cell::Kind::Null:
        return {};
    case Cell::Kind::Integer:
        switch (m_fields[size_t(column)].type) {
        case FieldDouble:
            return QVariant(double(cell.integer));
        case FieldText:
            return QVariant(QString::number(cell.integer));
        default:
            return QVariant(qlonglong(cell.integer));
        }
    case Cell::Kind::Real:
        switch (m_fields[size_t(column)].type) {
        case FieldLong:
            // A fraction in a long column (written by a statement, not by a recordset)
            // reads as the whole number a long assignment would have stored.
            return QVariant(qlonglong(RoundHalfEven(cell.real, 0)));
        case FieldText:
            return QVariant(NumberText(cell.real));
        default:
            return QVariant(cell.real);
        }
    case Cell::Kind::Text:
        break;
    }
    const QStringView text = CellText(cell);
    if (m_fields[size_t(column)].type == FieldDate) {
        // Stored as ISO text; a time part, if a statement wrote one, is not part of the date.
        const QDate date = QDate::fromString(text.left(10).toString(), Qt::ISODate);
        if (date.isValid())
            return QVariant(date);
    }
    return QVariant(text.toString());
}

QVariant Recordset::Value(int index) const
{
    RequireCurrent("Value");
    Field(index);
    Arrive();
    return CellValue(CellAt(m_position, index), index);
}

QString Recordset::Text(int index) const
{
    return ValueText(Value(index));
}

Recordset::Converted Recordset::Convert(int column, const QVariant& value) const
{
    const FieldInfo& field = m_fields[size_t(column)];
    Converted result;
    if (!value.isValid() || value.isNull())
        return result;
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
                return result; // an empty box stores no number
            const std::optional<double> parsed = ParseNumber(text);
            if (!parsed)
                throw conversionError();
            number = *parsed;
        } else {
            bool ok = false;
            number = value.toDouble(&ok);
            if (!ok || !std::isfinite(number))
                throw conversionError();
        }
        if (field.type == FieldLong) {
            const double whole = RoundHalfEven(number, 0);
            if (whole > std::numeric_limits<qint32>::max() || whole < std::numeric_limits<qint32>::min())
                throw DbError(DbErrorNumber::TypeConversion, Source(),
                    QStringLiteral("Overflow: '%1' for field %2").arg(value.toString(), field.name));
            result.kind = Cell::Kind::Integer;
            result.integer = qint64(whole);
        } else {
            result.kind = Cell::Kind::Real;
            result.real = number;
        }
        return result;
    }
    case FieldDate: {
        QDate date;
        if (value.typeId() == QMetaType::QDate) {
            date = value.toDate();
            if (!date.isValid())
                return result; // no date
        } else if (value.typeId() == QMetaType::QDateTime) {
            date = value.toDateTime().date();
        } else if (isText) {
            const QString text = value.toString();
            if (text.trimmed().isEmpty())
                return result;
            // Only the short date form (or ISO) is read: "05/03/2026" means different days
            // in different places, so no other order is guessed.
            date = ParseShortDate(text);
        }
        if (!date.isValid())
            throw conversionError();
        result.kind = Cell::Kind::Text;
        result.text = date.toString(Qt::ISODate);
        return result;
    }
    default: {
        QString text;
        if (value.typeId() == QMetaType::QDate)
            text = ShortDate(value.toDate());
        else if (value.typeId() == QMetaType::Double)
            text = NumberText(value.toDouble());
        else
            text = value.toString();
        // The width counts characters; a character outside the basic plane takes two units.
        if (text.size() > field.definedSize && text.toUcs4().size() > field.definedSize)
            throw DbError(3163, Source(),
                QStringLiteral(
                    "The field %1 is too small to accept the amount of data (%2 characters, %3 allowed)")
                    .arg(field.name)
                    .arg(text.toUcs4().size())
                    .arg(field.definedSize));
        result.kind = Cell::Kind::Text;
        result.text = std::move(text);
        return result;
    }
    }
}

void Recordset::SetValue(int index, const QVariant& value)
{
    RequireCurrent("SetValue");
    Field(index);
    RequireUpdatable();
    const Converted converted = Convert(index, value);
    Arrive();
    if (!m_editing) {
        m_editing = true;
        m_adding = false;
        m_original.clear();
        for (int c = 0; c < FieldCount(); ++c)
            m_original.push_back(CellAt(m_position, c));
        m_dirty.assign(size_t(FieldCount()), false);
    }
    Cell cell;
    cell.kind = converted.kind;
    if (converted.kind == Cell::Kind::Text)
        cell = StoreText(converted.text);
    else if (converted.kind == Cell::Kind::Integer)
        cell.integer = converted.integer;
    else if (converted.kind == Cell::Kind::Real)
        cell.real = converted.real;
    CellAt(m_position, index) = cell;
    m_dirty[size_t(index)] = true;
}

void Recordset::AddNew()
{
    Settle();
    RequireUpdatable();
    Arrive();
    m_positionBeforeAdd = m_position;
    m_cells.Grow(m_fields.size());
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
        m_cells.Shrink(m_fields.size());
        m_rowids.Shrink(1);
        --m_rows;
        m_position = qMin(m_positionBeforeAdd, m_rows);
    } else {
        for (int c = 0; c < FieldCount(); ++c)
            CellAt(m_position, c) = m_original[size_t(c)];
    }
    m_editing = m_adding = false;
}

void Recordset::Update()
{
    if (!m_open)
        throw DbError(DbErrorNumber::NotOpen, Source(), QStringLiteral("The recordset is not open"));
    RequireUpdatable();
    if (!m_editing)
        return;
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
            values << QVariant(CellText(cell).toString());
            break;
        }
    }
    const QString table = u'"' + m_table + u'"';
    auto run = [&](const QString& sql, const QVariantList& parameters) {
        StatementHandle statement = m_connection.Prepare(sql, parameters);
        const int rc = sqlite3_step(statement.get());
        if (rc != SQLITE_DONE)
            m_connection.ThrowEngineError(rc, Source());
        return sqlite3_changes(m_connection.Handle());
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
            return; // only expression columns changed: they live in the snapshot alone
        QStringList sets;
        for (const QString& column : columns)
            sets << column + QStringLiteral("=?");
        values << QVariant(qlonglong(m_rowids[size_t(m_position)]));
        if (run(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(table, sets.join(u',')), values) != 1)
            throw DbError(DbErrorNumber::NoCurrentRecord, Source(),
                QStringLiteral("The row to update is no longer in %1").arg(m_table));
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
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (int c = 0; c < FieldCount(); ++c) {
        if (!m_fields[size_t(c)].baseColumn.isEmpty())
            CellAt(row, c) = ReadCell(s, c, decoder);
    }
}

void Recordset::Delete()
{
    RequireCurrent("Delete");
    if (m_adding) {
        CancelUpdate();
        return;
    }
    RequireUpdatable();
    if (m_editing)
        CancelUpdate();
    StatementHandle statement
        = m_connection.Prepare(QStringLiteral("DELETE FROM \"%1\" WHERE rowid=?").arg(m_table),
            { QVariant(qlonglong(m_rowids[size_t(m_position)])) });
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_DONE)
        m_connection.ThrowEngineError(rc, Source());
    if (sqlite3_changes(m_connection.Handle()) != 1)
        throw DbError(DbErrorNumber::NoCurrentRecord, Source(),
            QStringLiteral("The row to delete is no longer in %1").arg(m_table));
    m_cells.Erase(size_t(m_position) * m_fields.size(), m_fields.size());
    m_rowids.Erase(size_t(m_position), 1);
    --m_rows;
    // The cursor now stands on the row after the deleted one, or on EOF.
    m_afterDelete = true;
}

} // namespace kivo
