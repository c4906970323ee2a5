// The start-up maintenance on real files: the steps of the day's first and later starts, the
// lock of one running copy, the file faults a shop's machine produces (left-over compaction
// file, empty, cut or foreign database, a folder in its place, read-only files, a log that is
// not the database's own) and a copy killed at each point of the work.
#include "Connection.h"
#include "DatabasePassword.h"
#include "LockFile.h"
#include "ProgramRun.h"
#include "StartupMaintenance.h"
#include "TempDatabase.h"

#include <csignal>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

using namespace kivo;
using kivo::test::TempDatabase;
using namespace Qt::StringLiterals;

namespace {

const QDate Today(2026, 3, 5);

// Records the steps and counts the dots; can stop the process dead at a chosen busy call.
class Recorder : public MaintenanceProgress {
public:
    void ShowStep(const QString& label) override { steps << label; }
    void AddDot() override { ++dots; }
    void Busy() override
    {
        if (++busy == killAtBusy)
            ::raise(SIGKILL);
    }
    QStringList steps;
    int dots = 0;
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

// Runs `body` in a child process that ends with it (the body kills it, or it exits; an
// exception ends it with status 3, never back into the test); returns the wait status.
template <typename Body> int InChild(Body&& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            body();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

} // namespace

class TestStartupMaintenance : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_work;
    QString m_template; // a demo shop's database
    QString m_other; // another database with the same key
    QString m_expected; // Content(m_template)
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
        TempDatabase other;
        other.connection().Close();
        m_other = m_work.filePath(u"other.Kvd"_s);
        QVERIFY(QFile::copy(other.file(), m_other));
        m_expected = Content(m_template);
        QVERIFY2(m_expected.startsWith(u"products "_s), qPrintable(m_expected));
    }

    // The day's first start runs every step and leaves the compacted database and its archive
    // copy, both whole, with the deleted product's id still used up; a later start the same day
    // only verifies and loads and changes no file.
    void firstAndLaterStart()
    {
        const Locations l = Folder();
        StartupMaintenance first(l, Today, DatabasePassword());
        Recorder progress;
        QVERIFY2(first.Run(progress), qPrintable(first.failure));
        QCOMPARE(progress.steps,
            (QStringList { u"Verify..."_s, u"Checks..."_s, u"Repair..."_s, u"Compact.."_s, u"Archive.."_s,
                u"Loading.."_s }));
        QCOMPARE(progress.dots, 20);
        QCOMPARE(first.files().archive, l.AppFolder + u"/Arc/Ki260304.Kvd"_s);
        QCOMPARE(Content(l.DatabaseFile()), m_expected);
        QCOMPARE(Content(first.files().archive), m_expected);
        QVERIFY(!QFile::exists(first.files().compaction));

        const QByteArray before = Bytes(l.DatabaseFile());
        StartupMaintenance later(l, Today, DatabasePassword());
        Recorder again;
        QVERIFY(later.Run(again));
        QCOMPARE(again.steps, (QStringList { u"Verify..."_s, u"Loading.."_s }));
        QCOMPARE(again.dots, 8);
        QCOMPARE(Bytes(l.DatabaseFile()), before);
    }

