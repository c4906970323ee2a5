// The data layer against the bare engine on the same encrypted file, in one run: reading a
// browse list to the end, look-ups by product code, a 50-row insert in one transaction, the
// product screen's open and a Find by id, a Find by code in a snapshot, and the memory the
// open adds. Prints one table:
// work, Kivo and bare processor time and ratio, Kivo and bare wall clock and ratio.
//
// Usage: bench_data [PRODUCTS] [RUNS]   (defaults 100000 products, 5 runs)
#include "BenchScreen.h"
#include "BenchShop.h"
#include "BenchTiming.h"
#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "Recordset.h"
#include "Schema.h"
#include "SeedData.h"

#include <cstdio>
#include <cstdlib>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <time.h>

using namespace kivo;
using namespace kivo::bench;

namespace {

void Check(sqlite3* db, int rc, int wanted)
{
    if (rc != wanted) {
        std::fprintf(stderr, "engine: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Products written with one prepared insert in one transaction: codes P1..PN, a group, rates
// and stock that differ from row to row.
void Generate(Connection& connection, int products)
{
    Transaction transaction(connection);
    connection.ExecuteRaw(QStringLiteral("INSERT INTO kmGroup (EDate, GName, GSavePer, GRemarks) VALUES "
                                         "('2026-01-01', 'Grocery', 5, 'Dry goods')"));
    InsertProducts(connection, products);
    transaction.Commit();
}

struct Row {
    QString work;
    double kivo = 0;
    double bare = 0;
    QString unit = QStringLiteral("ms");
    double kivoWall = 0; // wall clock, where both sides were timed
    double bareWall = 0;
};

// Kivo and the bare engine take turns, run after run, so that both meet the same caches;
// each side's median processor time and wall clock are kept.
template <typename Kivo, typename Bare> Row Race(const QString& work, int runs, Kivo&& kivo, Bare&& bare)
{
    std::vector<double> kivoMs, bareMs, kivoWall, bareWall;
    kivo();
    bare();
    QElapsedTimer clock;
    for (int run = 0; run < runs; ++run) {
        clock.start();
        kivoMs.push_back(CpuMs(kivo));
        kivoWall.push_back(clock.nsecsElapsed() / 1e6);
        clock.start();
        bareMs.push_back(CpuMs(bare));
        bareWall.push_back(clock.nsecsElapsed() / 1e6);
    }
    return { work, Median(kivoMs), Median(bareMs), QStringLiteral("ms"), Median(kivoWall), Median(bareWall) };
}

void Print(const std::vector<Row>& rows)
{
    std::printf("\n%-44s %12s %12s %8s %12s %12s %8s\n", "work", "Kivo cpu", "bare cpu", "ratio", "Kivo wall",
        "bare wall", "ratio");
    for (const Row& row : rows) {
        if (row.bare > 0)
            std::printf("%-44s %9.2f %-2s %9.2f %-2s %7.2fx", qPrintable(row.work), row.kivo,
                qPrintable(row.unit), row.bare, qPrintable(row.unit), row.kivo / row.bare);
        else
            std::printf(
                "%-44s %9.2f %-2s %12s %8s", qPrintable(row.work), row.kivo, qPrintable(row.unit), "-", "-");
        if (row.bareWall > 0)
            std::printf(" %9.2f ms %9.2f ms %7.2fx", row.kivoWall, row.bareWall, row.kivoWall / row.bareWall);
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int products = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("Doc"));
    std::vector<Row> table;

    try {
        YesMessages messages;
        ProgramContext context(messages);
        context.SetLocations(InitLocations(folder.path()));
        Connection& connection = context.connection;
        connection.Open(context.locations.DatabaseFile(), DatabasePassword(), Connection::OpenMode::Create);
        Schema::Create(connection);
        SeedDefaults(connection, QDate(2026, 3, 5));
        QElapsedTimer clock;
        clock.start();
        Generate(connection, products);
        std::printf("%d products generated with bare prepared inserts in %.0f ms\n", products,
            clock.nsecsElapsed() / 1e6);
        connection.Close();
        connection.Open(context.locations.DatabaseFile(), DatabasePassword());
        sqlite3* db = connection.Handle();
        long long sink = 0;

        // The screen first, on a freshly opened file, as a cashier meets it.
        const long rssBefore = StatusKb("VmRSS:");
        NullHost host;
        RecordEngine engine(context, host);
        std::unique_ptr<RecordScreen> screen = ProductScreen();
        clock.restart();
        const double firstOpen = CpuMs([&] { engine.OpenRecordScreen(*screen); });
        const double firstOpenWall = clock.nsecsElapsed() / 1e6;
        const long rssAfter = StatusKb("VmRSS:");
        std::vector<double> opens;
        for (int run = 0; run < runs; ++run) {
            engine.CloseRecordScreen(*screen);
            screen = ProductScreen();
            opens.push_back(CpuMs([&] { engine.OpenRecordScreen(*screen); }));
        }
        std::printf(
            "product screen shows record %s at %s\n", qPrintable(screen->Text(0)), qPrintable(host.position));
        // What the screen needs from the engine: the count, the last row, its record.
        auto bareOpen = [&] {
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(db, "SELECT count(*) FROM ktProduct", -1, &s, nullptr);
            sqlite3_step(s);
            sink += sqlite3_column_int64(s, 0);
            sqlite3_finalize(s);
            sqlite3_prepare_v2(
                db, "SELECT * FROM ktProduct WHERE EId = (SELECT max(EId) FROM ktProduct)", -1, &s, nullptr);
            sqlite3_step(s);
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                sink += sqlite3_column_bytes(s, c);
            sqlite3_finalize(s);
        };
        table.push_back({ QStringLiteral("product screen open, first"), firstOpen, 0 });
        table.push_back({ QStringLiteral("product screen open, first (wall clock)"), firstOpenWall, 0 });
        table.push_back({ QStringLiteral("product screen open, median"), Median(opens), Median([&] {
                             std::vector<double> ms;
                             for (int run = 0; run < runs; ++run)
                                 ms.push_back(CpuMs(bareOpen));
                             return ms;
                         }()) });

        // Find by id through the screen's list, from the first row as the Find command does.
        Recordset& list = *screen->list;
        for (const int id : { products - 10, products / 2, 10 }) {
            auto kivo = [&] {
                list.MoveFirst();
                if (!list.Find(QStringLiteral("EId=%1").arg(id)))
                    std::abort();
                sink += list.AbsolutePosition();
            };
            auto bare = [&] {
                sqlite3_stmt* s = nullptr;
                sqlite3_prepare_v2(db, "SELECT EId, EDate FROM ktProduct WHERE EId = ?", -1, &s, nullptr);
                sqlite3_bind_int64(s, 1, id);
                sqlite3_step(s);
                sink += sqlite3_column_int64(s, 0);
                sqlite3_finalize(s);
            };
            table.push_back(
                Race(QStringLiteral("Find EId=%1 (with its position)").arg(id), runs, kivo, bare));
        }
        engine.CloseRecordScreen(*screen);
        table.push_back({ QStringLiteral("RSS added by the first open"), (rssAfter - rssBefore) / 1024.0, 0,
            QStringLiteral("MB") });

        // Reading a browse list to its end, every value through Value().
        if (qEnvironmentVariableIsSet("BENCH_INSERT_ONLY")) {
            // For a profiler: the recordset's inserts alone.
            Transaction transaction(connection);
            Recordset rs(connection);
            rs.Open(QStringLiteral("ktProduct"));
            for (int i = 0; i < 200000; ++i) {
                rs.AddNew();
                rs.SetValue(1, QDate(2026, 3, 5));
                rs.SetValue(2, QStringLiteral("N%1").arg(i));
                rs.SetValue(3, QStringLiteral("New product"));
                rs.SetValue(QStringLiteral("PSaleRate"), 12.5);
                rs.SetValue(QStringLiteral("POpenQty"), 4);
                rs.Update();
            }
            transaction.Commit();
            return 0;
        }
        auto readBareSql = [&](const char* sql) {
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
            while (sqlite3_step(s) == SQLITE_ROW) {
                sink += sqlite3_column_int64(s, 0);
                const unsigned char* text = sqlite3_column_text(s, 1);
                sink += sqlite3_column_bytes(s, 1) + (text ? text[0] : 0);
            }
            sqlite3_finalize(s);
        };
        auto readBare = [&] { readBareSql("SELECT EId, EDate FROM ktProduct"); };
        auto readAll = [&](const QString& statement) {
            Recordset rs(connection);
            rs.Open(statement);
            for (; !rs.Eof(); rs.MoveNext()) {
                sink += rs.Value(0).toLongLong();
                sink += rs.Value(1).toDate().toJulianDay();
            }
        };
        {
            table.push_back(Race(
                QStringLiteral("read all, Select EId, EDate (windowed)"), runs,
                [&] { readAll(QStringLiteral("Select EId, EDate From ktProduct")); }, readBare));
        }
        {
            table.push_back(Race(
                QStringLiteral("read all, same Where EId>0 (snapshot)"), runs,
                [&] { readAll(QStringLiteral("Select EId, EDate From ktProduct Where EId>0")); },
                [&] { readBareSql("SELECT EId, EDate FROM ktProduct WHERE EId>0"); }));
        }

        // Find by code in a snapshot of the table (a select with a condition), from its first row.
        {
            Recordset snapshot(connection);
            snapshot.Open(QStringLiteral("Select EId, PCode From ktProduct Where EId > 0"));
            for (const int code : { products - 10, products / 2 }) {
                const QString criterion = QStringLiteral("PCode='P%1'").arg(code);
                auto kivo = [&] {
                    snapshot.MoveFirst();
                    if (!snapshot.Find(criterion))
                        std::abort();
                    sink += snapshot.AbsolutePosition();
                };
                auto bare = [&] {
                    sqlite3_stmt* s = nullptr;
                    const QByteArray text = "P" + QByteArray::number(code);
                    sqlite3_prepare_v2(db, "SELECT EId FROM ktProduct WHERE PCode = ?", -1, &s, nullptr);
                    sqlite3_bind_text(s, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
                    sqlite3_step(s);
                    sink += sqlite3_column_int64(s, 0);
                    sqlite3_finalize(s);
                };
                table.push_back(
                    Race(QStringLiteral("snapshot Find PCode='P%1'").arg(code), runs, kivo, bare));
            }
        }

        // 10,000 look-ups by product code.
        std::vector<int> codes;
        QRandomGenerator random(42);
        for (int i = 0; i < 10000; ++i)
            codes.push_back(1 + int(random.bounded(products)));
        // The bare look-up: one prepared statement, bind/step/reset per code.
        auto bareLookUps = [&](const char* sql) {
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
            for (int code : codes) {
                const QByteArray text = "P" + QByteArray::number(code);
                sqlite3_bind_text(s, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
                if (sqlite3_step(s) == SQLITE_ROW)
                    sink += sqlite3_column_int64(s, 0);
                sqlite3_reset(s);
            }
            sqlite3_finalize(s);
        };
        auto lookBare = [&] { bareLookUps("SELECT * FROM ktProduct WHERE PCode = ?"); };
        auto lookRecordset = [&] {
            Recordset rs(connection);
            for (int code : codes) {
                rs.Open(QStringLiteral("Select * From ktProduct Where PCode='P%1'").arg(code));
                if (!rs.Eof())
                    sink += rs.Value(0).toLongLong();
            }
        };
        auto scalarBare = [&] { bareLookUps("SELECT EId FROM ktProduct WHERE PCode = ?"); };
        auto lookScalar = [&] {
            for (int code : codes)
                sink += connection
                            .Scalar(QStringLiteral("Select EId From ktProduct Where PCode='P%1'").arg(code))
                            .toLongLong();
        };
        if (qEnvironmentVariableIsSet("BENCH_READ_ONLY")) {
            // For a profiler: one piece of work alone, many times: "bare", "snapshot" or the
            // browse list read to the end, or "lookups" and "barelookups".
            const QByteArray way = qgetenv("BENCH_READ_ONLY");
            for (int i = 0; i < 20; ++i) {
                if (way == "bare")
                    readBare();
                else if (way == "snapshot")
                    readAll(QStringLiteral("Select EId, EDate From ktProduct Where EId>0"));
                else if (way == "lookups")
                    lookRecordset();
                else if (way == "barelookups")
                    lookBare();
                else
                    readAll(QStringLiteral("Select EId, EDate From ktProduct"));
            }
            return int(sink & 1);
        }
        {
            table.push_back(
                Race(QStringLiteral("10,000 look-ups by PCode, Recordset"), runs, lookRecordset, lookBare));
        }
        {
            table.push_back(
                Race(QStringLiteral("10,000 look-ups by PCode, Scalar"), runs, lookScalar, scalarBare));
        }

        // 50 new products in one transaction, committed.
        int serial = 0;
        auto insertBare = [&] {
            Transaction transaction(connection);
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(db,
                "INSERT INTO ktProduct (EDate, PCode, PName, PSaleRate, POpenQty) VALUES (?, ?, ?, ?, ?)", -1,
                &s, nullptr);
            for (int i = 0; i < 50; ++i) {
                const QByteArray code = "N" + QByteArray::number(++serial);
                sqlite3_bind_text(s, 1, "2026-03-05", 10, SQLITE_STATIC);
                sqlite3_bind_text(s, 2, code.constData(), int(code.size()), SQLITE_TRANSIENT);
                sqlite3_bind_text(s, 3, "New product", -1, SQLITE_STATIC);
                sqlite3_bind_double(s, 4, 12.5);
                sqlite3_bind_int64(s, 5, 4);
                Check(db, sqlite3_step(s), SQLITE_DONE);
                sqlite3_reset(s);
            }
            sqlite3_finalize(s);
            transaction.Commit();
        };
        // The screen's list is open before the user saves; the inserts go through it.
        Recordset rs(connection);
        rs.Open(QStringLiteral("Select EId, EDate, PCode, PName, PSaleRate, POpenQty From ktProduct"));
        auto insertRecordset = [&] {
            Transaction transaction(connection);
            for (int i = 0; i < 50; ++i) {
                rs.AddNew();
                rs.SetValue(1, QDate(2026, 3, 5));
                rs.SetValue(2, QStringLiteral("N%1").arg(++serial));
                rs.SetValue(3, QStringLiteral("New product"));
                rs.SetValue(QStringLiteral("PSaleRate"), 12.5);
                rs.SetValue(QStringLiteral("POpenQty"), 4);
                rs.Update();
            }
            transaction.Commit();
        };
        {
            table.push_back(
                Race(QStringLiteral("50-row insert in one transaction"), runs, insertRecordset, insertBare));
        }

        std::printf("%d products, medians of %d alternating runs (processor time and wall clock), "
                    "same encrypted file and connection",
            products, runs);
        Print(table);
        std::printf(
            "\npeak RSS of the process: %.1f MB  (checksum %lld)\n", StatusKb("VmHWM:") / 1024.0, sink);
    } catch (const DbError& e) {
        std::fprintf(stderr, "bench_data: %s\n", e.what());
        return 1;
    }
    return 0;
}
