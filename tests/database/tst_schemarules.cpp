#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "Recordset.h"
#include "TempDatabase.h"

#include <memory>
#include <QTest>
#include <sqlite3.h>

using namespace kivo;
using kivo::test::TempDatabase;

// What the schema itself guarantees on a database file, whoever writes to it: text compares
// without regard to case for every letter, and each column refuses what its kind cannot hold.
class TestSchemaRules : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;
    // A second connection to the same file, opened after the rows were written: the
    // collation and like() must be there on every connection, not only on the one that
    // created the file.
    std::unique_ptr<Connection> m_reader;

    Connection& Db() { return m_db->connection(); }

    static QString S(const char* utf8) { return QString::fromUtf8(utf8); }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TempDatabase>();
        Transaction transaction(Db());
        for (const char* name : { "Zoë", "åke", "Åsa", "Émile", "éva", "bo", "ΣΟΦΙΑ", "Пётр" })
            Db().Execute(S("Insert Into kmGroup (GName) Values (?)"), { S(name) });
        Db().Execute(S("Insert Into kaUser (ULogin, UName) Values (?, ?)"), { S("ÅSA"), S("A%b_c") });
        transaction.Commit();
        m_reader = std::make_unique<Connection>();
        m_reader->Open(m_db->file(), DatabasePassword(), Connection::OpenMode::Existing);
    }
    void cleanupTestCase()
    {
        m_reader.reset();
        m_db.reset();
    }

    void caseFolding_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("count");
        // The uniqueness check a screen runs before saving a group or a user.
        QTest::newRow("group name, other case") << S("Select Count(*) From kmGroup Where GName='åsa'") << 1;
        QTest::newRow("login, other case") << S("Select Count(*) From kaUser Where ULogin='Åsa'") << 1;
        QTest::newRow("Greek") << S("Select Count(*) From kmGroup Where GName='σοφια'") << 1;
        QTest::newRow("Cyrillic") << S("Select Count(*) From kmGroup Where GName='ПЁТР'") << 1;
        QTest::newRow("an accent is not a case") << S("Select Count(*) From kmGroup Where GName='asa'") << 0;
        QTest::newRow("in a list") << S("Select Count(*) From kmGroup Where GName In ('ÉMILE', 'ÉVA')") << 2;
        QTest::newRow("distinct merges case") << S("Select Count(Distinct GName) From kmGroup Where GName "
                                                   "In ('Åsa', 'åsa', 'ÅSA')")
                                              << 1;
        QTest::newRow("Like, other case") << S("Select Count(*) From kmGroup Where GName Like 'ÅS%'") << 1;
        QTest::newRow("Like, one character is one letter")
            << S("Select Count(*) From kmGroup Where GName Like '_KE'") << 1;
        QTest::newRow("Like, inner run") << S("Select Count(*) From kmGroup Where GName Like '%o%'") << 2;
        QTest::newRow("Like, whole text only")
            << S("Select Count(*) From kmGroup Where GName Like 'zo'") << 0;
        QTest::newRow("Like with escape")
            << S("Select Count(*) From kaUser Where UName Like 'a!%B!_%' Escape '!'") << 1;
        QTest::newRow("Like, escaped percent is literal")
            << S("Select Count(*) From kaUser Where UName Like 'a!%c' Escape '!'") << 0;
        QTest::newRow("Like with Null") << S("Select Count(*) From kmGroup Where GName Like Null") << 0;
    }
    void caseFolding()
    {
        QFETCH(QString, statement);
        QFETCH(int, count);
        QCOMPARE(m_reader->Scalar(statement).toInt(), count);
    }

    // A screen's Find compares text the way the database does.
    void findFoldsCase()
    {
        Recordset users(*m_reader);
        users.Open(S("Select ULogin From kaUser Order By EId"));
        QVERIFY(users.Find(S("ULogin='åsa'")));
        QCOMPARE(users.Value(0).toString(), S("ÅSA"));
    }

    // Sorted by the folded letters, with its index read in the same order as it was built.
    void orderByFoldsCase()
    {
        const QStringList expected { S("bo"), S("Zoë"), S("åke"), S("Åsa"), S("Émile"), S("éva"), S("ΣΟΦΙΑ"),
            S("Пётр") };
        StatementHandle scan
            = m_reader->Prepare(S("Select GName From kmGroup Where GName <> '' Order By GName"));
        QStringList got;
        while (sqlite3_step(scan.get()) == SQLITE_ROW)
            got << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(scan.get(), 0)));
        QCOMPARE(got, expected);
        // A range read through the GName index finds exactly the names after "åke".
        QCOMPARE(m_reader->Scalar(S("Select Count(*) From kmGroup Where GName > 'ÅKE'")).toInt(), 5);
        QCOMPARE(m_reader->Scalar(S("PRAGMA integrity_check")).toString(), S("ok"));
    }

    void columnsRefuse_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("message"); // empty: the value is taken
        const QString text15 = S("Insert Into ktProduct (PCode) Values (?)");
        const QString longColumn = S("Insert Into ktProduct (POpenQty) Values (?)");
        const QString number = S("Insert Into ktProduct (PSaleRate) Values (?)");
        const QString date = S("Insert Into ktProduct (EDate) Values (?)");
        const QString flag = S("Insert Into ktProduct (PActive) Values (?)");
        const QString widthRule = S("Column PCode of table ktProduct takes text of at most 15 characters");
        const QString longRule = S("Column POpenQty of table ktProduct takes a whole number");
        const QString numberRule = S("Column PSaleRate of table ktProduct takes a number");
        const QString dateRule = S("Column EDate of table ktProduct takes a date written YYYY-MM-DD");
        QTest::newRow("26 characters") << text15 << QVariant(S("abcdefghijklmnopqrstuvwxyz")) << widthRule;
        QTest::newRow("15 emoji") << text15 << QVariant(S("😀").repeated(15)) << QString();
        QTest::newRow("16 emoji") << text15 << QVariant(S("😀").repeated(16)) << widthRule;
        QTest::newRow("long: text") << longColumn << QVariant(S("abc")) << longRule;
        QTest::newRow("long: fraction") << longColumn << QVariant(2.7) << longRule;
        QTest::newRow("long: beyond 32 bits") << longColumn << QVariant(qlonglong(1) << 31) << longRule;
        QTest::newRow("long: whole number as text") << longColumn << QVariant(S(" -12 ")) << QString();
        QTest::newRow("long: whole double") << longColumn << QVariant(3.0) << QString();
        QTest::newRow("number: text") << number << QVariant(S("12 kg")) << numberRule;
        QTest::newRow("number: two points") << number << QVariant(S("1.2.3")) << numberRule;
        QTest::newRow("number: empty text") << number << QVariant(S("")) << numberRule;
        QTest::newRow("number: decimal as text") << number << QVariant(S("-.5")) << QString();
        QTest::newRow("date: garbage") << date << QVariant(S("garbage")) << dateRule;
        QTest::newRow("date: 30 February") << date << QVariant(S("2026-02-30")) << dateRule;
        QTest::newRow("date: with a time") << date << QVariant(S("2026-02-03 10:00")) << dateRule;
        QTest::newRow("date: a number") << date << QVariant(20260203) << dateRule;
        QTest::newRow("date: 29 February of a leap year") << date << QVariant(S("2024-02-29")) << QString();
        QTest::newRow("flag: two characters")
            << flag << QVariant(S("YN"))
            << S("Column PActive of table ktProduct takes at most one character");
        QTest::newRow("null in each kind")
            << S("Insert Into ktProduct (PCode, POpenQty, PSaleRate, EDate, PActive) Values (?, ?, ?, ?, ?)")
            << QVariant() << QString();
        QTest::newRow("detail line, long id")
            << S("Insert Into ktBillDetl (EId, BPId) Values (?, 'P1')") << QVariant(S("x"))
            << S("Column EId of table ktBillDetl takes a whole number");
        QTest::newRow("update too") << S("Update kmGroup Set GName = ? Where EId = 1")
                                    << QVariant(S("eleven char")) << S("Column GName of table kmGroup");
    }
    void columnsRefuse()
    {
        QFETCH(QString, statement);
        QFETCH(QVariant, value);
        QFETCH(QString, message);
        Transaction transaction(Db()); // rolled back: every row starts from the same file
        const QVariantList values(statement.count(u'?'), value);
        try {
            QCOMPARE(Db().Execute(statement, values), 1);
            QVERIFY2(message.isEmpty(), "the value was taken");
        } catch (const DbError& e) {
            QVERIFY2(!message.isEmpty(), qPrintable(e.description));
            QVERIFY2(e.description.startsWith(message), qPrintable(e.description));
            QVERIFY2(e.description.endsWith(S("; the value was refused")), qPrintable(e.description));
        }
    }
};

QTEST_GUILESS_MAIN(TestSchemaRules)
#include "tst_schemarules.moc"
