// Showing a record by its descriptors, clearing the screen for a new one, the look-up
// captions beside id fields and the option buttons.
#include "EngineFixture.h"

#include <QFile>
#include <QTest>

using namespace kivo;
using namespace kivo::test;

class TestRecordDisplay : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<EngineFixture>(); }
    void cleanup() { f.reset(); }

    void showByDescriptor_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("descriptor");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        const QVariant null;
        QTest::newRow("D date") << 1 << QStringLiteral("D") << QVariant(QDate(2026, 2, 28))
                                << QStringLiteral("2026-02-28");
        QTest::newRow("F large amount")
            << 2 << QStringLiteral("F") << QVariant(1234567.891) << QStringLiteral("1234567.89");
        QTest::newRow("F null is not 0.00") << 2 << QStringLiteral("F") << null << QStringLiteral("");
        QTest::newRow("F on a whole column")
            << 3 << QStringLiteral("F") << QVariant(7) << QStringLiteral("7.00");
        QTest::newRow("I whole") << 3 << QStringLiteral("I") << QVariant(42) << QStringLiteral("42");
        QTest::newRow("plain amount has no trailing zeros")
            << 2 << QStringLiteral("") << QVariant(2.5) << QStringLiteral("2.5");
        QTest::newRow("N text") << 4 << QStringLiteral("N") << QVariant(QStringLiteral("0123456789"))
                                << QStringLiteral("0123456789");
        QTest::newRow("S null") << 4 << QStringLiteral("S") << null << QStringLiteral("");
    }
    void showByDescriptor()
    {
        QFETCH(int, column);
        QFETCH(QString, descriptor);
        QFETCH(QVariant, stored);
        Connection& connection = f->context().connection;
        connection.ExecuteRaw(
            QStringLiteral("CREATE TABLE tShow (EId INTEGER PRIMARY KEY AUTOINCREMENT, "
                           "EDate DATE, Amount REAL, Whole INTEGER, Note TEXT(20) COLLATE NOCASE)"));
        connection.RefreshSchema();
        QVariantList row { 1, QDate(2026, 1, 1), 1.0, 1, QStringLiteral("x") };
        row[column] = stored;
        f->Insert("tShow", row);

        RecordScreen screen(QStringLiteral("KvShow"), QStringLiteral("Show"));
        screen.table = QStringLiteral("tShow");
        screen.screenKey = QStringLiteral("Mast");
        screen.lastField = 4;
        screen.fields.resize(5);
        screen.field(column).descriptor = descriptor;
        f->engine.OpenRecordScreen(screen);
        QTEST(screen.Text(column), "shown");
        QCOMPARE(f->messages().shown, QStringList());
    }

    void pictureShownWhenTheFileExists_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("exists");
        QTest::newRow("file in Doc") << QStringLiteral("logo.png") << true;
        QTest::newRow("missing file") << QStringLiteral("gone.png") << false;
        QTest::newRow("no file named") << QStringLiteral("") << false;
    }
    void pictureShownWhenTheFileExists()
    {
        QFETCH(QString, file);
        QFETCH(bool, exists);
        const QString docFolder = f->context().locations.DocFolder;
        QFile picture(docFolder + QStringLiteral("logo.png"));
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.close();
        f->Insert("kmGroup", { 1, TempDatabase::FixedToday(), file, 0.0, QString() });
        auto screen = ScreenOf(QStringLiteral("kmGroup"));
        screen->field(2).descriptor = QStringLiteral("P");
        screen->field(2).picture = QStringLiteral("stale.png");
        f->engine.OpenRecordScreen(*screen);
        QCOMPARE(screen->field(2).picture, exists ? docFolder + file : QString());

        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        QCOMPARE(screen->field(2).picture, QString());
    }

    void clearRecordDefaults_data()
    {
        QTest::addColumn<QString>("descriptor");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        QTest::newRow("D today") << QStringLiteral("D") << QStringLiteral("2026-03-05")
                                 << QStringLiteral("Yes/No");
        QTest::newRow("I zero") << QStringLiteral("I") << QStringLiteral("0") << QStringLiteral("Yes/No");
        QTest::newRow("F zero amount")
            << QStringLiteral("F") << QStringLiteral("0.00") << QStringLiteral("Yes/No");
        QTest::newRow("M empty, hint dot")
            << QStringLiteral("M") << QStringLiteral("") << QStringLiteral(".");
        QTest::newRow("S default value")
            << QStringLiteral("S") << QStringLiteral("Pcs") << QStringLiteral("Yes/No");
        QTest::newRow("plain empty") << QStringLiteral("") << QStringLiteral("") << QStringLiteral("Yes/No");
    }
    void clearRecordDefaults()
    {
        QFETCH(QString, descriptor);
        RecordScreen screen(QStringLiteral("KvClear"), QStringLiteral("Clear"));
        screen.lastField = 1;
        // Field 2 lies beyond the last saved field: a new record clears it all the same.
        screen.fields.resize(3);
        screen.field(0).text = QStringLiteral("12");
        for (int i : { 1, 2 }) {
            Field& field = screen.field(i);
            field.descriptor = descriptor;
            field.column = QStringLiteral("Pcs");
            field.text = QStringLiteral("old");
            field.hint = QStringLiteral("Yes/No");
        }
        QStringList modes;
        screen.rules = std::make_unique<RecordingRules>(std::move(screen.rules), modes);
        f->engine.ClearRecord(screen);
        QCOMPARE(screen.Text(0), QStringLiteral("(New)"));
        for (int i : { 1, 2 }) {
            QTEST(screen.Text(i), "text");
            QTEST(screen.field(i).hint, "hint");
        }
        QCOMPARE(modes, QStringList { QStringLiteral("DI") });
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        const QString byId = QStringLiteral("Select GName From kmGroup Where EId=");
        const QString byName = QStringLiteral("Select GRemarks From kmGroup Where GName='");
        QTest::newRow("id found") << byId << QStringLiteral("2") << QStringLiteral("Dairy");
        QTest::newRow("empty field runs nothing") << byId << QStringLiteral("") << QStringLiteral("");
        QTest::newRow("text after an unquoted statement")
            << byId << QStringLiteral("2 Or 1=1") << QStringLiteral("");
        QTest::newRow("quoted, quote inside")
            << byName << QStringLiteral("o'brien") << QStringLiteral("Irish goods");
        QTest::newRow("quoted, fragment stays text")
            << byName << QStringLiteral("x' Or 'a'='a") << QStringLiteral("");
        QTest::newRow("joined columns") << QStringLiteral("Select GName+';'+GRemarks From kmGroup Where EId=")
                                        << QStringLiteral("2") << QStringLiteral("Dairy;Chilled");
    }
    void lookup()
    {
        f->Insert("kmGroup",
            { 1, TempDatabase::FixedToday(), QStringLiteral("O'Brien"), 0.0, QStringLiteral("Irish goods") });
        f->Insert("kmGroup",
            { 2, TempDatabase::FixedToday(), QStringLiteral("Dairy"), 0.0, QStringLiteral("Chilled") });
        QFETCH(QString, sql);
        QFETCH(QString, text);
        auto screen = ScreenOf(QStringLiteral("ktProduct"));
        screen->field(4).text = text;
        screen->field(4).hint = QStringLiteral("stale");
        RecordEngine::ShowLookup(f->context(), *screen, 4, sql);
        QTEST(screen->field(4).hint, "hint");
        QCOMPARE(f->messages().shown, QStringList());
    }

    // A note after the last option stays with it, where the field is wide enough to show it.
    void cycleChoiceKeepsTheNote()
    {
        auto screen = ScreenOf(QStringLiteral("ktProduct"));
        Field& field = screen->field(5);
        field.hint = QStringLiteral("0/1/2 (Digit after Decimal)");
        field.maxLength = 0;
        // The stepping starts at the first option whatever the field holds.
        field.text = QStringLiteral("Pcs");
        QStringList written;
        for (int press = 0; press < 4; ++press) {
            f->engine.CycleChoice(*screen, 5);
            written << field.text;
        }
        QCOMPARE(written,
            QStringList({ QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2 (Digit after Decimal)"),
                QStringLiteral("0") }));
    }

    void badColumnLeavesOtherFieldsShown()
    {
        f->Insert("kmGroup",
            { 1, TempDatabase::FixedToday(), QStringLiteral("Dairy"), 2.5, QStringLiteral("Chilled") });
        auto screen = ScreenOf(QStringLiteral("kmGroup"));
        // A screen that claims one field more than its table has.
        screen->lastField = 5;
        screen->fields.push_back(Field {});
        f->engine.OpenRecordScreen(*screen);
        QCOMPARE(screen->Text(2), QStringLiteral("Dairy"));
        QCOMPARE(screen->Text(4), QStringLiteral("Chilled"));
        QCOMPARE(f->messages().shown, QStringList { QStringLiteral("ErroR!") });
        QCOMPARE(f->test.ErrorLogLines().size(), 1);
        QCOMPARE(f->host.positionLabel, QStringLiteral("1 / 1"));
    }

private:
    std::unique_ptr<EngineFixture> f;
};

QTEST_GUILESS_MAIN(TestRecordDisplay)
#include "tst_recorddisplay.moc"
