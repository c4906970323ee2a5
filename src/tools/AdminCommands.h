#pragma once

#include <QDate>
#include <QStringList>

class QTextStream;

namespace kivo {

class Connection;
class LockFile;

// The kivo-admin command line: init, sql, check, generate and report on a data folder. Results go
// to `out`, messages to `err`. Exit statuses: 0 done, 1 a database or file failure or a
// problem found by check, 2 wrong arguments, a bad value or a refused init. The report
// command answers 1 for anything that keeps it from writing its PDF, wrong arguments included.
class AdminCommands {
public:
    AdminCommands(QTextStream& out, QTextStream& err);

    // arguments: the command line without the program name.
    int Run(const QStringList& arguments);

    // Opens the folder's database and brings its layout up to date; `lock` (on the folder's lock
    // file) is held meanwhile unless a running copy holds it. A log set aside is said on `err`.
    static void OpenDatabase(Connection& connection, LockFile& lock, const QString& folder, QTextStream& err);

private:
    int Init(const QStringList& arguments);
    int Sql(const QString& folder, const QString& statement);
    int Check(const QString& folder);
    int Generate(const QStringList& arguments);
    // Sets a user's password, or with --access-code the enterprise's access code: the way back
    // for a shop that forgot them.
    int Password(const QStringList& arguments);
    // Reads "--today YYYY-MM-DD" at arguments[i]; false after writing why it is wrong.
    bool ReadToday(const QStringList& arguments, qsizetype& i, QDate& today);
    bool ReadCount(const QStringList& arguments, qsizetype& i, qint64 most, qint64& count);
    // Writes the usage text to the error stream; returns the exit status for wrong arguments.
    int Usage();
    static void WriteUsage(QTextStream& stream);

    bool CheckIntegrity(Connection& connection);
    bool CheckStock(Connection& connection);

    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace kivo
