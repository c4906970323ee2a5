// The report engine at a Product Listing over many products: time to the first page laid out,
// the whole layout, the whole PDF, against a bare QPdfWriter loop that draws the same texts at
// the same places in the same run; the peak memory; and a 50-line receipt on an 80 mm roll to
// PDF. Prints the figures; asserts nothing.
//
// Usage: bench_report [ROWS]   (default 100000)
#include "BenchTiming.h"
#include "PageModel.h"
#include "ReportLayout.h"
#include "ReportPdf.h"
#include "ReportRows.h"
#include "ReportTemplate.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <sys/resource.h>

using namespace kivo;
using namespace kivo::bench;

namespace {

const char* listing = R"kvr(report title="Product Listing" page=A4 font="DejaVu Sans" size=8
       margin-left=12 margin-top=12 margin-right=12 margin-bottom=12
parameter name=pEntName
parameter name=pFilter
band kind=reportheader height=14
field x=0 y=0 w=186 h=7 expr="pEntName" size=14 bold=yes
field x=0 y=8 w=186 h=5 expr="'Product Listing - ' & pFilter"
band kind=pageheader height=8
label x=0 y=1 w=22 h=5 text="Code" bold=yes
label x=22 y=1 w=70 h=5 text="Name" bold=yes
label x=92 y=1 w=14 h=5 text="Unit" bold=yes
label x=106 y=1 w=26 h=5 text="Purchase" bold=yes align=right
label x=132 y=1 w=26 h=5 text="Sale" bold=yes align=right
label x=158 y=1 w=28 h=5 text="Stock" bold=yes align=right
line x=0 y=7 w=186 h=0 width=0.3
band kind=detail height=4.5 shade=yes
field x=0 y=0.5 w=22 h=4 expr="PCode"
field x=22 y=0.5 w=70 h=4 expr="PName"
field x=92 y=0.5 w=14 h=4 expr="PUom"
field x=106 y=0.5 w=26 h=4 expr="PPurchRate" format="#,##0.00" align=right
field x=132 y=0.5 w=26 h=4 expr="PSaleRate" format="#,##0.00" align=right
field x=158 y=0.5 w=28 h=4 expr="PCloseQty" format="0" align=right
band kind=summary height=8
line x=0 y=1 w=186 h=0 width=0.3
field x=0 y=2 w=92 h=5 expr="count() & ' products'" bold=yes
field x=106 y=2 w=26 h=5 expr="sum(PPurchRate)" format="#,##0.00" align=right bold=yes
band kind=pagefooter height=6
line x=0 y=0 w=186 h=0 width=0.2
field x=0 y=1 w=186 h=4 expr="'Page ' & page & ' of ' & pages" align=center
)kvr";

const char* receipt = R"kvr(report title="Bill Print (S)" page=roll width=80 size=8
       margin-left=4 margin-top=4 margin-right=4 margin-bottom=6
parameter name=pEntName
band kind=reportheader height=12
field x=0 y=0 w=72 h=6 expr="pEntName" align=center bold=yes size=11
label x=0 y=6 w=72 h=4 text="Cash bill" align=center
band kind=detail height=4
field x=0 y=0 w=40 h=4 expr="PName"
field x=40 y=0 w=10 h=4 expr="BQty" align=right
field x=50 y=0 w=22 h=4 expr="BQty * BRate" format="#####0.00" align=right
band kind=summary height=10
line x=0 y=1 w=72 h=0
label x=0 y=2 w=40 h=5 text="Total" bold=yes
field x=40 y=2 w=32 h=5 expr="sum(BQty * BRate)" format="#####0.00" align=right bold=yes
)kvr";

TableRows Products(int count)
{
    std::vector<QVariantList> rows;
    rows.reserve(size_t(count));
    for (int i = 1; i <= count; ++i)
        rows.push_back(
            { QStringLiteral("P%1").arg(i), QStringLiteral("Product %1 of the bench listing").arg(i),
                QStringLiteral("Pcs"), 10.0 + (i % 1000) / 8.0, 12.5 + (i % 1000) / 7.0, qlonglong(i % 97) });
    return TableRows(
        { QStringLiteral("PCode"), QStringLiteral("PName"), QStringLiteral("PUom"),
            QStringLiteral("PPurchRate"), QStringLiteral("PSaleRate"), QStringLiteral("PCloseQty") },
        std::move(rows));
}

double Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

