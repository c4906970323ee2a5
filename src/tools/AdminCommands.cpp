#include "AdminCommands.h"

#include "Connection.h"
#include "DatabasePassword.h"
#include "DataFolderCreator.h"
#include "DataGenerator.h"
#include "DbError.h"
#include "Locations.h"
#include "LockFile.h"
#include "PasswordHash.h"
#include "Recordset.h"
#include "ReportCommand.h"
#include "ResourceInstaller.h"
#include "Schema.h"
#include "StartupMaintenance.h"

#include <algorithm>
#include <exception>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <sqlite3.h>

namespace kivo {

namespace {

enum ExitStatus { Done = 0, Failed = 1, WrongUsage = 2 };

// One value on a line of tab-separated text: a tab, line break or backslash inside the
// value is written as \t, \n, \r or \\ so that every row stays one line of whole fields.
QString Field(const QString& text)
{
    QString field;
    field.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            field += QStringLiteral("\\\\");
            break;
        case u'\t':
            field += QStringLiteral("\\t");
            break;
        case u'\n':
            field += QStringLiteral("\\n");
            break;
        case u'\r':
            field += QStringLiteral("\\r");
            break;
        default:
            field += c;
        }
    }
    return field;
}

// Writes the header line of column names and then every row of the recordset.
void WriteRows(QTextStream& out, Recordset& rs)
{
    QStringList line;
    for (int c = 0; c < rs.FieldCount(); ++c)
        line << Field(rs.Field(c).name);
    out << line.join(u'\t') << u'\n';
    for (; !rs.Eof(); rs.MoveNext()) {
        line.clear();
        for (int c = 0; c < rs.FieldCount(); ++c)
            line << Field(rs.Text(c));
        out << line.join(u'\t') << u'\n';
    }
}

// The lock file beside the folder's database, as the program names it.
QString LockPathOf(const QString& folder)
{
    return StartupFiles::For(InitLocations(folder), QDate::currentDate()).lock;
}

} // namespace

AdminCommands::AdminCommands(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
{
}

int AdminCommands::Run(const QStringList& arguments)
{
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (command == u"help" || command == u"--help" || command == u"-h") {
        WriteUsage(m_out);
        return Done;
    }
    try {
        if (command == u"init")
            return Init(rest);
        if (command == u"sql" && rest.size() == 2)
            return Sql(rest[0], rest[1]);
        if (command == u"check" && rest.size() == 1)
            return Check(rest[0]);
        if (command == u"generate")
            return Generate(rest);
        if (command == u"password" && rest.size() == 3)
            return Password(rest);
        if (command == u"report")
            return ReportCommand(m_out, m_err).Run(rest);
    } catch (const DbError& e) {
        m_err << "kivo-admin: " << e.description << u'\n';
        return Failed;
    } catch (const std::exception& e) {
        m_err << "kivo-admin: " << QString::fromLocal8Bit(e.what()) << u'\n';
        return Failed;
    }
    return Usage();
}

int AdminCommands::Usage()
{
    WriteUsage(m_err);
    return WrongUsage;
}

void AdminCommands::WriteUsage(QTextStream& stream)
{
    stream
        << "Usage:\n"
           "  kivo-admin init DIR [--demo] [--today YYYY-MM-DD]\n"
           "                                  set up a data folder: Kivo.Kvd, Arc/, Bin/, Doc/;\n"
           "                                  --demo adds a small demo shop with three months of\n"
           "                                  history up to today\n"
           "  kivo-admin sql DIR STATEMENT    run one statement on DIR/Kivo.Kvd; a query prints a\n"
           "                                  header line and its rows as tab-separated text (a tab,\n"
           "                                  line break or backslash in a value as \\t, \\n, \\\\)\n"
           "  kivo-admin check DIR            integrity and stock check; exit status 1 on a problem\n"
           "  kivo-admin generate DIR [--products N] [--customers N] [--bills N]\n"
           "                     [--today YYYY-MM-DD]\n"
           "                                  add products, customers and a history of N bills with\n"
           "                                  their quotes, orders, purchases and cash book to an\n"
           "                                  existing data folder; the same command gives the same data\n";
    stream << "  kivo-admin password DIR LOGIN NEW\n"
              "  kivo-admin password DIR --access-code NEW\n"
              "                                  set a user's password (the login in any letter case)\n"
              "                                  or the enterprise's access code (letter case kept)\n";
    ReportCommand::WriteUsage(stream);
    stream << "Statements are written as Kivo writes them: #MM/DD/YYYY# dates, Select Top n,\n"
              "Delete * From, text joined with +.\n";
}

bool AdminCommands::ReadToday(const QStringList& arguments, qsizetype& i, QDate& today)
{
    const QString text = arguments.value(++i);
    today = QDate::fromString(text, Qt::ISODate);
    if (today.isValid() && text.size() == 10)
        return true;
    m_err << "kivo-admin: --today needs a date written YYYY-MM-DD, not '" << text << "'\n";
    return false;
}

bool AdminCommands::ReadCount(const QStringList& arguments, qsizetype& i, qint64 most, qint64& count)
{
    const QString option = arguments[i];
    const QString text = arguments.value(++i);
    bool ok = false;
    count = text.toLongLong(&ok);
    // Digits only: no sign, blank or exponent slips through.
    const bool digits
        = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    if (ok && digits && count <= most)
        return true;
    m_err << "kivo-admin: " << option << " needs a whole number from 0 to " << most << ", not '" << text
          << "'\n";
    return false;
}

int AdminCommands::Init(const QStringList& arguments)
{
    QString folder;
    bool demo = false;
    QDate today = QDate::currentDate();
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--demo")
            demo = true;
        else if (argument == u"--today") {
            if (!ReadToday(arguments, i, today))
                return WrongUsage;
        } else if (argument.startsWith(u'-') || !folder.isEmpty())
            return Usage();
        else
            folder = argument;
    }
    if (folder.isEmpty())
        return Usage();

    const DataFolderCreator creator(folder);
    if (creator.DatabaseExists()) {
        m_err << "kivo-admin: " << creator.DatabaseFile()
              << " already exists; init never replaces a database\n";
        return WrongUsage;
    }
    creator.Create(demo ? DataFolderCreator::Content::Demo : DataFolderCreator::Content::Defaults, today,
        ResourceInstaller::ForThisBuild());
    m_out << "Created " << creator.DatabaseFile() << (demo ? " with the demo shop" : "") << u'\n';
    return Done;
}

