#include "Connection.h"
#include "DbError.h"
#include "PasswordHash.h"
#include "Schema.h"

#include <QSet>
#include <sqlite3.h>
#include <utility>
#include <vector>

namespace kivo {

namespace {

const QString& Source()
{
    static const QString source = QStringLiteral("Kivo Schema");
    return source;
}

QString ColumnText(sqlite3_stmt* statement, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
}

qint64 Integer(Connection& connection, const QString& engineSql, const QVariantList& parameters = {})
{
    StatementHandle statement = connection.Prepare(engineSql, parameters);
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_ROW)
        return sqlite3_column_int64(statement.get(), 0);
    if (rc != SQLITE_DONE)
        connection.ThrowEngineError(rc, Source());
    return 0;
}

// The CREATE TABLE text the file holds for a table, or empty when the table is missing.
QString StoredDefinition(Connection& connection, const QString& table)
{
    StatementHandle statement = connection.Prepare(
        QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
        { table });
    return sqlite3_step(statement.get()) == SQLITE_ROW ? ColumnText(statement.get(), 0) : QString();
}

QStringList StoredColumns(Connection& connection, const QString& table)
{
    QStringList columns;
    StatementHandle statement = connection.Prepare(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
    while (sqlite3_step(statement.get()) == SQLITE_ROW)
        columns << ColumnText(statement.get(), 1);
    return columns;
}

// Makes a table again with this build's definition and copies its rows over. The rows keep
// their row ids (a recordset writes detail rows back by them), and a master table keeps the
// next id it hands out, so an id that was deleted is never given again.
void Rebuild(Connection& connection, const TableDef& table)
{
    const QStringList stored = StoredColumns(connection, table.name);
    QSet<QString> known;
    for (const ColumnDef& column : table.columns)
        known.insert(column.name.toLower());
    QStringList copied;
    for (const QString& column : stored) {
        if (!known.contains(column.toLower()))
            throw DbError(DbErrorNumber::FileError, Source(),
                QStringLiteral("Table %1 holds a column %2 that this Kivo does not know; the database "
                               "was left as it was")
                    .arg(table.name, column));
        copied << u'"' + column + u'"';
    }
    const QString old = QStringLiteral("kivo_old_") + table.name;
    const qint64 nextId = table.master
        ? Integer(connection, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ? COLLATE NOCASE"),
            { table.name })
        : 0;
    connection.ExecuteRaw(QStringLiteral("ALTER TABLE \"%1\" RENAME TO \"%2\"").arg(table.name, old));
    connection.ExecuteRaw(Schema::CreateStatement(table));
    // Detail tables have no id column of their own: their row ids are copied as such.
    const QString rowid = table.master ? QString() : QStringLiteral("rowid, ");
    connection.ExecuteRaw(QStringLiteral("INSERT INTO \"%1\" (%2%3) SELECT %2%3 FROM \"%4\"")
                              .arg(table.name, rowid, copied.join(u','), old));
    connection.ExecuteRaw(QStringLiteral("DROP TABLE \"%1\"").arg(old));
    if (table.master && nextId > 0) {
        StatementHandle keep = connection.Prepare(
            QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?) WHERE name = ?"),
            { nextId, table.name });
        const int rc = sqlite3_step(keep.get());
        if (rc != SQLITE_DONE)
            connection.ThrowEngineError(rc, Source());
    }
}

// Files before layout 2 kept passwords and the access code as typed: each is replaced by its
// hash, so that the shop's users log in as before and nobody reads them from the file.
void HashPlainSecrets(
    Connection& connection, const QString& table, const QString& column, PasswordHash::LetterCase letterCase)
{
    std::vector<std::pair<qint64, QString>> plain;
    {
        StatementHandle statement
            = connection.Prepare(QStringLiteral("SELECT rowid, \"%1\" FROM \"%2\"").arg(column, table));
        int rc;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
            const QString value = ColumnText(statement.get(), 1);
            if (!value.isEmpty() && !PasswordHash::IsHash(value))
                plain.emplace_back(sqlite3_column_int64(statement.get(), 0), value);
        }
        if (rc != SQLITE_DONE)
            connection.ThrowEngineError(rc, Source());
    }
    for (const auto& [rowid, value] : plain) {
        StatementHandle update = connection.Prepare(
            QStringLiteral("UPDATE \"%1\" SET \"%2\" = ? WHERE rowid = ?").arg(table, column),
            { PasswordHash::Make(value, letterCase), rowid });
        const int rc = sqlite3_step(update.get());
        if (rc != SQLITE_DONE)
            connection.ThrowEngineError(rc, Source());
    }
}

} // namespace

void Schema::Upgrade(Connection& connection)
{
    const qint64 version = Integer(connection, QStringLiteral("PRAGMA user_version"));
    if (version == Version)
        return;
    if (version > Version)
        throw DbError(DbErrorNumber::FileError, Source(),
            QStringLiteral("The database %1 was made by a later Kivo (layout %2; this Kivo knows %3)")
                .arg(connection.Path())
                .arg(version)
                .arg(Version));
    {
        Transaction transaction(connection);
        for (const TableDef& table : Tables()) {
            const QString stored = StoredDefinition(connection, table.name);
            if (stored.isEmpty())
                connection.ExecuteRaw(CreateStatement(table));
            else if (stored != CreateStatement(table))
                Rebuild(connection, table);
            for (const QString& index : IndexStatements(table))
                connection.ExecuteRaw(index);
        }
        if (version < 2) {
            HashPlainSecrets(connection, QStringLiteral("kaUser"), QStringLiteral("UPasscd"),
                PasswordHash::LetterCase::Ignore);
            HashPlainSecrets(connection, QStringLiteral("kaEnterprise"), QStringLiteral("EPasscd"),
                PasswordHash::LetterCase::Keep);
        }
        connection.ExecuteRaw(QStringLiteral("PRAGMA user_version = %1").arg(Version));
        transaction.Commit();
    }
    connection.RefreshSchema();
}

} // namespace kivo
