#include "LoginState.h"
#include "SeedData.h"
#include "TestContext.h"

#include <QTest>

using namespace kivo;
using kivo::test::TestContext;

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void check_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<bool>("fieldsEmptied");

        const QStringList blank { QStringLiteral("Blank Login/Password !") };
        const QStringList invalid { QStringLiteral("Invalid Login/Password !") };
        QTest::newRow("blank login") << QStringLiteral("") << QStringLiteral("kivo") << blank << false
                                     << false;
        QTest::newRow("blank password")
            << QStringLiteral("Chief") << QStringLiteral("") << blank << false << false;
        QTest::newRow("unknown login")
            << QStringLiteral("nobody") << QStringLiteral("kivo") << invalid << false << true;
        QTest::newRow("wrong password")
            << QStringLiteral("Chief") << QStringLiteral("kiwi") << invalid << false << true;
        QTest::newRow("password in other case")
            << QStringLiteral("Chief") << QStringLiteral("KiVO") << QStringList() << true << false;
        QTest::newRow("login in other case")
            << QStringLiteral("CHIEF") << QStringLiteral("kivo") << QStringList() << true << false;
        QTest::newRow("trailing space searched as typed")
            << QStringLiteral("Chief ") << QStringLiteral("kivo") << invalid << false << true;
        QTest::newRow("sql fragment in login")
            << QStringLiteral("' or ''='") << QStringLiteral("x") << invalid << false << true;
        QTest::newRow("sql fragment in password")
            << QStringLiteral("Chief") << QStringLiteral("' or ''='") << invalid << false << true;
    }

    void check()
    {
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QStringList, shown);
        QFETCH(bool, loggedIn);
        QFETCH(bool, fieldsEmptied);

        TestContext t;
        LoginState state(t.context);
        state.txtField[0] = login;
        state.txtField[1] = password;
        state.focus = LoginState::PasswordField;
        state.Ok();

        QCOMPARE(t.messages.shown, shown);
        QCOMPARE(state.result, loggedIn ? LoginState::Result::LoggedIn : LoginState::Result::Open);
        if (fieldsEmptied) {
            QCOMPARE(state.txtField[0], QString());
            QCOMPARE(state.txtField[1], QString());
            QCOMPARE(state.focus, LoginState::LoginField);
        } else if (!loggedIn) {
            QCOMPARE(state.txtField[0], login);
            QCOMPARE(state.txtField[1], password);
        }
        QVERIFY(t.ErrorLogLines().isEmpty());
    }

    void successFillsLoginValuesAndLoadsSettings()
    {
        TestContext t;
        LoginState state(t.context);
        state.txtField[0] = QStringLiteral("cHIEF");
        state.txtField[1] = QStringLiteral("KIVO");
        state.Ok();
        QCOMPARE(state.result, LoginState::Result::LoggedIn);

        const LoginValues& v = t.context.login;
        QCOMPARE(v.LoginName, QStringLiteral("cHIEF")); // exactly as typed
        QCOMPARE(v.UserId, QStringLiteral("1"));
        QCOMPARE(v.UserMode, QStringLiteral("B"));
        QCOMPARE(v.EnterpriseShort, QStringLiteral("MyShop"));
        QCOMPARE(v.EnterpriseAddress,
            QStringLiteral("Shop address line 1 Address line 2 :: City State Country # 0000000000"));
        QCOMPARE(t.context.preferences.PDefBill, QStringLiteral("S"));
        QCOMPARE(t.context.ToolbarToggleCaption, QStringLiteral("+"));
    }

    void salesUserGetsTheirModeAndId()
    {
        TestContext t;
        InsertRow(t.context.connection, QStringLiteral("kaUser"),
            { 2, QDate(2026, 3, 1), QStringLiteral("anna"), QStringLiteral("Till1"), QString(),
                QStringLiteral("S"), QStringLiteral("Anna"), QString(), QString(), QString(), QString() });
        LoginState state(t.context);
        state.txtField[0] = QStringLiteral("Anna");
        state.txtField[1] = QStringLiteral("till1");
        state.Ok();
        QCOMPARE(state.result, LoginState::Result::LoggedIn);
        QCOMPARE(t.context.login.UserId, QStringLiteral("2"));
        QCOMPARE(t.context.login.UserMode, QStringLiteral("S"));
    }

    void enterMovesOnThenChecks()
    {
        TestContext t;
        LoginState state(t.context);
        state.PressEnter(LoginState::LoginField);
        QCOMPARE(state.focus, LoginState::PasswordField);
        QVERIFY(t.messages.shown.isEmpty());
        state.PressEnter(LoginState::PasswordField);
        QCOMPARE(t.messages.shown, QStringList { QStringLiteral("Blank Login/Password !") });
    }

    void retriesAreUnlimited()
    {
        TestContext t;
        LoginState state(t.context);
        for (int i = 0; i < 5; ++i) {
            state.txtField[0] = QStringLiteral("Chief");
            state.txtField[1] = QStringLiteral("wrong");
            state.Ok();
        }
        state.txtField[0] = QStringLiteral("Chief");
        state.txtField[1] = QStringLiteral("kivo");
        state.Ok();
        QCOMPARE(state.result, LoginState::Result::LoggedIn);
        QCOMPARE(t.messages.shown.size(), 5);
    }

    // Without a database the start-up has reported it already: the login refuses every
    // name without reporting the missing tables again.
    void noDatabaseRefusesWithoutReportingAgain()
    {
        TestContext t;
        t.context.connection.Close();
        LoginState state(t.context);
        state.txtField[0] = QStringLiteral("Chief");
        state.txtField[1] = QStringLiteral("kivo");
        state.Ok();
        QCOMPARE(t.messages.shown, QStringList { QStringLiteral("Invalid Login/Password !") });
        QCOMPARE(t.ErrorLogLines().size(), 0);
    }

    void properCase_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("upper") << QStringLiteral("CHIEF") << QStringLiteral("Chief");
        QTest::newRow("mixed words") << QStringLiteral("aNNa maRIE") << QStringLiteral("Anna Marie");
        QTest::newRow("empty") << QStringLiteral("") << QStringLiteral("");
    }

    void properCase()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(ProperCase(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestLogin)
#include "tst_login.moc"
