#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "PasswordHash.h"
#include "ProgramRun.h"
#include "Schema.h"
#include "TempDatabase.h"

#include <algorithm>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

// How a file of an earlier build differs beyond its old column types.
enum class Flaw { None, RuleBroken, UnknownColumn, LaterBuild };

// A database as the first builds wrote it: no layout version, no column rules or defaults,
// ASCII-only case folding, no coupon table, the customer table without its email column, only
// the product code index, and passwords and the access code stored as typed, ten characters wide.
void MakeOldFile(const QString& path, Flaw flaw)
{
    Connection connection;
    connection.Open(path, DatabasePassword(), Connection::OpenMode::Create);
    for (const TableDef& table : Schema::Tables()) {
        if (table.name == u"ktCoupon")
            continue;
        QStringList columns;
        for (size_t i = 0; i < table.columns.size(); ++i) {
            const ColumnDef& column = table.columns[i];
            if (table.name == u"ktCustomer" && column.name == u"CEmail")
                continue;
            QString type = column.kind == ColumnKind::Long ? u"INTEGER"_s
                : column.kind == ColumnKind::Number        ? u"REAL"_s
                : column.kind == ColumnKind::Date
                ? u"DATE"_s
                : u"TEXT(%1) COLLATE NOCASE"_s.arg(column.name.endsWith(u"Passcd"_s) ? 10 : column.width);
            if (i == 0 && table.master)
                type = u"INTEGER PRIMARY KEY AUTOINCREMENT"_s;
            columns << column.name + u' ' + type;
        }
        if (flaw == Flaw::UnknownColumn && table.name == u"ktProduct")
            columns << u"PColour TEXT(10)"_s;
        connection.ExecuteRaw(u"CREATE TABLE %1 (%2)"_s.arg(table.name, columns.join(u", "_s)));
    }
    connection.ExecuteRaw(u"CREATE INDEX ix_ktProduct_PCode ON ktProduct (PCode)"_s);
    const QString code = flaw == Flaw::RuleBroken ? u"P1-far-too-long-for-its-column"_s : u"P1"_s;
    connection.ExecuteRaw(
        u"INSERT INTO ktProduct (EId, EDate, PCode, PName, PSaleRate, POpenQty) VALUES "
        "(1, '2025-01-02', '%1', 'Tea', 2.5, 4), (2, '2025-01-03', 'P2', 'Rice', 1.25, NULL), "
        "(3, '2025-01-04', 'P3', 'Salt', 0.5, 1); DELETE FROM ktProduct WHERE EId = 3;"
        "INSERT INTO ktCustomer (CName, CPhone, CCode) VALUES ('Ann', '5550101', 'C1');"
        "INSERT INTO kmGroup (GName) VALUES ('Åsa');"
        "INSERT INTO kaUser (ULogin, UPasscd) VALUES ('Chief', 'Åsa-Pw'), ('sue', '');"
        "INSERT INTO kaEnterprise (EPasscd) VALUES ('Open-Up');"
        "INSERT INTO ktBillDetl (rowid, EId, BPId, BQty) VALUES (10, 1, 'P1', 2), "
        "(20, 1, 'P2', 1), (30, 2, 'P1', 5)"_s.arg(code));
    if (flaw == Flaw::LaterBuild)
        connection.ExecuteRaw(u"PRAGMA user_version = %1"_s.arg(Schema::Version + 1));
}

QStringList Column(Connection& connection, const QString& engineSql)
{
    QStringList values;
    StatementHandle statement = connection.Prepare(engineSql);
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(statement.get()); ++c)
            row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), c)));
        values << row.join(u'|');
    }
    return values;
}

QStringList Layout(Connection& connection)
{
    return Column(connection,
        u"SELECT type, name, sql FROM sqlite_master WHERE name NOT LIKE 'sqlite%' ORDER BY type, name"_s);
}

