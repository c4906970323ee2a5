#include "Connection.h"
#include "DatabasePassword.h"

#include <memory>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;

namespace {

struct Outcome {
    int exitCode = -1; // -1: did not run or did not end normally
    QString out;
    QString err;
};

// Runs a program to its end; a crash or a hang shows as exit code -1.
Outcome RunProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    Outcome outcome;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return outcome;
    }
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit)
        outcome.exitCode = process.exitCode();
    return outcome;
}

QString AdminProgram()
{
    return qEnvironmentVariable("KIVO_BINARY_DIR") + QStringLiteral("/src/tools/kivo-admin");
}

Outcome Admin(const QStringList& arguments)
{
    return RunProgram(AdminProgram(), arguments);
}

QByteArray FileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

const char* const StockBroken = "stock: 1 product breaks PCloseQty = POpenQty + PPurchQty - PSaleQty\n"
                                "EId\tPCode\tPOpenQty\tPPurchQty\tPSaleQty\tPCloseQty\n";

} // namespace

// kivo-admin end to end: the real executable on temporary data folders, its output read as
// a shop administrator's script would read it.
class TestKivoAdmin : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_templates; // one demo folder made in initTestCase, copied by the tests
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_shop;

    QString DemoTemplate() const { return m_templates.filePath(QStringLiteral("demo")); }
    QString Database() const { return m_shop + QStringLiteral("/Kivo.Kvd"); }

    // A demo data folder at m_shop, copied from the one made once for the whole run.
    void MakeDemoShop()
    {
        QVERIFY(QDir().mkpath(m_shop));
        QVERIFY(QFile::copy(DemoTemplate() + QStringLiteral("/Kivo.Kvd"), Database()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(AdminProgram()).isExecutable(), qPrintable(AdminProgram()));
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("sqlcipher")).isEmpty(),
            "the sqlcipher command-line tool is installed by scripts/install-deps");
        const Outcome made = Admin({ QStringLiteral("init"), DemoTemplate(), QStringLiteral("--demo") });
        QCOMPARE(made.err, QString());
        QCOMPARE(made.exitCode, 0);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_shop = m_dir->filePath(QStringLiteral("shops/main"));
    }

    void initCreatesFoldersAndAnEncryptedDatabase()
    {
        const Outcome made = Admin({ QStringLiteral("init"), m_shop });
        QCOMPARE(made.exitCode, 0);
        for (const char* folder : { "Arc", "Bin", "Doc" })
            QVERIFY2(QFileInfo(m_shop + u'/' + QLatin1StringView(folder)).isDir(), folder);
        // The user guide comes from the source tree, so Help > Content works in a new folder.
        const QString guide = qEnvironmentVariable("KIVO_SOURCE_DIR") + QStringLiteral("/resources/help");
        for (const char* name : { "index.html", "style.css" }) {
            const QString installed = m_shop + QStringLiteral("/Bin/help/") + QLatin1StringView(name);
            QVERIFY2(QFileInfo::exists(installed), name);
            QCOMPARE(FileHash(installed), FileHash(guide + u'/' + QLatin1StringView(name)));
        }
        // Only the database: no work file, log or index of the engine is left beside it.
        QCOMPARE(QDir(m_shop).entryList(QDir::Files), QStringList { QStringLiteral("Kivo.Kvd") });

        QFile file(Database());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(16) != QByteArray("SQLite format 3", 16));
        file.close();

        const QString sqlcipher = QStringLiteral("sqlcipher");
        const QString count = QStringLiteral("select count(*) from sqlite_master;");
        const Outcome withoutKey = RunProgram(sqlcipher, { Database(), count });
        QVERIFY(withoutKey.exitCode != 0);
        QVERIFY(withoutKey.out.trimmed().isEmpty());

        const Outcome withKey = RunProgram(
            sqlcipher, { Database(), QStringLiteral("PRAGMA key='%1'; ").arg(DatabasePassword()) + count });
        QCOMPARE(withKey.exitCode, 0);
        // Twenty tables and their look-up indexes.
        QVERIFY2(withKey.out.trimmed().split(u'\n').last().toInt() >= 20, qPrintable(withKey.out));
    }

    void initKeepsWhatTheFolderAlreadyHolds()
    {
        QVERIFY(QDir().mkpath(m_shop + QStringLiteral("/Doc")));
        QFile note(m_shop + QStringLiteral("/Doc/Kivo.Err"));
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.write("kept\n");
        note.close();
        QCOMPARE(Admin({ QStringLiteral("init"), m_shop }).exitCode, 0);
        QVERIFY(note.open(QIODevice::ReadOnly));
        QCOMPARE(note.readAll(), QByteArray("kept\n"));
        QVERIFY(QFileInfo::exists(Database()));
    }

    void initRefusesAnExistingDatabase_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("plain") << QStringList();
        QTest::newRow("demo") << QStringList { QStringLiteral("--demo") };
    }

    void initRefusesAnExistingDatabase()
    {
        QFETCH(QStringList, options);
        MakeDemoShop();
        const QByteArray before = FileHash(Database());
        const Outcome again = Admin(QStringList { QStringLiteral("init"), m_shop } + options);
        QCOMPARE(again.exitCode, 2);
        QVERIFY2(again.err.contains(QStringLiteral("already exists")), qPrintable(again.err));
        QCOMPARE(again.out, QString());
        QCOMPARE(FileHash(Database()), before);
    }

    // An init that was cut off leaves its work file; the next one starts afresh and the
    // program never sees a half-made database.
    void initStartsAgainAfterAnInterruptedOne()
    {
        QVERIFY(QDir().mkpath(m_shop));
        for (const char* name : { "Kivo.Kvd.new", "Kivo.Kvd.new-wal" }) {
            QFile left(m_shop + u'/' + QLatin1StringView(name));
            QVERIFY(left.open(QIODevice::WriteOnly));
            left.write(QByteArray(4096, 'x'));
        }
        QCOMPARE(Admin({ QStringLiteral("init"), m_shop }).exitCode, 0);
        QCOMPARE(QDir(m_shop).entryList(QDir::Files), QStringList { QStringLiteral("Kivo.Kvd") });
        const Outcome users
            = Admin({ QStringLiteral("sql"), m_shop, QStringLiteral("Select ULogin From kaUser") });
        QCOMPARE(users.out, QStringLiteral("ULogin\nChief\n"));
    }

    void rowCountsAfterInit_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("rows");
        QTest::newRow("demo products") << true << "ktProduct" << 50;
        QTest::newRow("demo users") << true << "kaUser" << 3;
        QTest::newRow("demo bills") << true << "ktBillMast" << 0;
        QTest::newRow("plain products") << false << "ktProduct" << 0;
        QTest::newRow("plain users") << false << "kaUser" << 1;
        QTest::newRow("plain enterprise") << false << "kaEnterprise" << 1;
    }

    void rowCountsAfterInit()
    {
        QFETCH(bool, demo);
        QFETCH(QString, table);
        QFETCH(int, rows);
        if (demo)
            MakeDemoShop();
        else
            QCOMPARE(Admin({ QStringLiteral("init"), m_shop }).exitCode, 0);
        const Outcome counted
            = Admin({ QStringLiteral("sql"), m_shop, QStringLiteral("Select Count(*) As N From ") + table });
        QCOMPARE(counted.err, QString());
        QCOMPARE(counted.out, QStringLiteral("N\n%1\n").arg(rows));
    }

    void sqlPrintsRows_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("header and rows in order")
            << "Select Top 2 PCode, PName, PUom From ktProduct Order By PCode"
            << "PCode\tPName\tPUom\nP1001\tBasmati Rice 5kg\tBag\nP1002\tWhole Wheat Flour 2kg\tBag\n";
        QTest::newRow("no rows, header only") << "Select PCode From ktProduct Where PCode='none'"
                                              << "PCode\n";
        QTest::newRow("numbers without trailing zeros")
            << "Select PSaleRate, POpenQty, PTax From ktProduct Where PCode='P1001'"
            << "PSaleRate\tPOpenQty\tPTax\n11.95\t40\tN\n";
        QTest::newRow("empty value") << "Select Null As Nothing, 1 As One"
                                     << "Nothing\tOne\n\t1\n";
        QTest::newRow("tab and backslash kept on one line") << "Select 'a' + Char(9) + 'b\\c' As T"
                                                            << "T\na\\tb\\\\c\n";
        QTest::newRow("pragma yields rows") << "PRAGMA journal_mode"
                                            << "journal_mode\nwal\n";
        QTest::newRow("update") << "Update kmAccount Set AOpening = AOpening + 1"
                                << "3 rows affected\n";
        QTest::newRow("nothing matched") << "Delete From kmPaytype Where EId=999"
                                         << "0 rows affected\n";
    }

    void sqlPrintsRows()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        MakeDemoShop();
        const Outcome run = Admin({ QStringLiteral("sql"), m_shop, statement });
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, expected);
        QCOMPARE(run.exitCode, 0);
    }

    void sqlChangesAreKept()
    {
        MakeDemoShop();
        QCOMPARE(Admin({ QStringLiteral("sql"), m_shop,
                           QStringLiteral("Insert Into kmPaytype (EDate, PName, PRemarks) "
                                          "Values (#03/05/2026#, 'Cheque', 'Bank cheque')") })
                     .out,
            QStringLiteral("1 rows affected\n"));
        const Outcome read = Admin({ QStringLiteral("sql"), m_shop,
            QStringLiteral("Select EDate, PName From kmPaytype Where PName='cheque'") });
        QCOMPARE(read.out, QStringLiteral("EDate\tPName\n2026-03-05\tCheque\n"));
    }

    void sqlReportsABadStatement_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("unknown table") << "Select PCode From Nowhere";
        QTest::newRow("taken id") << "Insert Into kmGroup (EId, GName) Values (1, 'Twice')";
        QTest::newRow("empty") << "";
        QTest::newRow("two statements") << "Delete From kmPaytype; Delete From kmAccount";
    }

    void sqlReportsABadStatement()
    {
        QFETCH(QString, statement);
        MakeDemoShop();
        const QByteArray before = FileHash(Database());
        const Outcome run = Admin({ QStringLiteral("sql"), m_shop, statement });
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(QStringLiteral("kivo-admin: ")), qPrintable(run.err));
        QCOMPARE(run.err.count(u'\n'), 1);
        QCOMPARE(FileHash(Database()), before);
    }

    // The schema's own rules hold through kivo-admin: the refusal names table, column and rule.
    void sqlRefusesWhatAColumnCannotHold_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("message");
        QTest::newRow("text too wide")
            << "Insert Into ktProduct (PCode) Values ('abcdefghijklmnopqrstuvwxyz')"
            << "Column PCode of table ktProduct takes text of at most 15 characters";
        QTest::newRow("no such day") << "Update kmGroup Set EDate='2026-02-30' Where EId=1"
                                     << "Column EDate of table kmGroup takes a date written YYYY-MM-DD";
        QTest::newRow("fraction in a whole number")
            << "Update ktProduct Set POpenQty=2.7 Where EId=1"
            << "Column POpenQty of table ktProduct takes a whole number from -2147483648 to 2147483647";
    }
    void sqlRefusesWhatAColumnCannotHold()
    {
        QFETCH(QString, statement);
        QFETCH(QString, message);
        MakeDemoShop();
        const Outcome run = Admin({ QStringLiteral("sql"), m_shop, statement });
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(
            run.err, QStringLiteral("kivo-admin: ") + message + QStringLiteral("; the value was refused\n"));
    }

    // The plain shell lacks the text collation: it refuses to compare text or to write into a
    // text column's index, rather than read or build that index in another order.
    void shellRefusesTextComparisons()
    {
        MakeDemoShop();
        const QByteArray before = FileHash(Database());
        const QString key = QStringLiteral("PRAGMA key='%1'; ").arg(DatabasePassword());
        for (const char* statement : { "select count(*) from kmGroup where GName='grocery';",
                 "insert into kmGroup (GName) values ('Other');" }) {
            const Outcome run
                = RunProgram(QStringLiteral("sqlcipher"), { Database(), key + QLatin1StringView(statement) });
            QVERIFY2(run.exitCode != 0, statement);
            QVERIFY2(run.err.contains(QStringLiteral("no such collation sequence: KIVOCASE")),
                qPrintable(run.err));
        }
        QCOMPARE(FileHash(Database()), before);
    }

    void checkPassesOnANewFolder_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("expected");
        QTest::newRow("demo") << true << "integrity: ok\nstock: ok (50 products)\n";
        QTest::newRow("plain") << false << "integrity: ok\nstock: ok (0 products)\n";
    }

    void checkPassesOnANewFolder()
    {
        QFETCH(bool, demo);
        QFETCH(QString, expected);
        if (demo)
            MakeDemoShop();
        else
            QCOMPARE(Admin({ QStringLiteral("init"), m_shop }).exitCode, 0);
        const Outcome checked = Admin({ QStringLiteral("check"), m_shop });
        QCOMPARE(checked.out, expected);
        QCOMPARE(checked.exitCode, 0);
    }

    void checkFollowsTheStockFormula_data()
    {
        QTest::addColumn<QString>("quantities");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("offending");
        QTest::newRow("closing off by one")
            << "POpenQty=10, PPurchQty=5, PSaleQty=3, PCloseQty=13" << 1 << "7\tP1007\t10\t5\t3\t13\n";
        QTest::newRow("sale not taken off")
            << "POpenQty=10, PPurchQty=0, PSaleQty=4, PCloseQty=10" << 1 << "7\tP1007\t10\t0\t4\t10\n";
        QTest::newRow("empty closing with stock")
            << "POpenQty=4, PPurchQty=0, PSaleQty=0, PCloseQty=Null" << 1 << "7\tP1007\t4\t0\t0\t\n";
        QTest::newRow("empty opening counts as none")
            << "POpenQty=Null, PPurchQty=5, PSaleQty=3, PCloseQty=2" << 0 << "";
        QTest::newRow("all empty") << "POpenQty=Null, PPurchQty=Null, PSaleQty=Null, PCloseQty=Null" << 0
                                   << "";
        QTest::newRow("sold below nothing, in step")
            << "POpenQty=2, PPurchQty=0, PSaleQty=5, PCloseQty=-3" << 0 << "";
    }

    void checkFollowsTheStockFormula()
    {
        QFETCH(QString, quantities);
        QFETCH(int, exitCode);
        QFETCH(QString, offending);
        MakeDemoShop();
        const Outcome changed = Admin({ QStringLiteral("sql"), m_shop,
            QStringLiteral("Update ktProduct Set %1 Where PCode='P1007'").arg(quantities) });
        QCOMPARE(changed.out, QStringLiteral("1 rows affected\n"));
        const Outcome checked = Admin({ QStringLiteral("check"), m_shop });
        QCOMPARE(checked.exitCode, exitCode);
        if (exitCode == 0)
            QCOMPARE(checked.out, QStringLiteral("integrity: ok\nstock: ok (50 products)\n"));
        else
            QCOMPARE(
                checked.out, QStringLiteral("integrity: ok\n") + QLatin1StringView(StockBroken) + offending);
    }

    void unreadableDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("no database") << "missing"
                                     << "was not found";
        QTest::newRow("foreign file") << "foreign"
                                      << "does not open it";
        QTest::newRow("overwritten page") << "damaged"
                                          << "malformed";
    }

    // A database that cannot be read is a one-line message and exit status 1, never a crash.
    void unreadableDatabase()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QVERIFY(QDir().mkpath(m_shop));
        if (kind == u"foreign") {
            QFile file(Database());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("Product list\tnot a database\n").repeated(400));
        } else if (kind == u"other key") {
            Connection other;
            other.Open(Database(), QStringLiteral("other1"), Connection::OpenMode::Create);
            other.ExecuteRaw(QStringLiteral("CREATE TABLE kaUser (EId INTEGER)"));
        } else if (kind == u"damaged") {
            MakeDemoShop();
            QFile file(Database());
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(30000));
            file.write(QByteArray(64, 'x'));
        }
        const QStringList commands[] = {
            { QStringLiteral("sql"), m_shop, QStringLiteral("Select Count(*) From kaUser") },
            { QStringLiteral("check"), m_shop },
        };
        for (const QStringList& command : commands) {
            const Outcome run = Admin(command);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.startsWith(QStringLiteral("kivo-admin: ")) && run.err.contains(message),
                qPrintable(run.err));
            QCOMPARE(run.err.count(u'\n'), 1);
        }
    }

    void wrongUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const QString shop = QStringLiteral("SHOP");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("unknown command") << QStringList { QStringLiteral("open"), shop };
        QTest::newRow("init without folder") << QStringList { QStringLiteral("init") };
        QTest::newRow("init with unknown option")
            << QStringList { QStringLiteral("init"), shop, QStringLiteral("--demos") };
        QTest::newRow("sql without statement") << QStringList { QStringLiteral("sql"), shop };
        QTest::newRow("check without folder") << QStringList { QStringLiteral("check") };
    }

    void wrongUsage()
    {
        QFETCH(QStringList, arguments);
        arguments.replaceInStrings(QStringLiteral("SHOP"), m_shop);
        const Outcome run = Admin(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith(QStringLiteral("Usage:")), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QVERIFY(!QFileInfo::exists(m_shop));
    }
};

QTEST_GUILESS_MAIN(TestKivoAdmin)
#include "tst_kivoadmin.moc"
