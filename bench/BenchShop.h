#pragma once

// A temporary shop for the data tools' benchmarks: schema, first rows and N products
// written with bare prepared inserts in one transaction.

#include "Connection.h"
#include "DatabasePassword.h"
#include "ProgramContext.h"
#include "Schema.h"
#include "SeedData.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace kivo::bench {

inline void CheckEngine(sqlite3* db, int rc, int wanted)
{
    if (rc != wanted) {
        std::fprintf(stderr, "engine: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Products P1..PN written with one prepared insert inside the caller's transaction: a group,
// rates and stock that differ from row to row.
inline void InsertProducts(Connection& connection, int products)
{
    sqlite3* db = connection.Handle();
    sqlite3_stmt* insert = nullptr;
    CheckEngine(db,
        sqlite3_prepare_v2(db,
            "INSERT INTO ktProduct (EDate, PCode, PName, PGId, PUom, PPurchRate, PSaleRate, POpenQty, "
            "PPurchQty, PSaleQty, PCloseQty, POrderQty, PTax, PTranDate, PSpecific, PLocation, PActive, "
            "PRemarks) VALUES (?, ?, ?, 1, 'Pcs', ?, ?, 10, 5, 3, 12, 2, 'T', '2026-02-01', ?, ?, 'Y', "
            "'Bench row')",
            -1, &insert, nullptr),
        SQLITE_OK);
    const QDate first(2016, 1, 1);
    for (int i = 1; i <= products; ++i) {
        const QByteArray date = first.addDays(i % 3650).toString(Qt::ISODate).toUtf8();
        const QByteArray code = "P" + QByteArray::number(i);
        const QByteArray name = "Product " + QByteArray::number(i);
        const QByteArray size = "Size " + QByteArray::number(i % 7);
        const QByteArray aisle = "Aisle " + QByteArray::number(i % 20);
        sqlite3_bind_text(insert, 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, code.constData(), int(code.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(insert, 4, 1.5 + i % 100);
        sqlite3_bind_double(insert, 5, 2.25 + i % 100);
        sqlite3_bind_text(insert, 6, size.constData(), int(size.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 7, aisle.constData(), int(aisle.size()), SQLITE_TRANSIENT);
        CheckEngine(db, sqlite3_step(insert), SQLITE_DONE);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
}

inline void MakeShop(ProgramContext& context, const QString& folder, int products)
{
    QDir(folder).mkpath(QStringLiteral("Doc"));
    QDir(folder).mkpath(QStringLiteral("Arc"));
    context.SetLocations(InitLocations(folder));
    Connection& connection = context.connection;
    connection.Open(context.locations.DatabaseFile(), DatabasePassword(), Connection::OpenMode::Create);
    Schema::Create(connection);
    SeedDefaults(connection, QDate(2026, 3, 5));
    Transaction transaction(connection);
    InsertProducts(connection, products);
    transaction.Commit();
}

// Milliseconds of processor time this thread spent on one call of `work`.
template <typename Work> double CpuMs(Work&& work)
{
    timespec start {};
    timespec end {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    work();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    return double(end.tv_sec - start.tv_sec) * 1e3 + double(end.tv_nsec - start.tv_nsec) / 1e6;
}

inline long StatusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    return 0;
}

} // namespace kivo::bench
