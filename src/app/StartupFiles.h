#pragma once

#include "DbError.h"

#include <QByteArray>
#include <QDate>
#include <QString>

namespace kivo {

struct Locations;

// The files beside the database that the start-up maintenance, the period closing, the options
// screen and the import work on, and the few file operations that keep the database whole
// when it is copied, renamed or replaced. The side files carry the whole database file name
// followed by a second extension: "Kivo.Kvd.Ldb" (lock), "Kivo.Kvd.Cpt" (compaction).
struct StartupFiles {
    QString database;
    QString lock;
    QString compaction;
    QString archive; // the day's archive copy, named after yesterday

    static StartupFiles For(const Locations& locations, const QDate& today);
};

// The archive copy named after `day`: ArchiveFolder + "Ki" + day as "yyMMdd" + ".Kvd".
QString ArchiveFileOf(const Locations& locations, const QDate& day);
// The copy the start-up maintenance makes on `today` (named after yesterday).
QString TodaysArchiveFile(const Locations& locations, const QDate& today);
// Removes the day's archive copy, so that the next start runs the full maintenance again on a
// database that was changed wholesale (an import). True when no copy is left.
bool RemoveTodaysArchive(const Locations& locations, const QDate& today);
// The name a period closed on `today` is archived under: "Ki-" + yesterday as three-letter
// month, four-digit year, "-", two-digit day + ".Kvd" ("Ki-Mar2026-04.Kvd"). The month name
// follows the system's language settings.
QString ClosingFileName(const Locations& locations, const QDate& today);

// The database's write-ahead log and its index.
QString LogFile(const QString& database);
QString LogIndexFile(const QString& database);

// What identifies one state of a database file on disk: device, inode, size and modification
// time. A log is the database's own only while the file is as it was when the log was written.
QByteArray FileFingerprint(const QString& path);

// The record of a copy about to close its connection: the closing writes the log back into
// the database file, so after a kill in the middle the file is still the same file but no
// longer as it was.
QByteArray ClosingRecord(const QString& database);

enum class LogCheck { None, Own, Foreign };
// Looks at a log left beside the database by a copy that did not end normally. `recorded` is
// the fingerprint that copy wrote down when it opened the database (empty when unknown: the log
// is then kept, as a tool killed while writing it back needs it to finish). A log
// written for another file (a backup copied over the database, a file put in its place) would
// be replayed onto this one and damage it for good: it is set aside as "-wal.foreign" and the
// log index removed. Throws DbError (FileError) when the log cannot be moved.
LogCheck SetAsideForeignLog(const QString& database, const QByteArray& recorded);

// Removes the log and log index of a database that is gone or about to be replaced. Throws
// FileError when one cannot be removed.
void RemoveLogs(const QString& database);

// Copies a file as a whole: into `target` + ".part", flushed to disk, then renamed into place,
// so that a copy cut short never stands under the final name. Throws DbError (FileError).
void CopyWhole(const QString& source, const QString& target);

// Renames `source` over `target` in one step and flushes the folder. Throws DbError (FileError).
void RenameOver(const QString& source, const QString& target);

// Flushes a file's contents to disk. Throws DbError (FileError).
void SyncFile(const QString& path);

} // namespace kivo
