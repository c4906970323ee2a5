// Generating benchmark-scale shop data: products alone against the bare engine inserting the
// same number of product rows with one prepared statement (bind, step, reset) into the same
// table with its indexes in place, and then a whole shop of products, customers and a history
// of bills. The generator builds the indexes of the tables it fills after filling them.
// Each figure is one run on a new database: the work is too big to repeat, so run it on a
// quiet machine.
//
// Usage: bench_generate [PRODUCTS] [CUSTOMERS] [BILLS]   (default 1000000 100000 100000)
#include "Connection.h"
#include "DatabasePassword.h"
#include "DataGenerator.h"
#include "DbError.h"
#include "Schema.h"
#include "SeedData.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>

using namespace kivo;

namespace {

const QDate Today(2026, 3, 5);

// A new database with its schema and first rows, as kivo-admin init makes it.
void CreateDatabase(Connection& connection, const QString& file)
{
    connection.Open(file, DatabasePassword(), Connection::OpenMode::Create);
    Schema::Create(connection);
    SeedDefaults(connection, Today);
}

// Wall-clock and processor seconds of one piece of work. On a busy machine the wall clock
// shows the waiting for a processor too; the processor time is the work's own.
struct Took {
    double wall = 0;
    double processor = 0;
};

double ProcessorSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

template <typename Work> Took Time(Work&& work)
{
    const auto start = std::chrono::steady_clock::now();
    const double processorStart = ProcessorSeconds();
    work();
    return { std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
        ProcessorSeconds() - processorStart };
}

// The engine alone: every product row bound and stepped in one transaction, with values as
// plain as they come, so that only the engine's cost is left.
void BareProducts(Connection& connection, qint64 count)
{
    // The same page cache as the generator takes.
    connection.ExecuteRaw(QStringLiteral("PRAGMA cache_size=-65536"));
    connection.Begin();
    const StatementHandle insert = connection.Prepare(QStringLiteral(
        "INSERT INTO ktProduct VALUES (?,'2026-01-01',?,?,1,'Pack',1.5,2.49,10,0,0,10,3,'T','2026-01-01',"
        "'Standard','Aisle 1 Shelf 2','Y','Regular stock')"));
    char code[24];
    char name[48];
    for (qint64 n = 1; n <= count; ++n) {
        std::snprintf(code, sizeof code, "P%07lld", static_cast<long long>(n));
        std::snprintf(name, sizeof name, "Organic Rice %lld 500g", static_cast<long long>(n * 7919 % 100003));
        sqlite3_bind_int64(insert.get(), 1, n);
        sqlite3_bind_text(insert.get(), 2, code, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert.get(), 3, name, -1, SQLITE_TRANSIENT);
        if (sqlite3_step(insert.get()) != SQLITE_DONE)
            connection.ThrowEngineError(sqlite3_errcode(connection.Handle()), Connection::ErrorSource());
        sqlite3_reset(insert.get());
    }
    connection.Commit();
}

long PeakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv)
{
    const qint64 products = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const qint64 customers = argc > 2 ? std::atoll(argv[2]) : 100000;
    const qint64 bills = argc > 3 ? std::atoll(argv[3]) : 100000;
    QTemporaryDir folder;
    try {
        Took bare;
        {
            Connection connection;
            CreateDatabase(connection, QDir(folder.path()).filePath(QStringLiteral("bare.Kvd")));
            bare = Time([&] { BareProducts(connection, products); });
        }
        Took alone;
        {
            Connection connection;
            CreateDatabase(connection, QDir(folder.path()).filePath(QStringLiteral("products.Kvd")));
            DataGenerator::Settings settings;
            settings.products = products;
            settings.today = Today;
            alone = Time([&] { DataGenerator(connection, settings).Run(); });
        }
        Took shop;
        DataGenerator::Counts counts;
        {
            Connection connection;
            CreateDatabase(connection, QDir(folder.path()).filePath(QStringLiteral("shop.Kvd")));
            DataGenerator::Settings settings;
            settings.products = products;
            settings.customers = customers;
            settings.bills = bills;
            settings.today = Today;
            shop = Time([&] { counts = DataGenerator(connection, settings).Run(); });
        }
        std::printf("generate on a new encrypted database, one run each; wall and processor seconds\n");
        std::printf("  %lld products, bare prepared insert:  %7.2f s wall  %7.2f s processor\n",
            static_cast<long long>(products), bare.wall, bare.processor);
        std::printf("  %lld products, DataGenerator:         %7.2f s wall  %7.2f s processor  (%.2fx bare)\n",
            static_cast<long long>(products), alone.wall, alone.processor,
            bare.processor > 0 ? alone.processor / bare.processor : 0.0);
        std::printf("  whole shop (%lld products, %lld customers, %lld bills, %lld quotes, %lld orders,\n"
                    "    %lld purchases, %lld cash-book entries):  %7.2f s wall  %7.2f s processor\n",
            static_cast<long long>(counts.products), static_cast<long long>(counts.customers),
            static_cast<long long>(counts.bills), static_cast<long long>(counts.quotes),
            static_cast<long long>(counts.orders), static_cast<long long>(counts.purchases),
            static_cast<long long>(counts.entries), shop.wall, shop.processor);
        std::printf("  peak memory of the process: %ld MB\n", PeakMegabytes());
    } catch (const DbError& e) {
        std::fprintf(stderr, "bench_generate: %s\n", e.what());
        return 1;
    }
    return 0;
}
