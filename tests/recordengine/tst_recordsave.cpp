// Validation before a save, writing the record by column position, and the save as one
// transaction: a failure or a crash in the middle of it leaves nothing of it behind.
#include "DatabasePassword.h"
#include "DateText.h"
#include "EngineFixture.h"

#include <cstdio>
#include <QScopeGuard>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

using namespace kivo;
using namespace kivo::test;

namespace {

const QDate Day(2026, 1, 15);

// A product row with every column, in table order.
QVariantList Product(int id, const char* code, const char* name)
{
    return { id, Day, QString::fromLatin1(code), QString::fromLatin1(name), 1, QStringLiteral("Pcs"), 1.5,
        2.25, 10, 5, 3, 12, 2, QStringLiteral("T"), Day, QStringLiteral("Fresh"), QStringLiteral("Aisle 1"),
        QStringLiteral("Y"), QStringLiteral("Regular") };
}

// Fills every typed field of the product screen with values that pass validation.
void FillProduct(RecordScreen& screen, const QString& code)
{
    const QStringList texts { code, QStringLiteral("Rye Bread"), QStringLiteral("1"), QStringLiteral("Pcs"),
        QStringLiteral("1.10"), QStringLiteral("1.95"), QStringLiteral("4"), QStringLiteral("0"),
        QStringLiteral("0"), QStringLiteral("4"), QStringLiteral("2"), QStringLiteral("N"),
        QStringLiteral("2026-03-05"), QStringLiteral("Sliced"), QStringLiteral("Aisle 2"),
        QStringLiteral("Y"), QStringLiteral("New line") };
    for (int i = 0; i < int(texts.size()); ++i)
        screen.SetText(i + 2, texts.at(i));
}

} // namespace

