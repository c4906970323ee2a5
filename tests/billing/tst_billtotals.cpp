// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QTest>

#include "BillTotals.h"
#include "LineAmounts.h"
#include "PayCaptions.h"
#include "ReceiptNumber.h"

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

Money M(const QString& text)
{
    return Money::FromText(text).value();
}

// An amount as the counter shows it.
QString Shown(const Money& amount)
{
    return amount.Format(u"######0.00"_s);
}

} // namespace

class TestBillTotals : public QObject {
    Q_OBJECT
private slots:
    void compute_data()
    {
        QTest::addColumn<QString>("discountPercent");
        QTest::addColumn<QString>("gross");
        QTest::addColumn<QString>("taxable");
        QTest::addColumn<QString>("tax1Percent");
        QTest::addColumn<QString>("tax2Percent");
        QTest::addColumn<int>("decimals");
        // discount, total, taxable discount, tax 1, tax 2, nett, as plain numbers
        QTest::addColumn<QString>("expected");

        QTest::newRow("worked example")
            << u"10"_s << u"150"_s << u"100"_s << u"5"_s << u"2"_s << 2 << u"15 135 10 4.5 0.09 139.59"_s;
        QTest::newRow("empty document")
            << u"10"_s << u"0"_s << u"0"_s << u"5"_s << u"2"_s << 2 << u"0 0 0 0 0 0"_s;
        QTest::newRow("no discount") << u"0"_s << u"150"_s << u"100"_s << u"5"_s << u"2"_s << 2
                                     << u"0 150 0 5 0.1 155.1"_s;
        QTest::newRow("nothing taxable")
            << u"5"_s << u"80"_s << u"0"_s << u"18"_s << u"10"_s << 2 << u"4 76 0 0 0 76"_s;
        QTest::newRow("tax 2 is a share of tax 1")
            << u"10"_s << u"100"_s << u"100"_s << u"5"_s << u"10"_s << 2 << u"10 90 10 4.5 0.45 94.95"_s;
        QTest::newRow("whole amounts, 1.5 to even 2")
            << u"10"_s << u"15"_s << u"0"_s << u"5"_s << u"2"_s << 0 << u"2 13 0 0 0 13"_s;
        QTest::newRow("whole amounts, taxes 2.5 and 0.5 both down")
            << u"0"_s << u"50"_s << u"50"_s << u"5"_s << u"25"_s << 0 << u"0 50 0 2 0 52"_s;
        // 5 % of 0.70 is 0.035 exactly: to even gives 0.04; a binary 0.035 lies below the
        // half and would give 0.03.
        QTest::newRow("cent half to even, up")
            << u"5"_s << u"0.70"_s << u"0.70"_s << u"5"_s << u"0"_s << 2 << u"0.04 0.66 0.04 0.03 0 0.69"_s;
        QTest::newRow("cent half to even, down")
            << u"5"_s << u"0.50"_s << u"0"_s << u"5"_s << u"0"_s << 2 << u"0.02 0.48 0 0 0 0.48"_s;
        QTest::newRow("three decimals") << u"7.5"_s << u"19.99"_s << u"19.99"_s << u"12.5"_s << u"0"_s << 3
                                        << u"1.499 18.491 1.499 2.311 0 20.802"_s;
        QTest::newRow("discount above 100") << u"150"_s << u"100"_s << u"100"_s << u"5"_s << u"2"_s << 2
                                            << u"150 -50 150 -2.5 -0.05 -52.55"_s;
        QTest::newRow("negative discount raises")
            << u"-10"_s << u"100"_s << u"0"_s << u"5"_s << u"2"_s << 2 << u"-10 110 0 0 0 110"_s;
    }
    void compute()
    {
        QFETCH(QString, discountPercent);
        QFETCH(QString, gross);
        QFETCH(QString, taxable);
        QFETCH(QString, tax1Percent);
        QFETCH(QString, tax2Percent);
        QFETCH(int, decimals);
        QFETCH(QString, expected);

        const BillTotals::Settings settings { decimals, M(tax1Percent), M(tax2Percent) };
        const BillTotals::Amounts amounts
            = BillTotals::Compute(M(discountPercent), M(gross), M(taxable), settings);
        const QStringList actual { amounts.discount.ToText(), amounts.total.ToText(),
            amounts.taxableDiscount.ToText(), amounts.tax1.ToText(), amounts.tax2.ToText(),
            amounts.nett.ToText() };
        QCOMPARE(actual.join(u' '), expected);
    }

