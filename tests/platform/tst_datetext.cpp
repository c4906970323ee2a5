#include "DateText.h"

#include <QLocale>
#include <QTest>

using namespace kivo;

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

        QTest::newRow("C") << QStringLiteral("C") << QStringLiteral("yyyy-MM-dd")
                           << QStringLiteral("2026-03-05");
        QTest::newRow("en_US widened year")
            << QStringLiteral("en_US") << QStringLiteral("M/d/yyyy") << QStringLiteral("3/5/2026");
        QTest::newRow("de_DE widened year")
            << QStringLiteral("de_DE") << QStringLiteral("dd.MM.yyyy") << QStringLiteral("05.03.2026");
        QTest::newRow("en_GB") << QStringLiteral("en_GB") << QStringLiteral("dd/MM/yyyy")
                               << QStringLiteral("05/03/2026");
        QTest::newRow("ja_JP year first")
            << QStringLiteral("ja_JP") << QStringLiteral("yyyy/MM/dd") << QStringLiteral("2026/03/05");
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
        const QString c = QStringLiteral("C");
        const QString us = QStringLiteral("en_US");
        const QString de = QStringLiteral("de_DE");
        QTest::newRow("C with blanks") << c << QStringLiteral(" 2026-03-05 ") << march5;
        QTest::newRow("en_US leading zeros") << us << QStringLiteral("03/05/2026") << march5;
        QTest::newRow("de_DE without leading zeros") << de << QStringLiteral("5.3.2026") << march5;
        QTest::newRow("de_DE ISO accepted") << de << QStringLiteral("2026-03-05") << march5;
        QTest::newRow("en_US two-digit year") << us << QStringLiteral("3/5/26") << QDate();
        QTest::newRow("de_DE other order not guessed") << de << QStringLiteral("03/05/2026") << QDate();
        QTest::newRow("en_US month 13") << us << QStringLiteral("13/5/2026") << QDate();
        QTest::newRow("no such day") << c << QStringLiteral("2026-02-30") << QDate();
        QTest::newRow("trailing text") << c << QStringLiteral("2026-03-05x") << QDate();
        QTest::newRow("time after the date") << c << QStringLiteral("2026-03-05 10:00") << QDate();
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

        QTest::newRow("C") << QStringLiteral("C") << QDate(2026, 3, 5) << QStringLiteral("#03/05/2026#");
        QTest::newRow("de_DE dot separator")
            << QStringLiteral("de_DE") << QDate(2026, 3, 5) << QStringLiteral("#03/05/2026#");
        QTest::newRow("ar_EG native digits")
            << QStringLiteral("ar_EG") << QDate(2026, 3, 5) << QStringLiteral("#03/05/2026#");
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
