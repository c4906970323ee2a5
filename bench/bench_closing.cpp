// The period closing and the start-up maintenance on a large shop. The data folder is made by
// kivo-admin init and generate in another process (a million products and about a million bill
// lines by default), then copied, so that Kivo and the bare engine each close the same period:
//   - CloseStockPeriod (the product roll and every deletion in one transaction, one durable
//     commit) beside the bare engine running the same UPDATE and DELETEs in one transaction
//     with the same two settings (no secure deletion, no column rules re-checked), timed step
//     by step; then the plain statements without those settings, once, untimed, and every
//     table of the three closed files compared row by row;
//   - the day's first start (verify, compaction into the .Cpt file with the key, the rename, the
//     whole archive copy) beside the bare engine's sqlcipher_export and a plain file copy;
//   - a later start of the same day (verify and load only).
// Wall-clock times: the work is dominated by reading, encrypting and writing the file.
//
// Usage: bench_closing [PRODUCTS [BILLS]]   (default 1000000 and 380000)
#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "PeriodClosing.h"
#include "SqlFunctions.h"
#include "StartupMaintenance.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <vector>

using namespace kivo;

namespace {

bool RunAdmin(const QStringList& arguments)
{
    QProcess admin;
    admin.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    admin.start(
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/tools/kivo-admin"), arguments);
    return admin.waitForFinished(-1) && admin.exitStatus() == QProcess::NormalExit && admin.exitCode() == 0;
}

void Exec(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "engine: %s\n", message ? message : "?");
        std::exit(1);
    }
}

sqlite3* OpenBare(const QString& file)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(
        QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const QByteArray key = DatabasePassword().toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    Exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA cache_size=-32768;");
    // The schema's text columns name the program's collation.
    RegisterSqlFunctions(db);
    return db;
}

// Every table's rows, in row order, as one digest: two closed files with the same digest hold
// the same data, whatever their free pages.
QByteArray Digest(sqlite3* db)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    sqlite3_stmt* tables = nullptr;
    sqlite3_prepare_v2(
        db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1, &tables, nullptr);
    while (sqlite3_step(tables) == SQLITE_ROW) {
        const QByteArray table = reinterpret_cast<const char*>(sqlite3_column_text(tables, 0));
        hash.addData(table);
        sqlite3_stmt* rows = nullptr;
        const QByteArray select = QByteArray("SELECT * FROM \"") + table + QByteArray("\" ORDER BY rowid");
        sqlite3_prepare_v2(db, select.constData(), -1, &rows, nullptr);
        while (sqlite3_step(rows) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(rows); ++i) {
                const char type = char('0' + sqlite3_column_type(rows, i));
                hash.addData(QByteArrayView(&type, 1));
                hash.addData(QByteArrayView(reinterpret_cast<const char*>(sqlite3_column_text(rows, i)),
                    sqlite3_column_bytes(rows, i)));
            }
        sqlite3_finalize(rows);
    }
    sqlite3_finalize(tables);
    return hash.result().toHex().left(16);
}

// The closing as the bare engine runs it; `settings` are run before the transaction. Returns
// the seconds of each step: the roll, the billing, the other deletions, the commit, the close.
std::vector<double> BareClosing(const QString& file, const char* settings)
{
    sqlite3* db = OpenBare(file);
    std::vector<double> steps;
    QElapsedTimer step;
    step.start();
    const auto run = [&](const char* sql) {
        Exec(db, sql);
        steps.push_back(double(step.nsecsElapsed()) / 1e9);
        step.restart();
    };
    Exec(db, settings);
    Exec(db, "PRAGMA wal_autocheckpoint = 0; BEGIN IMMEDIATE;");
    step.restart();
    run("UPDATE ktProduct SET POpenQty = PCloseQty, PPurchQty = 0, PSaleQty = 0, PTranDate = '2026-12-06';");
    run("DELETE FROM ktBillMast; DELETE FROM ktBillDetl;");
    run("DELETE FROM ktQuotMast; DELETE FROM ktQuotDetl; DELETE FROM ktPurcMast; DELETE FROM ktPurcDetl; "
        "DELETE FROM ktOrdrMast; DELETE FROM ktOrdrDetl; DELETE FROM ktAccounting;");
    run("COMMIT;");
    sqlite3_close_v2(db);
    steps.push_back(double(step.nsecsElapsed()) / 1e9);
    return steps;
}

