#include "DbError.h"
#include "JetDialect.h"
#include "SqlTokenizer.h"
#include "TempDatabase.h"

#include <algorithm>
#include <QTest>
#include <sqlite3.h>

using namespace kivo;
using namespace Qt::StringLiterals;

// The translation of single statements, token by token: what the program writes on the
// left, exactly what the engine receives on the right.
class TestDialect : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDatabase> m_shop; // for the statements that run

    // Groups (GName, GSavePer, GRemarks): Åsa 5 a, bo 5 b, cid 3 a, dan 3 b, eve 1 c, åsa Null b.
    Connection& Shop()
    {
        if (!m_shop) {
            m_shop = std::make_unique<test::TempDatabase>();
            const char* rows[][3] = { { "Åsa", "5", "a" }, { "bo", "5", "b" }, { "cid", "3", "a" },
                { "dan", "3", "b" }, { "eve", "1", "c" }, { "åsa", nullptr, "b" } };
            for (const auto& r : rows)
                m_shop->connection().Execute(
                    u"Insert Into kmGroup (GName, GSavePer, GRemarks) Values (?, ?, ?)"_s,
                    { QString::fromUtf8(r[0]), r[1] ? QVariant(QString::fromLatin1(r[1])) : QVariant(),
                        QString::fromLatin1(r[2]) });
        }
        return m_shop->connection();
    }

    // The first column of what a statement in the program's dialect returns on Shop().
    QStringList FirstColumn(const QString& statement, const QVariantList& parameters = {})
    {
        StatementHandle handle = Shop().Prepare(Shop().Translate(statement), parameters);
        QStringList got;
        while (sqlite3_step(handle.get()) == SQLITE_ROW)
            got << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(handle.get(), 0)));
        return got;
    }

    // The expected translation of a statement the dialect refuses for an impossible date, and of
    // one it leaves as written.
    inline static const QString BadDate = u"(bad date)"_s;
    inline static const QString Same = u"(same)"_s;

    static JetDialect Dialect()
    {
        // A few text columns of the customer and bill tables; everything else is a number.
        JetDialect dialect;
        dialect.SetTextColumns({ u"cname"_s, u"ccity"_s, u"cphone"_s, u"bpdesc"_s });
        return dialect;
    }

