// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QTest>

#include "Connection.h"
#include "DbError.h"
#include "Recordset.h"
#include "StockPosting.h"
#include "TempDatabase.h"

#include <memory>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

const QDate Today(2026, 3, 5);
const QString Earlier = u"2026-01-01"_s;

// "A:2 B:1.5" as grid lines.
std::vector<StockPosting::Line> Lines(const QStringList& words)
{
    std::vector<StockPosting::Line> lines;
    for (const QString& word : words) {
        const QString code = word.section(u':', 0, 0);
        const QString quantity = word.section(u':', 1, 1);
        lines.push_back(
            { u"x"_s, code, u"Item "_s + code, quantity, u"1.00"_s, quantity, u"0"_s, quantity, u"T"_s });
    }
    return lines;
}

} // namespace

class TestStockPosting : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDatabase> m_db;
    Connection* c = nullptr;

    // Products that break the stock rule, by the rule itself (written here, not taken from
    // the code under test).
    QStringList Broken()
    {
        QStringList codes;
        Recordset rs(*c);
        rs.Open(u"Select PCode From ktProduct Where IfNull(PCloseQty,0) <> "
                "IfNull(POpenQty,0) + IfNull(PPurchQty,0) - IfNull(PSaleQty,0)"_s);
        for (; !rs.Eof(); rs.MoveNext())
            codes << rs.Text(0);
        return codes;
    }

    // "purchased sold close date" of one product, the date as "today" or "earlier".
    QString Stock(const QString& code)
    {
        Recordset rs(*c);
        rs.Open(u"Select PPurchQty, PSaleQty, PCloseQty, PTranDate From ktProduct Where PCode='"_s + code
            + u"'"_s);
        if (rs.Eof())
            return u"none"_s;
        const QString date = rs.Value(3).toDate() == Today          ? u"today"_s
            : rs.Value(3).toDate().toString(Qt::ISODate) == Earlier ? u"earlier"_s
                                                                    : rs.Text(3);
        return u"%1 %2 %3 %4"_s.arg(rs.Text(0), rs.Text(1), rs.Text(2), date);
    }

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
        m_db = std::make_unique<test::TempDatabase>();
        c = &m_db->connection();
    }

    // Two products, A with 10 and B with 4 on hand, last moved before today; no lines.
    void init()
    {
        for (const char* table : { "ktProduct", "ktBillDetl", "ktQuotDetl", "ktPurcDetl", "ktOrdrDetl" })
            c->Execute(u"Delete From "_s + QLatin1String(table));
        for (const auto& [code, open] : { std::pair { "A", 10 }, std::pair { "B", 4 } })
            c->Execute(u"Insert Into ktProduct (PCode, PName, POpenQty, PPurchQty, PSaleQty, PCloseQty, "
                       "PTranDate) Values (?, ?, ?, 0, 0, ?, ?)"_s,
                { QString::fromLatin1(code), QString(u"Product "_s + QLatin1String(code)), open, open,
                    Earlier });
    }

    void posting_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("a"); // purchased sold close date
        QTest::addColumn<QString>("b");

        QTest::newRow("checkout sells") << QStringList { u"save KvBilling ktBillDetl 1 A:2 B:1"_s }
                                        << u"0 2 8 today"_s << u"0 1 3 today"_s;
        QTest::newRow("bill deleted, three lines of 2 come back")
            << QStringList { u"save KvBilling ktBillDetl 1 A:2 A:2 A:2"_s, u"delete KvBill ktBillDetl 1"_s }
            << u"0 0 10 today"_s << u"0 0 4 earlier"_s;
        QTest::newRow("deleting one bill leaves another")
            << QStringList { u"save KvBilling ktBillDetl 1 A:2"_s, u"save KvBilling ktBillDetl 2 A:3 B:1"_s,
                   u"delete KvBill ktBillDetl 1"_s }
            << u"0 3 7 today"_s << u"0 1 3 today"_s;
        QTest::newRow("purchase saved") << QStringList { u"save KvPurchase ktPurcDetl 5 A:5"_s }
                                        << u"5 0 15 today"_s << u"0 0 4 earlier"_s;
        QTest::newRow("purchase re-saved unchanged")
            << QStringList { u"save KvPurchase ktPurcDetl 5 A:5"_s, u"save KvPurchase ktPurcDetl 5 A:5"_s }
            << u"5 0 15 today"_s << u"0 0 4 earlier"_s;
        QTest::newRow("purchase re-saved with a line less nets the difference") << QStringList {
            u"save KvPurchase ktPurcDetl 5 A:5 B:2"_s, u"save KvPurchase ktPurcDetl 5 A:3"_s
        } << u"3 0 13 today"_s << u"0 0 4 today"_s;
        QTest::newRow("purchase deleted")
            << QStringList { u"save KvPurchase ktPurcDetl 5 A:5"_s, u"delete KvPurchase ktPurcDetl 5"_s }
            << u"0 0 10 today"_s << u"0 0 4 earlier"_s;
        QTest::newRow("purchase then sale")
            << QStringList { u"save KvPurchase ktPurcDetl 5 B:6"_s, u"save KvBilling ktBillDetl 1 B:9"_s }
            << u"0 0 10 earlier"_s << u"6 9 1 today"_s;
        QTest::newRow("quote saved moves nothing") << QStringList { u"save KvQuote ktQuotDetl 2 A:4"_s }
                                                   << u"0 0 10 earlier"_s << u"0 0 4 earlier"_s;
        QTest::newRow("quote re-saved dates only its old lines")
            << QStringList { u"save KvQuote ktQuotDetl 2 A:4"_s, u"save KvQuote ktQuotDetl 2 B:1"_s }
            << u"0 0 10 today"_s << u"0 0 4 earlier"_s;
        QTest::newRow("order re-saved dates only its old lines")
            << QStringList { u"save KvOrder ktOrdrDetl 3 B:7"_s, u"save KvOrder ktOrdrDetl 3 A:1"_s }
            << u"0 0 10 earlier"_s << u"0 0 4 today"_s;
        QTest::newRow("quote deleted dates its lines")
            << QStringList { u"save KvQuote ktQuotDetl 2 A:4"_s, u"delete KvQuote ktQuotDetl 2"_s }
            << u"0 0 10 today"_s << u"0 0 4 earlier"_s;
        QTest::newRow("quote billed sells")
            << QStringList { u"save KvQuote ktQuotDetl 2 A:4"_s, u"save KvQuote ktBillDetl 9 A:4"_s }
            << u"0 4 6 today"_s << u"0 0 4 earlier"_s;
        QTest::newRow("order purchased posts once")
            << QStringList { u"save KvOrder ktOrdrDetl 3 B:7"_s, u"save KvOrder ktPurcDetl 8 B:7"_s }
            << u"0 0 10 earlier"_s << u"7 0 11 today"_s;
        QTest::newRow("halves to even")
            << QStringList { u"save KvBilling ktBillDetl 1 A:2.5 A:3.5 A:0.5 B:1,5"_s } << u"0 6 4 today"_s
            << u"0 2 2 today"_s;
        QTest::newRow("fractions off the half round to nearest")
            << QStringList { u"save KvPurchase ktPurcDetl 5 A:2.49 B:2.51"_s } << u"2 0 12 today"_s
            << u"3 0 7 today"_s;
        QTest::newRow("stock may go below nothing") << QStringList { u"save KvBilling ktBillDetl 1 B:6"_s }
                                                    << u"0 0 10 earlier"_s << u"0 6 -2 today"_s;
        QTest::newRow("code matched regardless of case")
            << QStringList { u"save KvBilling ktBillDetl 1 a:1"_s } << u"0 1 9 today"_s << u"0 0 4 earlier"_s;
    }

    void posting()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, a);
        QFETCH(QString, b);
        for (const QString& step : steps) {
            QCOMPARE(Run(step), QStringList());
            QVERIFY2(Broken().isEmpty(), qPrintable(step + u" breaks the stock of "_s + Broken().join(u' ')));
        }
        QCOMPARE(Stock(u"A"_s), a);
        QCOMPARE(Stock(u"B"_s), b);
    }

    void linesStoredAndRemoved()
    {
        Run(u"save KvPurchase ktPurcDetl 5 A:5 B:2,5"_s);
        QCOMPARE(StoredLines(u"ktPurcDetl"_s, 5), 2);
        // The grid's decimal comma is stored as a number.
        QCOMPARE(c->Scalar(u"Select PQty From ktPurcDetl Where PPId='B'"_s).toDouble(), 2.5);
        QCOMPARE(c->Scalar(u"Select EDate From ktPurcDetl Where PPId='B'"_s).toDate(), Today);
        Run(u"save KvPurchase ktPurcDetl 5 A:1"_s);
        QCOMPARE(StoredLines(u"ktPurcDetl"_s, 5), 1);
        Run(u"delete KvPurchase ktPurcDetl 5"_s);
        QCOMPARE(StoredLines(u"ktPurcDetl"_s, 5), 0);
    }

    // A product deleted since the document was written: its lines are still stored and
    // removed, no stock moves for them, and the caller learns their codes to report.
    void productDeletedSince()
    {
        Run(u"save KvBilling ktBillDetl 1 A:2 B:1"_s);
        c->Execute(u"Delete From ktProduct Where PCode='B'"_s);
        QCOMPARE(Run(u"delete KvBill ktBillDetl 1"_s), QStringList { u"B"_s });
        QCOMPARE(StoredLines(u"ktBillDetl"_s, 1), 0);
        QCOMPARE(Stock(u"A"_s), u"0 0 10 today"_s);

        QCOMPARE(Run(u"save KvPurchase ktPurcDetl 5 B:3 A:1"_s), QStringList { u"B"_s });
        QCOMPARE(StoredLines(u"ktPurcDetl"_s, 5), 2);
        QCOMPARE(Stock(u"A"_s), u"1 0 11 today"_s);
        QVERIFY(Broken().isEmpty());
    }

    // Inside the caller's transaction: rolling the caller back leaves neither lines nor stock.
    void callerRollsBack()
    {
        c->Begin();
        Run(u"save KvBilling ktBillDetl 1 A:2"_s);
        QCOMPARE(Stock(u"A"_s), u"0 2 8 today"_s);
        c->Rollback();
        QCOMPARE(StoredLines(u"ktBillDetl"_s, 1), 0);
        QCOMPARE(Stock(u"A"_s), u"0 0 10 earlier"_s);
    }

    // A line the stock columns refuse undoes the whole call, earlier lines included.
    void failedLineUndoesTheCall()
    {
        StockPosting posting(*c, Today);
        QVERIFY_THROWS_EXCEPTION(DbError,
            posting.Write(u"ktBillDetl"_s, 1, Today, Lines({ u"A:2"_s, u"B:abc"_s }), StockMove::Sale));
        QCOMPARE(StoredLines(u"ktBillDetl"_s, 1), 0);
        QCOMPARE(Stock(u"A"_s), u"0 0 10 earlier"_s);
        QCOMPARE(c->TransactionDepth(), 0);
    }

    void onlyDetailTables()
    {
        StockPosting posting(*c, Today);
        QVERIFY_THROWS_EXCEPTION(DbError, posting.TakeBack(u"ktProduct"_s, 1, StockMove::Sale));
        QVERIFY_THROWS_EXCEPTION(
            DbError, posting.Write(u"ktBillDetl; Drop Table ktProduct"_s, 1, Today, {}, StockMove::Sale));
        QCOMPARE(Stock(u"A"_s), u"0 0 10 earlier"_s);
    }

    void units_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<qint64>("units");
        QTest::newRow("2.5 to even 2") << u"2.5"_s << qint64(2);
        QTest::newRow("3.5 to even 4") << u"3.5"_s << qint64(4);
        QTest::newRow("-2.5 to even -2") << u"-2.5"_s << qint64(-2);
        QTest::newRow("-3.5 to even -4") << u"-3.5"_s << qint64(-4);
        QTest::newRow("0.5 to 0") << u"0.5"_s << qint64(0);
        QTest::newRow("decimal comma") << u"1,5"_s << qint64(2);
        QTest::newRow("blanks around") << u" 7 "_s << qint64(7);
        QTest::newRow("not a number") << u"abc"_s << qint64(0);
        QTest::newRow("empty") << QString() << qint64(0);
        QTest::newRow("beyond the column") << u"1e12"_s << qint64(2147483647);
        QTest::newRow("1e9") << u"1e9"_s << qint64(1000000000);
    }

    void units()
    {
        QFETCH(QString, quantity);
        QFETCH(qint64, units);
        QCOMPARE(StockPosting::Units(quantity), units);
    }
};

QTEST_GUILESS_MAIN(TestStockPosting)
#include "tst_stockposting.moc"
