// The counter at shop scale: a scan to its line and totals, opening the billing screen, and the
// checkout of a 50-line bill against the bare engine doing the same writes in one transaction
// on the same connection; then the process's peak memory, which must not grow with the
// product count.
//
// Usage: bench_counter                 runs itself at 100,000 and at 1,000,000 products
//        bench_counter PRODUCTS [SCANS] one size (default 2000 scans)
// The data folder is made by kivo-admin init and generate in a temporary folder, in another
// process, so the peak memory shown is the counter's own.
#include "BenchScreen.h"
#include "BenchTiming.h"
#include "BillingState.h"
#include "Connection.h"
#include "DatabasePassword.h"
#include "KvBilling.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "Settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace kivo;
using namespace kivo::bench;

namespace {

// The cashier says yes; "Checkout Completed !" after each bill is expected and not printed.
class QuietMessages : public Messages {
public:
    void Notice(const QString&) override { }
    bool Ask(const QString&) override { return true; }
};

long StatusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    return 0;
}

// The calling thread's processor time in milliseconds: what other programs on a busy machine
// do not move.
double ThreadMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

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

// The bare engine's checkout: the bill row, its columns, and per line the detail row, the
// product found by code and its stock moved, in one transaction with one commit.
void BareCheckout(sqlite3* db, const QStringList& codes)
{
    const auto run = [&](const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); };
    sqlite3_stmt* insertBill = nullptr;
    sqlite3_stmt* updateBill = nullptr;
    sqlite3_stmt* insertLine = nullptr;
    sqlite3_stmt* findProduct = nullptr;
    sqlite3_stmt* moveStock = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO ktBillMast (EDate) VALUES ('2026-12-06')", -1, &insertBill, nullptr);
    sqlite3_prepare_v2(db,
        "UPDATE ktBillMast SET BUId=1, BReceipt=?, BCId=1, BDisPer=0, BItems=50, BGross=100.5, BDiscount=0, "
        "BTotal=100.5, BTax1=0, BTax2=0, BNett=100.5, BCash=100.5, BCredit=0, BOther=0, BMisc=0, BReturn=0, "
        "BOType='OTHER', BMType='MISC', BRemarks='-' WHERE EId=?",
        -1, &updateBill, nullptr);
    sqlite3_prepare_v2(db,
        "INSERT INTO ktBillDetl VALUES (?, '2026-12-06', 'x', ?, 'Product', 1, 2.01, 2.01, 0, 2.01, 'T')", -1,
        &insertLine, nullptr);
    sqlite3_prepare_v2(db, "SELECT Min(EId) FROM ktProduct WHERE PCode=?", -1, &findProduct, nullptr);
    sqlite3_prepare_v2(db,
        "UPDATE ktProduct SET PSaleQty=IfNull(PSaleQty,0)+1, PCloseQty=IfNull(PCloseQty,0)-1, "
        "PTranDate='2026-12-06' WHERE EId=?",
        -1, &moveStock, nullptr);
    run("BEGIN");
    sqlite3_step(insertBill);
    sqlite3_reset(insertBill);
    const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
    sqlite3_bind_text(updateBill, 1, "2612-062100-000001", -1, SQLITE_STATIC);
    sqlite3_bind_int64(updateBill, 2, id);
    sqlite3_step(updateBill);
    for (const QString& code : codes) {
        const QByteArray text = code.toUtf8();
        sqlite3_bind_int64(insertLine, 1, id);
        sqlite3_bind_text(insertLine, 2, text.constData(), int(text.size()), SQLITE_STATIC);
        sqlite3_step(insertLine);
        sqlite3_reset(insertLine);
        sqlite3_bind_text(findProduct, 1, text.constData(), int(text.size()), SQLITE_STATIC);
        sqlite3_step(findProduct);
        const sqlite3_int64 product = sqlite3_column_int64(findProduct, 0);
        sqlite3_reset(findProduct);
        sqlite3_bind_int64(moveStock, 1, product);
        sqlite3_step(moveStock);
        sqlite3_reset(moveStock);
    }
    run("COMMIT");
    for (sqlite3_stmt* statement : { insertBill, updateBill, insertLine, findProduct, moveStock })
        sqlite3_finalize(statement);
}

