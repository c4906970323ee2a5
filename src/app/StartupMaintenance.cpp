#include "StartupMaintenance.h"

#include "Connection.h"

#include <cstdio>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace kivo {

namespace {

const QString& Source()
{
    static const QString source = QStringLiteral("Kivo Start");
    return source;
}

QString Quoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

// Whether the database, with the log beside it if there is one, reads whole through a
// connection that cannot write: such a connection never writes the log back into the file,
// whatever it finds in it.
bool ReadsWhole(const QString& database, const QString& key)
{
    sqlite3* db = nullptr;
    bool whole = sqlite3_open_v2(QFile::encodeName(database).constData(), &db, SQLITE_OPEN_READONLY, nullptr)
        == SQLITE_OK;
    const QByteArray keyBytes = key.toUtf8();
    whole = whole && sqlite3_key(db, keyBytes.constData(), int(keyBytes.size())) == SQLITE_OK
        && sqlite3_exec(db, PinnedCipherSettings().toUtf8().constData(), nullptr, nullptr, nullptr)
            == SQLITE_OK;
    sqlite3_stmt* check = nullptr;
    whole = whole && sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr) == SQLITE_OK
        && sqlite3_step(check) == SQLITE_ROW
        && qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok") == 0;
    sqlite3_finalize(check);
    sqlite3_close(db);
    return whole;
}

bool Rename(const QString& from, const QString& to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

int CallBusy(void* busy)
{
    (*static_cast<const std::function<void()>*>(busy))();
    return 0;
}

} // namespace

void ExportDatabase(
    Connection& source, const QString& target, const QString& key, const std::function<void()>& busy)
{
    RemoveLogs(target);
    if (QFileInfo::exists(target) && !QFile::remove(target))
        throw DbError(DbErrorNumber::FileError, Source(), QStringLiteral("Cannot remove '%1'").arg(target));
    // The connection may not create files; an empty file is a new database to the engine.
    if (!QFile(target).open(QIODevice::WriteOnly))
        throw DbError(DbErrorNumber::FileError, Source(), QStringLiteral("Cannot create '%1'").arg(target));
    source.ExecuteRaw(
        QStringLiteral("ATTACH DATABASE %1 AS compact KEY %2").arg(Quoted(target), Quoted(key)));
    struct Detach {
        Connection& connection;
        ~Detach()
        {
            sqlite3_progress_handler(connection.Handle(), 0, nullptr, nullptr);
            sqlite3_exec(connection.Handle(), "DETACH DATABASE compact", nullptr, nullptr, nullptr);
        }
    } detach { source };
    source.ExecuteRaw(PinnedCipherSettings(QStringLiteral("compact")));
    // The export builds every index of the new file as its rows go in: a larger page cache for
    // it keeps those pages decrypted. The file is flushed to disk once, before it replaces the
    // database, so the export itself need not wait for the disk.
    source.ExecuteRaw(
        QStringLiteral("PRAGMA compact.cache_size = -65536; PRAGMA compact.synchronous = OFF;"));
    if (busy)
        sqlite3_progress_handler(source.Handle(), 20000, CallBusy, const_cast<std::function<void()>*>(&busy));
    // The export keeps the key, the row ids and the counters that keep ids from being reused.
    source.ExecuteRaw(QStringLiteral("SELECT sqlcipher_export('compact')"));
}

StartupMaintenance::StartupMaintenance(
    const Locations& locations, const QDate& today, QString key, QByteArray staleRecord)
    : m_locations(locations)
    , m_files(StartupFiles::For(locations, today))
    , m_key(std::move(key))
    , m_staleRecord(std::move(staleRecord))
{
}

void StartupMaintenance::Dots(MaintenanceProgress& progress, int count)
{
    for (int i = 0; i < count; ++i) {
        progress.Busy();
        progress.AddDot();
    }
}

void StartupMaintenance::Operation(const QString& name)
{
    if (onOperation)
        onOperation(name);
}

bool StartupMaintenance::Run(MaintenanceProgress& progress)
{
    try {
        progress.ShowStep(QStringLiteral("Verify..."));
        SetAsideForeignLogs();
        Dots(progress, 4);
        fullRun = !QFileInfo::exists(m_files.archive);
        if (fullRun) {
            // The lock file of a copy that was killed has been taken over before the work began:
            // it now carries this copy's lock.
            progress.ShowStep(QStringLiteral("Checks..."));
            Dots(progress, 3);
            progress.ShowStep(QStringLiteral("Repair..."));
            Repair();
            Dots(progress, 3);
            progress.ShowStep(QStringLiteral("Compact.."));
            Compact(progress);
            Dots(progress, 3);
            progress.ShowStep(QStringLiteral("Archive.."));
            Archive();
            Dots(progress, 3);
        }
        progress.ShowStep(QStringLiteral("Loading.."));
        Dots(progress, 4);
        return true;
    } catch (const DbError& error) {
        failure = error.description;
    } catch (const std::exception& error) {
        failure = QString::fromLocal8Bit(error.what());
    }
    return false;
}

