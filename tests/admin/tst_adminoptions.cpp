// The options screen's two actions and the database specifics, on a real data folder.
#include "AdminOptions.h"
#include "PasswordHash.h"
#include "ProgramRun.h"
#include "SpecificsState.h"
#include "TestContext.h"

#include <QDir>
#include <QFile>
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
        QStringList made;
        for (int day = 1; day <= 19; ++day)
            made << u"Ki2603%1.Kvd"_s.arg(day, 2, 10, QChar(u'0'));
        made << u"Ki-Feb2026-28.Kvd"_s << u"Ki250310.Kvd"_s;
        for (const QString& name : std::as_const(made))
            QVERIFY(QFile(arc.filePath(name)).open(QIODevice::WriteOnly));
        QVERIFY(QFile::setPermissions(arc.filePath(u"Ki260310.Kvd"_s), QFile::ReadOwner));

        AdminOptions options(t.context);
        t.messages.Answer(true);
        options.Click(AdminOptions::ClearBackups);
        QCOMPARE(t.messages.shown, (QStringList { u"Confirm Operation ?"_s, u"Done !"_s }));
        QVERIFY(!options.chkField[0]);
        QStringList kept = made;
        for (int day = 7; day <= 13; ++day)
            kept.removeOne(u"Ki2603%1.Kvd"_s.arg(day, 2, 10, QChar(u'0')));
        kept.sort();
        QCOMPARE(arc.entryList(QDir::Files, QDir::Name), kept);
    }

    // No leaves the box ticked and does nothing; the next click only clears it. Yes empties the
    // error log into a Unicode file holding just its byte-order mark.
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
        QCOMPARE(t.messages.shown, QStringList { u"Confirm Operation ?"_s });
        QCOMPARE(QFileInfo(log).size(), old.size());

        t.messages.Answer(true);
        options.Click(AdminOptions::ClearErrors);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("\xFF\xFE", 2));
        QCOMPARE(t.messages.shown.last(), u"Done !"_s);
    }

    // A log that cannot be recreated is reported; the screen still says "Done !" and goes on.
    void errorListingNotWritable()
    {
        TestContext t;
        QVERIFY(QDir(t.context.locations.DocFolder).removeRecursively());
        AdminOptions options(t.context);
        t.messages.Answer(true);
        options.Click(AdminOptions::ClearErrors);
        QCOMPARE(t.messages.shown, (QStringList { u"Confirm Operation ?"_s, u"ErroR!"_s, u"Done !"_s }));
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("decimal megabytes") << qint64(5242880) << "5.24 MB";
        QTest::newRow("rounds half up") << qint64(1005000) << "1.01 MB";
        QTest::newRow("below a hundredth") << qint64(4999) << "0.00 MB";
        QTest::newRow("no file") << qint64(0) << "0.00 MB";
        QTest::newRow("large") << qint64(212345678901) << "212345.68 MB";
    }

    void sizeText()
    {
        QFETCH(qint64, bytes);
        QTEST(DatabaseSizeText(bytes), "text");
    }

    // The six labels and counts, each count read by SQL apart from the screen.
    void specifics()
    {
        TestContext t(kivo::test::TempDatabase::Content::Demo);
        SpecificsState state(t.context);
        int shown = 0;
        state.Calculate([&] { ++shown; });
        QCOMPARE(state.lblField[0], u"Product:"_s);
        QCOMPARE(state.lblField[5], u"PurcMast:"_s);
        const QStringList tables
            = { u"Product"_s, u"Coupon"_s, u"Customer"_s, u"Supplier"_s, u"BillMast"_s, u"PurcMast"_s };
        for (int i = 0; i < 6; ++i)
            QCOMPARE(state.txtField[i + 2],
                t.context.connection.Scalar(u"SELECT count(*) FROM kt"_s + tables[i]).toString());
        const qint64 bytes = QFileInfo(t.context.locations.DatabaseFile()).size();
        QCOMPARE(state.txtField[1], u"%1 MB"_s.arg(QString::number(bytes / 1e6, 'f', 2)));
        QCOMPARE(shown, 13);
    }

    // kivo-admin's way back for a shop that forgot its password or access code.
    void password_data()
    {
        QTest::addColumn<QString>("who");
        QTest::addColumn<QString>("secret");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("stored"); // what the stored hash now takes; empty: nothing changed
        QTest::newRow("login in another letter case") << "CHIEF"
                                                      << "n3wPass" << 0 << "n3wPass";
        QTest::newRow("access code keeps its case") << "--access-code"
                                                    << "Open-Up" << 0 << "Open-Up";
        QTest::newRow("no such login") << "nobody"
                                       << "x" << 1 << "";
        QTest::newRow("longer than the field") << "Chief"
                                               << "elevenchars" << 2 << "";
    }

    void password()
    {
        QFETCH(QString, who);
        QFETCH(QString, secret);
        QFETCH(QString, stored);
        TestContext t;
        t.context.connection.Close();
        t.database.connection().Close();
        const QString folder = t.context.locations.AppFolder;
        const QString read = who == u"--access-code" ? u"Select EPasscd From kaEnterprise"_s
                                                     : u"Select UPasscd From kaUser Where ULogin='Chief'"_s;
        const auto value = [&] {
            return kivo::test::Admin({ u"sql"_s, folder, read }).out.section(u'\n', 1, 1);
        };
        const QString before = value();
        const kivo::test::Outcome run = kivo::test::Admin({ u"password"_s, folder, who, secret });
        QTEST(run.exitCode, "status");
        if (stored.isEmpty())
            QCOMPARE(value(), before);
        else
            QVERIFY(PasswordHash::Matches(stored, value(),
                who == u"--access-code" ? PasswordHash::LetterCase::Keep : PasswordHash::LetterCase::Ignore));
    }
};

QTEST_GUILESS_MAIN(TestAdminOptions)
#include "tst_adminoptions.moc"
