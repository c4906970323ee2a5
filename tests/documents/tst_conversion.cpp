// A quote billed and an order purchased: the new document's row, its columns taken from the
// processed document and the panel, its lines, the stock of their products and the processed
// document's status and remarks.
#include "Connection.h"
#include "OrderPurchase.h"
#include "QuoteBilling.h"
#include "SeedData.h"
#include "TestContext.h"

#include <memory>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const QDate Earlier(2026, 2, 1);

QVariantList Product(int id, const char* code, int open, int purchased, int sold)
{
    return { id, Earlier, QString::fromLatin1(code), QString(u"Item "_s + QString::fromLatin1(code)), 1,
        u"Pcs"_s, 8.0, 10.0, open, purchased, sold, open + purchased - sold, 2, u"T"_s, Earlier, u"-"_s,
        u"-"_s, u"Y"_s, u"-"_s };
}

QVariantList Line(int id, const char* code, double qty, double rate, const char* tax)
{
    return { id, Earlier, u"x"_s, QString::fromLatin1(code), QString(u"Item "_s + QString::fromLatin1(code)),
        qty, rate, qty * rate, 0.0, qty * rate, QString::fromLatin1(tax) };
}

// Each product as "code purchased sold close", by SQL.
QString Stock(Connection& c)
{
    QStringList rows;
    for (const char* code : { "P1", "P2", "P3" })
        rows
            << c.Scalar(
                    u"Select PCode || ' ' || PPurchQty || ' ' || PSaleQty || ' ' || PCloseQty From ktProduct "
                    "Where PCode='"_s
                    + QString::fromLatin1(code) + u"'"_s)
                   .toString();
    return rows.join(u", "_s);
}

int Broken(Connection& c)
{
    return c.Scalar(u"Select Count(*) From ktProduct Where PCloseQty <> POpenQty + PPurchQty - PSaleQty"_s)
        .toInt();
}

} // namespace

class TestConversion : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> t;
    Connection& c() { return t->context.connection; }
    QVariant Scalar(const QString& sql) { return c().Scalar(sql); }

    // Quote 7: nett 139.59 over three lines (P1 twice, P2 once); order 45: two lines.
    void Seed(Connection& connection)
    {
        InsertRow(connection, u"ktProduct"_s, Product(1, "P1", 10, 0, 0));
        InsertRow(connection, u"ktProduct"_s, Product(2, "P2", 5, 2, 1));
        InsertRow(connection, u"ktProduct"_s, Product(3, "P3", 0, 0, 0));
        InsertRow(connection, u"ktQuotMast"_s,
            { 7, Earlier, 1, u"Q-REF-1"_s, 3, 10, 4, 150.0, 15.0, 135.0, 4.5, 0.09, 139.59, u"B"_s, u"-"_s });
        InsertRow(connection, u"ktQuotDetl"_s, Line(7, "P1", 2, 50, "T"));
        InsertRow(connection, u"ktQuotDetl"_s, Line(7, "P2", 1, 30, "N"));
        InsertRow(connection, u"ktQuotDetl"_s, Line(7, "P1", 1, 20, "T"));
        InsertRow(connection, u"ktOrdrMast"_s, { 45, Earlier, 1, u"ORD-9"_s, 2, 12, 500.0, u"P"_s, u"-"_s });
        InsertRow(connection, u"ktOrdrDetl"_s, Line(45, "P2", 10, 30, "T"));
        InsertRow(connection, u"ktOrdrDetl"_s, Line(45, "P3", 2, 100, "N"));
    }

