// Opening a recordset on a large table against reading the same rows with the bare engine:
// the recordset's snapshot (values turned into cells, column types, the rowid kept for
// writing back) should cost at most about twice the engine's own stepping.
//
// Usage: bench_recordset [ROWS] [RUNS]   (defaults 100000 rows, 9 runs)
#include "BenchTiming.h"
#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "Recordset.h"
#include "Schema.h"

#include <cstdio>
#include <cstdlib>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <sqlite3.h>

using namespace kivo;

namespace {

const char* const Statement = "Select EId, EDate From ktProduct";

// Products with only an entry date; the dates spread over ten years as in a long-lived shop.
void FillProducts(Connection& connection, int rows)
{
    Transaction transaction(connection);
    StatementHandle insert = connection.Prepare(QStringLiteral("INSERT INTO ktProduct (EDate) VALUES (?)"));
    const QDate first(2016, 1, 1);
    for (int i = 0; i < rows; ++i) {
        const QByteArray date = first.addDays(i % 3650).toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(insert.get(), 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(insert.get()) != SQLITE_DONE)
            connection.ThrowEngineError(sqlite3_errcode(connection.Handle()), Connection::ErrorSource());
        sqlite3_reset(insert.get());
    }
    transaction.Commit();
}

// The engine alone: prepare, step and read both columns of every row.
long long StepBare(sqlite3* db)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT EId, EDate FROM ktProduct", -1, &statement, nullptr) != SQLITE_OK)
        std::abort();
    long long sum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        sum += sqlite3_column_int64(statement, 0);
        const unsigned char* text = sqlite3_column_text(statement, 1);
        sum += sqlite3_column_bytes(statement, 1) + (text ? text[0] : 0);
    }
    sqlite3_finalize(statement);
    return sum;
}

} // namespace

int main(int argc, char** argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath(QStringLiteral("Kivo.Kvd"));

    try {
        Connection connection;
        connection.Open(file, DatabasePassword(), Connection::OpenMode::Create);
        Schema::Create(connection);
        FillProducts(connection, rows);

        long long sink = 0;
        const auto bare = bench::TimeRuns(runs, [&] { sink += StepBare(connection.Handle()); });
        const auto recordset = bench::TimeRuns(runs, [&] {
            Recordset rs(connection);
            rs.Open(QString::fromLatin1(Statement));
            sink += rs.RecordCount();
        });

        const double bareMs = bench::Median(bare);
        const double recordsetMs = bench::Median(recordset);
        std::printf("%s: %d rows, median of %d runs (same file, same connection)\n", Statement, rows, runs);
        std::printf("  bare engine (prepare/step/column): %8.2f ms  (min %.2f, max %.2f)\n", bareMs,
            bench::Minimum(bare), bench::Maximum(bare));
        std::printf("  Recordset::Open:                    %8.2f ms  (min %.2f, max %.2f)\n", recordsetMs,
            bench::Minimum(recordset), bench::Maximum(recordset));
        std::printf("  ratio recordset / bare:             %8.2f x  (target <= 2 x)\n", recordsetMs / bareMs);
        std::printf("  (checksum %lld)\n", sink);
    } catch (const DbError& e) {
        std::fprintf(stderr, "bench_recordset: %s\n", e.what());
        return 1;
    }
    return 0;
}
