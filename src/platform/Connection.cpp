#include "Connection.h"

#include "DbError.h"
#include "SqlFunctions.h"

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

void Connection::RegisterFunctions()
{
    const int rc = RegisterSqlFunctions(m_db);
    if (rc != SQLITE_OK)
        ThrowEngineError(rc, ErrorSource());
}

void Connection::Open(const QString& path, const QString& key, OpenMode mode)
{
    Close();
    if (mode == OpenMode::Existing && !QFileInfo(path).isFile())
        throw DbError(DbErrorNumber::FileMissing, ErrorSource(),
            QStringLiteral("The database file '%1' was not found").arg(path));

    const int flags = SQLITE_OPEN_READWRITE | (mode == OpenMode::Create ? SQLITE_OPEN_CREATE : 0);
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    std::unique_ptr<sqlite3, SqliteCloser> guard(db);
    if (rc != SQLITE_OK) {
        const QString text
            = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        throw DbError(rc & 0xff, ErrorSource(), QStringLiteral("Cannot open '%1': %2").arg(path, text));
    }
    const QByteArray keyBytes = key.toUtf8();
    if (sqlite3_key(db, keyBytes.constData(), int(keyBytes.size())) != SQLITE_OK)
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
        // A sale that showed "Checkout Completed !" must survive a power cut.
        ExecuteRaw(
            QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=OFF;"));
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
}

StatementHandle Connection::Prepare(const QString& engineSql, const QVariantList& parameters)
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
    for (int i = 0; i < parameters.size(); ++i)
        BindValue(raw, i + 1, parameters[i]);
    return statement;
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
    StatementHandle handle = Prepare(Translate(statement), parameters);
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

QVariant Connection::Scalar(const QString& statement, const QVariantList& parameters)
{
    StatementHandle handle = Prepare(Translate(statement), parameters);
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
