#include "TempDatabase.h"

#include "DatabasePassword.h"
#include "Schema.h"
#include "SeedData.h"

#include <map>
#include <QDir>
#include <QFile>

namespace kivo::test {

namespace {

// Creating the schema and writing the seed rows is many synced writes; copying a finished file
// is none. Each test process builds one template database per content and date and copies it
// for every test and data row.
class TemplateDatabases {
public:
    QString File(TempDatabase::Content content, const QDate& today)
    {
        const auto key = std::make_pair(content, today.toJulianDay());
        const auto found = m_files.find(key);
        if (found != m_files.end())
            return found->second;
        const QString file = m_dir.filePath(
            QStringLiteral("template-%1-%2.Kvd").arg(int(content)).arg(today.toString(Qt::ISODate)));
        {
            Connection connection;
            connection.Open(file, DatabasePassword(), Connection::OpenMode::Create);
            Schema::Create(connection);
            SeedDefaults(connection, today);
            if (content == TempDatabase::Content::Demo)
                SeedDemo(connection, today);
            // Out of write-ahead logging, the file alone is the whole database and can be copied;
            // every copy goes back to the program's journal mode when it is opened.
            connection.ExecuteRaw(QStringLiteral("PRAGMA journal_mode=DELETE"));
        }
        m_files.emplace(key, file);
        return file;
    }

private:
    QTemporaryDir m_dir;
    std::map<std::pair<TempDatabase::Content, qint64>, QString> m_files;
};

} // namespace

TempDatabase::TempDatabase(Content content, const QDate& today)
{
    static TemplateDatabases templates;
    const QString source = templates.File(content, today);
    if (!QFile::copy(source, file()))
        qFatal("Cannot copy the template database to %s", qPrintable(file()));
}

Connection& TempDatabase::connection()
{
    if (!m_connection.IsOpen())
        m_connection.Open(file(), DatabasePassword());
    return m_connection;
}

QString TempDatabase::file() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("Kivo.Kvd"));
}

} // namespace kivo::test
