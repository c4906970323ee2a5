#include "CommandState.h"

#include <QTest>

using namespace kivo;

namespace {

using Commands = QList<int>;
using namespace Qt::StringLiterals;

const Commands ToolbarCommands { 1, 2, 3, 5, 6, 7, 9, 10, 11, 12, 14, 15 };

// The toolbar commands that a command list ("3/5/7") leaves enabled.
Commands NotListed(const QString& list)
{
    Commands enabled;
    const QStringList listed = list.split(u'/');
    for (int number : ToolbarCommands)
        if (!listed.contains(QString::number(number)))
            enabled << number;
    return enabled;
}

Commands EnabledCommands(const CommandState& state)
{
    Commands enabled;
    for (const auto& [number, on] : state.enabled)
        if (on)
            enabled << number;
    return enabled;
}

Commands CommandNumbers(const CommandState& state)
{
    Commands numbers;
    for (const auto& [number, on] : state.enabled)
        numbers << number;
    return numbers;
}

} // namespace

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
        QTest::addColumn<bool>("commandLock");
        QTest::addColumn<bool>("frameEnabled");
        QTest::addColumn<bool>("leftPaneEnabled");
        QTest::addColumn<bool>("mainMenus");
        QTest::addColumn<bool>("operationMenu");
        QTest::addColumn<bool>("adminMenu");

        const QString emptyList = u"2/3/5/6/7/9/10/11/12/14/15"_s;
        // An empty table leaves only Add, whatever the key; the menus give way to the
        // Operation menu.
        QTest::newRow("register empty") << u"Tran"_s << true << false << Commands { 1 } << emptyList << true
                                        << false << true << false << true << false;
        // Editing: only Save and Cancel; the frame takes typing, the pane is locked, and
        // CommandLock is left true for the menus.
        QTest::newRow("Edit, admin") << u"Edit"_s << false << true << Commands { 5, 7 } << u"5/7"_s << true
                                     << true << false << false << true << false;
        // No screen open: no command; the other menus open, Admin by the rule.
        for (bool admin : { false, true })
            QTest::addRow("Help, %s", admin ? "admin" : "no admin")
                << u"Help"_s << false << admin << Commands {} << QString() << false << false << false << true
                << false << admin;
        QTest::addRow("unknown key is idle") << u""_s << false << true << Commands {} << QString() << false
                                             << false << false << true << false << true;
    }

    void commandState()
    {
        QFETCH(QString, key);
        QFETCH(bool, screenEmpty);
        QFETCH(bool, adminAllowed);
        const CommandState state = ComputeCommandState(key, screenEmpty, adminAllowed);
        // Every command button is set, and no separator.
        QCOMPARE(CommandNumbers(state), ToolbarCommands);
        QTEST(EnabledCommands(state), "enabled");
        QTEST(state.commandList, "commandList");
        QTEST(state.commandLock, "commandLock");
        QTEST(state.frameEnabled, "frameEnabled");
        QTEST(state.leftPaneEnabled, "leftPaneEnabled");
        QTEST(state.mainMenusEnabled, "mainMenus");
        QTEST(state.operationMenuEnabled, "operationMenu");
        QTEST(state.adminMenuEnabled, "adminMenu");
    }

    // Browsing a table with rows: Save and Cancel are never offered, the key's own list is
    // what is disabled, and each kind of screen keeps the commands its records allow.
    void browsing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<Commands>("refused");
        for (const QString& key : { u"Tran"_s, u"Trap"_s, u"Traq"_s, u"Trar"_s })
            QTest::addRow("registers and documents, %s", qPrintable(key)) << key << Commands { 5, 7 };
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
            QCOMPARE(EnabledCommands(state), NotListed(state.commandList));
            for (int command : refused)
                QVERIFY2(!state.enabled.at(command), qPrintable(QString::number(command)));
            QVERIFY(state.enabled.at(9) && state.enabled.at(12));
            QVERIFY(state.leftPaneEnabled && !state.frameEnabled && state.operationMenuEnabled);
            QVERIFY(!state.mainMenusEnabled && !state.adminMenuEnabled);
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_commandstate.moc"
