#include "DateText.h"

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
        QTest::addColumn<QString>("text"); // 5 March 2026

        QTest::newRow("C") << u"C"_s << u"yyyy-MM-dd"_s << u"2026-03-05"_s;
        QTest::newRow("en_US widened year") << u"en_US"_s << u"M/d/yyyy"_s << u"3/5/2026"_s;
        QTest::newRow("de_DE widened year") << u"de_DE"_s << u"dd.MM.yyyy"_s << u"05.03.2026"_s;
        QTest::newRow("ja_JP year first") << u"ja_JP"_s << u"yyyy/MM/dd"_s << u"2026/03/05"_s;
    }
    void shortDate()
    {
        QFETCH(QString, locale);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(ShortDateFormat(), format);
        QCOMPARE(ShortDate(QDate(2026, 3, 5)), text);
        QCOMPARE(ParseShortDate(text), QDate(2026, 3, 5));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char* name : { "C", "en_US", "de_DE", "en_GB", "ja_JP", "ko_KR", "bg_BG" })
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void roundTrip()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        // Every day of a leap year, and days in other centuries.
        std::vector<QDate> dates;
        for (QDate d(2024, 1, 1); d.year() == 2024; d = d.addDays(1))
            dates.push_back(d);
        dates.insert(dates.end(), { QDate(1999, 12, 31), QDate(2000, 2, 29), QDate(2100, 1, 9) });
        for (const QDate& date : dates) {
            const QString text = ShortDate(date);
            QVERIFY2(ParseShortDate(text) == date, qPrintable(text));
        }
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
        QTest::newRow("empty") << c << QString() << QDate();
    }
    void parse()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        QLocale::setDefault(QLocale(locale));
        const QDate parsed = ParseShortDate(text);
        QCOMPARE(parsed.isValid(), expected.isValid());
        if (expected.isValid())
            QCOMPARE(parsed, expected);
    }

    void invalidDateWritesNothing() { QCOMPARE(ShortDate(QDate()), QString()); }

    void sqlDate_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("expected");

        QTest::newRow("de_DE dot separator") << u"de_DE"_s << QDate(2026, 3, 5) << u"#03/05/2026#"_s;
        QTest::newRow("ar_EG native digits") << u"ar_EG"_s << QDate(2026, 3, 5) << u"#03/05/2026#"_s;
    }
    void sqlDate()
    {
        QFETCH(QString, locale);
        QFETCH(QDate, date);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(SqlDate(date), expected);
    }
};

QTEST_GUILESS_MAIN(TestDateText)
#include "tst_datetext.moc"
