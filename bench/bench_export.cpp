// The export of listed products to a workbook (ExportState::Export, which steps through the
// listing's statement and writes every cell through WorkbookWriter; the listing itself is made
// before and not timed) against the bare engine and libxlsxwriter
// writing the same cells of the same statement directly, in the same run, alternating.
// Ten columns: EId and nine product columns.
//
// Usage: bench_export [PRODUCTS] [RUNS]   (defaults 100000 products, 3 runs)
#include "BenchScreen.h"
#include "BenchShop.h"
#include "BenchTiming.h"
#include "ExportState.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <xlsxwriter.h>

using namespace kivo;
using namespace kivo::bench;

namespace {

const char* const Columns[] = { "PCode", "PName", "PGId", "PPurchRate", "PSaleRate", "POpenQty", "PTranDate",
    "PLocation", "PActive" };

// The listing as the user makes it before exporting: not timed.
void List(ExportState& state)
{
    state.table = int(state.tables.indexOf(QStringLiteral("Product")));
    state.LoadColumns();
    for (qsizetype i = 0; i < state.fieldNames.size(); ++i)
        state.selected[size_t(i)] = std::any_of(std::begin(Columns), std::end(Columns),
            [&](const char* name) { return state.fieldNames.at(i) == QLatin1String(name); });
    state.List();
}

// The same statement stepped with the engine; numbers as numbers, the date as its text.
void ExportBare(sqlite3* db, const QString& file)
{
    const QByteArray path = QFile::encodeName(file);
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Sheet1");
    worksheet_set_column(sheet, 0, 16383, 10, nullptr);
    sqlite3_stmt* select = nullptr;
    CheckEngine(db,
        sqlite3_prepare_v2(db,
            "SELECT EId, PCode, PName, PGId, PPurchRate, PSaleRate, POpenQty, PTranDate, PLocation, PActive "
            "FROM ktProduct WHERE 1=1",
            -1, &select, nullptr),
        SQLITE_OK);
    const int columns = sqlite3_column_count(select);
    for (int c = 0; c < columns; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), sqlite3_column_name(select, c), nullptr);
    lxw_row_t row = 1;
    while (sqlite3_step(select) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(select, c)) {
            case SQLITE_INTEGER:
            case SQLITE_FLOAT:
                worksheet_write_number(sheet, row, lxw_col_t(c), sqlite3_column_double(select, c), nullptr);
                break;
            case SQLITE_TEXT:
                worksheet_write_string(sheet, row, lxw_col_t(c),
                    reinterpret_cast<const char*>(sqlite3_column_text(select, c)), nullptr);
                break;
            default:
                break;
            }
        }
        ++row;
    }
    sqlite3_finalize(select);
    workbook_close(book);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int products = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QTemporaryDir folder;
    YesMessages messages;
    ProgramContext context(messages);
    try {
        MakeShop(context, folder.path(), products);
    } catch (const DbError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description));
        return 1;
    }
    const QString kivoFile = folder.filePath(QStringLiteral("kivo.xlsx"));
    const QString bareFile = folder.filePath(QStringLiteral("bare.xlsx"));
    std::vector<double> kivoMs, bareMs;
    for (int run = 0; run <= runs; ++run) {
        ExportState state(context);
        List(state);
        state.txtFile = kivoFile;
        const double kivo = CpuMs([&] { state.Export(); });
        const double bare = CpuMs([&] { ExportBare(context.connection.Handle(), bareFile); });
        if (run > 0) { // the first run warms the caches
            kivoMs.push_back(kivo);
            bareMs.push_back(bare);
        }
    }
    const double kivo = Median(kivoMs), bare = Median(bareMs);
    std::printf("export of %d products x 10 columns (processor time, median of %d)\n", products, runs);
    std::printf("  Kivo (Export  >):     %9.1f ms   file %lld bytes\n", kivo, QFileInfo(kivoFile).size());
    std::printf("  bare (sqlite + xlsx): %9.1f ms   file %lld bytes\n", bare, QFileInfo(bareFile).size());
    std::printf("  ratio                %9.2fx   (target <= 1.3x)\n", kivo / bare);
    std::printf("  peak memory          %9.1f MB\n", StatusKb("VmHWM:") / 1024.0);
    return 0;
}
