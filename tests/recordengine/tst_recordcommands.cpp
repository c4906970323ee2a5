// The record screen commands driven headless: opening and closing, browsing, Add, Modify,
// Delete, Xerox, Cancel, Find, Exit, the permissions and access-code prompts, and the
// command states handed to the main window.
#include "EngineFixture.h"

#include <QTest>

using namespace kivo;
using namespace kivo::test;

namespace {

const QDate Day(2026, 1, 15);

QStringList Keys(std::initializer_list<const char*> keys)
{
    QStringList list;
    for (const char* key : keys)
        list << QString::fromLatin1(key);
    return list;
}

} // namespace

class TestRecordCommands : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<EngineFixture>();
        // Ids 10, 20, 30, so that positions and ids never coincide.
        f->Insert("kmGroup", { 10, Day, QStringLiteral("Grocery"), 5.0, QStringLiteral("Dry goods") });
        f->Insert("kmGroup", { 20, Day, QStringLiteral("Dairy"), 2.5, QStringLiteral("Chilled") });
        f->Insert("kmGroup", { 30, Day, QStringLiteral("Bakery"), 0.0, QStringLiteral("Fresh") });
    }
    void cleanup() { f.reset(); }

    void openShowsNewestRecordAndBrowses()
    {
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        QCOMPARE(f->host.calls.first(), QStringLiteral("ShowScreenCaption(Loading...)"));
        QCOMPARE(f->host.calls.at(1), QStringLiteral("ShowDashboard(false)"));
        QCOMPARE(f->host.calls.mid(f->host.calls.size() - 4),
            QStringList({ QStringLiteral("SetCommandState(Mast)"), QStringLiteral("SetFindBoxText(Find Id)"),
                QStringLiteral("ShowLeftPane(true)"), QStringLiteral("ShowScreenCaption(Group)") }));
        QCOMPARE(screen.recordTotal, 3);
        QCOMPARE(f->engine.Current(), &screen);
        QCOMPARE(f->host.positionLabel, QStringLiteral("3 / 3"));
        QCOMPARE(screen.Text(0), QStringLiteral("30"));
        QCOMPARE(screen.Text(2), QStringLiteral("Bakery"));
        QCOMPARE(screen.frameEnabled, false);
        QCOMPARE(f->modes, QStringList { QStringLiteral("DL") });
    }

    void openOnEmptyTable()
    {
        f->context().connection.Execute(QStringLiteral("Delete * From kmGroup"));
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        QCOMPARE(f->host.positionLabel, QStringLiteral("."));
        QCOMPARE(screen.list->Eof(), true);
        QCOMPARE(f->host.commandStates, QStringList { QStringLiteral("Mast") });
        QCOMPARE(f->modes, QStringList());
        QCOMPARE(f->messages().shown, QStringList());
    }

    void unreadableTableStillOpens()
    {
        auto screen = ScreenOf(QStringLiteral("kmGroup"));
        screen->table = QStringLiteral("kmGone");
        f->engine.OpenRecordScreen(*screen);
        QCOMPARE(f->messages().shown, QStringList { QStringLiteral("ErroR!") });
        QCOMPARE(f->host.screenCaption, QStringLiteral("Group"));
        // Browsing the empty list resets the screen instead of reporting again.
        f->Command(CommandNumber::First);
        f->Command(CommandNumber::Next);
        QCOMPARE(f->messages().shown.size(), 1);
        QCOMPARE(screen->Text(0), QStringLiteral("(New)"));
        QCOMPARE(f->host.positionLabel, QStringLiteral("."));
    }

    void closeReturnsToIdle_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("showDash");
        QTest::addColumn<bool>("paneShown");
        QTest::addColumn<bool>("dashboardShown");
        QTest::newRow("browsing, dashboard on") << false << QStringLiteral("Y") << false << true;
        QTest::newRow("browsing, dashboard off") << false << QStringLiteral("N") << false << false;
        QTest::newRow("editing leaves pane and hides dashboard")
            << true << QStringLiteral("Y") << true << false;
    }
    void closeReturnsToIdle()
    {
        QFETCH(bool, editing);
        QFETCH(QString, showDash);
        f->context().customization.CShowDash = showDash;
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        if (editing)
            f->Command(CommandNumber::Modify);
        screen.choiceField = 3;
        f->engine.CloseRecordScreen(screen);

        QTEST(f->host.leftPaneShown, "paneShown");
        QTEST(f->host.dashboardShown, "dashboardShown");
        QCOMPARE(f->modes.last(), QStringLiteral("FC"));
        QVERIFY(!screen.list);
        QCOMPARE(f->engine.Current(), nullptr);
        QCOMPARE(screen.choiceField, 0);
        QCOMPARE(f->host.commandStates.last(), QStringLiteral("Help"));
        QCOMPARE(f->host.positionLabel, QStringLiteral("."));
        QCOMPARE(f->host.screenCaption, QStringLiteral("Main"));
        QCOMPARE(f->host.calls.last(), QStringLiteral("ResetModuleColours()"));
    }

    void navigation_data()
    {
        QTest::addColumn<QList<int>>("commands");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("name");
        QTest::newRow("prior on first stays")
            << QList<int> { 9, 10, 10 } << QStringLiteral("1 / 3") << QStringLiteral("Grocery");
        QTest::newRow("next on last stays")
            << QList<int> { 11, 11 } << QStringLiteral("3 / 3") << QStringLiteral("Bakery");
        QTest::newRow("next from first")
            << QList<int> { 9, 11 } << QStringLiteral("2 / 3") << QStringLiteral("Dairy");
    }
    void navigation()
    {
        QFETCH(QList<int>, commands);
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        for (int command : commands)
            f->Command(command);
        QTEST(f->host.positionLabel, "position");
        QTEST(screen.Text(2), "name");
        QCOMPARE(f->messages().shown, QStringList());
    }

    void addThenSaveStoresTheRecord()
    {
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        QCOMPARE(screen.Text(0), QStringLiteral("(New)"));
        QCOMPARE(screen.Text(1), QStringLiteral("2026-03-05"));
        QCOMPARE(screen.Text(3), QStringLiteral("0.00"));
        QCOMPARE(screen.frameEnabled, true);
        QCOMPARE(f->host.modulePaneEnabled, false);
        QCOMPARE(f->screen->newRecordPending, true);

        screen.SetText(2, QStringLiteral("Frozen"));
        screen.SetText(3, QStringLiteral("3,5"));
        screen.SetText(4, QStringLiteral("Freezer"));
        f->Command(CommandNumber::Save);
        QCOMPARE(f->messages().shown, QStringList { QStringLiteral("Confirm Add ?") });
        QCOMPARE(f->screen->newRecordPending, false);
        QCOMPARE(screen.frameEnabled, false);
        QCOMPARE(f->screen->recordTotal, 4);
        QCOMPARE(f->host.positionLabel, QStringLiteral("4 / 4"));
        QCOMPARE(screen.Text(0), QStringLiteral("31"));
        QCOMPARE(screen.Text(3), QStringLiteral("3.50"));
        QCOMPARE(
            f->Scalar(QStringLiteral("Select GSavePer From kmGroup Where GName='Frozen'")).toDouble(), 3.5);
        QCOMPARE(f->host.commandStates, Keys({ "Mast", "Edit", "Mast" }));
    }

    void addDeclinedChangesNothing()
    {
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        f->host.calls.clear();
        f->messages().Answer(false);
        f->Command(CommandNumber::Add);
        QCOMPARE(screen.Text(0), QStringLiteral("30"));
        QCOMPARE(f->screen->newRecordPending, false);
        QCOMPARE(f->host.calls, QStringList());
    }

    // Cancel shows the stored record again: after Add the last one, after Modify the one edited.
    void cancel_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("name");
        QTest::newRow("after Add") << int(CommandNumber::Add) << QStringLiteral("3 / 3")
                                   << QStringLiteral("Bakery");
        QTest::newRow("after Modify")
            << int(CommandNumber::Modify) << QStringLiteral("1 / 3") << QStringLiteral("Grocery");
    }
    void cancel()
    {
        QFETCH(int, command);
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        f->Command(CommandNumber::First);
        if (command == CommandNumber::Add)
            f->messages().Answer(true);
        f->Command(command);
        screen.SetText(2, QStringLiteral("Changed"));
        f->Command(CommandNumber::Cancel);
        QTEST(screen.Text(2), "name");
        QTEST(f->host.positionLabel, "position");
        QCOMPARE(f->screen->newRecordPending, false);
        QCOMPARE(screen.frameEnabled, false);
        QCOMPARE(f->host.commandStates, Keys({ "Mast", "Edit", "Mast" }));
        QCOMPARE(f->Scalar(QStringLiteral("Select Count(*) From kmGroup Where GName='Changed'")).toInt(), 0);
    }

    void modifyThenSaveKeepsPosition()
    {
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        f->Command(CommandNumber::Prior);
        f->Command(CommandNumber::Modify);
        screen.SetText(2, QStringLiteral("Milk"));
        f->Command(CommandNumber::Save);
        QCOMPARE(f->host.positionLabel, QStringLiteral("2 / 3"));
        QCOMPARE(f->Scalar(QStringLiteral("Select GName From kmGroup Where EId=20")).toString(),
            QStringLiteral("Milk"));
        QCOMPARE(f->Scalar(QStringLiteral("Select Count(*) From kmGroup")).toInt(), 3);
    }

    void deleteCommand_data()
    {
        QTest::addColumn<bool>("onlyOne");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("left");
        QTest::newRow("shows the next record")
            << false << true << QStringLiteral("2 / 2") << QStringLiteral("Bakery") << 2;
        QTest::newRow("only record leaves an empty screen")
            << true << true << QStringLiteral(".") << QString() << 0;
        QTest::newRow("declined keeps the record")
            << false << false << QStringLiteral("2 / 3") << QStringLiteral("Dairy") << 3;
    }
    void deleteCommand()
    {
        QFETCH(bool, onlyOne);
        QFETCH(bool, answer);
        if (onlyOne)
            f->context().connection.Execute(QStringLiteral("Delete * From kmGroup Where EId<>20"));
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        f->Command(CommandNumber::Prior);
        f->messages().Answer(answer);
        f->Command(CommandNumber::Delete);
        QCOMPARE(f->messages().shown, QStringList { QStringLiteral("Confirm Delete ?") });
        QTEST(screen.Text(2), "name");
        QTEST(f->host.positionLabel, "position");
        QTEST(f->Scalar(QStringLiteral("Select Count(*) From kmGroup")).toInt(), "left");
        QCOMPARE(
            f->Scalar(QStringLiteral("Select Count(*) From kmGroup Where EId=20")).toInt(), answer ? 0 : 1);
        QCOMPARE(screen.frameEnabled, false);
        QCOMPARE(f->host.commandStates.last(), QStringLiteral("Mast"));
    }

    void permissions_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("statusField");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("allowDelete");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("add on bill screen") << QStringLiteral("ktBillMast") << 1 << -1 << QStringLiteral("")
                                            << QStringLiteral("Y") << QStringLiteral("Add Disabled !");
        QTest::newRow("modify billed quote")
            << QStringLiteral("ktQuotMast") << 2 << 13 << QStringLiteral("B") << QStringLiteral("Y")
            << QStringLiteral("Cannot Modify Processed Quote !");
        QTest::newRow("modify open quote") << QStringLiteral("ktQuotMast") << 2 << 13 << QStringLiteral("N")
                                           << QStringLiteral("Y") << QStringLiteral("");
        QTest::newRow("modify purchased order")
            << QStringLiteral("ktOrdrMast") << 2 << 7 << QStringLiteral("C") << QStringLiteral("Y")
            << QStringLiteral("Cannot Modify Processed Order !");
        QTest::newRow("delete denied") << QStringLiteral("kmGroup") << 3 << -1 << QStringLiteral("")
                                       << QStringLiteral("N") << QStringLiteral("Delete Denied !");
        QTest::newRow("delete allowed") << QStringLiteral("kmGroup") << 3 << -1 << QStringLiteral("")
                                        << QStringLiteral("Y") << QStringLiteral("");
        QTest::newRow("delete of billed quote allowed")
            << QStringLiteral("ktQuotMast") << 3 << 13 << QStringLiteral("B") << QStringLiteral("Y")
            << QStringLiteral("");
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
        QTest::newRow("modify, wrong code") << 2 << QStringLiteral("Y") << 1 << false << false;
        QTest::newRow("modify, no code asked") << 2 << QStringLiteral("N") << 0 << false << true;
        QTest::newRow("delete, right code") << 3 << QStringLiteral("Y") << 1 << true << true;
        QTest::newRow("delete, wrong code") << 3 << QStringLiteral("Y") << 1 << false << false;
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
        f->Open(QStringLiteral("kmGroup"));
        if (prompts > 0)
            f->host.AnswerAccessCode(rightCode);
        if (command == CommandNumber::Delete && goesOn)
            f->messages().Answer(true);
        f->Command(command);

        QCOMPARE(f->host.CallsOf(QStringLiteral("AskAccessCode")).size(), prompts);
        if (command == CommandNumber::Modify) {
            QCOMPARE(f->host.commandStates.last(), goesOn ? QStringLiteral("Edit") : QStringLiteral("Mast"));
        } else {
            QCOMPARE(f->messages().shown.contains(QStringLiteral("Confirm Delete ?")), goesOn);
            QCOMPARE(f->Scalar(QStringLiteral("Select Count(*) From kmGroup")).toInt(), goesOn ? 2 : 3);
        }
    }

    void findById_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("boxAfter");
        QTest::addColumn<QString>("position");
        QTest::addColumn<bool>("invalid");
        QTest::newRow("existing id") << QStringLiteral("10") << QStringLiteral("10")
                                     << QStringLiteral("1 / 3") << false;
        QTest::newRow("blanks around the id")
            << QStringLiteral(" 20 ") << QStringLiteral(" 20 ") << QStringLiteral("2 / 3") << false;
        QTest::newRow("missing id") << QStringLiteral("999") << QStringLiteral("999")
                                    << QStringLiteral("2 / 3") << true;
        QTest::newRow("not a number")
            << QStringLiteral("abc") << QStringLiteral("0") << QStringLiteral("2 / 3") << true;
        QTest::newRow("a fraction names no id")
            << QStringLiteral("10.5") << QStringLiteral("10.5") << QStringLiteral("2 / 3") << true;
    }
    void findById()
    {
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        f->Command(CommandNumber::Prior);
        bool focused = false;
        connect(&screen, &RecordScreen::focusRequested, this, [&] { focused = true; });
        QFETCH(QString, typed);
        QFETCH(bool, invalid);
        f->host.findBox = typed;
        f->Command(CommandNumber::Find);
        QTEST(f->host.findBox, "boxAfter");
        QTEST(f->host.positionLabel, "position");
        QCOMPARE(
            f->messages().shown, invalid ? QStringList { QStringLiteral("Invalid Id !") } : QStringList());
        QCOMPARE(focused, true);
    }

    void xeroxThenSaveReportsTheUniqueField()
    {
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        f->messages().Answer(true);
        f->Command(CommandNumber::Xerox);
        QCOMPARE(screen.Text(0), QStringLiteral("(New)"));
        QCOMPARE(screen.Text(1), QStringLiteral("2026-03-05"));
        QCOMPARE(screen.Text(2), QStringLiteral("Bakery"));
        QCOMPARE(screen.Text(4), QStringLiteral("Id#30"));
        QCOMPARE(f->modes.last(), QStringLiteral("DX"));
        QCOMPARE(screen.frameEnabled, true);

        f->Command(CommandNumber::Save);
        QCOMPARE(
            f->messages().shown.last(), QStringLiteral("Invalid-Empty Fields:\n\n\nProduct Group (Exists)"));
        QCOMPARE(screen.frameEnabled, true);
        QCOMPARE(f->Scalar(QStringLiteral("Select Count(*) From kmGroup")).toInt(), 3);

        screen.SetText(2, QStringLiteral("Pastry"));
        f->Command(CommandNumber::Save);
        QCOMPARE(f->Scalar(QStringLiteral("Select GRemarks From kmGroup Where GName='Pastry'")).toString(),
            QStringLiteral("Id#30"));
        QCOMPARE(f->host.positionLabel, QStringLiteral("4 / 4"));
    }

    void reportCommand_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("reports");
        QTest::newRow("screen without report")
            << QStringLiteral("kmGroup") << QStringList { QStringLiteral("No Report !") } << QStringList {};
        QTest::newRow("product list") << QStringLiteral("ktProduct") << QStringList {}
                                      << QStringList { QStringLiteral("OpenReport(41)") };
    }
    void reportCommand()
    {
        QFETCH(QString, table);
        f->Open(table);
        f->Command(CommandNumber::Report);
        QTEST(f->messages().shown, "messages");
        QTEST(f->host.CallsOf(QStringLiteral("OpenReport")), "reports");
    }

    void inquiryAndToolbarLabels()
    {
        f->Open(QStringLiteral("kmGroup"));
        f->Command(CommandNumber::Inquiry);
        f->Command(CommandNumber::ToolbarLabels);
        QCOMPARE(f->host.calls.mid(f->host.calls.size() - 2),
            QStringList({ QStringLiteral("OpenInquiry()"), QStringLiteral("SetCommandState(Text)") }));
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
        f->Open(QStringLiteral("kmGroup"));
        if (editing) {
            f->Command(CommandNumber::Modify);
            f->messages().Answer(answer);
        }
        f->Command(CommandNumber::Exit);
        QCOMPARE(
            f->messages().shown, editing ? QStringList { QStringLiteral("Cancel Edits ?") } : QStringList());
        QCOMPARE(f->host.CallsOf(QStringLiteral("CloseCurrentScreen")).size(), closed ? 1 : 0);
        QCOMPARE(f->engine.Current() == nullptr, closed);
        // Closed after the edits were given up, the pane was enabled again and so is hidden.
        QCOMPARE(f->host.leftPaneShown, !closed);
    }

    void exitWithNoScreenClosesTheProgram()
    {
        f->Command(CommandNumber::Exit);
        f->Command(CommandNumber::First);
        QCOMPARE(f->host.calls, QStringList { QStringLiteral("CloseMainWindow()") });
    }

    void otherNumbersDoNothing()
    {
        f->Open(QStringLiteral("kmGroup"));
        f->host.calls.clear();
        for (int number : { 0, 4, 8, 13, 16, 18, 100 })
            f->Command(number);
        QCOMPARE(f->host.calls, QStringList());
        QCOMPARE(f->messages().shown, QStringList());
    }

private:
    std::unique_ptr<EngineFixture> f;
};

QTEST_GUILESS_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
