// Find and replace and the product bulk update over every product: the time of each step as
// the user meets it (one run after a warm-up), with the bare engine running the
// same change as one UPDATE in one transaction for comparison. Each time is this thread's
// processor time and the wall clock (which a busy machine and the durable commits move).
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

// Processor time of this thread and wall-clock time of one call, "cpu/wall ms": the first is
// what a busy machine does not move, the second what the user waits.
template <typename Work> QString WallMs(Work&& work)
{
    QElapsedTimer clock;
    clock.start();
    const double cpu = CpuMs(work);
    return QStringLiteral("%1/%2 ms").arg(cpu, 0, 'f', 0).arg(double(clock.nsecsElapsed()) / 1e6, 0, 'f', 0);
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
        const QString find = WallMs([&] { replace.Find(); });
        replace.field = int(replace.fieldNames.indexOf(QStringLiteral("PLocation")));
        replace.LeaveField();
        replace.txtField = QStringLiteral("Aisle %1").arg(run);
        const QString write = WallMs([&] { replace.Replace(); });
        const QString bareReplace = WallMs([&] {
            Transaction transaction(connection);
            connection.ExecuteRaw(
                QStringLiteral("UPDATE ktProduct SET PLocation='Bare' WHERE PName LIKE 'Product%'"));
            transaction.Commit();
        });

        ProductUpdateState update(context, allowed);
        update.Open();
        const QString list = WallMs([&] { update.List(); });
        for (int r = 0; r < update.rowCount(); ++r) {
            update.SetCurrentRow(r);
            update.txtUpdate = QString::number(10 + run + r % 7);
            update.StoreValue();
        }
        const QString process = WallMs([&] { update.Process(); });
        const QString bareProcess = WallMs([&] {
            Transaction transaction(connection);
            connection.ExecuteRaw(
                QStringLiteral("UPDATE ktProduct SET POpenQty=POpenQty+1 WHERE PActive='Y'"));
            transaction.Commit();
            connection.ExecuteRaw(
                QStringLiteral("UPDATE ktProduct SET PCloseQty=POpenQty+PPurchQty-PSaleQty"));
        });
        if (run == 0)
            continue; // warm-up
        std::printf("%d products, every one found and changed (processor/wall clock)\n", products);
        std::printf("  find and replace: Find %s, Replace %s (bare UPDATE %s)\n", qPrintable(find),
            qPrintable(write), qPrintable(bareReplace));
        std::printf("  bulk update: Find %s, Process %s (bare UPDATE and recount %s)\n", qPrintable(list),
            qPrintable(process), qPrintable(bareProcess));
        std::printf("  peak memory %.1f MB\n", StatusKb("VmHWM:") / 1024.0);
    }
    return 0;
}
