#include "Connection.h"
#include "Recordset.h"
#include "Schema.h"
#include "ScreenCatalogue.h"
#include "ShopVocabulary.h"
#include "TempDatabase.h"

#include <memory>
#include <QSet>
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
    void cleanupTestCase() { m_db.reset(); }

    void stockFormulaHoldsOnEveryProduct()
    {
        QVERIFY(Count(u"Select Count(*) From ktProduct"_s) >= 40);
        QCOMPARE(Count(u"Select Count(*) From ktProduct Where PCloseQty Is Null Or "
                       "PCloseQty <> POpenQty + PPurchQty - PSaleQty"_s),
            0);
        QCOMPARE(Count(u"Select Count(*) From ktProduct Where PCloseQty < 0"_s), 0);
    }

    void uniqueValues_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::newRow("product code") << u"ktProduct"_s << u"PCode"_s;
        QTest::newRow("customer phone") << u"ktCustomer"_s << u"CPhone"_s;
        QTest::newRow("supplier company") << u"ktSupplier"_s << u"SCompany"_s;
        QTest::newRow("group name") << u"kmGroup"_s << u"GName"_s;
        QTest::newRow("user login") << u"kaUser"_s << u"ULogin"_s;
    }

    // Unique fields are compared without regard to case when a record is saved.
    void uniqueValues()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        const int rows = Count(u"Select Count(*) From "_s + table);
        QVERIFY(rows > 0);
        QCOMPARE(Count(u"Select Count(Distinct Lower(%1)) From %2"_s.arg(column, table)), rows);
        QCOMPARE(Count(u"Select Count(*) From %1 Where Trim(%2) = ''"_s.arg(table, column)), 0);
    }

    void customerPhonesAreTenDigits()
    {
        QVERIFY(Count(u"Select Count(*) From ktCustomer"_s) >= 8);
        QCOMPARE(
            Count(u"Select Count(*) From ktCustomer Where length(CPhone) <> 10 Or CPhone Glob '*[^0-9]*'"_s),
            0);
    }

    void everyProductBelongsToAGroup()
    {
        QCOMPARE(
            Count(
                u"Select Count(*) From ktProduct a Left Join kmGroup b On a.PGId=b.EId Where b.EId Is Null"_s),
            0);
        // Every group has products, so the savings of each can be seen at the counter.
        QCOMPARE(Count(u"Select Count(*) From kmGroup Where EId Not In "
                       "(Select PGId From ktProduct)"_s),
            0);
    }

    void optionValues_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("field");
        QTest::newRow("unit") << u"KvProduct"_s << 5;
        QTest::newRow("taxable") << u"KvProduct"_s << 13;
        QTest::newRow("product active") << u"KvProduct"_s << 17;
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

    void everyReportHasData_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("least");
        QTest::newRow("sales in each of three months")
            << u"Select Count(Distinct strftime('%Y-%m', EDate)) From ktBillMast Where EDate > date('TODAY', "
               "'-3 months')"_s
            << 3;
        QTest::newRow("sales today") << u"Select Count(*) From ktBillMast Where EDate = 'TODAY'"_s << 1;
        QTest::newRow("sales in every group") << u"Select Count(*) = 0 From kmGroup g Where Not Exists "
                                                 u"(Select 1 From ktBillDetl d, ktProduct p "
                                                 "Where d.BPId = p.PCode And p.PGId = g.EId)"_s
                                              << 1;
        QTest::newRow("discounts and taxes")
            << u"Select Min(Count(Distinct BDisPer), Sum(BTax1 > 0), Sum(BTax2 > 0)) From ktBillMast"_s << 2;
        QTest::newRow("purchases") << u"Select Count(*) From ktPurcMast Where PTax > 0"_s << 3;
        QTest::newRow("quotes billed, open and cancelled")
            << u"Select Count(Distinct QStatus) From ktQuotMast"_s << 3;
        QTest::newRow("orders purchased, open and cancelled")
            << u"Select Count(Distinct OStatus) From ktOrdrMast"_s << 3;
        QTest::newRow("ledger in and out") << u"Select Min(Sum(ADAmount > 0), Sum(AWAmount > 0)) From "
                                              "ktAccounting a, kmAccount b Where a.AAId = b.EId"_s
                                           << 3;
        QTest::newRow("profit")
            << u"Select Count(*) From ktBillDetl d, ktProduct p Where d.BPId = p.PCode And "
               "d.BRate > p.PPurchRate"_s
            << 10;
        QTest::newRow("reorder") << u"Select Count(*) From ktProduct Where PCloseQty <= POrderQty"_s << 1;
    }

    // The demo shop's history gives every report something to show.
    void everyReportHasData()
    {
        QFETCH(QString, statement);
        QFETCH(int, least);
        statement.replace(u"TODAY"_s, TempDatabase::FixedToday().toString(Qt::ISODate));
        const int found = Count(statement);
        QVERIFY2(found >= least, qPrintable(QString::number(found)));
    }

    // Only active products are offered for sale.
    void inactiveProductsAreNotSold()
    {
        QVERIFY(Count(u"Select Count(*) From ktProduct Where PActive='N'"_s) > 0);
        QCOMPARE(Count(u"Select Count(*) From ktBillDetl d, ktProduct p Where d.BPId = p.PCode "
                       "And p.PActive = 'N'"_s),
            0);
    }

    void noEmptyValues_data()
    {
        QTest::addColumn<QString>("table");
        for (const TableDef& table : Schema::Tables())
            QTest::newRow(qPrintable(table.name)) << table.name;
    }

    // The schema refuses what a column's kind cannot hold, but takes an empty value anywhere;
    // the demo leaves no long, number or text column empty.
    void noEmptyValues()
    {
        QFETCH(QString, table);
        for (const ColumnDef& column : Schema::Find(table)->columns)
            if (column.kind != ColumnKind::Date)
                QVERIFY2(Count(u"Select Count(*) From %1 Where %2 Is Null"_s.arg(table, column.name)) == 0,
                    qPrintable(column.name));
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

    // Generated suppliers are told apart by their company name; a big shop has many.
    void companyNamesAreUniqueAndFit()
    {
        QSet<QByteArray> names;
        for (qint64 i = 0; i < 5000; ++i) {
            const QByteArray name = ShopVocabulary::Company(i);
            QVERIFY2(name.size() <= Schema::Find(u"ktSupplier"_s)->columns[2].width, name.constData());
            names.insert(name.toLower());
        }
        QCOMPARE(names.size(), 5000);
    }

    void generatedTextsFit()
    {
        const TableDef* product = Schema::Find(u"ktProduct"_s);
        const TableDef* customer = Schema::Find(u"ktCustomer"_s);
        auto width = [](const TableDef* table, const char* column) {
            return table->columns[size_t(table->ColumnIndex(QLatin1StringView(column)))].width;
        };
        for (quint64 n = 0; n < 2000; ++n) {
            const ShopVocabulary::ProductSample p
                = ShopVocabulary::Product(int(n % ShopVocabulary::Kinds), n * 7919);
            QVERIFY2(p.name.size() <= width(product, "PName"), p.name.constData());
            QVERIFY(qstrlen(p.specific) <= size_t(width(product, "PSpecific")));
            const ShopVocabulary::PersonSample c = ShopVocabulary::Person(n * 104729, qint64(n) * 999983);
            QVERIFY2(c.name.size() <= width(customer, "CName"), c.name.constData());
            QVERIFY2(c.address.size() <= width(customer, "CAddress"), c.address.constData());
            QVERIFY2(c.zip.size() <= width(customer, "CZipCode"), c.zip.constData());
            QVERIFY2(c.email.size() <= width(customer, "CEmail"), c.email.constData());
        }
    }

    void datesFollowTheGivenDay_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::newRow("leap day") << QDate(2028, 2, 29);
        QTest::newRow("far past") << QDate(2001, 7, 16);
    }

    // No date is fixed in the demo and none comes from the clock: all lie within the year
    // before the day the shop was created, and none after it.
    void datesFollowTheGivenDay()
    {
        QFETCH(QDate, today);
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
