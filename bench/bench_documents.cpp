// The document screens at shop scale: opening the bill, quote, purchase and order screens
// (window shown, newest document and its lines), and billing a 50-line quote through its panel
// against the bare engine doing the same writes in one transaction on the same connection.
//
// Usage: bench_documents [PRODUCTS [BILLS]]   default 1,000,000 products and 380,000 bills
//        (about a million bill lines)
// The data folder is made by kivo-admin init and generate in a temporary folder, in another
// process.
#include "BenchScreen.h"
#include "BenchTiming.h"
#include "Connection.h"
#include "DatabasePassword.h"
#include "DocumentScreenView.h"
#include "ProgramContext.h"
#include "QuotePanel.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "ScreenCatalogue.h"
#include "Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

using namespace kivo;
using namespace kivo::bench;

namespace {

// The user says yes; "Quote Billed !" after each billing is expected and not printed.
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

bool RunAdmin(const QStringList& arguments)
{
    QProcess admin;
    admin.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    admin.start(
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/tools/kivo-admin"), arguments);
    return admin.waitForFinished(-1) && admin.exitStatus() == QProcess::NormalExit && admin.exitCode() == 0;
}

// A new open quote of 50 lines, one per code; the newest quote, so its screen opens on it.
qint64 AddQuote(Connection& connection, const QStringList& codes)
{
    Transaction unit(connection);
    connection.Execute(
        QStringLiteral("Insert Into ktQuotMast (EDate, QUId, QRef, QCId, QDisPer, QItems, QGross, QDiscount, "
                       "QTotal, QTax1, QTax2, QNett, QStatus, QRemarks) Values (?, 1, ?, 1, 0, 50, 100.5, 0, "
                       "100.5, 0, 0, 100.5, 'N', '-')"),
        { QDate(2026, 12, 6), QStringLiteral("BENCH-%1").arg(QRandomGenerator::global()->generate()) });
    const qint64 id = connection.LastInsertId();
    for (const QString& code : codes)
        connection.Execute(QStringLiteral("Insert Into ktQuotDetl Values (?, ?, 'x', ?, 'Product', 1, 2.01, "
                                          "2.01, 0, 2.01, 'T')"),
            { id, QDate(2026, 12, 6), code });
    unit.Commit();
    return id;
}

// The bare engine's billing of quote `quote`: what the panel writes, in one transaction with
// one commit. The quote saved as billed (its row, its old lines taken back with their products
// dated, its lines written again), the bill row, and per line the bill line and the product
// found by code with its stock moved; then the quote's status and remarks.
void BareBilling(sqlite3* db, qint64 quote, const QStringList& codes)
{
    const auto run = [&](const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); };
    sqlite3_stmt* s[9] = {};
    const char* sql[9] = {
        "UPDATE ktQuotMast SET QStatus='B' WHERE EId=?",
        "SELECT Min(EId) FROM ktProduct WHERE PCode=?",
        "UPDATE ktProduct SET PTranDate='2026-12-06' WHERE EId=?",
        "DELETE FROM ktQuotDetl WHERE EId=?",
        "INSERT INTO ktQuotDetl VALUES (?, '2026-12-06', 'x', ?, 'Product', 1, 2.01, 2.01, 0, 2.01, 'T')",
        "INSERT INTO ktBillMast (EDate, BUId, BReceipt, BCId, BDisPer, BItems, BGross, BDiscount, BTotal, "
        "BTax1, "
        "BTax2, BNett, BCash, BCredit, BOther, BMisc, BReturn, BOType, BMType, BRemarks) VALUES "
        "('2026-12-06', 1, "
        "'2612-06QTOB-000001', 1, 0, 50, 100.5, 0, 100.5, 0, 0, 100.5, 200, 0, 0, 0, 99.5, 'OTHER', 'MISC', "
        "'Bench')",
        "INSERT INTO ktBillDetl VALUES (?, '2026-12-06', 'x', ?, 'Product', 1, 2.01, 2.01, 0, 2.01, 'T')",
        "UPDATE ktProduct SET PSaleQty=IfNull(PSaleQty,0)+1, PCloseQty=IfNull(PCloseQty,0)-1, "
        "PTranDate='2026-12-06' WHERE EId=?",
        "UPDATE ktQuotMast SET QStatus='B', QRemarks=? WHERE EId=?",
    };
    for (int i = 0; i < 9; ++i)
        sqlite3_prepare_v2(db, sql[i], -1, &s[i], nullptr);
    const auto step = [](sqlite3_stmt* statement) {
        sqlite3_step(statement);
        sqlite3_reset(statement);
    };
    const auto product = [&](const QByteArray& code) {
        sqlite3_bind_text(s[1], 1, code.constData(), int(code.size()), SQLITE_STATIC);
        const sqlite3_int64 id = sqlite3_step(s[1]) == SQLITE_ROW ? sqlite3_column_int64(s[1], 0) : 0;
        sqlite3_reset(s[1]);
        return id;
    };
    run("BEGIN");
    sqlite3_bind_int64(s[0], 1, quote);
    step(s[0]);
    for (const QString& code : codes) {
        sqlite3_bind_int64(s[2], 1, product(code.toUtf8()));
        step(s[2]);
    }
    sqlite3_bind_int64(s[3], 1, quote);
    step(s[3]);
    for (const QString& code : codes) {
        const QByteArray text = code.toUtf8();
        sqlite3_bind_int64(s[4], 1, quote);
        sqlite3_bind_text(s[4], 2, text.constData(), int(text.size()), SQLITE_STATIC);
        step(s[4]);
    }
    step(s[5]);
    const sqlite3_int64 bill = sqlite3_last_insert_rowid(db);
    for (const QString& code : codes) {
        const QByteArray text = code.toUtf8();
        sqlite3_bind_int64(s[6], 1, bill);
        sqlite3_bind_text(s[6], 2, text.constData(), int(text.size()), SQLITE_STATIC);
        step(s[6]);
        sqlite3_bind_int64(s[7], 1, product(text));
        step(s[7]);
    }
    const QByteArray remarks = "BILL#" + QByteArray::number(bill) + ";Bench";
    sqlite3_bind_text(s[8], 1, remarks.constData(), int(remarks.size()), SQLITE_STATIC);
    sqlite3_bind_int64(s[8], 2, quote);
    step(s[8]);
    run("COMMIT");
    for (sqlite3_stmt* statement : s)
        sqlite3_finalize(statement);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int products = arguments.size() >= 2 ? arguments.at(1).toInt() : 1000000;
    const int bills = arguments.size() >= 3 ? arguments.at(2).toInt() : 380000;
    if (products < 1000 || bills < 1) {
        std::fprintf(stderr, "Usage: bench_documents [PRODUCTS [BILLS]]\n");
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
        std::fprintf(stderr, "bench_documents: kivo-admin could not make the data folder\n");
        return 1;
    }
    QuietMessages messages;
    ProgramContext context(messages);
    context.SetLocations(InitLocations(folder));
    context.connection.Open(context.locations.DatabaseFile(), DatabasePassword());
    LoadPreferences(context);
    LoadCustomize(context);
    context.login.UserId = QStringLiteral("1");
    const qint64 billLines
        = context.connection.Scalar(QStringLiteral("Select Count(*) From ktBillDetl")).toLongLong();
    std::printf("%d products, %lld bill lines: data folder made by kivo-admin in %.1f s\n", products,
        billLines, generating.elapsed() / 1000.0);
    NullHost host;
    RecordEngine engine(context, host);

    // Opening each document screen as the program does: the window built over the screen,
    // the newest document and its lines shown, the window painted.
    for (const char* name : { "KvBill", "KvQuote", "KvPurchase", "KvOrder" }) {
        const std::vector<double> times = TimeRuns(11, [&] {
            std::unique_ptr<RecordScreen> screen = BuildRecordScreen(QString::fromLatin1(name));
            DocumentScreenView view(context, engine, *screen);
            engine.OpenRecordScreen(*screen);
            view.resize(1280, 800);
            view.show();
            QCoreApplication::processEvents();
            engine.CloseRecordScreen(*screen);
        });
        std::printf("  open %-10s window shown   median %7.2f ms  max %7.2f ms   (target < 100 ms)\n", name,
            Median(times), Maximum(times));
    }

    // Billing a 50-line quote through its panel, and the bare engine's same writes for another
    // quote of 50 other products; which goes first alternates.
    QRandomGenerator random(2026);
    const auto someCodes = [&] {
        QStringList codes;
        for (int i = 0; i < 50; ++i)
            codes << context.connection
                         .Scalar(QStringLiteral("Select PCode From ktProduct Where EId=?"),
                             { qint64(random.bounded(products) + 1) })
                         .toString();
        return codes;
    };
    std::vector<double> billing, bare;
    for (int run = 0; run < 12; ++run) {
        const QStringList kivoCodes = someCodes(), bareCodes = someCodes();
        const qint64 bareQuote = AddQuote(context.connection, bareCodes);
        AddQuote(context.connection, kivoCodes);
        std::unique_ptr<RecordScreen> screen = BuildRecordScreen(QStringLiteral("KvQuote"));
        QuotePanel panel(context, engine, *screen);
        engine.OpenRecordScreen(*screen);
        panel.ToBill();
        screen->SetText(QuotePanel::CashField, QStringLiteral("200"));
        screen->SetText(QuotePanel::BillRemarksField, QStringLiteral("Bench"));
        const auto kivo = [&] {
            QElapsedTimer clock;
            clock.start();
            if (!panel.Bill())
                std::fprintf(stderr, "bench_documents: the quote was not billed\n");
            billing.push_back(clock.nsecsElapsed() / 1e6);
        };
        const auto bareRun = [&] {
            QElapsedTimer clock;
            clock.start();
            BareBilling(context.connection.Handle(), bareQuote, bareCodes);
            bare.push_back(clock.nsecsElapsed() / 1e6);
        };
        if (run % 2) {
            bareRun();
            kivo();
        } else {
            kivo();
            bareRun();
        }
        engine.CloseRecordScreen(*screen);
    }
    const double kivoMs = Median(billing), bareMs = Median(bare);
    std::printf("  bill a 50-line quote (panel)          median %7.2f ms\n", kivoMs);
    std::printf("  bare engine, same writes, one txn     median %7.2f ms   ratio %.2fx (target <= 1.5x)\n",
        bareMs, bareMs > 0 ? kivoMs / bareMs : 0.0);
    std::printf("  peak RSS %.1f MB\n", StatusKb("VmHWM:") / 1024.0);
    return 0;
}
