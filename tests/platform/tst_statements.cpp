#include "Connection.h"
#include "DbError.h"
#include "SeedData.h"
#include "TempDatabase.h"

#include <algorithm>
#include <QFile>
#include <QTest>
#include <sqlite3.h>
#include <vector>

using namespace kivo;
using namespace Qt::StringLiterals;

namespace {

// One statement of data/statements.txt with what it must return (the file's head describes
// each key).
struct Entry {
    QString name;
    QString sql;
    int changes = -1; // >= 0: a command that changes that many rows
    QString check; // the query read after a command
    QStringList columns;
    int fields = -1;
    int rows = -1;
    bool unordered = false;
    QStringList expected; // "v1 | v2", in result order unless unordered
};

// "a | b" or "a, b" as trimmed values.
QStringList Split(const QString& text, QChar separator = u'|')
{
    QStringList values = text.split(separator);
    for (QString& v : values)
        v = v.trimmed();
    return values;
}

// A result value as the file writes it.
QString CellText(sqlite3_stmt* statement, int column)
{
    const int type = sqlite3_column_type(statement, column);
    if (type == SQLITE_NULL)
        return u"~"_s;
    if (type == SQLITE_FLOAT)
        return QString::number(sqlite3_column_double(statement, column), 'g', 15);
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
        sqlite3_column_bytes(statement, column));
}

} // namespace

// Every statement the program runs, translated and run against a small shop whose rows are
// known, so that what each statement returns can be checked row by row.
class TestStatements : public QObject {
    Q_OBJECT

    std::vector<Entry> m_entries;
    std::unique_ptr<test::TempDatabase> m_db;

private slots:
    // Reads the file and puts its fixture rows into a new shop.
    void initTestCase()
    {
        // The test runs with the source tree's location in its environment (set by CTest), so
        // the corpus is found whatever path the compiler recorded for this file.
        QFile in(
            QString::fromLocal8Bit(qgetenv("KIVO_SOURCE_DIR")) + u"/tests/platform/data/statements.txt"_s);
        QVERIFY(in.open(QIODevice::ReadOnly | QIODevice::Text));
        m_db = std::make_unique<test::TempDatabase>();
        Connection& connection = m_db->connection();
        Transaction transaction(connection);
        for (const QString& line : QString::fromUtf8(in.readAll()).split(u'\n')) {
            if (line.trimmed().isEmpty() || line.startsWith(u'#'))
                continue;
            if (line.startsWith(u"== "_s)) {
                m_entries.push_back({ line.mid(3).trimmed() });
                continue;
            }
            const QString key = line.section(u':', 0, 0);
            const QString value = line.section(u':', 1).trimmed();
            if (m_entries.empty()) { // a fixture row: "table: v | v | ...", "~" for Null
                QVariantList values;
                for (const QString& v : Split(value))
                    values << (v == u"~" ? QVariant() : QVariant(v));
                InsertRow(connection, key, values); // a row the table refuses fails the suite here
                continue;
            }
            Entry& e = m_entries.back();
            if (key == u"sql")
                e.sql = line.mid(5); // the statement keeps its blanks exactly
            else if (key == u"check")
                e.check = value;
            else if (key == u"changes")
                e.changes = value.toInt();
            else if (key == u"columns")
                e.columns = Split(value, u',');
            else if (key == u"fields")
                e.fields = value.toInt();
            else if (key == u"rows")
                e.rows = value.toInt();
            else if (line == u"unordered")
                e.unordered = true;
            else if (line.startsWith(u'='))
                e.expected << Split(line.mid(1)).join(u" | "_s);
            else
                QFAIL(qPrintable(u"unknown line: "_s + line));
        }
        transaction.Commit();
        for (const Entry& e : m_entries)
            QVERIFY2(!e.sql.isEmpty() && (e.changes < 0 || !e.check.isEmpty())
                    && (e.rows >= 0 || !e.expected.isEmpty()),
                qPrintable(e.name + u": incomplete entry"_s));
    }

    void statement_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(m_entries.size()); ++i)
            QTest::newRow(qPrintable(m_entries[size_t(i)].name)) << i;
    }

    void statement()
    {
        QFETCH(int, index);
        const Entry& e = m_entries[size_t(index)];
        Connection& connection = m_db->connection();
        // Every row starts from the same shop: what a statement changes is rolled back.
        Transaction transaction(connection);
        try {
            if (e.changes >= 0)
                QCOMPARE(connection.Execute(e.sql), e.changes);
            StatementHandle handle
                = connection.Prepare(connection.Translate(e.changes >= 0 ? e.check : e.sql));
            sqlite3_stmt* s = handle.get();
            const int fieldCount = sqlite3_column_count(s);
            if (e.fields >= 0)
                QCOMPARE(fieldCount, e.fields);
            QStringList names; // lower case: the file names columns without regard to case
            for (int c = 0; c < fieldCount; ++c)
                names << QString::fromUtf8(sqlite3_column_name(s, c)).toLower();
            std::vector<int> picked;
            for (const QString& name : e.columns) {
                picked.push_back(int(names.indexOf(name.toLower())));
                QVERIFY2(picked.back() >= 0, qPrintable(u"no result column "_s + name));
            }
            for (int c = 0; e.columns.isEmpty() && c < fieldCount; ++c)
                picked.push_back(c);

            QStringList actual;
            int rc;
            while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
                QStringList values;
                for (int c : picked)
                    values << CellText(s, c);
                actual << values.join(u" | "_s);
            }
            if (rc != SQLITE_DONE)
                connection.ThrowEngineError(rc, Connection::ErrorSource());
            if (e.rows >= 0)
                QCOMPARE(actual.size(), e.rows);
            if (!e.expected.isEmpty()) {
                QStringList expected = e.expected;
                if (e.unordered) {
                    std::sort(actual.begin(), actual.end());
                    std::sort(expected.begin(), expected.end());
                }
                QCOMPARE(actual, expected);
            }
        } catch (const DbError& error) {
            QFAIL(qPrintable(error.description));
        }
    }

    // A statement the engine cannot run as meant is an error for the caller to report, never
    // a partial run: nothing after the first statement may be dropped or run unseen.
    void refused_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("second statement after a semicolon")
            << u"Select Count(*) From kmGroup; Delete * From kmGroup"_s;
        QTest::newRow("blanks and semicolon only") << u"  ; "_s;
    }
    void refused()
    {
        QFETCH(QString, sql);
        Connection& connection = m_db->connection();
        Transaction transaction(connection);
        try {
            connection.Execute(sql);
            QFAIL("the statement ran");
        } catch (const DbError& e) {
            QCOMPARE(e.number, DbErrorNumber::BadStatement);
        }
        QCOMPARE(connection.Scalar(u"Select Count(*) From kmGroup"_s).toInt(), 3);
        QCOMPARE(connection.Scalar(u"Select Count(*) From ktBillDetl"_s).toInt(), 11);
    }

    // The count a command reports is its own: a query run after a deletion changed nothing.
    void changedRowsBelongToTheStatement()
    {
        Connection& connection = m_db->connection();
        Transaction transaction(connection);
        QCOMPARE(connection.Execute(u"Delete * From ktQuotDetl Where EId=5"_s), 2);
        QCOMPARE(connection.Execute(u"Select * From ktQuotDetl"_s), 0);
        QCOMPARE(connection.Execute(u"Select Count(*) From kmGroup;"_s), 0);
    }

    void cleanupTestCase() { m_db.reset(); }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