    // Files as a shop's machine leaves them. A fault ends the start ("Application In-Use, Try
    // Later") with a reason that names the file, and changes nothing; what can be repaired is.
    void files_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QString>("reason");
        QTest::newRow("compaction left, database gone") << "cpt only" << true << "";
        QTest::newRow("compaction left beside the database") << "cpt beside" << true << "";
        QTest::newRow("database missing") << "missing" << false << "was not found";
        QTest::newRow("database missing, a log left") << "missing with log" << false << "was not found";
        QTest::newRow("database empty") << "empty" << false << "is empty";
        QTest::newRow("database cut short") << "truncated" << false << "malformed";
        QTest::newRow("foreign file") << "foreign" << false << "damaged";
        QTest::newRow("compaction left beside a foreign file") << "cpt beside foreign" << false << "damaged";
        QTest::newRow("folder in its place") << "folder" << false << "is a folder";
        QTest::newRow("read-only database") << "read-only file" << false << "is read-only";
        QTest::newRow("read-only folder") << "read-only folder" << false << "folder of the database";
        QTest::newRow("another program has it open")
            << "open elsewhere" << false << "in use by another program";
    }

    void files()
    {
        QFETCH(QString, fault);
        QFETCH(bool, starts);
        QFETCH(QString, reason);
        const Locations l = Folder();
        const QString db = l.DatabaseFile();
        const QString cpt = db + u".Cpt"_s;
        if (fault == u"cpt only")
            QVERIFY(QFile::rename(db, cpt));
        else if (fault == u"cpt beside") {
            QFile half(cpt);
            QVERIFY(half.open(QIODevice::WriteOnly) && half.write("half a compaction") > 0);
        } else if (fault == u"missing")
            QVERIFY(QFile::remove(db));
        else if (fault == u"missing with log")
            QVERIFY(QFile::rename(db, LogFile(db)));
        else if (fault == u"empty")
            QVERIFY(QFile(db).resize(0));
        else if (fault == u"truncated")
            QVERIFY(QFile(db).resize(QFileInfo(db).size() / 2 + 100));
        else if (fault.endsWith(u"foreign")) {
            if (fault.startsWith(u"cpt")) {
                QFile half(cpt);
                QVERIFY(half.open(QIODevice::WriteOnly) && half.write("kept: it may be the only copy") > 0);
            }
            QFile f(db);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(8192, 'k'));
        } else if (fault == u"folder")
            QVERIFY(QFile::remove(db) && QDir().mkpath(db));
        else if (fault == u"read-only file")
            QVERIFY(QFile::setPermissions(db, QFile::ReadOwner | QFile::ReadGroup));
        else if (fault == u"read-only folder")
            QVERIFY(QFile::setPermissions(l.AppFolder, QFile::ReadOwner | QFile::ExeOwner));
        // Another program's connection with a write not yet in the file: it stays open while the
        // maintenance runs.
        Connection elsewhere;
        if (fault == u"open elsewhere") {
            elsewhere.Open(db, DatabasePassword());
            elsewhere.ExecuteRaw(u"PRAGMA wal_autocheckpoint = 0"_s);
            elsewhere.Execute(u"Delete From ktCustomer"_s);
        }
        const QStringList filesBefore
            = QDir(l.AppFolder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        const QByteArray before = Bytes(db);

        StartupMaintenance work(l, Today, DatabasePassword());
        Recorder progress;
        const bool ran = work.Run(progress);
        QFile::setPermissions(l.AppFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(ran == starts, qPrintable(work.failure));
        if (starts) {
            QCOMPARE(Content(db), m_expected);
            QVERIFY(!QFile::exists(cpt));
            return;
        }
        QVERIFY2(work.failure.contains(reason), qPrintable(work.failure));
        QVERIFY2(fault.startsWith(u"missing") || work.failure.contains(db), qPrintable(work.failure));
        // Nothing was made or changed: no log or index left to lock out the next open.
        QCOMPARE(QDir(l.AppFolder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot), filesBefore);
        QCOMPARE(Bytes(db), before);
        QVERIFY(!QFile::exists(l.ArchiveFolder));
        if (fault == u"read-only file") {
            QVERIFY(QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner));
            QCOMPARE(Content(db), m_expected);
        }
    }

    // A log left by a copy that was killed: replayed when it is the database's own (the rows it
    // holds are kept), set aside when the database file was replaced meanwhile (a backup copied
    // over it), which otherwise damages the backup for good.
    void leftOverLog_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("own log") << false;
        QTest::newRow("backup copied over the database") << true;
    }

    void leftOverLog()
    {
        QFETCH(bool, replaced);
        const Locations l = Folder();
        const QString db = l.DatabaseFile();
        // A copy opens the database, writes down its fingerprint, deletes rows and is killed:
        // its log and index are all that is left of its work.
        const QString record = db + u".record"_s;
        const int status = InChild([&] {
            Connection c;
            c.Open(db, DatabasePassword());
            c.ExecuteRaw(u"PRAGMA wal_autocheckpoint = 0"_s);
            QFile out(record);
            out.open(QIODevice::WriteOnly);
            out.write(FileFingerprint(db));
            out.close();
            c.Execute(u"Delete From ktBillDetl"_s);
            c.Execute(u"Delete From ktProduct"_s);
            ::raise(SIGKILL);
        });
        QVERIFY(WIFSIGNALED(status) && QFile::exists(LogFile(db)));
        const QByteArray recorded = Bytes(record);
        if (replaced) {
            QVERIFY(QFile::remove(db));
            QVERIFY(QFile::copy(m_other, db));
        }

        StartupMaintenance work(l, Today, DatabasePassword(), recorded);
        Recorder progress;
        QVERIFY2(work.Run(progress), qPrintable(work.failure));
        QCOMPARE(QFile::exists(LogFile(db) + u".foreign"_s), replaced);
        // The other database has no bills; the killed copy had removed every product.
        QVERIFY2(Content(db).startsWith(replaced ? u"products 0, bills 0,"_s : u"products 0, bills "_s),
            qPrintable(Content(db)));
        if (replaced)
            QCOMPARE(Content(db), Content(m_other));
        else
            QVERIFY(Content(db) != u"products 0, bills 0, lines 0, next product"_s);
    }

    // A data folder set up again where a killed copy's log is still lying beside a database
    // that was taken away: the new database must not receive the old log.
    void initOverLeftOverLog()
    {
        const Locations l = Folder();
        const QString db = l.DatabaseFile();
        const int status = InChild([&] {
            Connection c;
            c.Open(db, DatabasePassword());
            c.ExecuteRaw(u"PRAGMA wal_autocheckpoint = 0"_s);
            c.Execute(u"Delete From ktProduct"_s);
            c.Execute(u"Update kaEnterprise Set EName='Old Shop'"_s);
            ::raise(SIGKILL);
        });
        QVERIFY(WIFSIGNALED(status) && QFile::exists(LogFile(db)) && QFile::remove(db));
        const kivo::test::Outcome init = kivo::test::Admin({ u"init"_s, l.AppFolder });
        QVERIFY2(init.exitCode == 0, qPrintable(init.err));
        const kivo::test::Outcome check = kivo::test::Admin({ u"check"_s, l.AppFolder });
        QVERIFY2(check.exitCode == 0, qPrintable(check.out + check.err));
        QVERIFY(Content(db).startsWith(u"products 0, bills 0, lines 0"_s));
    }

    // One running copy: a second lock on the file is refused while the first holds it; a file
    // left by a copy that was killed is taken over with what that copy wrote down; a normal
    // end removes the file.
    void lockFile()
    {
        const QString path = m_work.filePath(u"lock/Kivo.Kvd.Ldb"_s);
        QDir().mkpath(QFileInfo(path).path());
        LockFile first(path);
        QCOMPARE(first.Acquire(), LockFile::Result::Acquired);
        QVERIFY(first.Record("fingerprint"));
        LockFile second(path);
        QCOMPARE(second.Acquire(), LockFile::Result::InUse);

        // A killed copy: the system dropped its lock, the file and its record stay.
        const int status = InChild([&] {
            LockFile dying(path + u".2"_s);
            dying.Acquire();
            dying.Record("left by a killed copy");
            ::raise(SIGKILL);
        });
        QVERIFY(WIFSIGNALED(status));
        LockFile next(path + u".2"_s);
        QCOMPARE(next.Acquire(), LockFile::Result::TakenOver);
        QCOMPARE(next.StaleRecord(), QByteArray("left by a killed copy"));

        first.Release();
        QVERIFY(!QFile::exists(path));
        QCOMPARE(second.Acquire(), LockFile::Result::Acquired);
    }

    // A copy killed at any point of the day's first start: the next start completes the work
    // and the database and its archive copy are whole, holding what they held.
    void killed_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("busy"); // kill at this busy call instead
        QTest::newRow("before the export") << "export" << -1;
        QTest::newRow("early in the export") << "" << 9;
        QTest::newRow("late in the export") << "" << 14;
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
        QCOMPARE(Content(next.files().archive), m_expected);
    }
};

QTEST_GUILESS_MAIN(TestStartupMaintenance)
#include "tst_startupmaintenance.moc"
