#include "Recordset.h"

#include "Connection.h"
#include "DateText.h"
#include "DbError.h"
#include "FindCriterion.h"
#include "NumberText.h"
#include "RecordsetLayout.h"
#include "SqlFunctions.h"
#include "SqlTokenizer.h"
#include "ValueText.h"

#include <algorithm>
#include <limits>
#include <QStringDecoder>
#include <sqlite3.h>

namespace kivo {

namespace {

const QString& Source()
{
    static const QString source = QStringLiteral("Kivo Recordset");
    return source;
}

// Rows fetched at a time by a windowed list: a screenful and then some after a jump; a list
// read from end to end doubles its window at each step, up to a bound, so that it costs
// little more than stepping the engine.
constexpr int WindowRows = 32;
constexpr int MaxWindowRows = 4096;
// A snapshot searches by query from this many rows ahead of the cursor; fewer are scanned.
constexpr int QueryFindRows = 64;

qint64 ScalarInteger(Connection& connection, const QString& sql, const QVariantList& parameters)
{
    CachedStatement statement = connection.Statement(sql, parameters);
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_ROW)
        return sqlite3_column_int64(statement.get(), 0);
    if (rc != SQLITE_DONE)
        connection.ThrowEngineError(rc, Source());
    return 0;
}

// The cached statement, as Connection::Statement lends it, for a statement already split into
// tokens; `key` receives the cached statement's text and `values` the literals bound to it.
CachedStatement LiteralsBound(Connection& connection, const QString& sql, const std::vector<SqlToken>& tokens,
    QString& key, QVariantList& values)
{
    ParameterizedSql shape = ParameterizeLiterals(sql, tokens);
    CachedStatement statement = connection.StatementAsWritten(shape.sql);
    for (int i = 0; i < shape.values.size(); ++i)
        BindValue(statement.get(), i + 1, shape.values[i]);
    key = std::move(shape.sql);
    values = std::move(shape.values);
    return statement;
}

// A text literal as written ("'it''s'") and as a value ("it's").
QString Unquoted(QStringView quoted)
{
    QString text = quoted.sliced(1, quoted.size() - 2).toString();
    text.replace(QStringLiteral("''"), QStringLiteral("'"));
    return text;
}

// The statement with each text literal emptied ("... Where PCode=''") and the literals as
// written, found without the tokenizer: look-ups that differ only in their literals share
// what the first of them learned. False for a statement whose text outside the literals could
// make a literal's content change its translation or its reading (a "+", a Like, a comment,
// brackets, quoted names, parameters, dates), which then takes the long way.
bool LiteralShape(const QString& source, QString& shape, std::vector<QStringView>& quoted)
{
    const QStringView text(source);
    const qsizetype n = text.size();
    shape.reserve(n);
    qsizetype copied = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\'') {
            qsizetype j = i + 1;
            while (true) {
                if (j >= n)
                    return false; // unclosed: the long way reports it
                if (text[j] == u'\'') {
                    if (j + 1 < n && text[j + 1] == u'\'') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            shape += text.sliced(copied, i - copied);
            shape += QStringLiteral("''");
            quoted.push_back(text.sliced(i, j + 1 - i));
            copied = j + 1;
            i = j;
            continue;
        }
        switch (c) {
        case u'"':
        case u'[':
        case u'`':
        case u'#':
        case u'+':
        case u'-':
        case u'/':
        case u'?':
        case u':':
        case u'@':
        case u'$':
        case u';':
        case u'\\':
        case 0xE000:
            return false;
        default:
            break;
        }
    }
    shape += text.sliced(copied);
    return !shape.contains(QStringLiteral("like"), Qt::CaseInsensitive);
}

// Whether a snapshot's rows are read without the rowid in front, from the statement as
// written: when they can be written back and a field (a master table's EId) holds the rowid.
bool ReadsRowidFromField(bool rowid, const RecordsetLayout& layout)
{
    return rowid && !layout.windowed && layout.rowidField >= 0;
}

// The fields of a closed recordset.
const std::shared_ptr<const std::vector<FieldInfo>>& NoFields()
{
    static const auto none = std::make_shared<const std::vector<FieldInfo>>();
    return none;
}

} // namespace

Recordset::Recordset(Connection& connection)
    : m_connection(connection)
    , m_fields(NoFields())
{
}

