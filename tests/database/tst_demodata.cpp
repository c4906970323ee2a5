#include "Connection.h"
#include "Recordset.h"
#include "Schema.h"
#include "TempDatabase.h"

#include <memory>
#include <QRegularExpression>
#include <QTest>

using namespace kivo;
using kivo::test::TempDatabase;

// The demo shop is what a new user first sees and what many tests start from: its rows must
// obey the same rules that the screens and the stock posting keep.
class TestDemoData : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;

    int Count(const QString& statement) { return m_db->connection().Scalar(statement).toInt(); }

private slots:
    void init() { m_db = std::make_unique<TempDatabase>(TempDatabase::Content::Demo); }
    void cleanup() { m_db.reset(); }

    void stockFormulaHoldsOnEveryProduct()
    {
        QVERIFY(Count(QStringLiteral("Select Count(*) From ktProduct")) >= 40);
        QCOMPARE(Count(QStringLiteral("Select Count(*) From ktProduct Where PCloseQty Is Null Or "
                                      "PCloseQty <> POpenQty + PPurchQty - PSaleQty")),
            0);
        QCOMPARE(Count(QStringLiteral("Select Count(*) From ktProduct Where PCloseQty < 0")), 0);
    }

    void uniqueValues_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::newRow("product code") << QStringLiteral("ktProduct") << QStringLiteral("PCode");
        QTest::newRow("customer phone") << QStringLiteral("ktCustomer") << QStringLiteral("CPhone");
        QTest::newRow("supplier company") << QStringLiteral("ktSupplier") << QStringLiteral("SCompany");
        QTest::newRow("group name") << QStringLiteral("kmGroup") << QStringLiteral("GName");
        QTest::newRow("user login") << QStringLiteral("kaUser") << QStringLiteral("ULogin");
    }

    // Unique fields are compared without regard to case when a record is saved.
    void uniqueValues()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        const int rows = Count(QStringLiteral("Select Count(*) From ") + table);
        QVERIFY(rows > 0);
        QCOMPARE(Count(QStringLiteral("Select Count(Distinct Lower(%1)) From %2").arg(column, table)), rows);
        QCOMPARE(Count(QStringLiteral("Select Count(*) From %1 Where Trim(%2) = ''").arg(table, column)), 0);
    }

    void customerPhonesAreTenDigits()
    {
        static const QRegularExpression tenDigits(QStringLiteral("^\\d{10}$"));
        Recordset rs(m_db->connection());
        rs.Open(QStringLiteral("Select CPhone From ktCustomer"));
        QVERIFY(rs.RecordCount() >= 8);
        for (; !rs.Eof(); rs.MoveNext())
            QVERIFY2(tenDigits.match(rs.Text(0)).hasMatch(), qPrintable(rs.Text(0)));
    }

    void textsFitTheirColumns_data()
    {
        QTest::addColumn<QString>("table");
        for (const TableDef& table : Schema::Tables())
            QTest::newRow(qPrintable(table.name)) << table.name;
    }

    void textsFitTheirColumns()
    {
        QFETCH(QString, table);
        for (const ColumnDef& column : Schema::Find(table)->columns) {
            if (column.kind != ColumnKind::Text && column.kind != ColumnKind::Flag)
                continue;
            const int longest
                = Count(QStringLiteral("Select IfNull(Max(Length(%1)), 0) From %2").arg(column.name, table));
            QVERIFY2(longest <= column.width, qPrintable(column.name));
        }
    }

    void everyProductBelongsToAGroup()
    {
        QCOMPARE(
            Count(QStringLiteral(
                "Select Count(*) From ktProduct a Left Join kmGroup b On a.PGId=b.EId Where b.EId Is Null")),
            0);
        // Every group has products, so the savings of each can be seen at the counter.
        QCOMPARE(Count(QStringLiteral("Select Count(*) From kmGroup Where EId Not In "
                                      "(Select PGId From ktProduct)")),
            0);
    }

    void optionValues_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("allowed");
        QTest::newRow("unit") << QStringLiteral("ktProduct") << QStringLiteral("PUom")
                              << QStringLiteral("Bag,Box,Pcs,Pair,Set,Pack");
        QTest::newRow("taxable") << QStringLiteral("ktProduct") << QStringLiteral("PTax")
                                 << QStringLiteral("T,N");
        QTest::newRow("product active")
            << QStringLiteral("ktProduct") << QStringLiteral("PActive") << QStringLiteral("Y,N");
        QTest::newRow("customer active")
            << QStringLiteral("ktCustomer") << QStringLiteral("CActive") << QStringLiteral("Y,N");
        QTest::newRow("login mode") << QStringLiteral("kaUser") << QStringLiteral("UMode")
                                    << QStringLiteral("S,B");
    }

    // Option fields hold exactly one of the screen's choices, cut to the column width; the
    // comparison is exact, as the screens compare them.
    void optionValues()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, allowed);
        const QStringList choices = allowed.split(u',');
        Recordset rs(m_db->connection());
        rs.Open(QStringLiteral("Select %1 From %2").arg(column, table));
        QVERIFY(rs.RecordCount() > 0);
        for (; !rs.Eof(); rs.MoveNext())
            QVERIFY2(choices.contains(rs.Text(0)), qPrintable(rs.Text(0)));
    }

    void shopHasSomethingToShow()
    {
        const int reorder
            = Count(QStringLiteral("Select Count(*) From ktProduct Where PCloseQty <= POrderQty"));
        QVERIFY2(reorder >= 2 && reorder <= 10, qPrintable(QString::number(reorder)));
        const int inactive = Count(QStringLiteral("Select Count(*) From ktProduct Where PActive='N'"));
        QVERIFY(inactive >= 1 && inactive <= 2);
        QCOMPARE(Count(QStringLiteral("Select Count(*) From kaUser Where UMode='S'")), 2);
        QCOMPARE(Count(QStringLiteral("Select Count(*) From kaUser Where EId=1 And ULogin='Chief'")), 1);
    }

    void demoRecordsPassValidation_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("rows");
        for (const char* table :
            { "ktProduct", "ktCustomer", "ktSupplier", "kmGroup", "kmPaytype", "kmAccount" })
            QTest::newRow(table) << QString::fromLatin1(table) << QStringLiteral("1=1");
        // The administrator comes with the defaults, without address or phone.
        QTest::newRow("kaUser") << QStringLiteral("kaUser") << QStringLiteral("EId > 1");
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
                invalid = column.name + QStringLiteral(" Is Null");
            else if (column.code.isEmpty() || column.code == u"U" || column.code == u"UF"
                || column.code == u"M")
                invalid = QStringLiteral("Trim(IfNull(%1, '')) = ''").arg(column.name);
            else
                continue;
            QCOMPARE(
                Count(QStringLiteral("Select Count(*) From %1 Where (%2) And %3").arg(table, rows, invalid)),
                0);
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
        m_db = std::make_unique<TempDatabase>(TempDatabase::Content::Demo, today);
        const QString first = today.addDays(-366).toString(Qt::ISODate);
        const QString last = today.toString(Qt::ISODate);
        for (const TableDef& table : Schema::Tables()) {
            for (const ColumnDef& column : table.columns) {
                if (column.kind != ColumnKind::Date)
                    continue;
                const QString outside = QStringLiteral("Select Count(*) From %1 Where %2 < '%3' Or %2 > '%4'")
                                            .arg(table.name, column.name, first, last);
                QVERIFY2(Count(outside) == 0, qPrintable(table.name + u'.' + column.name));
            }
        }
        QCOMPARE(Count(QStringLiteral("Select Count(*) From ktProduct Where PTranDate > EDate")),
            Count(QStringLiteral("Select Count(*) From ktProduct")));
    }
};

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
