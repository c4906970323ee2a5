#include "Connection.h"

#include "DbError.h"
#include "LiteralShape.h"
#include "SqlFunctions.h"
#include "SqlTokenizer.h"

#include <QDate>
#include <QFileInfo>
#include <sqlite3.h>

namespace kivo {

void SqliteCloser::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

void StatementFinalizer::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

const QString& Connection::ErrorSource()
{
    static const QString source = QStringLiteral("Kivo Database");
    return source;
}

Connection::Connection() = default;

Connection::~Connection()
{
    Close();
}

void Connection::ThrowEngineError(int code, const QString& source) const
{
    const int primary = code & 0xff;
    QString text = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(code));
    if (primary == SQLITE_NOTADB)
        throw DbError(DbErrorNumber::WrongKeyOrDamaged, source,
            QStringLiteral("The database file is damaged, or the database password does not open it"));
    if (primary == SQLITE_FULL)
        text = QStringLiteral("The disk is full: ") + text;
    // The schema names each CHECK "<table>.<column>: <what the column takes>".
    static const QString checkFailed = QStringLiteral("CHECK constraint failed: ");
    if (primary == SQLITE_CONSTRAINT && text.startsWith(checkFailed)) {
        const QString name = text.mid(checkFailed.size());
        const qsizetype dot = name.indexOf(u'.');
        const qsizetype colon = name.indexOf(QStringLiteral(": "));
        if (dot > 0 && colon > dot)
            text = QStringLiteral("Column %1 of table %2 takes %3; the value was refused")
                       .arg(name.mid(dot + 1, colon - dot - 1), name.left(dot), name.mid(colon + 2));
    }
    throw DbError(primary, source, text);
}

void CachedStatement::GiveBack()
{
    if (m_owner && m_statement)
        m_owner->GiveBack(m_key, m_statement);
    m_owner = nullptr;
    m_statement = nullptr;
}

void Connection::RegisterFunctions()
{
    const int rc = RegisterSqlFunctions(m_db);
    if (rc != SQLITE_OK)
        ThrowEngineError(rc, ErrorSource());
}

namespace {

// Without write access, or marked read-only (no write permission for anyone): an
// administrator's account would otherwise write through the mark.
bool ReadOnly(const QFileInfo& info)
{
    constexpr QFile::Permissions write = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !info.isWritable() || !(info.permissions() & write);
}

} // namespace