void Recordset::Open(const QString& source)
{
    Close();
    const QString trimmed = source.trimmed();
    const bool bareTable = !trimmed.isEmpty() && !trimmed.contains(u' ');

    // A statement of a shape opened before (the same text but for its text literals) takes
    // the cached statement, binds its literals and is ready.
    QString shape;
    std::vector<QStringView> quoted;
    const bool shaped = !bareTable && LiteralShape(source, shape, quoted);
    if (shaped) {
        if (const Connection::OpenShape* known = m_connection.KnownOpenShape(shape)) {
            if (known->engineParts.size() == qsizetype(quoted.size()) + 1) {
                QString engineSql = known->engineParts.front();
                for (size_t i = 0; i < quoted.size(); ++i)
                    engineSql += quoted[i] + known->engineParts[qsizetype(i) + 1];
                const bool rowid = known->rowid;
                CachedStatement prepared
                    = m_connection.StatementAsWritten(known->readKey.isEmpty() ? known->key : known->readKey);
                for (size_t i = 0; i < quoted.size(); ++i)
                    BindValue(prepared.get(), int(i) + 1, Unquoted(quoted[i]));
                if (std::shared_ptr<const RecordsetLayout> layout = m_connection.Layout(prepared)) {
                    m_engineSql = std::move(engineSql);
                    Start(source, std::move(prepared), rowid, std::move(layout));
                    return;
                }
            }
        }
    }

    const QString statement = bareTable ? QStringLiteral("Select * From ") + trimmed : source;
    const QString engineSql = m_connection.Translate(statement);

    // A statement that may write back reads the rowid too. It is prepared once that way; only
    // the columns of one table out of a join ("rowid" is then ambiguous) need a second try.
    // The statement is split into tokens once, for both.
    CachedStatement prepared;
    bool rowid = false;
    QString key;
    QVariantList values;
    const std::vector<SqlToken> tokens = TokenizeSql(engineSql);
    std::vector<SqlToken> rowidTokens;
    if (!StatementMergesRows(engineSql, tokens)) {
        rowidTokens = tokens;
        const QString withRowid = RecordsetLayout::WithRowid(engineSql, rowidTokens);
        if (!withRowid.isEmpty()) {
            try {
                prepared = LiteralsBound(m_connection, withRowid, rowidTokens, key, values);
                rowid = true;
                m_engineSql = withRowid;
            } catch (const DbError&) {
            }
        }
    }
    if (!rowid) {
        prepared = LiteralsBound(m_connection, engineSql, tokens, key, values);
        m_engineSql = engineSql;
    }
    std::shared_ptr<const RecordsetLayout> layout = m_connection.Layout(prepared);
    if (!layout) {
        layout = RecordsetLayout::Make(m_connection, prepared.get(), rowid, engineSql);
        m_connection.RememberLayout(prepared, layout);
    }
    // A snapshot of a master table's rows is read without the rowid in front: its EId field
    // holds it, and the engine then reads the key once per row, not twice. The statement as
    // written describes its rows with the layout learned with the rowid.
    QString readKey;
    if (ReadsRowidFromField(rowid, *layout)) {
        QVariantList readValues;
        CachedStatement reading = LiteralsBound(m_connection, engineSql, tokens, readKey, readValues);
        m_connection.RememberLayout(reading, layout);
        prepared = std::move(reading);
    }
    if (shaped) {
        // Remembered when every literal of the statement became a bound value as written and
        // stands in the engine's statement as written, so that the next statement of this
        // shape is the same but for those values.
        const std::vector<SqlToken>& engineTokens = rowid ? rowidTokens : tokens;
        Connection::OpenShape known { key, rowid, {}, readKey };
        bool same = values.size() == qsizetype(quoted.size());
        qsizetype copied = 0;
        size_t literal = 0;
        for (const SqlToken& token : engineTokens) {
            if (!same)
                break;
            if (token.kind != SqlTokenKind::String)
                continue;
            same = literal < quoted.size() && token.Text(m_engineSql) == quoted[literal]
                && values[qsizetype(literal)].typeId() == QMetaType::QString
                && values[qsizetype(literal)].toString() == Unquoted(quoted[literal]);
            known.engineParts << m_engineSql.mid(copied, token.begin - copied);
            copied = token.begin + token.length;
            ++literal;
        }
        if (same && literal == quoted.size()) {
            known.engineParts << m_engineSql.mid(copied);
            m_connection.RememberOpenShape(shape, std::move(known));
        }
    }
    Start(source, std::move(prepared), rowid, std::move(layout));
}

