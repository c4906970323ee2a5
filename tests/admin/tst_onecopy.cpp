// The real program on one data folder, driven from outside as a user would: a second copy
// started while the first runs is turned away; the first is killed, and the next start takes
// over its lock, shows the About box and the specifics, closes the stock period and ends.
#include "ProgramRun.h"
#include "ScriptedProgram.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using kivo::test::Admin;
using kivo::test::ScriptedProgram;

namespace {

const char* const Login = "window Login\nfocus txtField(0)\ntype Chief\nkey Return\nfocus txtField(1)\n"
                          "type kivo\nkey Return\nwindow Kivo - Sales Software\n";

} // namespace

class TestOneCopy : public QObject {
    Q_OBJECT
private slots:
    void oneCopyKilledAndClosing()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = work.filePath(u"data"_s);
        QCOMPARE(Admin({ u"init"_s, data, u"--demo"_s }).exitCode, 0);
        const auto count = [&](const QString& table) {
            return Admin({ u"sql"_s, data, u"Select Count(*) From "_s + table }).out.section(u'\n', 1, 1);
        };
        const QString bills = count(u"ktBillMast"_s);
        QVERIFY(bills.toInt() > 0);

        ScriptedProgram first(work.path(), data, QByteArray(Login) + "checkpoint running\n", u"first"_s);
        QVERIFY(first.Reach(u"checkpoint running"_s));
        QDir folder(data);
        QVERIFY(folder.exists(u"Kivo.Kvd.Ldb"_s));
        QCOMPARE(QDir(data + u"/Arc"_s).entryList(QDir::Files).size(), 1);

        ScriptedProgram second(
            work.path(), data, "message Application In-Use, Try Later\nanswer OK\n", u"second"_s);
        QCOMPARE(second.Ended(), 0);
        QVERIFY2(second.Transcript().contains(u"driver: done"_s), qPrintable(second.Transcript()));
        QVERIFY2(!second.Transcript().contains(u"Login"_s), qPrintable(second.Transcript()));

        // Killed: the lock file stays behind, its lock gone with the copy.
        first.Kill();
        QVERIFY(folder.exists(u"Kivo.Kvd.Ldb"_s));

        ScriptedProgram third(work.path(), data,
            QByteArray(Login)
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
        QCOMPARE(count(u"ktBillMast"_s), u"0"_s);
        QCOMPARE(count(u"ktAccounting"_s), u"0"_s);
        const QStringList archives = QDir(data + u"/Arc"_s).entryList(QDir::Files);
        QCOMPARE(archives.size(), 1);
        QVERIFY2(archives[0].startsWith(u"Ki-"_s), qPrintable(archives[0]));
        QCOMPARE(Admin({ u"sql"_s, data + u"/Arc/"_s, u"Select Count(*) From ktBillMast"_s }).exitCode, 1);
        QCOMPARE(Admin({ u"check"_s, data }).out.section(u'\n', 0, 0), u"integrity: ok"_s);
    }
};

QTEST_GUILESS_MAIN(TestOneCopy)
#include "tst_onecopy.moc"
