#include "Connection.h"
#include "DatabasePassword.h"
#include "PasswordHash.h"
#include "ProgramRun.h"
#include "Schema.h"
#include "ScriptedProgram.h"

#include <memory>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

using test::Admin;
using test::AdminProgram;
using test::Outcome;
using test::RunProgram;

Outcome Sql(const QString& folder, const QString& statement)
{
    return Admin({ u"sql"_s, folder, statement });
}

QByteArray FileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// The demo and the first generated history end on this day; a second one on the later day.
const char* const DemoToday = "2026-03-05";
const char* const LaterToday = "2026-06-05";

const char* const StockBroken = "stock: 1 product breaks PCloseQty = POpenQty + PPurchQty - PSaleQty\n"
                                "EId\tPCode\tPOpenQty\tPPurchQty\tPSaleQty\tPCloseQty\n";

// Counts the rows of a table with an empty value where the program expects one: the schema
// refuses what a column's kind cannot hold, but takes an empty value anywhere.
QString EmptyValues(const TableDef& table)
{
    QStringList empty;
    for (const ColumnDef& column : table.columns)
        if (column.kind != ColumnKind::Date)
            empty << column.name + u" Is Null"_s;
    return u"Select Count(*) As N From %1 Where %2"_s.arg(table.name, empty.join(u" Or "_s));
}

} // namespace

