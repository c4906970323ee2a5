// The start-up on real files: the day's first and later starts, the lock of one running copy,
// the file faults a shop's machine produces (left-over compaction file, empty, cut or foreign
// database, a folder in its place, read-only files, a log that is not the database's own), a copy
// killed at each point of the work, and the windows that follow.
#include "ChildProcess.h"
#include "Connection.h"
#include "DatabasePassword.h"
#include "LockFile.h"
#include "ProgramContext.h"
#include "ProgramRun.h"
#include "ScriptedMessages.h"
#include "StartupMaintenance.h"
#include "StartupSequence.h"
#include "TempDatabase.h"

#include <csignal>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

using namespace kivo;
using kivo::test::InChild;
using kivo::test::ScriptedMessages;
using kivo::test::TempDatabase;
using namespace Qt::StringLiterals;

namespace {

const QDate Today(2026, 3, 5);

// Quiet progress that can stop the process dead at a chosen busy call.
class Recorder : public MaintenanceProgress {
public:
    void ShowStep(const QString&) override { }
    void AddDot() override { }
    void Busy() override
    {
        if (++busy == killAtBusy)
            ::raise(SIGKILL);
    }
    int busy = 0;
    int killAtBusy = -1;
};

// What a database holds, read through its own connection: the row counts that matter and the
// next product id, or a text that says why it did not open whole.
QString Content(const QString& file)
{
    try {
        Connection c;
        c.Open(file, DatabasePassword());
        if (c.Scalar(u"PRAGMA integrity_check"_s).toString() != u"ok")
            return u"damaged"_s;
        return u"products %1, bills %2, lines %3, next product %4"_s.arg(
            c.Scalar(u"Select Count(*) From ktProduct"_s).toString(),
            c.Scalar(u"Select Count(*) From ktBillMast"_s).toString(),
            c.Scalar(u"Select Count(*) From ktBillDetl"_s).toString(),
            c.Scalar(u"Select seq From sqlite_sequence Where name='ktProduct'"_s).toString());
    } catch (const DbError& e) {
        return e.description;
    }
}

QByteArray Bytes(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

// Every file under `folder` by its path there, with a digest of its bytes. The lock file is
// left out (a stale one is taken over by every start that gets past it), and a log index
// counts by its presence only: every reader of the log marks its place in it.
QMap<QString, QByteArray> Files(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(u".Ldb"))
            continue;
        files.insert(QDir(folder).relativeFilePath(path),
            path.endsWith(u"-shm")
                ? QByteArray("index")
                : QCryptographicHash::hash(Bytes(path), QCryptographicHash::Sha1).toHex().left(12));
    }
    return files;
}

// Leaves the log of a copy killed after running `statements` on `database`: the database file
// itself is as it was, what the statements changed lives only in the log.
void LeaveLog(const QString& database, const QStringList& statements)
{
    const int status = InChild([&] {
        Connection c;
        c.Open(database, DatabasePassword());
        c.ExecuteRaw(u"PRAGMA wal_autocheckpoint = 0"_s);
        for (const QString& statement : statements)
            c.Execute(statement);
        ::raise(SIGKILL);
    });
    QVERIFY(WIFSIGNALED(status) && QFileInfo(LogFile(database)).size() > 0);
}

// The start's windows, reduced to what the files decide: the maintenance runs quietly, the
// login is cancelled, and the windows shown are recorded in their order. A login through to
// the main window is the end-to-end run's.
class QuietStart : public StartupWindows {
public:
    bool RunMaintenance(StartupMaintenance& work) override
    {
        Recorder progress;
        return work.Run(progress);
    }
    bool RunLogin() override
    {
        calls << u"login"_s;
        return false;
    }
    void SetupMainWindow() override { calls << u"setup"_s; }
    void ShowMainWindow() override { calls << u"show"_s; }
    void SetIdleCommandState() override { calls << u"idle"_s; }
    QStringList calls;
};

} // namespace

