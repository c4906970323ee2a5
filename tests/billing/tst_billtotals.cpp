// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QTest>

#include "BillTotals.h"
#include "PayCaptions.h"
#include "ReceiptNumber.h"

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

Money M(const QString& text)
{
    return Money::FromText(text).value();
}

} // namespace

class TestBillTotals : public QObject {
    Q_OBJECT
private slots:
    void compute_data()
    {
        // "discount% gross taxable tax1% tax2% decimals"
        QTest::addColumn<QString>("input");
        // discount, total, taxable discount, tax 1, tax 2, nett, as plain numbers
        QTest::addColumn<QString>("expected");

        QTest::newRow("worked example") << u"10 150 100 5 2 2"_s << u"15 135 10 4.5 0.09 139.59"_s;
        QTest::newRow("empty document") << u"10 0 0 5 2 2"_s << u"0 0 0 0 0 0"_s;
        QTest::newRow("no discount") << u"0 150 100 5 2 2"_s << u"0 150 0 5 0.1 155.1"_s;
        QTest::newRow("nothing taxable") << u"5 80 0 18 10 2"_s << u"4 76 0 0 0 76"_s;
        QTest::newRow("tax 2 is a share of tax 1") << u"10 100 100 5 10 2"_s << u"10 90 10 4.5 0.45 94.95"_s;
        QTest::newRow("whole amounts, 1.5 to even 2") << u"10 15 0 5 2 0"_s << u"2 13 0 0 0 13"_s;
        QTest::newRow("whole amounts, taxes 2.5 and 0.5 both down")
            << u"0 50 50 5 25 0"_s << u"0 50 0 2 0 52"_s;
        // 5 % of 0.70 is 0.035 exactly: to even gives 0.04; a binary 0.035 lies below the
        // half and would give 0.03.
        QTest::newRow("cent half to even, up") << u"5 0.70 0.70 5 0 2"_s << u"0.04 0.66 0.04 0.03 0 0.69"_s;
        QTest::newRow("cent half to even, down") << u"5 0.50 0 5 0 2"_s << u"0.02 0.48 0 0 0 0.48"_s;
        QTest::newRow("three decimals")
            << u"7.5 19.99 19.99 12.5 0 3"_s << u"1.499 18.491 1.499 2.311 0 20.802"_s;
        QTest::newRow("discount above 100") << u"150 100 100 5 2 2"_s << u"150 -50 150 -2.5 -0.05 -52.55"_s;
        QTest::newRow("negative discount raises") << u"-10 100 0 5 2 2"_s << u"-10 110 0 0 0 110"_s;
    }
    void compute()
    {
        QFETCH(QString, input);
        const QStringList in = input.split(u' ');
        const BillTotals::Amounts amounts
            = BillTotals::Compute(M(in[0]), M(in[1]), M(in[2]), { in[5].toInt(), M(in[3]), M(in[4]) });
        const QStringList actual { amounts.discount.ToText(), amounts.total.ToText(),
            amounts.taxableDiscount.ToText(), amounts.tax1.ToText(), amounts.tax2.ToText(),
            amounts.nett.ToText() };
        QTEST(actual.join(u' '), "expected");
    }

    // The running totals in decimal: quantities count to even one by one, tenths add up
    // exactly, and taking every line away again, in another order, returns exactly zero.
    void runningTotals_data()
    {
        QTest::addColumn<QString>("lines"); // "quantity gross taxable;..."
        QTest::addColumn<QString>("totals"); // items gross taxable

        QTest::newRow("quantities rounded to even one by one")
            << u"2.5 10 T;3.5 10 N;0.5 1 N"_s << u"6 21 10"_s;
        QTest::newRow("tenths add up exactly")
            << u"1 0.1 T;1 0.2 T;1 0.1 N;1 0.2 N;1 0.1 N;1 0.2 N;1 0.1 N"_s << u"7 1 0.3"_s;
    }
    void runningTotals()
    {
        QFETCH(QString, lines);
        BillTotals totals;
        const QStringList parts = lines.split(u';');
        for (const QString& line : parts) {
            const QStringList w = line.split(u' ');
            totals.AddLine(M(w[0]), M(w[1]), w[2] == u"T"_s);
        }
        const auto shown = [&] {
            return u"%1 %2 %3"_s.arg(
                totals.Items().ToText(), totals.Gross().ToText(), totals.Taxable().ToText());
        };
        QTEST(shown(), "totals");
        for (qsizetype i = parts.size() - 1; i >= 0; --i) {
            const QStringList w = parts[i].split(u' ');
            totals.RemoveLine(M(w[0]), M(w[1]), w[2] == u"T"_s);
        }
        QCOMPARE(shown(), u"0 0 0"_s);
    }

