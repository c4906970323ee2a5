#include "Connection.h"
#include "DatabasePassword.h"
#include "DbError.h"
#include "TempDatabase.h"

#include <memory>
#include <QFile>
#include <QTest>
#include <sqlite3.h>

using namespace kivo;
using namespace Qt::StringLiterals;
using kivo::test::TempDatabase;

class TestConnection : public QObject {
    Q_OBJECT
    std::unique_ptr<TempDatabase> m_users; // the Chief, O'Brien and a clerk, made once

private slots:
    // The file on disk is encrypted; a wrong key is reported, not a crash, and the right one opens.
    void encryptedAndKeyed()
    {
        TempDatabase db;
        db.connection().Close();
        QFile file(db.file());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.read(64).startsWith("SQLite format 3"));
        QVERIFY(!file.readAll().contains("Chief"));
        Connection other;
        try {
            other.Open(db.file(), u"wrong1"_s);
            QFAIL("a wrong key must not open the database");
        } catch (const DbError& e) {
            QCOMPARE(e.number, DbErrorNumber::WrongKeyOrDamaged);
        }
        QVERIFY(!other.IsOpen());
        other.Open(db.file(), DatabasePassword());
        QCOMPARE(other.Scalar(u"Select Count(*) From kaUser"_s).toInt(), 1);
    }

    // Statements that differ only in literals share one cached statement with the literals
    // bound; each must still give its own answer, and literals that change what a statement
    // means (column names, ordinals) stay as written.
    void cachedStatementsKeepMeaning_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QVariant>("expected");

        QTest::newRow("text literal") << u"Select EId From kaUser Where ULogin='O''Brien'"_s << QVariant(2LL);
        QTest::newRow("number literal") << u"Select ULogin From kaUser Where EId=3"_s << QVariant(u"clerk"_s);
        QTest::newRow("order by ordinal")
            << u"Select EId, ULogin From kaUser Order By 2 Desc"_s << QVariant(2LL);
        QTest::newRow("date literal")
            << u"Select Count(*) From kaUser Where EDate=#03/06/2026#"_s << QVariant(1LL);
        QTest::newRow("stand-in character in a literal")
            << u"Select Count(*) From kaUser Where ULogin='\uE000'"_s << QVariant(0LL);
    }
    void cachedStatementsKeepMeaning()
    {
        QFETCH(QString, statement);
        if (!m_users) {
            m_users = std::make_unique<TempDatabase>();
            const QString user = u"Insert Into kaUser (EId, EDate, ULogin) Values (?, ?, ?)"_s;
            m_users->connection().Execute(user, { 2, QDate(2026, 3, 6), u"O'Brien"_s });
            m_users->connection().Execute(user, { 3, QDate(2026, 3, 5), u"clerk"_s });
        }
        // Twice, so the second answer comes from the cached statement and translation.
        QTEST(m_users->connection().Scalar(statement), "expected");
        QTEST(m_users->connection().Scalar(statement), "expected");
    }

    // A cached statement still lent out (a recordset reading while another asks the same)
    // gets a second copy; more statements than the cache holds still run; a statement
    // comes back reset, so the next use starts from its first row.
    void statementCacheLendsAndReturns()
    {
        TempDatabase db;
        Connection& c = db.connection();
        const QString sql = u"SELECT EId FROM kaUser"_s;
        {
            CachedStatement outer = c.Statement(sql);
            QCOMPARE(sqlite3_step(outer.get()), SQLITE_ROW);
            CachedStatement inner = c.Statement(sql);
            QVERIFY(inner.get() != outer.get());
            QCOMPARE(sqlite3_step(inner.get()), SQLITE_ROW);
        }
        for (int i = 0; i < 100; ++i)
            QCOMPARE(c.Scalar(u"Select %1 + EId From kaUser"_s.arg(i)).toInt(), i + 1);
        CachedStatement again = c.Statement(sql);
        QCOMPARE(sqlite3_step(again.get()), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int64(again.get(), 0), 1);
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
