// The dialect translation of typical statements, each on its own: every statement the
// program runs passes through it, so it must stay far below the cost of running one.
// The text columns come from a real database, as in the program.
//
// Usage: bench_translate [ROUNDS]   (default 20000 translations per statement and run)
#include "BenchTiming.h"
#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "Schema.h"

#include <cstdio>
#include <cstdlib>
#include <QDir>
#include <QTemporaryDir>

using namespace kivo;

namespace {

struct Sample {
    const char* label;
    const char* statement;
};

const Sample Samples[] = {
    { "browse list", "Select EId, EDate From ktProduct" },
    { "one record", "Select * From ktBillMast Where EId= 125" },
    { "uniqueness count", "Select Count(*) From ktCustomer Where EId <> 0 And CPhone='0711200101'" },
    { "top row", "Select Top 1 * From ktBillMast Order By EId Desc" },
    { "delete star", "Delete * From ktBillDetl" },
    { "text joined", "Select CPhone+';'+CName From ktCustomer Where EId=3" },
    { "date range",
        "Select EId,EDate,BReceipt,BGross,BDiscount,BTax1,BTax2,BNett From ktBillMast a "
        "Where a.EDate Between #01/31/2026# And #02/28/2026# Order By a.EId" },
    { "monthly report",
        "SELECT Year(a.EDate) as tBYear,Month(a.EDate) as tBMonth,Count(a.EDate) as tBCount,"
        "Sum(a.BGross) as tBGross,Sum(a.BDiscount) as tBDiscount,Sum(a.BTotal) as tBTotal,"
        "Sum(a.BTax1+a.BTax2) as tBTax,Sum(a.BNett) as tBNett FROM ktBillMast as a WHERE "
        "a.EId=a.EId And ( a.EDate Between #01/01/2026# And #12/31/2026# ) GROUP BY "
        "Year(a.EDate),Month(a.EDate)" },
    { "bill print join",
        "Select a.*,b.*,c.CName,c.CAddress,c.CCity,c.CState,c.CCountry,c.CZipCode From "
        "ktBillMast a,ktBillDetl b,ktCustomer c Where a.EId=b.EId And a.BCId=c.EId And "
        "( a.EId =5 )" },
    { "top ten sales",
        "Select Top 10 BPDesc As PName, Sum(BQty) As PQty From ktBillDetl Where 1=1 And ( EDate Between "
        "#01/31/2026# And #02/28/2026# )  Group By BPDesc Order by Sum(BQty) Desc" },
    { "stock update",
        "Update ktProduct Set PSaleQty = PSaleQty + 2, PCloseQty = PCloseQty - 2, "
        "PTranDate = #03/05/2026# Where PCode='P1001'" },
};

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20000;
    constexpr int runs = 7;
    QTemporaryDir folder;
    try {
        Connection connection;
        connection.Open(QDir(folder.path()).filePath(QStringLiteral("Kivo.Kvd")), DatabasePassword(),
            Connection::OpenMode::Create);
        Schema::Create(connection);

        std::printf(
            "dialect translation per statement, median of %d runs of %d (target < 10 us)\n", runs, rounds);
        double worst = 0;
        qsizetype sink = 0;
        for (const Sample& sample : Samples) {
            const QString statement = QString::fromLatin1(sample.statement);
            const auto times = bench::TimeRuns(runs, [&] {
                for (int i = 0; i < rounds; ++i)
                    sink += connection.Translate(statement).size();
            });
            const double perStatementUs = bench::Median(times) * 1000.0 / rounds;
            worst = std::max(worst, perStatementUs);
            std::printf("  %-18s %4d chars  %7.2f us\n", sample.label, int(statement.size()), perStatementUs);
        }
        std::printf("  slowest: %.2f us  (checksum %lld)\n", worst, static_cast<long long>(sink));

        // Nested parentheses, each closed by a text join ("((CName)+'x')+'x'"): the time per
        // character stays flat as the depth grows when the translation is linear.
        std::printf("nested parentheses, median of %d runs\n", runs);
        for (int depth : { 100, 1000, 5000 }) {
            const QString statement = QStringLiteral("Select ") + QString(depth, u'(')
                + QStringLiteral("CName") + QStringLiteral(")+'x'").repeated(depth)
                + QStringLiteral(" From ktCustomer");
            const int times = std::max(1, rounds / depth);
            const auto runTimes = bench::TimeRuns(runs, [&] {
                for (int i = 0; i < times; ++i)
                    sink += connection.Translate(statement).size();
            });
            const double perStatementUs = bench::Median(runTimes) * 1000.0 / times;
            std::printf("  depth %-5d %6d chars  %9.2f us  %6.3f us per 100 chars\n", depth,
                int(statement.size()), perStatementUs, perStatementUs * 100.0 / double(statement.size()));
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "bench_translate: %s\n", e.what());
        return 1;
    }
    return 0;
}
