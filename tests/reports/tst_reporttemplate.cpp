#include "LaidReport.h"
#include "ReportRows.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using kivo::test::LaidReport;
using namespace Qt::StringLiterals;

namespace {

const QString head = u"report title=\"T\"\nband kind=detail height=5\n"_s; // lines 1 and 2

TableRows SomeRows()
{
    return TableRows({ u"PCode"_s, u"a.BGross"_s, u"b.BGross"_s }, { { u"X1"_s, 1.0, 2.0 } });
}

} // namespace

class TestReportTemplate : public QObject {
    Q_OBJECT

private slots:
    // What the layout tests do not show: a title with doubled quotes, a comment and a blank
    // line, an item continued on the next line, a line drawn upwards, a fractional margin.
    void goodTemplateIsRead()
    {
        TemplateError error;
        const ReportTemplate tpl = ReportTemplate::Parse(u"# Product Listing\n"
                                                         "report title=\"Say \"\"hi\"\"\" margin-right=7.5\n"
                                                         "\n"
                                                         "band kind=detail height=5\n"
                                                         "  field x=40 y=0 w=40 h=5 expr=\"sum(PPrice)\"\n"
                                                         "        format=\"#,##0.00\" align=right\n"
                                                         "  line x=0 y=5 w=180 h=-5 width=0.3\n"_s,
            u"KiPro41.Kvr"_s, &error);
        QVERIFY2(!tpl.IsEmpty(), qPrintable(error.Text()));
        QCOMPARE(tpl.Title(), u"Say \"hi\""_s);
        QCOMPARE(tpl.PageSetup().marginRight, 7.5);
        const ReportTemplate::Band& detail = tpl.Bands()[0];
        QCOMPARE(detail.items[0].format, u"#,##0.00"_s); // from the continuation line
        QCOMPARE(detail.items[0].align, ReportTemplate::Align::Right);
        QCOMPARE(detail.items[1].h, -5.0);
    }

    void mistakesArePlaced_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("message");

