// Checkouts killed at random instants. A child process (this executable with
// --checkout-child FOLDER SEED) rings up bills on the counter's state and checks them out, one
// after another, reporting each scan and each completed bill on its standard output; the test
// kills it with SIGKILL after a number of reports drawn from a fixed seed, wherever it then is.
// Afterwards every bill must be whole (all its lines, all its stock) or absent, every bill the
// child saw completed must be there, and kivo-admin check must find nothing wrong.
#include <QTest>

#include "BillingState.h"
#include "Connection.h"
#include "DatabasePassword.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "ProgramRun.h"
#include "Settings.h"
#include "ShopRows.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

constexpr int Products = 40;

// The child's cashier says yes to every question.
class YesMessages : public Messages {
public:
    void Notice(const QString&) override { }
    bool Ask(const QString&) override { return true; }
};

void Say(const QByteArray& line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Bills of 1 to 30 lines, codes drawn from the seed, until the process is killed.
int RunChild(const QString& folder, quint32 seed)
{
    YesMessages messages;
    ProgramContext context(messages);
    context.SetLocations(InitLocations(folder));
    context.connection.Open(context.locations.DatabaseFile(), DatabasePassword());
    context.login.UserId = u"1"_s;
    LoadPreferences(context); // the new shop's
    QRandomGenerator random(seed);
    for (;;) {
        BillingState bill(context, QDateTime::currentDateTime());
        const int lines = random.bounded(1, 31);
        for (int i = 0; i < lines; ++i) {
            bill.SetText(BillingState::ProductCode, u"K%1"_s.arg(random.bounded(1, Products + 1)));
            bill.EnterProductCode();
            Say("scan");
        }
        bill.SetText(BillingState::CustomerId, u"1"_s);
        bill.PayButton(0);
        if (bill.Checkout({}) != BillingState::CheckoutResult::Completed)
            return 2;
        Say("bill " + bill.Text(BillingState::BillId).toLatin1());
    }
}

} // namespace

class TestCheckoutCrash : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_folder;

    QString Sql(Connection& c, const QString& statement) { return c.Scalar(statement).toString(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        m_folder = m_work.filePath(u"data"_s);
        QCOMPARE(test::Admin({ u"init"_s, m_folder }).exitCode, 0);
        Connection c;
        c.Open(m_folder + u"/Kivo.Kvd"_s, DatabasePassword());
        for (int i = 1; i <= Products; ++i)
            test::AddProduct(c, { .code = u"K%1"_s.arg(i), .saleRate = 0.25 * i, .stock = 1000 });
    }

    void killedAtRandom_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : { 11u, 23u, 37u, 41u, 59u, 67u, 71u, 83u, 97u, 101u })
            QTest::newRow(qPrintable(u"seed %1"_s.arg(seed))) << seed;
    }

    void killedAtRandom()
    {
        QFETCH(quint32, seed);
        const int reports = QRandomGenerator(seed).bounded(5, 120);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            { u"--checkout-child"_s, m_folder, QString::number(seed) });
        QVERIFY(child.waitForStarted());
        QStringList completed;
        int heard = 0;
        while (heard < reports) {
            if (!child.canReadLine() && !child.waitForReadyRead(60000))
                QFAIL(qPrintable(u"the child stopped: "_s + QString::fromUtf8(child.readAllStandardError())));
            while (heard < reports && child.canReadLine()) {
                const QString line = QString::fromLatin1(child.readLine()).trimmed();
                ++heard;
                if (line.startsWith(u"bill "_s))
                    completed << line.mid(5);
            }
        }
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(60000));
        // Lines the child wrote before it died but the test had not read yet.
        for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
            if (line.startsWith("bill "))
                completed << QString::fromLatin1(line.mid(5));

        Connection c;
        c.Open(m_folder + u"/Kivo.Kvd"_s, DatabasePassword());
        // Every bill is one unit: as many lines as items, the row's columns with it, no line
        // without its bill, and the stock sold as the lines say.
        QCOMPARE(
            Sql(c,
                u"Select (Select Count(*) From ktBillMast m Where BItems <> (Select Count(*) From ktBillDetl "
                u"d "
                "Where d.EId = m.EId) Or BNett Is Null Or BReceipt Is Null) || ' ' || (Select Count(*) From "
                "ktBillDetl Where EId Not In (Select EId From ktBillMast)) || ' ' || ((Select Sum(PSaleQty) "
                "From ktProduct) - (Select Count(*) From ktBillDetl))"_s),
            u"0 0 0"_s);
        for (const QString& id : completed)
            QCOMPARE(Sql(c, u"Select Count(*) From ktBillMast Where EId="_s + id), u"1"_s);
        c.Close();
        const test::Outcome check = test::Admin({ u"check"_s, m_folder });
        QCOMPARE(check.exitCode, 0);
        QVERIFY2(check.out.startsWith(u"integrity: ok\nstock: ok"_s), qPrintable(check.out));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--checkout-child") == 0)
        return RunChild(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toUInt());
    TestCheckoutCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_checkoutcrash.moc"