void Connection::Open(const QString& path, const QString& key, OpenMode mode)
{
    Close();
    const QFileInfo file(path);
    if (file.isDir())
        throw DbError(DbErrorNumber::FileError, ErrorSource(),
            QStringLiteral("'%1' is a folder, not the database file").arg(path));
    if (mode == OpenMode::Existing && !file.isFile())
        throw DbError(DbErrorNumber::FileMissing, ErrorSource(),
            QStringLiteral("The database file '%1' was not found").arg(path));
    // The engine would take an empty file for a new database and write a fresh one into it.
    if (mode == OpenMode::Existing && file.size() == 0)
        throw DbError(DbErrorNumber::WrongKeyOrDamaged, ErrorSource(),
            QStringLiteral("The database file '%1' is empty").arg(path));
    // Opened without write access the engine leaves its log index behind, which then locks
    // out every later open: refuse before the engine touches anything.
    if (file.exists() && ReadOnly(file))
        throw DbError(DbErrorNumber::FileError, ErrorSource(),
            QStringLiteral("The database file '%1' is read-only").arg(path));
    if (ReadOnly(QFileInfo(file.absolutePath())))
        throw DbError(DbErrorNumber::FileError, ErrorSource(),
            QStringLiteral("The folder of the database file '%1' is read-only").arg(path));

    // One thread uses a connection: the engine's per-call locking would only cost time.
    const int flags
        = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (mode == OpenMode::Create ? SQLITE_OPEN_CREATE : 0);
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    std::unique_ptr<sqlite3, SqliteCloser> guard(db);
    if (rc != SQLITE_OK) {
        const QString text
            = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        throw DbError(rc & 0xff, ErrorSource(), QStringLiteral("Cannot open '%1': %2").arg(path, text));
    }
    // The defaults also reach a database attached with a key (the compaction's export).
    static const QByteArray defaults
        = QByteArrayLiteral("PRAGMA cipher_default_kdf_iter = 64000; PRAGMA cipher_default_page_size = 1024; "
                            "PRAGMA cipher_default_use_hmac = ON;");
    const QByteArray keyBytes = key.toUtf8();
    if (sqlite3_exec(db, defaults.constData(), nullptr, nullptr, nullptr) != SQLITE_OK
        || sqlite3_key(db, keyBytes.constData(), int(keyBytes.size())) != SQLITE_OK
        || sqlite3_exec(db, PinnedCipherSettings().toUtf8().constData(), nullptr, nullptr, nullptr)
            != SQLITE_OK)
        throw DbError(
            DbErrorNumber::WrongKeyOrDamaged, ErrorSource(), QStringLiteral("The database key was refused"));

    m_db = guard.release();
    m_path = path;
    m_depth = 0;
    try {
        sqlite3_busy_timeout(m_db, 2000);
        // Reading the schema is the first access that needs the key: a wrong key or a
        // foreign file fails here, before anything is written.
        Scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        // A sale that showed "Checkout Completed !" must survive a power cut. Pages are
        // decrypted as they are read: a page cache of 32 MB at most keeps a large register's
        // look-up indexes decrypted between screens, so counting and browsing a million
        // products does not decrypt them again each time.
        ExecuteRaw(
            QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=OFF; "
                           "PRAGMA cache_size=-32768;"));
        RegisterFunctions();
        RefreshSchema();
    } catch (...) {
        Close();
        throw;
    }
}

void Connection::Close()
{
    if (!m_db)
        return;
    DropCaches();
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_depth = 0;
}

void Connection::RefreshSchema()
{
    QSet<QString> text;
    QSet<QString> other;
    std::vector<QString> tables;
    {
        StatementHandle list = Prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'"));
        while (sqlite3_step(list.get()) == SQLITE_ROW)
            tables.push_back(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0))));
    }
    for (const QString& table : tables) {
        StatementHandle info = Prepare(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        while (sqlite3_step(info.get()) == SQLITE_ROW) {
            const QString name
                = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1)))
                      .toLower();
            const QString type
                = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 2)));
            (type.startsWith(u"TEXT", Qt::CaseInsensitive) ? text : other).insert(name);
        }
    }
    // A name that is text in one table and a number in another says nothing on its own.
    text.subtract(other);
    m_dialect.SetTextColumns(std::move(text));
    m_translations.clear();
    m_shapes.clear();
    ForgetStatements();
}

void Connection::DropCaches()
{
    // A statement still lent out is finalized when its guard gives it back and finds no entry.
    for (const CacheEntry& entry : std::as_const(m_statements))
        if (!entry.lent)
            sqlite3_finalize(entry.statement);
    m_statements.clear();
    m_translations.clear();
    m_shapes.clear();
    m_openShapes.clear();
    m_scalarShapes.clear();
}