void Recordset::Start(const QString& source, CachedStatement prepared, bool rowid,
    std::shared_ptr<const RecordsetLayout> layout)
{
    m_layout = std::move(layout);
    m_source = source;
    m_rowid = rowid;
    m_table = m_layout->table;
    // The layout's fields, shared: a recordset opened again and again copies none of them.
    m_fields = std::shared_ptr<const std::vector<FieldInfo>>(m_layout, &m_layout->fields);
    m_windowed = m_layout->windowed;
    if (m_windowed) {
        m_windowSelect = m_layout->windowSelect;
        prepared = CachedStatement();
        Begin();
    } else {
        Load(prepared);
    }
    m_open = true;
}

void Recordset::Load(CachedStatement& statement)
{
    sqlite3_stmt* s = statement.get();
    const int first = m_rowid && !ReadsRowidFromField(m_rowid, *m_layout) ? 1 : 0;
    // An expression column has no declared type and takes it from its values: the first
    // one decides (Count -> long, Sum of numbers -> double, anything else -> text), and a
    // long widens to a double when a fractional value follows.
    enum class Typing : quint8 { Declared, Open, Widenable };
    std::vector<Typing> typing(m_fields->size(), Typing::Declared);
    bool anyOpen = false;
    for (size_t c = 0; c < m_fields->size(); ++c)
        if (m_layout->typedByValue[c]) {
            typing[c] = Typing::Open;
            anyOpen = true;
        }
    // Types decided by the values belong to this reading: the fields are then its own copy.
    std::shared_ptr<std::vector<FieldInfo>> ownFields;
    if (anyOpen) {
        ownFields = std::make_shared<std::vector<FieldInfo>>(*m_fields);
        m_fields = ownFields;
    }
    m_store.Reset(*m_fields);
    m_windowStart = 0;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    auto typeByValue = [&](int c, const Cell& cell) {
        if (typing[size_t(c)] == Typing::Declared || cell.kind == Kind::Null)
            return;
        FieldInfo& field = (*ownFields)[size_t(c)];
        if (typing[size_t(c)] == Typing::Open) {
            field.type = cell.kind == Kind::Integer ? FieldLong
                : cell.kind == Kind::Real           ? FieldDouble
                                                    : FieldText;
            field.definedSize = field.type == FieldLong ? 4 : field.type == FieldDouble ? 8 : 255;
            typing[size_t(c)] = field.type == FieldLong ? Typing::Widenable : Typing::Declared;
        } else if (cell.kind == Kind::Real) {
            field.type = FieldDouble;
            field.definedSize = 8;
            typing[size_t(c)] = Typing::Declared;
        }
    };
    int rc;
    bool ascending = m_rowid;
    qint64 previous = std::numeric_limits<qint64>::min();
    const int rowidField = m_rowid ? m_layout->rowidField : -1;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        const qint64 rowid = anyOpen ? m_store.Append(s, first, rowidField, decoder, typeByValue)
                                     : m_store.Append(s, first, rowidField, decoder, [](int, const Cell&) {});
        ascending = ascending && rowid > previous;
        previous = rowid;
        // Only a snapshot long enough to be searched by query needs to know what it was read
        // from; asked while the rows are being read, the answer belongs to the same reading.
        if (ascending && m_store.Rows() == QueryFindRows)
            m_loadedSignature = DataSignature();
    }
    if (rc != SQLITE_DONE)
        m_connection.ThrowEngineError(rc, Source());
    m_ascending = ascending && m_store.Rows() >= QueryFindRows;
    m_rows = m_store.Rows();
    m_counted = true;
    m_position = m_rows > 0 ? 0 : m_rows; // empty: BOF and EOF both true
    m_editing = m_adding = false;
    m_afterDelete = false;
}

void Recordset::Begin()
{
    // The rows are counted only when a count is asked for: reading the first window tells
    // whether there are any, and a list read to its end counts itself on the way.
    m_store.Reset(*m_fields);
    m_windowStart = 0;
    m_rows = 0;
    m_counted = false;
    m_windowRows = WindowRows;
    m_editing = m_adding = false;
    m_afterDelete = false;
    m_position = 0;
    FetchAfter(std::numeric_limits<qint64>::min(), 0);
}

int Recordset::Rows() const
{
    if (!m_counted) {
        m_rows = int(
            ScalarInteger(m_connection, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(m_table), {}));
        m_counted = true;
    }
    return m_rows;
}

bool Recordset::Past(int position) const
{
    if (m_counted)
        return position >= m_rows;
    if (position < m_windowStart + m_store.Rows())
        return false;
    Ensure(position); // a forward fetch that finds no row counts the list
    return m_counted && position >= m_rows;
}