// The rows of the tables the old file has rows in, by their row ids, in the old columns.
QStringList Rows(Connection& connection)
{
    return Column(connection, u"SELECT rowid, EId, EDate, PCode, PName, PSaleRate, POpenQty FROM ktProduct"_s)
        + Column(connection, u"SELECT rowid, CName, CPhone, CCode FROM ktCustomer"_s)
        + Column(connection, u"SELECT rowid, EId, BPId, BQty FROM ktBillDetl ORDER BY rowid"_s);
}

int UserVersion(Connection& connection)
{
    return Column(connection, u"PRAGMA user_version"_s).value(0).toInt();
}

// The layout each version of the file had, as a digest of what a fresh database holds. A
// version is recorded here when it is raised, and never changed afterwards: a file of that
// version out in a shop has exactly that layout.
struct RecordedLayout {
    int version;
    const char* digest;
};
constexpr RecordedLayout RecordedLayouts[] = {
    { 1, "a66bbdeacecfb71b3aaca846088fe09d9021cd20595f77770595858f1e952092" },
    { 2, "7069911a174a8201809711cbdef740ca3fe47d87ee5e58373925399789704c2d" },
};

// Every table, index and trigger of a freshly made database, in name order, as the engine
// keeps their statements: what an upgrade must bring an older file to.
QByteArray LayoutDigest(Connection& connection)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    StatementHandle rows
        = connection.Prepare(u"SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name"_s);
    while (sqlite3_step(rows.get()) == SQLITE_ROW) {
        for (int c = 0; c < 4; ++c) {
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), c));
            hash.addData(QByteArrayView(text ? text : "", sqlite3_column_bytes(rows.get(), c)));
            hash.addData("\x1f");
        }
        hash.addData("\n");
    }
    return hash.result().toHex();
}

} // namespace

class TestSchemaUpgrade : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_oldFile; // made once, copied for each test
    QStringList m_freshLayout;

    QString Copy(const QString& name)
    {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        const QString file = QDir(folder).filePath(u"Kivo.Kvd"_s);
        if (!QFile::copy(m_oldFile, file))
            qFatal("cannot copy the old database");
        return file;
    }

