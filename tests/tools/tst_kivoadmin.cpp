#include "Connection.h"
#include "DatabasePassword.h"
#include "ProgramRun.h"
#include "ScriptedProgram.h"

#include <memory>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

Outcome Sql(const QString& folder, const QString& statement)
{
    return Admin({ u"sql"_s, folder, statement });
}

QByteArray FileHash(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
        ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
        : QByteArray();
}

// A row of the command table, and one for a refusal: nothing on stdout, the reason on stderr.
void Row(const char* name, const char* setup, const QStringList& arguments, int exitCode, const QString& out,
    const QString& err = {})
{
    QTest::newRow(name) << QString::fromUtf8(setup) << arguments << exitCode << out << err;
}

void Refused(const char* name, const char* arguments, int exitCode, const char* err, const char* setup = "")
{
    Row(name, setup, QString::fromUtf8(arguments).split(u' '), exitCode, {}, QString::fromUtf8(err));
}

QStringList Sql(const char* statement)
{
    return { u"sql"_s, u"SHOP"_s, QString::fromUtf8(statement) };
}

// The one number a one-column query prints below its header, or -1.
int CountOf(const QString& folder, const QString& statement)
{
    const Outcome run = Sql(folder, statement);
    bool ok = false;
    const int n = run.out.section(u'\n', 1, 1).toInt(&ok);
    return run.exitCode == 0 && ok ? n : -1;
}

// Small report templates of the test's own, so that what the PDF must show is known here.
const char* const Listing = R"kvr(report title="Listing" page=A4
parameter name=pEntName
parameter name=pFilter
band kind=pageheader height=6
field x=0 y=0 w=100 h=5 expr="'Filter: ' & pFilter"
band kind=detail height=5
field x=0 y=0 w=40 h=5 expr="PCode"
band kind=summary height=5
field x=0 y=0 w=60 h=5 expr="'rows ' & count()"
)kvr";

const char* const Daily = R"kvr(report title="Daily" page=A4
parameter name=pEntName
parameter name=pFilter
band kind=detail height=5
field x=0 y=0 w=40 h=5 expr="tBDate"
band kind=summary height=5
field x=40 y=0 w=40 h=5 expr="sum(tBNett)" format="#####0.00"
field x=90 y=0 w=40 h=5 expr="'days ' & count()"
)kvr";

} // namespace

// kivo-admin end to end: the real executable on temporary data folders, its output read as
// a shop administrator's script would read it.
class TestKivoAdmin : public QObject {
    Q_OBJECT

    QTemporaryDir m_templates; // one demo folder made in initTestCase, copied by the tests
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_shop;

    QString DemoTemplate() const { return m_templates.filePath(u"demo"_s); }
    QString Generated() const { return m_templates.filePath(u"generated"_s); }
    QString Database() const { return m_shop + u"/Kivo.Kvd"_s; }

