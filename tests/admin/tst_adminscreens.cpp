// The administration windows on a real data folder, offscreen: the options' boxes and the
// access-code prompt as the user meets them.
#include "KvAccess.h"
#include "KvOption.h"
#include "Settings.h"
#include "TestContext.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kivo;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

class TestAdminScreens : public QObject {
    Q_OBJECT
private slots:
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

    // Typed blind, then Escape or "Close": one attempt per showing, whatever the answer.
    void accessPrompt_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("right code, Escape grants") << false;
        QTest::newRow("right code, then Close does not") << true;
    }
    void accessPrompt()
    {
        QFETCH(bool, close);
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
};

QTEST_MAIN(TestAdminScreens)
#include "tst_adminscreens.moc"