class TestRecordSave : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<EngineFixture>(); }
    void cleanup() { f.reset(); }

    void validation_data()
    {
        QTest::addColumn<QStringList>("typed"); // "field=text", over a record that passes
        QTest::addColumn<QString>("problems"); // the lines after the heading; empty: valid
        auto typed = [](std::initializer_list<const char*> items) {
            QStringList list;
            for (const char* item : items)
                list << QString::fromUtf8(item);
            return list;
        };
        QTest::newRow("valid record") << QStringList() << "";
        QTest::newRow("empty whole and amount") << typed({ "4=", "5=" }) << "\nAmount\nQty";
        QTest::newRow("decimal comma is a number") << typed({ "4=12,5" }) << "";
        QTest::newRow("letters in an amount") << typed({ "4=12a" }) << "\nAmount";
        QTest::newRow("blank text") << typed({ "7=   " }) << "\nNote";
        QTest::newRow("no such day") << typed({ "1=2026-02-30" }) << "\nEntry Date";
        QTest::newRow("duplicate in other letter case") << typed({ "2=abc" }) << "\nCode (Exists)";
        QTest::newRow("blank unique field is empty, not existing") << typed({ "2= " }) << "\nCode";
        QTest::newRow("statement fragment in unique field") << typed({ "2=x' Or '1'='1" }) << "";
        QTest::newRow("twelve digits hold ten") << typed({ "3=012345678901" }) << "";
        QTest::newRow("five and five split by a dash") << typed({ "3=01234-56789" }) << "\nPhone";
        QTest::newRow("nine digits") << typed({ "3=012345678" }) << "\nPhone";
        QTest::newRow("pair already taken") << typed({ "5=5", "6=x" }) << "\nPair (Exists)";
        QTest::newRow("same value in another pair") << typed({ "5=6", "6=X" }) << "";
        QTest::newRow("unique number not a number") << typed({ "8=12a" }) << "\nCard";
        QTest::newRow("unique number taken") << typed({ "8=555" }) << "\nCard (Exists)";
        QTest::newRow("several, in field order")
            << typed({ "1=", "2=ABC", "7=" }) << "\nEntry Date\nCode (Exists)\nNote";
    }
    void validation()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, problems);
        RecordScreen& screen = OpenCheckScreen();
        screen.field(0).text = NewRecordText();
        const QStringList valid { QStringLiteral("2026-03-05"), QStringLiteral("NEW1"),
            QStringLiteral("0123456789"), QStringLiteral("1.00"), QStringLiteral("1"), QStringLiteral("Y"),
            QStringLiteral("note"), QStringLiteral("556") };
        for (int i = 0; i < int(valid.size()); ++i)
            screen.SetText(i + 1, valid.at(i));
        for (const QString& item : typed) {
            const qsizetype equals = item.indexOf(u'=');
            screen.SetText(item.left(equals).toInt(), item.mid(equals + 1));
        }
        QCOMPARE(f->engine.ValidateRecord(screen), problems.isEmpty());
        QCOMPARE(f->messages().shown,
            problems.isEmpty() ? QStringList()
                               : QStringList { QStringLiteral("Invalid-Empty Fields:\n\n") + problems });
    }

    void ownRecordIsNoDuplicate_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("valid");
        QTest::newRow("the record itself") << "7" << true;
        QTest::newRow("a new record") << "(New)" << false;
    }
    void ownRecordIsNoDuplicate()
    {
        QFETCH(QString, id);
        RecordScreen& screen = OpenCheckScreen();
        screen.field(0).text = id;
        QTEST(f->engine.ValidateRecord(screen), "valid");
        if (!id.front().isDigit())
            QCOMPARE(f->messages().shown.last(),
                QStringLiteral("Invalid-Empty Fields:\n\n\nCode (Exists)\nPair (Exists)\nCard (Exists)"));
    }

    void saveWritesByPositionAndSkipsReadOnly()
    {
        f->Insert("ktProduct", Product(1, "P1", "White Bread"));
        RecordScreen& screen = f->Open(QStringLiteral("ktProduct"));
        f->Command(CommandNumber::Modify);
        screen.SetText(3, QStringLiteral("Brown Bread"));
        screen.SetText(7, QStringLiteral("2,75"));
        screen.SetText(8, QStringLiteral("20"));
        // Stock kept by posting: shown, typed over, never saved from the screen.
        for (int i : { 9, 10, 11 })
            screen.SetText(i, QStringLiteral("999"));
        screen.SetText(14, QStringLiteral("2026-02-01"));
        f->Command(CommandNumber::Save);
        QCOMPARE(f->messages().shown, QStringList());
        QCOMPARE(f->Scalar(QStringLiteral("Select PName From ktProduct")).toString(),
            QStringLiteral("Brown Bread"));
        QCOMPARE(f->Scalar(QStringLiteral("Select PSaleRate From ktProduct")).toDouble(), 2.75);
        QCOMPARE(f->Scalar(QStringLiteral("Select POpenQty From ktProduct")).toInt(), 20);
        // Purchased and sold stay as posted; the closing quantity follows the new opening one.
        QCOMPARE(f->Scalar(QStringLiteral("Select PPurchQty+PSaleQty From ktProduct")).toInt(), 5 + 3);
        QCOMPARE(f->Scalar(QStringLiteral("Select PCloseQty From ktProduct")).toInt(), 20 + 5 - 3);
        QCOMPARE(f->Scalar(QStringLiteral("Select PTranDate From ktProduct")).toDate(),
            TempDatabase::FixedToday());
        // The screen shows what was stored.
        QCOMPARE(screen.Text(9), QStringLiteral("5"));
        QCOMPARE(screen.Text(11), QStringLiteral("22"));
        QCOMPARE(screen.Text(7), QStringLiteral("2.75"));
    }

    // A date field takes the short date as the running locale writes it, however long, and
    // a record with today's date saves under every locale.
    void datesFollowTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char* locale : { "C", "en_US", "de_DE", "hu_HU", "ko_KR", "bg_BG", "sk_SK" })
            QTest::newRow(locale) << QString::fromLatin1(locale);
    }
    void datesFollowTheLocale()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        const QDate fifteenth(2026, 12, 15);
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        QCOMPARE(screen.Text(1), ShortDate(TempDatabase::FixedToday()));
        screen.SetText(1, ShortDate(fifteenth));
        QCOMPARE(screen.Text(1), ShortDate(fifteenth));
        screen.SetText(2, QStringLiteral("Frozen"));
        screen.SetText(4, QStringLiteral("Cold"));
        f->Command(CommandNumber::Save);
        QCOMPARE(f->messages().shown, QStringList { QStringLiteral("Confirm Add ?") });
        QCOMPARE(
            f->Scalar(QStringLiteral("Select EDate From kmGroup Where GName='Frozen'")).toDate(), fifteenth);
        QCOMPARE(screen.Text(1), ShortDate(fifteenth));
    }

    // What a record shows is what it holds: an amount wider than the typing limit, an amount
    // with more decimals than shown, and a name whose width counts an emoji as one character
    // all survive Modify and Save of another field.
    void showingNeverChangesData()
    {
        const QString name = QStringLiteral("Birthday cake, large ") + QString::fromUtf8("\xF0\x9F\x8E\x82")
            + QStringLiteral("!!!");
        QVariantList row = Product(1, "P1", "x");
        row[3] = name;
        row[6] = 2.345;
        row[7] = 123456789012.5;
        f->Insert("ktProduct", row);
        RecordScreen& screen = f->Open(QStringLiteral("ktProduct"));
        QCOMPARE(screen.Text(3), name);
        QCOMPARE(screen.Text(7), QStringLiteral("123456789012.50"));
        f->Command(CommandNumber::Modify);
        screen.SetText(18, QStringLiteral("Changed"));
        f->Command(CommandNumber::Save);
        QCOMPARE(f->messages().shown, QStringList());
        QCOMPARE(f->Scalar(QStringLiteral("Select PName From ktProduct")).toString(), name);
        QCOMPARE(f->Scalar(QStringLiteral("Select PPurchRate From ktProduct")).toDouble(), 2.345);
        QCOMPARE(f->Scalar(QStringLiteral("Select PSaleRate From ktProduct")).toDouble(), 123456789012.5);
        QCOMPARE(f->Scalar(QStringLiteral("Select PRemarks From ktProduct")).toString(),
            QStringLiteral("Changed"));
    }

    void afterSaveRulesSeeTheSavedRow()
    {
        RecordScreen& screen = f->Open(QStringLiteral("kmGroup"));
        QString seen;
        screen.rules = std::make_unique<AfterSaveRules>([&](ProgramContext&, Recordset& row) {
            seen = row.Text(QStringLiteral("EId")) + u':' + row.Text(QStringLiteral("GName"));
        });
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        screen.SetText(2, QStringLiteral("Frozen"));
        screen.SetText(4, QStringLiteral("Cold"));
        f->Command(CommandNumber::Save);
        QCOMPARE(seen, QStringLiteral("1:Frozen"));
    }

    void failedSaveLeavesNothing_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<bool>("ruleFails");
        QTest::newRow("new record, after-save rule fails") << true << true;
        QTest::newRow("new record, a field cannot be stored") << true << false;
        QTest::newRow("changed record, after-save rule fails") << false << true;
        QTest::newRow("changed record, a field cannot be stored") << false << false;
    }
    void failedSaveLeavesNothing()
    {
        QFETCH(bool, adding);
        QFETCH(bool, ruleFails);
        f->Insert("ktProduct", Product(1, "P1", "White Bread"));
        f->Insert("ktProduct", Product(2, "P2", "Baguette"));
        RecordScreen& screen = f->Open(QStringLiteral("ktProduct"));
        bool failing = true;
        screen.rules = std::make_unique<AfterSaveRules>([&](ProgramContext&, Recordset&) {
            if (ruleFails && failing)
                throw DbError(5, QStringLiteral("Test"), QStringLiteral("database is locked"));
        });
        if (adding) {
            f->messages().Answer(true);
            f->Command(CommandNumber::Add);
        } else {
            f->Command(CommandNumber::Modify);
        }
        FillProduct(screen, QStringLiteral("NEW-1"));
        if (!ruleFails)
            screen.SetText(4, QStringLiteral("abc")); // the group id column holds whole numbers only
        f->Command(CommandNumber::Save);

        QCOMPARE(f->messages().shown.last(), QStringLiteral("ErroR!"));
        QCOMPARE(f->Scalar(QStringLiteral("Select Count(*) From ktProduct")).toInt(), 2);
        QCOMPARE(f->Scalar(QStringLiteral("Select Count(*) From ktProduct Where PCode='NEW-1'")).toInt(), 0);
        QCOMPARE(f->Scalar(QStringLiteral("Select PName From ktProduct Where EId=2")).toString(),
            QStringLiteral("Baguette"));
        // The list holds no row the table does not, and the typed record is still there to fix.
        QCOMPARE(screen.list->RecordCount(), 2);
        QCOMPARE(screen.recordTotal, 2);
        QCOMPARE(screen.newRecordPending, adding);
        QCOMPARE(screen.frameEnabled, true);
        QCOMPARE(screen.Text(2), QStringLiteral("NEW-1"));
        QCOMPARE(f->host.commandStates.last(), QStringLiteral("Edit"));

        failing = false;
        screen.SetText(4, QStringLiteral("1"));
        f->Command(CommandNumber::Save);
        QCOMPARE(f->Scalar(QStringLiteral("Select Count(*) From ktProduct Where PCode='NEW-1'")).toInt(), 1);
        QCOMPARE(f->Scalar(QStringLiteral("Select Count(*) From ktProduct")).toInt(), adding ? 3 : 2);
        QCOMPARE(f->host.positionLabel, adding ? QStringLiteral("3 / 3") : QStringLiteral("2 / 2"));
        QCOMPARE(screen.Text(0), adding ? QStringLiteral("3") : QStringLiteral("2"));
    }

    void cancelAfterFailedAddShowsLastRecord()
    {
        f->Insert("ktProduct", Product(1, "P1", "White Bread"));
        RecordScreen& screen = f->Open(QStringLiteral("ktProduct"));
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        FillProduct(screen, QStringLiteral("NEW-1"));
        screen.SetText(4, QStringLiteral("abc"));
        f->Command(CommandNumber::Save);
        f->Command(CommandNumber::Cancel);
        QCOMPARE(screen.Text(2), QStringLiteral("P1"));
        QCOMPARE(f->host.positionLabel, QStringLiteral("1 / 1"));
        QCOMPARE(screen.newRecordPending, false);
    }

    void crashInTheMiddleOfSaveWritesNothing()
    {
        f->Insert("ktProduct", Product(1, "P1", "White Bread"));
        RecordScreen& screen = f->Open(QStringLiteral("ktProduct"));
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        FillProduct(screen, QStringLiteral("NEW-1"));
        // The process dies after the new row and its columns were written, before the end of
        // the save: exit code 42 tells that the row was there when it died.
        screen.rules = std::make_unique<AfterSaveRules>([](ProgramContext& context, Recordset&) {
            const QVariant written = context.connection.Scalar(
                QStringLiteral("Select Count(*) From ktProduct Where PCode='NEW-1'"));
            ::_exit(written.toInt() == 1 ? 42 : 43);
        });
        std::fflush(nullptr);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            f->Command(CommandNumber::Save);
            ::_exit(44);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 42);

        Connection reopened;
        reopened.Open(f->test.database.file(), DatabasePassword());
        QCOMPARE(reopened.Scalar(QStringLiteral("Select Count(*) From ktProduct")).toInt(), 1);
        QCOMPARE(
            reopened.Scalar(QStringLiteral("Select PCode From ktProduct")).toString(), QStringLiteral("P1"));
    }

