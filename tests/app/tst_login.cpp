// The login: the check behind OK, what a login loads (the enterprise, the preferences and the
// look settings, a bad one reported once), and the window's own part. The real program logs in
// through the window with Enter in the end-to-end run.
#include "Appearance.h"
#include "KvLogin.h"
#include "LoginState.h"
#include "SeedData.h"
#include "Settings.h"
#include "TestContext.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace kivo;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

class TestLogin : public QObject {
    Q_OBJECT

private slots:
    // The shop's Chief (password kivo, every right) and a sales user Anna (password Till1).
    void check_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("mode"); // the user's mode once logged in; empty: refused
        QTest::addColumn<bool>("fieldsEmptied");

        const QStringList blank { u"Blank Login/Password !"_s };
        const QStringList invalid { u"Invalid Login/Password !"_s };
        QTest::newRow("blank login") << u""_s << u"kivo"_s << blank << QString() << false;
        QTest::newRow("wrong password") << u"Chief"_s << u"kiwi"_s << invalid << QString() << true;
        QTest::newRow("password in other case")
            << u"Chief"_s << u"KiVO"_s << QStringList() << u"B"_s << false;
        QTest::newRow("sales user") << u"Anna"_s << u"till1"_s << QStringList() << u"S"_s << false;
        QTest::newRow("trailing space searched as typed")
            << u"Chief "_s << u"kivo"_s << invalid << QString() << true;
        QTest::newRow("sql fragment in login") << u"' or ''='"_s << u"x"_s << invalid << QString() << true;
        QTest::newRow("sql fragment in password")
            << u"Chief"_s << u"' or ''='"_s << invalid << QString() << true;
    }

    void check()
    {
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, mode);
        QFETCH(bool, fieldsEmptied);

        TestContext t;
        InsertRow(t.context.connection, u"kaUser"_s,
            { 2, QDate(2026, 3, 1), u"anna"_s, u"Till1"_s, QString(), u"S"_s, u"Anna"_s, QString(), QString(),
                QString(), QString() });
        LoginState state(t.context);
        state.txtField[0] = login;
        state.txtField[1] = password;
        state.focus = LoginState::PasswordField;
        state.Ok();

        QTEST(t.messages.shown, "shown");
        QCOMPARE(state.result, mode.isEmpty() ? LoginState::Result::Open : LoginState::Result::LoggedIn);
        QCOMPARE(t.context.login.UserMode, mode);
        if (fieldsEmptied) {
            QCOMPARE(state.txtField[0], QString());
            QCOMPARE(state.txtField[1], QString());
            QCOMPARE(state.focus, LoginState::LoginField);
        } else if (mode.isEmpty()) {
            QCOMPARE(state.txtField[0], login);
            QCOMPARE(state.txtField[1], password);
        }
        QVERIFY(t.ErrorLogLines().isEmpty());
    }

    // Only a capital Y in the look settings shows the toolbar.
    void successFillsLoginValuesAndLoadsSettings()
    {
        TestContext t;
        t.context.connection.Execute(u"Update kaCustomize Set CToolShow='y'"_s);
        LoginState state(t.context);
        state.txtField[0] = u"cHIEF"_s;
        state.txtField[1] = u"KIVO"_s;
        state.Ok();
        QCOMPARE(state.result, LoginState::Result::LoggedIn);

        const LoginValues& v = t.context.login;
        QCOMPARE(v.LoginName, u"cHIEF"_s); // exactly as typed
        QCOMPARE(v.UserId, u"1"_s);
        QCOMPARE(v.EnterpriseShort, u"MyShop"_s);
        QCOMPARE(
            v.EnterpriseAddress, u"Shop address line 1 Address line 2 :: City State Country # 0000000000"_s);
        QCOMPARE(t.context.preferences.PDefBill, u"S"_s);
        QCOMPARE(t.context.ToolbarToggleCaption, u"-"_s);
    }

    // The bad text colour is reported once, not once per control that takes it; the font and
    // the ground colour still reach a screen's captioned field.
    void badColourIsReportedAndTheRestStillApplied()
    {
        TestContext t;
        Customization& c = t.context.customization;
        c.CDefaScrn = u"N"_s;
        c.CTextFont = u"Georgia"_s;
        c.CTextSize = u"12"_s;
        c.CTextColor = u"purple"_s;
        c.CBackColor = u"15923449"_s;
        QMdiArea area;
        auto* screen = new QWidget;
        auto* frame = new QFrame(screen);
        frame->setObjectName(u"frmMain"_s);
        auto* label = new QLabel(u"Product Code"_s, frame);
        label->setObjectName(u"lblField(2)"_s);
        (new QLineEdit(frame))->setObjectName(u"txtField(2)"_s);
        area.addSubWindow(screen);
        ApplyAppearance(t.context, screen);
        QCOMPARE(t.messages.shown.size(), 1);
        QCOMPARE(t.ErrorLogLines().size(), 1);
        QVERIFY(t.ErrorLogLines().constFirst().contains(u"purple"_s));
        QCOMPARE(label->font().family(), u"Georgia"_s);
        QCOMPARE(label->palette().color(QPalette::Window), QColor(0xF9, 0xF8, 0xF2));
    }

    // The window stays open on a refusal with the focus back on the login; Escape cancels it
    // without a message.
    void windowKeepsOpenOnARefusal()
    {
        TestContext t;
        KvLogin login(t.context);
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        login.activateWindow();
        login.field(0)->setFocus();
        QCOMPARE(login.field(1)->echoMode(), QLineEdit::Password);
        QTest::keyClicks(login.field(0), u"Chiefabcdefghijklmn"_s);
        QCOMPARE(login.field(0)->text(), u"Chiefabcde"_s); // ten at most
        QTest::keyClicks(login.field(1), u"nope"_s);
        QTest::mouseClick(login.findChild<QPushButton*>(u"cmdOk"_s), Qt::LeftButton);
        QCOMPARE(t.messages.shown, QStringList { u"Invalid Login/Password !"_s });
        QCOMPARE(login.field(1)->text(), QString());
        QVERIFY(login.isVisible());
        QVERIFY(login.field(0)->hasFocus());

        QSignalSpy rejected(&login, &QDialog::rejected);
        QTest::keyClick(login.field(0), Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
        QCOMPARE(login.state().result, LoginState::Result::Cancelled);
        QCOMPARE(t.messages.shown.size(), 1);
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
