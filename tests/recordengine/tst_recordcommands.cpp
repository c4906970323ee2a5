// The record screen commands driven headless: opening and closing, browsing, Add, Modify,
// Delete, Xerox, Cancel, Find, Exit, the permissions and access-code prompts, and the
// command states handed to the main window.
#include "EngineFixture.h"

#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const QDate Day(2026, 1, 15);

} // namespace

class TestRecordCommands : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<EngineFixture>();
        // Ids 10, 20, 30, so that positions and ids never coincide.
        f->Insert("kmGroup", { 10, Day, u"Grocery"_s, 5.0, u"Dry goods"_s });
        f->Insert("kmGroup", { 20, Day, u"Dairy"_s, 2.5, u"Chilled"_s });
        f->Insert("kmGroup", { 30, Day, u"Bakery"_s, 0.0, u"Fresh"_s });
    }
    void cleanup() { f.reset(); }

    void openShowsNewestRecordAndBrowses()
    {
        RecordScreen& screen = f->Open(u"kmGroup"_s);
        QCOMPARE(f->host.calls.first(), u"ShowScreenCaption(Loading...)"_s);
        QCOMPARE(f->host.calls.mid(f->host.calls.size() - 4),
            QStringList({ u"SetCommandState(Mast)"_s, u"SetFindBoxText(Find Id)"_s, u"ShowLeftPane(true)"_s,
                u"ShowScreenCaption(Group)"_s }));
        QCOMPARE(f->engine.Current(), &screen);
        QCOMPARE(f->host.positionLabel, u"3 / 3"_s);
        QCOMPARE(screen.Text(2), u"Bakery"_s);
        QCOMPARE(screen.frameEnabled, false);
    }

    // The engine runs a screen's own rules when it shows, clears and closes a record.
    void rulesRunAtTheirMoments()
    {
        f->Insert("ktProduct",
            { 1, Day, u"P1"_s, u"Rye"_s, 20, u"Pcs"_s, 1.0, 2.0, 0, 0, 0, 0, 0, u"T"_s, Day, QString(),
                QString(), u"Y"_s, QString() });
        QCOMPARE(f->Open(u"ktProduct"_s).field(4).hint, u"Dairy"_s);
        f->engine.CloseRecordScreen(*f->screen);
        RecordScreen& user = f->Open(u"kaUser"_s);
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        QCOMPARE(user.Text(5), u"S"_s);
        f->Command(CommandNumber::Cancel);
        f->engine.CloseRecordScreen(user);
        f->host.calls.clear();
        RecordScreen& supplier = f->Open(u"ktSupplier"_s);
        QCOMPARE(f->host.CallsOf(u"RefreshDashboard"_s), QStringList());
        f->engine.CloseRecordScreen(supplier);
        QCOMPARE(f->host.CallsOf(u"RefreshDashboard"_s), QStringList { u"RefreshDashboard(3)"_s });
    }

    void closeReturnsToIdle_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("showDash");
        QTest::addColumn<bool>("paneShown");
        QTest::addColumn<bool>("dashboardShown");
        QTest::newRow("browsing, dashboard on") << false << u"Y"_s << false << true;
        QTest::newRow("browsing, dashboard off") << false << u"N"_s << false << false;
        QTest::newRow("editing leaves pane and hides dashboard") << true << u"Y"_s << true << false;
    }
    void closeReturnsToIdle()
    {
        QFETCH(bool, editing);
        QFETCH(QString, showDash);
        f->context().customization.CShowDash = showDash;
        RecordScreen& screen = f->Open(u"kmGroup"_s);
        if (editing)
            f->Command(CommandNumber::Modify);
        screen.choiceField = 3;
        f->engine.CloseRecordScreen(screen);

        QTEST(f->host.leftPaneShown, "paneShown");
        QTEST(f->host.dashboardShown, "dashboardShown");
        QCOMPARE(f->engine.Current(), nullptr);
        QCOMPARE(screen.choiceField, 0);
        QCOMPARE(f->host.commandStates.last(), u"Help"_s);
    }

    void navigation_data()
    {
        QTest::addColumn<QList<int>>("commands");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("name");
        QTest::newRow("prior on first stays") << QList<int> { 9, 10, 10 } << u"1 / 3"_s << u"Grocery"_s;
        QTest::newRow("next on last stays") << QList<int> { 11, 11 } << u"3 / 3"_s << u"Bakery"_s;
        QTest::newRow("next from first") << QList<int> { 9, 11 } << u"2 / 3"_s << u"Dairy"_s;
    }
    void navigation()
    {
        QFETCH(QList<int>, commands);
        RecordScreen& screen = f->Open(u"kmGroup"_s);
        for (int command : commands)
            f->Command(command);
        QTEST(f->host.positionLabel, "position");
        QTEST(screen.Text(2), "name");
        QCOMPARE(f->messages().shown, QStringList());
    }

    // Add or Modify, then Save or Cancel: the record shown afterwards, where, and what is stored.
    void editThenFinish_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("finish");
        QTest::addColumn<QString>("shown"); // "position, id, name, saving" afterwards
        QTest::addColumn<int>("stored"); // groups named "Frozen" saving 3.5 afterwards
        const int add = CommandNumber::Add, modify = CommandNumber::Modify;
        const int save = CommandNumber::Save, cancel = CommandNumber::Cancel;
        QTest::newRow("Add, Save") << add << save << u"4 / 4, 31, Frozen, 3.50"_s << 1;
        QTest::newRow("Add, Cancel shows the last") << add << cancel << u"3 / 3, 30, Bakery, 0.00"_s << 0;
        QTest::newRow("Modify, Save keeps the position")
            << modify << save << u"2 / 3, 20, Frozen, 3.50"_s << 1;
        QTest::newRow("Modify, Cancel shows the one edited")
            << modify << cancel << u"2 / 3, 20, Dairy, 2.50"_s << 0;
    }
    void editThenFinish()
    {
        QFETCH(int, command);
        QFETCH(int, finish);
        RecordScreen& screen = f->Open(u"kmGroup"_s);
        f->Command(CommandNumber::Prior);
        if (command == CommandNumber::Add) {
            // Declining the question changes nothing.
            f->host.calls.clear();
            f->messages().Answer(false);
            f->Command(command);
            QCOMPARE(f->host.calls, QStringList());
            f->messages().Answer(true);
        }
        f->Command(command);
        QCOMPARE(screen.Text(0), command == CommandNumber::Add ? u"(New)"_s : u"20"_s);
        QVERIFY(screen.frameEnabled && !f->host.modulePaneEnabled);
        screen.SetText(2, u"Frozen"_s);
        screen.SetText(3, u"3,5"_s);
        screen.SetText(4, u"Freezer"_s);
        f->Command(finish);
        QTEST(QStringList({ f->host.positionLabel, screen.Text(0), screen.Text(2), screen.Text(3) })
                  .join(u", "_s),
            "shown");
        QTEST(f->Scalar(u"Select Count(*) From kmGroup Where GName='Frozen' And GSavePer=3.5"_s).toInt(),
            "stored");
        const bool added = command == CommandNumber::Add && finish == CommandNumber::Save;
        QCOMPARE(f->Scalar(u"Select Count(*) From kmGroup"_s).toInt(), added ? 4 : 3);
        // Only Add asks, once declined and once confirmed; Save and Cancel ask nothing.
        QCOMPARE(f->messages().shown, QStringList(command == CommandNumber::Add ? 2 : 0, u"Confirm Add ?"_s));
        QVERIFY(!screen.newRecordPending && !screen.frameEnabled);
        QCOMPARE(f->host.commandStates, QStringList({ u"Mast"_s, u"Edit"_s, u"Mast"_s }));
    }

    void deleteCommand_data()
    {
        QTest::addColumn<bool>("onlyOne");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("left");
        QTest::newRow("shows the next record") << false << true << u"2 / 2"_s << u"Bakery"_s << 2;
        QTest::newRow("only record leaves an empty screen") << true << true << u"."_s << QString() << 0;
        QTest::newRow("declined keeps the record") << false << false << u"2 / 3"_s << u"Dairy"_s << 3;
    }
    void deleteCommand()
    {
        QFETCH(bool, onlyOne);
        QFETCH(bool, answer);
        if (onlyOne)
            f->context().connection.Execute(u"Delete * From kmGroup Where EId<>20"_s);
        RecordScreen& screen = f->Open(u"kmGroup"_s);
        f->Command(CommandNumber::Prior);
        f->messages().Answer(answer);
        f->Command(CommandNumber::Delete);
        QCOMPARE(f->messages().shown, QStringList { u"Confirm Delete ?"_s });
        QTEST(screen.Text(2), "name");
        QTEST(f->host.positionLabel, "position");
        QTEST(f->Scalar(u"Select Count(*) From kmGroup"_s).toInt(), "left");
        QCOMPARE(f->Scalar(u"Select Count(*) From kmGroup Where EId=20"_s).toInt(), answer ? 0 : 1);
        QCOMPARE(screen.frameEnabled, false);
        QCOMPARE(f->host.commandStates.last(), u"Mast"_s);
    }

    void permissions_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("statusField");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("allowDelete");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("add on bill screen")
            << u"ktBillMast"_s << 1 << -1 << u""_s << u"Y"_s << u"Add Disabled !"_s;
        QTest::newRow("modify billed quote")
            << u"ktQuotMast"_s << 2 << 13 << u"B"_s << u"Y"_s << u"Cannot Modify Processed Quote !"_s;
        QTest::newRow("modify open quote") << u"ktQuotMast"_s << 2 << 13 << u"N"_s << u"Y"_s << u""_s;
        QTest::newRow("modify purchased order")
            << u"ktOrdrMast"_s << 2 << 7 << u"C"_s << u"Y"_s << u"Cannot Modify Processed Order !"_s;
        QTest::newRow("delete denied") << u"kmGroup"_s << 3 << -1 << u""_s << u"N"_s << u"Delete Denied !"_s;
        QTest::newRow("delete of billed quote allowed")
            << u"ktQuotMast"_s << 3 << 13 << u"B"_s << u"Y"_s << u""_s;
    }
    void permissions()
    {
        QFETCH(QString, table);
        QFETCH(int, statusField);
        QFETCH(QString, status);
        QFETCH(QString, allowDelete);
        QFETCH(int, operation);
        QFETCH(QString, refusal);
        f->context().customization.CAllowDele = allowDelete;
        auto screen = ScreenOf(table);
        if (statusField >= 0)
            screen->SetText(statusField, status);
        QCOMPARE(f->engine.CheckPermission(*screen, operation), refusal.isEmpty());
        QCOMPARE(f->messages().shown, refusal.isEmpty() ? QStringList() : QStringList { refusal });
    }

    void accessCodePrompts_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("prompts");
        QTest::addColumn<bool>("rightCode");
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("modify, wrong code") << 2 << u"Y"_s << 1 << false << false;
        QTest::newRow("modify, no code asked") << 2 << u"N"_s << 0 << false << true;
        QTest::newRow("delete, right code") << 3 << u"Y"_s << 1 << true << true;
    }
    void accessCodePrompts()
    {
        QFETCH(int, command);
        QFETCH(QString, setting);
        QFETCH(int, prompts);
        QFETCH(bool, goesOn);
        QFETCH(bool, rightCode);
        (command == CommandNumber::Modify ? f->context().customization.CModiPass
                                          : f->context().customization.CDelePass)
            = setting;
        f->Open(u"kmGroup"_s);
        if (prompts > 0)
            f->host.AnswerAccessCode(rightCode);
        if (command == CommandNumber::Delete && goesOn)
            f->messages().Answer(true);
        f->Command(command);

        QCOMPARE(f->host.CallsOf(u"AskAccessCode"_s).size(), prompts);
        if (command == CommandNumber::Modify) {
            QCOMPARE(f->host.commandStates.last(), goesOn ? u"Edit"_s : u"Mast"_s);
        } else {
            QCOMPARE(f->messages().shown.contains(u"Confirm Delete ?"_s), goesOn);
            QCOMPARE(f->Scalar(u"Select Count(*) From kmGroup"_s).toInt(), goesOn ? 2 : 3);
        }
    }

    void findById_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("boxAfter");
        QTest::addColumn<QString>("position");
        QTest::addColumn<bool>("invalid");
        QTest::newRow("existing id") << u"10"_s << u"10"_s << u"1 / 3"_s << false;
        QTest::newRow("missing id") << u"999"_s << u"999"_s << u"2 / 3"_s << true;
        QTest::newRow("not a number") << u"abc"_s << u"0"_s << u"2 / 3"_s << true;
    }
    void findById()
    {
        f->Open(u"kmGroup"_s);
        f->Command(CommandNumber::Prior);
        QFETCH(QString, typed);
        QFETCH(bool, invalid);
        f->host.findBox = typed;
        f->Command(CommandNumber::Find);
        QTEST(f->host.findBox, "boxAfter");
        QTEST(f->host.positionLabel, "position");
        QCOMPARE(f->messages().shown, invalid ? QStringList { u"Invalid Id !"_s } : QStringList());
    }

    void xeroxThenSaveReportsTheUniqueField()
    {
        RecordScreen& screen = f->Open(u"kmGroup"_s);
        f->messages().Answer(true);
        f->Command(CommandNumber::Xerox);
        QCOMPARE(screen.Text(0), u"(New)"_s);
        QCOMPARE(screen.Text(2), u"Bakery"_s);
        QCOMPARE(screen.Text(4), u"Id#30"_s);
        QCOMPARE(screen.frameEnabled, true);

        f->Command(CommandNumber::Save);
        QCOMPARE(f->messages().shown.last(), u"Invalid-Empty Fields:\n\n\nProduct Group (Exists)"_s);
        QCOMPARE(screen.frameEnabled, true);
        QCOMPARE(f->Scalar(u"Select Count(*) From kmGroup"_s).toInt(), 3);

        screen.SetText(2, u"Pastry"_s);
        f->Command(CommandNumber::Save);
        QCOMPARE(f->Scalar(u"Select GRemarks From kmGroup Where GName='Pastry'"_s).toString(), u"Id#30"_s);
        QCOMPARE(f->host.positionLabel, u"4 / 4"_s);
    }

    void exit_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("closed");
        QTest::newRow("browsing closes at once") << false << false << true;
        QTest::newRow("editing, keep the edits") << true << false << false;
        QTest::newRow("editing, cancel the edits") << true << true << true;
    }
    void exit()
    {
        QFETCH(bool, editing);
        QFETCH(bool, closed);
        QFETCH(bool, answer);
        f->Open(u"kmGroup"_s);
        if (editing) {
            f->Command(CommandNumber::Modify);
            f->messages().Answer(answer);
        }
        f->Command(CommandNumber::Exit);
        QCOMPARE(f->messages().shown, editing ? QStringList { u"Cancel Edits ?"_s } : QStringList());
        QCOMPARE(f->host.CallsOf(u"CloseCurrentScreen"_s).size(), closed ? 1 : 0);
        QCOMPARE(f->engine.Current() == nullptr, closed);
        // Closed after the edits were given up, the pane was enabled again and so is hidden.
        QCOMPARE(f->host.leftPaneShown, !closed);
    }

    // With no screen open, Exit closes the program and browsing does nothing.
    void commandsWithoutAScreen()
    {
        f->Command(CommandNumber::Exit);
        f->Command(CommandNumber::First);
        QCOMPARE(f->host.calls, QStringList { u"CloseMainWindow()"_s });
    }

private:
    std::unique_ptr<EngineFixture> f;
};

QTEST_GUILESS_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
