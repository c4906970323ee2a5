// The administration windows on a real data folder, offscreen: the start-up screen's work and
// About box, the specifics filled in, the options' boxes, the closing screen's captions and the
// access-code prompt as the user meets it.
// With KIVO_SCREENSHOTS=DIR each window is saved there as a picture to look at.
#include "DatabasePassword.h"
#include "KvAccess.h"
#include "KvOption.h"
#include "KvSClosing.h"
#include "KvSpecific.h"
#include "KvStart.h"
#include "Settings.h"
#include "TestContext.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kivo;
using kivo::test::TempDatabase;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

namespace {

void Keep(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("KIVO_SCREENSHOTS");
    if (!folder.isEmpty())
        window.grab().save(folder + u'/' + name + u".png"_s);
}

} // namespace

class TestAdminScreens : public QObject {
    Q_OBJECT
private slots:
    // At start the screen works at once and closes; a later start the same day shows eight dots.
    void startScreen()
    {
        TestContext t(TempDatabase::Content::Demo);
        t.context.connection.Close();
        for (const int dots : { 20, 8 }) {
            StartupMaintenance work(t.context.locations, t.context.Today(), DatabasePassword());
            KvStart screen;
            QTimer::singleShot(0, &screen, [&] { Keep(screen, u"kvstart"_s); });
            QVERIFY2(screen.RunMaintenance(work), qPrintable(work.failure));
            QCOMPARE(screen.progressText(), QString(dots, u'.'));
            QCOMPARE(screen.stepText(), u"Loading.."_s);
            QVERIFY(!screen.isVisible());
        }
    }

    // The About box does no work, shows the short name, and Escape closes it.
    void aboutBox()
    {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<KvStart*>(QApplication::activeModalWidget());
            QVERIFY(about);
            shown = true;
            QCOMPARE(about->stepText(), u"Corner Shop"_s);
            QCOMPARE(about->progressText(), QString());
            Keep(*about, u"about"_s);
            QTest::keyClick(about, Qt::Key_Escape);
        });
        KvStart::ShowAbout(u"Corner Shop"_s, nullptr);
        QVERIFY(shown);
    }

    void specifics()
    {
        TestContext t(TempDatabase::Content::Demo);
        LoadCustomize(t.context);
        KvSpecific screen(t.context);
        screen.show();
        QTRY_COMPARE(
            screen.value(7), t.context.connection.Scalar(u"SELECT count(*) FROM ktPurcMast"_s).toString());
        QCOMPARE(screen.label(2), u"Product:"_s);
        QVERIFY(screen.value(1).endsWith(u" MB"_s));
        Keep(screen, u"specifics"_s);
    }

    // A click asks, and the box clears itself once the action is done.
    void options()
    {
        TestContext t;
        LoadCustomize(t.context);
        KvOption screen(t.context);
        screen.show();
        Keep(screen, u"options"_s);
        t.messages.Answer(true);
        screen.box(1)->click();
        QVERIFY(!screen.box(1)->isChecked());
        QCOMPARE(t.messages.shown, (QStringList { u"Confirm Operation ?"_s, u"Done !"_s }));
        t.messages.Answer(false);
        screen.box(0)->click();
        QVERIFY(screen.box(0)->isChecked());
    }

    // The notice comes once the screen shows; Cancel closes it and nothing ends.
    void closingScreen()
    {
        TestContext t;
        LoadCustomize(t.context);
        KvSClosing screen(t.context);
        screen.show();
        QTRY_COMPARE(t.messages.shown, QStringList { u"Access-Code Required !"_s });
        QCOMPARE(screen.findChild<QLabel*>(u"lblField(0)"_s)->text(), u"CLOSE DB:Ki-Mar2026-04.Kvd"_s);
        QVERIFY(!screen.findChild<QLabel*>(u"lblField(1)"_s)->isVisible());
        Keep(screen, u"closing"_s);
        QTest::mouseClick(screen.findChild<QPushButton*>(u"cmdCancel"_s), Qt::LeftButton);
        QVERIFY(!screen.isVisible());
        QVERIFY(!screen.endProgram());
    }

    // Type, then Enter, Escape or "Close": one attempt per showing, whatever the answer.
    void accessPrompt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("how"); // "enter", "escape" or "close"
        QTest::addColumn<bool>("granted");
        QTest::addColumn<QStringList>("messages");
        const QStringList invalid { u"[InvaliD]"_s };
        QTest::newRow("right code, Enter") << u"Kivo7"_s << u"enter"_s << true << QStringList();
        QTest::newRow("right code, Escape") << u"Kivo7"_s << u"escape"_s << true << QStringList();
        QTest::newRow("wrong letter case") << u"KIVO7"_s << u"enter"_s << false << invalid;
        QTest::newRow("right code, then Close") << u"Kivo7"_s << u"close"_s << false << QStringList();
    }

    void accessPrompt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, how);
        TestContext test;
        test.context.login.EnterpriseAccessCode = u"Kivo7"_s;
        KvAccess prompt(test.context);
        prompt.show();
        QVERIFY(QTest::qWaitForWindowExposed(&prompt));
        QLineEdit* field = prompt.field();
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        QTest::keyClicks(field, typed);
        if (how == u"enter")
            QTest::keyClick(field, Qt::Key_Return);
        else if (how == u"escape")
            QTest::keyClick(field, Qt::Key_Escape);
        else
            prompt.findChild<QPushButton*>(u"cmdClose"_s)->click();

        QTEST(prompt.state().granted, "granted");
        QTEST(test.messages.shown, "messages");
        // One attempt per showing: the prompt closes whatever the answer.
        QVERIFY(!prompt.isVisible());
    }
};

QTEST_MAIN(TestAdminScreens)
#include "tst_adminscreens.moc"
