// The import of a 10-column sheet of products from .xlsx (ImportState::Import: the sheet read
// again as it is unpacked, each row converted and inserted under its own savepoint inside one
// transaction) against bare inserts of the same rows, already in memory, through one
// prepared statement in one transaction, in the same run. The workbook is written by the
// export. Also the time of List (reading the sheet for the preview) and the memory: the
// resident size before and after the import, which stays flat however long the sheet is.
//
// Usage: bench_import [ROWS] [RUNS]   (defaults 100000 rows, 3 runs)
#include "BenchScreen.h"
#include "BenchShop.h"
#include "BenchTiming.h"
#include "ExportState.h"
#include "ImportState.h"

#include <QCoreApplication>
#include <QTemporaryDir>

using namespace kivo;
using namespace kivo::bench;

namespace {

const QString Columns = QStringLiteral("PCode, PName, PGId, PPurchRate, PSaleRate, POpenQty, PSpecific, "
                                       "PLocation, PActive");

struct BareRow {
    QByteArray code, name, specific, location, active;
    qint64 group, open;
    double purchase, sale;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int rows = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QTemporaryDir folder;
    YesMessages messages;
    ProgramContext context(messages);
    Connection& connection = context.connection;
    const QString file = folder.filePath(QStringLiteral("products.xlsx"));
    std::vector<BareRow> bareRows;
    try {
        MakeShop(context, folder.path(), rows);
        ExportState exporter(context);
        exporter.table = int(exporter.tables.indexOf(QStringLiteral("Product")));
        exporter.LoadColumns();
        for (qsizetype i = 0; i < exporter.fieldNames.size(); ++i)
            exporter.selected[size_t(i)] = Columns.contains(exporter.fieldNames.at(i));
        exporter.List();
        exporter.txtFile = file;
        exporter.Export();
        Recordset source(connection);
        source.Open(QStringLiteral("Select ") + Columns + QStringLiteral(" From ktProduct Where 1=1"));
        for (; !source.Eof(); source.MoveNext())
            bareRows.push_back({ source.Text(0).toUtf8(), source.Text(1).toUtf8(), source.Text(6).toUtf8(),
                source.Text(7).toUtf8(), source.Text(8).toUtf8(), source.Value(2).toLongLong(),
                source.Value(5).toLongLong(), source.Value(3).toDouble(), source.Value(4).toDouble() });
    } catch (const DbError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description));
        return 1;
    }
    const QString removeAdded = QStringLiteral("Delete From ktProduct Where EId > %1").arg(rows);
    sqlite3* db = connection.Handle();

    auto bare = [&] {
        Transaction transaction(connection);
        sqlite3_stmt* insert = nullptr;
        CheckEngine(db,
            sqlite3_prepare_v2(db,
                "INSERT INTO ktProduct (EDate, PCode, PName, PGId, PUom, PPurchRate, PSaleRate, POpenQty, "
                "PPurchQty, PSaleQty, PCloseQty, POrderQty, PTax, PTranDate, PSpecific, PLocation, PActive, "
                "PRemarks) VALUES ('2026-03-05', ?, ?, ?, '-', ?, ?, ?, 0, 0, 0, 0, '-', '2026-03-05', ?, ?, "
                "?, "
                "'-')",
                -1, &insert, nullptr),
            SQLITE_OK);
        for (const BareRow& row : bareRows) {
            sqlite3_bind_text(insert, 1, row.code.constData(), int(row.code.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, row.name.constData(), int(row.name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert, 3, row.group);
            sqlite3_bind_double(insert, 4, row.purchase);
            sqlite3_bind_double(insert, 5, row.sale);
            sqlite3_bind_int64(insert, 6, row.open);
            sqlite3_bind_text(
                insert, 7, row.specific.constData(), int(row.specific.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(
                insert, 8, row.location.constData(), int(row.location.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 9, row.active.constData(), int(row.active.size()), SQLITE_TRANSIENT);
            CheckEngine(db, sqlite3_step(insert), SQLITE_DONE);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        transaction.Commit();
    };

    std::vector<double> kivoMs, bareMs, listMs;
    long rssBefore = 0, rssAfter = 0;
    for (int run = 0; run <= runs; ++run) {
        ImportState state(context);
        state.table = int(state.tables.indexOf(QStringLiteral("Product")));
        state.txtFile = file;
        const double list = CpuMs([&] { state.List(); });
        state.SelectAll();
        rssBefore = StatusKb("VmRSS:");
        const double kivo = CpuMs([&] { state.Import(); });
        rssAfter = StatusKb("VmRSS:");
        if (!state.endProgram) {
            std::fprintf(stderr, "the import did not complete\n");
            return 1;
        }
        connection.Execute(removeAdded);
        const double plain = CpuMs(bare);
        connection.Execute(removeAdded);
        if (run > 0) { // the first run warms the caches
            kivoMs.push_back(kivo);
            bareMs.push_back(plain);
            listMs.push_back(list);
        }
    }
    const double kivo = Median(kivoMs), plain = Median(bareMs);
    std::printf("import of %d rows x 10 columns from .xlsx (processor time, median of %d)\n", rows, runs);
    std::printf("  List (read for the preview)    %9.1f ms\n", Median(listMs));
    std::printf("  Kivo import (read + insert)    %9.1f ms\n", kivo);
    std::printf("  bare inserts, one transaction  %9.1f ms\n", plain);
    std::printf("  ratio                          %9.2fx   (target <= 2x)\n", kivo / plain);
    std::printf("  resident memory before/after import: %.1f / %.1f MB; peak %.1f MB\n", rssBefore / 1024.0,
        rssAfter / 1024.0, StatusKb("VmHWM:") / 1024.0);
    return 0;
}
