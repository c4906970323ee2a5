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
namespace C = CommandNumber;

} // namespace

class TestRecordCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;

    int Groups(const QString& where = u"1=1"_s)
    {
        return f->Scalar(u"Select Count(*) From kmGroup Where "_s + where).toInt();
    }
    // The group screen, on the middle one of the three groups.
    RecordScreen& OpenOnDairy()
    {
        RecordScreen& screen = f->Open(u"kmGroup"_s);
        f->Command(C::Prior);
        return screen;
    }

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

    // The engine runs a screen's own rules when it shows a record.
    void rulesRunWhenARecordShows()
    {
        f->Insert("ktProduct",
            { 1, Day, u"P1"_s, u"Rye"_s, 20, u"Pcs"_s, 1.0, 2.0, 0, 0, 0, 0, 0, u"T"_s, Day, QString(),
                QString(), u"Y"_s, QString() });
        QCOMPARE(f->Open(u"ktProduct"_s).field(4).hint, u"Dairy"_s);
    }

    // Add or Modify, then Save or Cancel: the record shown afterwards, where, and what is stored.
    void editThenFinish_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("finish");
        QTest::addColumn<QString>("shown"); // "position, id, name, saving" afterwards
        QTest::addColumn<int>("stored"); // groups named "Frozen" saving 3.5 afterwards
        QTest::newRow("Add, Save") << int(C::Add) << int(C::Save) << u"4 / 4, 31, Frozen, 3.50"_s << 1;
        QTest::newRow("Add, Cancel shows the last")
            << int(C::Add) << int(C::Cancel) << u"3 / 3, 30, Bakery, 0.00"_s << 0;
        QTest::newRow("Modify, Save keeps the position")
            << int(C::Modify) << int(C::Save) << u"2 / 3, 20, Frozen, 3.50"_s << 1;
        QTest::newRow("Modify, Cancel shows the one edited")
            << int(C::Modify) << int(C::Cancel) << u"2 / 3, 20, Dairy, 2.50"_s << 0;
    }
    void editThenFinish()
    {
        QFETCH(int, command);
        QFETCH(int, finish);
        RecordScreen& screen = OpenOnDairy();
        const bool adding = command == C::Add;
        if (adding) {
            // Declining the question changes nothing.
            f->host.calls.clear();
            f->messages().Answer(false);
            f->Command(command);
            QCOMPARE(f->host.calls, QStringList());
            f->messages().Answer(true);
        }
        f->Command(command);
        QCOMPARE(screen.Text(0) + u' ' + screen.Text(3), adding ? u"(New) 0.00"_s : u"20 2.50"_s);
        QVERIFY(screen.frameEnabled && !f->host.modulePaneEnabled);
        screen.SetText(2, u"Frozen"_s);
        screen.SetText(3, u"3,5"_s);
        screen.SetText(4, u"Freezer"_s);
        f->Command(finish);
        QTEST(QStringList({ f->host.positionLabel, screen.Text(0), screen.Text(2), screen.Text(3) })
                  .join(u", "_s),
            "shown");
        QTEST(Groups(u"GName='Frozen' And GSavePer=3.5"_s), "stored");
        QCOMPARE(Groups(), adding && finish == C::Save ? 4 : 3);
        // Only Add asks, once declined and once confirmed; Save and Cancel ask nothing.
        QCOMPARE(f->messages().shown, QStringList(adding ? 2 : 0, u"Confirm Add ?"_s));
        QVERIFY(!screen.newRecordPending && !screen.frameEnabled);
        QCOMPARE(f->host.commandStates, QStringList({ u"Mast"_s, u"Edit"_s, u"Mast"_s }));
    }

    void deleteCommand_data()
    {
        QTest::addColumn<bool>("onlyOne");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("shown"); // "position name"
        QTest::addColumn<int>("left");
        QTest::newRow("shows the next record") << false << true << u"2 / 2 Bakery"_s << 2;
        QTest::newRow("only record leaves an empty screen") << true << true << u". "_s << 0;
        QTest::newRow("declined keeps the record") << false << false << u"2 / 3 Dairy"_s << 3;
    }
    void deleteCommand()
    {
        QFETCH(bool, onlyOne);
        QFETCH(bool, answer);
        if (onlyOne)
            f->db().Execute(u"Delete * From kmGroup Where EId<>20"_s);
        RecordScreen& screen = OpenOnDairy();
        f->messages().Answer(answer);
        f->Command(C::Delete);
        QCOMPARE(f->messages().shown, QStringList { u"Confirm Delete ?"_s });
        QTEST(QString(f->host.positionLabel + u' ' + screen.Text(2)), "shown");
        QTEST(Groups(), "left");
        QCOMPARE(Groups(u"EId=20"_s), answer ? 0 : 1);
        QVERIFY(!screen.frameEnabled);
        QCOMPARE(f->host.commandStates.last(), u"Mast"_s);
    }

    void permissions_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("status"); // "field=text" set on the screen first
        QTest::addColumn<QString>("allowDelete");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("modify billed quote")
            << u"ktQuotMast"_s << 2 << u"13=B"_s << u"Y"_s << u"Cannot Modify Processed Quote !"_s;
        QTest::newRow("modify open quote") << u"ktQuotMast"_s << 2 << u"13=N"_s << u"Y"_s << u""_s;
        QTest::newRow("modify purchased order")
            << u"ktOrdrMast"_s << 2 << u"7=C"_s << u"Y"_s << u"Cannot Modify Processed Order !"_s;
        QTest::newRow("delete denied") << u"kmGroup"_s << 3 << u""_s << u"N"_s << u"Delete Denied !"_s;
        QTest::newRow("delete of billed quote allowed")
            << u"ktQuotMast"_s << 3 << u"13=B"_s << u"Y"_s << u""_s;
    }
    void permissions()
    {
        QFETCH(QString, table);
        QFETCH(QString, status);
        QFETCH(QString, allowDelete);
        QFETCH(int, operation);
        QFETCH(QString, refusal);
        f->context().customization.CAllowDele = allowDelete;
        auto screen = ScreenOf(table);
        if (!status.isEmpty())
            screen->SetText(status.section(u'=', 0, 0).toInt(), status.section(u'=', 1));
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
        QTest::newRow("modify, wrong code") << int(C::Modify) << u"Y"_s << 1 << false << false;
        QTest::newRow("modify, no code asked") << int(C::Modify) << u"N"_s << 0 << false << true;
        QTest::newRow("delete, right code") << int(C::Delete) << u"Y"_s << 1 << true << true;
    }
    void accessCodePrompts()
    {
        QFETCH(int, command);
        QFETCH(QString, setting);
        QFETCH(int, prompts);
        QFETCH(bool, goesOn);
        QFETCH(bool, rightCode);
        Customization& shop = f->context().customization;
        (command == C::Modify ? shop.CModiPass : shop.CDelePass) = setting;
        f->Open(u"kmGroup"_s);
        if (prompts > 0)
            f->host.AnswerAccessCode(rightCode);
        if (command == C::Delete && goesOn)
            f->messages().Answer(true);
        f->Command(command);
        QCOMPARE(f->host.CallsOf(u"AskAccessCode"_s).size(), prompts);
        if (command == C::Modify)
            QCOMPARE(f->host.commandStates.last(), goesOn ? u"Edit"_s : u"Mast"_s);
        else
            QCOMPARE(Groups(), goesOn ? 2 : 3);
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
        QFETCH(QString, typed);
        QFETCH(bool, invalid);
        OpenOnDairy();
        f->host.findBox = typed;
        f->Command(C::Find);
        QTEST(f->host.findBox, "boxAfter");
        QTEST(f->host.positionLabel, "position");
        QCOMPARE(f->messages().shown, invalid ? QStringList { u"Invalid Id !"_s } : QStringList());
    }

    // A copy keeps everything but the unique field, which must be changed before it saves.
    void xeroxThenSaveReportsTheUniqueField()
    {
        RecordScreen& screen = f->Open(u"kmGroup"_s);
        f->messages().Answer(true);
        f->Command(C::Xerox);
        QCOMPARE(QStringList({ screen.Text(0), screen.Text(2), screen.Text(4) }),
            QStringList({ u"(New)"_s, u"Bakery"_s, u"Id#30"_s }));
        f->Command(C::Save);
        QCOMPARE(f->messages().shown.last(), u"Invalid-Empty Fields:\n\n\nProduct Group (Exists)"_s);
        QVERIFY(screen.frameEnabled);
        QCOMPARE(Groups(), 3);
        screen.SetText(2, u"Pastry"_s);
        f->Command(C::Save);
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
            f->Command(C::Modify);
            f->messages().Answer(answer);
        }
        f->Command(C::Exit);
        QCOMPARE(f->messages().shown, editing ? QStringList { u"Cancel Edits ?"_s } : QStringList());
        QCOMPARE(f->host.CallsOf(u"CloseCurrentScreen"_s).size(), closed ? 1 : 0);
        QCOMPARE(f->engine.Current() == nullptr, closed);
        // Closed after the edits were given up, the pane was enabled again and so is hidden.
        QCOMPARE(f->host.leftPaneShown, !closed);
    }
};

QTEST_GUILESS_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
