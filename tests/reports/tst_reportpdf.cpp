#include "LaidReport.h"
#include "PagePainter.h"
#include "PdfTools.h"
#include "ReportPdf.h"
#include "ReportRows.h"

#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const char* receipt
    = R"kvr(report title="Bill Print (S)" page=roll width=80 margin-left=4 margin-right=4 margin-top=4 margin-bottom=4 size=8
band kind=reportheader height=8
label x=0 y=0 w=72 h=5 text="Receipt" align=center bold=yes
band kind=detail height=4
field x=0 y=0 w=50 h=4 expr="PName"
field x=50 y=0 w=22 h=4 expr="PPrice" format="0.00" align=right
band kind=summary height=6
field x=50 y=1 w=22 h=4 expr="sum(PPrice)" format="0.00" align=right
band kind=pagefooter height=5
label x=0 y=0 w=72 h=4 text="Thanks"
)kvr";

TableRows Products(int count)
{
    std::vector<QVariantList> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back(
            { u"P%1"_s.arg(i, 4, 10, QChar(u'0')), u"Product number %1"_s.arg(i), 1000.0 + i / 4.0 });
    return TableRows({ u"PCode"_s, u"PName"_s, u"PPrice"_s }, std::move(rows));
}

// Lays a template out over the rows and writes the PDF; the error text when anything fails.
QString Render(
    const char* text, const ReportRows& rows, const ReportLayout::Parameters& parameters, const QString& pdf)
{
    LaidReport report(QString::fromUtf8(text), rows, parameters);
    QString message = report.ErrorText();
    if (report.Bound())
        ReportPdf::Write(report.LayOutAll(), pdf, report.tpl.Title(), &message);
    return message;
}

} // namespace

class TestReportPdf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    // Each page gets its own size: a roll is as long as its bands, in mm.
    void pageSizes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QSizeF>("size");
        QTest::newRow("A5 landscape") << QByteArray("report page=A5 orientation=landscape\nband kind=detail "
                                                    "height=5\nfield w=100 expr=\"PName\"\n")
                                      << 2 << QSizeF(210, 148);
        QTest::newRow("roll of 5") << QByteArray(receipt) << 5 << QSizeF(80, 4 + 8 + 5 * 4 + 6 + 5 + 4);
        QTest::newRow("roll of 50") << QByteArray(receipt) << 50 << QSizeF(80, 4 + 8 + 50 * 4 + 6 + 5 + 4);
    }

    void pageSizes()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, rows);
        QFETCH(QSizeF, size);
        const QString pdf = m_dir.filePath(u"size.pdf"_s);
        QCOMPARE(Render(text.constData(), Products(rows), {}, pdf), QString());
        const QList<QSizeF> sizes = PdfPageSizes(pdf);
        QCOMPARE(sizes.size(), 1);
        QCOMPARE((sizes[0] / PointsPerMm).toSize(), size.toSize());
        QVERIFY(PdfText(pdf).contains(u"Product number %1"_s.arg(rows)));
    }

    // The viewer paints a page into any rectangle of a widget: here an image, at 2 pixels a
    // millimetre, 20 pixels in from the left and 10 down.
    void paintsIntoATarget()
    {
        const TableRows rows = Products(1);
        LaidReport report(u"report\nband kind=detail height=80\nbox x=0 y=0 w=100 h=50 width=1 fill=yes\n"
                          "field x=0 y=60 w=100 h=10 expr=\"PName\" size=20 bold=yes\n"_s,
            rows);
        const PageModel& pages = report.LayOutAll();
        QCOMPARE(pages.PageCount(), 1);
        QImage image(460, 620, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setPen(Qt::red); // the painter's own state is left alone
            PagePainter::Paint(painter, pages, 0, QRectF(20, 10, 420, 594));
            QCOMPARE(painter.pen().color(), QColor(Qt::red));
        }
        const auto grey = [&](int x, int y) { return qGray(image.pixel(x, y)); };
        // The box runs from (10, 10) to (110, 60) mm: pixels 40..240 across, 30..130 down.
        QVERIFY(grey(140, 30) < 100); // its top edge
        QVERIFY(grey(40, 80) < 100); // its left edge
        QVERIFY(grey(140, 80) > 150 && grey(140, 80) < 250); // its light grey ground
        QCOMPARE(grey(30, 20), 255); // the margin stays white
        int ink = 0;
        for (int y = 150; y < 175; ++y)
            for (int x = 40; x < 240; ++x)
                ink += grey(x, y) < 128;
        QVERIFY(ink > 200); // the text below the box
        QPainter again(&image);
        PagePainter::Paint(again, pages, 5, QRectF(0, 0, 10, 10)); // there is no page 6: nothing
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestReportPdf)
#include "tst_reportpdf.moc"