        QTest::newRow("empty file") << u"\n# nothing\n"_s << 1 << 1 << u"empty"_s;
        QTest::newRow("first is not report") << u"band kind=detail\n"_s << 1 << 1 << u"report"_s;
        QTest::newRow("second report") << head + u"report\n"_s << 3 << 1 << u"one report"_s;
        QTest::newRow("unknown keyword")
            << head + u"  labl x=0\n"_s << 3 << 3 << u"unknown keyword \"labl\""_s;
        QTest::newRow("unknown attribute")
            << head + u"label x=0 wdth=3 text=a\n"_s << 3 << 11 << u"unknown attribute \"wdth\""_s;
        QTest::newRow("not name=value") << head + u"label x=0 bold\n"_s << 3 << 11 << u"name=value"_s;
        QTest::newRow("unclosed quote") << head + u"label text=\"abc\n"_s << 3 << 12 << u"closing quote"_s;
        QTest::newRow("glued after quote") << head + u"label text=\"a\"x=1\n"_s << 3 << 15 << u"blank"_s;
        QTest::newRow("twice") << head + u"label text=a x=1 x=2\n"_s << 3 << 18 << u"twice"_s;
        QTest::newRow("not a number") << head + u"label text=a x=1o\n"_s << 3 << 16 << u"not a number"_s;
        QTest::newRow("out of range") << head + u"label text=a size=900\n"_s << 3 << 19 << u"between"_s;
        QTest::newRow("yes or no") << head + u"label text=a bold=true\n"_s << 3 << 19 << u"yes or no"_s;
        QTest::newRow("align") << head + u"label text=a align=middle\n"_s << 3 << 20 << u"middle"_s;
        QTest::newRow("label without text") << head + u"label x=1\n"_s << 3 << 1 << u"text="_s;
        QTest::newRow("item before band") << u"report\nlabel text=a\n"_s << 2 << 1 << u"band"_s;
        QTest::newRow("continuation first") << u"  title=x\n"_s << 1 << 3 << u"keyword"_s;
        QTest::newRow("band kind") << u"report\nband kind=body\n"_s << 2 << 11 << u"body"_s;
        QTest::newRow("group band without group")
            << u"report\nband kind=groupheader\n"_s << 2 << 1 << u"group="_s;
        QTest::newRow("unknown group")
            << u"report\nband kind=groupfooter group=g\n"_s << 2 << 29 << u"unknown group"_s;
        QTest::newRow("columns on a header")
            << u"report\nband kind=pageheader columns=2\n"_s << 2 << 22 << u"detail"_s;
        QTest::newRow("fractional columns")
            << u"report\nband kind=detail columns=2.5\n"_s << 2 << 26 << u"whole"_s;
        QTest::newRow("columns wider than the page")
            << u"report\nband kind=detail columns=10 gap=20\n"_s << 2 << 1 << u"wider than the page"_s;
        QTest::newRow("roll without width") << u"report page=roll\n"_s << 1 << 1 << u"width="_s;
        QTest::newRow("margins fill the page")
            << u"report margin-left=150 margin-right=55\n"_s << 1 << 1 << u"margins"_s;
        QTest::newRow("parameter twice")
            << u"report\nparameter name=pA\nparameter name=PA\n"_s << 3 << 1 << u"twice"_s;
        QTest::newRow("parameter name")
            << u"report\nparameter name=\"p A\"\n"_s << 2 << 17 << u"not a name"_s;
        QTest::newRow("unknown format")
            << head + u"field expr=\"1\" format=\"0.0x\"\n"_s << 3 << 24 << u"unknown format"_s;
        // Expressions: the column is that of the mistake inside the quoted value.
        QTest::newRow("expression ends")
            << head + u"field expr=\"PCode +\"\n"_s << 3 << 20 << u"ends too soon"_s;
        QTest::newRow("empty expression") << head + u"field expr=\"\"\n"_s << 3 << 13 << u"missing"_s;
        QTest::newRow("stray token") << head + u"field expr=\"1 2\"\n"_s << 3 << 15 << u"unexpected"_s;
        QTest::newRow("missing parenthesis") << head + u"field expr=\"(1 + 2\"\n"_s << 3 << 19 << u")"_s;
        QTest::newRow("unknown function")
            << head + u"field expr=\"1 + sqrt(4)\"\n"_s << 3 << 17 << u"unknown function \"sqrt\""_s;
        QTest::newRow("arguments") << head + u"field expr=\"iif(1, 2)\"\n"_s << 3 << 13 << u"3 arguments"_s;
        QTest::newRow("aggregate in aggregate")
            << head + u"field expr=\"sum(max(PCode))\"\n"_s << 3 << 17 << u"aggregate"_s;
        QTest::newRow("open text") << head + u"field expr=\"'abc\"\n"_s << 3 << 13 << u"closing quote"_s;
        QTest::newRow("column number") << head + u"field expr=\"#x\"\n"_s << 3 << 13 << u"column number"_s;
        QTest::newRow("pattern after doubled quotes")
            << head + u"field expr=\"format(PCode, \"\"0.0x\"\")\"\n"_s << 3 << 27 << u"unknown format"_s;
    }

    void mistakesArePlaced()
    {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, message);
        TemplateError error;
        const ReportTemplate tpl = ReportTemplate::Parse(text, u"KiPro41.Kvr"_s, &error);
        QVERIFY(tpl.IsEmpty());
        QVERIFY2(error.message.contains(message), qPrintable(error.Text()));
        QCOMPARE(error.file, u"KiPro41.Kvr"_s);
        QCOMPARE(error.line, line);
        QCOMPARE(error.column, column);
        QVERIFY(error.Text().startsWith(u"KiPro41.Kvr, line %1, column %2: "_s.arg(line).arg(column)));
    }

    // Names are checked against the rows and the program's parameters when the report is bound.
    void bindingMistakesArePlaced_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("message");

        const QString declared = u"report title=T\nparameter name=pEntName\nband kind=detail\n"_s;
        QTest::newRow("unknown column")
            << declared + u"field expr=\"PCode & PNme\""_s << QStringList { u"pEntName"_s } << 4 << 21
            << u"unknown column or parameter \"PNme\""_s;
        QTest::newRow("undeclared parameter used")
            << declared + u"field expr=\"pFilter\""_s << QStringList { u"pEntName"_s } << 4 << 13
            << u"pFilter"_s;
        QTest::newRow("qualifier names no table") << declared + u"field expr=\"c.Gross\""_s
                                                  << QStringList { u"pEntName"_s } << 4 << 13 << u"c.Gross"_s;
        QTest::newRow("column past the last")
            << declared + u"field expr=\"#3\""_s << QStringList { u"pEntName"_s } << 4 << 13 << u"#3"_s;
        QTest::newRow("parameter without value")
            << declared + u"field expr=\"1\""_s << QStringList() << 2 << 1 << u"pEntName"_s;
        QTest::newRow("parameter not declared")
            << declared << QStringList { u"pEntName"_s, u"pHeader"_s } << 1 << 1 << u"pHeader"_s;
        QTest::newRow("in a band's visible") << declared + u"band kind=summary visible=\"count() > Limit\""_s
                                             << QStringList { u"pEntName"_s } << 4 << 38 << u"Limit"_s;
    }

    void bindingMistakesArePlaced()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, given);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, message);
        const TableRows rows = SomeRows();
        ReportLayout::Parameters parameters;
        for (const QString& name : given)
            parameters.insert(name, u"x"_s);
        LaidReport report(text, rows, parameters);
        QVERIFY2(report.layout, qPrintable(report.ErrorText()));
        QVERIFY(!report.Bound());
        QVERIFY2(report.error.message.contains(message), qPrintable(report.ErrorText()));
        QCOMPARE(report.error.line, line);
        QCOMPARE(report.error.column, column);
        report.layout->LayOutAll(); // nothing to lay out, and no crash
        QCOMPARE(report.layout->Pages().PageCount(), 0);
    }

    void qualifiedNamesFindTheirColumn()
    {
        const TableRows rows = SomeRows();
        LaidReport report(
            u"report\nband kind=detail\nfield expr=\"b.BGross & '/' & BGross & '/' & A.bgross & '/' & #0\""_s,
            rows);
        QCOMPARE(LaidReport::Texts(report.LayOutAll(), 0), QStringList { u"2/1/1/X1"_s });
    }

    void missingFileIsNamed()
    {
        QTemporaryDir dir;
        TemplateError error;
        QVERIFY(ReportTemplate::Load(dir.filePath(u"KiPro41.Kvr"_s), &error).IsEmpty());
        QCOMPARE(error.file, u"KiPro41.Kvr"_s);
        QVERIFY(error.Text().startsWith(u"KiPro41.Kvr: "_s));
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
        QTest::newRow("many nots") << head + u"field expr=\""_s
                + QString(deep, u' ').replace(u" "_s, u"not "_s)
                + u"1\"\n"_s << false;
        QTest::newRow("10 MB label") << head + u"label text=\""_s + QString(10'000'000, u'x')
                + u"\" grow=yes\n"_s << true;
        QTest::newRow("10 MB garbage") << head + QString(10'000'000, u'=') << false;
    }

    void hostileTemplatesEnd()
    {
        QFETCH(QString, text);
        QFETCH(bool, readable);
        const TableRows rows = SomeRows();
        LaidReport report(text, rows);
        QCOMPARE(bool(report.layout), readable);
        if (readable)
            QCOMPARE(report.LayOutAll().PageCount(), 1); // the text is cut at the page's foot
    }
};

QTEST_MAIN(TestReportTemplate)
#include "tst_reporttemplate.moc"
