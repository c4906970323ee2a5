#include "CommandState.h"
#include "ProgramContext.h"
#include "ScriptedMessages.h"

#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

using Commands = QList<int>;

class TestCommandState : public QObject {
    Q_OBJECT
private slots:
    void commandState_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("screenEmpty");
        QTest::addColumn<bool>("adminAllowed");
        QTest::addColumn<Commands>("enabled");
        QTest::addColumn<QString>("commandList");
        // commandLock, frame, left pane, main menus, Operation menu, Admin menu
        QTest::addColumn<QList<bool>>("flags");
        // An empty table leaves only Add, whatever the key; the menus give way to Operation.
        QTest::newRow("register empty")
            << u"Tran"_s << true << false << Commands { 1 } << u"2/3/5/6/7/9/10/11/12/14/15"_s
            << QList<bool> { true, false, true, false, true, false };
        // Editing: only Save and Cancel; the frame takes typing, the pane is locked, and
        // CommandLock is left true for the menus.
        QTest::newRow("Edit, admin") << u"Edit"_s << false << true << Commands { 5, 7 } << u"5/7"_s
                                     << QList<bool> { true, true, false, false, true, false };
        // No screen open: no command; the other menus open, Admin by the rule.
        QTest::newRow("Help") << u"Help"_s << false << false << Commands {} << QString()
                              << QList<bool> { false, false, false, true, false, false };
        QTest::addRow("unknown key is idle") << u""_s << false << true << Commands {} << QString()
                                             << QList<bool> { false, false, false, true, false, true };
    }

    void commandState()
    {
        QFETCH(QString, key);
        QFETCH(bool, screenEmpty);
        QFETCH(bool, adminAllowed);
        const CommandState state = ComputeCommandState(key, screenEmpty, adminAllowed);
        Commands enabled;
        for (const auto& [number, on] : state.enabled)
            if (on)
                enabled << number;
        QTEST(enabled, "enabled");
        QTEST(state.commandList, "commandList");
        QTEST((QList<bool> { state.commandLock, state.frameEnabled, state.leftPaneEnabled,
                  state.mainMenusEnabled, state.operationMenuEnabled, state.adminMenuEnabled }),
            "flags");
    }

    // Browsing a table with rows: Save and Cancel are never offered, the key's own list is
    // what is disabled, and each kind of screen keeps the commands its records allow.
    void browsing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<Commands>("refused");
        QTest::newRow("registers and documents") << u"Tran"_s << Commands { 5, 7 };
        QTest::newRow("bills are made at the counter") << u"Trao"_s << Commands { 1, 2, 5, 6, 7 };
        QTest::newRow("settings rows are never added or deleted")
            << u"Admn"_s << Commands { 1, 3, 5, 6, 7, 15 };
        QTest::newRow("master lists have no report") << u"Mast"_s << Commands { 3, 5, 7, 15 };
    }

    void browsing()
    {
        QFETCH(QString, key);
        QFETCH(Commands, refused);
        for (bool admin : { false, true }) {
            const CommandState state = ComputeCommandState(key, false, admin);
            const QStringList listed = state.commandList.split(u'/');
            for (const auto& [number, on] : state.enabled)
                QVERIFY2(on != listed.contains(QString::number(number)), qPrintable(QString::number(number)));
            for (int command : refused)
                QVERIFY2(!state.enabled.at(command), qPrintable(QString::number(command)));
            QVERIFY(state.enabled.at(9) && state.enabled.at(12));
            QVERIFY(state.leftPaneEnabled && !state.frameEnabled && state.operationMenuEnabled);
            QVERIFY(!state.mainMenusEnabled && !state.adminMenuEnabled);
        }
    }
    // The Admin menu opens for the administrator's login in any letter case, or for everyone
    // when the shop's setting says "Y".
    void adminMenuRule_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("adminDisp");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("chief in any case") << u"cHiEF"_s << u"N"_s << true;
        QTest::newRow("chief-like name") << u"Chief2"_s << u"N"_s << false;
        QTest::newRow("other user, admin for all") << u"Anna"_s << u"Y"_s << true;
        QTest::newRow("setting other than Y") << u"Anna"_s << u"y"_s << false;
    }

    void adminMenuRule()
    {
        test::ScriptedMessages messages;
        ProgramContext context(messages);
        QFETCH(QString, login);
        QFETCH(QString, adminDisp);
        context.login.LoginName = login;
        context.customization.CAdminDisp = adminDisp;
        QTEST(ComputeCommandState(u"Help"_s, false, AdminAllowed(context)).adminMenuEnabled, "enabled");
    }
};

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_commandstate.moc"
