#include "PageModel.h"
#include "Recordset.h"
#include "ReportLayout.h"
#include "ReportRows.h"
#include "ReportTemplate.h"
#include "TempDatabase.h"

#include <QLocale>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

struct Laid {
    PageModel pages;
    QString error;
};

Laid Lay(const QString& text, const ReportRows& rows, const ReportLayout::Parameters& parameters = {})
{
    Laid laid;
    TemplateError error;
    const ReportTemplate tpl = ReportTemplate::Parse(text, u"t.Kvr"_s, &error);
    if (tpl.IsEmpty()) {
        laid.error = error.Text();
        return laid;
    }
    ReportLayout layout(tpl, rows, parameters);
    if (!layout.Bind(&error)) {
        laid.error = error.Text();
        return laid;
    }
    layout.LayOutAll();
    laid.pages = layout.Pages();
    return laid;
}

// The texts of a page in the order they were placed, the page count filled in.
QStringList Texts(const PageModel& pages, int page)
{
    QStringList texts;
    for (const PageModel::Item& item : pages.PageAt(page).items)
        if (item.kind == PageModel::Kind::Text) {
            QString text = item.text;
            texts << text.replace(PageModel::PagesMarker, QString::number(pages.PagesShown()));
        }
    return texts;
}

QStringList AllTexts(const PageModel& pages)
{
    QStringList texts;
    for (int page = 0; page < pages.PageCount(); ++page)
        texts << Texts(pages, page);
    return texts;
}

// Products in groups: code, group, price, quantity.
TableRows Products(const QList<int>& groupSizes)
{
    std::vector<QVariantList> rows;
    int n = 0;
    for (qsizetype g = 0; g < groupSizes.size(); ++g)
        for (int i = 0; i < groupSizes[g]; ++i) {
            ++n;
            rows.push_back(
                { u"C%1"_s.arg(n, 3, 10, QChar(u'0')), qlonglong(g + 1), 10.0 * n + 0.25, qlonglong(n % 4) });
        }
    return TableRows({ u"PCode"_s, u"PGId"_s, u"PPrice"_s, u"PQty"_s }, std::move(rows));
}

const QString listingHead
    = u"report title=T page=A4 margin-top=10 margin-bottom=10\n"
      "band kind=pageheader height=10\n"
      "label x=0 y=0 w=30 h=5 text=Code\n"
      "band kind=pagefooter height=8\n"
      "field x=0 y=2 w=180 h=5 expr=\"'Page ' & page & ' of ' & pages\" align=right\n"_s;

} // namespace