    // The worked example built the way the counter builds it: line by line, then shown.
    void workedExampleFromLines()
    {
        BillTotals totals;
        totals.AddLine(M(u"1"_s), M(u"100.00"_s), true);
        totals.AddLine(M(u"2"_s), M(u"50.00"_s), false);
        const BillTotals::Amounts amounts = totals.Recalc(M(u"10"_s), { 2, M(u"5"_s), M(u"2"_s) });
        const QStringList shown { Shown(totals.Gross()), Shown(amounts.discount), Shown(amounts.total),
            Shown(amounts.tax1), Shown(amounts.tax2), Shown(amounts.nett) };
        QCOMPARE(shown.join(u' '), u"150.00 15.00 135.00 4.50 0.09 139.59"_s);
        QCOMPARE(totals.Items().Format(u"0"_s), u"3"_s);
    }

    void runningTotals_data()
    {
        // each line "quantity gross tax flag", separated by ";"
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("gross");
        QTest::addColumn<QString>("taxable");

        QTest::newRow("same code scanned twice")
            << u"1 9.99 T;1 9.99 T"_s << u"2"_s << u"19.98"_s << u"19.98"_s;
        QTest::newRow("quantities rounded to even one by one")
            << u"2.5 10 T;3.5 10 N;0.5 1 N"_s << u"6"_s << u"21"_s << u"10"_s;
        QTest::newRow("tenths add up exactly")
            << u"1 0.1 T;1 0.2 T;1 0.1 N;1 0.2 N;1 0.1 N;1 0.2 N;1 0.1 N"_s << u"7"_s << u"1"_s << u"0.3"_s;
    }
    void runningTotals()
    {
        QFETCH(QString, lines);
        QFETCH(QString, items);
        QFETCH(QString, gross);
        QFETCH(QString, taxable);

        BillTotals totals;
        const QStringList parts = lines.split(u';');
        for (const QString& line : parts) {
            const QStringList fields = line.split(u' ');
            totals.AddLine(M(fields[0]), M(fields[1]), fields[2] == u"T"_s);
        }
        QCOMPARE(totals.Items().ToText(), items);
        QCOMPARE(totals.Gross().ToText(), gross);
        QCOMPARE(totals.Taxable().ToText(), taxable);

        // Removing every line, in another order, returns to exactly zero.
        for (qsizetype i = parts.size() - 1; i >= 0; --i) {
            const QStringList fields = parts[i].split(u' ');
            totals.RemoveLine(M(fields[0]), M(fields[1]), fields[2] == u"T"_s);
        }
        QVERIFY(totals.Items().IsZero());
        QVERIFY(totals.Gross().IsZero());
        QVERIFY(totals.Taxable().IsZero());
    }

    void lineAmounts_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("groupSave"); // "" when the line gets no group saving
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected"); // rate, value, saving, gross as shown

