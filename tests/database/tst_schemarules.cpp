#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "TempDatabase.h"

#include <memory>
#include <QTest>
#include <sqlite3.h>

using namespace kivo;
using namespace Qt::StringLiterals;
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

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TempDatabase>();
        Transaction transaction(Db());
        for (const char* name : { "Zoë", "åke", "Åsa", "Émile", "éva", "bo", "ΣΟΦΙΑ", "Пётр" })
            Db().Execute(u"Insert Into kmGroup (GName) Values (?)"_s, { QString::fromUtf8(name) });
        Db().Execute(u"Insert Into kaUser (ULogin, UName) Values (?, ?)"_s, { u"ÅSA"_s, u"A%b_c"_s });
        transaction.Commit();
        m_reader = std::make_unique<Connection>();
        m_reader->Open(m_db->file(), DatabasePassword(), Connection::OpenMode::Existing);
    }

    void caseFolding_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("count");
        // The uniqueness check a screen runs before saving a group or a user.
        QTest::newRow("group name, other case") << u"Select Count(*) From kmGroup Where GName='åsa'"_s << 1;
        QTest::newRow("an accent is not a case") << u"Select Count(*) From kmGroup Where GName='asa'"_s << 0;
        QTest::newRow("distinct merges case") << u"Select Count(Distinct GName) From kmGroup Where GName "
                                                 "In ('Åsa', 'åsa', 'ÅSA')"_s
                                              << 1;
    }
    void caseFolding()
    {
        QFETCH(QString, statement);
        QFETCH(int, count);
        QCOMPARE(m_reader->Scalar(statement).toInt(), count);
    }

    // Sorted by the folded letters, with its index read in the same order as it was built.
    void orderByFoldsCase()
    {
        const QStringList expected { u"bo"_s, u"Zoë"_s, u"åke"_s, u"Åsa"_s, u"Émile"_s, u"éva"_s, u"ΣΟΦΙΑ"_s,
            u"Пётр"_s };
        StatementHandle scan
            = m_reader->Prepare(u"Select GName From kmGroup Where GName <> '' Order By GName"_s);
        QStringList got;
        while (sqlite3_step(scan.get()) == SQLITE_ROW)
            got << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(scan.get(), 0)));
        QCOMPARE(got, expected);
        // A range read through the GName index finds exactly the names after "åke".
        QCOMPARE(m_reader->Scalar(u"Select Count(*) From kmGroup Where GName > 'ÅKE'"_s).toInt(), 5);
        QCOMPARE(m_reader->Scalar(u"PRAGMA integrity_check"_s).toString(), u"ok"_s);
    }

    void columnsRefuse_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("message"); // empty: the value is taken
        const QString text15 = u"Insert Into ktProduct (PCode) Values (?)"_s;
        const QString longColumn = u"Insert Into ktProduct (POpenQty) Values (?)"_s;
        const QString number = u"Insert Into ktProduct (PSaleRate) Values (?)"_s;
        const QString date = u"Insert Into ktProduct (EDate) Values (?)"_s;
        const QString flag = u"Insert Into ktProduct (PActive) Values (?)"_s;
        const QString widthRule = u"Column PCode of table ktProduct takes text of at most 15 characters"_s;
        const QString longRule = u"Column POpenQty of table ktProduct takes a whole number"_s;
        const QString numberRule = u"Column PSaleRate of table ktProduct takes a number"_s;
        const QString dateRule = u"Column EDate of table ktProduct takes a date written YYYY-MM-DD"_s;
        QTest::newRow("15 emoji") << text15 << QVariant(u"😀"_s.repeated(15)) << QString();
        QTest::newRow("16 emoji") << text15 << QVariant(u"😀"_s.repeated(16)) << widthRule;
        QTest::newRow("long: fraction") << longColumn << QVariant(2.7) << longRule;
        QTest::newRow("long: beyond 32 bits") << longColumn << QVariant(qlonglong(1) << 31) << longRule;
        QTest::newRow("number: text") << number << QVariant(u"12 kg"_s) << numberRule;
        QTest::newRow("number: decimal as text") << number << QVariant(u"-.5"_s) << QString();
        QTest::newRow("date: 30 February") << date << QVariant(u"2026-02-30"_s) << dateRule;
        QTest::newRow("flag: two characters")
            << flag << QVariant(u"YN"_s)
            << u"Column PActive of table ktProduct takes at most one character"_s;
        QTest::newRow("null in each kind")
            << u"Insert Into ktProduct (PCode, POpenQty, PSaleRate, EDate, PActive) Values (?, ?, ?, ?, ?)"_s
            << QVariant() << QString();
        QTest::newRow("detail line, long id")
            << u"Insert Into ktBillDetl (EId, BPId) Values (?, 'P1')"_s << QVariant(u"x"_s)
            << u"Column EId of table ktBillDetl takes a whole number"_s;
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
            QVERIFY2(e.description.endsWith(u"; the value was refused"_s), qPrintable(e.description));
        }
    }
};

QTEST_GUILESS_MAIN(TestSchemaRules)
#include "tst_schemarules.moc"
