#include "ReportCriteria.h"

#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(kivo::CriterionGroup)
Q_DECLARE_METATYPE(kivo::Criterion::Status)

class TestReportCriteria : public QObject {
    Q_OBJECT

private slots:
    void criterion_data();
    void criterion();
};

void TestReportCriteria::criterion_data()
{
    QTest::addColumn<CriterionGroup>("group");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<QString>("endText");
    QTest::addColumn<Criterion::Status>("status");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("filter");

    using G = CriterionGroup;
    using S = Criterion::Status;
    const auto typed = [](const char* name, G group, const QString& value, const QString& label, S status,
                           const QString& sql, const QString& filter) {
        QTest::newRow(name) << group << value << label << QDate() << QDate() << QString() << status << sql
                            << filter;
    };
    const auto dated = [](const char* name, const QString& startText, const QDate& start, const QDate& end,
                           const QString& endText, S status, const QString& sql, const QString& filter) {
        QTest::newRow(name) << G::DateRange << startText << QString() << start << end << endText << status
                            << sql << filter;
    };
    const QDate jan31(2024, 1, 31), feb29(2024, 2, 29);

    typed("group number, no blank after =", G::ProductGroup, u"3"_s, u"Snacks"_s, S::Ok,
        u" And ( a.PGId =3 ) "_s, u"3- Snacks"_s);
    typed("group number padded with blanks", G::ProductGroup, u"  3 "_s, u"Snacks"_s, S::Ok,
        u" And ( a.PGId =3 ) "_s, u"  3 - Snacks"_s);
    typed("empty value selects everything", G::ProductGroup, u"   "_s, u"Snacks"_s, S::Ok, QString(), u"-"_s);
    typed("decimal comma becomes a number", G::DocumentNumber, u"12,5"_s, QString(), S::Ok,
        u" And ( a.EId =12.5 ) "_s, u"12,5- "_s);
    typed("number with text", G::DocumentNumber, u"12a"_s, QString(), S::InvalidCriteria, QString(), u"-"_s);
    typed("number with a statement behind it", G::DocumentNumber, u"1 ) Or ( 1=1"_s, QString(),
        S::InvalidCriteria, QString(), u"-"_s);
    typed("product code", G::ProductCode, u"P100"_s, u"Tea"_s, S::Ok, u" And ( a.PCode = 'P100' ) "_s,
        u"P100"_s);
    typed("product code with a quote stays one literal", G::ProductCode, u"P' Or '1'='1"_s, QString(), S::Ok,
        u" And ( a.PCode = 'P'' Or ''1''=''1' ) "_s, u"P' Or '1'='1"_s);
    dated("dates month first", u"2024-01-31"_s, jan31, feb29, u"2024-02-29"_s, S::Ok,
        u" And ( a.EDate Between #01/31/2024# And #02/29/2024# ) "_s, u"2024-01-31 To 2024-02-29"_s);
    dated("start equal to end", u"31.01.2024"_s, jan31, jan31, u"31.01.2024"_s, S::Ok,
        u" And ( a.EDate Between #01/31/2024# And #01/31/2024# ) "_s, u"31.01.2024 To 31.01.2024"_s);
    dated("start after end", u"x"_s, feb29, jan31, u"y"_s, S::InvalidRange, QString(), u"-"_s);
    dated("calendar without a date", u"x"_s, QDate(), jan31, u"y"_s, S::InvalidCriteria, QString(), u"-"_s);
}

void TestReportCriteria::criterion()
{
    QFETCH(CriterionGroup, group);
    QFETCH(QString, value);
    QFETCH(QString, label);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(QString, endText);

    const Criterion c = BuildCriterion(CriterionSetup::For(group), value, label, start, end, endText);
    QTEST(c.status, "status");
    QTEST(c.CriteriaSql, "sql");
    QTEST(c.FilterText, "filter");
}

QTEST_GUILESS_MAIN(TestReportCriteria)
#include "tst_reportcriteria.moc"
