#include "CommandState.h"
#include "MenuContext.h"
#include "ScriptedMessages.h"
#include "Session.h"

#include <QTest>

using namespace kivo;

namespace {

using Commands = QList<int>;

// What a key leaves enabled while browsing a table that has rows, written out rather than
// derived: the toolbar commands are 1, 2, 3, 5, 6, 7, 9, 10, 11, 12, 14 and 15.
struct Browsing {
    const char* key;
    const char* list;
    Commands enabled;
};

const Browsing BrowsingKeys[] = {
    { "Tran", "5/7", { 1, 2, 3, 6, 9, 10, 11, 12, 14, 15 } },
    { "Trao", "1/2/5/6/7", { 3, 9, 10, 11, 12, 14, 15 } },
    { "Trap", "5/6/7", { 1, 2, 3, 9, 10, 11, 12, 14, 15 } },
    { "Traq", "3/5/6/7", { 1, 2, 9, 10, 11, 12, 14, 15 } },
    { "Trar", "3/5/7", { 1, 2, 6, 9, 10, 11, 12, 14, 15 } },
    { "Mast", "3/5/7/15", { 1, 2, 6, 9, 10, 11, 12, 14 } },
    { "Admn", "1/3/5/6/7/15", { 2, 9, 10, 11, 12, 14 } },
};

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