private:
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
        f->Insert("tCheck",
            { 7, Day, QStringLiteral("ABC"), QStringLiteral("0123456789"), 1.0, 5, QStringLiteral("X"),
                QStringLiteral("n"), QStringLiteral("555") });
        struct Design {
            const char* caption;
            const char* descriptor;
            const char* column;
        };
        const Design designs[] = { { "Check Id", "", "" }, { "Entry Date", "D", "" }, { "Code", "U", "Code" },
            { "Phone", "N", "" }, { "Amount", "F", "" }, { "Qty", "I", "Qty" }, { "Pair", "V", "Pair" },
            { "Note", "", "" }, { "Card", "UF", "Card" } };
        f->screen = std::make_unique<RecordScreen>(QStringLiteral("KvCheck"), QStringLiteral("Check"));
        RecordScreen& screen = *f->screen;
        screen.table = QStringLiteral("tCheck");
        screen.lastField = 8;
        for (const Design& design : designs) {
            Field field;
            field.caption = QString::fromLatin1(design.caption);
            field.descriptor = QString::fromLatin1(design.descriptor);
            field.column = QString::fromLatin1(design.column);
            screen.fields.push_back(field);
        }
        f->engine.OpenRecordScreen(screen);
        return screen;
    }

    std::unique_ptr<EngineFixture> f;
};

QTEST_GUILESS_MAIN(TestRecordSave)
#include "tst_recordsave.moc"