void Recordset::Close()
{
    m_open = false;
    m_fields = NoFields();
    m_store.Release();
    m_windowStart = 0;
    m_rows = 0;
    m_counted = true;
    m_position = 0;
    m_editing = m_adding = false;
    m_afterDelete = false;
    m_table.clear();
    m_windowed = false;
    m_ascending = false;
    m_layout.reset();
    m_insertSql.clear();
    m_updateSql.clear();
    m_reloadSql.clear();
}

void Recordset::Requery()
{
    if (!m_open)
        throw DbError(DbErrorNumber::NotOpen, Source(), QStringLiteral("The recordset is not open"));
    Settle();
    if (m_windowed) {
        Begin();
        return;
    }
    // Opened again, it reads from the statement it was read from at first.
    const QString source = m_source;
    Open(source);
}

// ---- the window of a browse list ----

void Recordset::Ensure(int position) const
{
    const int end = m_windowStart + m_store.Rows();
    if (position >= m_windowStart && position < end)
        return;
    const bool reading = m_store.Rows() > 0 && (position == end || position == m_windowStart - 1);
    m_windowRows = reading ? qMin(2 * m_windowRows, MaxWindowRows) : WindowRows;
    if (m_store.Rows() > 0 && position == end)
        FetchAfter(m_store.Rowid(m_store.Rows() - 1), position);
    else if (m_store.Rows() > 0 && position == m_windowStart - 1)
        FetchBefore(m_store.Rowid(0), position);
    else if (position == 0)
        FetchAfter(std::numeric_limits<qint64>::min(), 0);
    else if (m_counted && position == m_rows - 1)
        FetchBefore(std::numeric_limits<qint64>::max(), position);
    else
        FetchAt(position);
}

void Recordset::FillWindow(CachedStatement& statement, int position, bool endsAtPosition, bool forward) const
{
    m_store.Reset(*m_fields);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    sqlite3_stmt* s = statement.get();
    const int first = forward && m_layout->rowidField >= 0 ? 0 : 1;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        m_store.Append(s, first, m_layout->rowidField, decoder, [](int, const Cell&) {});
    if (rc != SQLITE_DONE)
        m_connection.ThrowEngineError(rc, Source());
    m_windowStart = endsAtPosition ? position - m_store.Rows() + 1 : position;
    if (!endsAtPosition && m_store.Rows() < m_windowRows) {
        // Fewer rows than asked for: the list ends here, and now its length is known.
        m_rows = position + m_store.Rows();
        m_counted = true;
        return;
    }
    if (m_store.Rows() == 0 || m_windowStart < 0) {
        // The table lost rows behind the list's back: count again; the cursor stays where the
        // caller put it, now past the end if the rows ran out.
        m_counted = false;
        m_store.Reset(*m_fields);
        m_windowStart = 0;
        throw DbError(DbErrorNumber::NoCurrentRecord, Source(),
            QStringLiteral("Rows of %1 were removed by another routine; read the list again").arg(m_table));
    }
}

void Recordset::FetchAfter(qint64 id, int position) const
{
    CachedStatement statement = m_connection.Statement(
        m_layout->forwardSelect + QStringLiteral(" WHERE EId > ? ORDER BY EId LIMIT ?"),
        { id, m_windowRows });
    FillWindow(statement, position, false, true);
}

void Recordset::FetchBefore(qint64 id, int position) const
{
    CachedStatement statement = m_connection.Statement(QStringLiteral("SELECT * FROM (") + m_windowSelect
            + QStringLiteral(" WHERE EId < ? ORDER BY EId DESC LIMIT ?) ORDER BY kivo_rowid"),
        { id, m_windowRows });
    FillWindow(statement, position, true, false);
}

void Recordset::FetchAt(int position) const
{
    // Counted from the nearer end: the engine steps over the rows before the offset.
    if (position < Rows() / 2) {
        CachedStatement statement = m_connection.Statement(
            m_layout->forwardSelect + QStringLiteral(" ORDER BY EId LIMIT ? OFFSET ?"),
            { m_windowRows, position });
        FillWindow(statement, position, false, true);
    } else {
        CachedStatement statement = m_connection.Statement(QStringLiteral("SELECT * FROM (") + m_windowSelect
                + QStringLiteral(" ORDER BY EId DESC LIMIT ? OFFSET ?) ORDER BY kivo_rowid"),
            { m_windowRows, Rows() - 1 - position });
        FillWindow(statement, position, true, false);
    }
}

