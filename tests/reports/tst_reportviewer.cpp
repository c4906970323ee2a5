#include "LaidReport.h"
#include "ProgramRun.h"
#include "ReportPdf.h"
#include "ReportRows.h"
#include "ReportViewer.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPrinter>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

// 297 - 10 - 10 - 10 (header) - 8 (footer) leaves 259 mm: 43 rows of 6 mm a page.
constexpr int rowsPerPage = 43;
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

// A viewer window showing a report as the report screen does, with its rows and bound layout.
struct Shown : ReportViewer {
    Shown(const QString& text, int rowCount)
        : rows(Codes(rowCount))
        , report(text, rows)
    {
        resize(600, 500);
        show();
        if (!QTest::qWaitForWindowExposed(this))
            qFatal("the viewer was not shown");
    }
    ~Shown() override { Clear(); } // the viewer lets go of the layout before it goes
    TableRows rows;
    LaidReport report;
};

} // namespace

class TestReportViewer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void firstPageBeforeLayoutIsDone()
    {
        Shown viewer(listing, 20000);
        viewer.SetSliceRows(50);
        QSignalSpy finished(&viewer, &ReportViewer::layoutFinished);
        viewer.Show(*viewer.report.layout);
        QVERIFY(viewer.PageCount() >= 1);
        QVERIFY(viewer.Busy());
        QVERIFY(!viewer.report.layout->Done());
        viewer.viewport()->repaint();
        QCOMPARE(viewer.PaintedPages().value(0, -1), 0);

        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!viewer.Busy());
        const int pages = (20000 + rowsPerPage - 1) / rowsPerPage;
        QCOMPARE(viewer.PageCount(), pages);
        QCOMPARE(viewer.findChild<QLabel*>()->text(), u"of %1"_s.arg(pages));
        // Once the slices are done the page count reads right on the first page.
        QCOMPARE(LaidReport::Texts(*viewer.Pages(), 0).last(), u"Page 1 of %1"_s.arg(pages));
    }

    void navigation_data()
    {
        QTest::addColumn<QString>(
            "steps"); // n next, p prior, g<k> go to, l last, d/u page down/up, b<k> page box
        QTest::addColumn<int>("expected");

        QTest::newRow("prior on the first page") << u"p"_s << 0;
        QTest::newRow("past the last page") << u"g999"_s << 9;
        QTest::newRow("before the first page") << u"g-3"_s << 0;
        QTest::newRow("next on the last page") << u"l n"_s << 9;
        QTest::newRow("page down keys") << u"d d d"_s << 3;
        QTest::newRow("page up from the last") << u"l u"_s << 8;
        QTest::newRow("page box") << u"b6"_s << 5;
    }

    void navigation()
    {
        QFETCH(QString, steps);
        QFETCH(int, expected);
        Shown viewer(listing, rowsPerPage * 10 - rowsPerPage / 2);
        viewer.Show(*viewer.report.layout);
        viewer.FinishLayout();
        QCOMPARE(viewer.PageCount(), 10);
        auto* pageBox = viewer.findChild<QSpinBox*>();
        for (const QString& step : steps.split(u' ')) {
            const int number = step.mid(1).toInt();
            const QChar kind = step.at(0);
            if (kind == u'n')
                viewer.NextPage();
            else if (kind == u'p')
                viewer.PriorPage();
            else if (kind == u'g')
                viewer.GoToPage(number);
            else if (kind == u'l')
                QTest::keyClick(&viewer, Qt::Key_End, Qt::ControlModifier);
            else if (kind == u'd')
                QTest::keyClick(&viewer, Qt::Key_PageDown);
            else if (kind == u'u')
                QTest::keyClick(&viewer, Qt::Key_PageUp);
            else if (kind == u'b')
                pageBox->setValue(number);
        }
        QCOMPARE(viewer.CurrentPage(), expected);
        QCOMPARE(pageBox->value(), expected + 1);
        // Only the pages in view are painted, the current one first.
        viewer.viewport()->repaint();
        const QList<int> painted = viewer.PaintedPages();
        QCOMPARE(painted.value(0, -1), expected);
        QVERIFY2(painted.size() <= 3, qPrintable(u"%1 pages painted"_s.arg(painted.size())));
    }

    void zoomKeepsThePageAndFitFollowsTheWidth()
    {
        Shown viewer(listing, 3000);
        viewer.Show(*viewer.report.layout);
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
        viewer.SetZoom(0.01);
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
        Shown viewer(listing, 2000);
        viewer.SetSliceRows(10);
        viewer.Show(*viewer.report.layout);
        QVERIFY(viewer.Busy());
        viewer.Clear();
        QVERIFY(!viewer.Busy());
        QVERIFY(!viewer.HasReport());
        QCOMPARE(viewer.PageCount(), 0);
        viewer.NextPage();
        viewer.viewport()->repaint();
        QVERIFY(viewer.PaintedPages().isEmpty());
    }

    // Each page gets its own size, printed or exported: a roll is one page as long as its
    // bands, in mm, not an A4 sheet.
    void pdfPageSizes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QSizeF>("size");
        const QString roll = u"report page=roll width=80 margin-top=4 margin-bottom=4\n"
                             "band kind=reportheader height=8\nlabel text=Receipt\n"
                             "band kind=detail height=4\nfield w=50 expr=\"PCode\"\n"
                             "band kind=pagefooter height=5\nlabel text=Thanks\n"_s;
        QTest::newRow("A5 landscape")
            << u"report page=A5 orientation=landscape\nband kind=detail height=5\nfield w=100 expr=\"PCode\"\n"_s
            << 2 << QSizeF(210, 148);
        QTest::newRow("roll of 50") << roll << 50 << QSizeF(80, 4 + 8 + 50 * 4 + 5 + 4);
    }

    void pdfPageSizes()
    {
        QFETCH(QString, text);
        QFETCH(int, rows);
        QFETCH(QSizeF, size);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"size.pdf"_s);
        const TableRows codes = Codes(rows);
        LaidReport report(text, codes);
        QString message;
        QVERIFY2(
            ReportPdf::Write(report.LayOutAll(), pdf, report.tpl.Title(), &message), qPrintable(message));
        QVERIFY(PdfText(pdf).contains(codes.Value(rows - 1, 0).toString()));
        ReportViewer viewer;
        viewer.Show(*report.layout);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(u"printed.pdf"_s));
        QVERIFY2(viewer.Print(printer, &message), qPrintable(message));
        for (const QString& file : { pdf, dir.filePath(u"printed.pdf"_s) }) {
            const QList<QSizeF> sizes = PdfPageSizes(file);
            QCOMPARE(sizes.size(), 1);
            QCOMPARE((sizes[0] / PointsPerMm).toSize(), size.toSize());
        }
    }
};

QTEST_MAIN(TestReportViewer)
#include "tst_reportviewer.moc"
