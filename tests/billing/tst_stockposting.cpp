// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QAbstractItemModelTester>
#include <QTest>

#include "DateText.h"
#include "DbError.h"
#include "LineGrid.h"
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

// The cells of a grid line from the given column to the tax flag, "|" between.
QString Cells(const LineGrid& grid, int row, int first)
{
    QStringList cells;
    for (int column = first; column <= LineGrid::TaxColumn; ++column)
        cells << grid.Text(row, column);
    return cells.join(u'|');
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

        QTest::newRow("deleting one bill leaves another")
            << QStringList { u"save KvBilling ktBillDetl 1 A:2"_s, u"save KvBilling ktBillDetl 2 A:3 B:1"_s,
                   u"delete KvBill ktBillDetl 1"_s }
            << u"A 0/3/7 today, B 0/1/3 today"_s;
        QTest::newRow("order saved moves nothing, purchased posts once")
            << QStringList { u"save KvOrder ktOrdrDetl 3 B:7"_s, u"save KvOrder ktPurcDetl 8 B:7"_s }
            << u"A 0/0/10 earlier, B 7/0/11 today"_s;
        QTest::newRow("halves to even, each line on its own")
            << QStringList { u"save KvBilling ktBillDetl 1 A:2.5 A:3.5 A:0.49 B:1,51"_s }
            << u"A 0/6/4 today, B 0/2/2 today"_s;
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

    // Stored lines as the grid shows them: numbers "######0.00" rounded to even, no quantity
    // blank, dates short; the running totals wait for a recount.
    void gridLoad()
    {
        const QDate date(2026, 2, 28);
        for (const QVariant& quantity : { QVariant(2.345), QVariant() })
            c->Execute(u"Insert Into ktBillDetl Values (?,?,?,?,?,?,?,?,?,?,?)"_s,
                { 9, date, u"x"_s, u"P1"_s, u"Item"_s, quantity, -0.004, 13.5, 0.0, 13.5, u"T"_s });
        LineGrid grid;
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.Load(*c, u"ktBillDetl"_s, 9);
        QCOMPARE(grid.Text(0, 0) + u' ' + grid.Text(0, 1), u"9 "_s + ShortDate(date));
        QCOMPARE(Cells(grid, 0, 2), u"x|P1|Item|2.34|0.00|13.50|0.00|13.50|T"_s);
        QCOMPARE(Cells(grid, 1, 2), u"x|P1|Item||0.00|13.50|0.00|13.50|T"_s);
        QCOMPARE(grid.DocGross().ToText(), u"0"_s);
        // Only that document's lines, in the order written; another document's lines stay out.
        Run(u"save KvBilling ktBillDetl 21 A:2.5 B:1 A:1"_s);
        grid.Load(*c, u"ktBillDetl"_s, 21);
        grid.Recount();
        QCOMPARE(grid.LineCount(), 3);
        QCOMPARE(grid.Text(2, 0) + Cells(grid, 2, 2), u"21x|A|Item A|1.00|1.00|1.00|0.00|1.00|T"_s);
        QCOMPARE(grid.DocItems(), 4);
        // A document without lines, after one with lines, shows the empty grid.
        grid.Load(*c, u"ktBillDetl"_s, 23);
        QVERIFY(grid.IsEmpty());
        QCOMPARE(grid.rowCount(), 1);
        QVERIFY_THROWS_EXCEPTION(DbError, grid.Load(*c, u"ktProduct"_s, 21));
        QVERIFY_THROWS_EXCEPTION(DbError, grid.Load(*c, u"ktBillDetl Where 1=1 Or EId"_s, 23));
        QVERIFY(grid.IsEmpty());
    }

    // A quantity as stock units: to even, anything not a number none, capped at the column.
    void units()
    {
        QCOMPARE(QList<qint64>({ StockPosting::Units(u"-2.5"_s), StockPosting::Units(u" abc"_s),
                     StockPosting::Units(u"1e12"_s) }),
            QList<qint64>({ -2, 0, 2147483647 }));
    }
};

QTEST_MAIN(TestStockPosting)
#include "tst_stockposting.moc"