class TestStartupMaintenance : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_work;
    // A demo shop's database and its Content; a database made with another key; a copy of the
    // template beside the log of a copy killed while using it, and the same for another database
    // with the same key; the Content of the template with its own log written back.
    QString m_template, m_expected, m_wrongKey, m_ownLog, m_foreignLog, m_expectedOwn;
    int m_folders = 0;

    // A fresh data folder holding a copy of the demo database.
    Locations Folder()
    {
        const QString folder = m_work.filePath(u"shop%1"_s.arg(++m_folders));
        QDir().mkpath(folder);
        const Locations l = InitLocations(folder);
        QFile::copy(m_template, l.DatabaseFile());
        return l;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        TempDatabase demo(TempDatabase::Content::Demo);
        demo.connection().Execute(u"Delete From ktProduct Where EId=(Select Max(EId) From ktProduct)"_s);
        demo.connection().Close();
        m_template = m_work.filePath(u"template.Kvd"_s);
        QVERIFY(QFile::copy(demo.file(), m_template));
        const TempDatabase other; // another database with the same key
        m_expected = Content(m_template);
        QVERIFY2(m_expected.startsWith(u"products "_s), qPrintable(m_expected));
        m_wrongKey = m_work.filePath(u"wrongkey.Kvd"_s);
        Connection wrong;
        wrong.Open(m_wrongKey, u"not the shop's key"_s, Connection::OpenMode::Create);
        wrong.ExecuteRaw(u"CREATE TABLE ktProduct (EId INTEGER PRIMARY KEY)"_s);
        wrong.Close();
        for (QString* copy : { &m_ownLog, &m_foreignLog }) {
            *copy = m_work.filePath(copy == &m_ownLog ? u"ownlog/Kivo.Kvd"_s : u"foreignlog/Kivo.Kvd"_s);
            QDir().mkpath(QFileInfo(*copy).path());
            QVERIFY(QFile::copy(copy == &m_ownLog ? m_template : other.file(), *copy));
            LeaveLog(*copy, { u"Delete From ktBillDetl"_s, u"Delete From ktProduct Where EId <= 5"_s });
        }
        const QString replayed = m_work.filePath(u"replayed.Kvd"_s);
        for (const QString& suffix : { u""_s, u"-wal"_s, u"-shm"_s })
            QVERIFY(QFile::copy(m_ownLog + suffix, replayed + suffix));
        m_expectedOwn = Content(replayed);
        QVERIFY(m_expectedOwn != m_expected && m_expectedOwn.startsWith(u"products "_s));
    }

    // Every combination of what a shop's machine leaves in the data folder: the database
    // (whole, missing, empty, cut short, another key, read-only), a log beside it (none, the
    // database's own, another database's), a compaction file (a whole copy) and the lock file
    // (none, left by a killed copy with what it wrote down, held by a running copy). The start
    // either opens a whole database (the compaction file put in place of a missing one, an own
    // log written back, another's set aside), or ends with the file's fault named and
    // "Application In-Use, Try Later" (the refusal alone when another copy runs), leaving every
    // file's bytes as they were: only another database's log moves aside, whole, so that
    // nothing replays it later.
    void fileMatrix_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("log");
        QTest::addColumn<bool>("cpt");
        QTest::addColumn<QString>("lock");
        for (const char* database : { "whole", "missing", "empty", "truncated", "wrong key", "read-only" })
            for (const char* log : { "none", "own", "foreign" })
                for (const bool cpt : { false, true })
                    for (const char* lock : { "absent", "stale", "held" })
                        QTest::addRow(
                            "%s, %s log, %s, lock %s", database, log, cpt ? ".Cpt" : "no .Cpt", lock)
                            << QString::fromLatin1(database) << QString::fromLatin1(log) << cpt
                            << QString::fromLatin1(lock);
    }

    void fileMatrix()
    {
        QFETCH(QString, database);
        QFETCH(QString, log);
        QFETCH(bool, cpt);
        QFETCH(QString, lock);
        const Locations l = Folder();
        const QString db = l.DatabaseFile();
        const StartupFiles files = StartupFiles::For(l, Today);
        // What a copy wrote down when it opened the file whose log lies beside it.
        const QByteArray opened = log == u"foreign" ? FileFingerprint(m_foreignLog) : FileFingerprint(db);
        if (log != u"none")
            for (const QString& suffix : { u"-wal"_s, u"-shm"_s })
                QVERIFY(QFile::copy((log == u"own" ? m_ownLog : m_foreignLog) + suffix, db + suffix));
        if (database == u"missing")
            QVERIFY(QFile::remove(db));
        else if (database == u"empty")
            QVERIFY(QFile(db).resize(0));
        else if (database == u"truncated")
            QVERIFY(QFile(db).resize(QFileInfo(db).size() / 2 + 100));
        else if (database == u"wrong key")
            QVERIFY(QFile::remove(db) && QFile::copy(m_wrongKey, db));
        else if (database == u"read-only")
            QVERIFY(QFile::setPermissions(db, QFile::ReadOwner | QFile::ReadGroup));
        if (cpt)
            QVERIFY(QFile::copy(m_template, files.compaction));
        LockFile running(files.lock);
        if (lock == u"held")
            QVERIFY(running.Acquire() == LockFile::Result::Acquired && running.Record(opened));
        if (lock == u"stale") {
            QFile stale(files.lock);
            QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write(opened + '\n') > 0);
        }
        const QMap<QString, QByteArray> before = Files(l.AppFolder);

        ScriptedMessages messages;
        ProgramContext context(messages);
        context.SetLocations(l);
        context.today = [] { return Today; };
        QuietStart windows;
        LockFile own(files.lock);
        RunStartup(context, windows, own);
        const bool startedOpen = context.connection.IsOpen();
        context.connection.Close();
        own.Release();
        QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);

        const bool opens = lock != u"held" && (database == u"whole" || (database == u"missing" && cpt));
        if (opens) {
            QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.shown.join(u" / ")));
            QVERIFY(startedOpen);
            QCOMPARE(windows.calls, QStringList { u"login"_s }); // cancelled: no main window
            // A log is the database's own unless what its copy wrote down says otherwise; a
            // database put back from the compaction file gets no log.
            const bool replayed = database == u"whole" && log == u"own";
            QCOMPARE(Content(db), replayed ? m_expectedOwn : m_expected);
            QVERIFY(!QFile::exists(files.compaction));
            QCOMPARE(QFile::exists(LogFile(db) + u".foreign"_s), database == u"whole" && log == u"foreign");
            return;
        }
        QVERIFY(!startedOpen && windows.calls.isEmpty());
        QCOMPARE(messages.shown.last(), u"Application In-Use, Try Later"_s);
        // The file's fault is named first, unless another copy runs.
        QCOMPARE(messages.shown.size(), lock == u"held" ? 1 : 2);
        QVERIFY2(lock == u"held" || messages.shown.first().contains(db), qPrintable(messages.shown.first()));
        QMap<QString, QByteArray> expected = before;
        // The log of a file that is no longer the one its copy had open moves aside whole.
        const bool replaced = log == u"foreign" || database == u"empty" || database == u"truncated"
            || database == u"wrong key";
        if (lock == u"stale" && log != u"none" && database != u"missing" && replaced) {
            expected.insert(u"Kivo.Kvd-wal.foreign"_s, expected.take(u"Kivo.Kvd-wal"_s));
            expected.remove(u"Kivo.Kvd-shm"_s);
        }
        QCOMPARE(Files(l.AppFolder), expected);
    }

    // Faults outside the matrix: a folder in the database's place, a read-only folder, another
    // program with the database open and a write not yet in the file, a damaged page beside a
    // compaction file.
    void files_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        for (const auto& [fault, reason] :
            { std::pair { "folder", "is a folder" }, { "read-only folder", "folder of the database" },
                { "open elsewhere", "in use by another program" }, { "damaged page", "is damaged" } })
            QTest::newRow(fault) << QString::fromLatin1(fault) << QString::fromLatin1(reason);
    }

    void files()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        const Locations l = Folder();
        const QString db = l.DatabaseFile();
        if (fault == u"folder")
            QVERIFY(QFile::remove(db) && QDir().mkpath(db));
        else if (fault == u"read-only folder")
            QVERIFY(QFile::setPermissions(l.AppFolder, QFile::ReadOwner | QFile::ExeOwner));
        else if (fault == u"damaged page") {
            QFile file(db);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(file.size() / 1024 * 600)
                && file.write(QByteArray(1024, 'x')) == 1024);
            file.close();
            QVERIFY(QFile::copy(m_template, db + u".Cpt"_s));
        }
        Connection elsewhere;
        if (fault == u"open elsewhere") {
            elsewhere.Open(db, DatabasePassword());
            elsewhere.ExecuteRaw(u"PRAGMA wal_autocheckpoint = 0"_s);
            elsewhere.Execute(u"Delete From ktCustomer"_s);
        }
        const QMap<QString, QByteArray> before = Files(l.AppFolder);
        StartupMaintenance work(l, Today, DatabasePassword());
        Recorder progress;
        const bool ran = work.Run(progress);
        QFile::setPermissions(l.AppFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!ran);
        QVERIFY2(work.failure.contains(reason) && work.failure.contains(db), qPrintable(work.failure));
        QCOMPARE(Files(l.AppFolder), before);
    }

    // A data folder set up again where a killed copy's log is still lying beside a database
    // that was taken away: the new database must not receive the old log.
    void initOverLeftOverLog()
    {
        const Locations l = Folder();
        const QString db = l.DatabaseFile();
        LeaveLog(db, { u"Delete From ktProduct"_s, u"Update kaEnterprise Set EName='Old Shop'"_s });
        QVERIFY(QFile::remove(db));
        const kivo::test::Outcome init = kivo::test::Admin({ u"init"_s, l.AppFolder });
        QVERIFY2(init.exitCode == 0, qPrintable(init.err));
        const kivo::test::Outcome check = kivo::test::Admin({ u"check"_s, l.AppFolder });
        QVERIFY2(check.exitCode == 0, qPrintable(check.out + check.err));
        QVERIFY(Content(db).startsWith(u"products 0, bills 0, lines 0"_s));
    }

    // A copy killed at any point of the day's first start: the next start completes the work,
    // the database and the day's archive copy are whole, holding what they held, with the
    // deleted product's id still used up, and no compaction file is left; a later start the
    // same day changes no file.
    void killed_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("busy"); // kill at this busy call instead
        QTest::newRow("before the export") << "export" << -1;
        QTest::newRow("in the export") << "" << 9;
        QTest::newRow("export written") << "exported" << -1;
        QTest::newRow("before the rename") << "rename" << -1;
        QTest::newRow("before the archive copy") << "archive" << -1;
    }

    void killed()
    {
        QFETCH(QString, operation);
        QFETCH(int, busy);
        const Locations l = Folder();
        const int status = InChild([&] {
            StartupMaintenance work(l, Today, DatabasePassword());
            work.onOperation = [&](const QString& name) {
                if (name == operation)
                    ::raise(SIGKILL);
            };
            Recorder progress;
            progress.killAtBusy = busy;
            work.Run(progress);
        });
        QVERIFY2(WIFSIGNALED(status), "the work ended before the chosen point");

        StartupMaintenance next(l, Today, DatabasePassword());
        Recorder progress;
        QVERIFY2(next.Run(progress), qPrintable(next.failure));
        QCOMPARE(Content(l.DatabaseFile()), m_expected);
        QCOMPARE(next.files().archive, l.AppFolder + u"/Arc/Ki260304.Kvd"_s);
        QCOMPARE(Content(next.files().archive), m_expected);
        QVERIFY(!QFile::exists(next.files().compaction));
        const QByteArray before = Bytes(l.DatabaseFile());
        QVERIFY(StartupMaintenance(l, Today, DatabasePassword()).Run(progress));
        QCOMPARE(Bytes(l.DatabaseFile()), before);
    }
};

QTEST_GUILESS_MAIN(TestStartupMaintenance)
#include "tst_startupmaintenance.moc"
