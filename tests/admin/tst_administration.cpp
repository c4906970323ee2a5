// Administration on real data folders: the options screen's two actions, the database
// specifics, and the options' boxes and the access-code prompt as the user meets them,
// offscreen; period closing on the demo shop: the roll of the quantities, the documents
// removed, the questions and the access code in order, the archive renamed, and a copy killed
// in the middle of the work leaving the period either closed whole or open and whole; then the
// real program's one copy per data folder and its closing from the menu.
#include "AdminOptions.h"
#include "ChildProcess.h"
#include "DatabasePassword.h"
#include "KvAccess.h"
#include "KvOption.h"
#include "PeriodClosing.h"
#include "ProgramRun.h"
#include "ScriptedProgram.h"
#include "Settings.h"
#include "SpecificsState.h"
#include "StartupFiles.h"
#include "TestContext.h"

#include <algorithm>
#include <csignal>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

// The figures a closing changes, read by SQL: product quantity sums and dates, and the rows of
// every document table and of the customers.
const char* const Counted[] = { "ktBillMast", "ktBillDetl", "ktQuotMast", "ktQuotDetl", "ktPurcMast",
    "ktPurcDetl", "ktOrdrMast", "ktOrdrDetl", "ktAccounting", "ktCustomer" };

QString State(Connection& c)
{
    QString state = c.Scalar(u"SELECT printf('%d %d %d %d %s', sum(POpenQty), sum(PPurchQty), sum(PSaleQty), "
                             "sum(PCloseQty), max(PTranDate)) FROM ktProduct"_s)
                        .toString();
    for (const char* table : Counted)
        state += u' ' + c.Scalar(u"SELECT count(*) FROM "_s + QLatin1StringView(table)).toString();
    return state;
}

// The same figures as a closing on `today` must leave them: the closing quantities carried
// over, every document gone, the customers kept.
QString ClosedState(Connection& c, const QDate& today)
{
    return c.Scalar(u"SELECT printf('%d 0 0 %d ', sum(PCloseQty), sum(PCloseQty)) FROM ktProduct"_s)
               .toString()
        + today.toString(Qt::ISODate) + u" 0 0 0 0 0 0 0 0 0 "_s
        + c.Scalar(u"SELECT count(*) FROM ktCustomer"_s).toString();
}

} // namespace