QString Connection::Translate(const QString& statement) const
{
    const auto known = m_translations.constFind(statement);
    if (known != m_translations.constEnd())
        return *known;

    // Look-ups differ only in their text literals ("... Where PCode='P17'"): the statement is
    // translated once with a stand-in for each literal and the literals are put back. A "+"
    // can make the translation depend on a literal, so such statements are translated whole.
    static const QString standIn = QStringLiteral("'\uE000'");
    const std::vector<SqlToken> tokens = TokenizeSql(statement);
    QStringList literals;
    QString shape;
    qsizetype copied = 0;
    bool plus = false;
    for (const SqlToken& token : tokens) {
        if (token.IsSymbol(statement, u'+'))
            plus = true;
        if (token.kind != SqlTokenKind::String)
            continue;
        shape += QStringView(statement).sliced(copied, token.begin - copied);
        shape += standIn;
        copied = token.begin + token.length;
        literals << token.Text(statement).toString();
    }
    if (!plus && !literals.isEmpty() && !statement.contains(QChar(0xE000))) {
        shape += QStringView(statement).sliced(copied);
        auto known = m_shapes.constFind(shape);
        if (known == m_shapes.constEnd()) {
            if (m_shapes.size() >= TranslationCacheSize)
                m_shapes.clear();
            known = m_shapes.insert(shape, m_dialect.Translate(shape).split(standIn));
        }
        const QStringList& parts = *known;
        if (parts.size() == literals.size() + 1) {
            QString sql = parts.front();
            for (qsizetype i = 0; i < literals.size(); ++i)
                sql += literals[i] + parts[i + 1];
            return sql;
        }
    }
    QString sql = m_dialect.Translate(statement);
    if (m_translations.size() >= TranslationCacheSize)
        m_translations.clear();
    m_translations.insert(statement, sql);
    return sql;
}

const Connection::OpenShape* Connection::KnownOpenShape(const QString& shape) const
{
    const auto found = m_openShapes.constFind(shape);
    return found == m_openShapes.constEnd() ? nullptr : &*found;
}

void Connection::RememberOpenShape(const QString& shape, OpenShape known)
{
    if (m_openShapes.size() >= TranslationCacheSize)
        m_openShapes.clear();
    m_openShapes.insert(shape, std::move(known));
}

std::shared_ptr<const RecordsetLayout> Connection::Layout(const CachedStatement& statement) const
{
    const auto found = m_statements.constFind(statement.Key());
    return found != m_statements.constEnd() && found->statement == statement.get() ? found->layout : nullptr;
}

void Connection::RememberLayout(
    const CachedStatement& statement, std::shared_ptr<const RecordsetLayout> layout)
{
    const auto found = m_statements.find(statement.Key());
    if (found != m_statements.end() && found->statement == statement.get())
        found->layout = std::move(layout);
}

void Connection::ForgetStatements()
{
    // A prepared statement reads the new schema only when it next runs: one that is asked
    // for its columns before it runs would describe the old table. Drop them all; one still
    // lent out is finalized when it comes back and finds no entry.
    for (const CacheEntry& entry : std::as_const(m_statements))
        if (!entry.lent)
            sqlite3_finalize(entry.statement);
    m_statements.clear();
    m_openShapes.clear(); // what the recordsets learned from them goes too
    m_scalarShapes.clear();
}

CachedStatement Connection::Statement(const QString& engineSql, const QVariantList& parameters)
{
    if (!m_db)
        throw DbError(DbErrorNumber::NotOpen, ErrorSource(), QStringLiteral("The database is not open"));
    const ParameterizedSql shape = parameters.isEmpty()
        ? ParameterizeLiterals(engineSql, TokenizeSql(engineSql))
        : ParameterizedSql { engineSql, {} };
    CachedStatement statement = Lend(shape.sql);
    const QVariantList& values = parameters.isEmpty() ? shape.values : parameters;
    for (int i = 0; i < values.size(); ++i)
        BindValue(statement.get(), i + 1, values[i]);
    return statement;
}

CachedStatement Connection::StatementAsWritten(const QString& engineSql)
{
    if (!m_db)
        throw DbError(DbErrorNumber::NotOpen, ErrorSource(), QStringLiteral("The database is not open"));
    return Lend(engineSql);
}

CachedStatement Connection::Lend(const QString& key)
{
    sqlite3_stmt* statement = nullptr;
    const auto found = m_statements.find(key);
    if (found != m_statements.end() && !found->lent) {
        found->lent = true;
        found->lastUse = ++m_uses;
        statement = found->statement;
    } else {
        statement = PrepareRaw(key);
        if (found == m_statements.end()) {
            if (m_statements.size() >= StatementCacheSize) {
                auto oldest = m_statements.end();
                for (auto it = m_statements.begin(); it != m_statements.end(); ++it)
                    if (!it->lent && (oldest == m_statements.end() || it->lastUse < oldest->lastUse))
                        oldest = it;
                if (oldest != m_statements.end()) {
                    sqlite3_finalize(oldest->statement);
                    m_statements.erase(oldest);
                }
            }
            m_statements.insert(key, CacheEntry { statement, ++m_uses, true, nullptr });
        }
        // Otherwise the cached one is in use further up the call stack: this copy is
        // finalized when it comes back.
    }
    return CachedStatement(this, key, statement);
}