ReportTemplate Read(const char* text)
{
    TemplateError error;
    ReportTemplate tpl = ReportTemplate::Parse(QString::fromUtf8(text), QStringLiteral("bench.Kvr"), &error);
    if (tpl.IsEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Text()));
        std::exit(1);
    }
    return tpl;
}

// The same texts at the same places, drawn straight onto a QPdfWriter: what any PDF of this
// listing costs at least.
void BareLoop(const PageModel& pages, const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    const double scale = writer.width() / (210 * PageModel::PaintUnitsPerMm);
    painter.scale(scale, scale);
    constexpr double k = PageModel::PaintUnitsPerMm;
    int font = -1;
    for (int page = 0; page < pages.PageCount(); ++page) {
        if (page > 0)
            writer.newPage();
        const PageModel::Page& sheet = pages.PageAt(page);
        for (const PageModel::Item& item : sheet.items) {
            if (item.kind != PageModel::Kind::Text)
                continue;
            if (item.font != font) {
                font = item.font;
                painter.setFont(pages.Fonts()[font]);
            }
            painter.drawText(QPointF((item.x + item.indent) * k, (item.y + item.baseline) * k),
                sheet.Text(item).toString());
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const TableRows rows = Products(count);
    const ReportTemplate tpl = Read(listing);
    const ReportLayout::Parameters parameters { { QStringLiteral("pEntName"), QStringLiteral("Bench Shop") },
        { QStringLiteral("pFilter"), QStringLiteral("-") } };

    auto start = std::chrono::steady_clock::now();
    ReportLayout layout(tpl, rows, parameters);
    TemplateError error;
    if (!layout.Bind(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Text()));
        return 1;
    }
    while (layout.Pages().PageCount() < 1 && !layout.LayOutSome(200)) { }
    const double firstPage = Since(start);
    layout.LayOutAll();
    const double wholeLayout = Since(start);

    start = std::chrono::steady_clock::now();
    QString message;
    if (!ReportPdf::Write(
            layout.Pages(), dir.filePath(QStringLiteral("listing.pdf")), tpl.Title(), &message)) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return 1;
    }
    const double pdf = Since(start);

    start = std::chrono::steady_clock::now();
    BareLoop(layout.Pages(), dir.filePath(QStringLiteral("bare.pdf")));
    const double bare = Since(start);

    qsizetype items = 0;
    for (int page = 0; page < layout.Pages().PageCount(); ++page)
        items += qsizetype(layout.Pages().PageAt(page).items.size());

    const ReportTemplate bill = Read(receipt);
    std::vector<QVariantList> lines;
    for (int i = 1; i <= 50; ++i)
        lines.push_back({ QStringLiteral("Item %1 on the bill").arg(i), qlonglong(1 + i % 3), 2.5 * i });
    const TableRows billRows(
        { QStringLiteral("PName"), QStringLiteral("BQty"), QStringLiteral("BRate") }, lines);
    const QString billPdf = dir.filePath(QStringLiteral("bill.pdf"));
    const std::vector<double> billTimes = TimeRuns(5, [&] {
        const ReportTemplate reread = Read(receipt);
        ReportLayout billLayout(
            reread, billRows, { { QStringLiteral("pEntName"), QStringLiteral("Bench Shop") } });
        billLayout.Bind(nullptr);
        billLayout.LayOutAll();
        ReportPdf::Write(billLayout.Pages(), billPdf, reread.Title(), nullptr);
    });
    (void)bill;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);

    std::printf("Product Listing, %d rows: %d pages, %lld placed items\n", count, layout.Pages().PageCount(),
        static_cast<long long>(items));
    std::printf("  first page laid out   %9.1f ms   (target < 1000)\n", firstPage);
    std::printf("  whole layout          %9.1f ms\n", wholeLayout);
    std::printf("  PDF from the layout   %9.1f ms\n", pdf);
    std::printf("  layout + PDF          %9.1f ms   (target < 20000)\n", wholeLayout + pdf);
    std::printf("  bare QPdfWriter loop  %9.1f ms\n", bare);
    std::printf("  ratio (layout+PDF)/bare %7.2f     (target <= 2)\n", (wholeLayout + pdf) / bare);
    std::printf("  peak memory           %9.1f MB   (target < 300)\n", usage.ru_maxrss / 1024.0);
    std::printf(
        "Bill Print (S), 50 lines on an 80 mm roll to PDF: median %.1f ms, min %.1f ms (target < 100)\n",
        Median(billTimes), Minimum(billTimes));
    return 0;
}
