#include "PageModel.h"
#include "ReportLayout.h"
#include "ReportRows.h"
#include "ReportTemplate.h"
#include "ReportViewer.h"

#include <memory>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

const QString listing = u"report title=T page=A4 margin-top=10 margin-bottom=10\n"
                        "band kind=pageheader height=10\n"
                        "label x=0 y=0 w=30 h=5 text=Code\n"
                        "band kind=detail height=6\n"
                        "field x=0 y=0 w=40 h=5 expr=\"PCode\"\n"
                        "band kind=pagefooter height=8\n"
                        "field x=0 y=2 w=180 h=5 expr=\"'Page ' & page & ' of ' & pages\" align=right\n"_s;

TableRows Codes(int count)
{
    std::vector<QVariantList> rows;
    for (int n = 1; n <= count; ++n)
        rows.push_back({ u"C%1"_s.arg(n, 6, 10, QChar(u'0')) });
    return TableRows({ u"PCode"_s }, std::move(rows));
}

// A report laid out the way the report screen does: template, rows, bound layout.
struct Report {
    Report(const QString& text, int rowCount)
        : rows(Codes(rowCount))
    {
        TemplateError error;
        tpl = ReportTemplate::Parse(text, u"t.Kvr"_s, &error);
        layout = std::make_unique<ReportLayout>(tpl, rows, ReportLayout::Parameters {});
        bound = layout->Bind(&error);
    }
    TableRows rows;
    ReportTemplate tpl;
    std::unique_ptr<ReportLayout> layout;
    bool bound = false;
};

// The number of pages a layout makes when laid out in one go.
int PagesOf(const QString& text, int rowCount)
{
    Report report(text, rowCount);
    report.layout->LayOutAll();
    return report.layout->Pages().PageCount();
}

QString PageText(const PageModel& pages, int page)
{
    QStringList texts;
    for (const PageModel::Item& item : pages.PageAt(page).items)
        if (item.kind == PageModel::Kind::Text)
            texts << QString(item.text).replace(PageModel::PagesMarker, QString::number(pages.PagesShown()));
    return texts.join(u'|');
}

} // namespace

