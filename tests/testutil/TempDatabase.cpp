#include "TempDatabase.h"

#include "DatabasePassword.h"
#include "Schema.h"
#include "SeedData.h"

#include <map>
#include <QDir>
#include <QFile>

namespace kivo::test {

// Creating the schema and writing the seed rows is many synced writes; copying a finished file
// is none. Each test process builds one template database per content and date and copies it
// for every test and data row.
TempDatabase::TempDatabase(Content content, const QDate& today)
{
    static QTemporaryDir templateDir;
    static std::map<std::pair<Content, qint64>, QString> templates;
    QString& source = templates[std::make_pair(content, today.toJulianDay())];
    if (source.isEmpty()) {
        const QString built = templateDir.filePath(
            QStringLiteral("template-%1-%2.Kvd").arg(int(content)).arg(today.toString(Qt::ISODate)));
        Connection connection;
        connection.Open(built, DatabasePassword(), Connection::OpenMode::Create);
        Schema::Create(connection);
        SeedDefaults(connection, today);
        if (content == Content::Demo)
            SeedDemo(connection, today);
        // Out of write-ahead logging, the file alone is the whole database and can be copied;
        // every copy goes back to the program's journal mode when it is opened.
        connection.ExecuteRaw(QStringLiteral("PRAGMA journal_mode=DELETE"));
        connection.Close();
        source = built;
    }
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
