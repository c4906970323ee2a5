// Opening the database with its key: what the program pays at start and what every
// kivo-admin command pays, with the check of the file's layout version. Most of it is the key derivation,
// which is there on purpose (it makes guessing the password slow); the rest is reading the schema and setting
// up.
//
// Usage: bench_open [RUNS]   (default 21 runs)
#include "BenchTiming.h"
#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "Schema.h"
#include "SeedData.h"

#include <cstdio>
#include <cstdlib>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <sqlite3.h>

using namespace kivo;

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 21;
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath(QStringLiteral("Kivo.Kvd"));
    const QString key = DatabasePassword();

    try {
        {
            Connection connection;
            connection.Open(file, key, Connection::OpenMode::Create);
            Schema::Create(connection);
            SeedDefaults(connection, QDate(2026, 3, 5));
            SeedDemo(connection, QDate(2026, 3, 5));
        }

        const auto open = bench::TimeRuns(runs, [&] {
            Connection connection;
            connection.Open(file, key);
        });
        // The program and kivo-admin check the file's layout version after opening it.
        const auto upgrade = bench::TimeRuns(runs, [&] {
            Connection connection;
            connection.Open(file, key);
            Schema::Upgrade(connection);
        });

        // The engine's share: open, key and the first read, with nothing of the program's.
        const QByteArray path = file.toUtf8();
        const QByteArray keyBytes = key.toUtf8();
        const auto engine = bench::TimeRuns(runs, [&] {
            sqlite3* db = nullptr;
            sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
            sqlite3_key(db, keyBytes.constData(), int(keyBytes.size()));
            sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
            sqlite3_close_v2(db);
        });

        std::printf("open the demo database with its key, median of %d runs\n", runs);
        std::printf("  Connection::Open:                 %7.2f ms  (min %.2f, max %.2f; target < 50 ms)\n",
            bench::Median(open), bench::Minimum(open), bench::Maximum(open));
        std::printf("  of which engine open + key + read: %7.2f ms\n", bench::Median(engine));
        std::printf("  open and Schema::Upgrade (up to date): %7.2f ms\n", bench::Median(upgrade));
    } catch (const DbError& e) {
        std::fprintf(stderr, "bench_open: %s\n", e.what());
        return 1;
    }
    return 0;
}
