#include "LockFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QFile>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo {

LockFile::LockFile(QString path)
    : m_path(std::move(path))
{
}

LockFile::~LockFile()
{
    Release();
}

LockFile::Result LockFile::Acquire()
{
    if (Held())
        return Result::Acquired;
    const QByteArray name = QFile::encodeName(m_path);
    const bool existed = ::access(name.constData(), F_OK) == 0;
    // The file can be replaced between opening and locking (its holder removes it as it ends,
    // and the next copy makes a new one): the lock counts only on the file that still stands
    // under the name.
    for (int attempt = 0; attempt < 8; ++attempt) {
        // Not inherited by programs the copy starts (a browser for the help, the mail
        // submission program): they must not keep the lock after the copy is gone.
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            m_error = QStringLiteral("Cannot create the lock file '%1': %2")
                          .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
            return Result::Failed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return Result::InUse;
            m_error = QStringLiteral("Cannot lock '%1': %2")
                          .arg(m_path, QString::fromLocal8Bit(std::strerror(error)));
            return Result::Failed;
        }
        struct stat opened { };
        struct stat named { };
        if (::fstat(fd, &opened) == 0 && ::stat(name.constData(), &named) == 0
            && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            m_fd = fd;
            if (!existed)
                return Result::Acquired;
            QByteArray record(4096, '\0');
            const ssize_t got = ::pread(fd, record.data(), record.size(), 0);
            m_staleRecord = got > 0 ? record.left(got).trimmed() : QByteArray();
            return Result::TakenOver;
        }
        ::close(fd);
    }
    m_error = QStringLiteral("The lock file '%1' keeps changing").arg(m_path);
    return Result::Failed;
}

bool LockFile::Record(const QByteArray& record)
{
    if (!Held())
        return false;
    const QByteArray line = record + '\n';
    return ::ftruncate(m_fd, 0) == 0 && ::pwrite(m_fd, line.constData(), line.size(), 0) == line.size()
        && ::fdatasync(m_fd) == 0;
}

void LockFile::Release()
{
    if (!Held())
        return;
    // Removed while still locked, so that no other copy can lock the file about to go.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}

} // namespace kivo
