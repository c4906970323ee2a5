// The record engine on a large product register: opening the product screen, browsing
// (First, Prior, Next, Last) and saving a product, uniqueness query included. Generates its
// own database of 100,000 products (or the count given as the first argument) in a
// temporary folder, then prints the figures.
#include "BenchScreen.h"
#include "DatabasePassword.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "Schema.h"
#include "ScreenCatalogue.h"
#include "ScreenHost.h"
#include "SeedData.h"

#include <algorithm>
#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <vector>

using namespace kivo;
using namespace kivo::bench;

namespace {

void Generate(const QString& file, int products)
{
    Connection connection;
    connection.Open(file, DatabasePassword(), Connection::OpenMode::Create);
    Schema::Create(connection);
    SeedDefaults(connection, QDate(2026, 3, 5));
    Transaction transaction(connection);
    connection.ExecuteRaw(QStringLiteral("INSERT INTO kmGroup (EDate, GName, GSavePer, GRemarks) VALUES "
                                         "('2026-01-01', 'Grocery', 5, 'Dry goods')"));
    // One statement for every row: the engine counts them out itself.
    connection.ExecuteRaw(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO ktProduct (EDate, PCode, PName, PGId, PUom, PPurchRate, PSaleRate, POpenQty, PPurchQty, "
        "PSaleQty, PCloseQty, POrderQty, PTax, PTranDate, PSpecific, PLocation, PActive, PRemarks) "
        "SELECT '2026-01-01', 'P' || i, 'Product ' || i, 1, 'Pcs', 1.5 + (i % 100), 2.25 + (i % 100), 10, 5, "
        "3, "
        "12, 2, 'T', '2026-02-01', 'Size ' || (i % 7), 'Aisle ' || (i % 20), 'Y', 'Bench row' FROM n")
                              .arg(products));
    transaction.Commit();
}

struct Figures {
    std::vector<double> ms;
    void Add(qint64 nanoseconds) { ms.push_back(nanoseconds / 1e6); }
    void Print(const char* what) const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        double total = 0;
        for (double m : sorted)
            total += m;
        std::printf("%-34s mean %8.3f ms  median %8.3f ms  max %8.3f ms  (%zu runs)\n", what,
            total / sorted.size(), sorted[sorted.size() / 2], sorted.back(), sorted.size());
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int products = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("Doc"));

    QElapsedTimer clock;
    clock.start();
    YesMessages messages;
    ProgramContext context(messages);
    context.SetLocations(InitLocations(folder.path()));
    Generate(context.locations.DatabaseFile(), products);
    std::printf("generated %d products in %.0f ms\n", products, clock.nsecsElapsed() / 1e6);
    context.connection.Open(context.locations.DatabaseFile(), DatabasePassword());

    NullHost host;
    RecordEngine engine(context, host);
    Figures open, first, prior, next, last, save, add;
    std::unique_ptr<RecordScreen> screen;
    for (int run = 0; run < 5; ++run) {
        if (screen)
            engine.CloseRecordScreen(*screen);
        screen = ProductScreen();
        clock.restart();
        engine.OpenRecordScreen(*screen);
        open.Add(clock.nsecsElapsed());
    }
    std::printf(
        "product screen shows %s, record %s\n", qPrintable(host.position), qPrintable(screen->Text(2)));

    auto timed = [&](Figures& figures, int command) {
        clock.restart();
        engine.RecordCommand(command);
        figures.Add(clock.nsecsElapsed());
    };
    for (int run = 0; run < 50; ++run) {
        timed(first, CommandNumber::First);
        timed(next, CommandNumber::Next);
        timed(last, CommandNumber::Last);
        timed(prior, CommandNumber::Prior);
    }
    for (int run = 0; run < 50; ++run) {
        engine.RecordCommand(CommandNumber::Modify);
        screen->SetText(3, QStringLiteral("Renamed %1").arg(run));
        timed(save, CommandNumber::Save);
    }
    for (int run = 0; run < 20; ++run) {
        engine.RecordCommand(CommandNumber::Xerox);
        screen->SetText(2, QStringLiteral("NEW%1").arg(run));
        // A copied new product shows no stock yet (its stock columns are never saved from
        // the screen); the checks still want numbers and a date there.
        for (int i : { 9, 10, 11 })
            screen->SetText(i, QStringLiteral("0"));
        screen->SetText(14, screen->Text(1));
        timed(add, CommandNumber::Save);
    }

    open.Print("open product screen");
    first.Print("First");
    prior.Print("Prior");
    next.Print("Next");
    last.Print("Last");
    save.Print("Save, changed product");
    add.Print("Save, copied product (new row)");
    std::printf("now at %s\n", qPrintable(host.position));
    engine.CloseRecordScreen(*screen);
    return 0;
}
