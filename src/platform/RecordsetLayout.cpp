#include "RecordsetLayout.h"

#include "Connection.h"
#include "SqlTokenizer.h"

#include <algorithm>
#include <optional>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <sqlite3.h>

namespace kivo {

namespace {

std::vector<SqlToken> Meaningful(QStringView sql)
{
    std::vector<SqlToken> tokens = TokenizeSql(sql);
    std::erase_if(tokens, [](const SqlToken& t) { return t.IsBlank(); });
    return tokens;
}

bool IsName(const SqlToken& token)
{
    return token.kind == SqlTokenKind::Word || token.kind == SqlTokenKind::Bracket
        || token.kind == SqlTokenKind::DoubleQuoted;
}

QString NameText(QStringView sql, const SqlToken& token)
{
    const QStringView text = token.Text(sql);
    if (token.kind == SqlTokenKind::Bracket || token.kind == SqlTokenKind::DoubleQuoted)
        return text.sliced(1, qMax<qsizetype>(0, text.size() - 2)).toString();
    return text.toString();
}

QString RowidInFront(const QString& sql, const std::vector<SqlToken>& tokens)
{
    if (tokens.empty() || !tokens.front().IsWord(sql, u"select"))
        return {};
    QString result = sql;
    result.insert(tokens.front().begin + tokens.front().length, QStringLiteral(" rowid AS kivo_rowid,"));
    return result;
}

// "SELECT a, b FROM t" or "SELECT * FROM t", optionally "ORDER BY EId [ASC]": the select
// list and the table, or nothing for any other statement.
std::optional<std::pair<QString, QString>> PlainSelect(
    const QString& sql, const std::vector<SqlToken>& tokens)
{
    size_t i = 0;
    const size_t n = tokens.size();
    if (n < 4 || !tokens[i++].IsWord(sql, u"select"))
        return std::nullopt;
    const qsizetype listBegin = tokens[i].begin;
    if (tokens[i].IsSymbol(sql, u'*')) {
        ++i;
    } else {
        while (true) {
            if (i >= n || !IsName(tokens[i]) || tokens[i].IsWord(sql, u"from"))
                return std::nullopt;
            ++i;
            if (i < n && tokens[i].IsSymbol(sql, u',')) {
                ++i;
                continue;
            }
            break;
        }
    }
    if (i >= n || !tokens[i].IsWord(sql, u"from"))
        return std::nullopt;
    const qsizetype listEnd = tokens[i].begin;
    ++i;
    if (i >= n || !IsName(tokens[i]))
        return std::nullopt;
    const QString table = NameText(sql, tokens[i++]);
    if (i + 2 < n + 0 && tokens[i].IsWord(sql, u"order") && tokens[i + 1].IsWord(sql, u"by")
        && tokens[i + 2].IsWord(sql, u"eid")) {
        i += 3;
        if (i < n && tokens[i].IsWord(sql, u"asc"))
            ++i;
    }
    while (i < n && tokens[i].IsSymbol(sql, u';'))
        ++i;
    if (i != n)
        return std::nullopt;
    return std::make_pair(
        QStringView(sql).sliced(listBegin, listEnd - listBegin).trimmed().toString(), table);
}

// The aliases of the tables in a statement's top-level FROM: "From ktBillMast a, ktBillDetl
// b" gives ktbillmast -> a and ktbilldetl -> b. A table named twice has no single alias.
QHash<QString, QString> Aliases(const QString& sql, const std::vector<SqlToken>& tokens)
{
    static const QStringList stops = { QStringLiteral("where"), QStringLiteral("group"),
        QStringLiteral("order"), QStringLiteral("having"), QStringLiteral("limit"), QStringLiteral("union") };
    static const QStringList joins = { QStringLiteral("join"), QStringLiteral("inner"),
        QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("outer"), QStringLiteral("cross"),
        QStringLiteral("natural"), QStringLiteral("on"), QStringLiteral("using") };
    QHash<QString, QString> aliases;
    QSet<QString> repeated;
    int depth = 0;
    bool inFrom = false;
    bool expectTable = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const SqlToken& t = tokens[i];
        if (t.IsSymbol(sql, u'(')) {
            ++depth;
            continue;
        }
        if (t.IsSymbol(sql, u')')) {
            --depth;
            continue;
        }
        if (depth != 0)
            continue;
        const QString word = t.kind == SqlTokenKind::Word ? t.Text(sql).toString().toLower() : QString();
        if (!inFrom) {
            if (word == u"from")
                inFrom = expectTable = true;
            continue;
        }
        if (stops.contains(word))
            break;
        if (t.IsSymbol(sql, u',') || word == u"join") {
            expectTable = true;
            continue;
        }
        if (!expectTable || !IsName(t) || joins.contains(word))
            continue;
        expectTable = false;
        const QString table = NameText(sql, t).toLower();
        size_t next = i + 1;
        if (next < tokens.size() && tokens[next].IsWord(sql, u"as"))
            ++next;
        QString alias;
        if (next < tokens.size() && IsName(tokens[next])) {
            const QString candidate = NameText(sql, tokens[next]);
            if (!stops.contains(candidate.toLower()) && !joins.contains(candidate.toLower())) {
                alias = candidate;
                i = next;
            }
        }
        if (aliases.contains(table))
            repeated.insert(table);
        aliases.insert(table, alias.isEmpty() ? NameText(sql, t) : alias);
    }
    for (const QString& table : repeated)
        aliases.remove(table);
    return aliases;
}

// A master table: its EId is the rowid and only grows, so EId order is the order of entry.
bool KeyedByEId(sqlite3* db, const QString& table)
{
    const char* type = nullptr;
    const char* collation = nullptr;
    int notNull = 0;
    int primaryKey = 0;
    int autoIncrement = 0;
    const QByteArray name = table.toUtf8();
    return sqlite3_table_column_metadata(
               db, nullptr, name.constData(), "EId", &type, &collation, &notNull, &primaryKey, &autoIncrement)
        == SQLITE_OK
        && primaryKey && autoIncrement;
}

} // namespace

