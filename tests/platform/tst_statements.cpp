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

// One statement of data/statements.txt with what it must return.
struct Entry {
    QString name;
    int line = 0;
    QString sql;
    int changes = -1; // >= 0: a command that changes that many rows
    QString check; // the query read after a command
    QStringList columns;
    int fields = -1;
    int rows = -1;
    bool unordered = false;
    QStringList expected; // "v1 | v2", in result order unless unordered
};

struct FixtureRow {
    QString table;
    QVariantList values;
};

struct StatementFile {
    std::vector<FixtureRow> fixture;
    std::vector<Entry> entries;
    QString error; // "line n: ..." when the file cannot be read
};

QString JoinRow(const QStringList& values)
{
    return values.join(u" | "_s);
}

QStringList SplitRow(const QString& text)
{
    QStringList values = text.split(u'|');
    for (QString& v : values)
        v = v.trimmed();
    return values;
}

StatementFile ReadStatementFile(const QString& path)
{
    StatementFile file;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        file.error = u"cannot open "_s + path;
        return file;
    }
    const QStringList lines = QString::fromUtf8(in.readAll()).split(u'\n');
    QSet<QString> names;
    auto fail = [&](int line, const QString& text) {
        if (file.error.isEmpty())
            file.error = u"line %1: %2"_s.arg(line).arg(text);
    };
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString& raw = lines[i];
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u"== "_s)) {
            Entry entry;
            entry.name = line.mid(3).trimmed();
            entry.line = lineNo;
            if (names.contains(entry.name))
                fail(lineNo, u"entry name used twice"_s);
            names.insert(entry.name);
            file.entries.push_back(entry);
            continue;
        }
        if (file.entries.empty()) {
            // Fixture: "table: v | v | ..."
            const qsizetype colon = line.indexOf(u':');
            if (colon <= 0) {
                fail(lineNo, u"expected a fixture row"_s);
                continue;
            }
            FixtureRow row { line.left(colon), {} };
            const QStringList values = SplitRow(line.mid(colon + 1));
            for (const QString& v : values)
                row.values << (v == u"~" ? QVariant() : QVariant(v));
            file.fixture.push_back(row);
            continue;
        }
        Entry& e = file.entries.back();
        // The statement keeps its blanks exactly; only the line break goes.
        if (raw.startsWith(u"sql: "_s)) {
            e.sql = raw.mid(5);
            if (e.sql.endsWith(u'\r'))
                e.sql.chop(1);
        } else if (line.startsWith(u"check: "_s)) {
            e.check = line.mid(7);
        } else if (line.startsWith(u"changes: "_s)) {
            e.changes = line.mid(9).toInt();
        } else if (line.startsWith(u"columns: "_s)) {
            e.columns = line.mid(9).split(u',');
            for (QString& c : e.columns)
                c = c.trimmed();
        } else if (line.startsWith(u"fields: "_s)) {
            e.fields = line.mid(8).toInt();
        } else if (line.startsWith(u"rows: "_s)) {
            e.rows = line.mid(6).toInt();
        } else if (line == u"unordered") {
            e.unordered = true;
        } else if (line.startsWith(u"= "_s) || line == u"=") {
            e.expected << JoinRow(SplitRow(line.mid(1)));
        } else {
            fail(lineNo, u"unknown line: "_s + line);
        }
    }
    for (const Entry& e : file.entries) {
        if (e.sql.isEmpty())
            fail(e.line, u"entry without sql"_s);
        if (e.changes >= 0 && e.check.isEmpty())
            fail(e.line, u"a command needs a check query"_s);
        if (e.expected.isEmpty() && e.rows < 0)
            fail(e.line, u"entry expects nothing"_s);
    }
    return file;
}

// A result value as the file writes it.
QString CellText(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return u"~"_s;
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return QString::number(sqlite3_column_double(statement, column), 'g', 15);
    default:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
            sqlite3_column_bytes(statement, column));
    }
}

} // namespace

// Every statement the program runs, translated and run against a small shop whose rows are
// known, so that what each statement returns can be checked row by row.
class TestStatements : public QObject {
    Q_OBJECT

    StatementFile m_file;
    std::unique_ptr<test::TempDatabase> m_db;

private slots:
    void initTestCase()
    {
        // The test runs with the source tree's location in its environment (set by CTest), so
        // the corpus is found whatever path the compiler recorded for this file.
        const QString path
            = QString::fromLocal8Bit(qgetenv("KIVO_SOURCE_DIR")) + u"/tests/platform/data/statements.txt"_s;
        m_file = ReadStatementFile(path);
        QVERIFY2(m_file.error.isEmpty(), qPrintable(m_file.error));

        m_db = std::make_unique<test::TempDatabase>();
        Connection& connection = m_db->connection();
        Transaction transaction(connection);
        for (const FixtureRow& row : m_file.fixture) {
            try {
                InsertRow(connection, row.table, row.values);
            } catch (const DbError& e) {
                QFAIL(qPrintable(row.table + u": "_s + e.description));
            }
        }
        transaction.Commit();
    }

    void statement_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(m_file.entries.size()); ++i)
            QTest::newRow(qPrintable(m_file.entries[size_t(i)].name)) << i;
    }

    void statement()
    {
        QFETCH(int, index);
        const Entry& e = m_file.entries[size_t(index)];
        Connection& connection = m_db->connection();
        // Every row starts from the same shop: what a statement changes is rolled back.
        Transaction transaction(connection);

        QString query = e.sql;
        try {
            if (e.changes >= 0) {
                QCOMPARE(connection.Execute(e.sql), e.changes);
                query = e.check;
            }
            StatementHandle handle = connection.Prepare(connection.Translate(query));
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
            if (e.columns.isEmpty())
                for (int c = 0; c < fieldCount; ++c)
                    picked.push_back(c);

            QStringList actual;
            int rc;
            while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
                QStringList values;
                for (int c : picked)
                    values << CellText(s, c);
                actual << JoinRow(values);
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
            QString engineSql;
            try {
                engineSql = connection.Translate(query);
            } catch (const DbError&) {
                engineSql = u"(not translated)"_s;
            }
            QFAIL(qPrintable(u"%1\n   %2\n   engine: %3"_s.arg(error.description, query, engineSql)));
        }
    }

    // A statement the engine cannot run as meant is an error for the caller to report, never
    // a partial run: nothing after the first statement may be dropped or run unseen.
    void refused_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("number");
        QTest::newRow("second statement after a semicolon")
            << u"Select Count(*) From kmGroup; Delete * From kmGroup"_s << DbErrorNumber::BadStatement;
        QTest::newRow("blanks and semicolon only") << u"  ; "_s << DbErrorNumber::BadStatement;
        QTest::newRow("impossible date")
            << u"Select * From ktBillMast Where EDate=#02/30/2024#"_s << DbErrorNumber::BadDate;
        QTest::newRow("unterminated literal")
            << u"Select * From ktCustomer Where CName = \"abc"_s << int(SQLITE_ERROR);
    }
    void refused()
    {
        QFETCH(QString, sql);
        QFETCH(int, number);
        Connection& connection = m_db->connection();
        Transaction transaction(connection);
        try {
            connection.Execute(sql);
            QFAIL("the statement ran");
        } catch (const DbError& e) {
            QCOMPARE(e.number, number);
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
