#include "LoginState.h"
#include "SeedData.h"
#include "TestContext.h"

#include <QTest>

using namespace kivo;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

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

        const QStringList blank { u"Blank Login/Password !"_s };
        const QStringList invalid { u"Invalid Login/Password !"_s };
        QTest::newRow("blank login") << u""_s << u"kivo"_s << blank << false << false;
        QTest::newRow("unknown login") << u"nobody"_s << u"kivo"_s << invalid << false << true;
        QTest::newRow("wrong password") << u"Chief"_s << u"kiwi"_s << invalid << false << true;
        QTest::newRow("password in other case") << u"Chief"_s << u"KiVO"_s << QStringList() << true << false;
        QTest::newRow("trailing space searched as typed")
            << u"Chief "_s << u"kivo"_s << invalid << false << true;
        QTest::newRow("sql fragment in login") << u"' or ''='"_s << u"x"_s << invalid << false << true;
        QTest::newRow("sql fragment in password") << u"Chief"_s << u"' or ''='"_s << invalid << false << true;
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
        state.txtField[0] = u"cHIEF"_s;
        state.txtField[1] = u"KIVO"_s;
        state.Ok();
        QCOMPARE(state.result, LoginState::Result::LoggedIn);

        const LoginValues& v = t.context.login;
        QCOMPARE(v.LoginName, u"cHIEF"_s); // exactly as typed
        QCOMPARE(v.UserId, u"1"_s);
        QCOMPARE(v.UserMode, u"B"_s);
        QCOMPARE(v.EnterpriseShort, u"MyShop"_s);
        QCOMPARE(
            v.EnterpriseAddress, u"Shop address line 1 Address line 2 :: City State Country # 0000000000"_s);
        QCOMPARE(t.context.preferences.PDefBill, u"S"_s);
        QCOMPARE(t.context.ToolbarToggleCaption, u"+"_s);
    }

    void salesUserGetsTheirModeAndId()
    {
        TestContext t;
        InsertRow(t.context.connection, u"kaUser"_s,
            { 2, QDate(2026, 3, 1), u"anna"_s, u"Till1"_s, QString(), u"S"_s, u"Anna"_s, QString(), QString(),
                QString(), QString() });
        LoginState state(t.context);
        state.txtField[0] = u"Anna"_s;
        state.txtField[1] = u"till1"_s;
        state.Ok();
        QCOMPARE(state.result, LoginState::Result::LoggedIn);
        QCOMPARE(t.context.login.UserId, u"2"_s);
        QCOMPARE(t.context.login.UserMode, u"S"_s);
    }

    // Without a database the start-up has reported it already: the login refuses every
    // name without reporting the missing tables again.
    void noDatabaseRefusesWithoutReportingAgain()
    {
        TestContext t;
        t.context.connection.Close();
        LoginState state(t.context);
        state.txtField[0] = u"Chief"_s;
        state.txtField[1] = u"kivo"_s;
        state.Ok();
        QCOMPARE(t.messages.shown, QStringList { u"Invalid Login/Password !"_s });
        QCOMPARE(t.ErrorLogLines().size(), 0);
    }

    void properCase_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("upper") << u"CHIEF"_s << u"Chief"_s;
        QTest::newRow("mixed words") << u"aNNa maRIE"_s << u"Anna Marie"_s;
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
