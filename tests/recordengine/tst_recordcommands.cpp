// The record screen commands driven headless: Add, Modify, Delete, Xerox, Cancel, Find, Exit,
// the permissions and access-code prompts, and the command states handed to the main window;
// validation before a save, writing the record by column position, the password fields that
// never show their hash, and the save as one transaction: a failure or a crash in the middle
// of it leaves nothing of it behind.
#include "ChildProcess.h"
#include "DatabasePassword.h"
#include "DateText.h"
#include "EngineFixture.h"
#include "PasswordHash.h"

#include <QScopeGuard>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;
using Case = PasswordHash::LetterCase;

namespace {

const QDate Day(2026, 1, 15);
namespace C = CommandNumber;

// A product row with every column, in table order.
QVariantList Product(int id, const char* code, const char* name)
{
    return { id, Day, QString::fromLatin1(code), QString::fromLatin1(name), 1, u"Pcs"_s, 1.5, 2.25, 10, 5, 3,
        12, 2, u"T"_s, Day, u"Fresh"_s, u"Aisle 1"_s, u"Y"_s, u"Regular"_s };
}

// Fills every typed field of the product screen with values that pass validation.
void FillProduct(RecordScreen& screen, const QString& code)
{
    const QStringList texts { code, u"Rye Bread"_s, u"1"_s, u"Pcs"_s, u"1.10"_s, u"1.95"_s, u"4"_s, u"0"_s,
        u"0"_s, u"4"_s, u"2"_s, u"N"_s, u"2026-03-05"_s, u"Sliced"_s, u"Aisle 2"_s, u"Y"_s, u"New line"_s };
    for (int i = 0; i < int(texts.size()); ++i)
        screen.SetText(i + 2, texts.at(i));
}

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
        QTest::addColumn<QString>("asked"); // "table operation field=status CAllowDele"
        QTest::addColumn<QString>("refusal");
        QTest::newRow("modify billed quote")
            << u"ktQuotMast 2 13=B Y"_s << u"Cannot Modify Processed Quote !"_s;
        QTest::newRow("modify open quote") << u"ktQuotMast 2 13=N Y"_s << u""_s;
        QTest::newRow("modify purchased order")
            << u"ktOrdrMast 2 7=C Y"_s << u"Cannot Modify Processed Order !"_s;
        QTest::newRow("delete denied") << u"kmGroup 3 0= N"_s << u"Delete Denied !"_s;
        QTest::newRow("delete of billed quote allowed") << u"ktQuotMast 3 13=B Y"_s << u""_s;
    }
    void permissions()
    {
        QFETCH(QString, asked);
        QFETCH(QString, refusal);
        const QStringList a = asked.split(u' ');
        f->context().customization.CAllowDele = a[3];
        auto screen = ScreenOf(a[0]);
        if (a[2] != u"0=")
            screen->SetText(a[2].section(u'=', 0, 0).toInt(), a[2].section(u'=', 1));
        QCOMPARE(f->engine.CheckPermission(*screen, a[1].toInt()), refusal.isEmpty());
        QCOMPARE(f->messages().shown, refusal.isEmpty() ? QStringList() : QStringList { refusal });
    }

    void accessCodePrompts_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("setting"); // Y: the code is asked; the command goes on if right
        QTest::addColumn<bool>("rightCode");
        QTest::newRow("modify, wrong code") << int(C::Modify) << u"Y"_s << false;
        QTest::newRow("modify, no code asked") << int(C::Modify) << u"N"_s << false;
        QTest::newRow("delete, right code") << int(C::Delete) << u"Y"_s << true;
    }
    void accessCodePrompts()
    {
        QFETCH(int, command);
        QFETCH(QString, setting);
        QFETCH(bool, rightCode);
        const int prompts = setting == u"Y" ? 1 : 0;
        const bool goesOn = prompts == 0 || rightCode;
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
        QTest::addColumn<QString>("position"); // 2 / 3: stayed on the record shown, "Invalid Id !"
        QTest::newRow("existing id") << u"10"_s << u"10"_s << u"1 / 3"_s;
        QTest::newRow("missing id") << u"999"_s << u"999"_s << u"2 / 3"_s;
        QTest::newRow("not a number") << u"abc"_s << u"0"_s << u"2 / 3"_s;
    }
    void findById()
    {
        QFETCH(QString, typed);
        QFETCH(QString, position);
        OpenOnDairy();
        f->host.findBox = typed;
        f->Command(C::Find);
        QTEST(f->host.findBox, "boxAfter");
        QCOMPARE(f->host.positionLabel, position);
        QCOMPARE(
            f->messages().shown, position == u"2 / 3" ? QStringList { u"Invalid Id !"_s } : QStringList());
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
        QTest::addColumn<bool>("answer"); // to "Cancel Edits ?": Yes closes
        QTest::newRow("browsing closes at once") << false << false;
        QTest::newRow("editing, keep the edits") << true << false;
        QTest::newRow("editing, cancel the edits") << true << true;
    }
    void exit()
    {
        QFETCH(bool, editing);
        QFETCH(bool, answer);
        const bool closed = !editing || answer;
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

    void validation_data()
    {
        QTest::addColumn<QString>("typed"); // "field=text;...", over a record that passes
        QTest::addColumn<QString>("problems"); // the lines after the heading; empty: valid
        QTest::newRow("valid record") << u""_s << u""_s;
        QTest::newRow("empty whole and amount") << u"4=;5="_s << u"\nAmount\nQty"_s;
        QTest::newRow("decimal comma is a number") << u"4=12,5"_s << u""_s;
        QTest::newRow("letters in an amount") << u"4=12a"_s << u"\nAmount"_s;
        QTest::newRow("no such day") << u"1=2026-02-30"_s << u"\nEntry Date"_s;
        QTest::newRow("duplicate in other letter case") << u"2=abc"_s << u"\nCode (Exists)"_s;
        QTest::newRow("blank unique field is empty, not existing") << u"2= "_s << u"\nCode"_s;
        QTest::newRow("statement fragment in unique field") << u"2=x' Or '1'='1"_s << u""_s;
        QTest::newRow("five and five split by a dash") << u"3=01234-56789"_s << u"\nPhone"_s;
        QTest::newRow("pair already taken") << u"5=5;6=x"_s << u"\nPair (Exists)"_s;
        QTest::newRow("unique number not a number") << u"8=12a"_s << u"\nCard"_s;
        QTest::newRow("unique number taken") << u"8=555"_s << u"\nCard (Exists)"_s;
        QTest::newRow("several, in field order")
            << u"1=;2=ABC;7="_s << u"\nEntry Date\nCode (Exists)\nNote"_s;
    }
    void validation()
    {
        QFETCH(QString, typed);
        QFETCH(QString, problems);
        RecordScreen& screen = OpenCheckScreen();
        screen.field(0).text = NewRecordText();
        const QStringList valid { u"2026-03-05"_s, u"NEW1"_s, u"0123456789"_s, u"1.00"_s, u"1"_s, u"Y"_s,
            u"note"_s, u"556"_s };
        for (int i = 0; i < int(valid.size()); ++i)
            screen.SetText(i + 1, valid.at(i));
        for (const QString& item : typed.split(u';', Qt::SkipEmptyParts)) {
            const qsizetype equals = item.indexOf(u'=');
            screen.SetText(item.left(equals).toInt(), item.mid(equals + 1));
        }
        QCOMPARE(f->engine.ValidateRecord(screen), problems.isEmpty());
        QCOMPARE(f->messages().shown,
            problems.isEmpty() ? QStringList() : QStringList { u"Invalid-Empty Fields:\n\n"_s + problems });
    }

    // The engine runs the screen's own rules when it shows a record (the group's name beside its
    // id). Modify and Save write the typed fields by column position and nothing else: the stock
    // kept by posting is shown and typed over but never saved from the screen, and what a
    // record shows is what it holds (an amount with more decimals than shown, an amount wider
    // than the typing limit, a name whose width counts an emoji as one character).
    void saveWritesTypedFieldsOnly()
    {
        const QString name = u"Birthday cake, large "_s + QString::fromUtf8("\xF0\x9F\x8E\x82") + u"!!!"_s;
        QVariantList row = Product(1, "P1", "x");
        row[3] = name;
        row[6] = 2.345;
        row[7] = 123456789012.5;
        row[4] = 20;
        f->Insert("ktProduct", row);
        RecordScreen& screen = f->Open(u"ktProduct"_s);
        QCOMPARE(screen.field(4).hint, u"Dairy"_s);
        QCOMPARE(screen.Text(3), name);
        QCOMPARE(screen.Text(7), u"123456789012.50"_s);
        f->Command(CommandNumber::Modify);
        screen.SetText(8, u"20"_s);
        for (int i : { 9, 10, 11 })
            screen.SetText(i, u"999"_s);
        screen.SetText(14, u"2026-02-01"_s);
        screen.SetText(18, u"Changed"_s);
        f->Command(CommandNumber::Save);
        QCOMPARE(f->messages().shown, QStringList());
        // Purchased and sold stay as posted; the closing quantity follows the new opening one.
        QCOMPARE(
            f->Scalar(u"Select PName || '|' || PPurchRate || '|' || PSaleRate || '|' || POpenQty || '|' || "
                      "PRemarks || '|' || PPurchQty || '|' || PSaleQty || '|' || PCloseQty From ktProduct"_s)
                .toString(),
            name + u"|2.345|123456789012.5|20|Changed|5|3|22"_s);
        QCOMPARE(f->Scalar(u"Select PTranDate From ktProduct"_s).toDate(), TempDatabase::FixedToday());
        // The screen shows what was stored.
        QCOMPARE(screen.Text(9) + u' ' + screen.Text(11) + u' ' + screen.Text(7), u"5 22 123456789012.50"_s);
    }

    // A date field takes the short date as the running locale writes it, however long, and
    // a record with today's date saves under every locale.
    void datesFollowTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char* locale : { "C", "hu_HU", "bg_BG" })
            QTest::newRow(locale) << QString::fromLatin1(locale);
    }
    void datesFollowTheLocale()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        const QDate fifteenth(2026, 12, 15);
        RecordScreen& screen = f->Open(u"kmGroup"_s);
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        QCOMPARE(screen.Text(1), ShortDate(TempDatabase::FixedToday()));
        screen.SetText(1, ShortDate(fifteenth));
        screen.SetText(2, u"Frozen"_s);
        screen.SetText(4, u"Cold"_s);
        f->Command(CommandNumber::Save);
        QCOMPARE(f->messages().shown, QStringList { u"Confirm Add ?"_s });
        QCOMPARE(f->Scalar(u"Select EDate From kmGroup Where GName='Frozen'"_s).toDate(), fifteenth);
        QCOMPARE(screen.Text(1), ShortDate(fifteenth));
    }

    void failedSaveLeavesNothing_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<bool>("ruleFails");
        QTest::newRow("new record, after-save rule fails") << true << true;
        QTest::newRow("changed record, a field cannot be stored") << false << false;
    }
    void failedSaveLeavesNothing()
    {
        QFETCH(bool, adding);
        QFETCH(bool, ruleFails);
        f->Insert("ktProduct", Product(1, "P1", "White Bread"));
        f->Insert("ktProduct", Product(2, "P2", "Baguette"));
        RecordScreen& screen = f->Open(u"ktProduct"_s);
        bool failing = true;
        screen.rules = std::make_unique<AfterSaveRules>([&](ProgramContext&, Recordset&) {
            if (ruleFails && failing)
                throw DbError(5, u"Test"_s, u"database is locked"_s);
        });
        if (adding) {
            f->messages().Answer(true);
            f->Command(CommandNumber::Add);
        } else {
            f->Command(CommandNumber::Modify);
        }
        FillProduct(screen, u"NEW-1"_s);
        if (!ruleFails)
            screen.SetText(4, u"abc"_s); // the group id column holds whole numbers only
        f->Command(CommandNumber::Save);

        const auto stored = [&] {
            return f->Scalar(u"Select Group_Concat(PCode || ' ' || PName, ', ') From ktProduct"_s).toString();
        };
        QCOMPARE(f->messages().shown.last(), u"ErroR!"_s);
        QCOMPARE(stored(), u"P1 White Bread, P2 Baguette"_s);
        // The list holds no row the table does not, and the typed record is still there to fix.
        QCOMPARE(QList<QVariant>({ screen.list->RecordCount(), screen.recordTotal, screen.newRecordPending,
                     screen.frameEnabled, screen.Text(2), f->host.commandStates.last() }),
            QList<QVariant>({ 2, 2, adding, true, u"NEW-1"_s, u"Edit"_s }));

        failing = false;
        screen.SetText(4, u"1"_s);
        f->Command(CommandNumber::Save);
        QCOMPARE(stored(),
            adding ? u"P1 White Bread, P2 Baguette, NEW-1 Rye Bread"_s
                   : u"P1 White Bread, NEW-1 Rye Bread"_s);
        QCOMPARE(f->host.positionLabel + u' ' + screen.Text(0), adding ? u"3 / 3 3"_s : u"2 / 2 2"_s);
    }

    void crashInTheMiddleOfSaveWritesNothing()
    {
        f->Insert("ktProduct", Product(1, "P1", "White Bread"));
        RecordScreen& screen = f->Open(u"ktProduct"_s);
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        FillProduct(screen, u"NEW-1"_s);
        // The process dies after the new row and its columns were written, before the end of
        // the save: exit code 42 tells that the row was there when it died.
        screen.rules = std::make_unique<AfterSaveRules>([](ProgramContext& context, Recordset&) {
            const QVariant written
                = context.connection.Scalar(u"Select Count(*) From ktProduct Where PCode='NEW-1'"_s);
            ::_exit(written.toInt() == 1 ? 42 : 43);
        });
        const int status = test::InChild([&] {
            f->Command(CommandNumber::Save);
            ::_exit(44);
        });
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 42);

        Connection reopened;
        reopened.Open(f->test.database.file(), DatabasePassword());
        QCOMPARE(reopened.Scalar(u"Select Count(*) From ktProduct"_s).toInt(), 1);
        QCOMPARE(reopened.Scalar(u"Select PCode From ktProduct"_s).toString(), u"P1"_s);
    }

    // The user's password and the enterprise's access code: the stored hash is never shown, a
    // field left as shown keeps it, and what is typed is stored as its hash.
    void passwordModifyAndSave_data()
    {
        QTest::addColumn<QString>("table"); // the user's password takes any letter case
        QTest::addColumn<int>("keptStandIns"); // typed after so many of the shown characters; -1: not typed
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("accepted");
        QTest::addColumn<QString>("refused");
        QTest::newRow("password left as shown") << u"kaUser"_s << -1 << u""_s << u"KIVO"_s << u"x"_s;
        QTest::newRow("password retyped") << u"kaUser"_s << 0 << u"Åsa-Pw"_s << u"åSA-pw"_s << u"kivo"_s;
        QTest::newRow("typed over part of what was shown")
            << u"kaUser"_s << 3 << u"ab"_s << u"AB"_s << u"kivo"_s;
        QTest::newRow("access code retyped")
            << u"kaEnterprise"_s << 0 << u"Open-Up"_s << u"Open-Up"_s << u"open-up"_s;
    }
    void passwordModifyAndSave()
    {
        QFETCH(QString, table);
        QFETCH(int, keptStandIns);
        QFETCH(QString, typed);
        QFETCH(QString, accepted);
        QFETCH(QString, refused);
        const bool user = table == u"kaUser";
        const int field = user ? 3 : 13;
        const Case letterCase = user ? Case::Ignore : Case::Keep;
        f->context().customization.CModiPass = u"N"_s;
        const QString read
            = u"Select %1 From %2 Where EId=1"_s.arg(user ? u"UPasscd"_s : u"EPasscd"_s, table);
        const QString before = f->Scalar(read).toString();
        QVERIFY(PasswordHash::IsHash(before));

        RecordScreen& screen = f->Open(table);
        QVERIFY(!screen.Text(field).isEmpty() && !before.contains(screen.Text(field))
            && !screen.Text(field).contains(u"pbkdf2"_s));
        QCOMPARE(screen.field(field).maxLength, PasswordHash::TypedLength);
        f->Command(CommandNumber::Modify);
        if (keptStandIns >= 0)
            screen.SetText(field, screen.Text(field).left(keptStandIns) + typed);
        screen.SetText(2, screen.Text(2) + u"2"_s); // another field changes as well
        FillBlanks(screen);
        f->Command(CommandNumber::Save);
        QCOMPARE(f->messages().shown, QStringList());

        const QString after = f->Scalar(read).toString();
        QCOMPARE(after == before, keptStandIns < 0);
        QVERIFY(PasswordHash::Matches(accepted, after, letterCase));
        QVERIFY(!PasswordHash::Matches(refused, after, letterCase));
        if (!user)
            QCOMPARE(f->context().login.EnterpriseAccessCode, after);
        QVERIFY(!after.contains(screen.Text(field))); // shown again after the save: still not the hash
    }

    // A copy keeps the password of the user it copies; a new user's password is hashed.
    void passwordCopyAndAdd()
    {
        RecordScreen& screen = f->Open(u"kaUser"_s);
        for (int command : { CommandNumber::Xerox, CommandNumber::Add }) {
            f->messages().Answer(true);
            f->Command(command);
            screen.SetText(2, command == CommandNumber::Xerox ? u"Copy"_s : u"New"_s);
            if (command == CommandNumber::Add)
                screen.SetText(3, u"Till"_s);
            FillBlanks(screen);
            f->Command(CommandNumber::Save);
        }
        QCOMPARE(f->messages().shown, QStringList({ u"Confirm Xerox ?"_s, u"Confirm Add ?"_s }));
        const auto password = [&](const char* login) {
            return f->Scalar(u"Select UPasscd From kaUser Where ULogin='%1'"_s.arg(QLatin1StringView(login)))
                .toString();
        };
        QCOMPARE(password("Copy"), password("Chief"));
        QVERIFY(PasswordHash::Matches(u"till"_s, password("New"), Case::Ignore));
    }