// The position of the row with this id: counted from the nearest row whose position is known
// (the first, the last, or the window's), since the engine can only count rows one by one.
qint64 Recordset::Rank(qint64 id) const
{
    struct Anchor {
        qint64 id;
        qint64 position;
    };
    std::vector<Anchor> anchors;
    const QString table = QStringLiteral("\"%1\"").arg(m_table);
    anchors.push_back(
        { ScalarInteger(m_connection, QStringLiteral("SELECT min(EId) FROM ") + table, {}), 0 });
    anchors.push_back(
        { ScalarInteger(m_connection, QStringLiteral("SELECT max(EId) FROM ") + table, {}), Rows() - 1 });
    if (m_store.Rows() > 0) {
        anchors.push_back({ m_store.Rowid(0), m_windowStart });
        anchors.push_back({ m_store.Rowid(m_store.Rows() - 1), m_windowStart + m_store.Rows() - 1 });
    }
    const Anchor* nearest = &anchors.front();
    for (const Anchor& anchor : anchors)
        if (std::abs(double(anchor.id) - double(id)) < std::abs(double(nearest->id) - double(id)))
            nearest = &anchor;
    if (nearest->id == id)
        return nearest->position;
    if (id > nearest->id)
        return nearest->position
            + ScalarInteger(m_connection,
                QStringLiteral("SELECT count(*) FROM %1 WHERE EId > ? AND EId <= ?").arg(table),
                { nearest->id, id });
    return nearest->position
        - ScalarInteger(m_connection,
            QStringLiteral("SELECT count(*) FROM %1 WHERE EId >= ? AND EId < ?").arg(table),
            { id, nearest->id });
}

// ---- cursor ----

bool Recordset::Bof() const
{
    return m_position < 0 || (m_counted && m_rows == 0);
}

bool Recordset::EofOutsideWindow() const
{
    return (m_counted && m_rows == 0) || Past(m_position);
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
    m_position = 0; // on an empty set that is BOF and EOF at once
}

void Recordset::MoveLast()
{
    Settle();
    Arrive();
    m_position = Rows() > 0 ? m_rows - 1 : m_rows;
}

void Recordset::MoveNextOutsideWindow()
{
    Settle();
    if (m_afterDelete) {
        // Stepping off the deleted row lands on the row that followed it, where we stand.
        Arrive();
        return;
    }
    if (!Past(m_position))
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
    return Rows();
}

int Recordset::AbsolutePosition() const
{
    return (m_position >= 0 && !Past(m_position)) ? m_position + 1 : -1;
}

void Recordset::SetAbsolutePosition(int position)
{
    Settle();
    if (position < 1 || position > Rows())
        throw DbError(DbErrorNumber::NoCurrentRecord, Source(),
            QStringLiteral("Position %1 is outside the %2 records").arg(position).arg(m_rows));
    Arrive();
    m_position = position - 1;
}

// ---- Find ----

bool Recordset::Find(const QString& criterion)
{
    Settle();
    const FindCriterion condition = FindCriterion::Parse(criterion);
    const int column = FieldIndex(condition.column);
    if (column < 0)
        throw DbError(DbErrorNumber::UnknownField, Source(),
            QStringLiteral("Item '%1' cannot be found in the collection").arg(condition.column));
    const FieldInfo& field = (*m_fields)[size_t(column)];
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
    if (m_windowed && !field.baseColumn.isEmpty())
        return FindInTable(condition, column, value, number);
    if (const std::optional<bool> found
        = FindByQuery(condition, column, numeric ? QVariant(number) : QVariant(value)))
        return *found;
    return FindInSnapshot(condition, column, value, number);
}

std::pair<int, unsigned> Recordset::DataSignature() const
{
    // The data version counts the commits of other connections only; the count of changed
    // rows covers this one's, committed or not.
    CachedStatement statement = m_connection.StatementAsWritten(QStringLiteral("PRAGMA data_version"));
    const unsigned version = sqlite3_step(statement.get()) == SQLITE_ROW
        ? unsigned(sqlite3_column_int64(statement.get(), 0))
        : 0;
    return { sqlite3_total_changes(m_connection.Handle()), version };
}

QString Recordset::ComparedColumn(const FieldInfo& field, const QString& column) const
{
    if (field.type == FieldLong || field.type == FieldDouble)
        return column;
    if (field.type == FieldDate)
        return QStringLiteral("substr(%1, 1, 10)").arg(column);
    return column + QStringLiteral(" COLLATE ") + QString::fromLatin1(TextCollation);
}

