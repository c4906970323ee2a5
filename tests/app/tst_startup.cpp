#include "LoginState.h"
#include "StartupSequence.h"
#include "TestContext.h"

#include <QFile>
#include <QTest>

using namespace kivo;
using kivo::test::TempDatabase;
using kivo::test::TestContext;

namespace {

// Records the order of the windows and logs in (or cancels) through the real check.
class ScriptedWindows : public StartupWindows {
public:
    ScriptedWindows(ProgramContext& context, QString login, QString password)
        : m_context(context)
        , m_login(std::move(login))
        , m_password(std::move(password))
    {
    }
    void RunMaintenance() override
    {
        calls << (m_context.connection.IsOpen() ? QStringLiteral("maintenance:open")
                                                : QStringLiteral("maintenance:closed"));
    }
    bool RunLogin() override
    {
        calls << QStringLiteral("login");
        if (m_login.isEmpty())
            return false;
        LoginState state(m_context);
        state.txtField[0] = m_login;
        state.txtField[1] = m_password;
        state.Ok();
        return state.result == LoginState::Result::LoggedIn;
    }
    void SetupMainWindow() override { calls << QStringLiteral("setup:") + m_context.login.LoginName; }
    void ShowMainWindow() override { calls << QStringLiteral("show"); }
    void SetIdleCommandState() override { calls << QStringLiteral("idle"); }

    QStringList calls;

private:
    ProgramContext& m_context;
    QString m_login;
    QString m_password;
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    // The trailing separator is dropped once; the database and the error log keep their fixed names.
    void locations()
    {
        const Locations l = InitLocations(QStringLiteral("/shops/F/"));
        QCOMPARE(l.AppFolder, QStringLiteral("/shops/F"));
        QCOMPARE(l.DatabaseFile(), QStringLiteral("/shops/F/Kivo.Kvd"));
        QCOMPARE(l.ErrorLogFile, QStringLiteral("/shops/F/Doc/Kivo.Err"));
    }

    void appFolderArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("folder");
        QTest::newRow("none") << QStringList { QStringLiteral("kivo") } << "/opt/kivo";
        QTest::newRow("separate value")
            << QStringList { QStringLiteral("kivo"), QStringLiteral("--app-folder"), QStringLiteral("/shop") }
            << "/shop";
        QTest::newRow("joined value")
            << QStringList { QStringLiteral("kivo"), QStringLiteral("--app-folder=/s2") } << "/s2";
        QTest::newRow("flag without value")
            << QStringList { QStringLiteral("kivo"), QStringLiteral("--app-folder") } << "/opt/kivo";
    }

    void appFolderArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, folder);
        QCOMPARE(AppFolderFromArguments(arguments, QStringLiteral("/opt/kivo")), folder);
    }

    void fullSequenceInOrder()
    {
        TestContext t;
        t.context.connection.Close();
        ScriptedWindows windows(t.context, QStringLiteral("chief"), QStringLiteral("KIVO"));
        QVERIFY(RunStartup(t.context, windows));
        QCOMPARE(windows.calls,
            (QStringList { QStringLiteral("maintenance:closed"), QStringLiteral("login"),
                QStringLiteral("setup:chief"), QStringLiteral("show"), QStringLiteral("idle") }));
        QVERIFY(t.context.connection.IsOpen());
        QVERIFY(t.messages.shown.isEmpty());
    }

    void cancelledLoginEndsBeforeTheMainWindow()
    {
        TestContext t;
        t.context.connection.Close();
        ScriptedWindows windows(t.context, QString(), QString());
        QVERIFY(!RunStartup(t.context, windows));
        QCOMPARE(
            windows.calls, (QStringList { QStringLiteral("maintenance:closed"), QStringLiteral("login") }));
        QVERIFY(t.messages.shown.isEmpty());
    }

    // A database that cannot be opened is reported at each step that needs it; the login
    // screen still comes up and nothing crashes.
    void unopenableDatabase_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: the file is removed
        QTest::addColumn<QString>("logged");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("was not found");
        QTest::newRow("damaged") << QByteArray(4096, 'x') << QStringLiteral("damaged");
        QTest::newRow("plain unencrypted file")
            << QByteArray("SQLite format 3").append(4081, '\0') << QStringLiteral("damaged");
    }

    void unopenableDatabase()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, logged);
        TestContext t;
        t.context.connection.Close();
        t.database.connection().Close();
        const QString path = t.context.locations.DatabaseFile();
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        QVERIFY(QFile::remove(path));
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        // The user tries once, is refused, and leaves.
        ScriptedWindows windows(t.context, QStringLiteral("Chief"), QStringLiteral("kivo"));
        QVERIFY(!RunStartup(t.context, windows));
        QCOMPARE(
            windows.calls, (QStringList { QStringLiteral("maintenance:closed"), QStringLiteral("login") }));
        QVERIFY(!t.context.connection.IsOpen());
        const QStringList log = t.ErrorLogLines();
        // The failed open is reported once; the steps that need the database are skipped.
        QCOMPARE(log.size(), 1);
        QVERIFY2(log[0].contains(logged), qPrintable(log[0]));
        QCOMPARE(t.messages.shown.count(QStringLiteral("ErroR!")), log.size());
        QVERIFY(t.messages.shown.contains(QStringLiteral("Invalid Login/Password !")));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