private:
    // The seed rows leave some fields empty, which a save refuses.
    static void FillBlanks(RecordScreen& screen)
    {
        for (int i = 2; i <= screen.lastField; ++i)
            if (screen.Text(i).isEmpty())
                screen.SetText(i, u"-"_s);
    }

    // A table with one field of each checked kind, and a record that the checks compare with.
    // The table is not one of the program's, so the pair's first field names its column.
    RecordScreen& OpenCheckScreen()
    {
        Connection& connection = f->context().connection;
        connection.ExecuteRaw(QStringLiteral(
            "CREATE TABLE tCheck (EId INTEGER PRIMARY KEY AUTOINCREMENT, EDate DATE, Code TEXT(20) COLLATE "
            "NOCASE, "
            "Phone TEXT(20) COLLATE NOCASE, Amount REAL, Qty INTEGER, Pair TEXT(10) COLLATE NOCASE, "
            "Note TEXT(20) COLLATE NOCASE, Card TEXT(10) COLLATE NOCASE)"));
        connection.RefreshSchema();
        f->Insert("tCheck", { 7, Day, u"ABC"_s, u"0123456789"_s, 1.0, 5, u"X"_s, u"n"_s, u"555"_s });
        f->screen = std::make_unique<RecordScreen>(u"KvCheck"_s, u"Check"_s);
        RecordScreen& screen = *f->screen;
        screen.table = u"tCheck"_s;
        screen.lastField = 8;
        // caption, descriptor, column
        for (const char* design : { "Check Id||", "Entry Date|D|", "Code|U|Code", "Phone|N|", "Amount|F|",
                 "Qty|I|Qty", "Pair|V|Pair", "Note||", "Card|UF|Card" }) {
            const QStringList parts = QString::fromLatin1(design).split(u'|');
            Field field;
            field.caption = parts.at(0);
            field.descriptor = parts.at(1);
            field.column = parts.at(2);
            screen.fields.push_back(field);
        }
        f->engine.OpenRecordScreen(screen);
        return screen;
    }
};

QTEST_GUILESS_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