class TestReportLayout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        m_db = std::make_unique<test::TempDatabase>(test::TempDatabase::Content::Demo);
    }
    void cleanupTestCase() { m_db.reset(); }

    // A join read through a recordset: names the join repeats are told apart by their alias,
    // and bill totals come out as the database sums them.
    void recordsetRowsOfAJoin()
    {
        Connection& connection = m_db->connection();
        Recordset rs(connection);
        rs.Open(u"Select a.EId, b.EId, a.BGross, b.BPDesc, b.BValue From ktBillMast a, ktBillDetl b "
                "Where a.EId = b.EId Order By a.EId, b.BPDesc"_s);
        const RecordsetRows rows(rs);
        QCOMPARE(rows.RowCount(),
            connection.Scalar(u"Select Count(*) From ktBillMast a, ktBillDetl b Where a.EId = b.EId"_s)
                .toInt());
        QVERIFY(rows.RowCount() > 0);
        QCOMPARE(rows.ColumnIndex(u"a.EId"_s), 0);
        QCOMPARE(rows.ColumnIndex(u"B.eid"_s), 1);
        QCOMPARE(rows.ColumnIndex(u"EId"_s), 0);
        QCOMPARE(rows.ColumnIndex(u"BPDesc"_s), 3);
        QCOMPARE(rows.ColumnIndex(u"c.EId"_s), 0); // a qualifier that names no table finds the name
        QCOMPARE(rows.ColumnIndex(u"BNone"_s), -1);
        const Laid laid
            = Lay(u"report\ngroup name=bill expr=\"a.EId\"\n"
                  "band kind=groupfooter group=bill height=5\n"
                  "field expr=\"b.EId & ' ' & format(sum(b.BValue), '0.00') & ' ' & count()\"\n"_s,
                rows);
        QCOMPARE(laid.error, QString());
        QStringList expected;
        Recordset totals(connection);
        totals.Open(
            u"Select EId, Sum(BValue), Count(*) From ktBillDetl Where EId In (Select EId From ktBillMast) "
            "Group By EId Order By EId"_s);
        for (totals.MoveFirst(); !totals.Eof(); totals.MoveNext())
            expected << u"%1 %2 %3"_s.arg(
                totals.Text(0), QString::number(totals.Value(1).toDouble(), 'f', 2), totals.Text(2));
        QCOMPARE(AllTexts(laid.pages), expected);
    }

    void formats_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("shown");

        QTest::newRow("two decimals") << QVariant(1234.5) << u"#####0.00"_s << u"1234.50"_s;
        QTest::newRow("grouped") << QVariant(1234567.891) << u"#,##0.00"_s << u"1,234,567.89"_s;
        QTest::newRow("grouped negative") << QVariant(-1234.5) << u"#,##0.00"_s << u"-1,234.50"_s;
        QTest::newRow("grouping carries") << QVariant(999.995) << u"#,##0.00"_s << u"1,000.00"_s;
        QTest::newRow("half up") << QVariant(2.5) << u"0"_s << u"3"_s;
        QTest::newRow("half away from zero") << QVariant(-2.5) << u"0"_s << u"-3"_s;
        QTest::newRow("whole from a long") << QVariant(qlonglong(42)) << u"0"_s << u"42"_s;
        QTest::newRow("decimal half of a double") << QVariant(2.675) << u"0.00"_s << u"2.68"_s;
        QTest::newRow("tiny negative has no sign") << QVariant(-0.001) << u"0.00"_s << u"0.00"_s;
        QTest::newRow("optional decimals") << QVariant(0.1) << u"#0.0#"_s << u"0.1"_s;
        QTest::newRow("optional decimal rounds") << QVariant(0.125) << u"#0.0#"_s << u"0.13"_s;
        QTest::newRow("leading zeros") << QVariant(7) << u"000"_s << u"007"_s;
        QTest::newRow("big") << QVariant(1e15) << u"#,##0"_s << u"1,000,000,000,000,000"_s;
        QTest::newRow("numeric text") << QVariant(u"12.5"_s) << u"0.00"_s << u"12.50"_s;
        QTest::newRow("other text stays") << QVariant(u"n/a"_s) << u"0.00"_s << u"n/a"_s;
        QTest::newRow("null as a number") << QVariant() << u"0.00"_s << u"0.00"_s;
        QTest::newRow("null as a date") << QVariant() << u"shortdate"_s << QString();
        QTest::newRow("no format, double") << QVariant(12.50) << QString() << u"12.5"_s;
        QTest::newRow("no format, date") << QVariant(QDate(2026, 3, 5)) << QString() << u"2026-03-05"_s;
        QTest::newRow("shortdate") << QVariant(QDate(2026, 3, 5)) << u"shortdate"_s << u"2026-03-05"_s;
        QTest::newRow("date pattern") << QVariant(QDate(2026, 3, 5)) << u"dd/MM/yyyy"_s << u"05/03/2026"_s;
        QTest::newRow("month name pattern") << QVariant(QDate(2026, 3, 5)) << u"d MMM yy"_s << u"5 Mar 26"_s;
        QTest::newRow("date from text") << QVariant(u"2026-12-31"_s) << u"dd.MM.yyyy"_s << u"31.12.2026"_s;
    }

    void formats()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, shown);
        const TableRows rows({ u"V"_s }, { { value } });
        const QString attribute = format.isEmpty() ? QString() : u" format=\"%1\""_s.arg(format);
        const Laid laid = Lay(
            u"report\nband kind=detail height=5\nfield x=0 y=0 w=80 h=5 expr=\"V\"%1\n"_s.arg(attribute),
            rows);
        QCOMPARE(laid.error, QString());
        const QStringList texts = Texts(laid.pages, 0);
        QCOMPARE(texts.value(0), shown); // an empty text is not placed at all
    }

    void expressions_data()
    {
        QTest::addColumn<QString>("expr");
        QTest::addColumn<QString>("shown");

        QTest::newRow("arithmetic order") << u"2 + 3 * 4 - 10 / 4"_s << u"11.5"_s;
        QTest::newRow("sign and parentheses") << u"-(2 - 5) * PQty"_s << u"9"_s;
        QTest::newRow("division by zero") << u"PPrice / (PQty - 3)"_s << u"0"_s;
        QTest::newRow("columns multiply") << u"PQty * PPrice"_s << u"7.5"_s;
        QTest::newRow("join") << u"'n=' & PQty & '/' & PPrice"_s << u"n=3/2.5"_s;
        QTest::newRow("quote in text") << u"'it''s'"_s << u"it's"_s;
        QTest::newRow("iif with logic")
            << u"iif(PQty > 2 and not (PPrice = 3) or 1 = 0, 'big', 'small')"_s << u"big"_s;
        QTest::newRow("text compares without case")
            << u"iif(trim(PName) = 'AB C', 'same', 'other')"_s << u"same"_s;
        QTest::newRow("number against numeric text") << u"iif(PQty >= '3', 'yes', 'no')"_s << u"yes"_s;
        QTest::newRow("dates compare") << u"iif(PDate < PLater, 'before', 'after')"_s << u"before"_s;
        QTest::newRow("fixed") << u"fixed(PPrice, 2)"_s << u"2.50"_s;
        QTest::newRow("fixed rounds the decimal half") << u"fixed(1.005, 2)"_s << u"1.01"_s;
        QTest::newRow("format function") << u"format(PPrice * 1000, '#,##0.0')"_s << u"2,500.0"_s;
        QTest::newRow("text functions")
            << u"upper(trim(PName)) & '|' & left(trim(PName), 2) & '|' & left(PName, -1) & '|'"_s
            << u"AB C|Ab||"_s;
        QTest::newRow("date parts") << u"monthname(month(PDate)) & ' ' & day(PDate) & ' ' & year(PDate)"_s
                                    << u"Mar 5 2026"_s;
        QTest::newRow("month name of a date") << u"monthname(PDate) & monthname(13)"_s << u"Mar"_s;
        QTest::newRow("null as number") << u"PNull + 1"_s << u"1"_s;
        QTest::newRow("null as text") << u"'<' & PNull & '>'"_s << u"<>"_s;
        QTest::newRow("null date parts") << u"'<' & year(PNull) & '>'"_s << u"<>"_s;
        QTest::newRow("parameter") << u"pEntName & ' ' & pFilter"_s << u"Shop -"_s;
        QTest::newRow("by position") << u"#1 * 2"_s << u"6"_s;
        QTest::newRow("functions without case") << u"UPPER(pEntName)"_s << u"SHOP"_s;
    }

    void expressions()
    {
        QFETCH(QString, expr);
        QFETCH(QString, shown);
        const TableRows rows({ u"PName"_s, u"PQty"_s, u"PPrice"_s, u"PDate"_s, u"PLater"_s, u"PNull"_s },
            { { u" Ab c "_s, qlonglong(3), 2.5, QDate(2026, 3, 5), QDate(2026, 4, 1), QVariant() } });
        const Laid laid = Lay(u"report\nparameter name=pEntName\nparameter name=pFilter default=-\n"
                              "band kind=detail height=5\nfield x=0 y=0 w=150 h=5 expr=\"%1\"\n"_s.arg(expr),
            rows, { { u"pEntName"_s, u"Shop"_s } });
        QCOMPARE(laid.error, QString());
        QCOMPARE(Texts(laid.pages, 0).value(0), shown);
    }

    // Every row once and in order, within the body of its page; "Page n of m" right on each.
    void pagination()
    {
        const TableRows rows = Products({ 250 });
        const Laid laid = Lay(listingHead
                + u"band kind=detail height=5\nfield x=0 y=0 w=30 h=5 expr=\"PCode\"\n"
                  "band kind=summary height=6\nfield x=0 y=0 w=30 h=5 expr=\"'Rows: ' & count()\"\n"_s,
            rows);
        QCOMPARE(laid.error, QString());
        const PageModel& pages = laid.pages;
        // 297 - 10 - 10 - 8 (footer) - 10 (header) leaves 259 mm: 51 rows of 5 mm a page.
        QCOMPARE(pages.PageCount(), 5);
        QCOMPARE(pages.PagesShown(), 5);
        int next = 1;
        for (int page = 0; page < pages.PageCount(); ++page) {
            const QStringList texts = Texts(pages, page);
            QCOMPARE(texts.first(), u"Code"_s);
            QVERIFY(texts.contains(u"Page %1 of 5"_s.arg(page + 1)));
            int onPage = 0;
            for (const PageModel::Item& item : pages.PageAt(page).items) {
                if (!item.text.startsWith(u'C') || item.text == u"Code"_s)
                    continue;
                QCOMPARE(item.text, u"C%1"_s.arg(next++, 3, 10, QChar(u'0')));
                QVERIFY(item.rect.top() >= 20 - 1e-6);
                QVERIFY(item.rect.top() + 5 <= 297 - 10 - 8 + 1e-6);
                ++onPage;
            }
            QCOMPARE(onPage, page < 4 ? 51 : 250 - 4 * 51);
        }
        QCOMPARE(next, 251);
        QVERIFY(Texts(pages, 4).contains(u"Rows: 250"_s));
    }

    // Group headers show their group's totals before its rows; detail sums run within the
    // group; footers and the summary close them.
    void groupTotals()
    {
        const QList<int> sizes { 3, 1, 4 };
        const TableRows rows = Products(sizes);
        const Laid laid
            = Lay(u"report\n"
                  "group name=byGroup expr=\"PGId\"\n"
                  "band kind=reportheader height=6\nfield expr=\"'All ' & count() & ' ' & sum(PPrice)\"\n"
                  "band kind=groupheader group=byGroup height=6\n"
                  "field expr=\"'Head ' & PGId & ' ' & count() & ' ' & sum(PPrice) & ' ' & PCode\"\n"
                  "band kind=detail height=5\n"
                  "field expr=\"PCode & ' ' & sum(PPrice) & ' ' & count() & ' ' & max(PQty)\"\n"
                  "band kind=groupfooter group=byGroup height=6\n"
                  "field expr=\"'Foot ' & PGId & ' ' & sum(PPrice) & ' ' & avg(PPrice) & ' ' & PCode\"\n"
                  "band kind=summary height=6\nfield expr=\"'Total ' & sum(PPrice) & ' ' & min(PCode)\"\n"_s,
                rows);
        QCOMPARE(laid.error, QString());
        QStringList expected;
        double all = 0;
        for (int r = 0; r < rows.RowCount(); ++r)
            all += rows.Value(r, 2).toDouble();
        expected << u"All %1 %2"_s.arg(rows.RowCount()).arg(all);
        int row = 0;
        for (qsizetype g = 0; g < sizes.size(); ++g) {
            double groupSum = 0;
            for (int i = 0; i < sizes[g]; ++i)
                groupSum += rows.Value(row + i, 2).toDouble();
            const QString first = rows.Value(row, 0).toString();
            const QString last = rows.Value(row + sizes[g] - 1, 0).toString();
            expected << u"Head %1 %2 %3 %4"_s.arg(g + 1).arg(sizes[g]).arg(groupSum).arg(first);
            double running = 0;
            qlonglong maxQty = 0;
            for (int i = 0; i < sizes[g]; ++i, ++row) {
                running += rows.Value(row, 2).toDouble();
                maxQty = qMax(maxQty, rows.Value(row, 3).toLongLong());
                expected << u"%1 %2 %3 %4"_s.arg(rows.Value(row, 0).toString())
                                .arg(running)
                                .arg(i + 1)
                                .arg(maxQty);
            }
            expected << u"Foot %1 %2 %3 %4"_s.arg(g + 1).arg(groupSum).arg(groupSum / sizes[g]).arg(last);
        }
        expected << u"Total %1 C001"_s.arg(all);
        QCOMPARE(AllTexts(laid.pages), expected);
    }

    // Nested groups: the outer header starts a page; the inner group's bands come and go
    // within it.
    void nestedGroupsAndNewPage()
    {
        std::vector<QVariantList> data;
        const QList<QPair<QString, QString>> keys { { u"A"_s, u"x"_s }, { u"A"_s, u"x"_s },
            { u"A"_s, u"y"_s }, { u"B"_s, u"y"_s }, { u"C"_s, u"y"_s }, { u"C"_s, u"z"_s } };
        for (const auto& [outer, inner] : keys)
            data.push_back({ outer, inner, 1.0 });
        const TableRows rows({ u"O"_s, u"I"_s, u"N"_s }, std::move(data));
        const Laid laid
            = Lay(u"report\ngroup name=o expr=\"O\"\ngroup name=i expr=\"I\"\n"
                  "band kind=reportheader height=5\nlabel text=Top\n"
                  "band kind=groupheader group=o newpage=yes height=5\nfield expr=\"'O ' & O & count()\"\n"
                  "band kind=groupheader group=i height=5\nfield expr=\"'I ' & I & count()\"\n"
                  "band kind=groupfooter group=i height=5\nfield expr=\"'/I ' & sum(N)\"\n"
                  "band kind=groupfooter group=o height=5\nfield expr=\"'/O ' & sum(N)\"\n"_s,
                rows);
        QCOMPARE(laid.error, QString());
        QCOMPARE(laid.pages.PageCount(), 3);
        QCOMPARE(Texts(laid.pages, 0),
            QStringList({ u"Top"_s, u"O A3"_s, u"I x2"_s, u"/I 2"_s, u"I y1"_s, u"/I 1"_s, u"/O 3"_s }));
        QCOMPARE(Texts(laid.pages, 1), QStringList({ u"O B1"_s, u"I y1"_s, u"/I 1"_s, u"/O 1"_s }));
        QCOMPARE(Texts(laid.pages, 2),
            QStringList({ u"O C2"_s, u"I y1"_s, u"/I 1"_s, u"I z1"_s, u"/I 1"_s, u"/O 2"_s }));
    }

    // A page footer totals the rows of its own page.
    void pageFooterTotalsItsPage()
    {
        const TableRows rows = Products({ 120 });
        const Laid laid = Lay(
            u"report margin-top=10 margin-bottom=10\n"
            "band kind=detail height=5\nfield x=0 y=0 w=30 h=5 expr=\"PCode\"\n"
            "band kind=pagefooter height=7\nfield x=0 y=0 w=60 h=5 expr=\"'Page total ' & sum(PPrice)\"\n"_s,
            rows);
        QCOMPARE(laid.error, QString());
        QVERIFY(laid.pages.PageCount() > 1);
        for (int page = 0; page < laid.pages.PageCount(); ++page) {
            double total = 0;
            QString footer;
            for (const QString& text : Texts(laid.pages, page)) {
                if (text.startsWith(u"Page total"_s))
                    footer = text;
                else
                    total += rows.Value(text.mid(1).toInt() - 1, 2).toDouble();
            }
            QCOMPARE(footer, u"Page total %1"_s.arg(total));
        }
    }

    // The coupon sheet: 24 to an A4 page as 3 columns of 8, left to right, then down.
    void columnsAcrossThePage()
    {
        const TableRows rows = Products({ 50 });
        const Laid laid
            = Lay(u"report margin-left=10 margin-right=10 margin-top=12 margin-bottom=12\n"
                  "band kind=detail height=34 columns=3 gap=5\nfield x=2 y=2 w=50 h=5 expr=\"PCode\"\n"
                  "box x=0 y=0 w=60 h=33\n"_s,
                rows);
        QCOMPARE(laid.error, QString());
        QCOMPARE(laid.pages.PageCount(), 3);
        const double cell = (190 - 2 * 5) / 3.0;
        int n = 0;
        for (int page = 0; page < 3; ++page) {
            int onPage = 0;
            for (const PageModel::Item& item : laid.pages.PageAt(page).items) {
                if (item.kind != PageModel::Kind::Text)
                    continue;
                QCOMPARE(item.text, u"C%1"_s.arg(n + 1, 3, 10, QChar(u'0')));
                const int slot = n % 24;
                QCOMPARE(item.rect.left(), 10 + (slot % 3) * (cell + 5) + 2);
                QCOMPARE(item.rect.top(), 12 + (slot / 3) * 34.0 + 2);
                ++n;
                ++onPage;
            }
            QCOMPARE(onPage, page < 2 ? 24 : 2);
        }
    }

    // Bands taller than a page are cut, one to a page, and the layout ends.
    void oversizedBandsEnd_data()
    {
        QTest::addColumn<QString>("detail");
        QTest::newRow("tall band") << u"band kind=detail height=900\nfield x=0 y=0 w=30 h=5 expr=\"PCode\"\n"
                                      "field x=0 y=600 w=30 h=5 expr=\"PCode\"\n"_s;
        QTest::newRow("long growing text")
            << u"band kind=detail height=5\nfield x=0 y=0 w=20 h=5 grow=yes expr=\"PCode & left('%1', 3000)\"\n"_s
                   .arg(QString(300, u'w').replace(u"w"_s, u"word "_s));
    }

    void oversizedBandsEnd()
    {
        QFETCH(QString, detail);
        const TableRows rows = Products({ 3 });
        const Laid laid = Lay(u"report\nband kind=pageheader height=5\nlabel text=Head\n"_s + detail, rows);
        QCOMPARE(laid.error, QString());
        QCOMPARE(laid.pages.PageCount(), 3);
        for (int page = 0; page < 3; ++page) {
            QCOMPARE(Texts(laid.pages, page).first(), u"Head"_s);
            for (const PageModel::Item& item : laid.pages.PageAt(page).items)
                QVERIFY(item.rect.bottom() <= 297 - 10 + 1e-6);
        }
    }

    void growingTextWraps()
    {
        const TableRows rows(
            { u"T"_s }, { { u"alpha beta gamma delta epsilon zeta eta theta"_s }, { u"x"_s } });
        const Laid laid = Lay(u"report size=10\nband kind=detail height=5\n"
                              "field x=0 y=0 w=25 h=5 expr=\"T\" grow=yes\nline x=0 y=5 w=25 h=0\n"_s,
            rows);
        QCOMPARE(laid.error, QString());
        const std::vector<PageModel::Item>& items = laid.pages.PageAt(0).items;
        QStringList words;
        double lastLineTop = 0;
        double secondRowTop = -1;
        for (const PageModel::Item& item : items) {
            if (item.kind != PageModel::Kind::Text)
                continue;
            if (item.text == u"x"_s) {
                secondRowTop = item.rect.top();
                continue;
            }
            QVERIFY(item.rect.left() == 10);
            words << item.text.split(u' ');
            lastLineTop = item.rect.top();
        }
        QCOMPARE(words.join(u' '), rows.Value(0, 0).toString());
        QVERIFY(words.size() > 3); // wrapped over several lines
        QVERIFY(secondRowTop > lastLineTop); // the band grew to hold them
    }

    void visibleLeavesOut()
    {
        const TableRows rows = Products({ 8 });
        const Laid laid
            = Lay(u"report\nband kind=detail height=5 visible=\"PQty <> 0\"\n"
                  "field expr=\"PCode\"\nfield x=50 expr=\"'odd'\" visible=\"PQty = 1 or PQty = 3\"\n"_s,
                rows);
        QCOMPARE(laid.error, QString());
        QStringList expected;
        for (int r = 0; r < rows.RowCount(); ++r) {
            const qlonglong qty = rows.Value(r, 3).toLongLong();
            if (qty != 0)
                expected << rows.Value(r, 0).toString();
            if (qty % 2 == 1)
                expected << u"odd"_s;
        }
        QCOMPARE(Texts(laid.pages, 0), expected);
    }

    void shadeEverySecondRow()
    {
        const TableRows rows = Products({ 6 });
        const Laid laid = Lay(u"report\nband kind=detail height=5 shade=yes\nfield expr=\"PCode\"\n"_s, rows);
        QCOMPARE(laid.error, QString());
        QList<double> shaded;
        for (const PageModel::Item& item : laid.pages.PageAt(0).items)
            if (item.kind == PageModel::Kind::Shade)
                shaded << item.rect.top();
        QCOMPARE(shaded, QList<double>({ 15, 25, 35 }));
    }

    void rollIsAsLongAsItsContent()
    {
        const TableRows rows = Products({ 10 });
        const Laid laid = Lay(u"report page=roll width=80 margin-top=4 margin-bottom=4\n"
                              "band kind=reportheader height=8\nlabel text=Shop\n"
                              "band kind=detail height=4\nfield expr=\"PCode\"\n"
                              "band kind=summary height=6\nfield expr=\"sum(PPrice)\"\n"
                              "band kind=pagefooter height=5\nlabel text=Thanks\n"_s,
            rows);
        QCOMPARE(laid.error, QString());
        QCOMPARE(laid.pages.PageCount(), 1);
        QCOMPARE(laid.pages.PageSizeMm(0), QSizeF(80, 4 + 8 + 10 * 4 + 6 + 5 + 4));
        QCOMPARE(Texts(laid.pages, 0).last(), u"Thanks"_s);
    }

    void emptyResultStillHasItsFrame()
    {
        const TableRows rows({ u"PCode"_s, u"PPrice"_s }, {});
        const Laid laid = Lay(listingHead
                + u"band kind=detail height=5\nfield expr=\"PCode\"\n"
                  "band kind=summary height=5\nfield expr=\"'Total ' & sum(PPrice) & ' ' & count() & PCode\"\n"_s,
            rows);
        QCOMPARE(laid.error, QString());
        QCOMPARE(laid.pages.PageCount(), 1);
        QCOMPARE(Texts(laid.pages, 0), QStringList({ u"Code"_s, u"Total 0 0"_s, u"Page 1 of 1"_s }));
    }

    // A viewer shows the first page before the rest is laid out; the result is the same.
    void layingOutInSteps()
    {
        const TableRows rows = Products({ 300 });
        const QString text = listingHead + u"band kind=detail height=5\nfield expr=\"PCode\"\n"_s;
        TemplateError error;
        const ReportTemplate tpl = ReportTemplate::Parse(text, u"t.Kvr"_s, &error);
        ReportLayout layout(tpl, rows, {});
        QVERIFY(layout.Bind(&error));
        QVERIFY(!layout.LayOutSome(60));
        QVERIFY(!layout.Done());
        QCOMPARE(layout.Pages().PageCount(), 1);
        while (!layout.LayOutSome(7)) { }
        const Laid whole = Lay(text, rows);
        QCOMPARE(layout.Pages().PageCount(), whole.pages.PageCount());
        QCOMPARE(AllTexts(layout.Pages()), AllTexts(whole.pages));
    }

private:
    std::unique_ptr<test::TempDatabase> m_db;
};

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