class TestReportViewer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void firstPageBeforeLayoutIsDone()
    {
        Report report(listing, 20000);
        QVERIFY(report.bound);
        ReportViewer viewer;
        viewer.resize(800, 600);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        viewer.SetSliceRows(50);
        QSignalSpy finished(&viewer, &ReportViewer::layoutFinished);
        viewer.Show(*report.layout);
        QVERIFY(viewer.PageCount() >= 1);
        QVERIFY(viewer.Busy());
        QVERIFY(!report.layout->Done());
        viewer.viewport()->repaint();
        QCOMPARE(viewer.PaintedPages().value(0, -1), 0);

        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!viewer.Busy());
        const int pages = PagesOf(listing, 20000);
        QCOMPARE(viewer.PageCount(), pages);
        QCOMPARE(viewer.findChild<QLabel*>()->text(), u"of %1"_s.arg(pages));
        // Once the slices are done the page count reads right on the first page.
        QVERIFY(PageText(*viewer.Pages(), 0).endsWith(u"Page 1 of %1"_s.arg(pages)));
    }

    void navigation_data()
    {
        QTest::addColumn<QString>("steps"); // n next, p prior, g<k> go to, l last, f first, d/u page down/up
        QTest::addColumn<int>("expected");

        QTest::newRow("next") << u"n"_s << 1;
        QTest::newRow("prior on the first page") << u"p"_s << 0;
        QTest::newRow("go to, then prior") << u"g4 p"_s << 3;
        QTest::newRow("past the last page") << u"g999"_s << 9;
        QTest::newRow("before the first page") << u"g-3"_s << 0;
        QTest::newRow("next on the last page") << u"l n"_s << 9;
        QTest::newRow("last then first") << u"l f"_s << 0;
        QTest::newRow("page down keys") << u"d d d"_s << 3;
        QTest::newRow("page up from the last") << u"l u"_s << 8;
        QTest::newRow("page box") << u"b6"_s << 5;
    }

    void navigation()
    {
        QFETCH(QString, steps);
        QFETCH(int, expected);
        const int rowsPerPage = [] {
            Report one(listing, 500);
            one.layout->LayOutAll();
            return int(PageText(one.layout->Pages(), 0).count(u"|C0"_s));
        }();
        Report ten(listing, rowsPerPage * 10 - rowsPerPage / 2);
        ReportViewer viewer;
        viewer.resize(700, 500);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        viewer.Show(*ten.layout);
        viewer.FinishLayout();
        QCOMPARE(viewer.PageCount(), 10);
        auto* pageBox = viewer.findChild<QSpinBox*>();
        for (const QString& step : steps.split(u' ')) {
            const QChar kind = step.at(0);
            const int number = step.mid(1).toInt();
            if (kind == u'n')
                viewer.NextPage();
            else if (kind == u'p')
                viewer.PriorPage();
            else if (kind == u'g')
                viewer.GoToPage(number);
            else if (kind == u'l')
                QTest::keyClick(&viewer, Qt::Key_End, Qt::ControlModifier);
            else if (kind == u'f')
                QTest::keyClick(&viewer, Qt::Key_Home, Qt::ControlModifier);
            else if (kind == u'd')
                QTest::keyClick(&viewer, Qt::Key_PageDown);
            else if (kind == u'u')
                QTest::keyClick(&viewer, Qt::Key_PageUp);
            else if (kind == u'b')
                pageBox->setValue(number);
        }
        QCOMPARE(viewer.CurrentPage(), expected);
        QCOMPARE(pageBox->value(), expected + 1);
        viewer.viewport()->repaint();
        QVERIFY(viewer.PaintedPages().contains(expected));
    }

    void paintsOnlyThePagesInView()
    {
        Report report(listing, 6000);
        ReportViewer viewer;
        viewer.resize(600, 500);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        viewer.Show(*report.layout);
        viewer.FinishLayout();
        QVERIFY(viewer.PageCount() > 50);
        viewer.GoToPage(40);
        viewer.viewport()->repaint();
        const QList<int> painted = viewer.PaintedPages();
        QVERIFY(!painted.isEmpty());
        QCOMPARE(painted.first(), 40);
        QVERIFY2(painted.size() <= 3, qPrintable(u"%1 pages painted"_s.arg(painted.size())));
    }

    void zoomKeepsThePageAndFitFollowsTheWidth()
    {
        Report report(listing, 3000);
        ReportViewer viewer;
        viewer.resize(600, 500);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        viewer.Show(*report.layout);
        viewer.FinishLayout();
        QVERIFY(viewer.FittingWidth());
        const double fitNarrow = viewer.Zoom();
        viewer.resize(900, 500);
        QVERIFY(viewer.Zoom() > fitNarrow);

        viewer.GoToPage(7);
        viewer.SetZoom(2.0);
        QVERIFY(!viewer.FittingWidth());
        QCOMPARE(viewer.CurrentPage(), 7);
        viewer.viewport()->repaint();
        QCOMPARE(viewer.PaintedPages().value(0, -1), 7);

        viewer.ZoomIn();
        QCOMPARE(viewer.Zoom(), 3.0);
        viewer.SetZoom(100);
        QCOMPARE(viewer.Zoom(), ReportViewer::MaxZoom);
        viewer.ZoomOut();
        QCOMPARE(viewer.Zoom(), 3.0);
        viewer.SetZoom(0.01);
        QCOMPARE(viewer.Zoom(), ReportViewer::MinZoom);
        viewer.ZoomOut();
        QCOMPARE(viewer.Zoom(), ReportViewer::MinZoom);

        auto* zoomBox = viewer.findChild<QComboBox*>();
        zoomBox->setEditText(u"150"_s);
        QTest::keyClick(zoomBox, Qt::Key_Return);
        QCOMPARE(viewer.Zoom(), 1.5);
        viewer.FitWidth();
        QVERIFY(viewer.FittingWidth());
        QCOMPARE(viewer.CurrentPage(), 7);
    }

    void clearShowsNothing()
    {
        Report report(listing, 2000);
        ReportViewer viewer;
        viewer.resize(600, 500);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        viewer.SetSliceRows(10);
        viewer.Show(*report.layout);
        QVERIFY(viewer.Busy());
        viewer.Clear();
        QVERIFY(!viewer.Busy());
        QVERIFY(!viewer.HasReport());
        QCOMPARE(viewer.PageCount(), 0);
        viewer.NextPage();
        viewer.viewport()->repaint();
        QVERIFY(viewer.PaintedPages().isEmpty());
    }

    void printsEveryPageWithItsSize()
    {
        if (QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty())
            QSKIP("pdfinfo (poppler-utils) is not installed");
        QTemporaryDir dir;
        const QString roll = u"report title=R page=roll width=80 margin-top=4 margin-bottom=4\n"
                             "band kind=detail height=6\n"
                             "field x=0 y=0 w=40 h=5 expr=\"PCode\"\n"_s;
        Report report(roll, 30);
        ReportViewer viewer;
        viewer.Show(*report.layout);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(u"roll.pdf"_s));
        QString error;
        QVERIFY2(viewer.Print(printer, &error), qPrintable(error));
        QProcess info;
        info.start(u"pdfinfo"_s, { dir.filePath(u"roll.pdf"_s) });
        QVERIFY(info.waitForFinished());
        const QString out = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(out.contains(QRegularExpression(u"Pages:\\s+1\\n"_s)), qPrintable(out));
        // 80 mm wide: 226.77 pt; the length follows the 30 rows, not an A4 sheet.
        const QRegularExpressionMatch size
            = QRegularExpression(u"Page size:\\s+([\\d.]+) x ([\\d.]+)"_s).match(out);
        QVERIFY2(size.hasMatch(), qPrintable(out));
        QVERIFY(qAbs(size.captured(1).toDouble() - 80 / 25.4 * 72) < 1.5);
        const double lengthMm = size.captured(2).toDouble() / 72 * 25.4;
        QVERIFY2(lengthMm > 30 * 6 && lengthMm < 297, qPrintable(QString::number(lengthMm)));
    }
};

QTEST_MAIN(TestReportViewer)
#include "tst_reportviewer.moc"
