#include "ReportCatalogue.h"
#include "ReportCriteria.h"

#include <QSet>
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
    void catalogue();
    void emptyCriterionJoinsHeadAndTail_data();
    void emptyCriterionJoinsHeadAndTail();
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
    const QDate none;
    const QDate jan31(2024, 1, 31), feb29(2024, 2, 29);

    QTest::newRow("group number, no blank after =")
        << G::ProductGroup << u"3"_s << u"Snacks"_s << none << none << QString() << S::Ok
        << u" And ( a.PGId =3 ) "_s << u"3- Snacks"_s;
    QTest::newRow("group number padded with blanks")
        << G::ProductGroup << u"  3 "_s << u"Snacks"_s << none << none << QString() << S::Ok
        << u" And ( a.PGId =3 ) "_s << u"  3 - Snacks"_s;
    QTest::newRow("empty value selects everything") << G::ProductGroup << u"   "_s << u"Snacks"_s << none
                                                    << none << QString() << S::Ok << QString() << u"-"_s;
    QTest::newRow("document number") << G::DocumentNumber << u"12"_s << QString() << none << none << QString()
                                     << S::Ok << u" And ( a.EId =12 ) "_s << u"12- "_s;
    QTest::newRow("decimal comma becomes a number")
        << G::DocumentNumber << u"12,5"_s << QString() << none << none << QString() << S::Ok
        << u" And ( a.EId =12.5 ) "_s << u"12,5- "_s;
    QTest::newRow("account") << G::Account << u"2"_s << u"Cash"_s << none << none << QString() << S::Ok
                             << u" And ( a.AAId =2 ) "_s << u"2- Cash"_s;
    QTest::newRow("number with text") << G::DocumentNumber << u"12a"_s << QString() << none << none
                                      << QString() << S::InvalidCriteria << QString() << u"-"_s;
    QTest::newRow("number with a statement behind it")
        << G::DocumentNumber << u"1 ) Or ( 1=1"_s << QString() << none << none << QString()
        << S::InvalidCriteria << QString() << u"-"_s;
    QTest::newRow("number that ends a statement")
        << G::ProductGroup << u"1;Drop Table ktProduct"_s << QString() << none << none << QString()
        << S::InvalidCriteria << QString() << u"-"_s;
    QTest::newRow("product code") << G::ProductCode << u"P100"_s << u"Tea"_s << none << none << QString()
                                  << S::Ok << u" And ( a.PCode = 'P100' ) "_s << u"P100"_s;
    QTest::newRow("product code with a quote stays one literal")
        << G::ProductCode << u"P' Or '1'='1"_s << QString() << none << none << QString() << S::Ok
        << u" And ( a.PCode = 'P'' Or ''1''=''1' ) "_s << u"P' Or '1'='1"_s;
    QTest::newRow("dates month first")
        << G::DateRange << u"2024-01-31"_s << QString() << jan31 << feb29 << u"2024-02-29"_s << S::Ok
        << u" And ( a.EDate Between #01/31/2024# And #02/29/2024# ) "_s << u"2024-01-31 To 2024-02-29"_s;
    QTest::newRow("start equal to end")
        << G::DateRange << u"31.01.2024"_s << QString() << jan31 << jan31 << u"31.01.2024"_s << S::Ok
        << u" And ( a.EDate Between #01/31/2024# And #01/31/2024# ) "_s << u"31.01.2024 To 31.01.2024"_s;
    QTest::newRow("start after end") << G::DateRange << u"x"_s << QString() << feb29 << jan31 << u"y"_s
                                     << S::InvalidRange << QString() << u"-"_s;
    QTest::newRow("calendar without a date") << G::DateRange << u"x"_s << QString() << none << jan31 << u"y"_s
                                             << S::InvalidCriteria << QString() << u"-"_s;
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

void TestReportCriteria::catalogue()
{
    // Every code but the separators' has one report, and the template names never collide.
    const QSet<int> separators { 47, 50, 55, 62, 67, 74 };
    QSet<QString> names;
    for (int code = 30; code <= 90; ++code) {
        const ReportEntry* entry = ReportCatalogue::Find(code);
        const bool expected = code >= 41 && code <= 80 && !separators.contains(code);
        QCOMPARE(entry != nullptr, expected);
        if (entry) {
            QCOMPARE(entry->code, code);
            names.insert(entry->NamePart());
        }
    }
    QCOMPARE(ReportCatalogue::Entries().size(), size_t(34));
    QCOMPARE(names.size(), 34);
    QCOMPARE(ReportCatalogue::Find(41)->NamePart(), u"Pro41"_s);
    QCOMPARE(ReportCatalogue::Find(75)->NamePart(), u"Fas75"_s);

    // Exactly the prints of one document or one account refuse an empty criterion.
    QSet<int> needed;
    for (const ReportEntry& entry : ReportCatalogue::Entries())
        if (entry.criterionNeeded)
            needed.insert(entry.code);
    QCOMPARE(needed, (QSet<int> { 48, 56, 57, 58, 60, 63, 65, 79, 80 }));
}

void TestReportCriteria::emptyCriterionJoinsHeadAndTail_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("piece");
    QTest::newRow("fast-slow keeps two blanks") << 75 << u"b.PName  ORDER BY Sum(a.BQty) DESC"_s;
    QTest::newRow("monthly sales single blank")
        << 70 << u"FROM ktBillMast as a WHERE a.EId=a.EId  GROUP BY"_s;
    QTest::newRow("product listing") << 41 << u"Where 1=1  Order By a.PCode"_s;
}

void TestReportCriteria::emptyCriterionJoinsHeadAndTail()
{
    QFETCH(int, code);
    QFETCH(QString, piece);
    QVERIFY2(ReportCatalogue::Find(code)->Statement({}).contains(piece),
        qPrintable(ReportCatalogue::Find(code)->Statement({})));
}

QTEST_GUILESS_MAIN(TestReportCriteria)
#include "tst_reportcriteria.moc"