// The rows a long snapshot holds are the statement's rows in rowid order as long as nothing
// was written since they were read: the statement, asked for the first matching row from the
// current one on, answers through the table's indexes what a scan of the held rows would.
std::optional<bool> Recordset::FindByQuery(const FindCriterion& condition, int column, const QVariant& bound)
{
    const FieldInfo& field = (*m_fields)[size_t(column)];
    const int from = qMax(0, m_position);
    if (m_windowed || !m_rowid || !m_ascending || field.baseColumn.isEmpty() || m_rows - from < QueryFindRows
        || m_loadedSignature != DataSignature())
        return std::nullopt;
    // The field is named as the statement names it, which must be one column only.
    for (int c = 0; c < FieldCount(); ++c)
        if (c != column && (*m_fields)[size_t(c)].name.compare(field.name, Qt::CaseInsensitive) == 0)
            return std::nullopt;
    const QString name = u'"' + QString(field.name).replace(u'"', QStringLiteral("\"\"")) + u'"';
    CachedStatement statement = m_connection.Statement(
        QStringLiteral("SELECT kivo_rowid FROM (%1) WHERE kivo_rowid >= ? AND %2 %3 ? ORDER BY kivo_rowid "
                       "LIMIT 1")
            .arg(m_engineSql, ComparedColumn(field, name), condition.SqlOperator()),
        { QVariant(qlonglong(RowidAt(from))), bound });
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        m_connection.ThrowEngineError(rc, Source());
    const std::optional<qint64> id
        = rc == SQLITE_ROW ? std::optional<qint64>(sqlite3_column_int64(statement.get(), 0)) : std::nullopt;
    statement = CachedStatement();
    // Reading may have found a commit of another program: the held rows are then searched.
    if (m_loadedSignature != DataSignature())
        return std::nullopt;
    if (!id) {
        m_position = m_rows;
        return false;
    }
    int low = from;
    int high = m_rows;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (RowidAt(middle) < *id)
            low = middle + 1;
        else
            high = middle;
    }
    if (low == m_rows || RowidAt(low) != *id)
        return std::nullopt;
    m_position = low;
    return true;
}