QByteArray FileDigest(const QString& file)
{
    sqlite3* db = OpenBare(file);
    const QByteArray digest = Digest(db);
    sqlite3_close_v2(db);
    return digest;
}

double Seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

class Quiet : public MaintenanceProgress {
public:
    void ShowStep(const QString&) override { }
    void AddDot() override { }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int products = arguments.size() >= 2 ? arguments.at(1).toInt() : 1000000;
    const int bills = arguments.size() >= 3 ? arguments.at(2).toInt() : 380000;
    if (products < 1 || bills < 1) {
        std::fprintf(stderr, "Usage: bench_closing [PRODUCTS [BILLS]]\n");
        return 2;
    }
    QTemporaryDir work;
    const QString folder = work.filePath(QStringLiteral("data"));
    QElapsedTimer generating;
    generating.start();
    if (!RunAdmin({ QStringLiteral("init"), folder })
        || !RunAdmin({ QStringLiteral("generate"), folder, QStringLiteral("--products"),
            QString::number(products), QStringLiteral("--customers"), QStringLiteral("1000"),
            QStringLiteral("--bills"), QString::number(bills) })) {
        std::fprintf(stderr, "bench_closing: kivo-admin could not make the data folder\n");
        return 1;
    }
    const Locations locations = InitLocations(folder);
    const QString database = locations.DatabaseFile();
    const QString bareFile = work.filePath(QStringLiteral("bare.Kvd"));
    try {
        qint64 lines = 0;
        {
            Connection c;
            c.Open(database, DatabasePassword());
            lines = c.Scalar(QStringLiteral("Select Count(*) From ktBillDetl")).toLongLong();
        }
        std::printf("%d products, %lld bill lines, %.1f MB: made by kivo-admin in %.1f s\n", products, lines,
            double(QFileInfo(database).size()) / 1e6, Seconds(generating));

        // The day's first start, then the bare engine's export and copy of the same file.
        const QDate today(2026, 12, 6);
        QElapsedTimer timer;
        timer.start();
        StartupMaintenance first(locations, today, DatabasePassword());
        Quiet quiet;
        if (!first.Run(quiet)) {
            std::fprintf(stderr, "bench_closing: maintenance failed: %s\n", qPrintable(first.failure));
            return 1;
        }
        const double maintenance = Seconds(timer);
        QFile::remove(bareFile);
        timer.restart();
        {
            sqlite3* db = OpenBare(database);
            const QString attach
                = QStringLiteral("ATTACH DATABASE '%1' AS bare KEY '%2'; SELECT sqlcipher_export('bare');")
                      .arg(bareFile, DatabasePassword());
            Exec(db, attach.toUtf8().constData());
            sqlite3_close_v2(db);
        }
        QFile::copy(bareFile, work.filePath(QStringLiteral("bare-copy.Kvd")));
        const double bareMaintenance = Seconds(timer);
        std::printf(
            "first start of the day (verify, compact, rename, archive): %.2f s; bare export + copy %.2f s; "
            "ratio %.2f (target < 5 s at 200 MB)\n",
            maintenance, bareMaintenance, maintenance / bareMaintenance);

        timer.restart();
        StartupMaintenance later(locations, today, DatabasePassword());
        later.Run(quiet);
        std::printf("later start of the day (verify, load): %.2f ms\n", Seconds(timer) * 1e3);

        // The closing, on copies of the same compacted file, bare and Kivo alternating (twice
        // each) so that a busy moment of the machine does not fall on one side only.
        const char* fastSettings = "PRAGMA secure_delete = OFF; PRAGMA ignore_check_constraints = ON;";
        const QString kivoFile = work.filePath(QStringLiteral("closing-kivo.Kvd"));
        const QString bareClosed = work.filePath(QStringLiteral("closing-bare.Kvd"));
        std::vector<double> kivoRuns;
        std::vector<double> bareRuns;
        std::vector<double> kivoCpu;
        std::vector<double> bareCpu;
        std::vector<double> bareSteps(5, 1e9);
        for (int round = 0; round < 2; ++round) {
            for (const bool kivo : { round == 0, round != 0 }) {
                const QString copy = kivo ? kivoFile : bareClosed;
                QFile::remove(copy);
                QFile::copy(database, copy);
                timer.restart();
                const std::clock_t cpu = std::clock();
                if (kivo) {
                    Connection c;
                    c.Open(copy, DatabasePassword());
                    c.ExecuteRaw(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
                    CloseStockPeriod(c, today, [](const QString&) {});
                } else {
                    const std::vector<double> steps = BareClosing(copy, fastSettings);
                    for (size_t i = 0; i < steps.size(); ++i)
                        bareSteps[i] = std::min(bareSteps[i], steps[i]);
                }
                (kivo ? kivoRuns : bareRuns).push_back(Seconds(timer));
                (kivo ? kivoCpu : bareCpu).push_back(double(std::clock() - cpu) / CLOCKS_PER_SEC);
            }
        }
        const double closing = std::min(kivoRuns[0], kivoRuns[1]);
        const double bare = std::min(bareRuns[0], bareRuns[1]);
        std::printf(
            "period closing (roll and deletions, one transaction, connection closed): %.2f s (runs %.2f, "
            "%.2f); bare %.2f s (runs %.2f, %.2f); ratio %.2f (target < 10 s)\n",
            closing, kivoRuns[0], kivoRuns[1], bare, bareRuns[0], bareRuns[1], closing / bare);
        const double closingCpu = std::min(kivoCpu[0], kivoCpu[1]);
        const double bareCpuBest = std::min(bareCpu[0], bareCpu[1]);
        std::printf("  processor time (best of two): %.2f s; bare %.2f s; ratio %.2f\n", closingCpu,
            bareCpuBest, closingCpu / bareCpuBest);
        std::printf("  bare steps (best of two): roll %.2f s, billing %.2f s, other documents %.2f s, commit "
                    "%.2f s, close %.2f s\n",
            bareSteps[0], bareSteps[1], bareSteps[2], bareSteps[3], bareSteps[4]);

        // The plain statements with the engine's own settings, once: every table of the three
        // closed files must hold the same rows.
        const QString plainFile = work.filePath(QStringLiteral("closing-plain.Kvd"));
        QFile::copy(database, plainFile);
        timer.restart();
        const std::vector<double> plain = BareClosing(plainFile, "SELECT 1;");
        const double plainSeconds = Seconds(timer);
        const QByteArray kivoDigest = FileDigest(kivoFile);
        const QByteArray bareDigest = FileDigest(bareClosed);
        const QByteArray plainDigest = FileDigest(plainFile);
        std::printf(
            "  plain statements (secure deletion, rules checked): %.2f s (roll %.2f s, billing %.2f s); "
            "closed data %s: Kivo %s, bare %s, plain %s\n",
            plainSeconds, plain[0], plain[1],
            kivoDigest == bareDigest && bareDigest == plainDigest ? "identical" : "DIFFERENT",
            kivoDigest.constData(), bareDigest.constData(), plainDigest.constData());
        if (kivoDigest != plainDigest || bareDigest != plainDigest)
            return 1;
    } catch (const DbError& e) {
        std::fprintf(stderr, "bench_closing: %s\n", e.what());
        return 1;
    }
    return 0;
}