void Connection::GiveBack(const QString& key, sqlite3_stmt* statement)
{
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    const auto found = m_statements.find(key);
    if (found != m_statements.end() && found->statement == statement)
        found->lent = false;
    else
        sqlite3_finalize(statement);
}

StatementHandle Connection::Prepare(const QString& engineSql, const QVariantList& parameters)
{
    StatementHandle statement(PrepareRaw(engineSql));
    for (int i = 0; i < parameters.size(); ++i)
        BindValue(statement.get(), i + 1, parameters[i]);
    return statement;
}

sqlite3_stmt* Connection::PrepareRaw(const QString& engineSql)
{
    if (!m_db)
        throw DbError(DbErrorNumber::NotOpen, ErrorSource(), QStringLiteral("The database is not open"));
    const QByteArray utf8 = engineSql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &raw, &tail);
    StatementHandle statement(raw);
    if (rc != SQLITE_OK)
        ThrowEngineError(rc, ErrorSource());
    if (!raw)
        throw DbError(DbErrorNumber::BadStatement, ErrorSource(), QStringLiteral("The statement is empty"));
    // One statement at a time: a second one after ";" would otherwise be dropped unseen.
    for (const char* c = tail; c && c < utf8.constData() + utf8.size(); ++c)
        if (*c != ';' && *c != ' ' && *c != '\t' && *c != '\r' && *c != '\n')
            throw DbError(DbErrorNumber::BadStatement, ErrorSource(),
                QStringLiteral("Characters found after the end of the statement: ") + QString::fromUtf8(c));
    return statement.release();
}

QString PinnedCipherSettings(const QString& schema)
{
    // The settings the shop's files were made with: key derivation of 64,000 rounds of
    // PBKDF2-HMAC-SHA1, pages of 1024 bytes, and each page checked by HMAC-SHA1. An engine that
    // does not know a setting's name ignores it.
    const QString prefix = schema.isEmpty() ? QString() : schema + u'.';
    QString pragmas;
    for (const char* setting : { "cipher_page_size = 1024", "kdf_iter = 64000", "cipher_use_hmac = ON",
             "cipher_hmac_algorithm = HMAC_SHA1", "cipher_kdf_algorithm = PBKDF2_HMAC_SHA1" })
        pragmas += QStringLiteral("PRAGMA ") + prefix + QLatin1StringView(setting) + u';';
    return pragmas;
}