bool Recordset::FindInSnapshot(
    const FindCriterion& condition, int column, const QString& value, double number)
{
    const FieldInfo& field = (*m_fields)[size_t(column)];
    const bool numeric = field.type == FieldLong || field.type == FieldDouble;
    for (int row = qMax(0, m_position); row < m_rows; ++row) {
        const Cell& cell = CellAt(row, column);
        int comparison = 0;
        switch (cell.kind) {
        case Kind::Null:
            continue;
        case Kind::Day:
            // Only a date field holds days, and a date compares by its ISO text.
            comparison = RowStore::DayText(cell).compare(value, Qt::CaseInsensitive);
            break;
        case Kind::Integer:
        case Kind::Real: {
            const double v = cell.kind == Kind::Integer ? double(cell.integer) : cell.real;
            if (numeric)
                comparison = v < number ? -1 : v > number ? 1 : 0;
            else
                comparison
                    = m_store.Value(row, column, field.type).toString().compare(value, Qt::CaseInsensitive);
            break;
        }
        case Kind::Text: {
            QStringView text = m_store.Text(cell);
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
        if (condition.Holds(comparison)) {
            m_position = row;
            return true;
        }
    }
    m_position = m_rows;
    return false;
}

// A browse list asks the table for the first row at or after the current one that matches,
// so a Find by id (or by an indexed column) costs a look-up, not a pass over the rows.
bool Recordset::FindInTable(const FindCriterion& condition, int column, const QString& value, double number)
{
    if (Past(m_position)) {
        m_position = Rows();
        return false;
    }
    qint64 from = std::numeric_limits<qint64>::min();
    if (m_position >= 0) {
        Ensure(m_position);
        from = RowidAt(m_position);
    }
    const FieldInfo& field = (*m_fields)[size_t(column)];
    QString test = u'"' + field.baseColumn + u'"';
    QVariant bound;
    if (field.type == FieldLong || field.type == FieldDouble) {
        bound = number;
    } else {
        bound = value;
        if (field.type == FieldDate) {
            test = ComparedColumn(field, test);
        } else {
            // Text compares without regard to case for every letter, as the text columns'
            // own collation does (so "=" uses the column's index); a column declared
            // otherwise is compared that way explicitly.
            const char* type = nullptr;
            const char* collation = nullptr;
            int notNull = 0, primaryKey = 0, autoIncrement = 0;
            const QByteArray table = m_table.toUtf8();
            const QByteArray name = field.baseColumn.toUtf8();
            const bool folding
                = sqlite3_table_column_metadata(m_connection.Handle(), nullptr, table.constData(),
                      name.constData(), &type, &collation, &notNull, &primaryKey, &autoIncrement)
                    == SQLITE_OK
                && collation && qstricmp(collation, TextCollation) == 0;
            if (!folding)
                test += QStringLiteral(" COLLATE ") + QString::fromLatin1(TextCollation);
        }
    }
    CachedStatement statement = m_connection.Statement(
        QStringLiteral("SELECT EId FROM \"%1\" WHERE EId >= ? AND %2 %3 ? ORDER BY EId LIMIT 1")
            .arg(m_table, test, condition.SqlOperator()),
        { from, bound });
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_DONE) {
        m_position = Rows();
        return false;
    }
    if (rc != SQLITE_ROW)
        m_connection.ThrowEngineError(rc, Source());
    const qint64 id = sqlite3_column_int64(statement.get(), 0);
    statement = CachedStatement();
    const int position = int(Rank(id));
    if (position < m_windowStart || position >= m_windowStart + m_store.Rows() || RowidAt(position) != id)
        FetchAfter(id - 1, position);
    m_position = position;
    return true;
}

// ---- fields and values ----

const FieldInfo& Recordset::Field(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw DbError(DbErrorNumber::UnknownField, Source(),
            QStringLiteral("Item %1 cannot be found in the collection").arg(index));
    return (*m_fields)[size_t(index)];
}

int Recordset::FieldIndex(const QString& name) const
{
    for (int i = 0; i < FieldCount(); ++i)
        if ((*m_fields)[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return -1;
    const QStringView qualifier = QStringView(name).left(dot);
    const QStringView bare = QStringView(name).sliced(dot + 1);
    int unqualified = -1;
    for (int i = 0; i < FieldCount(); ++i) {
        const FieldInfo& field = (*m_fields)[size_t(i)];
        if (field.name.compare(bare, Qt::CaseInsensitive) != 0)
            continue;
        if (field.qualifier.compare(qualifier, Qt::CaseInsensitive) == 0)
            return i;
        if (unqualified < 0)
            unqualified = i;
    }
    // A qualifier that names no table of the statement ("kaUser.ULogin" where kaUser has an
    // alias) still finds the field by its name.
    return unqualified;
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
    if (m_position < 0 || Past(m_position))
        throw DbError(DbErrorNumber::NoCurrentRecord, Source(),
            QStringLiteral("Either BOF or EOF is True, or the current record has been deleted (%1)")
                .arg(QString::fromLatin1(operation)));
    Ensure(m_position);
}

void Recordset::RequireUpdatable() const
{
    if (!IsUpdatable())
        throw DbError(DbErrorNumber::NotUpdatable, Source(),
            QStringLiteral("Current Recordset does not support updating"));
}

QVariant Recordset::CheckedValue(int index) const
{
    RequireCurrent("Value");
    Field(index);
    Arrive();
    return m_store.Value(m_position - m_windowStart, index, (*m_fields)[size_t(index)].type);
}

QString Recordset::Text(int index) const
{
    return ValueText(Value(index));
}

// ---- writing ----

void Recordset::SetValue(int index, const QVariant& value)
{
    RequireCurrent("SetValue");
    Field(index);
    RequireUpdatable();
    const StoredValue converted = ConvertForField((*m_fields)[size_t(index)], value);
    Arrive();
    if (!m_editing) {
        m_editing = true;
        m_adding = false;
        m_original.clear();
        for (int c = 0; c < FieldCount(); ++c)
            m_original.push_back(CellAt(m_position, c));
        m_dirty.assign(size_t(FieldCount()), false);
    }
    CellAt(m_position, index) = m_store.Store(converted);
    m_dirty[size_t(index)] = true;
}

void Recordset::AddNew()
{
    Settle();
    RequireUpdatable();
    Arrive();
    m_positionBeforeAdd = m_position;
    // The new row goes last (it will have the highest EId); a window elsewhere is let go.
    if (m_windowStart + m_store.Rows() != Rows()) {
        m_store.Reset(*m_fields);
        m_windowStart = m_rows;
    }
    m_store.AppendEmpty();
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
        m_store.RemoveLast();
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
    // The statement depends only on which columns changed: built once for each such set.
    std::vector<bool> mask(m_fields->size(), false);
    for (int c = 0; c < FieldCount(); ++c)
        mask[size_t(c)] = m_dirty[size_t(c)] && !(*m_fields)[size_t(c)].baseColumn.isEmpty();
    const int written = int(std::count(mask.begin(), mask.end(), true));
    if (!m_adding && written == 0)
        return; // only expression columns changed: they live in the snapshot alone
    QString& sql = m_adding ? m_insertSql : m_updateSql;
    std::vector<bool>& sqlMask = m_adding ? m_insertMask : m_updateMask;
    if (sql.isEmpty() || sqlMask != mask) {
        QString columns;
        QString marks;
        QString sets;
        for (int c = 0; c < FieldCount(); ++c) {
            if (!mask[size_t(c)])
                continue;
            const QString column = u'"' + (*m_fields)[size_t(c)].baseColumn + u'"';
            columns += (columns.isEmpty() ? QString() : QStringLiteral(",")) + column;
            marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
            sets += (sets.isEmpty() ? QString() : QStringLiteral(",")) + column + QStringLiteral("=?");
        }
        if (!m_adding)
            sql = QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid=?").arg(m_table, sets);
        else if (written == 0)
            sql = QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(m_table);
        else
            sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)").arg(m_table, columns, marks);
        sqlMask = mask;
    }
    CachedStatement statement = m_connection.StatementAsWritten(sql);
    sqlite3_stmt* s = statement.get();
    int index = 0;
    for (int c = 0; c < FieldCount(); ++c) {
        if (!mask[size_t(c)])
            continue;
        const Cell& cell = CellAt(m_position, c);
        ++index;
        switch (cell.kind) {
        case Kind::Null:
            sqlite3_bind_null(s, index);
            break;
        case Kind::Integer:
            sqlite3_bind_int64(s, index, cell.integer);
            break;
        case Kind::Real:
            sqlite3_bind_double(s, index, cell.real);
            break;
        case Kind::Day: {
            const QByteArray text = RowStore::DayText(cell).toLatin1();
            sqlite3_bind_text(s, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        case Kind::Text: {
            const QStringView text = m_store.Text(cell);
            sqlite3_bind_text16(s, index, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (!m_adding)
        sqlite3_bind_int64(s, index + 1, RowidAt(m_position));
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE)
        m_connection.ThrowEngineError(rc, Source());
    if (m_adding) {
        m_store.SetRowid(m_position - m_windowStart, m_connection.LastInsertId());
    } else if (sqlite3_changes(m_connection.Handle()) != 1) {
        throw DbError(DbErrorNumber::NoCurrentRecord, Source(),
            QStringLiteral("The row to update is no longer in %1").arg(m_table));
    }
    statement = CachedStatement();
    ReloadRow(m_position);
}

void Recordset::ReloadRow(int position)
{
    // Read the row back so that the id the database assigned, the columns' defaults and the
    // database's own conversions show.
    if (m_reloadSql.isEmpty()) {
        QString columns;
        for (const FieldInfo& field : *m_fields) {
            if (!columns.isEmpty())
                columns += u',';
            columns += field.baseColumn.isEmpty() ? QStringLiteral("NULL") : u'"' + field.baseColumn + u'"';
        }
        m_reloadSql = QStringLiteral("SELECT %1 FROM \"%2\" WHERE rowid=?").arg(columns, m_table);
    }
    CachedStatement statement = m_connection.StatementAsWritten(m_reloadSql);
    sqlite3_stmt* s = statement.get();
    sqlite3_bind_int64(s, 1, RowidAt(position));
    if (sqlite3_step(s) != SQLITE_ROW)
        return;
    m_store.Overwrite(
        position - m_windowStart, s, 0, [&](int c) { return (*m_fields)[size_t(c)].baseColumn.isEmpty(); });
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
    CachedStatement statement
        = m_connection.Statement(QStringLiteral("DELETE FROM \"%1\" WHERE rowid=?").arg(m_table),
            { QVariant(qlonglong(RowidAt(m_position))) });
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_DONE)
        m_connection.ThrowEngineError(rc, Source());
    if (sqlite3_changes(m_connection.Handle()) != 1)
        throw DbError(DbErrorNumber::NoCurrentRecord, Source(),
            QStringLiteral("The row to delete is no longer in %1").arg(m_table));
    m_store.Remove(m_position - m_windowStart);
    if (m_counted)
        --m_rows;
    // The cursor now stands on the row after the deleted one, or on EOF.
    m_afterDelete = true;
}

} // namespace kivo
