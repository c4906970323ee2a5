#include "KvLogin.h"
#include "TestContext.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace kivo;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

class TestKvLogin : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_t = std::make_unique<TestContext>();
        m_login = std::make_unique<KvLogin>(m_t->context);
        m_login->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_login.get()));
        m_login->activateWindow();
        m_login->field(0)->setFocus();
    }

    void cleanup()
    {
        m_login.reset();
        m_t.reset();
    }

    void passwordIsMaskedAndFieldsHoldTen()
    {
        QLineEdit* password = m_login->field(1);
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QTest::keyClicks(m_login->field(0), u"abcdefghijklmn"_s);
        QCOMPARE(m_login->field(0)->text(), u"abcdefghij"_s);
    }

    void enterMovesFocusThenLogsIn()
    {
        QTest::keyClicks(m_login->field(0), u"chief"_s);
        QTest::keyClick(m_login->field(0), Qt::Key_Return);
        QVERIFY(m_login->field(1)->hasFocus());
        QTest::keyClicks(m_login->field(1), u"KIVO"_s);
        QSignalSpy accepted(m_login.get(), &QDialog::accepted);
        QTest::keyClick(m_login->field(1), Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(m_t->context.login.LoginName, u"chief"_s);
        QVERIFY(m_t->messages.shown.isEmpty());
    }

    void wrongPasswordEmptiesBothFields()
    {
        QTest::keyClicks(m_login->field(0), u"Chief"_s);
        QTest::keyClicks(m_login->field(1), u"nope"_s);
        QTest::mouseClick(m_login->findChild<QPushButton*>(u"cmdOk"_s), Qt::LeftButton);
        QCOMPARE(m_t->messages.shown, QStringList { u"Invalid Login/Password !"_s });
        QCOMPARE(m_login->field(0)->text(), QString());
        QCOMPARE(m_login->field(1)->text(), QString());
        QVERIFY(m_login->isVisible());
        QVERIFY(m_login->field(0)->hasFocus());
    }

    void escapeCancelsWithoutMessage()
    {
        QSignalSpy rejected(m_login.get(), &QDialog::rejected);
        QTest::keyClick(m_login->field(1), Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
        QCOMPARE(m_login->state().result, LoginState::Result::Cancelled);
        QVERIFY(m_t->messages.shown.isEmpty());
    }

private:
    std::unique_ptr<TestContext> m_t;
    std::unique_ptr<KvLogin> m_login;
};

QTEST_MAIN(TestKvLogin)
#include "tst_kvlogin.moc"