bool StartupMaintenance::SetAsideForeignLogs()
{
    // Every start: a log that another file left here must never reach this one.
    const bool aside = SetAsideForeignLog(m_files.database, m_staleRecord) == LogCheck::Foreign;
    if (m_staleRecord.isEmpty())
        return CheckUnrecordedLog() || aside;
    return aside;
}

bool StartupMaintenance::CheckUnrecordedLog()
{
    const QString& database = m_files.database;
    const QString log = LogFile(database);
    const QString index = LogIndexFile(database);
    // An empty or read-only file, or one in a read-only folder, is refused before the engine
    // sees it (and the engine would drop a log beside an empty file): the log waits for the
    // file to be put right.
    const QFileInfo file(database);
    const QFileInfo folder(file.absolutePath());
    constexpr QFile::Permissions write = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!file.isFile() || file.size() == 0 || !file.isWritable() || !(file.permissions() & write)
        || !folder.isWritable() || !(folder.permissions() & write) || QFileInfo(log).size() == 0
        || ReadsWhole(database, m_key))
        return false;
    // The copy that left the log wrote nothing down, and the database does not read whole with
    // it: read without it. Whole, the log was another file's and stays aside; damaged either
    // way, both go back as they were and the start ends here, before any connection that
    // could write the log into the file.
    const QString aside = log + QStringLiteral(".foreign");
    const QString indexAside = index + QStringLiteral(".foreign");
    const bool hadIndex = QFileInfo::exists(index);
    QFile::remove(aside);
    QFile::remove(indexAside);
    if (!Rename(log, aside) || (hadIndex && !Rename(index, indexAside)))
        throw DbError(DbErrorNumber::FileError, Source(),
            QStringLiteral("Cannot set aside the log '%1' that does not belong to the database").arg(log));
    if (ReadsWhole(database, m_key)) {
        QFile::remove(indexAside);
        return true;
    }
    // The reading without the log left an empty log and a new index.
    Rename(aside, log);
    if (hadIndex)
        Rename(indexAside, index);
    else
        QFile::remove(index);
    throw DbError(DbErrorNumber::WrongKeyOrDamaged, Source(),
        QStringLiteral("The database file '%1' is damaged or not opened by the shop's key").arg(database));
}

void StartupMaintenance::Repair()
{
    if (QFileInfo::exists(m_files.compaction) && !QFileInfo::exists(m_files.database)) {
        // A log beside a missing database belongs to a file that is gone.
        RemoveLogs(m_files.database);
        Operation(QStringLiteral("repair"));
        RenameOver(m_files.compaction, m_files.database);
    }
}

void StartupMaintenance::Compact(MaintenanceProgress& progress)
{
    Connection source;
    // Opening checks the file (there, not empty, not a folder, writable, opened by the key), and
    // the export reads every row, so a damaged page stops the work before anything is replaced;
    // the indexes are built anew in the compacted file.
    bool exporting = false;
    try {
        source.Open(m_files.database, m_key);
        // A compaction file beside a database that opened is what a compaction cut short left
        // before the rename; it is made again, but only from a database that reads whole: beside
        // a damaged one it may be the only whole copy.
        if (QFileInfo::exists(m_files.compaction) && !ReadsWhole(m_files.database, m_key))
            throw DbError(DbErrorNumber::WrongKeyOrDamaged, Source(),
                QStringLiteral(
                    "The database file '%1' is damaged; the compaction file '%2' beside it is kept")
                    .arg(m_files.database, m_files.compaction));
        exporting = true;
        Operation(QStringLiteral("export"));
        ExportDatabase(source, m_files.compaction, m_key, [&] { progress.Busy(); });
    } catch (const DbError& error) {
        source.Close();
        // Only what this export began is removed; a file that did not open changes nothing.
        if (exporting) {
            QFile::remove(m_files.compaction);
            QFile::remove(m_files.compaction + QStringLiteral("-journal"));
        }
        if (error.description.contains(m_files.database))
            throw;
        throw DbError(
            error.number, error.source, m_files.database + QStringLiteral(": ") + error.description);
    }
    Operation(QStringLiteral("exported"));
    // Closing writes the database's log back into it and removes the log, so no log is left
    // to be replayed onto the compacted file that takes its place.
    source.Close();
    // A log still there holds what another program using the file wrote after the export
    // began: the compacted file would lose it.
    if (QFileInfo(LogFile(m_files.database)).size() > 0) {
        QFile::remove(m_files.compaction);
        throw DbError(DbErrorNumber::FileError, Source(),
            QStringLiteral("The database file '%1' is in use by another program").arg(m_files.database));
    }
    SyncFile(m_files.compaction);
    RemoveLogs(m_files.database);
    Operation(QStringLiteral("rename"));
    RenameOver(m_files.compaction, m_files.database);
}

void StartupMaintenance::Archive()
{
    if (!QDir().mkpath(m_locations.ArchiveFolder))
        throw DbError(DbErrorNumber::FileError, Source(),
            QStringLiteral("Cannot create the archive folder '%1'").arg(m_locations.ArchiveFolder));
    Operation(QStringLiteral("archive"));
    CopyWhole(m_files.database, m_files.archive);
}

} // namespace kivo
