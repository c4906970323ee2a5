#pragma once

#include "Connection.h"
#include "DatabasePassword.h"
#include "Schema.h"
#include "SeedData.h"

#include <map>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kivo::test {

// A fresh encrypted database in a temporary folder, with the schema and the rows a new
// database starts with (and, on request, the demo shop). Removed when it goes out of scope.
class TempDatabase {
public:
    enum class Content { Defaults, Demo };

    // Creating the schema and writing the seed rows is many synced writes; copying a finished
    // file is none. Each test process builds one template database per content and date and
    // copies it for every test and data row.
    explicit TempDatabase(Content content = Content::Defaults, const QDate& today = FixedToday())
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

    // Opened on first use: deriving the key is most of what opening costs, and a test that
    // works through a test context's own connection never needs this one.
    Connection& connection()
    {
        if (!m_connection.IsOpen())
            m_connection.Open(file(), DatabasePassword());
        return m_connection;
    }
    QString folder() const { return m_dir.path(); }
    QString file() const { return QDir(m_dir.path()).filePath(QStringLiteral("Kivo.Kvd")); }

    // The date the fixtures treat as today, so that nothing depends on the wall clock.
    static QDate FixedToday() { return QDate(2026, 3, 5); }

private:
    QTemporaryDir m_dir;
    Connection m_connection;
};

} // namespace kivo::test