// kivo-admin end to end: the real executable on temporary data folders, its output read as
// a shop administrator's script would read it.
class TestKivoAdmin : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_templates; // one demo folder made in initTestCase, copied by the tests
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_shop;

    QString DemoTemplate() const { return m_templates.filePath(u"demo"_s); }
    QString Generated(const QString& base) const { return m_templates.filePath(u"generated-"_s + base); }
    QString Database() const { return m_shop + u"/Kivo.Kvd"_s; }

    // A demo data folder at m_shop, copied from the one made once for the whole run.
    void MakeDemoShop()
    {
        QVERIFY(QDir().mkpath(m_shop));
        QVERIFY(QFile::copy(DemoTemplate() + u"/Kivo.Kvd"_s, Database()));
    }

    static void Generate(const QString& folder, const char* today)
    {
        const Outcome run = Admin({ u"generate"_s, folder, u"--products"_s, u"300"_s, u"--customers"_s,
            u"80"_s, u"--bills"_s, u"400"_s, u"--today"_s, QLatin1StringView(today) });
        QCOMPARE(run.err, QString());
        QVERIFY2(run.out.startsWith(u"Added 300 products, 80 customers, "_s), qPrintable(run.out));
        QCOMPARE(run.exitCode, 0);
    }

    // Generated shops, made once and only read by the tests: on a new folder, on the demo
    // shop (its history followed by three more months).
    void MakeGeneratedShops()
    {
        QCOMPARE(
            Admin({ u"init"_s, Generated(u"new"_s), u"--today"_s, QLatin1StringView(DemoToday) }).exitCode,
            0);
        Generate(Generated(u"new"_s), DemoToday);
        QVERIFY(QDir().mkpath(Generated(u"demo"_s)));
        QVERIFY(QFile::copy(DemoTemplate() + u"/Kivo.Kvd"_s, Generated(u"demo"_s) + u"/Kivo.Kvd"_s));
        Generate(Generated(u"demo"_s), LaterToday);
    }

    // The one number a "Select Count(*) As N" query prints, or -1.
    static int CountOf(const QString& folder, const QString& statement)
    {
        const Outcome run = Sql(folder, statement);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        if (run.exitCode != 0 || lines.size() != 2)
            return -1;
        bool ok = false;
        const int n = lines[1].toInt(&ok);
        return ok ? n : -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(AdminProgram()).isExecutable(), qPrintable(AdminProgram()));
        QVERIFY2(!QStandardPaths::findExecutable(u"sqlcipher"_s).isEmpty(),
            "the sqlcipher command-line tool is installed by scripts/install-deps");
        const Outcome made
            = Admin({ u"init"_s, DemoTemplate(), u"--demo"_s, u"--today"_s, QLatin1StringView(DemoToday) });
        QCOMPARE(made.err, QString());
        QCOMPARE(made.exitCode, 0);
        MakeGeneratedShops();
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_shop = m_dir->filePath(u"shops/main"_s);
    }

    void initCreatesFoldersAndAnEncryptedDatabase()
    {
        const Outcome made = Admin({ u"init"_s, m_shop });
        QCOMPARE(made.exitCode, 0);
        for (const char* folder : { "Arc", "Bin", "Doc" })
            QVERIFY2(QFileInfo(m_shop + u'/' + QLatin1StringView(folder)).isDir(), folder);
        // The user guide comes from the source tree, so Help > Content works in a new folder.
        const QString guide = qEnvironmentVariable("KIVO_SOURCE_DIR") + u"/resources/help"_s;
        QCOMPARE(FileHash(m_shop + u"/Bin/help/index.html"_s), FileHash(guide + u"/index.html"_s));
        // Only the database: no work file, log or index of the engine is left beside it.
        QCOMPARE(QDir(m_shop).entryList(QDir::Files), QStringList { u"Kivo.Kvd"_s });

        const QString sqlcipher = u"sqlcipher"_s;
        const QString count = u"select count(*) from sqlite_master;"_s;
        const Outcome withoutKey = RunProgram(sqlcipher, { Database(), count });
        QVERIFY(withoutKey.exitCode != 0);
        QVERIFY(withoutKey.out.trimmed().isEmpty());

        const QString key = u"PRAGMA key='%1'; "_s.arg(DatabasePassword());
        const Outcome withKey = RunProgram(sqlcipher, { Database(), key + count });
        QCOMPARE(withKey.exitCode, 0);
        // Twenty tables and their look-up indexes.
        QVERIFY2(withKey.out.trimmed().split(u'\n').last().toInt() >= 20, qPrintable(withKey.out));

        // The plain shell lacks the text collation: it refuses to compare text or to write into a
        // text column's index, rather than read or build that index in another order.
        const QByteArray before = FileHash(Database());
        for (const char* statement : { "select count(*) from kaUser where ULogin='chief';",
                 "insert into kmGroup (GName) values ('Other');" }) {
            const Outcome run = RunProgram(sqlcipher, { Database(), key + QLatin1StringView(statement) });
            QVERIFY2(run.exitCode != 0 && run.err.contains(u"no such collation sequence: KIVOCASE"_s),
                qPrintable(run.err));
        }
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
        QCOMPARE(Admin({ u"init"_s, m_shop }).exitCode, 0);
        QCOMPARE(QDir(m_shop).entryList(QDir::Files), QStringList { u"Kivo.Kvd"_s });
        const Outcome made = Sql(m_shop,
            u"Select ULogin, (Select Count(*) From kaEnterprise) As E, "
            "(Select Count(*) From ktProduct) As P From kaUser"_s);
        QCOMPARE(made.out, u"ULogin\tE\tP\nChief\t1\t0\n"_s);
    }

    void sqlPrintsRows_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("header and rows in order")
            << u"Select Top 2 PCode, PName, PUom From ktProduct Order By PCode"_s
            << u"PCode\tPName\tPUom\nP1001\tBasmati Rice 5kg\tBag\nP1002\tWhole Wheat Flour 2kg\tBag\n"_s;
        QTest::newRow("numbers without trailing zeros")
            << u"Select PSaleRate, POpenQty, PTax From ktProduct Where PCode='P1001'"_s
            << u"PSaleRate\tPOpenQty\tPTax\n11.95\t40\tN\n"_s;
        QTest::newRow("empty value") << u"Select Null As Nothing, 1 As One"_s << u"Nothing\tOne\n\t1\n"_s;
        QTest::newRow("tab and backslash kept on one line")
            << u"Select 'a' + Char(9) + 'b\\c' As T"_s << u"T\na\\tb\\\\c\n"_s;
    }

    void sqlPrintsRows()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        MakeDemoShop();
        const Outcome run = Sql(m_shop, statement);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, expected);
        QCOMPARE(run.exitCode, 0);
    }

    // A statement the database refuses is one line on stderr, exit status 1, and the file as
    // it was; a column's own rule names table, column and what the column takes.
    void sqlReportsABadStatement_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("message");
        const QString any = u"kivo-admin: "_s;
        QTest::newRow("taken id") << u"Insert Into kmGroup (EId, GName) Values (1, 'Twice')"_s << any;
        QTest::newRow("two statements") << u"Delete From kmPaytype; Delete From kmAccount"_s << any;
        QTest::newRow("column rule")
            << u"Update ktProduct Set POpenQty=2.7 Where EId=1"_s
            << u"kivo-admin: Column POpenQty of table ktProduct takes a whole number "
               "from -2147483648 to 2147483647; the value was refused\n"_s;
    }

    void sqlReportsABadStatement()
    {
        QFETCH(QString, statement);
        QFETCH(QString, message);
        MakeDemoShop();
        const QByteArray before = FileHash(Database());
        const Outcome run = Sql(m_shop, statement);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
        QCOMPARE(run.err.count(u'\n'), 1);
        QCOMPARE(FileHash(Database()), before);
    }

    void checkFollowsTheStockFormula_data()
    {
        QTest::addColumn<QString>("quantities");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("offending");
        QTest::newRow("closing off by one")
            << u"POpenQty=10, PPurchQty=5, PSaleQty=3, PCloseQty=13"_s << 1 << u"7\tP1007\t10\t5\t3\t13\n"_s;
        QTest::newRow("empty closing with stock")
            << u"POpenQty=4, PPurchQty=0, PSaleQty=0, PCloseQty=Null"_s << 1 << u"7\tP1007\t4\t0\t0\t\n"_s;
        QTest::newRow("empty opening counts as none")
            << u"POpenQty=Null, PPurchQty=5, PSaleQty=3, PCloseQty=2"_s << 0 << u""_s;
        QTest::newRow("sold below nothing, in step")
            << u"POpenQty=2, PPurchQty=0, PSaleQty=5, PCloseQty=-3"_s << 0 << u""_s;
    }

    void checkFollowsTheStockFormula()
    {
        QFETCH(QString, quantities);
        QFETCH(int, exitCode);
        QFETCH(QString, offending);
        MakeDemoShop();
        const Outcome changed = Sql(m_shop, u"Update ktProduct Set %1 Where PCode='P1007'"_s.arg(quantities));
        QCOMPARE(changed.out, u"1 rows affected\n"_s);
        const Outcome checked = Admin({ u"check"_s, m_shop });
        QCOMPARE(checked.exitCode, exitCode);
        if (exitCode == 0)
            QCOMPARE(checked.out, u"integrity: ok\nstock: ok (50 products)\n"_s);
        else
            QCOMPARE(checked.out, u"integrity: ok\n"_s + QLatin1StringView(StockBroken) + offending);
    }

    void unreadableDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("no database") << u"missing"_s << u"was not found"_s;
        QTest::newRow("foreign file") << u"foreign"_s << u"does not open it"_s;
        QTest::newRow("overwritten page") << u"damaged"_s << u"malformed"_s;
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
        } else if (kind == u"damaged") {
            MakeDemoShop();
            QFile file(Database());
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(30000));
            file.write(QByteArray(64, 'x'));
        }
        const QStringList commands[] = {
            { u"sql"_s, m_shop, u"Select Count(*) From kaUser"_s },
            { u"check"_s, m_shop },
        };
        for (const QStringList& command : commands) {
            const Outcome run = Admin(command);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.startsWith(u"kivo-admin: "_s) && run.err.contains(message), qPrintable(run.err));
            QCOMPARE(run.err.count(u'\n'), 1);
        }
    }

    // Rules that a generated shop keeps, each a query that counts the rows breaking it.
    void generatedShopKeepsTheRules_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("statement");
        const char* const rules[][2] = {
            { "stock formula",
                "Select Count(*) As N From ktProduct Where PCloseQty <> POpenQty + PPurchQty - PSaleQty" },
            { "sale quantity is the bill lines",
                "Select Count(*) As N From ktProduct p Where PSaleQty <> (Select IfNull(Sum(BQty), 0) "
                "From ktBillDetl Where BPId = p.PCode)" },
            { "purchase quantity is the purchase lines",
                "Select Count(*) As N From ktProduct p Where PPurchQty <> (Select IfNull(Sum(PQty), 0) "
                "From ktPurcDetl Where PPId = p.PCode)" },
            { "no stock below nothing", "Select Count(*) As N From ktProduct Where PCloseQty < 0" },
            { "every document has lines",
                "Select (Select Count(*) From ktBillMast m Where Not Exists (Select 1 From ktBillDetl d "
                "Where d.EId = m.EId)) + (Select Count(*) From ktQuotMast m Where Not Exists (Select 1 "
                "From ktQuotDetl d Where d.EId = m.EId)) + (Select Count(*) From ktPurcMast m Where Not "
                "Exists (Select 1 From ktPurcDetl d Where d.EId = m.EId)) + (Select Count(*) From "
                "ktOrdrMast m Where Not Exists (Select 1 From ktOrdrDetl d Where d.EId = m.EId)) As N" },
            { "line amounts",
                "Select Count(*) As N From ktBillDetl Where Abs(BValue - BRate * BQty) > 0.005 Or "
                "Abs(BGross - (BValue - BSaving)) > 0.005 Or BSaving < 0 Or EDate <> (Select EDate From "
                "ktBillMast m Where m.EId = ktBillDetl.EId)" },
            { "bill is the sum of its lines",
                "Select Count(*) As N From ktBillMast b Where Abs(BGross - (Select Sum(BGross) From "
                "ktBillDetl d Where d.EId = b.EId)) > 0.005 Or BItems <> (Select Sum(BQty) From "
                "ktBillDetl d Where d.EId = b.EId)" },
            { "bill totals",
                "Select Count(*) As N From ktBillMast Where Abs(BTotal - (BGross - BDiscount)) > 0.005 Or "
                "Abs(BNett - (BTotal + BTax1 + BTax2)) > 0.005 Or Abs(BReturn - (BCash + BCredit + BOther "
                "+ BMisc - BNett)) > 0.005" },
            { "billed quote names its bill",
                "Select Count(*) As N From ktQuotMast q Where QStatus = 'B' And Not Exists (Select 1 From "
                "ktBillMast b Where q.QRemarks = 'BILL#' || b.EId || ';' || b.BRemarks And b.BReceipt = "
                "substr(strftime('%Y%m-%d', b.EDate), 3) || 'QTOB-' || printf('%06d', q.EId) And b.BNett "
                "= q.QNett And b.BCId = q.QCId And b.EDate >= q.EDate And (Select Count(*) From "
                "ktBillDetl Where EId = b.EId) = (Select Count(*) From ktQuotDetl Where EId = q.EId))" },
            { "purchase totals",
                "Select Count(*) As N From ktPurcMast p Where Abs(PNett - (PGross + PTax)) > 0.005 Or "
                "Abs(PGross - (Select Sum(PGross) From ktPurcDetl d Where d.EId = p.EId)) > 0.005 Or "
                "PPayType Not In ('Cash', 'Credit', 'Online', 'Other')" },
            { "references are there",
                "Select (Select Count(*) From ktBillMast Where BCId Not In (Select EId From ktCustomer) "
                "Or BUId Not In (Select EId From kaUser)) + (Select Count(*) From ktBillDetl Where BPId "
                "Not In (Select PCode From ktProduct)) + (Select Count(*) From ktPurcMast Where PSId Not "
                "In (Select EId From ktSupplier)) + (Select Count(*) From ktProduct Where PGId Not In "
                "(Select EId From kmGroup)) + (Select Count(*) From ktAccounting Where AAId Not In "
                "(Select EId From kmAccount)) As N" },
        };
        for (const char* base : { "new", "demo" }) {
            for (const auto& rule : rules)
                QTest::addRow("%s: %s", base, rule[0])
                    << QString::fromLatin1(base) << QString::fromLatin1(rule[1]);
            for (const TableDef& table : Schema::Tables())
                QTest::addRow("%s: no empty values in %s", base, qPrintable(table.name))
                    << QString::fromLatin1(base) << EmptyValues(table);
        }
    }

    void generatedShopKeepsTheRules()
    {
        QFETCH(QString, base);
        QFETCH(QString, statement);
        QCOMPARE(CountOf(Generated(base), statement), 0);
    }

    void generateIsRepeatable()
    {
        const QString other = m_dir->filePath(u"again"_s);
        QCOMPARE(Admin({ u"init"_s, other, u"--today"_s, QLatin1StringView(DemoToday) }).exitCode, 0);
        Generate(other, DemoToday);
        // Every table, row for row; passwords only as hashes with their own salts.
        for (const TableDef& table : Schema::Tables()) {
            QStringList columns;
            for (const ColumnDef& column : table.columns)
                if (!column.name.endsWith(u"Passcd"_s))
                    columns << column.name;
            const QString all = u"Select %1 From %2 Order By EId"_s.arg(columns.join(u','), table.name);
            const Outcome first = Sql(Generated(u"new"_s), all);
            QVERIFY2(first.exitCode == 0 && first.out == Sql(other, all).out, qPrintable(table.name));
        }
    }

    // A log that a copy of another database file left beside this one (a backup put over the
    // database after a copy was killed) is set aside with a message, never replayed onto it.
    void foreignLogIsSetAside_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("sql") << u"sql"_s;
        QTest::newRow("check") << u"check"_s;
        QTest::newRow("report") << u"report"_s;
    }
    void foreignLogIsSetAside()
    {
        QFETCH(QString, command);
        MakeDemoShop();
        const QString lines = u"Select Count(*) As N From ktBillDetl"_s;
        const int before = CountOf(m_shop, lines);
        QVERIFY(before > 0);
        const QString other = m_dir->filePath(u"other.Kvd"_s);
        QVERIFY(QFile::copy(Database(), other));
        Connection writer;
        writer.Open(other, DatabasePassword());
        writer.ExecuteRaw(u"PRAGMA wal_autocheckpoint = 0"_s);
        writer.Execute(u"Delete From ktBillDetl"_s);
        QVERIFY(QFile::copy(other + u"-wal"_s, Database() + u"-wal"_s));
        // The copy that left it was killed; its lock file names the database file it worked on.
        QFile lock(Database() + u".Ldb"_s);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("1:2:3:4.5\n");
        lock.close();

        QStringList arguments { command, m_shop };
        if (command == u"sql")
            arguments << lines;
        else if (command == u"report") {
            QVERIFY(QDir(m_shop).mkpath(u"Bin"_s));
            QVERIFY(QFile::copy(DemoTemplate() + u"/Bin/KiPro41.Kvr"_s, m_shop + u"/Bin/KiPro41.Kvr"_s));
            arguments << u"41"_s << u"--pdf"_s << m_dir->filePath(u"41.pdf"_s);
        }
        const Outcome run = Admin(arguments);
        QCOMPARE(run.exitCode, 0);
        // Said first; the report's PDF writer may note the platform's missing runtime folder
        // before it, and the report says it was exported after it.
        const QString err = QString(run.err).remove(QRegularExpression(u"^QStandardPaths:[^\n]*\n"_s));
        const QString setAside
            = u"kivo-admin: the log %1-wal was left by a copy of another database file; it "
              "was set aside as %1-wal.foreign and not replayed\n"_s.arg(
                  QFileInfo(Database()).absoluteFilePath());
        QCOMPARE(err.left(setAside.size()), setAside);
        QCOMPARE(err.mid(setAside.size()),
            command == u"report" ? u"kivo-admin: Report Exported !\n"_s : QString());
        QVERIFY(QFileInfo::exists(Database() + u"-wal.foreign"_s));
        QVERIFY(!lock.exists());
        QCOMPARE(CountOf(m_shop, lines), before);
        QCOMPARE(Admin({ u"check"_s, m_shop }).out.section(u'\n', 0, 0), u"integrity: ok"_s);
    }

    // A shop that forgot its passwords sets new ones; they are stored as hashes and the real
    // program takes them: the password in any letter case, the access code only as set.
    void passwordsSetFromTheCommandLine()
    {
        MakeDemoShop();
        QCOMPARE(Admin({ u"password"_s, m_shop, u"chief"_s, u"Nü-Pass"_s }).out, u"Password set\n"_s);
        QCOMPARE(
            Admin({ u"password"_s, m_shop, u"--access-code"_s, u"Open-Up"_s }).out, u"Access code set\n"_s);
        const QString stored = Sql(
            m_shop, u"Select UPasscd + '|' + (Select EPasscd From kaEnterprise) From kaUser Where EId=1"_s)
                                   .out.section(u'\n', 1, 1);
        QVERIFY2(stored.startsWith(u"pbkdf2-sha256$"_s) && stored.contains(u"|pbkdf2-sha256$"_s)
                && !stored.contains(u"Pass"_s) && !stored.contains(u"Open"_s),
            qPrintable(stored));

        const QByteArray script
            = "window Login\nfocus txtField(0)\ntype Chief\nkey Return\nfocus txtField(1)\n"
              "type kivo\nkey Return\nmessage Invalid Login/Password !\nanswer OK\n"
            + test::ScriptedProgram::Login(u"CHIEF"_s, u"nÜ-pASS"_s)
            + "menu Master/Group\nwindow Group\nkey Ctrl+M\nwindow Access Code...\ntype open-up\nkey Return\n"
              "message [InvaliD]\nanswer OK\nwindow Group\nkey Ctrl+M\nwindow Access Code...\ntype Open-Up\n"
              "key Return\nmenu Operation/Cancel\ncheckpoint granted\n";
        // Cancel is offered only while a record is edited: the access code let Modify go on.
        test::ScriptedProgram program(m_dir->path(), m_shop, script);
        QVERIFY(program.Checkpoint(u"granted"_s));
        program.Kill();
    }

    // The database password is put together at run time: no run of text in the programs or the
    // library that builds it, 8-bit or 16-bit, holds it.
    void databasePasswordIsNoTextOfThePrograms()
    {
        const QString key = DatabasePassword();
        const QString binary = qEnvironmentVariable("KIVO_BINARY_DIR");
        const QStringList files { binary + u"/src/kivo"_s, AdminProgram(),
            binary + u"/src/database/libkivo_database.a"_s };
        for (const QString& file : files) {
            for (const QStringList& options :
                { QStringList { u"-a"_s }, QStringList { u"-a"_s, u"-el"_s } }) {
                const Outcome run = RunProgram(u"strings"_s, options + QStringList { file });
                QVERIFY2(run.exitCode == 0 && run.out.size() > 100, qPrintable(file + run.err));
                QVERIFY2(!run.out.contains(key), qPrintable(file + u' ' + options.join(u' ')));
            }
        }
    }

    // One row per kind of mistake; SHOP is a demo shop, SHOP/empty a new one.
    void refusesBadArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const char* arguments, const char* message) {
            QTest::newRow(name) << QString::fromLatin1(arguments).split(u' ', Qt::SkipEmptyParts)
                                << QString::fromLatin1(message);
        };
        row("negative", "generate SHOP --products -5",
            "--products needs a whole number from 0 to 10000000, not '-5'");
        row("fraction", "generate SHOP --customers 2.5", "kivo-admin: --customers needs a whole number");
        row("init over a database", "init SHOP --demo", "already exists; init never replaces a database");
        row("init with a bad day", "init SHOP/new --today tomorrow",
            "kivo-admin: --today needs a date written YYYY-MM-DD, not 'tomorrow'");
        row("folder missing", "generate SHOP/nowhere", "kivo-admin: the folder '");
        row("no database", "generate SHOP/Doc", "was not found; set the folder up with kivo-admin init");
        row("bills without products", "generate SHOP/empty --bills 5", "kivo-admin: bills need products");
        row("unknown option", "generate SHOP --items 5", "Usage:");
        row("nothing", "", "Usage:");
    }

    // Wrong arguments and a refused init are exit status 2 with a message that says what is
    // wrong, and the database is left as it was.
    void refusesBadArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        MakeDemoShop();
        QVERIFY(QDir().mkpath(m_shop + u"/Doc"_s));
        const QString empty = m_shop + u"/empty"_s;
        QCOMPARE(Admin({ u"init"_s, empty }).exitCode, 0);
        arguments.replaceInStrings(u"SHOP"_s, m_shop);
        const QByteArray before = FileHash(Database());
        const QByteArray emptyBefore = FileHash(empty + u"/Kivo.Kvd"_s);
        const Outcome run = Admin(arguments);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(message == u"Usage:" ? run.err.startsWith(message) : run.err.contains(message),
            qPrintable(run.err));
        QVERIFY2(message == u"Usage:" || run.err.count(u'\n') == 1, qPrintable(run.err));
        QCOMPARE(FileHash(Database()), before);
        QCOMPARE(FileHash(empty + u"/Kivo.Kvd"_s), emptyBefore);
        QVERIFY(!QFileInfo::exists(m_shop + u"/new"_s));
    }
};

QTEST_GUILESS_MAIN(TestKivoAdmin)
#include "tst_kivoadmin.moc"
