#include "DbError.h"
#include "Money.h"

#include <functional>
#include <limits>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

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
        return u"error %1"_s.arg(error.number);
    }
}

const QString overflow = u"error %1"_s.arg(MoneyErrorNumber::Overflow);
const QString none = u"none"_s;

} // namespace

class TestMoney : public QObject {
    Q_OBJECT
private slots:
    void fromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("decimal comma") << u"-12,50"_s << u"-12.5"_s;
        QTest::newRow("negative exponent") << u"12,5E-4"_s << u"0.00125"_s;
        QTest::newRow("beyond the twelfth decimal, half to even")
            << u"0.0000000000025"_s << u"0.000000000002"_s;
        QTest::newRow("beyond the twelfth decimal, above the half")
            << u"0.00000000000250001"_s << u"0.000000000003"_s;
        QTest::newRow("largest") << u"999999999999999999999999.999999999999"_s
                                 << u"999999999999999999999999.999999999999"_s;
        QTest::newRow("just beyond the range") << u"-1e24"_s << none;
        QTest::newRow("rounds up beyond the range") << u"999999999999999999999999.9999999999995"_s << none;
        QTest::newRow("comma and point") << u"1,234.5"_s << none;
    }
    void fromText()
    {
        QFETCH(QString, text);
        const std::optional<Money> parsed = Money::FromText(text);
        QTEST(parsed ? parsed->ToText() : none, "expected");
    }

    // Typed values go to storage and come back as the same decimal.
    void doubleRoundTrip()
    {
        for (const QString& text : { u"2.345"_s, u"-98765.4321098765"_s, u"0.000000000001"_s }) {
            const Money typed = M(text);
            QCOMPARE(typed.ToDouble(), text.toDouble());
            QCOMPARE(Money::FromDouble(typed.ToDouble()), std::optional<Money>(typed));
        }
    }

    void fromDouble_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");

        QTest::newRow("binary noise beyond 15 digits") << 0.1 + 0.2 << u"0.3"_s;
        QTest::newRow("noise on a half") << 10 * 23.35 / 100 << u"2.335"_s;
        QTest::newRow("negative zero") << -0.0 << u"0"_s;
        QTest::newRow("below the last unit") << 4e-13 << u"0"_s;
        QTest::newRow("largest 15 digits") << 9.99999999999999e23 << u"999999999999999000000000"_s;
        QTest::newRow("beyond the range") << 1e24 << none;
    }
    void fromDouble()
    {
        QFETCH(double, value);
        const std::optional<Money> money = Money::FromDouble(value);
        QTEST(money ? money->ToText() : none, "expected");
    }

    void rounded_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("expected");

        QTest::newRow("2.345 down to even") << u"2.345"_s << 2 << u"2.34"_s;
        QTest::newRow("above the half") << u"2.345000000001"_s << 2 << u"2.35"_s;
        QTest::newRow("carry into the whole") << u"999.995"_s << 2 << u"1000"_s;
        QTest::newRow("-3.5 to -4") << u"-3.5"_s << 0 << u"-4"_s;
        QTest::newRow("-0.5 to zero") << u"-0.5"_s << 0 << u"0"_s;
        QTest::newRow("to tens") << u"25"_s << -1 << u"20"_s;
        QTest::newRow("more digits than held") << u"0.000000000001"_s << 20 << u"0.000000000001"_s;
        QTest::newRow("fewest digits an int allows") << u"-7"_s << std::numeric_limits<int>::min() << u"0"_s;
        QTest::newRow("rounds beyond the range") << u"999999999999999999999999.5"_s << 0 << overflow;
    }
    void rounded()
    {
        QFETCH(QString, value);
        QFETCH(int, digits);
        QTEST(Outcome([&] { return M(value).Rounded(digits); }), "expected");
    }

    void arithmetic_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<char>("operation");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("expected");

        const QString biggest = u"999999999999999999999999"_s;
        QTest::newRow("sum without drift") << u"0.1"_s << '+' << u"0.2"_s << u"0.3"_s;
        QTest::newRow("sum beyond the range") << biggest << '+' << u"1"_s << overflow;
        QTest::newRow("difference beyond the range")
            << QString(QLatin1Char('-') + biggest) << '-' << u"1"_s << overflow;
        QTest::newRow("quantity x rate") << u"0.333"_s << '*' << u"19.99"_s << u"6.65667"_s;
        QTest::newRow("product below the unit, half to even")
            << u"0.0000005"_s << '*' << u"0.000001"_s << u"0"_s;
        QTest::newRow("product below the unit, odd half")
            << u"0.0000015"_s << '*' << u"0.000001"_s << u"0.000000000002"_s;
        QTest::newRow("product beyond the range") << u"1e12"_s << '*' << u"-1e12"_s << overflow;
        QTest::newRow("percent of an amount") << u"3.10"_s << '%' << u"5"_s << u"0.155"_s;
        // 1.495 units: rounding the product first would make it 1.5 and then 2.
        QTest::newRow("percent rounded once")
            << u"0.000000000001"_s << '%' << u"149.5"_s << u"0.000000000001"_s;
        QTest::newRow("percent beyond the range") << biggest << '%' << u"101"_s << overflow;
        QTest::newRow("negative two thirds") << u"-2"_s << '/' << u"3"_s << u"-0.666666666667"_s;
        QTest::newRow("quotient half to even") << u"0.000000000005"_s << '/' << u"10"_s << u"0"_s;
        QTest::newRow("quotient beyond the range") << u"1e20"_s << '/' << u"0.0001"_s << overflow;
        QTest::newRow("by zero") << u"1"_s << '/' << u"0"_s
                                 << u"error %1"_s.arg(MoneyErrorNumber::DivisionByZero);
    }
    void arithmetic()
    {
        QFETCH(QString, a);
        QFETCH(char, operation);
        QFETCH(QString, b);
        const Money x = M(a);
        const Money y = M(b);
        QTEST(Outcome([&] {
            return operation == '+' ? x + y
                : operation == '-'  ? x - y
                : operation == '*'  ? x * y
                : operation == '%'  ? x.Percent(y)
                                    : x / y;
        }),
            "expected");
    }

    void runningSumHasNoDrift()
    {
        Money sum;
        for (int i = 0; i < 1000; ++i)
            sum += M(u"0.01"_s);
        QCOMPARE(sum, Money(10));
        QCOMPARE(sum.Format(), u"10.00"_s);
        QVERIFY(M(u"-0.5"_s) < Money());
        QVERIFY(M(u"0.1"_s) < M(u"0.100000000001"_s));
    }

    void format_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("expected");

        const QString amount = u"######0.00"_s;
        QTest::newRow("negative half to even") << u"-12.345"_s << amount << u"-12.34"_s;
        QTest::newRow("negative shows as zero") << u"-0.004"_s << amount << u"0.00"_s;
        QTest::newRow("carry into the whole") << u"19.995"_s << amount << u"20.00"_s;
        QTest::newRow("zero padded id") << u"42"_s << u"000000"_s << u"000042"_s;
        QTest::newRow("no required integer digit") << u"0.5"_s << u"#.00"_s << u".50"_s;
        QTest::newRow("optional decimals all zero") << u"1.004"_s << u"0.##"_s << u"1"_s;
        QTest::newRow("more decimals than held")
            << u"0.000000000001"_s << u"0.00000000000000"_s << u"0.00000000000100"_s;
    }
    void format()
    {
        QFETCH(QString, value);
        QFETCH(QString, picture);
        QTEST(M(value).Format(picture), "expected");
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
