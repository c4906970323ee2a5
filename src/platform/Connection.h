#pragma once

#include "DbError.h"
#include "JetDialect.h"

#include <memory>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>

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

class Connection;
struct RecordsetLayout;

// A prepared statement lent by the connection's cache. When the guard goes, the statement
// is reset, its bindings are cleared and it goes back to the cache for the next caller with
// the same text (or is finalized if the cache no longer holds it).
class CachedStatement {
public:
    CachedStatement() = default;
    CachedStatement(Connection* owner, QString key, sqlite3_stmt* statement)
        : m_owner(owner)
        , m_key(std::move(key))
        , m_statement(statement)
    {
    }
    CachedStatement(CachedStatement&& other) noexcept
        : m_owner(std::exchange(other.m_owner, nullptr))
        , m_key(std::move(other.m_key))
        , m_statement(std::exchange(other.m_statement, nullptr))
    {
    }
    CachedStatement& operator=(CachedStatement&& other) noexcept
    {
        if (this != &other) {
            GiveBack();
            m_owner = std::exchange(other.m_owner, nullptr);
            m_key = std::move(other.m_key);
            m_statement = std::exchange(other.m_statement, nullptr);
        }
        return *this;
    }
    CachedStatement(const CachedStatement&) = delete;
    CachedStatement& operator=(const CachedStatement&) = delete;
    ~CachedStatement() { GiveBack(); }

    sqlite3_stmt* get() const { return m_statement; }
    const QString& Key() const { return m_key; }

private:
    void GiveBack();

    Connection* m_owner = nullptr;
    QString m_key;
    sqlite3_stmt* m_statement = nullptr;
};

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

    // Opens the file with the database password. A missing, empty or read-only file (in
    // Existing mode), a folder in its place, a read-only folder, a damaged or foreign file and
    // a wrong key all throw DbError with a text that names the file; such an open leaves
    // nothing behind beside the file.
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
    // A statement from the connection's cache, prepared on first use. Text and number
    // literals after the statement's FROM (all of them in INSERT, UPDATE and DELETE) are
    // turned into bound parameters, so "... Where PCode='P1'" and "... Where PCode='P2'" share
    // one prepared statement. Explicit parameters are bound as given; a statement that has
    // any is cached as written.
    CachedStatement Statement(const QString& engineSql, const QVariantList& parameters = {});
    // A statement from the cache exactly as written, for a caller that binds its own values.
    CachedStatement StatementAsWritten(const QString& engineSql);
    // The engine SQL of a statement in the program's dialect; recent translations are kept.
    QString Translate(const QString& statement) const;
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

    // What a recordset learned about a cached statement's columns, kept beside it so that
    // opening the same statement again skips the look-up. Dropped when the schema changes.
    std::shared_ptr<const RecordsetLayout> Layout(const CachedStatement& statement) const;
    void RememberLayout(const CachedStatement& statement, std::shared_ptr<const RecordsetLayout> layout);

    // How a recordset opened a statement of one shape (its text literals emptied), learned
    // from the first of them: the cached statement's text (the literals are its parameters, in
    // order), whether the rowid is read in front, and the engine's statement in the parts
    // between the literals. A snapshot whose rows hold their rowid in a field reads them from
    // `readKey`, the same statement without the rowid in front. Dropped with the other caches.
    struct OpenShape {
        QString key;
        bool rowid = false;
        QStringList engineParts;
        QString readKey;
    };
    // Valid until the next RememberOpenShape; null when the shape is not known.
    const OpenShape* KnownOpenShape(const QString& shape) const;
    void RememberOpenShape(const QString& shape, OpenShape known);

private:
    friend class CachedStatement;
    struct CacheEntry {
        sqlite3_stmt* statement = nullptr;
        quint64 lastUse = 0;
        bool lent = false;
        std::shared_ptr<const RecordsetLayout> layout;
    };
    static constexpr qsizetype StatementCacheSize = 64;
    static constexpr qsizetype TranslationCacheSize = 256;

    void RegisterFunctions();
    sqlite3_stmt* PrepareRaw(const QString& engineSql);
    void GiveBack(const QString& key, sqlite3_stmt* statement);
    void DropCaches();
    CachedStatement Lend(const QString& key);
    void ForgetStatements();

    sqlite3* m_db = nullptr;
    QString m_path;
    JetDialect m_dialect;
    int m_depth = 0;
    QHash<QString, CacheEntry> m_statements; // keyed by engine SQL with literals as parameters
    quint64 m_uses = 0;
    mutable QHash<QString, QString> m_translations;
    // Translations with stand-ins for text literals, kept as the parts between the stand-ins.
    mutable QHash<QString, QStringList> m_shapes;
    QHash<QString, OpenShape> m_openShapes;
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

// The cipher settings every database file is written and read with, as pragmas for the
// schema named (the main database when empty). They are pinned to the values the files were
// first made with, so that a newer engine with other defaults still opens existing files.
QString PinnedCipherSettings(const QString& schema = {});

// Binds one value to a statement parameter (1-based), by its kind: null, integer, real,
// date (as ISO text) or text.
void BindValue(sqlite3_stmt* statement, int index, const QVariant& value);

} // namespace kivo
