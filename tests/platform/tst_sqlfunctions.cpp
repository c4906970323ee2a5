#include "SqlFunctions.h"

#include <QTest>
#include <sqlite3.h>

using namespace kivo;
using namespace Qt::StringLiterals;

// The program's functions and text collation as the engine calls them, on a connection to
// an in-memory database.
class TestSqlFunctions : public QObject {
    Q_OBJECT

    sqlite3* m_db = nullptr;

    // The value as text, or "error: " and the engine's message.
    QString Evaluate(const QString& expression)
    {
        const QByteArray sql = QByteArray("SELECT ") + expression.toUtf8();
        sqlite3_stmt* statement = nullptr;
        const bool ran = sqlite3_prepare_v2(m_db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK
            && sqlite3_step(statement) == SQLITE_ROW;
        const QString result = ran
            ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)))
            : u"error: "_s + QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(statement);
        return result;
    }

    static int Sign(int v) { return (v > 0) - (v < 0); }

private slots:
    void initTestCase()
    {
        QCOMPARE(sqlite3_open(":memory:", &m_db), SQLITE_OK);
        QCOMPARE(RegisterSqlFunctions(m_db), SQLITE_OK);
    }
    void cleanupTestCase() { sqlite3_close(m_db); }

    void functions_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("result");
        const auto row = [](const char* expression, const char* result) {
            QTest::newRow(expression) << QString::fromUtf8(expression) << QString::fromUtf8(result);
        };
        // An emoji is one character: never cut in half, counted once.
        row("\"Left\"('a😀b', 2)", "a😀");
        row("\"Right\"('a😀b', 2)", "😀b");
        row("\"Left\"('ab', -1)", "");
        row("Len('a😀b')", "3");
        row("UCase('straße å')", "STRASSE Å");
        // like(): every letter folded, "_" one character, "%" any run, Escape for a literal.
        row("'ÅSA' Like 'å_a'", "1");
        row("'😀x' Like '_X'", "1");
        row("'abc' Like 'a%c%'", "1");
        row("'100%' Like '100!%' Escape '!'", "1");
        row("'A%' Like 'aX%' Escape 'X'", "1");
        row("'a' Like 'a' Escape 'ab'", "error: ESCAPE expression must be a single character");
        // Backtracking stays bounded: a run of "%" against a long text that does not match.
        row("printf('%.*c', 5000, 'a') Like '%a%a%a%a%a%a%a%a%b'", "0");
        // The collation: equal across case in any script, ordered by folded letters.
        row("'Åsa' = 'åSA' COLLATE KIVOCASE", "1");
        row("'ΣΟΦΙΑ' = 'σοφια' COLLATE KIVOCASE", "1");
        row("'Zoë' < 'åke' COLLATE KIVOCASE", "1");
        row("'ab' < 'aB' COLLATE KIVOCASE", "0");
    }
    void functions()
    {
        QFETCH(QString, expression);
        QTEST(Evaluate(expression), "result");
    }

    // The byte-by-byte path for plain ASCII and the decoding path for the rest give one
    // order: that of the folded code points, and the opposite sign when swapped.
    void collationOrderIsConsistent()
    {
        const QStringList texts { u"a"_s, u"AB"_s, u"ab"_s, u"abc"_s, u"abÅ"_s, u"ABå"_s, u"abz"_s, u"Ǆ"_s,
            u"ǆ"_s, u"a😀"_s, u"A😀b"_s, u"aＡ"_s, u"aａb"_s, QString(), u"Z"_s, u"é"_s, u"É"_s,
            u"a\U0010FFFF"_s };
        const auto compare = [](const QByteArray& x, const QByteArray& y) {
            return Sign(CompareFoldedUtf8(x.constData(), int(x.size()), y.constData(), int(y.size())));
        };
        for (const QString& a : texts) {
            for (const QString& b : texts) {
                const QList<uint> fa = a.toCaseFolded().toUcs4(), fb = b.toCaseFolded().toUcs4();
                const int expected = fa < fb ? -1 : fa == fb ? 0 : 1;
                const int forward = compare(a.toUtf8(), b.toUtf8());
                const int backward = compare(b.toUtf8(), a.toUtf8());
                QVERIFY2(forward == expected, qPrintable(a + u' ' + b));
                QCOMPARE(backward, -forward);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSqlFunctions)
#include "tst_sqlfunctions.moc"
