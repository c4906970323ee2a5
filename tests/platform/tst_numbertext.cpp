#include "NumberText.h"

#include <cmath>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void parseNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // -1: refused

        QTest::newRow("blanks around") << u" 12.50 "_s << 12.5;
        QTest::newRow("decimal comma") << u"12,5"_s << 12.5;
        QTest::newRow("empty") << QString() << -1.0;
        QTest::newRow("trailing letter") << u"12a"_s << -1.0;
        // "," is a decimal point, never a thousands separator.
        QTest::newRow("comma and point") << u"1,234.5"_s << -1.0;
        QTest::newRow("lone sign") << u"-"_s << -1.0;
        QTest::newRow("infinity") << u"inf"_s << -1.0;
        QTest::newRow("overflow") << u"1e400"_s << -1.0;
    }
    void parseNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(ParseNumber(text).value_or(-1), value);
        QCOMPARE(IsNumeric(text), value != -1);
    }

    // Decimal rounding itself is Money's; these rows are about the step from a double to
    // the decimal it stands for.
    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<double>("expected");

        // 2.345, 1.005 and 2.675 lie below their halves in binary, but are halves as typed.
        QTest::newRow("2.345 down to even") << 2.345 << 2 << 2.34;
        QTest::newRow("-2.5 to -2") << -2.5 << 0 << -2.0;
        QTest::newRow("a hair above the half") << 12345.6650000001 << 2 << 12345.67;
        // A discount of 5 % on 3.10 is 0.155 on paper, a hair below in binary.
        QTest::newRow("computed half") << 5 * 3.1 / 100 << 2 << 0.16;
        QTest::newRow("negative to zero") << -0.004 << 2 << 0.0;
        QTest::newRow("infinity") << qInf() << 2 << qInf();
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(int, digits);
        QFETCH(double, expected);
        QCOMPARE(RoundHalfEven(value, digits), expected);
        QCOMPARE(std::signbit(RoundHalfEven(value, digits)), std::signbit(expected));
    }

    // Pictures are Money's; these rows are about the doubles that reach the screen, with a
    // picture or (none) as plain text.
    void formatNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("expected");

        const QString amount = u"######0.00"_s;
        double summed = 0; // a thousand times 0.01 in doubles drifts below 10
        for (int i = 0; i < 1000; ++i)
            summed += 0.01;
        QTest::newRow("binary below the half") << 1.005 << amount << u"1.00"_s;
        QTest::newRow("drift of a long sum") << summed << amount << u"10.00"_s;
        QTest::newRow("infinity") << qInf() << amount << u"inf"_s;
        QTest::newRow("plain fraction") << 12.5 << QString() << u"12.5"_s;
        QTest::newRow("plain negative zero") << -0.0 << QString() << u"0"_s;
        QTest::newRow("plain, arithmetic noise hidden") << 0.1 + 0.2 << QString() << u"0.3"_s;
    }
    void formatNumber()
    {
        QFETCH(double, value);
        QFETCH(QString, picture);
        QTEST(picture.isEmpty() ? NumberText(value) : FormatNumber(value, picture), "expected");
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
