// Document lines at shop scale: a product found by code and added as a line (AddProductLine)
// beside the bare engine's prepared look-up by PCode; opening the product selection (its state,
// and its window shown); saving, re-saving and deleting a 50-line purchase with its stock
// through the document lines beside the bare engine's same writes in one transaction.
//
// Usage: bench_lines [PRODUCTS [LOOKUPS]]   default 1,000,000 products and 5,000 look-ups
// The data folder is made by kivo-admin init and generate in a temporary folder.
#include "BenchScreen.h"
#include "BenchShop.h"
#include "BenchTiming.h"
#include "DatabasePassword.h"
#include "DocumentLines.h"
#include "GroupSavings.h"
#include "KvPSelect.h"
#include "LineGrid.h"
#include "ProductLine.h"
#include "ProductLookup.h"
#include "ProductSelectState.h"
#include "ProgramContext.h"
#include "RecordScreen.h"
#include "ScreenCatalogue.h"
#include "Settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

using namespace kivo;
using namespace kivo::bench;

namespace {

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

bool RunAdmin(const QStringList& arguments)
{
    QProcess admin;
    admin.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    admin.start(
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/tools/kivo-admin"), arguments);
    return admin.waitForFinished(-1) && admin.exitStatus() == QProcess::NormalExit && admin.exitCode() == 0;
}

// Random existing product codes, read before any timing.
QStringList SampleCodes(sqlite3* db, int count, qint64 products)
{
    QStringList codes;
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db, "SELECT PCode FROM ktProduct WHERE EId=?", -1, &read, nullptr);
    while (codes.size() < count) {
        sqlite3_bind_int64(read, 1, 1 + qint64(QRandomGenerator::global()->bounded(quint64(products))));
        if (sqlite3_step(read) == SQLITE_ROW)
            codes << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(read, 0)));
        sqlite3_reset(read);
    }
    sqlite3_finalize(read);
    return codes;
}

// The bare engine: a purchase's lines written and posted, or taken back and deleted, in one
// transaction with one commit.
void BarePurchase(sqlite3* db, qint64 id, const QStringList& codes, bool write)
{
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* find = nullptr;
    sqlite3_stmt* move = nullptr;
    sqlite3_prepare_v2(db, "SELECT Min(EId) FROM ktProduct WHERE PCode=?", -1, &find, nullptr);
    sqlite3_prepare_v2(db,
        "UPDATE ktProduct SET PPurchQty=IfNull(PPurchQty,0)+?1, PCloseQty=IfNull(PCloseQty,0)+?1, "
        "PTranDate='2026-12-06' WHERE EId=?2",
        -1, &move, nullptr);
    auto post = [&](const QByteArray& code, int units) {
        sqlite3_bind_text(find, 1, code.constData(), int(code.size()), SQLITE_STATIC);
        sqlite3_step(find);
        const sqlite3_int64 product = sqlite3_column_int64(find, 0);
        sqlite3_reset(find);
        sqlite3_bind_int(move, 1, units);
        sqlite3_bind_int64(move, 2, product);
        sqlite3_step(move);
        sqlite3_reset(move);
    };
    if (write) {
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
            "INSERT INTO ktPurcDetl VALUES (?, '2026-12-06', 'x', ?, 'Bench line', 2, 1.5, 3, 0, 3, 'T')", -1,
            &insert, nullptr);
        for (const QString& code : codes) {
            const QByteArray text = code.toUtf8();
            sqlite3_bind_int64(insert, 1, id);
            sqlite3_bind_text(insert, 2, text.constData(), int(text.size()), SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
            post(text, 2);
        }
        sqlite3_finalize(insert);
    } else {
        sqlite3_stmt* lines = nullptr;
        sqlite3_prepare_v2(db, "SELECT PPId, PQty FROM ktPurcDetl WHERE EId=?", -1, &lines, nullptr);
        sqlite3_bind_int64(lines, 1, id);
        while (sqlite3_step(lines) == SQLITE_ROW)
            post(QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(lines, 0))),
                -int(sqlite3_column_double(lines, 1)));
        sqlite3_finalize(lines);
        sqlite3_stmt* remove = nullptr;
        sqlite3_prepare_v2(db, "DELETE FROM ktPurcDetl WHERE EId=?", -1, &remove, nullptr);
        sqlite3_bind_int64(remove, 1, id);
        sqlite3_step(remove);
        sqlite3_finalize(remove);
    }
    sqlite3_finalize(find);
    sqlite3_finalize(move);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

