#include "LaidReport.h"
#include "ReportRows.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

using test::LaidReport;
constexpr auto Texts = &test::LaidReport::Texts;
constexpr auto AllTexts = &test::LaidReport::AllTexts;

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

const QString head = u"report title=\"T\"\nband kind=detail height=5\n"_s; // lines 1 and 2

const TableRows someRows({ u"PCode"_s, u"a.BGross"_s, u"b.BGross"_s }, { { u"X1"_s, 1.0, 2.0 } });

} // namespace

// Reading, binding and laying out report templates.
class TestReportLayout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void formats_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("shown");

        QTest::newRow("grouping carries") << QVariant(999.995) << u"#,##0.00"_s << u"1,000.00"_s;
        QTest::newRow("half away from zero") << QVariant(-2.5) << u"0"_s << u"-3"_s;
        QTest::newRow("decimal half of a double") << QVariant(2.675) << u"0.00"_s << u"2.68"_s;
        QTest::newRow("tiny negative has no sign") << QVariant(-0.001) << u"0.00"_s << u"0.00"_s;
        QTest::newRow("leading zeros") << QVariant(7) << u"000"_s << u"007"_s;
        QTest::newRow("numeric text") << QVariant(u"12.5"_s) << u"0.00"_s << u"12.50"_s;
        QTest::newRow("other text stays") << QVariant(u"n/a"_s) << u"0.00"_s << u"n/a"_s;
        QTest::newRow("null as a number") << QVariant() << u"0.00"_s << u"0.00"_s;
        QTest::newRow("null as a date") << QVariant() << u"shortdate"_s << QString();
        QTest::newRow("shortdate") << QVariant(QDate(2026, 3, 5)) << u"shortdate"_s << u"2026-03-05"_s;
        QTest::newRow("date from text") << QVariant(u"2026-12-31"_s) << u"dd.MM.yyyy"_s << u"31.12.2026"_s;
    }

    void formats()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, shown);
        const TableRows rows({ u"V"_s }, { { value } });
        LaidReport laid(
            u"report\nband kind=detail height=5\nfield x=0 y=0 w=80 h=5 expr=\"V\" format=\"%1\"\n"_s.arg(
                format),
            rows);
        QCOMPARE(Texts(laid.LayOutAll(), 0).value(0), shown); // an empty text is not placed at all
        QCOMPARE(laid.ErrorText(), QString());
    }

    void expressions_data()
    {
        QTest::addColumn<QString>("expr");
        QTest::addColumn<QString>("shown");

        QTest::newRow("arithmetic order") << u"2 + 3 * 4 - 10 / 4"_s << u"11.5"_s;
        QTest::newRow("division by zero") << u"PPrice / (PQty - 3)"_s << u"0"_s;
        QTest::newRow("join") << u"'n=' & PQty & '/' & PPrice"_s << u"n=3/2.5"_s;
        QTest::newRow("quote in text") << u"'it''s'"_s << u"it's"_s;
        QTest::newRow("iif with logic")
            << u"iif(PQty > 2 and not (PPrice = 3) or 1 = 0, 'big', 'small')"_s << u"big"_s;
        QTest::newRow("text compares without case")
            << u"iif(trim(PName) = 'AB C', 'same', 'other')"_s << u"same"_s;
        QTest::newRow("dates compare") << u"iif(PDate < PLater, 'before', 'after')"_s << u"before"_s;
        QTest::newRow("fixed rounds the decimal half") << u"fixed(1.005, 2)"_s << u"1.01"_s;
        QTest::newRow("format function") << u"format(PPrice * 1000, '#,##0.0')"_s << u"2,500.0"_s;
        QTest::newRow("date parts and month names")
            << u"monthname(month(PDate)) & ' ' & day(PDate) & ' ' & year(PDate) & monthname(PDate) & monthname(13)"_s
            << u"Mar 5 2026Mar"_s;
        QTest::newRow("null as number, text and date")
            << u"(PNull + 1) & '<' & PNull & year(PNull) & '>'"_s << u"1<>"_s;
        QTest::newRow("parameter, function in capitals")
            << u"UPPER(pEntName) & ' ' & pFilter"_s << u"SHOP -"_s;
        // The layout's today (5 December 2026) is a date, not the text of one.
        QTest::newRow("today")
            << u"iif(today > PLater, 'after ', 'before ') & month(today) & ' ' & format(today, 'dd.MM.yy')"_s
            << u"after 12 05.12.26"_s;
    }

    void expressions()
    {
        QFETCH(QString, expr);
        QFETCH(QString, shown);
        const TableRows rows({ u"PName"_s, u"PQty"_s, u"PPrice"_s, u"PDate"_s, u"PLater"_s, u"PNull"_s },
            { { u" Ab c "_s, qlonglong(3), 2.5, QDate(2026, 3, 5), QDate(2026, 4, 1), QVariant() } });
        LaidReport report(u"report\nparameter name=pEntName\nparameter name=pFilter default=-\n"
                          "band kind=detail height=5\nfield x=0 y=0 w=150 h=5 expr=\"%1\"\n"_s.arg(expr),
            rows, { { u"pEntName"_s, u"Shop"_s } });
        QCOMPARE(report.ErrorText(), QString());
        report.layout->SetToday(QDate(2026, 12, 5));
        QCOMPARE(Texts(report.LayOutAll(), 0).value(0), shown);
    }

    // Every row once and in order, within the body of its page; "Page n of m" on each, and the
    // page footer's total of its own page's rows. Laid out in slices, as a viewer does to show
    // the first page early, the pages come out the same.
    void pagination()
    {
        const TableRows rows = Products({ 250 });
        const QString text = listingHead
            + u"field x=0 y=0 w=60 h=5 expr=\"'Page total ' & sum(PPrice)\"\n"
              "band kind=detail height=5\nfield x=0 y=0 w=30 h=5 expr=\"PCode\"\n"
              "band kind=summary height=6\nfield x=0 y=0 w=30 h=5 expr=\"'Rows: ' & count()\"\n"_s;
        LaidReport laid(text, rows);
        const PageModel& pages = laid.LayOutAll();
        QCOMPARE(laid.ErrorText(), QString());
        // 297 - 10 - 10 - 8 (footer) - 10 (header) leaves 259 mm: 51 rows of 5 mm a page.
        QCOMPARE(pages.PageCount(), 5);
        QCOMPARE(pages.PagesShown(), 5);
        int next = 1;
        for (int page = 0; page < pages.PageCount(); ++page) {
            const QStringList texts = Texts(pages, page);
            QCOMPARE(texts.first(), u"Code"_s);
            QVERIFY(texts.contains(u"Page %1 of 5"_s.arg(page + 1)));
            const int first = next;
            const PageModel::Page& sheet = pages.PageAt(page);
            for (const PageModel::Item& item : sheet.items) {
                const QString text = sheet.Text(item).toString();
                if (!text.startsWith(u'C') || text == u"Code"_s)
                    continue;
                QCOMPARE(text, u"C%1"_s.arg(next++, 3, 10, QChar(u'0')));
                QVERIFY(item.Rect().top() >= 20 - 1e-6);
                QVERIFY(item.Rect().top() + 5 <= 297 - 10 - 8 + 1e-6);
            }
            const int count = next - first; // rows first .. next - 1, each priced 10n + 0.25
            QCOMPARE(count, page < 4 ? 51 : 250 - 4 * 51);
            QVERIFY2(texts.contains(u"Page total "_s
                         + QString::number(5.0 * (first + next - 1) * count + 0.25 * count, 'g',
                             QLocale::FloatingPointShortest)),
                qPrintable(texts.join(u'|')));
        }
        QCOMPARE(next, 251);
        QVERIFY(Texts(pages, 4).contains(u"Rows: 250"_s));
        LaidReport stepped(text, rows);
        QVERIFY(!stepped.layout->LayOutSome(60));
        QCOMPARE(stepped.layout->Pages().PageCount(), 1);
        while (!stepped.layout->LayOutSome(7)) { }
        QCOMPARE(AllTexts(stepped.layout->Pages()), AllTexts(pages));
    }

    // Each page's texts, joined by '|'. Product n: code Cnnn, price 10n + 0.25, quantity n % 4.
    void placedTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<QStringList>("pages");

        // Headers show their group's totals before its rows; detail sums run within the group.
        QTest::newRow("group totals")
            << u"report\ngroup name=g expr=\"PGId\"\n"
               "band kind=reportheader height=6\nfield expr=\"'All ' & count() & ' ' & sum(PPrice)\"\n"
               "band kind=groupheader group=g height=6\n"
               "field expr=\"'Head ' & PGId & ' ' & count() & ' ' & sum(PPrice) & ' ' & PCode\"\n"
               "band kind=detail height=5\nfield expr=\"PCode & ' ' & sum(PPrice) & ' ' & count() & ' ' & "
               "max(PQty)\"\n"
               "band kind=groupfooter group=g height=6\n"
               "field expr=\"'Foot ' & PGId & ' ' & sum(PPrice) & ' ' & avg(PPrice) & ' ' & PCode\"\n"
               "band kind=summary height=6\nfield expr=\"'Total ' & sum(PPrice) & ' ' & min(PCode)\"\n"_s
            << QList<int> { 3, 1, 4 }
            << QStringList {
                   u"All 8 362|Head 1 3 60.75 C001|C001 10.25 1 1|C002 30.5 2 2|C003 60.75 3 3|"
                   "Foot 1 60.75 20.25 C003|Head 2 1 40.25 C004|C004 40.25 1 0|Foot 2 40.25 40.25 C004|"
                   "Head 3 4 261 C005|C005 50.25 1 1|C006 110.5 2 2|C007 180.75 3 3|C008 261 4 3|"
                   "Foot 3 261 65.25 C008|Total 362 C001"_s
               };
        QTest::newRow("nested groups, the outer on a new page")
            << u"report\ngroup name=o expr=\"PGId\"\ngroup name=i expr=\"iif(PQty > 1, 'y', 'x')\"\n"
               "band kind=reportheader height=5\nlabel text=Top\n"
               "band kind=groupheader group=o newpage=yes height=5\nfield expr=\"'O ' & PGId & ' ' & "
               "count()\"\n"
               "band kind=groupheader group=i height=5\nfield expr=\"'I ' & count() & ' ' & PCode\"\n"
               "band kind=groupfooter group=i height=5\nfield expr=\"'/I ' & sum(PQty)\"\n"
               "band kind=groupfooter group=o height=5\nfield expr=\"'/O ' & sum(PQty)\"\n"_s
            << QList<int> { 3, 1, 2 }
            << QStringList { u"Top|O 1 3|I 1 C001|/I 1|I 2 C002|/I 5|/O 6"_s, u"O 2 1|I 1 C004|/I 0|/O 0"_s,
                   u"O 3 2|I 1 C005|/I 1|I 1 C006|/I 2|/O 3"_s };
        QTest::newRow("visible leaves out bands and items")
            << u"report\nband kind=detail height=5 visible=\"PQty <> 0\"\n"
               "field expr=\"PCode\"\nfield x=50 expr=\"'odd'\" visible=\"PQty = 1 or PQty = 3\"\n"_s
            << QList<int> { 8 } << QStringList { u"C001|odd|C002|C003|odd|C005|odd|C006|C007|odd"_s };
        // A cut name is still a name; a cut number or date reads as another one, so those are
        // drawn whole past a box too narrow for them.
        QTest::newRow("narrow boxes cut names, never numbers")
            << u"report\nband kind=detail height=5 visible=\"PQty = 3\"\n"
               "field w=3 expr=\"'Basmati ' & PCode\"\nfield x=20 w=3 align=right expr=\"PPrice * 1000\"\n"
               "field x=40 w=3 expr=\"'2026-09-05'\"\n"_s
            << QList<int> { 8 } << QStringList { u"B|30250|2026-09-05|B|70250|2026-09-05"_s };
        QTest::newRow("no rows, still its frame")
            << listingHead
                + u"band kind=detail height=5\nfield expr=\"PCode\"\n"
                  "band kind=summary height=5\nfield expr=\"'Total ' & sum(PPrice) & ' ' & count() & PCode\"\n"_s
            << QList<int>() << QStringList { u"Code|Total 0 0|Page 1 of 1"_s };
    }

    void placedTexts()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, groups);
        QFETCH(QStringList, pages);
        const TableRows rows = Products(groups);
        LaidReport laid(text, rows);
        QCOMPARE(AllTexts(laid.LayOutAll()), pages);
        QCOMPARE(laid.ErrorText(), QString());
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
        LaidReport laid(u"report\nband kind=pageheader height=5\nlabel text=Head\n"_s + detail, rows);
        const PageModel& pages = laid.LayOutAll();
        QCOMPARE(laid.ErrorText(), QString());
        QCOMPARE(pages.PageCount(), 3);
        for (int page = 0; page < 3; ++page) {
            QCOMPARE(Texts(pages, page).first(), u"Head"_s);
            for (const PageModel::Item& item : pages.PageAt(page).items)
                QVERIFY(item.Rect().bottom() <= 297 - 10 + 1e-6);
        }
    }

    // A growing field wraps at the blanks, and the band grows to hold the lines.
    void growingTextWraps()
    {
        const QString text = u"alpha beta gamma delta epsilon zeta eta theta"_s;
        const TableRows rows({ u"T"_s }, { { text }, { u"x"_s } });
        LaidReport laid(
            u"report size=10\nband kind=detail height=5\nfield x=0 y=0 w=25 h=5 expr=\"T\" grow=yes\n"_s,
            rows);
        const PageModel::Page& sheet = laid.LayOutAll().PageAt(0);
        const std::vector<PageModel::Item>& items = sheet.items;
        QVERIFY(items.size() > 4);
        QStringList lines;
        for (size_t i = 0; i + 1 < items.size(); ++i) {
            QCOMPARE(items[i].Rect().left(), 10.0);
            lines << sheet.Text(items[i]).toString();
        }
        QCOMPARE(lines.join(u' '), text);
        QCOMPARE(sheet.Text(items.back()).toString(), u"x"_s);
        QVERIFY(items.back().Rect().top() > items[items.size() - 2].Rect().top());
    }

    // A mistake is named with its place, whether reading finds it or binding: names are checked
    // against the rows and the program's parameters when the report is bound.
    void mistakesArePlaced_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("read"); // the text reads; binding finds the mistake
        QTest::addColumn<QStringList>("given"); // the parameters the program gives
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const QString& text, int line, int column,
                             const QString& message, const QStringList& given = {}, bool read = false) {
            QTest::newRow(name) << text << read << given << line << column << message;
        };
        const auto bound
            = [&](const char* name, const QString& text, const QStringList& given, int line, int column,
                  const QString& message) { row(name, text, line, column, message, given, true); };

        row("empty file", u"\n# nothing\n"_s, 1, 1, u"empty"_s);
        row("first is not report", u"band kind=detail\n"_s, 1, 1, u"report"_s);
        row("unknown keyword", head + u"  labl x=0\n"_s, 3, 3, u"unknown keyword \"labl\""_s);
        row("unknown attribute", head + u"label x=0 wdth=3 text=a\n"_s, 3, 11,
            u"unknown attribute \"wdth\""_s);
        row("unclosed quote", head + u"label text=\"abc\n"_s, 3, 12, u"closing quote"_s);
        row("not a number", head + u"label text=a x=1o\n"_s, 3, 16, u"not a number"_s);
        row("out of range", head + u"label text=a size=900\n"_s, 3, 19, u"between"_s);
        row("yes or no", head + u"label text=a bold=true\n"_s, 3, 19, u"yes or no"_s);
        row("band kind", u"report\nband kind=body\n"_s, 2, 11, u"body"_s);
        row("unknown group", u"report\nband kind=groupfooter group=g\n"_s, 2, 29, u"unknown group"_s);
        row("columns on a header", u"report\nband kind=pageheader columns=2\n"_s, 2, 22, u"detail"_s);
        row("columns wider than the page", u"report\nband kind=detail columns=10 gap=20\n"_s, 2, 1,
            u"wider than the page"_s);
        row("parameter twice", u"report\nparameter name=pA\nparameter name=PA\n"_s, 3, 1, u"twice"_s);
        row("unknown format", head + u"field expr=\"1\" format=\"0.0x\"\n"_s, 3, 24, u"unknown format"_s);
        // Expressions: the column is that of the mistake inside the quoted value.
        row("expression ends", head + u"field expr=\"PCode +\"\n"_s, 3, 20, u"ends too soon"_s);
        row("unknown function", head + u"field expr=\"1 + sqrt(4)\"\n"_s, 3, 17,
            u"unknown function \"sqrt\""_s);
        row("arguments", head + u"field expr=\"iif(1, 2)\"\n"_s, 3, 13, u"3 arguments"_s);
        row("aggregate in aggregate", head + u"field expr=\"sum(max(PCode))\"\n"_s, 3, 17, u"aggregate"_s);
        row("pattern after doubled quotes", head + u"field expr=\"format(PCode, \"\"0.0x\"\")\"\n"_s, 3, 27,
            u"unknown format"_s);

        const QString declared = u"report title=T\nparameter name=pEntName\nband kind=detail\n"_s;
        const QStringList shop { u"pEntName"_s };
        bound("unknown column", declared + u"field expr=\"PCode & PNme\""_s, shop, 4, 21,
            u"unknown column or parameter \"PNme\""_s);
        bound("qualifier names no table", declared + u"field expr=\"c.Gross\""_s, shop, 4, 13, u"c.Gross"_s);
        bound("parameter without value", declared + u"field expr=\"1\""_s, {}, 2, 1, u"pEntName"_s);
        bound("parameter not declared", declared, { u"pEntName"_s, u"pHeader"_s }, 1, 1, u"pHeader"_s);
    }

    void mistakesArePlaced()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, given);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, message);
        ReportLayout::Parameters parameters;
        for (const QString& name : given)
            parameters.insert(name, u"x"_s);
        LaidReport report(text, someRows, parameters);
        QTEST(bool(report.layout), "read");
        QVERIFY(!report.Bound());
        QVERIFY2(report.error.message.contains(message), qPrintable(report.ErrorText()));
        QVERIFY2(report.ErrorText().startsWith(u"t.Kvr, line %1, column %2: "_s.arg(line).arg(column)),
            qPrintable(report.ErrorText()));
        if (report.layout) { // nothing to lay out, and no crash
            report.layout->LayOutAll();
            QCOMPARE(report.layout->Pages().PageCount(), 0);
        }
    }

    // Hostile templates end with an error or a result, never with a crash or a hang.
    void hostileTemplatesEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        const int deep = 100000;
        QTest::newRow("deep parentheses")
            << head + u"field expr=\""_s + QString(deep, u'(') + u'1' + QString(deep, u')') + u"\"\n"_s
            << false;
        QTest::newRow("long sum") << head + u"field expr=\"1"_s + QString(deep, u'+').replace(u"+"_s, u"+1"_s)
                + u"\"\n"_s << false;
        QTest::newRow("many signs") << head + u"field expr=\""_s + QString(deep, u'-') + u"1\"\n"_s << false;
        QTest::newRow("10 MB label") << head + u"label text=\""_s + QString(10'000'000, u'x')
                + u"\" grow=yes\n"_s << true;
        QTest::newRow("10 MB garbage") << head + QString(10'000'000, u'=') << false;
    }

    void hostileTemplatesEnd()
    {
        QFETCH(QString, text);
        QFETCH(bool, readable);
        LaidReport report(text, someRows);
        QCOMPARE(bool(report.layout), readable);
        if (readable)
            QCOMPARE(report.LayOutAll().PageCount(), 1); // the text is cut at the page's foot
    }
};

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
