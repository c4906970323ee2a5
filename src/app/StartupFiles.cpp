#include "StartupFiles.h"

#include "Locations.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo {

namespace {

const QString& Source()
{
    static const QString source = QStringLiteral("Kivo Files");
    return source;
}

[[noreturn]] void Fail(const QString& what, const QString& path, int error = 0)
{
    QString text = what.arg(QDir::toNativeSeparators(path));
    if (error != 0)
        text += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
    throw DbError(DbErrorNumber::FileError, Source(), text);
}

// Flushes a file or folder by its path; a folder flush makes a rename in it durable.
void SyncPath(const QString& path, bool folder)
{
    const int fd
        = ::open(QFile::encodeName(path).constData(), (folder ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0)
        Fail(QStringLiteral("Cannot open '%1' to write it to disk"), path, errno);
    const int rc = folder ? ::fsync(fd) : ::fdatasync(fd);
    const int error = errno;
    ::close(fd);
    if (rc != 0)
        Fail(QStringLiteral("Cannot write '%1' to disk"), path, error);
}

void RemoveIfPresent(const QString& path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        Fail(QStringLiteral("Cannot remove '%1'"), path, errno);
}

} // namespace

StartupFiles StartupFiles::For(const Locations& locations, const QDate& today)
{
    StartupFiles files;
    files.database = locations.DatabaseFile();
    files.lock = files.database + QStringLiteral(".Ldb");
    files.compaction = files.database + QStringLiteral(".Cpt");
    files.archive = TodaysArchiveFile(locations, today);
    return files;
}

QString ArchiveFileOf(const Locations& locations, const QDate& day)
{
    return locations.ArchiveFolder + locations.DatabaseName.left(2) + day.toString(QStringLiteral("yyMMdd"))
        + QStringLiteral(".Kvd");
}

QString TodaysArchiveFile(const Locations& locations, const QDate& today)
{
    return ArchiveFileOf(locations, today.addDays(-1));
}

bool RemoveTodaysArchive(const Locations& locations, const QDate& today)
{
    const QString archive = TodaysArchiveFile(locations, today);
    return !QFileInfo::exists(archive) || QFile::remove(archive);
}

QString ClosingFileName(const Locations& locations, const QDate& today)
{
    const QDate yesterday = today.addDays(-1);
    const QLocale locale = QLocale::system();
    return locations.DatabaseName.left(2) + u'-'
        + locale.monthName(yesterday.month(), QLocale::ShortFormat).left(3)
        + QString::number(yesterday.year()) + u'-' + yesterday.toString(QStringLiteral("dd"))
        + QStringLiteral(".Kvd");
}

QString LogFile(const QString& database)
{
    return database + QStringLiteral("-wal");
}

QString LogIndexFile(const QString& database)
{
    return database + QStringLiteral("-shm");
}

QByteArray FileFingerprint(const QString& path)
{
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino)) + ':'
        + QByteArray::number(qint64(info.st_size)) + ':' + QByteArray::number(qint64(info.st_mtim.tv_sec))
        + '.' + QByteArray::number(qint64(info.st_mtim.tv_nsec));
}

QByteArray ClosingRecord(const QString& database)
{
    return FileFingerprint(database) + " closing";
}

namespace {

// The device and inode of a fingerprint: which file, not in what state.
QByteArray FileIdentity(const QByteArray& fingerprint)
{
    const QList<QByteArray> parts = fingerprint.split(':');
    return parts.size() >= 2 ? parts[0] + ':' + parts[1] : QByteArray();
}

} // namespace

LogCheck SetAsideForeignLog(const QString& database, const QByteArray& recorded)
{
    const QString log = LogFile(database);
    const QFileInfo logInfo(log);
    if (!logInfo.exists()) {
        // An index without its log describes nothing: the engine would trust it.
        RemoveIfPresent(LogIndexFile(database));
        return LogCheck::None;
    }
    // Beside a missing database the log reaches nothing yet: it is left for what puts a
    // database there (the repair of a compaction and a new set-up remove it first).
    if (!QFileInfo(database).isFile())
        return LogCheck::None;
    bool own = false;
    if (recorded.endsWith(" closing"))
        own = FileIdentity(recorded) == FileIdentity(FileFingerprint(database));
    else if (!recorded.isEmpty())
        own = recorded == FileFingerprint(database);
    else
        // Nothing written down (a tool's connection was cut): the tool may have been killed
        // while writing the log back into the file, which only the log can finish, so the log
        // is kept.
        own = true;
    if (own)
        return LogCheck::Own;
    const QString aside = log + QStringLiteral(".foreign");
    RemoveIfPresent(aside);
    if (::rename(QFile::encodeName(log).constData(), QFile::encodeName(aside).constData()) != 0)
        Fail(
            QStringLiteral("Cannot set aside the log '%1' that does not belong to the database"), log, errno);
    RemoveIfPresent(LogIndexFile(database));
    return LogCheck::Foreign;
}

void RemoveLogs(const QString& database)
{
    RemoveIfPresent(LogFile(database));
    RemoveIfPresent(LogIndexFile(database));
    RemoveIfPresent(database + QStringLiteral("-journal"));
}

void CopyWhole(const QString& source, const QString& target)
{
    const QString part = target + QStringLiteral(".part");
    RemoveIfPresent(part);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("Cannot read '%1'"), source);
    QFile out(part);
    if (!out.open(QIODevice::WriteOnly))
        Fail(QStringLiteral("Cannot write '%1'"), part);
    // In the kernel where it can (no trip through this program's memory); by reading and
    // writing where the file system does not offer it.
    qint64 copied = 0;
    for (;;) {
        const ssize_t step = ::copy_file_range(in.handle(), nullptr, out.handle(), nullptr, 1 << 30, 0);
        if (step <= 0)
            break;
        copied += step;
    }
    if (copied != in.size() && copied != 0) {
        out.close();
        QFile::remove(part);
        Fail(QStringLiteral("Cannot write '%1' (is the disk full?)"), part, errno);
    }
    QByteArray buffer(copied == 0 ? 1 << 20 : 0, Qt::Uninitialized);
    while (copied == 0) {
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got < 0)
            Fail(QStringLiteral("Cannot read '%1'"), source);
        if (got == 0)
            break;
        if (out.write(buffer.constData(), got) != got) {
            out.close();
            QFile::remove(part);
            Fail(QStringLiteral("Cannot write '%1' (is the disk full?)"), part);
        }
    }
    if (!out.flush() || ::fdatasync(out.handle()) != 0) {
        out.close();
        QFile::remove(part);
        Fail(QStringLiteral("Cannot write '%1' to disk"), part, errno);
    }
    out.close();
    RenameOver(part, target);
}

void RenameOver(const QString& source, const QString& target)
{
    if (::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0)
        Fail(QStringLiteral("Cannot rename '%1' to '") + QDir::toNativeSeparators(target) + u'\'', source,
            errno);
    SyncPath(QFileInfo(target).absolutePath(), true);
}

void SyncFile(const QString& path)
{
    SyncPath(path, false);
}

} // namespace kivo
