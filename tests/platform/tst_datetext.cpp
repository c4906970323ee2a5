#include "DateText.h"
#include "FieldConversion.h"

#include <QLocale>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

class TestDateText : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void shortDate_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text"); // 5 March 2026; every other day reads back too

        QTest::newRow("C") << u"C"_s << u"yyyy-MM-dd"_s << u"2026-03-05"_s;
        QTest::newRow("en_US widened year") << u"en_US"_s << u"M/d/yyyy"_s << u"3/5/2026"_s;
        QTest::newRow("ja_JP year first") << u"ja_JP"_s << u"yyyy/MM/dd"_s << u"2026/03/05"_s;
        QTest::newRow("ko_KR dots and blanks") << u"ko_KR"_s << u"yyyy. M. d."_s << u"2026. 3. 5."_s;
        QTest::newRow("bg_BG quoted text") << u"bg_BG"_s << u"d.MM.yyyy 'г'."_s << u"5.03.2026 г."_s;
    }
    void shortDate()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        QTEST(ShortDateFormat(), "format");
        QCOMPARE(ShortDate(QDate(2026, 3, 5)), text);
        QCOMPARE(ParseShortDate(text), QDate(2026, 3, 5));
        QCOMPARE(ShortDate(QDate()), QString());
        // Every day of a leap year, and days in other centuries.
        std::vector<QDate> dates { QDate(1999, 12, 31), QDate(2000, 2, 29), QDate(2100, 1, 9) };
        for (QDate d(2024, 1, 1); d.year() == 2024; d = d.addDays(1))
            dates.push_back(d);
        for (const QDate& date : dates)
            QVERIFY2(ParseShortDate(ShortDate(date)) == date, qPrintable(ShortDate(date)));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected");

        const QDate march5(2026, 3, 5);
        const QString c = u"C"_s;
        const QString us = u"en_US"_s;
        const QString de = u"de_DE"_s;
        QTest::newRow("C with blanks") << c << u" 2026-03-05 "_s << march5;
        QTest::newRow("de_DE without leading zeros") << de << u"5.3.2026"_s << march5;
        QTest::newRow("de_DE ISO accepted") << de << u"2026-03-05"_s << march5;
        QTest::newRow("en_US two-digit year") << us << u"3/5/26"_s << QDate();
        QTest::newRow("de_DE other order not guessed") << de << u"03/05/2026"_s << QDate();
        QTest::newRow("no such day") << c << u"2026-02-30"_s << QDate();
        QTest::newRow("trailing text") << c << u"2026-03-05x"_s << QDate();
    }
    void parse()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        QTEST(ParseShortDate(text), "expected");
    }

    // Stored dates ("2026-03-05") become day numbers without the calendar's help: every day of
    // eight centuries agrees with it, in the engine's bytes and in text alike, and text that is
    // no stored date is refused.
    void storedDayNumber()
    {
        for (QDate d(1600, 1, 1); d.year() <= 2400; d = d.addDays(1)) {
            const QByteArray bytes = d.toString(Qt::ISODate).toLatin1() + "T10:00";
            const QString text = QString::fromLatin1(bytes);
            QCOMPARE(IsoDayNumber(bytes.constData(), bytes.size()), std::optional(d.toJulianDay()));
            QCOMPARE(IsoDayNumber(text.utf16(), 10), std::optional(d.toJulianDay()));
        }
        for (const char* bad : { "2026-02-29", "1900-02-29", "2026-04-31", "2026-13-01", "2026-00-10",
                 "2026-03-00", "0000-01-01", "2026-3-05", "2026/03/05", "20x6-03-05", "2026-03-0" }) {
            QVERIFY2(!IsoDayNumber(bad, qsizetype(qstrlen(bad))), bad);
        }
    }

    // A date in a statement is month/day/year in ASCII digits, whatever the separator and
    // digits of the shop's locale.
    void sqlDate()
    {
        for (const QString& locale : { u"de_DE"_s, u"ar_EG"_s }) {
            QLocale::setDefault(QLocale(locale));
            QCOMPARE(SqlDate(QDate(2026, 3, 5)), u"#03/05/2026#"_s);
        }
    }
};

QTEST_GUILESS_MAIN(TestDateText)
#include "tst_datetext.moc"
