// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QTest>

#include "DbError.h"
#include "ShopRows.h"
#include "StockPosting.h"
#include "TempDatabase.h"

#include <memory>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const QDate Today = TempDatabase::FixedToday();

// "A:2 B:1.5" as grid lines.
std::vector<StockPosting::Line> Lines(const QStringList& words)
{
    std::vector<StockPosting::Line> lines;
    for (const QString& word : words) {
        const QString code = word.section(u':', 0, 0), quantity = word.section(u':', 1, 1);
        lines.push_back(
            { u"x"_s, code, u"Item "_s + code, quantity, u"1.00"_s, quantity, u"0"_s, quantity, u"T"_s });
    }
    return lines;
}

} // namespace

// The stock effects of each kind of document are also checked through the record engine
// (documentlines); here the posting itself: conversions, rounding, odd codes and failures.
class TestStockPosting : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;
    Connection* c = nullptr;

    QString Stock() { return ShopStock(*c, Today); }
    int StoredLines(const QString& table, qint64 id)
    {
        return c->Scalar(u"Select Count(*) From "_s + table + u" Where EId=?"_s, { id }).toInt();
    }

    // One step as the record engine runs it: "save SCREEN TABLE ID CODE:QTY ..." takes the old
    // lines back and writes the new ones; "delete SCREEN TABLE ID" only takes back.
    QStringList Run(const QString& step)
    {
        const QStringList words = step.split(u' ', Qt::SkipEmptyParts);
        const QString screen = words.at(1), table = words.at(2);
        const qint64 id = words.at(3).toLongLong();
        StockPosting posting(*c, Today);
        QStringList missing = posting.TakeBack(table, id, StockPosting::TakeBackMove(screen));
        if (words.at(0) == u"save"_s)
            missing << posting.Write(
                table, id, Today, Lines(words.mid(4)), StockPosting::PostMove(screen, table));
        return missing;
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TempDatabase>();
        c = &m_db->connection();
    }

    // Two products, A with 10 and B with 4 on hand, last moved before today; no lines.
    void init()
    {
        for (const char* table : { "ktProduct", "ktBillDetl", "ktQuotDetl", "ktPurcDetl", "ktOrdrDetl" })
            c->Execute(u"Delete From "_s + QLatin1String(table));
        AddProduct(*c, { .code = u"A"_s, .stock = 10 });
        AddProduct(*c, { .code = u"B"_s, .stock = 4 });
    }

    void posting_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("stock");

        QTest::newRow("checkout sells")
            << QStringList { u"save KvBilling ktBillDetl 1 A:2 B:1"_s } << u"A 0/2/8 today, B 0/1/3 today"_s;
        QTest::newRow("deleting one bill leaves another")
            << QStringList { u"save KvBilling ktBillDetl 1 A:2"_s, u"save KvBilling ktBillDetl 2 A:3 B:1"_s,
                   u"delete KvBill ktBillDetl 1"_s }
            << u"A 0/3/7 today, B 0/1/3 today"_s;
        QTest::newRow("purchase re-saved with a line less nets the difference") << QStringList {
            u"save KvPurchase ktPurcDetl 5 A:5 B:2"_s, u"save KvPurchase ktPurcDetl 5 A:3"_s
        } << u"A 3/0/13 today, B 0/0/4 today"_s;
        QTest::newRow("purchase then sale")
            << QStringList { u"save KvPurchase ktPurcDetl 5 B:6"_s, u"save KvBilling ktBillDetl 1 B:9"_s }
            << u"A 0/0/10 earlier, B 6/9/1 today"_s;
        QTest::newRow("quote saved moves nothing")
            << QStringList { u"save KvQuote ktQuotDetl 2 A:4"_s } << u"A 0/0/10 earlier, B 0/0/4 earlier"_s;
        QTest::newRow("quote billed sells")
            << QStringList { u"save KvQuote ktQuotDetl 2 A:4"_s, u"save KvQuote ktBillDetl 9 A:4"_s }
            << u"A 0/4/6 today, B 0/0/4 earlier"_s;
        QTest::newRow("order purchased posts once") << QStringList { u"save KvOrder ktOrdrDetl 3 B:7"_s,
            u"save KvOrder ktPurcDetl 8 B:7"_s } << u"A 0/0/10 earlier, B 7/0/11 today"_s;
        QTest::newRow("halves to even, each line on its own")
            << QStringList { u"save KvBilling ktBillDetl 1 A:2.5 A:3.5 A:0.5 B:1,5"_s }
            << u"A 0/6/4 today, B 0/2/2 today"_s;
        QTest::newRow("fractions off the half round to nearest")
            << QStringList { u"save KvPurchase ktPurcDetl 5 A:2.49 B:2.51"_s }
            << u"A 2/0/12 today, B 3/0/7 today"_s;
        QTest::newRow("stock may go below nothing")
            << QStringList { u"save KvBilling ktBillDetl 1 B:6"_s } << u"A 0/0/10 earlier, B 0/6/-2 today"_s;
        QTest::newRow("code matched regardless of case")
            << QStringList { u"save KvBilling ktBillDetl 1 a:1"_s } << u"A 0/1/9 today, B 0/0/4 earlier"_s;
    }

    void posting()
    {
        QFETCH(QStringList, steps);
        for (const QString& step : steps) {
            QCOMPARE(Run(step), QStringList());
            QCOMPARE(BrokenStock(*c), QStringList());
        }
        QTEST(Stock(), "stock");
    }

    // A product deleted since the document was written: its lines are still stored and
    // removed, no stock moves for them, and the caller learns their codes to report.
    void productDeletedSince()
    {
        QCOMPARE(Run(u"save KvPurchase ktPurcDetl 5 B:2,5 A:1"_s), QStringList());
        // The grid's decimal comma is stored as a number, the lines dated as the document.
        QCOMPARE(c->Scalar(u"Select PQty From ktPurcDetl Where PPId='B'"_s).toDouble(), 2.5);
        QCOMPARE(c->Scalar(u"Select EDate From ktPurcDetl Where PPId='B'"_s).toDate(), Today);
        c->Execute(u"Delete From ktProduct Where PCode='B'"_s);
        QCOMPARE(Run(u"delete KvPurchase ktPurcDetl 5"_s), QStringList { u"B"_s });
        QCOMPARE(StoredLines(u"ktPurcDetl"_s, 5), 0);
        QCOMPARE(Run(u"save KvBilling ktBillDetl 1 B:3 A:1"_s), QStringList { u"B"_s });
        QCOMPARE(StoredLines(u"ktBillDetl"_s, 1), 2);
        QCOMPARE(Stock(), u"A 0/1/9 today"_s);
        QCOMPARE(BrokenStock(*c), QStringList());
    }

    // Inside the caller's transaction: rolling the caller back leaves neither lines nor stock.
    void callerRollsBack()
    {
        c->Begin();
        Run(u"save KvBilling ktBillDetl 1 A:2"_s);
        QCOMPARE(Stock(), u"A 0/2/8 today, B 0/0/4 earlier"_s);
        c->Rollback();
        QCOMPARE(StoredLines(u"ktBillDetl"_s, 1), 0);
        QCOMPARE(Stock(), u"A 0/0/10 earlier, B 0/0/4 earlier"_s);
    }

    // A line the stock columns refuse undoes the whole call, earlier lines included; only
    // detail tables are written.
    void refusedCalls()
    {
        StockPosting posting(*c, Today);
        QVERIFY_THROWS_EXCEPTION(DbError,
            posting.Write(u"ktBillDetl"_s, 1, Today, Lines({ u"A:2"_s, u"B:abc"_s }), StockMove::Sale));
        QCOMPARE(c->TransactionDepth(), 0);
        QVERIFY_THROWS_EXCEPTION(DbError, posting.TakeBack(u"ktProduct"_s, 1, StockMove::Sale));
        QVERIFY_THROWS_EXCEPTION(
            DbError, posting.Write(u"ktBillDetl; Drop Table ktProduct"_s, 1, Today, {}, StockMove::Sale));
        QCOMPARE(StoredLines(u"ktBillDetl"_s, 1), 0);
        QCOMPARE(Stock(), u"A 0/0/10 earlier, B 0/0/4 earlier"_s);
    }

    void units_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<qint64>("units");
        QTest::newRow("-2.5 to even -2") << u"-2.5"_s << qint64(-2);
        QTest::newRow("-3.5 to even -4") << u"-3.5"_s << qint64(-4);
        QTest::newRow("blanks around") << u" 7 "_s << qint64(7);
        QTest::newRow("not a number") << u"abc"_s << qint64(0);
        QTest::newRow("empty") << QString() << qint64(0);
        QTest::newRow("beyond the column") << u"1e12"_s << qint64(2147483647);
        QTest::newRow("1e9") << u"1e9"_s << qint64(1000000000);
    }

    void units()
    {
        QFETCH(QString, quantity);
        QTEST(StockPosting::Units(quantity), "units");
    }
};

QTEST_GUILESS_MAIN(TestStockPosting)
#include "tst_stockposting.moc"
