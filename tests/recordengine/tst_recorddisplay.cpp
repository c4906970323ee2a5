// Showing a record by its descriptors, clearing the screen for a new one, the look-up
// captions beside id fields and the option buttons.
#include "EngineFixture.h"

#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

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
        QTest::newRow("D date") << 1 << u"D"_s << QVariant(QDate(2026, 2, 28)) << u"2026-02-28"_s;
        QTest::newRow("F large amount") << 2 << u"F"_s << QVariant(1234567.891) << u"1234567.89"_s;
        QTest::newRow("F null is not 0.00") << 2 << u"F"_s << null << u""_s;
        QTest::newRow("I whole") << 3 << u"I"_s << QVariant(42) << u"42"_s;
        QTest::newRow("plain amount has no trailing zeros") << 2 << u""_s << QVariant(2.5) << u"2.5"_s;
        QTest::newRow("S null") << 4 << u"S"_s << null << u""_s;
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
        QVariantList row { 1, QDate(2026, 1, 1), 1.0, 1, u"x"_s };
        row[column] = stored;
        f->Insert("tShow", row);

        RecordScreen screen(u"KvShow"_s, u"Show"_s);
        screen.table = u"tShow"_s;
        screen.screenKey = u"Mast"_s;
        screen.lastField = 4;
        screen.fields.resize(5);
        screen.field(column).descriptor = descriptor;
        f->engine.OpenRecordScreen(screen);
        QTEST(screen.Text(column), "shown");
        QCOMPARE(f->messages().shown, QStringList());
    }

    void clearRecordDefaults_data()
    {
        QTest::addColumn<QString>("descriptor");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        QTest::newRow("D today") << u"D"_s << u"2026-03-05"_s << u"Yes/No"_s;
        QTest::newRow("F zero amount") << u"F"_s << u"0.00"_s << u"Yes/No"_s;
        QTest::newRow("M empty, hint dot") << u"M"_s << u""_s << u"."_s;
        QTest::newRow("S default value") << u"S"_s << u"Pcs"_s << u"Yes/No"_s;
    }
    void clearRecordDefaults()
    {
        QFETCH(QString, descriptor);
        RecordScreen screen(u"KvClear"_s, u"Clear"_s);
        screen.lastField = 1;
        // Field 2 lies beyond the last saved field: a new record clears it all the same.
        screen.fields.resize(3);
        screen.field(0).text = u"12"_s;
        for (int i : { 1, 2 }) {
            Field& field = screen.field(i);
            field.descriptor = descriptor;
            field.column = u"Pcs"_s;
            field.text = u"old"_s;
            field.hint = u"Yes/No"_s;
        }
        f->engine.ClearRecord(screen);
        QCOMPARE(screen.Text(0), u"(New)"_s);
        for (int i : { 1, 2 }) {
            QTEST(screen.Text(i), "text");
            QTEST(screen.field(i).hint, "hint");
        }
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        const QString byId = u"Select GName From kmGroup Where EId="_s;
        const QString byName = u"Select GRemarks From kmGroup Where GName='"_s;
        QTest::newRow("id found") << byId << u"2"_s << u"Dairy"_s;
        QTest::newRow("empty field runs nothing") << byId << u""_s << u""_s;
        QTest::newRow("text after an unquoted statement") << byId << u"2 Or 1=1"_s << u""_s;
        QTest::newRow("quoted, quote inside") << byName << u"o'brien"_s << u"Irish goods"_s;
        QTest::newRow("quoted, fragment stays text") << byName << u"x' Or 'a'='a"_s << u""_s;
    }
    void lookup()
    {
        f->Insert("kmGroup", { 1, TempDatabase::FixedToday(), u"O'Brien"_s, 0.0, u"Irish goods"_s });
        f->Insert("kmGroup", { 2, TempDatabase::FixedToday(), u"Dairy"_s, 0.0, u"Chilled"_s });
        QFETCH(QString, sql);
        QFETCH(QString, text);
        auto screen = ScreenOf(u"ktProduct"_s);
        screen->field(4).text = text;
        screen->field(4).hint = u"stale"_s;
        RecordEngine::ShowLookup(f->context(), *screen, 4, sql);
        QTEST(screen->field(4).hint, "hint");
        QCOMPARE(f->messages().shown, QStringList());
    }

    // A note after the last option stays with it, where the field is wide enough to show it.
    void cycleChoiceKeepsTheNote()
    {
        auto screen = ScreenOf(u"ktProduct"_s);
        Field& field = screen->field(5);
        field.hint = u"0/1/2 (Digit after Decimal)"_s;
        field.maxLength = 0;
        // The stepping starts at the first option whatever the field holds.
        field.text = u"Pcs"_s;
        QStringList written;
        for (int press = 0; press < 4; ++press) {
            f->engine.CycleChoice(*screen, 5);
            written << field.text;
        }
        QCOMPARE(written, QStringList({ u"0"_s, u"1"_s, u"2 (Digit after Decimal)"_s, u"0"_s }));
    }

    void badColumnLeavesOtherFieldsShown()
    {
        f->Insert("kmGroup", { 1, TempDatabase::FixedToday(), u"Dairy"_s, 2.5, u"Chilled"_s });
        auto screen = ScreenOf(u"kmGroup"_s);
        // A screen that claims one field more than its table has.
        screen->lastField = 5;
        screen->fields.push_back(Field {});
        f->engine.OpenRecordScreen(*screen);
        QCOMPARE(screen->Text(2), u"Dairy"_s);
        QCOMPARE(screen->Text(4), u"Chilled"_s);
        QCOMPARE(f->messages().shown, QStringList { u"ErroR!"_s });
        QCOMPARE(f->test.ErrorLogLines().size(), 1);
        QCOMPARE(f->host.positionLabel, u"1 / 1"_s);
    }

private:
    std::unique_ptr<EngineFixture> f;
};

QTEST_GUILESS_MAIN(TestRecordDisplay)
#include "tst_recorddisplay.moc"
