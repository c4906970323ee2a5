// The access-code prompt as the user meets it: type, then Enter, Escape or "Close".
#include "KvAccess.h"
#include "TestContext.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class KvAccessTest : public QObject {
    Q_OBJECT
private slots:
    void answer_data()
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

    void answer()
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

QTEST_MAIN(KvAccessTest)
#include "tst_kvaccess.moc"
