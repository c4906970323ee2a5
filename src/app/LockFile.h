#pragma once

#include <QByteArray>
#include <QString>

namespace kivo {

// One running copy per data folder. The lock file beside the database carries an operating
// system lock for the whole run; the system drops it when the copy ends in any way, so a file
// left by a copy that was killed is stale and is taken over. On a normal end the file is
// removed. The file also holds what the copy wrote down about the database when it opened
// it, so that the next start can tell a log left by that copy from one that is not the
// database's own.
class LockFile {
public:
    enum class Result {
        Acquired, // no lock file was there
        TakenOver, // a stale lock file of a copy that did not end normally
        InUse, // another running copy holds it
        Failed, // the file cannot be created or locked (read-only folder...)
    };

    explicit LockFile(QString path);
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    Result Acquire();
    // Removes the file and drops the lock.
    void Release();
    bool Held() const { return m_fd >= 0; }
    QString Path() const { return m_path; }
    // Why Acquire failed.
    QString ErrorText() const { return m_error; }

    // What the previous copy wrote down, read when a stale file is taken over.
    QByteArray StaleRecord() const { return m_staleRecord; }
    // Writes the record down for the next start; false when it could not be written.
    bool Record(const QByteArray& record);

private:
    QString m_path;
    int m_fd = -1;
    QString m_error;
    QByteArray m_staleRecord;
};

} // namespace kivo
