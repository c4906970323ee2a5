// The document's amounts in decimal: the totals a bill shows, the line grid's running totals
// and cell texts, the suggested cash and the receipt number.
#include <QAbstractItemModelTester>
#include <QTest>

#include "BillTotals.h"
#include "LineGrid.h"
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
        QTest::newRow("whole amounts, taxes 2.5 and 0.5 both down")
            << u"0 50 50 5 25 0"_s << u"0 50 0 2 0 52"_s;
        // 5 % of 0.70 is 0.035 exactly: to even gives 0.04; a binary 0.035 lies below the
        // half and would give 0.03.
        QTest::newRow("cent half to even, up") << u"5 0.70 0.70 5 0 2"_s << u"0.04 0.66 0.04 0.03 0 0.69"_s;
        QTest::newRow("three decimals")
            << u"7.5 19.99 19.99 12.5 0 3"_s << u"1.499 18.491 1.499 2.311 0 20.802"_s;
        QTest::newRow("discount above 100") << u"150 100 100 5 2 2"_s << u"150 -50 150 -2.5 -0.05 -52.55"_s;
    }
    void compute()
    {
        QFETCH(QString, input);
        const QStringList in = input.split(u' ');
        const BillTotals::Amounts a
            = BillTotals::Compute(M(in[0]), M(in[1]), M(in[2]), { in[5].toInt(), M(in[3]), M(in[4]) });
        QTEST(QStringList({ a.discount.ToText(), a.total.ToText(), a.taxableDiscount.ToText(),
                              a.tax1.ToText(), a.tax2.ToText(), a.nett.ToText() })
                  .join(u' '),
            "expected");
    }

    // Steps "CODE QTY GROSS [T]" add a line whose rate is its gross, "-ROW" removes a line,
    // "recount" recounts; then the codes and "items gross taxable", by hand.
    void gridEditing_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("totals");

        QTest::newRow("each line's quantity rounds to even on its own, tenths add exactly")
            << u"A 0.5 0.1,B 2.5 0.2 T,C 3.5 0.1"_s << u"A B C"_s << u"6 0.40 0.20"_s;
        QTest::newRow("remove the middle line, the rest move up")
            << u"A 1 3 T,B 2 4,C 1 5 T,-1"_s << u"A C"_s << u"2 8.00 8.00"_s;
        QTest::newRow("remove the only line: empty again") << u"A 2.5 3 T,-0"_s << u""_s << u"0 0.00 0.00"_s;
        QTest::newRow("remove on an empty grid or past the end changes nothing")
            << u"-0,A 1 3,-1,--1"_s << u"A"_s << u"1 3.00 0.00"_s;
        QTest::newRow("recount agrees with the running totals")
            << u"A 2.5 3 T,B 1.5 4,-0,C 7 0.01 T,recount"_s << u"B C"_s << u"9 4.01 0.01"_s;
    }

    void gridEditing()
    {
        QFETCH(QString, steps);
        LineGrid grid;
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const QString& step : steps.split(u',')) {
            if (step.startsWith(u'-')) {
                grid.RemoveLine(step.mid(1).toInt());
            } else if (step == u"recount"_s) {
                grid.Recount();
            } else {
                const QStringList w = step.split(u' ');
                LineAmounts amounts;
                amounts.rate = amounts.value = amounts.gross = M(w[2]);
                grid.AddLine(w[0], u"Item "_s + w[0], M(w[1]), amounts, w.size() > 3);
            }
        }
        const auto totals = [&] {
            return u"%1 %2 %3"_s.arg(grid.DocItems())
                .arg(grid.DocGross().Format(), grid.DocTaxable().Format());
        };
        QStringList codes;
        for (int r = 0; r < grid.LineCount(); ++r)
            codes << grid.Text(r, LineGrid::CodeColumn);
        QTEST(codes.join(u' '), "codes");
        QTEST(totals(), "totals");
        QCOMPARE(grid.IsEmpty(), grid.LineCount() == 0);
        QCOMPARE(grid.rowCount(), std::max(grid.LineCount(), 1)); // one blank line when empty
        // The running totals never drift from a fresh count of the same lines.
        const QString running = totals();
        grid.Recount();
        QCOMPARE(totals(), running);
    }

    // The cash F2 and F3 suggest: the next ten and hundred strictly above the nett rounded to
    // whole (halves to even).
    void suggestedCash()
    {
        const auto suggested = [](const QString& nett) -> QString {
            return PayCaptions::NextTen(M(nett)).ToText() + u' ' + PayCaptions::NextHundred(M(nett)).ToText();
        };
        QCOMPARE(suggested(u"120.00"_s), u"130 200"_s);
        QCOMPARE(suggested(u"129.60"_s), u"140 200"_s);
        QCOMPARE(suggested(u"195.00"_s), u"200 300"_s);
        QCOMPARE(suggested(u"124.50"_s), u"130 200"_s);
    }

    void receiptNumber()
    {
        const QString atOpen = ReceiptNumber::AtOpen(QDateTime(QDate(2000, 2, 29), QTime(9, 5)));
        QCOMPARE(atOpen, u"0002-290905-"_s);
        QCOMPARE(ReceiptNumber::AtCheckout(atOpen, 7), u"0002-290905-000007"_s);
        QCOMPARE(ReceiptNumber::AtCheckout(atOpen, 1234567), u"0002-290905-1234567"_s);
    }
};

QTEST_MAIN(TestBillTotals)
#include "tst_billtotals.moc"
