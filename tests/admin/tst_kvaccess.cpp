// The access-code prompt as the user meets it: type, then Enter, Escape or "Close".
#include "KvAccess.h"
#include "TestContext.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

using namespace kivo;
using namespace kivo::test;

class KvAccessTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void answer_data();
    void answer();
    void maskedField();

private:
    std::unique_ptr<TestContext> m_test;
};

void KvAccessTest::init()
{
    m_test = std::make_unique<TestContext>();
    m_test->context.login.EnterpriseAccessCode = QStringLiteral("Kivo7");
}

void KvAccessTest::cleanup()
{
    m_test.reset();
}

void KvAccessTest::answer_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how"); // "enter", "escape" or "close"
    QTest::addColumn<bool>("granted");
    QTest::addColumn<QStringList>("messages");

    const QStringList none;
    const QStringList invalid { QStringLiteral("[InvaliD]") };
    QTest::newRow("right code, Enter") << QStringLiteral("Kivo7") << QStringLiteral("enter") << true << none;
    QTest::newRow("right code, Escape")
        << QStringLiteral("Kivo7") << QStringLiteral("escape") << true << none;
    QTest::newRow("wrong letter case")
        << QStringLiteral("KIVO7") << QStringLiteral("enter") << false << invalid;
    QTest::newRow("nothing typed") << QStringLiteral("") << QStringLiteral("enter") << false << invalid;
    QTest::newRow("trailing blank") << QStringLiteral("Kivo7 ") << QStringLiteral("enter") << false
                                    << invalid;
    QTest::newRow("right code, then Close")
        << QStringLiteral("Kivo7") << QStringLiteral("close") << false << none;
}

void KvAccessTest::answer()
{
    QFETCH(QString, typed);
    QFETCH(QString, how);
    KvAccess prompt(m_test->context);
    prompt.show();
    QVERIFY(QTest::qWaitForWindowExposed(&prompt));
    QCOMPARE(prompt.windowTitle(), QStringLiteral("Access Code..."));
    QTest::keyClicks(prompt.field(), typed);
    if (how == u"enter")
        QTest::keyClick(prompt.field(), Qt::Key_Return);
    else if (how == u"escape")
        QTest::keyClick(prompt.field(), Qt::Key_Escape);
    else
        prompt.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();

    QTEST(prompt.state().granted, "granted");
    QTEST(m_test->messages.shown, "messages");
    // One attempt per showing: the prompt closes whatever the answer.
    QVERIFY(!prompt.isVisible());
}

void KvAccessTest::maskedField()
{
    KvAccess prompt(m_test->context);
    QLineEdit* field = prompt.field();
    QCOMPARE(field->echoMode(), QLineEdit::Password);
    QCOMPARE(field->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, field), int(u'x'));
    QCOMPARE(field->maxLength(), 10);
    QCOMPARE(field->accessibleDescription(), QStringLiteral("txtField"));
}

QTEST_MAIN(KvAccessTest)
#include "tst_kvaccess.moc"