        QTest::newRow("group saving of 10 %")
            << u"1"_s << u"99.99"_s << u"10"_s << 2 << u"99.99 99.99 10.00 89.99"_s;
        QTest::newRow("no group saving")
            << u"1"_s << u"99.99"_s << QString() << 2 << u"99.99 99.99 0.00 99.99"_s;
        QTest::newRow("rate rounded before it is multiplied")
            << u"3"_s << u"0.335"_s << QString() << 2 << u"0.34 1.02 0.00 1.02"_s;
        QTest::newRow("value and saving rounded to even")
            << u"2.5"_s << u"1.25"_s << u"10"_s << 2 << u"1.25 3.12 0.31 2.81"_s;
        QTest::newRow("whole amounts") << u"3"_s << u"2.5"_s << u"25"_s << 0 << u"2.00 6.00 2.00 4.00"_s;
    }
    void lineAmounts()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, rate);
        QFETCH(QString, groupSave);
        QFETCH(int, decimals);
        QFETCH(QString, expected);

        const std::optional<Money> percent = groupSave.isEmpty() ? std::nullopt : Money::FromText(groupSave);
        const LineAmounts line = LineAmounts::Price(M(quantity), M(rate), percent, decimals);
        const QStringList shown { Shown(line.rate), Shown(line.value), Shown(line.saving),
            Shown(line.gross) };
        QCOMPARE(shown.join(u' '), expected);
    }

    void suggestedCash_data()
    {
        QTest::addColumn<QString>("nett");
        QTest::addColumn<QString>("nextTen");
        QTest::addColumn<QString>("nextHundred");

        QTest::newRow("123.40") << u"123.40"_s << u"130"_s << u"200"_s;
        QTest::newRow("exact ten goes past it") << u"120.00"_s << u"130"_s << u"200"_s;
        QTest::newRow("rounds up to a ten first") << u"129.60"_s << u"140"_s << u"200"_s;
        QTest::newRow("exact hundred goes past it") << u"195.00"_s << u"200"_s << u"300"_s;
        QTest::newRow("nothing to pay") << u"0.00"_s << u"10"_s << u"100"_s;
        QTest::newRow("half rounds to even, down") << u"124.50"_s << u"130"_s << u"200"_s;
        QTest::newRow("half rounds to even, up to a ten") << u"199.50"_s << u"210"_s << u"300"_s;
        QTest::newRow("thousands") << u"1234.56"_s << u"1240"_s << u"1300"_s;
        QTest::newRow("negative nett") << u"-3.40"_s << u"10"_s << u"100"_s;
    }
    void suggestedCash()
    {
        QFETCH(QString, nett);
        QFETCH(QString, nextTen);
        QFETCH(QString, nextHundred);

        QCOMPARE(PayCaptions::NextTen(M(nett)).ToText(), nextTen);
        QCOMPARE(PayCaptions::NextHundred(M(nett)).ToText(), nextHundred);
    }

    void captions_data()
    {
        QTest::addColumn<QString>("nett");
        QTest::addColumn<QStringList>("captions");

        QTest::newRow("plain number form")
            << u"123.40"_s
            << QStringList { u"F1 CASH\n(123.4)"_s, u"F2 CASH\n(130)"_s, u"F3 CASH\n(200)"_s,
                   u"F4 CREDIT\n(123.4)"_s, u"F5 OTHER\n(123.4)"_s, u"F6 MISC\n(123.4)"_s };
        QTest::newRow("zero, no thousands separator")
            << u"0"_s
            << QStringList { u"F1 CASH\n(0)"_s, u"F2 CASH\n(10)"_s, u"F3 CASH\n(100)"_s, u"F4 CREDIT\n(0)"_s,
                   u"F5 OTHER\n(0)"_s, u"F6 MISC\n(0)"_s };
    }
    void captions()
    {
        QFETCH(QString, nett);
        QFETCH(QStringList, captions);

        QCOMPARE(PayCaptions::ForNett(M(nett)), captions);
    }

    void receiptNumber_data()
    {
        QTest::addColumn<QDateTime>("opened");
        QTest::addColumn<qint64>("billId");
        QTest::addColumn<QString>("atOpen");
        QTest::addColumn<QString>("atCheckout");

        QTest::newRow("late evening") << QDateTime(QDate(2026, 12, 3), QTime(23, 47, 59)) << qint64(123)
                                      << u"2612-032347-"_s << u"2612-032347-000123"_s;
        QTest::newRow("just after midnight") << QDateTime(QDate(2027, 1, 5), QTime(0, 5)) << qint64(7)
                                             << u"2701-050005-"_s << u"2701-050005-000007"_s;
        QTest::newRow("year 2000") << QDateTime(QDate(2000, 2, 29), QTime(9, 0)) << qint64(999999)
                                   << u"0002-290900-"_s << u"0002-290900-999999"_s;
        QTest::newRow("bill number past six digits")
            << QDateTime(QDate(2026, 10, 31), QTime(12, 30)) << qint64(1234567) << u"2610-311230-"_s
            << u"2610-311230-1234567"_s;
    }
    void receiptNumber()
    {
        QFETCH(QDateTime, opened);
        QFETCH(qint64, billId);
        QFETCH(QString, atOpen);
        QFETCH(QString, atCheckout);

        QCOMPARE(ReceiptNumber::AtOpen(opened), atOpen);
        QCOMPARE(ReceiptNumber::AtCheckout(ReceiptNumber::AtOpen(opened), billId), atCheckout);
    }
};

QTEST_GUILESS_MAIN(TestBillTotals)
#include "tst_billtotals.moc"