        const QString emptyList = QStringLiteral("2/3/5/6/7/9/10/11/12/14/15");
        for (bool admin : { false, true }) {
            const char* who = admin ? "admin" : "no admin";
            for (const Browsing& browsing : BrowsingKeys) {
                const QString key = QString::fromLatin1(browsing.key);
                // Browsing: the key's list is disabled, the menus give way to the Operation menu.
                QTest::addRow("%s rows %s", browsing.key, who)
                    << key << false << admin << browsing.enabled << QString::fromLatin1(browsing.list) << true
                    << false << true << false << true << false;
                // An empty table leaves only Add, whatever the key.
                QTest::addRow("%s empty %s", browsing.key, who)
                    << key << true << admin << Commands { 1 } << emptyList << true << false << true << false
                    << true << false;
            }
            // Editing: only Save and Cancel; the frame takes typing, the pane is locked, and
            // CommandLock is left true for the menus.
            for (bool empty : { false, true })
                QTest::addRow("Edit %s %s", empty ? "empty" : "rows", who)
                    << QStringLiteral("Edit") << empty << admin << Commands { 5, 7 } << QStringLiteral("5/7")
                    << true << true << false << false << true << false;
            // No screen open: no command; the other menus open, Admin by the rule.
            for (bool empty : { false, true })
                QTest::addRow("Help %s %s", empty ? "empty" : "rows", who)
                    << QStringLiteral("Help") << empty << admin << Commands {} << QString() << false << false
                    << false << true << false << admin;
        }
        QTest::addRow("unknown key is idle") << QStringLiteral("") << false << true << Commands {}
                                             << QString() << false << false << false << true << false << true;
    }

    void commandState()
    {
        QFETCH(QString, key);
        QFETCH(bool, screenEmpty);
        QFETCH(bool, adminAllowed);
        QFETCH(Commands, enabled);
        QFETCH(QString, commandList);
        QFETCH(bool, commandLock);
        QFETCH(bool, frameEnabled);
        QFETCH(bool, leftPaneEnabled);
        QFETCH(bool, mainMenus);
        QFETCH(bool, operationMenu);
        QFETCH(bool, adminMenu);

        const CommandState state = ComputeCommandState(key, screenEmpty, adminAllowed);
        // Every command button is set, and no separator.
        QCOMPARE(CommandNumbers(state), (Commands { 1, 2, 3, 5, 6, 7, 9, 10, 11, 12, 14, 15 }));
        QCOMPARE(EnabledCommands(state), enabled);
        QCOMPARE(state.commandList, commandList);
        QCOMPARE(state.commandLock, commandLock);
        QCOMPARE(state.frameEnabled, frameEnabled);
        QCOMPARE(state.leftPaneEnabled, leftPaneEnabled);
        QCOMPARE(state.mainMenusEnabled, mainMenus);
        QCOMPARE(state.operationMenuEnabled, operationMenu);
        QCOMPARE(state.adminMenuEnabled, adminMenu);
    }

    void labelsToggle_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("showCaptions");
        QTest::addColumn<QString>("newCaption");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("plus shows") << QStringLiteral("+") << true << QStringLiteral("-")
                                    << QStringLiteral("Hide Labels");
        QTest::newRow("minus hides") << QStringLiteral("-") << false << QStringLiteral("+")
                                     << QStringLiteral("Show Labels");
        QTest::newRow("other hides") << QStringLiteral("Y") << false << QStringLiteral("+")
                                     << QStringLiteral("Show Labels");
    }

    void labelsToggle()
    {
        QFETCH(QString, caption);
        QFETCH(bool, showCaptions);
        QFETCH(QString, newCaption);
        QFETCH(QString, tooltip);
        const ToolbarLabels labels = ToggleToolbarLabels(caption);
        QCOMPARE(labels.showCaptions, showCaptions);
        QCOMPARE(labels.toggleCaption, newCaption);
        QCOMPARE(labels.toggleTooltip, tooltip);
        // A second click switches back.
        QCOMPARE(ToggleToolbarLabels(labels.toggleCaption).showCaptions, !showCaptions);
    }

    void menuContext_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("billPrint");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("detailTable");
        QTest::addColumn<int>("lastField");
        QTest::addColumn<int>("report");

        // The session starts with key "Old", tables "kaOld"/"kaOldDetl", last field 99, report 33.
        QTest::newRow("product") << QStringLiteral("Transaction") << 1 << QString() << QStringLiteral("Trar")
                                 << QStringLiteral("ktProduct") << QString() << 18 << 41;
        QTest::newRow("bill, small print")
            << QStringLiteral("Transaction") << 6 << QStringLiteral("S") << QStringLiteral("Trao")
            << QStringLiteral("ktBillMast") << QStringLiteral("ktBillDetl") << 20 << 56;
        QTest::newRow("bill, large print")
            << QStringLiteral("Transaction") << 6 << QStringLiteral("L") << QStringLiteral("Trao")
            << QStringLiteral("ktBillMast") << QStringLiteral("ktBillDetl") << 20 << 57;
        QTest::newRow("bill, print size unset")
            << QStringLiteral("Transaction") << 6 << QString() << QStringLiteral("Trao")
            << QStringLiteral("ktBillMast") << QStringLiteral("ktBillDetl") << 20 << 57;
        QTest::newRow("import keeps the rest")
            << QStringLiteral("Transaction") << 14 << QString() << QStringLiteral("Tran") << QString()
            << QString() << 99 << 33;
        QTest::newRow("group keeps the report")
            << QStringLiteral("Master") << 1 << QString() << QStringLiteral("Mast")
            << QStringLiteral("kmGroup") << QString() << 4 << 33;
        QTest::newRow("options") << QStringLiteral("Admin") << 8 << QString() << QStringLiteral("Admn")
                                 << QString() << QString() << 99 << 33;
        QTest::newRow("recon report") << QStringLiteral("Report") << 28 << QString() << QStringLiteral("Old")
                                      << QStringLiteral("kaOld") << QStringLiteral("kaOldDetl") << 99 << 68;
        QTest::newRow("help sets nothing")
            << QStringLiteral("Help") << 2 << QString() << QStringLiteral("Old") << QStringLiteral("kaOld")
            << QStringLiteral("kaOldDetl") << 99 << 33;
    }

    void menuContext()
    {
        QFETCH(QString, menu);
        QFETCH(int, entry);
        QFETCH(QString, billPrint);
        QFETCH(QString, key);
        QFETCH(QString, table);
        QFETCH(QString, detailTable);
        QFETCH(int, lastField);
        QFETCH(int, report);

        test::ScriptedMessages messages;
        Session session(messages);
        session.ScreenKey = QStringLiteral("Old");
        session.ScreenTable = QStringLiteral("kaOld");
        session.DetailTable = QStringLiteral("kaOldDetl");
        session.LastField = 99;
        session.ScreenReport = 33;
        session.preferences.PDefBill = billPrint;

        ApplyMenuContext(session, menu, entry);
        QCOMPARE(session.ScreenKey, key);
        QCOMPARE(session.ScreenTable, table);
        QCOMPARE(session.DetailTable, detailTable);
        QCOMPARE(session.LastField, lastField);
        QCOMPARE(session.ScreenReport, report);
    }
};

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_commandstate.moc"