private slots:
    // The rewrite rules, one row each; literals and comments are copied untouched.
    void translate_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two-digit year, 21st century") << u"EDate=#1/1/29#"_s << u"EDate='2029-01-01'"_s;
        QTest::newRow("two-digit year 30") << u"EDate=#1/1/30#"_s << u"EDate='1930-01-01'"_s;
        QTest::newRow("time of day is dropped")
            << u"EDate=#01/31/2024 10:30:00 PM#"_s << u"EDate='2024-01-31'"_s;
        QTest::newRow("ISO order") << u"EDate=#2024-01-31#"_s << u"EDate='2024-01-31'"_s;
        QTest::newRow("count glued to the star")
            << u"Select Top 1* From kmGroup"_s << u"Select * From kmGroup LIMIT 1"_s;
        QTest::newRow("comment after the statement") << u"Select Top 1 * From kmGroup -- the first\n"_s
                                                     << u"Select * From kmGroup LIMIT 1 -- the first\n"_s;
        QTest::newRow("subquery without an order")
            << u"Select * From (Select Top 5 * From ktProduct) Where EId>1"_s
            << u"Select * From (Select * From ktProduct LIMIT 5) Where EId>1"_s;
        QTest::newRow("top not followed by a count") << u"Select Top From kmGroup"_s << Same;
        QTest::newRow("star glued to From") << u"Delete *From ktBillMast"_s << u"Delete From ktBillMast"_s;
        QTest::newRow("multiplication") << u"Select PSaleRate * 2 From ktProduct"_s << Same;
        QTest::newRow("ampersand") << u"Select CName & EId From ktCustomer"_s
                                   << u"Select CName || EId From ktCustomer"_s;
        QTest::newRow("text plus a number adds") << u"Select '5' + 3, CPhone + 1 From ktCustomer"_s << Same;
        // Left and Right are join keywords to the engine.
        QTest::newRow("Right, lower case, blank before the parenthesis")
            << u"Select right (CPhone, 4) From ktCustomer"_s
            << u"Select \"right\" (CPhone, 4) From ktCustomer"_s;
        QTest::newRow("left join stays")
            << u"Select * From ktBillMast a Left Join ktCustomer b On a.BCId=b.EId"_s << Same;
        QTest::newRow("Like with a prefix gets the index range")
            << u"Where a.CName Like 'O''B_%' And EId > 1"_s
            << u"Where a.CName Like 'O''B_%' AND a.CName >= 'O''B' AND a.CName < 'O''B' || "
               "char(1114111) And EId > 1"_s;
        QTest::newRow("Like after Not or an operator keeps no range")
            << u"Where Not CName Like 'Ab%' Or 'x' || CName Like 'x%' Or CName Like '%b'"_s << Same;
        QTest::newRow("double-quoted with a single quote")
            << u"Where CName = \"O'Brien\""_s << u"Where CName = 'O''Brien'"_s;
        QTest::newRow("double-quoted with a doubled double quote")
            << u"Where CName = \"say \"\"hi\"\"\""_s << u"Where CName = 'say \"hi\"'"_s;
        QTest::newRow("double-quoted dialect words")
            << u"Where CName = \"#01/02/2024# + Top 5 Delete * From\""_s
            << u"Where CName = '#01/02/2024# + Top 5 Delete * From'"_s;
        QTest::newRow("single-quoted dialect words")
            << u"Where CName='Top 5 + Delete * From #1/2/2024#'"_s << Same;
        // Left as written so that the engine reports the statement instead of running a
        // shortened value.
        QTest::newRow("unterminated double-quoted") << u"Where CName = \"abc"_s << Same;
        // Double quotes hold text in the program's dialect, even around a column's name.
        QTest::newRow("double-quoted column name is text")
            << u"Select \"EId\" From kmGroup Where \"EId\" + CName = 'x'"_s
            << u"Select 'EId' From kmGroup Where 'EId' || CName = 'x'"_s;
        QTest::newRow("quote in a block comment")
            << u"Select /* it's */ Top 2 CName + \"!\" From ktCustomer"_s
            << u"Select /* it's */ CName || '!' From ktCustomer LIMIT 2"_s;
        // A date that does not exist is a mistake in the statement; it must not turn into text
        // that quietly matches nothing.
        QTest::newRow("30 February") << u"Where EDate=#02/30/2024#"_s << BadDate;
        QTest::newRow("no year") << u"Where EDate=#01/31#"_s << BadDate;
        QTest::newRow("text after the date") << u"Where EDate=#01/31/2024 soon#"_s << BadDate;
        QTest::newRow("second literal bad") << u"EDate Between #01/31/2024# And #02/30/2024#"_s << BadDate;
        QTest::newRow("year 100") << u"EDate=#1/1/0100#"_s << u"EDate='0100-01-01'"_s;
        QTest::newRow("year 99 with four digits") << u"EDate=#1/1/0099#"_s << BadDate;
        QTest::newRow("five-digit year") << u"EDate=#1/1/20240#"_s << BadDate;
        // Placed between quotes, a typed value quoted by the helper stays one literal.
        const QString typed = u"Where ULogin='"_s + SqlQuote(u"x' Or '1'='1"_s) + u'\'';
        QTest::newRow("quoted injection attempt") << typed << u"Where ULogin='x'' Or ''1''=''1'"_s;
    }
    void translate()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QString translated;
        try {
            translated = Dialect().Translate(statement);
        } catch (const DbError& e) {
            translated = e.number == DbErrorNumber::BadDate ? BadDate : e.description;
        }
        QCOMPARE(translated, expected == Same ? statement : expected);
    }

    // Whether a statement merges rows (its result cannot be written back): only words outside
    // literals, comments and names count.
    void mergesRows_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("merges");
        QTest::newRow("plain select") << u"Select * From ktProduct Where PCode='A'"_s << false;
        QTest::newRow("distinct") << u"select distinct PName From ktProduct"_s << true;
        QTest::newRow("group by over a line break")
            << u"Select BPId, Sum(BQty) From ktBillDetl Group\n By BPId"_s << true;
        QTest::newRow("union") << u"Select 1 Union Select 2"_s << true;
        QTest::newRow("in a literal") << u"Select * From ktProduct Where PName Like 'Distinct%'"_s << false;
        QTest::newRow("in a bracketed name") << u"Select [Distinct] From t"_s << false;
        QTest::newRow("group without by") << u"Select Group1 From t Order By Group1"_s << false;
    }
    void mergesRows()
    {
        QFETCH(QString, sql);
        QTEST(StatementMergesRows(sql), "merges");
    }

    // Which "+" joins text depends on the open database's columns: a name that is text in one
    // table and a number in another (PTax) does not decide on its own.
    void textColumnsOfTheSchema_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("customer phone")
            << u"Select CPhone+CName From ktCustomer"_s << u"Select CPhone||CName From ktCustomer"_s;
        QTest::newRow("text in one table, number in another")
            << u"Select PGross+PTax From ktPurcMast"_s << u"Select PGross+PTax From ktPurcMast"_s;
    }
    void textColumnsOfTheSchema()
    {
        QFETCH(QString, statement);
        QTEST(Shop().Translate(statement), "expected");
    }

    // Thousands of nested parentheses translate without recursion; each "+" after a closing
    // parenthesis finds its operand through all of them.
    void deepNesting()
    {
        const int depth = 5000;
        const QString open(depth, u'(');
        const QString statement = u"Select "_s + open + u"Left(CName, 2)"_s + u") + 3"_s.repeated(depth)
            + u", "_s + open + u"Select Top 1 CName From ktCustomer"_s + u")+'x'"_s.repeated(depth)
            + u" From ktCustomer"_s;
        const QString expected = u"Select "_s + open + u"\"Left\"(CName, 2)"_s + u") + 3"_s.repeated(depth)
            + u", "_s + open + u"Select CName From ktCustomer LIMIT 1"_s + u")||'x'"_s.repeated(depth)
            + u" From ktCustomer"_s;
        QCOMPARE(Dialect().Translate(statement), expected);
    }

    // "Top n" with an order returns the rows tied with the n-th on the ordered values, as the
    // old engine did; run on a database, as the rewrite is the engine's to evaluate.
    void topKeepsTies_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("names"); // the first column of the result, sorted
        const auto row = [](const char* name, const char* statement, const char* names) {
            QTest::newRow(name) << QString::fromUtf8(statement) << QString::fromUtf8(names);
        };
        // The groups of Shop().
        row("tie after the n-th, descending", "Select Top 3 GName From kmGroup Order By GSavePer Desc",
            "bo,cid,dan,Åsa");
        row("ascending, Null first", "Select Top 3 GName From kmGroup Order By GSavePer Asc",
            "cid,dan,eve,åsa");
        row("ties on case-folded text", "Select Top 5 GName From kmGroup Order By GName",
            "bo,cid,dan,eve,Åsa,åsa");
        row("grouped sum, as the sales trend",
            "Select Top 1 GRemarks, Sum(GSavePer) As Total From kmGroup Group By GRemarks "
            "Order By Sum(GSavePer) Desc",
            "a,b");
        row("correlated subquery, plain limit",
            "Select (Select Top 1 b.GName From kmGroup b Where b.GRemarks = a.GRemarks Order By "
            "b.GSavePer Desc) From kmGroup a Where a.GName = 'cid'",
            "Åsa");
        row("percent, rounded up", "Select Top 40 Percent GName From kmGroup Order By GName Desc",
            "eve,Åsa,åsa");
    }
    void topKeepsTies()
    {
        QFETCH(QString, statement);
        QFETCH(QString, names);
        QStringList got = FirstColumn(statement);
        std::sort(got.begin(), got.end());
        QCOMPARE(got.join(u','), names);
    }

    // The rewrite of a Top copies parts of the select: a parameter in a copy reads the value
    // of the one it copies, and the parameters after it keep theirs.
    void topWithParameters()
    {
        const QString statement = u"Select GName From kmGroup Where EId In (Select Top 1 EId "
                                  "From kmGroup Where GSavePer < ? Order By "
                                  "GSavePer Desc) And GName <> ? Order By GName"_s;
        QCOMPARE(FirstColumn(statement, { 4, u"cid"_s }), QStringList { u"dan"_s });
    }
};

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