    void suggestedCash_data()
    {
        QTest::addColumn<QString>("nett");
        QTest::addColumn<QString>("suggested"); // next ten, next hundred

        QTest::newRow("123.40") << u"123.40"_s << u"130 200"_s;
        QTest::newRow("exact ten goes past it") << u"120.00"_s << u"130 200"_s;
        QTest::newRow("rounds up to a ten first") << u"129.60"_s << u"140 200"_s;
        QTest::newRow("exact hundred goes past it") << u"195.00"_s << u"200 300"_s;
        QTest::newRow("nothing to pay") << u"0.00"_s << u"10 100"_s;
        QTest::newRow("half rounds to even, down") << u"124.50"_s << u"130 200"_s;
        QTest::newRow("half rounds to even, up to a ten") << u"199.50"_s << u"210 300"_s;
        QTest::newRow("thousands") << u"1234.56"_s << u"1240 1300"_s;
        QTest::newRow("negative nett") << u"-3.40"_s << u"10 100"_s;
    }
    void suggestedCash()
    {
        QFETCH(QString, nett);
        QTEST(QString(
                  PayCaptions::NextTen(M(nett)).ToText() + u' ' + PayCaptions::NextHundred(M(nett)).ToText()),
            "suggested");
    }

    // The captions show the amounts as plain numbers, without trailing zeros or separators.
    void captions()
    {
        QCOMPARE(PayCaptions::ForNett(M(u"1123.40"_s)).join(u'|'),
            u"F1 CASH\n(1123.4)|F2 CASH\n(1130)|F3 CASH\n(1200)|F4 CREDIT\n(1123.4)|F5 OTHER\n(1123.4)|"
            "F6 MISC\n(1123.4)"_s);
    }

    void receiptNumber_data()
    {
        QTest::addColumn<QDateTime>("opened");
        QTest::addColumn<qint64>("billId");
        QTest::addColumn<QString>("atCheckout"); // the part before the bill number is shown at opening

        QTest::newRow("late evening")
            << QDateTime(QDate(2026, 12, 3), QTime(23, 47, 59)) << qint64(123) << u"2612-032347-000123"_s;
        QTest::newRow("just after midnight")
            << QDateTime(QDate(2027, 1, 5), QTime(0, 5)) << qint64(7) << u"2701-050005-000007"_s;
        QTest::newRow("year 2000") << QDateTime(QDate(2000, 2, 29), QTime(9, 0)) << qint64(999999)
                                   << u"0002-290900-999999"_s;
        QTest::newRow("bill number past six digits")
            << QDateTime(QDate(2026, 10, 31), QTime(12, 30)) << qint64(1234567) << u"2610-311230-1234567"_s;
    }
    void receiptNumber()
    {
        QFETCH(QDateTime, opened);
        QFETCH(qint64, billId);
        QFETCH(QString, atCheckout);
        QCOMPARE(ReceiptNumber::AtOpen(opened), atCheckout.left(12));
        QCOMPARE(ReceiptNumber::AtCheckout(ReceiptNumber::AtOpen(opened), billId), atCheckout);
    }
};

QTEST_GUILESS_MAIN(TestBillTotals)
#include "tst_billtotals.moc"