class TestAdministration : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // On 20 March only the copies named for 7 to 13 March go; the last six days' copies, older
    // ones and other files in the archive folder stay.
    void clearOldBackupFiles()
    {
        TestContext t;
        t.context.today = [] { return QDate(2026, 3, 20); };
        QDir arc(t.context.locations.ArchiveFolder);
        QStringList kept { u"Ki-Feb2026-28.Kvd"_s, u"Ki250310.Kvd"_s }, made = kept;
        for (int day = 1; day <= 19; ++day) {
            made << u"Ki2603%1.Kvd"_s.arg(day, 2, 10, QChar(u'0'));
            if (day < 7 || day > 13)
                kept << made.last();
        }
        for (const QString& name : made)
            QVERIFY(QFile(arc.filePath(name)).open(QIODevice::WriteOnly));
        QVERIFY(QFile::setPermissions(arc.filePath(u"Ki260310.Kvd"_s), QFile::ReadOwner));

        AdminOptions options(t.context);
        t.messages.Answer(true);
        options.Click(AdminOptions::ClearBackups);
        QCOMPARE(t.messages.shown, (QStringList { u"Confirm Operation ?"_s, u"Done !"_s }));
        QVERIFY(!options.chkField[0]);
        kept.sort();
        QCOMPARE(arc.entryList(QDir::Files, QDir::Name), kept);
    }

    // No leaves the box ticked and does nothing; the next click only clears it. Yes empties the
    // error log into a Unicode file holding just its byte-order mark; a log that cannot be
    // recreated is reported, and the screen still says "Done !".
    void clearErrorListing()
    {
        TestContext t;
        const QString log = t.context.locations.ErrorLogFile;
        QFile old(log);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("2026-03-05,3043,Kivo,lost\n") > 0);
        old.close();
        AdminOptions options(t.context);
        t.messages.Answer(false);
        options.Click(AdminOptions::ClearErrors);
        QVERIFY(options.chkField[1]);
        options.Click(AdminOptions::ClearErrors);
        QVERIFY(!options.chkField[1]);
        QCOMPARE(QFileInfo(log).size(), old.size());

        t.messages.Answer(true);
        options.Click(AdminOptions::ClearErrors);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("\xFF\xFE", 2));

        QVERIFY(QDir(t.context.locations.DocFolder).removeRecursively());
        t.messages.Answer(true);
        options.Click(AdminOptions::ClearErrors);
        QCOMPARE(t.messages.shown,
            (QStringList { u"Confirm Operation ?"_s, u"Confirm Operation ?"_s, u"Done !"_s,
                u"Confirm Operation ?"_s, u"ErroR!"_s, u"Done !"_s }));
    }

    // Half up, below a hundredth, and large.
    void sizeText()
    {
        QCOMPARE(QStringList(
                     { DatabaseSizeText(1005000), DatabaseSizeText(4999), DatabaseSizeText(212345678901) }),
            QStringList({ u"1.01 MB"_s, u"0.00 MB"_s, u"212345.68 MB"_s }));
    }

    // The six counts, each read by SQL apart from the screen, and the file's size.
    void specifics()
    {
        TestContext t(kivo::test::TempDatabase::Content::Demo);
        SpecificsState state(t.context);
        int shown = 0;
        state.Calculate([&] { ++shown; });
        const QStringList tables { u"Product"_s, u"Coupon"_s, u"Customer"_s, u"Supplier"_s, u"BillMast"_s,
            u"PurcMast"_s };
        for (int i = 0; i < 6; ++i)
            QCOMPARE(state.txtField[i + 2],
                t.context.connection.Scalar(u"SELECT count(*) FROM kt"_s + tables[i]).toString());
        QCOMPARE(state.txtField[1], DatabaseSizeText(QFileInfo(t.context.locations.DatabaseFile()).size()));
        QCOMPARE(shown, 13);
    }

    // A click asks, and the box clears itself once the action is done.
    void options()
    {
        TestContext t;
        LoadCustomize(t.context);
        KvOption screen(t.context);
        screen.show();
        t.messages.Answer(true);
        screen.box(1)->click();
        QVERIFY(!screen.box(1)->isChecked());
        QCOMPARE(t.messages.shown, (QStringList { u"Confirm Operation ?"_s, u"Done !"_s }));
    }

    // Typed blind, then Escape or "Close": one attempt per showing, whatever the answer; the right
    // code and Escape grant, the right code and then Close does not.
    void accessPrompt()
    {
        for (const bool close : { false, true }) {
            TestContext test;
            test.context.login.EnterpriseAccessCode = u"Kivo7"_s;
            KvAccess prompt(test.context);
            prompt.show();
            QVERIFY(QTest::qWaitForWindowExposed(&prompt));
            QCOMPARE(prompt.field()->echoMode(), QLineEdit::Password);
            QTest::keyClicks(prompt.field(), u"Kivo7"_s);
            if (close)
                prompt.findChild<QPushButton*>(u"cmdClose"_s)->click();
            else
                QTest::keyClick(prompt.field(), Qt::Key_Escape);
            QCOMPARE(prompt.state().granted, !close);
            QCOMPARE(test.messages.shown, QStringList());
            QVERIFY(!prompt.isVisible());
        }
    }

    // The whole closing on the demo shop, answered Yes throughout. Without the day's archive
    // copy the closing is still complete; the missing copy is reported and no closing file is
    // made, so the closing can run again the same day.
    void closing_data()
    {
        QTest::addColumn<bool>("archived");
        QTest::newRow("the day's copy there") << true;
        QTest::newRow("no copy made today") << false;
    }

    void closing()
    {
        QFETCH(bool, archived);
        TestContext t(TempDatabase::Content::Demo);
        Connection& c = t.context.connection;
        c.Execute(u"Update ktProduct Set POpenQty=10, PPurchQty=5, PSaleQty=3, PCloseQty=12 Where EId=1"_s);
        const QString expected = ClosedState(c, t.context.Today());
        const QString archive = TodaysArchiveFile(t.context.locations, t.context.Today());
        if (archived)
            QVERIFY(QFile(archive).open(QIODevice::WriteOnly));

        PeriodClosing closing(t.context);
        QCOMPARE(closing.lblField[0], u"CLOSE DB:Ki-Mar2026-04.Kvd"_s);
        closing.Opened();
        for (int i = 0; i < 3; ++i)
            t.messages.Answer(true);
        closing.Ok([] { return true; });
        QStringList messages { u"Access-Code Required !"_s, u"All Users Logged Out ?"_s,
            u"Confirm Closing ?"_s, u"Are You Sure ?"_s, u"Closing Done !"_s,
            u"Shutting Down...\nDB Refresh Required !"_s };
        if (!archived)
            messages.insert(5, u"ErroR!"_s);
        QCOMPARE(t.messages.shown, messages);
        QCOMPARE(t.ErrorLogLines().size(), archived ? 0 : 1);
        QVERIFY(closing.endProgram);
        QCOMPARE(State(c), expected);
        QCOMPARE(c.Scalar(u"SELECT POpenQty || ' ' || PPurchQty || ' ' || PSaleQty || ' ' || PCloseQty "
                          "FROM ktProduct WHERE EId=1"_s)
                     .toString(),
            u"12 0 0 12"_s);
        // The engine's settings for the closing are put back: the column rules hold again.
        QCOMPARE(c.Scalar(u"PRAGMA secure_delete"_s).toInt(), 1);
        QVERIFY_THROWS_EXCEPTION(DbError, c.Execute(u"Update ktProduct Set POpenQty='many' Where EId=1"_s));
        // The day's copy became the closed period's archive.
        QVERIFY(!QFile::exists(archive));
        QCOMPARE(QFile::exists(closing.ClosingFile()), archived);
        if (!archived)
            return;
        QCOMPARE(closing.ClosingFile(), t.context.locations.ArchiveFolder + u"Ki-Mar2026-04.Kvd"_s);

        // Once a day: the second closing stops at once.
        PeriodClosing again(t.context);
        t.messages.shown.clear();
        again.Ok([] { return true; });
        QCOMPARE(t.messages.shown, QStringList { u"Closing Already Done !"_s });
        QVERIFY(!again.endProgram);
    }

    // No to any question, or no access, changes nothing; the screen can be used again.
    void declined_data()
    {
        QTest::addColumn<int>("yes"); // questions answered Yes before the No
        QTest::addColumn<bool>("access");
        QTest::newRow("users still logged in") << 0 << true;
        QTest::newRow("closing not confirmed") << 1 << true;
        QTest::newRow("wrong access code") << 2 << false;
        QTest::newRow("not sure") << 2 << true;
    }

    void declined()
    {
        QFETCH(int, yes);
        QFETCH(bool, access);
        TestContext t(TempDatabase::Content::Demo);
        const QString before = State(t.context.connection);
        const QString archive = TodaysArchiveFile(t.context.locations, t.context.Today());
        QVERIFY(QFile(archive).open(QIODevice::WriteOnly));
        PeriodClosing closing(t.context);
        for (int i = 0; i < yes; ++i)
            t.messages.Answer(true);
        if (access)
            t.messages.Answer(false);
        bool asked = false;
        closing.Ok([&] {
            asked = true;
            return access;
        });
        QCOMPARE(asked, yes == 2);
        QCOMPARE(State(t.context.connection), before);
        QVERIFY(!closing.endProgram && !closing.progressVisible && QFile::exists(archive)
            && !QFile::exists(closing.ClosingFile()));
    }

    // A copy killed inside the roll (at a share of the closing's engine steps, counted on a
    // whole closing of the same shop), between its last two statements (as a progress text
    // shows), or at the very last step, past the commit: open and whole before the commit,
    // closed whole after.
    void killed_data()
    {
        QTest::addColumn<double>("share");
        QTest::addColumn<QString>("text"); // kill as this progress text shows instead
        QTest::newRow("halfway through the roll") << 0.4 << QString();
        QTest::newRow("all but the accounting deleted") << 0.0 << u"Processing Accounting.."_s;
        QTest::newRow("last step") << 1.0 << QString();
    }

    void killed()
    {
        QFETCH(double, share);
        QFETCH(QString, text);
        if (m_steps == 0) {
            TestContext counting(TempDatabase::Content::Demo);
            sqlite3_progress_handler(
                counting.context.connection.Handle(), 1,
                [](void* steps) {
                    ++*static_cast<int*>(steps);
                    return 0;
                },
                &m_steps);
            CloseStockPeriod(counting.context.connection, TempDatabase::FixedToday(), [](const QString&) {});
        }
        TestContext t(TempDatabase::Content::Demo);
        Connection& c = t.context.connection;
        const QString open = State(c);
        const QString closed = ClosedState(c, t.context.Today());
        const QString file = t.context.locations.DatabaseFile();
        c.Close();
        // Every engine step of every statement counts.
        static int killAt;
        killAt = text.isEmpty() ? std::max(1, int(share * m_steps)) : -1;
        const int status = InChild([&] {
            Connection own;
            own.Open(file, DatabasePassword());
            own.ExecuteRaw(u"PRAGMA wal_autocheckpoint = 0"_s);
            sqlite3_progress_handler(
                own.Handle(), 1, [](void*) { return --killAt == 0 ? ::raise(SIGKILL) : 0; }, nullptr);
            CloseStockPeriod(own, TempDatabase::FixedToday(), [&](const QString& shown) {
                if (shown == text)
                    ::raise(SIGKILL);
            });
        });
        c.Open(file, DatabasePassword());
        QCOMPARE(c.Scalar(u"PRAGMA integrity_check"_s).toString(), u"ok"_s);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(State(c), share < 1 ? open : closed);
    }

    // The real program on one data folder: a second copy started while the first runs is turned
    // away; the first is killed, and the next start takes over its lock, shows the About box and
    // the specifics, closes the stock period and ends.
    void oneCopyKilledAndClosing()
    {
        QTemporaryDir work;
        const QString data = work.filePath(u"data"_s);
        QCOMPARE(Admin({ u"init"_s, data, u"--demo"_s }).exitCode, 0);
        QVERIFY(AdminRows(data, u"Select Count(*) From ktBillMast"_s).toInt() > 0);
        const QByteArray login = ScriptedProgram::Login(u"Chief"_s, u"kivo"_s);
        ScriptedProgram first(work.path(), data, login + "checkpoint running\n", u"first"_s);
        QVERIFY(first.Reach(u"checkpoint running"_s));
        QDir folder(data);
        QVERIFY(folder.exists(u"Kivo.Kvd.Ldb"_s));
        QCOMPARE(QDir(data + u"/Arc"_s).entryList(QDir::Files).size(), 1);

        ScriptedProgram second(
            work.path(), data, "message Application In-Use, Try Later\nanswer OK\n", u"second"_s);
        QCOMPARE(second.Ended(), 0);
        QVERIFY2(second.Transcript().contains(u"driver: done"_s) && !second.Transcript().contains(u"Login"_s),
            qPrintable(second.Transcript()));

        // Killed: the lock file stays behind, its lock gone with the copy.
        first.Kill();
        QVERIFY(folder.exists(u"Kivo.Kvd.Ldb"_s));

        ScriptedProgram third(work.path(), data,
            login
                + "menu Help/About\nwindow About\nkey Escape\nclosed About\n"
                  "menu Help/Specifics\nwindow Specifics\nanswer Close\nclosed Specifics\n"
                  "menu Utility/Stock Closing\nmessage Access-Code Required !\nanswer OK\n"
                  "window Stock Closing\nanswer OK\n"
                  "message All Users Logged Out ?\nanswer Yes\nmessage Confirm Closing ?\nanswer Yes\n"
                  "window Access Code...\ntype KIVO\nkey Return\nmessage Are You Sure ?\nanswer Yes\n"
                  "message Closing Done !\nanswer OK\nanswer OK\n",
            u"third"_s);
        QCOMPARE(third.Ended(), 0);
        QVERIFY2(third.Transcript().contains(u"driver: done"_s), qPrintable(third.Transcript()));

        // Ended normally: no lock file and no log left; the period is closed and the day's copy
        // became its archive.
        QCOMPARE(folder.entryList({ u"Kivo.Kvd*"_s }, QDir::Files), QStringList { u"Kivo.Kvd"_s });
        QCOMPARE(AdminRows(data, u"Select Count(*) From ktBillMast"_s), u"0"_s);
        const QStringList archives = QDir(data + u"/Arc"_s).entryList(QDir::Files);
        QVERIFY2(archives.size() == 1 && archives[0].startsWith(u"Ki-"_s), qPrintable(archives.join(u' ')));
        QCOMPARE(Admin({ u"check"_s, data }).out.section(u'\n', 0, 0), u"integrity: ok"_s);
    }

private:
    static inline int m_steps = 0; // engine steps of a whole closing of the demo shop
};

QTEST_MAIN(TestAdministration)
#include "tst_administration.moc"
