#include "DbError.h"
#include "Money.h"

#include <functional>
#include <limits>
#include <QTest>

using namespace kivo;

namespace kivo {
char* toString(const Money& money)
{
    return QTest::toString(money.ToText());
}
} // namespace kivo

namespace {

Money M(const QString& text)
{
    return Money::FromText(text).value();
}

// The value as text, or "error N" when the step throws.
QString Outcome(const std::function<Money()>& step)
{
    try {
        return step().ToText();
    } catch (const DbError& error) {
        return QStringLiteral("error %1").arg(error.number);
    }
}

const QString overflow = QStringLiteral("error %1").arg(MoneyErrorNumber::Overflow);
const QString none = QStringLiteral("none");

} // namespace

class TestMoney : public QObject {
    Q_OBJECT
private slots:
    void fromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("decimal comma") << QStringLiteral("-12,50") << QStringLiteral("-12.5");
        QTest::newRow("blanks around") << QStringLiteral(" 7.25 ") << QStringLiteral("7.25");
        QTest::newRow("no leading digit") << QStringLiteral("+.5") << QStringLiteral("0.5");
        QTest::newRow("exponent") << QStringLiteral("1e3") << QStringLiteral("1000");
        QTest::newRow("negative exponent") << QStringLiteral("12,5E-4") << QStringLiteral("0.00125");
        QTest::newRow("more digits than a double holds") << QStringLiteral(
            "12345678901234567890.123456789012") << QStringLiteral("12345678901234567890.123456789012");
        QTest::newRow("beyond the twelfth decimal, half to even")
            << QStringLiteral("0.0000000000025") << QStringLiteral("0.000000000002");
        QTest::newRow("beyond the twelfth decimal, above the half")
            << QStringLiteral("0.00000000000250001") << QStringLiteral("0.000000000003");
        QTest::newRow("far below the last unit") << QStringLiteral("4e-30") << QStringLiteral("0");
        QTest::newRow("largest") << QStringLiteral("999999999999999999999999.999999999999")
                                 << QStringLiteral("999999999999999999999999.999999999999");
        QTest::newRow("just beyond the range") << QStringLiteral("-1e24") << none;
        QTest::newRow("rounds up beyond the range")
            << QStringLiteral("999999999999999999999999.9999999999995") << none;
        QTest::newRow("a number, but beyond the range") << QStringLiteral("1e300") << none;
        QTest::newRow("empty") << QString() << none;
        QTest::newRow("garbage") << QStringLiteral("12a") << none;
        QTest::newRow("comma and point") << QStringLiteral("1,234.5") << none;
    }
    void fromText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const std::optional<Money> parsed = Money::FromText(text);
        QCOMPARE(parsed ? parsed->ToText() : none, expected);
    }

    // Typed values go to storage and come back as the same decimal.
    void doubleRoundTrip_data()
    {
        QTest::addColumn<QString>("text");

        QTest::newRow("binary below its half") << QStringLiteral("2.345");
        QTest::newRow("one tenth") << QStringLiteral("0.1");
        QTest::newRow("large amount") << QStringLiteral("123456789012.5");
        QTest::newRow("fifteen digits") << QStringLiteral("-98765.4321098765");
        QTest::newRow("smallest unit") << QStringLiteral("0.000000000001");
    }
    void doubleRoundTrip()
    {
        QFETCH(QString, text);
        const Money typed = M(text);
        QCOMPARE(typed.ToDouble(), text.toDouble());
        QCOMPARE(Money::FromDouble(typed.ToDouble()), std::optional<Money>(typed));
    }

    void fromDouble_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");

        QTest::newRow("binary noise beyond 15 digits") << 0.1 + 0.2 << QStringLiteral("0.3");
        QTest::newRow("noise on a half") << 10 * 23.35 / 100 << QStringLiteral("2.335");
        QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
        QTest::newRow("below the last unit") << 4e-13 << QStringLiteral("0");
        QTest::newRow("largest 15 digits")
            << 9.99999999999999e23 << QStringLiteral("999999999999999000000000");
        QTest::newRow("beyond the range") << 1e24 << none;
        QTest::newRow("infinity") << qInf() << none;
    }
    void fromDouble()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        const std::optional<Money> money = Money::FromDouble(value);
        QCOMPARE(money ? money->ToText() : none, expected);
    }

    void rounded_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("expected");

        QTest::newRow("2.345 down to even") << QStringLiteral("2.345") << 2 << QStringLiteral("2.34");
        QTest::newRow("2.355 up to even") << QStringLiteral("2.355") << 2 << QStringLiteral("2.36");
        QTest::newRow("1.005 down to even") << QStringLiteral("1.005") << 2 << QStringLiteral("1");
        QTest::newRow("1.015 up to even") << QStringLiteral("1.015") << 2 << QStringLiteral("1.02");
        QTest::newRow("above the half") << QStringLiteral("2.345000000001") << 2 << QStringLiteral("2.35");
        QTest::newRow("carry into the whole") << QStringLiteral("999.995") << 2 << QStringLiteral("1000");
        QTest::newRow("one digit down") << QStringLiteral("2.45") << 1 << QStringLiteral("2.4");
        QTest::newRow("one digit up") << QStringLiteral("2.35") << 1 << QStringLiteral("2.4");
        QTest::newRow("2.5 to 2") << QStringLiteral("2.5") << 0 << QStringLiteral("2");
        QTest::newRow("-2.5 to -2") << QStringLiteral("-2.5") << 0 << QStringLiteral("-2");
        QTest::newRow("-3.5 to -4") << QStringLiteral("-3.5") << 0 << QStringLiteral("-4");
        QTest::newRow("-1.005 to -1") << QStringLiteral("-1.005") << 2 << QStringLiteral("-1");
        QTest::newRow("-0.5 to zero") << QStringLiteral("-0.5") << 0 << QStringLiteral("0");
        QTest::newRow("large amount to even")
            << QStringLiteral("123456789012.5") << 0 << QStringLiteral("123456789012");
        QTest::newRow("large amount, two digits")
            << QStringLiteral("123456789012.125") << 2 << QStringLiteral("123456789012.12");
        QTest::newRow("to tens") << QStringLiteral("25") << -1 << QStringLiteral("20");
        QTest::newRow("to tens, up") << QStringLiteral("35") << -1 << QStringLiteral("40");
        QTest::newRow("more digits than held")
            << QStringLiteral("0.000000000001") << 20 << QStringLiteral("0.000000000001");
        QTest::newRow("fewest digits an int allows")
            << QStringLiteral("-7") << std::numeric_limits<int>::min() << QStringLiteral("0");
        QTest::newRow("rounds beyond the range")
            << QStringLiteral("999999999999999999999999.5") << 0 << overflow;
    }
    void rounded()
    {
        QFETCH(QString, value);
        QFETCH(int, digits);
        QFETCH(QString, expected);
        const Money money = M(value);
        QCOMPARE(Outcome([&] { return money.Rounded(digits); }), expected);
    }

    void arithmetic_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<char>("operation");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("expected");

        const QString biggest = QStringLiteral("999999999999999999999999");
        QTest::newRow("sum without drift")
            << QStringLiteral("0.1") << '+' << QStringLiteral("0.2") << QStringLiteral("0.3");
        QTest::newRow("sum beyond the range") << biggest << '+' << QStringLiteral("1") << overflow;
        QTest::newRow("difference below zero")
            << QStringLiteral("0.3") << '-' << QStringLiteral("0.45") << QStringLiteral("-0.15");
        QTest::newRow("difference beyond the range")
            << QString(QLatin1Char('-') + biggest) << '-' << QStringLiteral("1") << overflow;
        QTest::newRow("quantity x rate")
            << QStringLiteral("0.333") << '*' << QStringLiteral("19.99") << QStringLiteral("6.65667");
        QTest::newRow("negative x negative")
            << QStringLiteral("-1.5") << '*' << QStringLiteral("-2.25") << QStringLiteral("3.375");
        QTest::newRow("large amount x 100") << QStringLiteral("123456789012.5") << '*'
                                            << QStringLiteral("100") << QStringLiteral("12345678901250");
        QTest::newRow("product below the unit, half to even")
            << QStringLiteral("0.0000005") << '*' << QStringLiteral("0.000001") << QStringLiteral("0");
        QTest::newRow("product below the unit, odd half")
            << QStringLiteral("0.0000015") << '*' << QStringLiteral("0.000001")
            << QStringLiteral("0.000000000002");
        QTest::newRow("product of large factors") << QStringLiteral("1e12") << '*' << QStringLiteral("1e11")
                                                  << QStringLiteral("100000000000000000000000");
        QTest::newRow("product beyond the range")
            << QStringLiteral("1e12") << '*' << QStringLiteral("-1e12") << overflow;
        QTest::newRow("percent of an amount")
            << QStringLiteral("3.10") << '%' << QStringLiteral("5") << QStringLiteral("0.155");
        // 1.495 units: rounding the product first would make it 1.5 and then 2.
        QTest::newRow("percent rounded once") << QStringLiteral("0.000000000001") << '%'
                                              << QStringLiteral("149.5") << QStringLiteral("0.000000000001");
        QTest::newRow("percent beyond the range") << biggest << '%' << QStringLiteral("101") << overflow;
        QTest::newRow("third") << QStringLiteral("10") << '/' << QStringLiteral("3")
                               << QStringLiteral("3.333333333333");
        QTest::newRow("negative two thirds")
            << QStringLiteral("-2") << '/' << QStringLiteral("3") << QStringLiteral("-0.666666666667");
        QTest::newRow("quotient half to even")
            << QStringLiteral("0.000000000005") << '/' << QStringLiteral("10") << QStringLiteral("0");
        QTest::newRow("by a large divisor") << QStringLiteral("1") << '/' << biggest << QStringLiteral("0");
        QTest::newRow("quotient beyond the range")
            << QStringLiteral("1e20") << '/' << QStringLiteral("0.0001") << overflow;
        QTest::newRow("by zero") << QStringLiteral("1") << '/' << QStringLiteral("0")
                                 << QStringLiteral("error %1").arg(MoneyErrorNumber::DivisionByZero);
    }
    void arithmetic()
    {
        QFETCH(QString, a);
        QFETCH(char, operation);
        QFETCH(QString, b);
        QFETCH(QString, expected);
        const Money x = M(a);
        const Money y = M(b);
        QCOMPARE(Outcome([&] {
            switch (operation) {
            case '+':
                return x + y;
            case '-':
                return x - y;
            case '*':
                return x * y;
            case '%':
                return x.Percent(y);
            default:
                return x / y;
            }
        }),
            expected);
    }

    void runningSumHasNoDrift()
    {
        Money sum;
        for (int i = 0; i < 1000; ++i)
            sum += M(QStringLiteral("0.01"));
        QCOMPARE(sum, Money(10));
        QCOMPARE(sum.Format(), QStringLiteral("10.00"));
        QCOMPARE(M(QStringLiteral("0.1")) + M(QStringLiteral("0.2")), M(QStringLiteral("0.3")));
        QCOMPARE((M(QStringLiteral("0.1")) + M(QStringLiteral("0.2"))).ToDouble(), 0.3);
        QVERIFY(M(QStringLiteral("-0.5")) < Money());
        QVERIFY(M(QStringLiteral("0.1")) < M(QStringLiteral("0.100000000001")));
    }

    void format_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("expected");

        const QString amount = QStringLiteral("######0.00");
        QTest::newRow("zero") << QStringLiteral("0") << amount << QStringLiteral("0.00");
        QTest::newRow("negative half to even")
            << QStringLiteral("-12.345") << amount << QStringLiteral("-12.34");
        QTest::newRow("negative shows as zero")
            << QStringLiteral("-0.004") << amount << QStringLiteral("0.00");
        QTest::newRow("carry into the whole")
            << QStringLiteral("19.995") << amount << QStringLiteral("20.00");
        QTest::newRow("more digits than the picture")
            << QStringLiteral("123456789012.5") << amount << QStringLiteral("123456789012.50");
        QTest::newRow("whole -1.5") << QStringLiteral("-1.5") << QStringLiteral("0") << QStringLiteral("-2");
        QTest::newRow("whole -0.5") << QStringLiteral("-0.5") << QStringLiteral("0") << QStringLiteral("0");
        QTest::newRow("zero padded id")
            << QStringLiteral("42") << QStringLiteral("000000") << QStringLiteral("000042");
        QTest::newRow("no required integer digit")
            << QStringLiteral("0.5") << QStringLiteral("#.00") << QStringLiteral(".50");
        QTest::newRow("optional decimals trimmed")
            << QStringLiteral("1.5") << QStringLiteral("0.##") << QStringLiteral("1.5");
        QTest::newRow("optional decimals all zero")
            << QStringLiteral("1.004") << QStringLiteral("0.##") << QStringLiteral("1");
        QTest::newRow("more decimals than held")
            << QStringLiteral("0.000000000001") << QStringLiteral("0.00000000000000")
            << QStringLiteral("0.00000000000100");
    }
    void format()
    {
        QFETCH(QString, value);
        QFETCH(QString, picture);
        QFETCH(QString, expected);
        QCOMPARE(M(value).Format(picture), expected);
    }

    // A bill's totals as the counter computes them: discount and taxes rounded to R digits,
    // total and nett not rounded again, tax 2 a percentage of tax 1.
    void billTotals_data()
    {
        QTest::addColumn<QString>("gross");
        QTest::addColumn<QString>("taxable");
        QTest::addColumn<QString>("discountPercent");
        QTest::addColumn<QString>("tax1Percent");
        QTest::addColumn<QString>("tax2Percent");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QStringList>("shown"); // gross, discount, total, tax 1, tax 2, nett

        const auto s = [](const char* texts) { return QString::fromLatin1(texts).split(u' '); };
        QTest::newRow("two lines, one taxable")
            << QStringLiteral("150") << QStringLiteral("100") << QStringLiteral("10") << QStringLiteral("5")
            << QStringLiteral("2") << 2 << s("150.00 15.00 135.00 4.50 0.09 139.59");
        QTest::newRow("whole amounts, 1.5 to even")
            << QStringLiteral("15") << QStringLiteral("0") << QStringLiteral("10") << QStringLiteral("5")
            << QStringLiteral("2") << 0 << s("15.00 2.00 13.00 0.00 0.00 13.00");
        QTest::newRow("tax 2 of tax 1")
            << QStringLiteral("90") << QStringLiteral("90") << QStringLiteral("0") << QStringLiteral("5")
            << QStringLiteral("10") << 2 << s("90.00 0.00 90.00 4.50 0.45 94.95");
        // 5 % of 3.10 is 0.155, which a double holds a hair below the half.
        QTest::newRow("discount on a decimal half")
            << QStringLiteral("3,10") << QStringLiteral("3.10") << QStringLiteral("5") << QStringLiteral("10")
            << QStringLiteral("0") << 2 << s("3.10 0.16 2.94 0.29 0.00 3.23");
        QTest::newRow("negative discount raises")
            << QStringLiteral("200") << QStringLiteral("200") << QStringLiteral("-12.5")
            << QStringLiteral("12.5") << QStringLiteral("0.5") << 2
            << s("200.00 -25.00 225.00 28.12 0.14 253.26");
        QTest::newRow("large amounts")
            << QStringLiteral("123456789012.5") << QStringLiteral("123456789012.5") << QStringLiteral("0")
            << QStringLiteral("10") << QStringLiteral("0") << 0
            << s("123456789012.50 0.00 123456789012.50 12345678901.00 0.00 135802467913.50");
    }
    void billTotals()
    {
        QFETCH(QString, gross);
        QFETCH(QString, taxable);
        QFETCH(QString, discountPercent);
        QFETCH(QString, tax1Percent);
        QFETCH(QString, tax2Percent);
        QFETCH(int, digits);
        QFETCH(QStringList, shown);

        const Money g = M(gross), t = M(taxable), d = M(discountPercent);
        const Money discount = g.Percent(d).Rounded(digits);
        const Money total = g - discount;
        const Money taxableDiscount = t.Percent(d).Rounded(digits);
        const Money tax1 = (t - taxableDiscount).Percent(M(tax1Percent)).Rounded(digits);
        const Money tax2 = tax1.Percent(M(tax2Percent)).Rounded(digits);
        const Money nett = total + tax1 + tax2;
        const QStringList amounts { g.Format(), discount.Format(), total.Format(), tax1.Format(),
            tax2.Format(), nett.Format() };
        QCOMPARE(amounts, shown);
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
