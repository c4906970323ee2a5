// The options screen's two actions and the database specifics on a real data folder, and
// the options' boxes and the access-code prompt as the user meets them, offscreen.
#include "AdminOptions.h"
#include "KvAccess.h"
#include "KvOption.h"
#include "Settings.h"
#include "SpecificsState.h"
#include "TestContext.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kivo;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

class TestAdminOptions : public QObject {
    Q_OBJECT
private slots:
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
};

QTEST_MAIN(TestAdminOptions)
#include "tst_adminoptions.moc"