QString RecordsetLayout::WithRowid(const QString& engineSql)
{
    return RowidInFront(engineSql, Meaningful(engineSql));
}

QString RecordsetLayout::WithRowid(const QString& engineSql, std::vector<SqlToken>& tokens)
{
    for (const SqlToken& token : tokens) {
        if (token.IsBlank())
            continue;
        if (!token.IsWord(engineSql, u"select"))
            return {};
        const QString result = RowidInFront(engineSql, { token });
        const qsizetype inserted = result.size() - engineSql.size();
        const qsizetype at = token.begin + token.length;
        for (SqlToken& moved : tokens)
            if (moved.begin >= at)
                moved.begin += inserted;
        return result;
    }
    return {};
}

std::shared_ptr<const RecordsetLayout> RecordsetLayout::Make(
    Connection& connection, sqlite3_stmt* s, bool rowid, const QString& engineSql)
{
    auto layout = std::make_shared<RecordsetLayout>();
    const std::vector<SqlToken> tokens = Meaningful(engineSql);
    const int first = rowid ? 1 : 0;
    const int columns = sqlite3_column_count(s) - first;

    // The rows can be written back when every column that comes from a table comes from the
    // same one (expression columns ride along and are never written) and the statement
    // neither groups nor merges rows.
    QString table;
    for (int c = 0; c < columns && rowid; ++c) {
        const char* name = sqlite3_column_table_name(s, c + first);
        if (!name)
            continue;
        const QString columnTable = QString::fromUtf8(name);
        if (!table.isEmpty() && columnTable != table) {
            table.clear();
            break;
        }
        table = columnTable;
    }
    layout->table = table;

    const QHash<QString, QString> aliases = Aliases(engineSql, tokens);
    layout->fields.assign(size_t(columns), FieldInfo {});
    layout->typedByValue.assign(size_t(columns), false);
    for (int c = 0; c < columns; ++c) {
        FieldInfo& field = layout->fields[size_t(c)];
        field.name = QString::fromUtf8(sqlite3_column_name(s, c + first));
        if (const char* origin = sqlite3_column_origin_name(s, c + first))
            field.baseColumn = QString::fromUtf8(origin);
        if (const char* from = sqlite3_column_table_name(s, c + first)) {
            const QString fromTable = QString::fromUtf8(from);
            field.qualifier = aliases.value(fromTable.toLower(), fromTable);
        }
        if (!FieldTypeFromDeclared(sqlite3_column_decltype(s, c + first), field))
            layout->typedByValue[size_t(c)] = true;
    }

    if (!table.isEmpty() && KeyedByEId(connection.Handle(), table)) {
        for (int c = 0; c < columns && layout->rowidField < 0; ++c)
            if (layout->fields[size_t(c)].baseColumn.compare(u"EId", Qt::CaseInsensitive) == 0)
                layout->rowidField = c;
        const auto plain = PlainSelect(engineSql, tokens);
        if (plain && plain->second.compare(table, Qt::CaseInsensitive) == 0) {
            layout->windowed = true;
            layout->windowSelect
                = QStringLiteral("SELECT EId AS kivo_rowid, %1 FROM \"%2\"").arg(plain->first, table);
            // Reading forward needs no rowid in front when a field holds it: the engine then
            // reads the key once per row, not twice.
            layout->forwardSelect = layout->rowidField >= 0
                ? QStringLiteral("SELECT %1 FROM \"%2\"").arg(plain->first, table)
                : layout->windowSelect;
        }
    }
    return layout;
}

} // namespace kivo
