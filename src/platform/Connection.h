#pragma once

#include "DbError.h"
#include "JetDialect.h"

#include <memory>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace kivo {

struct SqliteCloser {
    void operator()(sqlite3* db) const;
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const;
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// The program's one connection to its encrypted database file. Statements are written in
// the program's SQL dialect and translated before they reach the engine. Every failure is
// thrown as DbError; the connection stays usable afterwards.
class Connection {
public:
    enum class OpenMode { Existing, Create };

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the file with the database password. A missing file (in Existing mode), a
    // damaged or foreign file and a wrong key all throw DbError with a readable text.
    void Open(const QString& path, const QString& key, OpenMode mode = OpenMode::Existing);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }
    QString Path() const { return m_path; }

    // Runs one statement of the program's dialect; returns the number of rows changed.
    int Execute(const QString& statement, const QVariantList& parameters = {});
    // Runs raw engine SQL, untranslated (schema creation, pragmas). May hold several statements.
    void ExecuteRaw(const QString& sql);
    // The first column of the first row of a query, or a null QVariant when there is no row.
    QVariant Scalar(const QString& statement, const QVariantList& parameters = {});

    // Prepares one already translated statement and binds its parameters. An empty text, or
    // anything but blanks and ";" after the statement, throws DbError (BadStatement).
    StatementHandle Prepare(const QString& engineSql, const QVariantList& parameters = {});
    QString Translate(const QString& statement) const { return m_dialect.Translate(statement); }
    // Re-reads the table definitions after the schema changed (text columns for "+").
    void RefreshSchema();

    qint64 LastInsertId() const;
    sqlite3* Handle() const { return m_db; }

    // Nested transactions: the outermost is a real transaction, inner ones are savepoints,
    // so a routine that runs "in one transaction" can sit inside a larger atomic unit.
    void Begin();
    void Commit();
    void Rollback();
    int TransactionDepth() const { return m_depth; }

    // Throws DbError for a failed engine call with the engine's message.
    [[noreturn]] void ThrowEngineError(int code, const QString& source) const;

    static const QString& ErrorSource();

private:
    void RegisterFunctions();

    sqlite3* m_db = nullptr;
    QString m_path;
    JetDialect m_dialect;
    int m_depth = 0;
};

// Rolls back in its destructor unless committed: no manual cleanup paths.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Connection& m_connection;
    bool m_open = true;
};

// Binds one value to a statement parameter (1-based), by its kind: null, integer, real,
// date (as ISO text) or text.
void BindValue(sqlite3_stmt* statement, int index, const QVariant& value);

} // namespace kivo
