#include "Connection.h"
#include "Recordset.h"
#include "Schema.h"
#include "ScreenCatalogue.h"
#include "TempDatabase.h"

#include <memory>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;
using kivo::test::TempDatabase;

// The demo shop is what a new user first sees and what many tests start from: its rows must
// obey the same rules that the screens and the stock posting keep.
class TestDemoData : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;

    int Count(const QString& statement) { return m_db->connection().Scalar(statement).toInt(); }

private slots:
    // The tests only read the demo shop: it is made once.
    void initTestCase() { m_db = std::make_unique<TempDatabase>(TempDatabase::Content::Demo); }

    // Each statement counts the rows breaking a rule.
    void rulesHold_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("stock formula") << u"Select Count(*) From ktProduct Where PCloseQty Is Null Or "
                                          "PCloseQty <> POpenQty + PPurchQty - PSaleQty"_s;
        QTest::newRow("no stock below nothing") << u"Select Count(*) From ktProduct Where PCloseQty < 0"_s;
        // Only active products are offered for sale.
        QTest::newRow("inactive products are not sold")
            << u"Select Count(*) From ktBillDetl d, ktProduct p Where d.BPId = p.PCode And p.PActive = 'N'"_s;
        // So that the savings of each group can be seen at the counter.
        QTest::newRow("every group has products")
            << u"Select Count(*) From kmGroup Where EId Not In (Select PGId From ktProduct)"_s;
    }
    void rulesHold()
    {
        QFETCH(QString, statement);
        QCOMPARE(Count(statement), 0);
    }

    // The demo shop's history gives the counter's reports something to show, and the rules
    // above something to hold on.
    void everyReportHasData_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("least");
        QTest::newRow("inactive products") << u"Select Count(*) From ktProduct Where PActive='N'"_s << 1;
        QTest::newRow("sales today") << u"Select Count(*) From ktBillMast Where EDate = '%1'"_s.arg(
            TempDatabase::FixedToday().toString(Qt::ISODate))
                                     << 1;
        QTest::newRow("discounts and taxes")
            << u"Select Min(Count(Distinct BDisPer), Sum(BTax1 > 0), Sum(BTax2 > 0)) From ktBillMast"_s << 2;
    }
    void everyReportHasData()
    {
        QFETCH(QString, statement);
        QFETCH(int, least);
        const int found = Count(statement);
        QVERIFY2(found >= least, qPrintable(QString::number(found)));
    }

    void optionValues_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("field");
        QTest::newRow("unit") << u"KvProduct"_s << 5;
        QTest::newRow("taxable") << u"KvProduct"_s << 13;
        QTest::newRow("login mode") << u"KvUser"_s << 5;
    }

    // Option fields hold exactly one of the choices their screen offers, cut to the field's
    // width as the screen cuts them; the comparison is exact, as the screens compare them.
    void optionValues()
    {
        QFETCH(QString, screen);
        QFETCH(int, field);
        const auto built = BuildRecordScreen(screen);
        QVERIFY(built);
        QStringList choices;
        for (const QString& choice : built->field(field).hint.split(u'/'))
            choices << choice.left(built->field(field).maxLength);
        const QString column = Schema::Find(built->table)->columns[size_t(field)].name;
        Recordset rs(m_db->connection());
        rs.Open(u"Select %1 From %2"_s.arg(column, built->table));
        QVERIFY(rs.RecordCount() > 0);
        for (; !rs.Eof(); rs.MoveNext())
            QVERIFY2(choices.contains(rs.Text(0)), qPrintable(rs.Text(0)));
    }

    void demoRecordsPassValidation_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("rows");
        for (const char* table :
            { "ktProduct", "ktCustomer", "ktSupplier", "kmGroup", "kmPaytype", "kmAccount" })
            QTest::newRow(table) << QString::fromLatin1(table) << u"1=1"_s;
        // The administrator comes with the defaults, without address or phone.
        QTest::newRow("kaUser") << u"kaUser"_s << u"EId > 1"_s;
    }

    // A demo record opened and saved unchanged must not be refused: plain text fields are
    // required, date fields need a date and number fields a number.
    void demoRecordsPassValidation()
    {
        QFETCH(QString, table);
        QFETCH(QString, rows);
        const TableDef* def = Schema::Find(table);
        for (int i = 1; i <= def->LastField(); ++i) {
            const ColumnDef& column = def->columns[size_t(i)];
            QString invalid;
            if (column.code == u"D" || column.code == u"I" || column.code == u"F")
                invalid = column.name + u" Is Null"_s;
            else if (column.code.isEmpty() || column.code == u"U" || column.code == u"UF"
                || column.code == u"M")
                invalid = u"Trim(IfNull(%1, '')) = ''"_s.arg(column.name);
            else
                continue;
            QCOMPARE(Count(u"Select Count(*) From %1 Where (%2) And %3"_s.arg(table, rows, invalid)), 0);
        }
    }

    // No date is fixed in the demo and none comes from the clock: all lie within the year
    // before the day the shop was created (here a leap day), and none after it.
    void datesFollowTheGivenDay()
    {
        const QDate today(2028, 2, 29);
        TempDatabase db(TempDatabase::Content::Demo, today);
        auto count = [&db](const QString& statement) { return db.connection().Scalar(statement).toInt(); };
        const QString first = today.addDays(-366).toString(Qt::ISODate);
        const QString last = today.toString(Qt::ISODate);
        for (const TableDef& table : Schema::Tables()) {
            for (const ColumnDef& column : table.columns) {
                if (column.kind != ColumnKind::Date)
                    continue;
                const QString outside = u"Select Count(*) From %1 Where %2 < '%3' Or %2 > '%4'"_s.arg(
                    table.name, column.name, first, last);
                QVERIFY2(count(outside) == 0, qPrintable(table.name + u'.' + column.name));
            }
        }
        // A product that never moved keeps its entry date as its last transaction.
        QCOMPARE(count(u"Select Count(*) From ktProduct Where PTranDate < EDate"_s), 0);
    }
};

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
