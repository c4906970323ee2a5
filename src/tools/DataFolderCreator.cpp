#include "DataFolderCreator.h"

#include "StartupFiles.h"

#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "ResourceInstaller.h"
#include "Schema.h"
#include "SeedData.h"

#include <fcntl.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace kivo {

namespace {

const QString& Source()
{
    static const QString source = QStringLiteral("Kivo Admin");
    return source;
}

// The engine's companions of a database file: its write-ahead log, shared-memory index
// and rollback journal.
void RemoveDatabaseFiles(const QString& file)
{
    for (const char* suffix : { "", "-wal", "-shm", "-journal" })
        QFile::remove(file + QLatin1StringView(suffix));
}

// Removes the work file and its companions however the set-up ends. After a successful
// rename only the engine's emptied companions are left for it to clear.
class WorkFileGuard {
public:
    explicit WorkFileGuard(QString file)
        : m_file(std::move(file))
    {
    }
    ~WorkFileGuard() { RemoveDatabaseFiles(m_file); }
    WorkFileGuard(const WorkFileGuard&) = delete;
    WorkFileGuard& operator=(const WorkFileGuard&) = delete;

private:
    QString m_file;
};

// Makes the rename itself durable: a power cut right after "init" must not bring back a
// folder without its database.
void SyncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

DataFolderCreator::DataFolderCreator(const QString& folder)
    : m_folder(QDir::cleanPath(QDir(folder).absolutePath()))
{
}

QString DataFolderCreator::DatabaseFile() const
{
    return m_folder + QStringLiteral("/Kivo.Kvd");
}

QString DataFolderCreator::WorkFile() const
{
    return DatabaseFile() + QStringLiteral(".new");
}

bool DataFolderCreator::DatabaseExists() const
{
    return QFileInfo::exists(DatabaseFile());
}

void DataFolderCreator::Create(Content content, const QDate& today, const ResourceInstaller& resources) const
{
    if (DatabaseExists())
        throw DbError(DbErrorNumber::FileError, Source(),
            QStringLiteral("The database '%1' already exists").arg(DatabaseFile()));
    CreateFolders();
    resources.Install(m_folder + QStringLiteral("/Bin"));

    // A work file left by an interrupted set-up is of no use: start it again.
    const QString work = WorkFile();
    RemoveDatabaseFiles(work);
    WorkFileGuard guard(work);
    BuildDatabase(work, content, today);
    // A log or index lying beside the missing database was left by a copy of another file:
    // the new database would receive it when it is first opened.
    RemoveLogs(DatabaseFile());
    // Renaming never replaces a file, so a database that appeared meanwhile is kept.
    if (!QFile::rename(work, DatabaseFile()))
        throw DbError(DbErrorNumber::FileError, Source(),
            QStringLiteral("Cannot rename '%1' to '%2'").arg(work, DatabaseFile()));
    SyncFolder(m_folder);
}

void DataFolderCreator::CreateFolders() const
{
    for (const char* sub : { "", "/Arc", "/Bin", "/Doc" }) {
        const QString folder = m_folder + QLatin1StringView(sub);
        if (!QDir().mkpath(folder))
            throw DbError(DbErrorNumber::FileError, Source(),
                QStringLiteral("Cannot create the folder '%1'").arg(folder));
    }
}

void DataFolderCreator::BuildDatabase(const QString& file, Content content, const QDate& today) const
{
    Connection connection;
    connection.Open(file, DatabasePassword(), Connection::OpenMode::Create);
    Schema::Create(connection);
    SeedDefaults(connection, today);
    if (content == Content::Demo)
        SeedDemo(connection, today);
    // Everything into the database file itself before it is renamed: the log is named
    // after the work file and would not follow it.
    connection.ExecuteRaw(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    connection.Close();
    if (QFileInfo(file + QStringLiteral("-wal")).size() > 0)
        throw DbError(DbErrorNumber::FileError, Source(),
            QStringLiteral("The new database '%1' could not be completed").arg(file));
}

} // namespace kivo