void AdminCommands::OpenDatabase(
    Connection& connection, LockFile& lock, const QString& folder, QTextStream& err)
{
    const Locations locations = InitLocations(folder);
    // A running copy holds the lock and its log is its own. Otherwise the lock is held while the
    // command works, so that the program does not start meanwhile, and a log that is not the
    // database's own is set aside as the program's start sets it aside, never replayed onto
    // this file. kivo-admin writes nothing down in the lock file: a log it leaves behind is
    // kept when the database reads whole with it.
    const LockFile::Result locked = lock.Acquire();
    if (locked == LockFile::Result::Acquired || locked == LockFile::Result::TakenOver) {
        StartupMaintenance maintenance(
            locations, QDate::currentDate(), DatabasePassword(), lock.StaleRecord());
        const bool setAside = maintenance.SetAsideForeignLogs();
        lock.Record({});
        if (setAside)
            err << "kivo-admin: the log " << LogFile(locations.DatabaseFile())
                << " was left by a copy of another database file; it was set aside as "
                << LogFile(locations.DatabaseFile()) << ".foreign and not replayed\n";
    }
    connection.Open(locations.DatabaseFile(), DatabasePassword());
    Schema::Upgrade(connection);
}

int AdminCommands::Sql(const QString& folder, const QString& statement)
{
    LockFile lock(LockPathOf(folder));
    Connection connection;
    OpenDatabase(connection, lock, folder, m_err);
    const QByteArray engineSql = connection.Translate(statement).toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc
        = sqlite3_prepare_v2(connection.Handle(), engineSql.constData(), int(engineSql.size()), &raw, &tail);
    const StatementHandle prepared(raw);
    if (rc != SQLITE_OK)
        connection.ThrowEngineError(rc, Connection::ErrorSource());
    if (!raw) {
        m_err << "kivo-admin: the statement is empty\n";
        return Failed;
    }
    // Whatever follows the first statement would silently go unrun: refuse it all.
    const QString rest = QString::fromUtf8(tail).remove(u';').trimmed();
    if (!rest.isEmpty()) {
        m_err << "kivo-admin: one statement at a time; nothing was run\n";
        return Failed;
    }
    // A statement that yields columns is a query, whatever word it starts with.
    if (sqlite3_column_count(raw) > 0) {
        Recordset rs(connection);
        rs.Open(statement);
        WriteRows(m_out, rs);
    } else {
        m_out << connection.Execute(statement) << " rows affected\n";
    }
    return Done;
}

int AdminCommands::Check(const QString& folder)
{
    LockFile lock(LockPathOf(folder));
    Connection connection;
    OpenDatabase(connection, lock, folder, m_err);
    const bool intact = CheckIntegrity(connection);
    const bool stockHolds = intact && CheckStock(connection);
    return intact && stockHolds ? Done : Failed;
}