private slots:
    void initTestCase()
    {
        m_oldFile = m_dir.filePath(u"old.Kvd"_s);
        MakeOldFile(m_oldFile, Flaw::None);
        kivo::test::TempDatabase fresh;
        m_freshLayout = Layout(fresh.connection());
        QCOMPARE(UserVersion(fresh.connection()), Schema::Version);
    }

    // A changed table, column rule or index without a new version would leave every shop's
    // existing file in the old layout, since the upgrade only runs for an older version.
    void layoutChangeRaisesVersion()
    {
        kivo::test::TempDatabase database;
        const QByteArray digest = LayoutDigest(database.connection());
        const auto recorded = std::find_if(std::begin(RecordedLayouts), std::end(RecordedLayouts),
            [](const RecordedLayout& layout) { return layout.version == Schema::Version; });
        if (recorded == std::end(RecordedLayouts) || digest != recorded->digest)
            QFAIL(
                qPrintable(u"The layout of a new file is not the one recorded for Schema::Version %1: raise "
                           "the version in src/database/Schema.h if the tables or indexes changed, make "
                           "Schema::Upgrade bring an older file to the new layout, and record its digest "
                           "%2 in tests/database/tst_schemaupgrade.cpp"_s.arg(Schema::Version)
                               .arg(QString::fromLatin1(digest))));
    }

    void oldFileTakesTheNewLayoutAndKeepsItsRows()
    {
        Connection connection;
        connection.Open(Copy(u"upgrade"_s), DatabasePassword());
        const QStringList before = Rows(connection);
        Schema::Upgrade(connection);
        QCOMPARE(Layout(connection), m_freshLayout);
        QCOMPARE(UserVersion(connection), Schema::Version);
        QCOMPARE(Rows(connection), before);
        QCOMPARE(Column(connection, u"PRAGMA integrity_check"_s), QStringList { u"ok"_s });

        // The id of the deleted product is not handed out again; the rules and the folding
        // of every letter hold on the rows carried over.
        connection.Execute(u"Insert Into ktProduct (EDate, PCode) Values (#01/05/2025#, 'P4')"_s);
        QCOMPARE(connection.LastInsertId(), 4);
        QVERIFY_THROWS_EXCEPTION(
            DbError, connection.Execute(u"Update ktProduct Set PCode = 'abcdefghijklmnopqrstuvwxyz'"_s));
        QCOMPARE(connection.Scalar(u"Select Count(*) From kmGroup Where GName = 'åSA'"_s).toInt(), 1);

        // Passwords and the access code are hashed: the password opens in any letter case, the
        // access code only as it was; no password stays none.
        const QStringList secrets = Column(
            connection, u"SELECT UPasscd, (SELECT EPasscd FROM kaEnterprise) FROM kaUser ORDER BY EId"_s);
        QCOMPARE(secrets.size(), 2);
        const QString password = secrets[0].section(u'|', 0, 0);
        const QString code = secrets[0].section(u'|', 1);
        QVERIFY(PasswordHash::IsHash(password) && PasswordHash::IsHash(code));
        QVERIFY(PasswordHash::Matches(u"åSA-pW"_s, password, PasswordHash::LetterCase::Ignore));
        QVERIFY(PasswordHash::Matches(u"Open-Up"_s, code, PasswordHash::LetterCase::Keep));
        QVERIFY(!PasswordHash::Matches(u"open-up"_s, code, PasswordHash::LetterCase::Keep));
        QCOMPARE(secrets[1].section(u'|', 0, 0), QString());

        // Opened again, an upgraded file is left alone.
        const int changes = sqlite3_total_changes(connection.Handle());
        Schema::Upgrade(connection);
        QCOMPARE(sqlite3_total_changes(connection.Handle()), changes);
    }

    void refusedUpgradeLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<int>("flaw");
        QTest::addColumn<QString>("named");
        QTest::newRow("a row breaks a rule") << int(Flaw::RuleBroken) << u"PCode"_s;
        QTest::newRow("a column of a later build") << int(Flaw::UnknownColumn) << u"PColour"_s;
        QTest::newRow("the file of a later build") << int(Flaw::LaterBuild) << u"later"_s;
    }
    void refusedUpgradeLeavesTheFileAsItWas()
    {
        QFETCH(int, flaw);
        QFETCH(QString, named);
        const QString file = m_dir.filePath(u"flawed-%1.Kvd"_s.arg(flaw));
        MakeOldFile(file, Flaw(flaw));
        Connection connection;
        connection.Open(file, DatabasePassword());
        const QStringList layout = Layout(connection);
        const QStringList rows = Rows(connection);
        const int version = UserVersion(connection);
        try {
            Schema::Upgrade(connection);
            QFAIL("the upgrade went through");
        } catch (const DbError& error) {
            QVERIFY2(error.description.contains(named), qPrintable(error.description));
        }
        QCOMPARE(Layout(connection), layout);
        QCOMPARE(Rows(connection), rows);
        QCOMPARE(UserVersion(connection), version);
    }

    // kivo-admin, like the program, upgrades the file it opens before it works on it.
    void adminUpgradesTheFileItOpens()
    {
        const QString file = Copy(u"admin"_s);
        const kivo::test::Outcome run = kivo::test::Admin({ u"sql"_s, QFileInfo(file).path(),
            u"Select CEmail From ktCustomer Where CPhone = '5550101'"_s });
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        Connection connection;
        connection.Open(file, DatabasePassword());
        QCOMPARE(Layout(connection), m_freshLayout);
    }
};

QTEST_GUILESS_MAIN(TestSchemaUpgrade)
#include "tst_schemaupgrade.moc"
