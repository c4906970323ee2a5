// The real program, started as a user starts it on a new data folder and driven from outside
// through what the user sees: window titles, control names, menu captions and keys. A screen
// driver that Qt loads into the unchanged program as a plugin runs the script; at each
// checkpoint the program waits while this test reads the database with kivo-admin.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Bounds for a broken run, never pacing: every wait ends as soon as its event comes.
constexpr int RunLimitMs = 120000;
constexpr int ToolLimitMs = 60000;

// kivo-admin's output for one command, or a text that says how it failed, so that a
// comparison against it shows the failure.
QString Admin(const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess admin;
    admin.start(QStringLiteral(KIVO_ADMIN), arguments);
    if (!admin.waitForFinished(ToolLimitMs))
        return QStringLiteral("kivo-admin did not finish");
    if (exitCode)
        *exitCode = admin.exitCode();
    else if (admin.exitCode() != 0)
        return QStringLiteral("kivo-admin failed: ") + QString::fromUtf8(admin.readAllStandardError());
    return QString::fromUtf8(admin.readAllStandardOutput()).trimmed();
}

// One run of the program on a data folder with the screen driver reading `script`.
class ProgramRun {
public:
    ProgramRun(const QString& dataFolder, const QString& workFolder, const QString& script)
        : m_workFolder(workFolder)
    {
        const QString scriptFile = QDir(workFolder).filePath(QStringLiteral("script.txt"));
        QFile file(scriptFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Text))
            file.write(script.toUtf8());
        file.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(KIVO_DRIVER_PLUGINS));
        environment.insert(
            QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("kivoscreendriver:") + scriptFile);
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(KIVO_PROGRAM), { QStringLiteral("--app-folder"), dataFolder });
    }

    ~ProgramRun()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // Reads the driver's report up to `checkpoint NAME`; false when the program ended, the
    // driver gave up or the run went over its bound.
    bool ReachCheckpoint(const QString& name)
    {
        return ReadUntil(QStringLiteral("driver: checkpoint ") + name);
    }

    void Continue(const QString& name)
    {
        QFile go(QDir(m_workFolder).filePath(name + QStringLiteral(".go")));
        go.open(QIODevice::WriteOnly);
    }

    // Waits for the script's end and the program's; its exit code, or -1.
    int Finish()
    {
        if (!ReadUntil(QStringLiteral("driver: done")))
            return -1;
        if (!m_process.waitForFinished(int(m_deadline.remainingTime()))) {
            PrintTranscript();
            return -1;
        }
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    // Prints what the driver reported and what the program wrote to its error output, whole:
    // a failure message would cut it short.
    void PrintTranscript()
    {
        m_lines << QString::fromUtf8(m_process.readAllStandardOutput());
        qInfo().noquote() << m_lines.join(u'\n');
        qInfo().noquote() << "error output:" << QString::fromUtf8(m_process.readAllStandardError());
    }

private:
    bool ReadUntil(const QString& wanted)
    {
        if (!Read(wanted)) {
            PrintTranscript();
            return false;
        }
        return true;
    }

    bool Read(const QString& wanted)
    {
        for (;;) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
                m_lines << line;
                if (line == wanted)
                    return true;
            }
            if (m_process.state() == QProcess::NotRunning || m_deadline.hasExpired())
                return false;
            m_process.waitForReadyRead(int(m_deadline.remainingTime()));
        }
    }

    QString m_workFolder;
    QProcess m_process;
    QStringList m_lines;
    QDeadlineTimer m_deadline { RunLimitMs };
};

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void couponAddedSavedAndDeleted()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        const QString data = QDir(work.path()).filePath(QStringLiteral("data"));
        int initExit = -1;
        Admin({ QStringLiteral("init"), data }, &initExit);
        QCOMPARE(initExit, 0);
        // A query's rows, without the line of column names that kivo-admin prints first.
        auto sql = [&](const QString& statement) {
            return Admin({ QStringLiteral("sql"), data, statement }).section(u'\n', 1);
        };
        const QString countCoupons = QStringLiteral("Select Count(*) From ktCoupon");
        const QString countSpring
            = QStringLiteral("Select Count(*) From ktCoupon Where CReference='SPRING10'");

        // The coupon register: a register whose records can be added and deleted from the
        // window (the master registers keep Delete off while browsing).
        ProgramRun run(data, work.path(), QStringLiteral(R"(
window Login
focus txtField(0)
type Chief
key Return
focus txtField(1)
type kivo
key Return
window Kivo - Sales Software
checkpoint loggedin

menu Transaction/Coupon
window Coupon
key Ctrl+A
message Confirm Add ?
answer Yes
focus txtField(2)
type SPRING10
key Tab
focus txtField(3)
type Spring sale
key Tab
focus txtField(4)
type Ten off any bill
key Tab
focus txtField(5)
type Ends on Sunday
key Tab
focus txtField(6)
type One per customer
key Tab
focus txtField(7)
type 31 May
key Tab
focus txtField(8)
type Spring
checkpoint typed

key Ctrl+S
field txtField(2)=SPRING10
checkpoint saved

key Ctrl+D
window Access Code...
type KIVO
key Return
message Confirm Delete ?
answer Yes
checkpoint deleted

menu Operation/Exit
closed Coupon
menu Transaction/Quit
)"));

        QVERIFY(run.ReachCheckpoint(QStringLiteral("loggedin")));
        const QString couponsBefore = sql(countCoupons);
        QCOMPARE(sql(countSpring), QStringLiteral("0"));
        run.Continue(QStringLiteral("loggedin"));

        // Typing alone writes nothing: the record reaches the database on Save.
        QVERIFY(run.ReachCheckpoint(QStringLiteral("typed")));
        QCOMPARE(sql(countCoupons), couponsBefore);
        run.Continue(QStringLiteral("typed"));

        QVERIFY(run.ReachCheckpoint(QStringLiteral("saved")));
        QCOMPARE(sql(QStringLiteral("Select CHead, CLine1, CValid, CRemarks From ktCoupon "
                                    "Where CReference='SPRING10'")),
            QStringLiteral("Spring sale\tTen off any bill\t31 May\tSpring"));
        QCOMPARE(sql(countCoupons).toInt(), couponsBefore.toInt() + 1);
        run.Continue(QStringLiteral("saved"));

        QVERIFY(run.ReachCheckpoint(QStringLiteral("deleted")));
        QCOMPARE(sql(countSpring), QStringLiteral("0"));
        QCOMPARE(sql(countCoupons), couponsBefore);
        run.Continue(QStringLiteral("deleted"));

        QCOMPARE(run.Finish(), 0);
        // Nothing went wrong along the way that the program only logged.
        QFile errorLog(QDir(data).filePath(QStringLiteral("Doc/Kivo.Err")));
        if (errorLog.open(QIODevice::ReadOnly))
            QFAIL(errorLog.readAll().constData());
        int checkExit = -1;
        Admin({ QStringLiteral("check"), data }, &checkExit);
        QCOMPARE(checkExit, 0);
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