void BindValue(sqlite3_stmt* statement, int index, const QVariant& value)
{
    if (value.isNull() || !value.isValid()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        sqlite3_bind_int64(statement, index, value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(statement, index, value.toDouble());
        return;
    case QMetaType::QDate: {
        const QByteArray iso = value.toDate().toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(statement, index, iso.constData(), int(iso.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

int Connection::Execute(const QString& statement, const QVariantList& parameters)
{
    CachedStatement handle = Statement(Translate(statement), parameters);
    int rc;
    while ((rc = sqlite3_step(handle.get())) == SQLITE_ROW) { }
    if (rc != SQLITE_DONE)
        ThrowEngineError(rc, ErrorSource());
    // The engine's count belongs to the last statement that changed rows; a query changed none.
    return sqlite3_stmt_readonly(handle.get()) ? 0 : sqlite3_changes(m_db);
}

void Connection::ExecuteRaw(const QString& sql)
{
    if (!m_db)
        throw DbError(DbErrorNumber::NotOpen, ErrorSource(), QStringLiteral("The database is not open"));
    // Schema statements can change what a recordset's columns are; transaction control cannot.
    static const QStringList transactionWords = { QStringLiteral("BEGIN"), QStringLiteral("COMMIT"),
        QStringLiteral("SAVEPOINT"), QStringLiteral("RELEASE"), QStringLiteral("ROLLBACK") };
    const QString firstWord = sql.trimmed().section(u' ', 0, 0).toUpper();
    if (!transactionWords.contains(firstWord))
        ForgetStatements();
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(message);
        if ((rc & 0xff) == SQLITE_NOTADB)
            ThrowEngineError(rc, ErrorSource());
        throw DbError(rc & 0xff, ErrorSource(), text);
    }
}

// A look-up that differs from an earlier one only in its text literals takes the cached
// statement the first one learned and binds its literals, without translating or splitting it
// again. Learned only when every literal became a bound value as written, in order.
CachedStatement Connection::ScalarStatement(const QString& statement)
{
    QString shape;
    std::vector<QStringView> quoted;
    if (!LiteralShape(statement, shape, quoted))
        return Statement(Translate(statement));
    if (const auto known = m_scalarShapes.constFind(shape); known != m_scalarShapes.constEnd()) {
        CachedStatement handle = StatementAsWritten(*known);
        for (size_t i = 0; i < quoted.size(); ++i)
            BindValue(handle.get(), int(i) + 1, Unquoted(quoted[i]));
        return handle;
    }
    const QString engineSql = Translate(statement);
    ParameterizedSql parameterized = ParameterizeLiterals(engineSql, TokenizeSql(engineSql));
    CachedStatement handle = StatementAsWritten(parameterized.sql);
    const QVariantList& values = parameterized.values;
    bool same = values.size() == qsizetype(quoted.size());
    for (int i = 0; i < values.size(); ++i) {
        BindValue(handle.get(), i + 1, values[i]);
        same = same && values[i].typeId() == QMetaType::QString
            && values[i].toString() == Unquoted(quoted[size_t(i)]);
    }
    if (same) {
        if (m_scalarShapes.size() >= TranslationCacheSize)
            m_scalarShapes.clear();
        m_scalarShapes.insert(shape, std::move(parameterized.sql));
    }
    return handle;
}

QVariant Connection::Scalar(const QString& statement, const QVariantList& parameters)
{
    CachedStatement handle
        = parameters.isEmpty() ? ScalarStatement(statement) : Statement(Translate(statement), parameters);
    const int rc = sqlite3_step(handle.get());
    if (rc == SQLITE_DONE)
        return {};
    if (rc != SQLITE_ROW)
        ThrowEngineError(rc, ErrorSource());
    sqlite3_stmt* s = handle.get();
    switch (sqlite3_column_type(s, 0)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(s, 0)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(s, 0));
    case SQLITE_NULL:
        return {};
    default:
        return QVariant(QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), sqlite3_column_bytes(s, 0)));
    }
}

qint64 Connection::LastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

void Connection::Begin()
{
    ExecuteRaw(
        m_depth == 0 ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT kivo_%1").arg(m_depth));
    ++m_depth;
}

void Connection::Commit()
{
    if (m_depth == 0)
        return;
    ExecuteRaw(m_depth == 1 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE kivo_%1").arg(m_depth - 1));
    --m_depth;
}

void Connection::Rollback()
{
    if (m_depth == 0)
        return;
    --m_depth;
    if (m_depth == 0) {
        // ROLLBACK cannot fail in a way that leaves the transaction open worth reporting.
        if (m_db && !sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    } else {
        const QByteArray name = QStringLiteral("kivo_%1").arg(m_depth).toUtf8();
        const QByteArray sql = QByteArray("ROLLBACK TO ") + name + QByteArray("; RELEASE ") + name;
        sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr);
    }
}

Transaction::Transaction(Connection& connection)
    : m_connection(connection)
{
    m_connection.Begin();
}

Transaction::~Transaction()
{
    if (m_open)
        m_connection.Rollback();
}

void Transaction::Commit()
{
    m_connection.Commit();
    m_open = false;
}

} // namespace kivo