private slots:
    void init()
    {
        t = std::make_unique<TestContext>();
        Seed(c());
    }
    void cleanup() { t.reset(); }

    void receipts_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("quote");
        QTest::addColumn<QString>("order");
        QTest::newRow("3 December") << QDate(2026, 12, 3) << qint64(7) << "2612-03QTOB-000007"
                                    << "2612-03OTOP-000007";
        QTest::newRow("six digits and more") << QDate(2027, 1, 9) << qint64(1234567) << "2701-09QTOB-1234567"
                                             << "2701-09OTOP-1234567";
    }
    void receipts()
    {
        QFETCH(QDate, today);
        QFETCH(qint64, id);
        QFETCH(QString, quote);
        QFETCH(QString, order);
        QCOMPARE(QuoteBilling::Receipt(today, id), quote);
        QCOMPARE(OrderPurchase::Receipt(today, id), order);
    }

    void quoteBilled_data()
    {
        QTest::addColumn<QString>("cash");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("otherType");
        QTest::addColumn<QString>("remarks");
        QTest::addColumn<QString>("returned"); // BReturn as the panel shows it
        QTest::addColumn<QString>("quoteRemarks");
        QTest::newRow("remarks cut to the quote's") << "139.59"
                                                    << "0"
                                                    << "OTHER"
                                                    << "PaidInFullAtCounter!"
                                                    << "0.00"
                                                    << "BILL#1;PaidInFullAtC";
    }
    void quoteBilled()
    {
        QFETCH(QString, cash);
        QFETCH(QString, other);
        QFETCH(QString, otherType);
        QFETCH(QString, remarks);
        QFETCH(QString, returned);
        QFETCH(QString, quoteRemarks);
        const QString before = Stock(c());
        QuotePayment payment;
        payment.cash = cash;
        payment.other = other;
        payment.otherType = otherType;
        payment.remarks = remarks;
        payment.returnAmount = QuoteBilling::ReturnAmount(payment, u"139.59"_s);
        QCOMPARE(payment.returnAmount, returned);

        const QuoteBilling::Result result = QuoteBilling(t->context).WriteBill(7, payment);

        QCOMPARE(result.billId, 1);
        QCOMPARE(result.quoteRemarks, quoteRemarks);
        QVERIFY(result.missing.isEmpty());
        // The bill: today's date, the quote's columns 2 to 12 (receipt aside), the payment.
        QCOMPARE(Scalar(u"Select Count(*) From ktBillMast b, ktQuotMast q Where b.EId=1 And q.EId=7 And "
                        "b.BUId=q.QUId And b.BCId=q.QCId And b.BDisPer=q.QDisPer And b.BItems=q.QItems And "
                        "b.BGross=q.QGross And b.BDiscount=q.QDiscount And b.BTotal=q.QTotal And "
                        "b.BTax1=q.QTax1 And b.BTax2=q.QTax2 And b.BNett=q.QNett"_s)
                     .toInt(),
            1);
        QCOMPARE(
            Scalar(u"Select EDate || ' ' || BReceipt || ' ' || BOType || ' ' || BMType || ' ' || BRemarks "
                   "From ktBillMast Where EId=1"_s)
                .toString(),
            u"2026-03-05 2603-05QTOB-000007 "_s + otherType + u" MISC "_s + remarks);
        QCOMPARE(Scalar(u"Select BCash + BOther From ktBillMast Where EId=1"_s).toDouble(),
            cash.replace(u',', u'.').toDouble() + other.replace(u',', u'.').toDouble());
        QCOMPARE(Scalar(u"Select BReturn From ktBillMast Where EId=1"_s).toDouble(), returned.toDouble());
        // The lines, as the quote held them, dated with the bill.
        QCOMPARE(Scalar(u"Select Count(*) From ktBillDetl b, ktQuotDetl q Where b.EId=1 And q.EId=7 And "
                        "b.BPId=q.QPId And b.BQty=q.QQty And b.BRate=q.QRate And b.BGross=q.QGross And "
                        "b.BTax=q.QTax And b.EDate='2026-03-05'"_s)
                     .toInt(),
            Scalar(u"Select Count(*) From ktQuotDetl q1, ktQuotDetl q2 Where q1.EId=7 And q2.EId=7 And "
                   "q1.QPId=q2.QPId And q1.QQty=q2.QQty And q1.QRate=q2.QRate"_s)
                .toInt());
        QCOMPARE(Scalar(u"Select Count(*) From ktBillDetl"_s).toInt(), 3);
        // Sold as a sale: P1 by 3, P2 by 1; P3 untouched.
        QCOMPARE(before, u"P1 0 0 10, P2 2 1 6, P3 0 0 0"_s);
        QCOMPARE(Stock(c()), u"P1 0 3 7, P2 2 2 5, P3 0 0 0"_s);
        QCOMPARE(Broken(c()), 0);
        QCOMPARE(Scalar(u"Select QStatus || ' ' || QRemarks From ktQuotMast Where EId=7"_s).toString(),
            u"B "_s + quoteRemarks);
    }

    void orderPurchased()
    {
        OrderPayment payment;
        payment.gross = u"500"_s;
        payment.tax = u"25"_s;
        payment.nett = OrderPurchase::NettPaid(payment.gross, payment.tax);
        QCOMPARE(payment.nett, u"525.00"_s);
        payment.payType = u"Credit"_s;
        payment.remarks = u"Net 30"_s;

        const OrderPurchase::Result result = OrderPurchase(t->context).WritePurchase(45, payment);

        QCOMPARE(result.orderRemarks, u"PURC#1;Net 30"_s);
        QCOMPARE(
            Scalar(
                u"Select EDate || ' ' || PUId || ' ' || PReceipt || ' ' || PSId || ' ' || PItems || ' ' || "
                "PGross || ' ' || PTax || ' ' || PNett || ' ' || PPayType || ' ' || PRemarks From ktPurcMast"_s)
                .toString(),
            u"2026-03-05 1 2603-05OTOP-000045 2 12 500.0 25.0 525.0 Credit Net 30"_s);
        QCOMPARE(Scalar(u"Select Count(*) From ktPurcDetl Where EId=1"_s).toInt(), 2);
        // Bought: P2 by 10, P3 by 2.
        QCOMPARE(Stock(c()), u"P1 0 0 10, P2 12 1 16, P3 2 0 2"_s);
        QCOMPARE(Broken(c()), 0);
        QCOMPARE(Scalar(u"Select OStatus || ' ' || ORemarks From ktOrdrMast Where EId=45"_s).toString(),
            u"P PURC#1;Net 30"_s);
    }

    // A line whose product was deleted since: its line is written, no stock moves for it, and
    // the caller learns its code.
    void productGoneSince()
    {
        c().Execute(u"Delete From ktProduct Where PCode='P3'"_s);
        OrderPayment payment { u"500"_s, u"0"_s, u"500"_s, u"Cash"_s, u"-"_s };
        const OrderPurchase::Result result = OrderPurchase(t->context).WritePurchase(45, payment);
        QCOMPARE(result.missing, QStringList { u"P3"_s });
        QCOMPARE(Scalar(u"Select Count(*) From ktPurcDetl"_s).toInt(), 2);
        QCOMPARE(Broken(c()), 0);
    }
};

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"