// The bare engine's look-up of one product by code, prepared once.
double BareLookUp(sqlite3* db, const QStringList& codes, std::vector<double>& times, std::vector<double>& cpu)
{
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(db,
        "SELECT PName, PCode, PGId, PPurchRate, PSaleRate, PCloseQty, PTax FROM ktProduct WHERE PCode=? "
        "ORDER BY EId LIMIT 1",
        -1, &find, nullptr);
    double sum = 0;
    for (const QString& code : codes) {
        const QByteArray text = code.toUtf8();
        QElapsedTimer clock;
        clock.start();
        const double start = ThreadMs();
        sqlite3_bind_text(find, 1, text.constData(), int(text.size()), SQLITE_STATIC);
        if (sqlite3_step(find) == SQLITE_ROW)
            sum += sqlite3_column_double(find, 4);
        sqlite3_reset(find);
        cpu.push_back(ThreadMs() - start);
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    sqlite3_finalize(find);
    return sum;
}

int RunOneSize(int products, int scans)
{
    QTemporaryDir work;
    // BENCH_DATA_FOLDER: a data folder made before (and changed by the run), for profiling.
    const QString given = qEnvironmentVariable("BENCH_DATA_FOLDER");
    const QString folder = given.isEmpty() ? work.filePath(QStringLiteral("data")) : given;
    QElapsedTimer generating;
    generating.start();
    if (given.isEmpty()
        && (!RunAdmin({ QStringLiteral("init"), folder })
            || !RunAdmin({ QStringLiteral("generate"), folder, QStringLiteral("--products"),
                QString::number(products), QStringLiteral("--customers"), QStringLiteral("1000") }))) {
        std::fprintf(stderr, "bench_counter: kivo-admin could not make the data folder\n");
        return 1;
    }
    std::printf(
        "%d products: data folder made by kivo-admin in %.1f s\n", products, generating.elapsed() / 1000.0);

    QuietMessages messages;
    ProgramContext context(messages);
    context.SetLocations(InitLocations(folder));
    context.connection.Open(context.locations.DatabaseFile(), DatabasePassword());
    LoadPreferences(context);
    context.preferences.PStkChek = QStringLiteral("N"); // a long run sells more than the stock
    context.login.UserId = QStringLiteral("1");
    context.login.LoginName = QStringLiteral("bench");
    NullHost host;
    RecordEngine engine(context, host);
    const long rssBefore = StatusKb("VmRSS:");

    // Codes of products spread over the whole table, read before any timing.
    QStringList codes, otherCodes;
    QRandomGenerator random(2026);
    for (QStringList* list : { &codes, &otherCodes })
        for (int i = 0; i < scans; ++i)
            *list << context.connection
                         .Scalar(QStringLiteral("Select PCode From ktProduct Where EId=?"),
                             { qint64(random.bounded(products) + 1) })
                         .toString();

    // Opening the billing screen: the state alone, and the window with it.
    const std::vector<double> openState
        = TimeRuns(21, [&] { BillingState bill(context, QDateTime::currentDateTime()); });
    const std::vector<double> openWindow = TimeRuns(11, [&] {
        KvBilling window(context, engine);
        window.resize(1280, 720);
        window.show();
        QCoreApplication::processEvents();
    });

    // A scan to its line and totals in the engine (a new bill every 50 lines), and the bare
    // engine's look-up of as many other products: neither finds the other's pages warm.
    std::vector<double> scanTimes, scanCpu, bareTimes, bareCpu;
    double sink = 0;
    {
        std::unique_ptr<BillingState> bill;
        for (int i = 0; i < scans; ++i) {
            if (i % 50 == 0)
                bill = std::make_unique<BillingState>(context, QDateTime::currentDateTime());
            bill->SetText(BillingState::ProductCode, codes[i]);
            QElapsedTimer clock;
            clock.start();
            const double start = ThreadMs();
            bill->EnterProductCode();
            scanCpu.push_back(ThreadMs() - start);
            scanTimes.push_back(clock.nsecsElapsed() / 1e6);
            sink += BareLookUp(context.connection.Handle(), { otherCodes[i] }, bareTimes, bareCpu);
        }
    }

    // A scan typed into the window and ended with Enter, until what it changed has painted.
    std::vector<double> screenTimes, screenCpu;
    {
        KvBilling window(context, engine);
        window.resize(1280, 720);
        window.show();
        QCoreApplication::processEvents();
        auto* box = static_cast<QLineEdit*>(window.Element(QStringLiteral("txtField(98)")));
        for (int i = 0; i < 200; ++i) {
            QElapsedTimer clock;
            clock.start();
            const double start = ThreadMs();
            QTest::keyClicks(box, codes[i]);
            QTest::keyClick(box, Qt::Key_Return);
            // What changed is painted as the event loop paints it.
            QCoreApplication::processEvents();
            screenCpu.push_back(ThreadMs() - start);
            screenTimes.push_back(clock.nsecsElapsed() / 1e6);
        }
    }

    // Checkout of a 50-line bill, and the bare engine's same writes for 50 other products;
    // which of the two goes first alternates, so neither finds the other's pages warm.
    std::vector<double> checkoutTimes, bareCheckoutTimes, checkoutCpu, bareCheckoutCpu;
    const int checkouts = std::min<int>(15, int(codes.size() / 100));
    for (int run = 0; run < checkouts; ++run) {
        const QStringList lineCodes = codes.mid(run * 100, 50);
        const QStringList bareCodes = codes.mid(run * 100 + 50, 50);
        BillingState bill(context, QDateTime::currentDateTime());
        for (const QString& code : lineCodes) {
            bill.SetText(BillingState::ProductCode, code);
            bill.EnterProductCode();
        }
        bill.SetText(BillingState::CustomerId, QStringLiteral("1"));
        bill.PayButton(0);
        const auto kivo = [&] {
            QElapsedTimer clock;
            clock.start();
            const double start = ThreadMs();
            bill.Checkout([&](const BillingState& b) { return KvBilling::ValidateBill(engine, b); });
            checkoutCpu.push_back(ThreadMs() - start);
            checkoutTimes.push_back(clock.nsecsElapsed() / 1e6);
        };
        const auto bare = [&] {
            QElapsedTimer clock;
            clock.start();
            const double start = ThreadMs();
            BareCheckout(context.connection.Handle(), bareCodes);
            bareCheckoutCpu.push_back(ThreadMs() - start);
            bareCheckoutTimes.push_back(clock.nsecsElapsed() / 1e6);
        };
        if (run % 2) {
            bare();
            kivo();
        } else {
            kivo();
            bare();
        }
    }

    const double checkout = Median(checkoutTimes), bare = Median(bareCheckoutTimes);
    std::printf("  open billing screen, state only      median %7.2f ms\n", Median(openState));
    std::printf(
        "  open billing screen, window shown    median %7.2f ms   (target < 100 ms)\n", Median(openWindow));
    std::printf("  scan -> line + totals, engine        p50 %6.3f ms  p99 %6.3f ms  (processor p99 %6.3f ms)"
                "   (target p99 <= 2 ms)\n",
        Percentile(scanTimes, 0.5), Percentile(scanTimes, 0.99), Percentile(scanCpu, 0.99));
    std::printf(
        "  bare prepared look-up by PCode       p50 %6.3f ms  p99 %6.3f ms  (processor p99 %6.3f ms)\n",
        Percentile(bareTimes, 0.5), Percentile(bareTimes, 0.99), Percentile(bareCpu, 0.99));
    std::printf("  scan typed into the window, painted  p50 %6.2f ms  p99 %6.2f ms  (processor p99 %6.2f ms)"
                "   (target < 30 ms)\n",
        Percentile(screenTimes, 0.5), Percentile(screenTimes, 0.99), Percentile(screenCpu, 0.99));
    const double checkoutProcessor = Median(checkoutCpu), bareProcessor = Median(bareCheckoutCpu);
    std::printf("  checkout of 50 lines with stock      median %7.2f ms wall %7.2f ms processor\n", checkout,
        checkoutProcessor);
    std::printf("  bare engine, same writes, one txn    median %7.2f ms wall %7.2f ms processor\n", bare,
        bareProcessor);
    std::printf("  checkout ratio to bare               %.2fx wall, %.2fx processor   (target <= 1.5x)\n",
        bare > 0 ? checkout / bare : 0.0, bareProcessor > 0 ? checkoutProcessor / bareProcessor : 0.0);
    std::printf("  memory: RSS grew %.1f MB over the counter's work; peak RSS %.1f MB  (checksum %.0f)\n",
        (StatusKb("VmRSS:") - rssBefore) / 1024.0, StatusKb("VmHWM:") / 1024.0, sink);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 2) {
        const int products = arguments.at(1).toInt();
        const int scans = arguments.size() >= 3 ? arguments.at(2).toInt() : 2000;
        if (products < 1 || scans < 50) {
            std::fprintf(stderr, "Usage: bench_counter [PRODUCTS [SCANS]]\n");
            return 2;
        }
        return RunOneSize(products, scans);
    }
    // Each size in a process of its own, so that each peak is its own.
    for (const char* products : { "100000", "1000000" }) {
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedChannels);
        one.start(QCoreApplication::applicationFilePath(), { QString::fromLatin1(products) });
        if (!one.waitForFinished(-1) || one.exitCode() != 0)
            return 1;
    }
    return 0;
}