qint64 NewPurchase(Connection& connection)
{
    connection.Execute(QStringLiteral("Insert Into ktPurcMast (EDate, PUId, PReceipt, PSId) Values "
                                      "(#12/6/2026#, 1, 'Bench', 1)"));
    return connection.LastInsertId();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int products = argc > 1 ? std::max(100, std::atoi(argv[1])) : 1000000;
    const int lookups = argc > 2 ? std::max(10, std::atoi(argv[2])) : 5000;

    QTemporaryDir folder;
    QElapsedTimer clock;
    clock.start();
    const QString data = folder.path() + QStringLiteral("/shop");
    if (!RunAdmin({ QStringLiteral("init"), data })
        || !RunAdmin({ QStringLiteral("generate"), data, QStringLiteral("--products"),
            QString::number(products), QStringLiteral("--customers"), QStringLiteral("10"),
            QStringLiteral("--bills"), QStringLiteral("10") })) {
        std::fprintf(stderr, "kivo-admin failed\n");
        return 1;
    }
    std::printf("data folder with %d products in %.0f ms\n", products, clock.nsecsElapsed() / 1e6);

    YesMessages messages;
    ProgramContext context(messages);
    context.SetLocations(InitLocations(data));
    context.connection.Open(context.locations.DatabaseFile(), DatabasePassword());
    LoadCustomize(context);
    LoadPreferences(context);
    Connection& connection = context.connection;
    sqlite3* db = connection.Handle();
    const qint64 total = connection.Scalar(QStringLiteral("Select Max(EId) From ktProduct")).toLongLong();

    // 1. Look-up by code and a new line, against the bare prepared look-up.
    const QStringList codes = SampleCodes(db, 2 * lookups, total);
    GroupSavings groups;
    groups.Load(connection);
    const ProductLineRules rules = ProductLineRules::FromPreferences(
        QStringLiteral("N"), context.preferences.PGrpSave, context.preferences.PAmtRoun);
    LineGrid grid;
    std::vector<double> kivo;
    std::vector<double> bare;
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(db,
        "SELECT PName, PCode, PGId, PPurchRate, PSaleRate, PCloseQty, PTax FROM ktProduct WHERE PCode=?", -1,
        &find, nullptr);
    for (int i = 0; i < lookups; ++i) {
        if (i % 50 == 0)
            grid.Setup();
        {
            const QString& code = codes.at(2 * i);
            const auto start = std::chrono::steady_clock::now();
            const std::optional<ProductRecord> product = ProductLookup(connection).ByCode(code);
            if (product)
                AddProductLine(grid, *product, 1, product->PSaleRate, 1, rules, groups);
            kivo.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        {
            const QByteArray code = codes.at(2 * i + 1).toUtf8();
            const auto start = std::chrono::steady_clock::now();
            sqlite3_bind_text(find, 1, code.constData(), int(code.size()), SQLITE_STATIC);
            if (sqlite3_step(find) == SQLITE_ROW)
                (void)sqlite3_column_text(find, 0);
            sqlite3_reset(find);
            bare.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
    }
    sqlite3_finalize(find);
    std::printf("look-up + AddProductLine   p50 %7.3f ms  p99 %7.3f ms   (%d)\n", Percentile(kivo, 0.5),
        Percentile(kivo, 0.99), lookups);
    std::printf("bare look-up by PCode      p50 %7.3f ms  p99 %7.3f ms   ratio p50 %.2f\n",
        Percentile(bare, 0.5), Percentile(bare, 0.99),
        Percentile(kivo, 0.5) / std::max(1e-6, Percentile(bare, 0.5)));

    // 2. Opening the product selection.
    const std::vector<double> openState = TimeRuns(11, [&] {
        ProductSelectState state(context, grid, 1, true);
        state.Open();
    });
    const std::vector<double> openWindow = TimeRuns(11, [&] {
        KvPSelect dialog(context, grid, 1, true);
        dialog.show();
        (void)QTest::qWaitForWindowExposed(&dialog);
        dialog.repaint();
    });
    std::printf(
        "KvPSelect open: state      median %7.3f ms  max %7.3f ms\n", Median(openState), Maximum(openState));
    std::printf("KvPSelect open: window     median %7.3f ms  max %7.3f ms\n", Median(openWindow),
        Maximum(openWindow));

    // 3. A 50-line purchase saved, saved again and deleted, against the bare engine.
    std::unique_ptr<RecordScreen> screen = BuildRecordScreen(QStringLiteral("KvPurchase"));
    DocumentLines& lines = *screen->lines;
    std::vector<double> save, resave, remove, bareSave, bareRemove;
    for (int run = 0; run < 11; ++run) {
        const QStringList mine = SampleCodes(db, 50, total);
        const QStringList theirs = SampleCodes(db, 50, total);
        const qint64 id = NewPurchase(connection);
        const qint64 bareId = NewPurchase(connection);
        lines.Setup(context, *screen);
        for (const QString& code : mine) {
            const std::optional<ProductRecord> product = ProductLookup(connection).ByCode(code);
            AddProductLine(lines.Grid(), *product, 2, product->PPurchRate, 2, rules, groups);
        }
        auto unit = [&](auto&& work) {
            return CpuMs([&] {
                Transaction transaction(connection);
                work();
                transaction.Commit();
            });
        };
        const QString text = QString::number(id);
        if (run % 2) {
            bareSave.push_back(CpuMs([&] { BarePurchase(db, bareId, theirs, true); }));
            save.push_back(unit([&] { lines.Save(context, *screen, text); }));
        } else {
            save.push_back(unit([&] { lines.Save(context, *screen, text); }));
            bareSave.push_back(CpuMs([&] { BarePurchase(db, bareId, theirs, true); }));
        }
        resave.push_back(unit([&] { lines.Save(context, *screen, text); }));
        remove.push_back(unit([&] { lines.Delete(context, *screen, text); }));
        bareRemove.push_back(CpuMs([&] { BarePurchase(db, bareId, theirs, false); }));
    }
    std::printf("50-line purchase save      median %7.3f ms   bare %7.3f ms   ratio %.2f\n", Median(save),
        Median(bareSave), Median(save) / std::max(1e-6, Median(bareSave)));
    std::printf("50-line purchase re-save   median %7.3f ms   (take back + write)\n", Median(resave));
    std::printf("50-line purchase delete    median %7.3f ms   bare %7.3f ms   ratio %.2f\n", Median(remove),
        Median(bareRemove), Median(remove) / std::max(1e-6, Median(bareRemove)));
    const qint64 broken
        = connection
              .Scalar(QStringLiteral("Select Count(*) From ktProduct Where IfNull(PCloseQty,0) <> "
                                     "IfNull(POpenQty,0) + IfNull(PPurchQty,0) - IfNull(PSaleQty,0)"))
              .toLongLong();
    std::printf("products off the stock formula afterwards: %lld\n", broken);
    return 0;
}
