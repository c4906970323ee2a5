// Find and replace and the product bulk update over every product: the time of each step as
// the user meets it (wall clock, one run after a warm-up), with the bare engine running the
// same change as one UPDATE in one transaction for comparison.
//
// Usage: bench_bulkupdate [PRODUCTS]   (default 100000; target: each step < 2 s)
#include "BenchScreen.h"
#include "BenchShop.h"
#include "FindReplaceState.h"
#include "ProductUpdateState.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

using namespace kivo;
using namespace kivo::bench;

namespace {

template <typename Work> double WallMs(Work&& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int products = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 100000;
    QTemporaryDir folder;
    YesMessages messages;
    ProgramContext context(messages);
    try {
        MakeShop(context, folder.path(), products);
    } catch (const DbError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description));
        return 1;
    }
    Connection& connection = context.connection;
    auto allowed = [] { return true; };

    for (int run = 0; run < 2; ++run) {
        FindReplaceState replace(context, allowed);
        replace.Open();
        replace.crita = int(replace.fieldNames.indexOf(QStringLiteral("PName")));
        replace.txtCrita = QStringLiteral("Product");
        const double find = WallMs([&] { replace.Find(); });
        replace.field = int(replace.fieldNames.indexOf(QStringLiteral("PLocation")));
        replace.LeaveField();
        replace.txtField = QStringLiteral("Aisle %1").arg(run);
        const double write = WallMs([&] { replace.Replace(); });
        const double bareReplace = WallMs([&] {
            Transaction transaction(connection);
            connection.ExecuteRaw(
                QStringLiteral("UPDATE ktProduct SET PLocation='Bare' WHERE PName LIKE 'Product%'"));
            transaction.Commit();
        });

        ProductUpdateState update(context, allowed);
        update.Open();
        const double list = WallMs([&] { update.List(); });
        for (int r = 0; r < update.rowCount(); ++r) {
            update.SetCurrentRow(r);
            update.txtUpdate = QString::number(10 + run + r % 7);
            update.StoreValue();
        }
        const double process = WallMs([&] { update.Process(); });
        const double bareProcess = WallMs([&] {
            Transaction transaction(connection);
            connection.ExecuteRaw(
                QStringLiteral("UPDATE ktProduct SET POpenQty=POpenQty+1 WHERE PActive='Y'"));
            transaction.Commit();
            connection.ExecuteRaw(
                QStringLiteral("UPDATE ktProduct SET PCloseQty=POpenQty+PPurchQty-PSaleQty"));
        });
        if (run == 0)
            continue; // warm-up
        std::printf("%d products, every one found and changed (wall clock)\n", products);
        std::printf("  find and replace: Find %.0f ms, Replace %.0f ms (bare UPDATE %.0f ms)\n", find, write,
            bareReplace);
        std::printf("  bulk update: Find %.0f ms, Process %.0f ms (bare UPDATE and recount %.0f ms)\n", list,
            process, bareProcess);
        std::printf("  peak memory %.1f MB\n", StatusKb("VmHWM:") / 1024.0);
    }
    return 0;
}