int AdminCommands::Password(const QStringList& arguments)
{
    const QString& folder = arguments[0];
    const QString& who = arguments[1];
    const QString& secret = arguments[2];
    if (secret.isEmpty() || secret.size() > PasswordHash::TypedLength) {
        m_err << "kivo-admin: a password or access code has 1 to " << PasswordHash::TypedLength
              << " characters\n";
        return WrongUsage;
    }
    LockFile lock(LockPathOf(folder));
    Connection connection;
    OpenDatabase(connection, lock, folder, m_err);
    const bool accessCode = who == u"--access-code";
    // Stored as hashes: the access code with its letter case, a password without. The login
    // is matched as the login screen matches it, without regard to letter case.
    const int changed = accessCode
        ? connection.Execute(QStringLiteral("Update kaEnterprise Set EPasscd = ?"),
            { PasswordHash::Make(secret, PasswordHash::LetterCase::Keep) })
        : connection.Execute(QStringLiteral("Update kaUser Set UPasscd = ? Where ULogin = ?"),
            { PasswordHash::Make(secret, PasswordHash::LetterCase::Ignore), who });
    if (changed == 0) {
        if (accessCode)
            m_err << "kivo-admin: the enterprise row is missing\n";
        else
            m_err << "kivo-admin: no user with the login '" << who << "'\n";
        return Failed;
    }
    m_out << (accessCode ? "Access code set\n" : "Password set\n");
    return Done;
}

int AdminCommands::Generate(const QStringList& arguments)
{
    QString folder;
    DataGenerator::Settings settings;
    settings.today = QDate::currentDate();
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        bool read = true;
        if (argument == u"--products")
            read = ReadCount(arguments, i, DataGenerator::MaxProducts, settings.products);
        else if (argument == u"--customers")
            read = ReadCount(arguments, i, DataGenerator::MaxCustomers, settings.customers);
        else if (argument == u"--bills")
            read = ReadCount(arguments, i, DataGenerator::MaxBills, settings.bills);
        else if (argument == u"--today")
            read = ReadToday(arguments, i, settings.today);
        else if (argument.startsWith(u'-') || !folder.isEmpty())
            return Usage();
        else
            folder = argument;
        if (!read)
            return WrongUsage;
    }
    if (folder.isEmpty())
        return Usage();
    if (!QFileInfo(folder).isDir()) {
        m_err << "kivo-admin: the folder '" << folder << "' does not exist\n";
        return WrongUsage;
    }
    const QString database = QDir(folder).filePath(QStringLiteral("Kivo.Kvd"));
    if (!QFileInfo(database).isFile()) {
        m_err << "kivo-admin: '" << database << "' was not found; set the folder up with kivo-admin init\n";
        return WrongUsage;
    }

    LockFile lock(LockPathOf(folder));
    Connection connection;
    OpenDatabase(connection, lock, folder, m_err);
    if (settings.bills > 0 && settings.products == 0
        && connection.Scalar(QStringLiteral("Select Count(*) From ktProduct Where PActive='Y'")).toLongLong()
            == 0) {
        m_err << "kivo-admin: bills need products, and the folder has no active product; add some with "
                 "--products\n";
        return WrongUsage;
    }
    const DataGenerator::Counts added = DataGenerator(connection, settings).Run();
    m_out << "Added " << added.products << " products, " << added.customers << " customers, "
          << added.suppliers << " suppliers, " << added.bills << " bills, " << added.quotes << " quotes, "
          << added.orders << " orders, " << added.purchases << " purchases and " << added.entries
          << " cash-book entries\n";
    return Done;
}

bool AdminCommands::CheckIntegrity(Connection& connection)
{
    QStringList problems;
    try {
        StatementHandle statement = connection.Prepare(QStringLiteral("PRAGMA integrity_check"));
        int rc;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW)
            problems << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0)));
        if (rc != SQLITE_DONE)
            connection.ThrowEngineError(rc, Connection::ErrorSource());
    } catch (const DbError& e) {
        problems = QStringList { e.description };
    }
    if (problems == QStringList { QStringLiteral("ok") }) {
        m_out << "integrity: ok\n";
        return true;
    }
    for (const QString& problem : problems)
        m_out << "integrity: " << problem << u'\n';
    return false;
}

// Every product's stock on hand must be its opening stock plus what was bought less what was
// sold; an empty quantity counts as nothing.
bool AdminCommands::CheckStock(Connection& connection)
{
    Recordset rs(connection);
    rs.Open(QStringLiteral("Select EId, PCode, POpenQty, PPurchQty, PSaleQty, PCloseQty From ktProduct "
                           "Where IfNull(PCloseQty, 0) <> IfNull(POpenQty, 0) + IfNull(PPurchQty, 0) "
                           "- IfNull(PSaleQty, 0) Order By EId"));
    if (rs.RecordCount() == 0) {
        const QVariant products = connection.Scalar(QStringLiteral("Select Count(*) From ktProduct"));
        m_out << "stock: ok (" << products.toLongLong() << " products)\n";
        return true;
    }
    const int broken = rs.RecordCount();
    m_out << "stock: " << broken << (broken == 1 ? " product breaks" : " products break")
          << " PCloseQty = POpenQty + PPurchQty - PSaleQty\n";
    WriteRows(m_out, rs);
    return false;
}

} // namespace kivo
