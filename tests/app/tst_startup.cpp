#include "LockFile.h"
#include "LoginState.h"
#include "StartupFiles.h"
#include "StartupMaintenance.h"
#include "StartupSequence.h"
#include "TestContext.h"

#include <QFile>
#include <QTest>

using namespace kivo;
using kivo::test::TempDatabase;
using kivo::test::TestContext;
using namespace Qt::StringLiterals;

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
    // The maintenance itself is tested on its own: here it only takes its place in the order.
    bool RunMaintenance(StartupMaintenance&) override
    {
        calls << (m_context.connection.IsOpen() ? u"maintenance:open"_s : u"maintenance:closed"_s);
        return true;
    }
    bool RunLogin() override
    {
        calls << u"login"_s;
        if (m_login.isEmpty())
            return false;
        LoginState state(m_context);
        state.txtField[0] = m_login;
        state.txtField[1] = m_password;
        state.Ok();
        return state.result == LoginState::Result::LoggedIn;
    }
    void SetupMainWindow() override { calls << u"setup:"_s + m_context.login.LoginName; }
    void ShowMainWindow() override { calls << u"show"_s; }
    void SetIdleCommandState() override { calls << u"idle"_s; }

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
        const Locations l = InitLocations(u"/shops/F/"_s);
        QCOMPARE(l.AppFolder, u"/shops/F"_s);
        QCOMPARE(l.DatabaseFile(), u"/shops/F/Kivo.Kvd"_s);
        QCOMPARE(l.ErrorLogFile, u"/shops/F/Doc/Kivo.Err"_s);
    }

    void appFolderArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("folder");
        QTest::newRow("none") << QStringList { u"kivo"_s } << "/opt/kivo";
        QTest::newRow("separate value")
            << QStringList { u"kivo"_s, u"--app-folder"_s, u"/shop"_s } << "/shop";
        QTest::newRow("joined value") << QStringList { u"kivo"_s, u"--app-folder=/s2"_s } << "/s2";
    }

    void appFolderArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, folder);
        QCOMPARE(AppFolderFromArguments(arguments, u"/opt/kivo"_s), folder);
    }

    void sequence_data()
    {
        QTest::addColumn<QString>("login"); // empty: the user cancels the login
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("logged in") << u"chief"_s
                                   << QStringList { u"maintenance:closed"_s, u"login"_s, u"setup:chief"_s,
                                          u"show"_s, u"idle"_s };
        QTest::newRow("login cancelled") << QString() << QStringList { u"maintenance:closed"_s, u"login"_s };
    }

    void sequence()
    {
        QFETCH(QString, login);
        TestContext t;
        t.context.connection.Close();
        ScriptedWindows windows(t.context, login, u"KIVO"_s);
        LockFile lock(StartupFiles::For(t.context.locations, t.context.Today()).lock);
        QCOMPARE(RunStartup(t.context, windows, lock), !login.isEmpty());
        QTEST(windows.calls, "calls");
        QVERIFY(t.context.connection.IsOpen());
        QVERIFY(t.messages.shown.isEmpty());
    }

    // A database that cannot be opened is reported at each step that needs it; the login
    // screen still comes up and nothing crashes.
    void unopenableDatabase_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: the file is removed
        QTest::addColumn<QString>("logged");
        QTest::newRow("missing") << QByteArray() << u"was not found"_s;
        QTest::newRow("damaged") << QByteArray(4096, 'x') << u"damaged"_s;
    }

    void unopenableDatabase()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, logged);
        TestContext t;
        t.context.connection.Close();
        t.database.connection().Close();
        const QString path = t.context.locations.DatabaseFile();
        QFile::remove(path + u"-wal"_s);
        QFile::remove(path + u"-shm"_s);
        QVERIFY(QFile::remove(path));
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        // The user tries once, is refused, and leaves.
        ScriptedWindows windows(t.context, u"Chief"_s, u"kivo"_s);
        LockFile lock(StartupFiles::For(t.context.locations, t.context.Today()).lock);
        QVERIFY(!RunStartup(t.context, windows, lock));
        QCOMPARE(windows.calls, (QStringList { u"maintenance:closed"_s, u"login"_s }));
        QVERIFY(!t.context.connection.IsOpen());
        const QStringList log = t.ErrorLogLines();
        // The failed open is reported once; the steps that need the database are skipped.
        QCOMPARE(log.size(), 1);
        QVERIFY2(log[0].contains(logged), qPrintable(log[0]));
        QCOMPARE(t.messages.shown.count(u"ErroR!"_s), log.size());
        QVERIFY(t.messages.shown.contains(u"Invalid Login/Password !"_s));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