    // A demo data folder at m_shop, copied from the one made once for the whole run.
    void MakeDemoShop()
    {
        QVERIFY(QDir().mkpath(m_shop));
        QVERIFY(QFile::copy(DemoTemplate() + u"/Kivo.Kvd"_s, Database()));
    }

private slots:
    // The demo shop, and the demo shop's history followed by three more generated months.
    void initTestCase()
    {
        QCOMPARE(
            Admin({ u"init"_s, DemoTemplate(), u"--demo"_s, u"--today"_s, u"2026-03-05"_s }).exitCode, 0);
        for (const auto& [name, text] :
            { std::pair { "KiPro41.Kvr", Listing }, std::pair { "KiDai69.Kvr", Daily } }) {
            QFile file(DemoTemplate() + u"/Bin/"_s + QLatin1StringView(name));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) > 0);
        }
        QVERIFY(QDir().mkpath(Generated()));
        QVERIFY(QFile::copy(DemoTemplate() + u"/Kivo.Kvd"_s, Generated() + u"/Kivo.Kvd"_s));
        const Outcome run = Admin({ u"generate"_s, Generated(), u"--products"_s, u"300"_s, u"--customers"_s,
            u"80"_s, u"--bills"_s, u"400"_s, u"--today"_s, u"2026-06-05"_s });
        QCOMPARE(run.err, QString());
        QVERIFY2(run.out.startsWith(u"Added 300 products, 80 customers, "_s), qPrintable(run.out));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_shop = m_dir->filePath(u"shops/main"_s);
    }

    // An init that was cut off before left its work files; the next one starts afresh, and the
    // program never sees a half-made database.
    void initCreatesFoldersAndAnEncryptedDatabase()
    {
        QVERIFY(QDir().mkpath(m_shop));
        for (const char* name : { "Kivo.Kvd.new", "Kivo.Kvd.new-wal" }) {
            QFile left(m_shop + u'/' + QLatin1StringView(name));
            QVERIFY(left.open(QIODevice::WriteOnly) && left.write(QByteArray(4096, 'x')) == 4096);
        }
        QCOMPARE(Admin({ u"init"_s, m_shop }).exitCode, 0);
        for (const char* folder : { "Arc", "Bin", "Doc" })
            QVERIFY2(QFileInfo(m_shop + u'/' + QLatin1StringView(folder)).isDir(), folder);
        // The user guide comes from the source tree, so Help > Content works in a new folder.
        const QString guide = qEnvironmentVariable("KIVO_SOURCE_DIR") + u"/resources/help"_s;
        QCOMPARE(FileHash(m_shop + u"/Bin/help/index.html"_s), FileHash(guide + u"/index.html"_s));
        // Only the database: no work file, log or index of the engine is left beside it.
        QCOMPARE(QDir(m_shop).entryList(QDir::Files), QStringList { u"Kivo.Kvd"_s });
        QCOMPARE(
            AdminRows(m_shop,
                u"Select ULogin, (Select Count(*) From kaEnterprise), (Select Count(*) From ktProduct) From kaUser"_s),
            u"Chief\t1\t0"_s);

        const QString count = u"select count(*) from sqlite_master;"_s;
        const Outcome withoutKey = RunProgram(u"sqlcipher"_s, { Database(), count });
        QVERIFY(withoutKey.exitCode != 0 && withoutKey.out.trimmed().isEmpty());
        const QString key = u"PRAGMA key='%1'; "_s.arg(DatabasePassword());

        // With the key the plain shell reads the schema, but it lacks the text collation: it refuses
        // to compare text or to write into a text column's index, rather than read or build that
        // index in another order.
        const QByteArray before = FileHash(Database());
        for (const char* statement : { "select count(*) from kaUser where ULogin='chief';",
                 "insert into kmGroup (GName) values ('Other');" }) {
            const Outcome run
                = RunProgram(u"sqlcipher"_s, { Database(), key + QLatin1StringView(statement) });
            QVERIFY2(run.exitCode != 0 && run.err.contains(u"no such collation sequence: KIVOCASE"_s),
                qPrintable(run.err));
        }
        QCOMPARE(FileHash(Database()), before);
    }

    // One command on a shop in a given state: exit status, standard output exactly, and on
    // standard error the reason. A query prints its header and rows; a statement the database
    // refuses, a database that cannot be read, a report asked for wrongly and wrong arguments
    // are one line on stderr (a report's reason among its lines), and a refusal leaves the database as it was
    // and writes no file. The check lists the products breaking the stock formula. SHOP is a demo shop with a
    // Doc folder, DEMO the demo shop with the test's report templates, PDF a file in the test's folder.
    void command_data()
    {
        QTest::addColumn<QString>(
            "setup"); // missing, foreign, damaged, empty (SHOP/empty made), or an update
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // contained in the one line on stderr; empty: none
        const QString ok = u"integrity: ok\nstock: ok (50 products)\n"_s;
        const QString broken = u"integrity: ok\nstock: 1 product breaks PCloseQty = POpenQty + PPurchQty - "
                               "PSaleQty\nEId\tPCode\tPOpenQty\tPPurchQty\tPSaleQty\tPCloseQty\n7\tP1007\t"_s;
        Row("header and rows in order", "",
            Sql("Select Top 2 PCode, PName, PSaleRate * 2 As Twice From ktProduct Order By PCode"), 0,
            u"PCode\tPName\tTwice\nP1001\tBasmati Rice 5kg\t23.9\nP1002\tWhole Wheat Flour 2kg\t5.98\n"_s);
        Row("tab and backslash kept on one line", "", Sql("Select 'a' + Char(9) + 'b\\c' As T"), 0,
            u"T\na\\tb\\\\c\n"_s);
        Row("two statements", "", Sql("Delete From kmPaytype; Delete From kmAccount"), 1, {},
            u"kivo-admin: "_s);
        Row("column rule", "", Sql("Update ktProduct Set POpenQty=2.7 Where EId=1"), 1, {},
            u"kivo-admin: Column POpenQty of table ktProduct takes a whole number from -2147483648 to "
            "2147483647; the value was refused\n"_s);
        const QStringList check { u"check"_s, u"SHOP"_s };
        Row("closing off by one", "POpenQty=10, PPurchQty=5, PSaleQty=3, PCloseQty=13", check, 1,
            broken + u"10\t5\t3\t13\n"_s);
        Row("empty closing with stock", "POpenQty=4, PPurchQty=0, PSaleQty=0, PCloseQty=Null", check, 1,
            broken + u"4\t0\t0\t\n"_s);
        Row("empty opening counts as none", "POpenQty=Null, PPurchQty=5, PSaleQty=3, PCloseQty=2", check, 0,
            ok);
        Row("sold below nothing, in step", "POpenQty=2, PPurchQty=0, PSaleQty=5, PCloseQty=-3", check, 0, ok);
        Row("no database", "missing", check, 1, {}, u"was not found"_s);
        Row("foreign file", "foreign", Sql("Select Count(*) From kaUser"), 1, {}, u"does not open it"_s);
        Row("overwritten page, query", "damaged", Sql("Select Count(*) From kaUser"), 1, {}, u"malformed"_s);
        Row("overwritten page, check", "damaged", check, 1, {}, u"malformed"_s);
        Refused("negative", "generate SHOP --products -5", 2,
            "--products needs a whole number from 0 to 10000000, not '-5'");
        Refused(
            "init over a database", "init SHOP --demo", 2, "already exists; init never replaces a database");
        Refused("init with a bad day", "init SHOP/new --today tomorrow", 2,
            "kivo-admin: --today needs a date written YYYY-MM-DD, not 'tomorrow'");
        Refused("folder missing", "generate SHOP/nowhere", 2, "kivo-admin: the folder '");
        Refused("no database to generate into", "generate SHOP/Doc", 2,
            "was not found; set the folder up with kivo-admin init");
        Refused("bills without products", "generate SHOP/empty --bills 5", 2,
            "kivo-admin: bills need products", "empty");
        Refused("password too long", "password SHOP Chief elevenchars", 2,
            "kivo-admin: a password or access code has 1 to 10 characters");
        Refused("unknown option", "generate SHOP --items 5", 2, "Usage:");
        Refused("separator code", "report DEMO 47 --pdf PDF", 1, "47 is no report code");
        Refused("code not a number", "report DEMO abc --pdf PDF", 1, "abc is no report code");
        Refused("no such day", "report DEMO 69 --from 2026-02-30 --pdf PDF", 1, "not a date");
        Refused("value on a date report", "report DEMO 69 --value 3 --pdf PDF", 1, "--from and --to");
        Refused("dates on a listing", "report DEMO 41 --from 2026-03-01 --pdf PDF", 1, "--value");
        Row("bill id not a number", "",
            { u"report"_s, u"DEMO"_s, u"56"_s, u"--value"_s, u"1 Or 1=1"_s, u"--pdf"_s, u"PDF"_s }, 1, {},
            u"Invalid Criteria !"_s);
        Refused("report option unknown", "report DEMO 41 --colour red --pdf PDF", 1, "unknown option");
        Refused("no pdf", "report DEMO 41", 1, "--pdf FILE");
        // The last row: no row after it reports 42.
        Refused("template missing", "report DEMO 42 --pdf PDF", 1, "KiPro42.Kvr", "no KiPro42");
    }
    void command()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        const QString pdf = m_dir->filePath(u"out.pdf"_s);
        QVERIFY(QDir().mkpath(m_shop + u"/Doc"_s));
        QFile file(Database());
        if (setup == u"foreign")
            QVERIFY(file.open(QIODevice::WriteOnly)
                && file.write(QByteArray("Product list\tnot a database\n").repeated(400)) > 0);
        else if (setup != u"missing")
            MakeDemoShop();
        if (setup == u"damaged")
            QVERIFY(
                file.open(QIODevice::ReadWrite) && file.seek(30000) && file.write(QByteArray(64, 'x')) == 64);
        file.close();
        if (setup == u"empty")
            QCOMPARE(Admin({ u"init"_s, m_shop + u"/empty"_s }).exitCode, 0);
        if (setup == u"no KiPro42")
            QFile::remove(DemoTemplate() + u"/Bin/KiPro42.Kvr"_s);
        if (setup.contains(u'='))
            QCOMPARE(Sql(m_shop, u"Update ktProduct Set %1 Where PCode='P1007'"_s.arg(setup)).out,
                u"1 rows affected\n"_s);
        const QByteArray before = FileHash(Database()) + FileHash(m_shop + u"/empty/Kivo.Kvd"_s);
        for (QString& argument : arguments)
            argument.replace(u"SHOP"_s, m_shop).replace(u"DEMO"_s, DemoTemplate()).replace(u"PDF"_s, pdf);
        const Outcome run = Admin(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QTEST(run.out, "out");
        QVERIFY2(err == u"Usage:" ? run.err.startsWith(err) : run.err.contains(err), qPrintable(run.err));
        // A report may say more: the PDF writer's note on the runtime folder, what was not made.
        QVERIFY2(err == u"Usage:" || arguments[0] == u"report"
                || (err.isEmpty() ? run.err.isEmpty()
                                  : run.err.startsWith(u"kivo-admin: "_s) && run.err.count(u'\n') == 1),
            qPrintable(run.err));
        if (exitCode != 0 && (setup.isEmpty() || setup == u"empty"))
            QCOMPARE(FileHash(Database()) + FileHash(m_shop + u"/empty/Kivo.Kvd"_s), before);
        QVERIFY(!QFile::exists(pdf) && !QFileInfo::exists(m_shop + u"/new"_s));
    }

    // Generated months on top of a shop keep its rules; each statement counts the rows breaking
    // one: the stock formula and the stock moves as the document lines, the line amounts, each
    // bill the sum of its lines, the bill totals, and every reference there.
    void generatedShopKeepsTheRules()
    {
        QStringList broken;
        for (const char* rows :
            { "ktProduct p Where PCloseQty <> POpenQty + PPurchQty - PSaleQty Or PCloseQty < 0 Or PSaleQty "
              "<> "
              "(Select IfNull(Sum(BQty), 0) From ktBillDetl Where BPId = p.PCode) Or PPurchQty <> "
              "(Select IfNull(Sum(PQty), 0) From ktPurcDetl Where PPId = p.PCode)",
                "ktBillDetl Where Abs(BValue - BRate * BQty) > 0.005 Or Abs(BGross - (BValue - BSaving)) > "
                "0.005 Or BSaving < 0",
                "ktBillMast b Where Abs(BGross - (Select Sum(BGross) From ktBillDetl d Where d.EId = b.EId)) "
                "> 0.005 Or BItems <> (Select Sum(BQty) From ktBillDetl d Where d.EId = b.EId)",
                "ktBillMast Where Abs(BTotal - (BGross - BDiscount)) > 0.005 Or Abs(BNett - (BTotal + BTax1 "
                "+ BTax2)) > 0.005 Or Abs(BReturn - (BCash + BCredit + BOther + BMisc - BNett)) > 0.005",
                "ktBillMast Where BCId Not In (Select EId From ktCustomer) Or BUId Not In (Select EId From "
                "kaUser)",
                "ktBillDetl Where BPId Not In (Select PCode From ktProduct)",
                "ktPurcMast Where PSId Not In (Select EId From ktSupplier)" })
            broken << QString::number(
                CountOf(Generated(), u"Select Count(*) From "_s + QLatin1StringView(rows)));
        QCOMPARE(broken.join(u' '), u"0 0 0 0 0 0 0"_s);
    }

    // The day's sales between two dates: the days and the nett sum as the bills hold them.
    void reportSalesBetweenDates()
    {
        const QString pdf = m_dir->filePath(u"69.pdf"_s);
        QCOMPARE(Admin({ u"report"_s, DemoTemplate(), u"69"_s, u"--from"_s, u"2026-02-01"_s, u"--to"_s,
                           u"2026-02-28"_s, u"--pdf"_s, pdf })
                     .exitCode,
            0);
        const QString text = PdfText(pdf);
        const QString range = u" From ktBillMast Where EDate Between #02/01/2026# And #02/28/2026#"_s;
        const double nett = AdminRows(DemoTemplate(), u"Select Sum(BNett)"_s + range).toDouble();
        const int days = AdminRows(DemoTemplate(), u"Select Count(Distinct EDate)"_s + range).toInt();
        QVERIFY(days > 0);
        QVERIFY2(text.contains(QString::number(nett, 'f', 2)), qPrintable(text.right(300)));
        QVERIFY(text.contains(u"days %1"_s.arg(days)));
        QVERIFY(!text.contains(u"2026-01-31"_s) && !text.contains(u"2026-03-01"_s));
    }

    // A log that a copy of another database file left beside this one (a backup put over the
    // database after a copy was killed) is set aside with a message, never replayed onto it;
    // every command opens the database the same way, the report command through its own call.
    // The report made afterwards is whole.
    void foreignLogIsSetAside()
    {
        MakeDemoShop();
        const QString lines = u"Select Count(*) From ktBillDetl"_s;
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
        QVERIFY(lock.open(QIODevice::WriteOnly) && lock.write("1:2:3:4.5\n") > 0);
        lock.close();

        QVERIFY(QDir(m_shop).mkpath(u"Bin"_s)
            && QFile::copy(DemoTemplate() + u"/Bin/KiPro41.Kvr"_s, m_shop + u"/Bin/KiPro41.Kvr"_s));
        const QString pdf = m_dir->filePath(u"41.pdf"_s);
        const Outcome run = Admin({ u"report"_s, m_shop, u"41"_s, u"--pdf"_s, pdf, u"--value"_s, u"2"_s });
        QCOMPARE(run.exitCode, 0);
        // Said first; the report's PDF writer may note the platform's missing runtime folder
        // before it, and the report says it was exported after it.
        const QString err = QString(run.err).remove(QRegularExpression(u"^QStandardPaths:[^\n]*\n"_s));
        QCOMPARE(err,
            u"kivo-admin: the log %1-wal was left by a copy of another database file; it was set aside as "
            "%1-wal.foreign and not replayed\nkivo-admin: Report Exported !\n"_s.arg(
                QFileInfo(Database()).absoluteFilePath()));
        QVERIFY(QFileInfo::exists(Database() + u"-wal.foreign"_s) && !lock.exists());
        QCOMPARE(CountOf(m_shop, lines), before);
        QCOMPARE(Admin({ u"check"_s, m_shop }).out.section(u'\n', 0, 0), u"integrity: ok"_s);

        // The report is the listing of group 2: its products and no others, the group named in
        // the filter.
        const QString text = PdfText(pdf);
        const QStringList codes
            = AdminRows(m_shop, u"Select PCode From ktProduct Where PGId=2"_s).split(u'\n');
        for (const QString& code : codes)
            QVERIFY2(text.contains(code), qPrintable(code));
        QVERIFY(text.contains(u"rows %1"_s.arg(codes.size())));
        const QString name = AdminRows(m_shop, u"Select GName From kmGroup Where EId=2"_s);
        QVERIFY2(text.contains(u"Filter: 2- "_s + name), qPrintable(text.left(200)));
        for (const QString& code :
            AdminRows(m_shop, u"Select PCode From ktProduct Where PGId<>2"_s).split(u'\n'))
            QVERIFY2(!text.contains(code + u'\n') && !text.contains(code + u' '), qPrintable(code));
    }

    // A shop that forgot its passwords sets new ones; they are stored as hashes and the real
    // program takes them: the password in any letter case, the access code only as set.
    void passwordsSetFromTheCommandLine()
    {
        MakeDemoShop();
        QCOMPARE(Admin({ u"password"_s, m_shop, u"chief"_s, u"Nü-Pass"_s }).out, u"Password set\n"_s);
        QCOMPARE(
            Admin({ u"password"_s, m_shop, u"--access-code"_s, u"Open-Up"_s }).out, u"Access code set\n"_s);
        const Outcome nobody = Admin({ u"password"_s, m_shop, u"nobody"_s, u"x"_s });
        QCOMPARE(QString::number(nobody.exitCode) + nobody.err,
            u"1kivo-admin: no user with the login 'nobody'\n"_s);
        const QString stored = Sql(
            m_shop, u"Select UPasscd + '|' + (Select EPasscd From kaEnterprise) From kaUser Where EId=1"_s)
                                   .out.section(u'\n', 1, 1);
        QVERIFY2(stored.startsWith(u"pbkdf2-sha256$"_s) && stored.contains(u"|pbkdf2-sha256$"_s)
                && !stored.contains(u"Pass"_s) && !stored.contains(u"Open"_s),
            qPrintable(stored));

        const QByteArray script
            = "window Login\nfocus txtField(0)\ntype Chief\nkey Return\nfocus txtField(1)\n"
              "type kivo\nkey Return\nmessage Invalid Login/Password !\nanswer OK\n"
            + ScriptedProgram::Login(u"CHIEF"_s, u"nÜ-pASS"_s)
            + "menu Master/Group\nwindow Group\nkey Ctrl+M\nwindow Access Code...\ntype open-up\nkey Return\n"
              "message [InvaliD]\nanswer OK\nwindow Group\nkey Ctrl+M\nwindow Access Code...\ntype Open-Up\n"
              "key Return\nmenu Operation/Cancel\ncheckpoint granted\n";
        // Cancel is offered only while a record is edited: the access code let Modify go on.
        ScriptedProgram program(m_dir->path(), m_shop, script);
        QVERIFY(program.Checkpoint(u"granted"_s));
        program.Kill();
    }

    // The database password is put together at run time: no run of text in the programs or the
    // library that builds it, 8-bit or 16-bit, holds it.
    void databasePasswordIsNoTextOfThePrograms()
    {
        const QString binary = qEnvironmentVariable("KIVO_BINARY_DIR");
        for (const QString& file : QStringList {
                 binary + u"/src/kivo"_s, AdminProgram(), binary + u"/src/database/libkivo_database.a"_s }) {
            for (const QStringList& options :
                { QStringList { u"-a"_s }, QStringList { u"-a"_s, u"-el"_s } }) {
                const Outcome run = RunProgram(u"strings"_s, options + QStringList { file });
                QVERIFY2(run.exitCode == 0 && run.out.size() > 100, qPrintable(file + run.err));
                QVERIFY2(!run.out.contains(DatabasePassword()), qPrintable(file + u' ' + options.join(u' ')));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestKivoAdmin)
#include "tst_kivoadmin.moc"
