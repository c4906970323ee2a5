#include "AdminCommands.h"

#include "Connection.h"
#include "DatabasePassword.h"
#include "DataFolderCreator.h"
#include "DbError.h"
#include "Recordset.h"
#include "ResourceInstaller.h"

#include <exception>
#include <QDir>
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
    stream << "Usage:\n"
              "  kivo-admin init DIR [--demo]    set up a data folder: Kivo.Kvd, Arc/, Bin/, Doc/;\n"
              "                                  --demo adds a small demo shop\n"
              "  kivo-admin sql DIR STATEMENT    run one statement on DIR/Kivo.Kvd; a query prints a\n"
              "                                  header line and its rows as tab-separated text (a tab,\n"
              "                                  line break or backslash in a value as \\t, \\n, \\\\)\n"
              "  kivo-admin check DIR            integrity and stock check; exit status 1 on a problem\n"
              "Statements are written as Kivo writes them: #MM/DD/YYYY# dates, Select Top n,\n"
              "Delete * From, text joined with +.\n";
}

int AdminCommands::Init(const QStringList& arguments)
{
    QString folder;
    bool demo = false;
    for (const QString& argument : arguments) {
        if (argument == u"--demo")
            demo = true;
        else if (argument.startsWith(u'-') || !folder.isEmpty())
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
    creator.Create(demo ? DataFolderCreator::Content::Demo : DataFolderCreator::Content::Defaults,
        QDate::currentDate(), ResourceInstaller::ForThisBuild());
    m_out << "Created " << creator.DatabaseFile() << (demo ? " with the demo shop" : "") << u'\n';
    return Done;
}

void AdminCommands::OpenDatabase(Connection& connection, const QString& folder)
{
    connection.Open(QDir(folder).filePath(QStringLiteral("Kivo.Kvd")), DatabasePassword());
}

int AdminCommands::Sql(const QString& folder, const QString& statement)
{
    Connection connection;
    OpenDatabase(connection, folder);
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
    Connection connection;
    OpenDatabase(connection, folder);
    const bool intact = CheckIntegrity(connection);
    const bool stockHolds = intact && CheckStock(connection);
    return intact && stockHolds ? Done : Failed;
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
