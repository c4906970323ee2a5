#include "DbError.h"
#include "JetDialect.h"
#include "TempDatabase.h"

#include <algorithm>
#include <QTest>
#include <sqlite3.h>

using namespace kivo;

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
                    QStringLiteral("Insert Into kmGroup (GName, GSavePer, GRemarks) Values (?, ?, ?)"),
                    { QString::fromUtf8(r[0]), r[1] ? QVariant(QString::fromLatin1(r[1])) : QVariant(),
                        QString::fromLatin1(r[2]) });
        }
        return m_shop->connection();
    }

    static JetDialect Dialect()
    {
        // A few text columns of the customer and bill tables; everything else is a number.
        JetDialect dialect;
        dialect.SetTextColumns({ QStringLiteral("cname"), QStringLiteral("ccity"), QStringLiteral("cphone"),
            QStringLiteral("bpdesc") });
        return dialect;
    }

    static void AddColumns()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
    }

private slots:
    void dateLiterals_data()
    {
        AddColumns();
        QTest::newRow("month/day/year")
            << QStringLiteral("Select * From ktBillMast Where EDate=#03/05/2026#")
            << QStringLiteral("Select * From ktBillMast Where EDate='2026-03-05'");
        QTest::newRow("range criterion")
            << QStringLiteral(" And ( a.EDate Between #01/31/2024# And #02/29/2024# ) ")
            << QStringLiteral(" And ( a.EDate Between '2024-01-31' And '2024-02-29' ) ");
        QTest::newRow("two-digit year, 21st century")
            << QStringLiteral("EDate=#1/1/29#") << QStringLiteral("EDate='2029-01-01'");
        QTest::newRow("two-digit year 30")
            << QStringLiteral("EDate=#1/1/30#") << QStringLiteral("EDate='1930-01-01'");
        QTest::newRow("time of day is dropped")
            << QStringLiteral("EDate=#01/31/2024 10:30:00 PM#") << QStringLiteral("EDate='2024-01-31'");
        QTest::newRow("ISO order") << QStringLiteral("EDate=#2024-01-31#")
                                   << QStringLiteral("EDate='2024-01-31'");
        QTest::newRow("hash inside a string literal")
            << QStringLiteral("Where BReceipt='Receipt#1' And EDate=#01/02/2024#")
            << QStringLiteral("Where BReceipt='Receipt#1' And EDate='2024-01-02'");
        QTest::newRow("date-like text in a string literal")
            << QStringLiteral("Where CName='#01/02/2024#'") << QStringLiteral("Where CName='#01/02/2024#'");
    }
    void dateLiterals()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(Dialect().Translate(statement), expected);
    }

    // A date that does not exist is a mistake in the statement; it must not turn into text
    // that quietly matches nothing.
    void invalidDateLiteralIsAnError_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("month 13") << QStringLiteral("Where EDate=#13/01/2024#");
        QTest::newRow("30 February") << QStringLiteral("Where EDate=#02/30/2024#");
        QTest::newRow("no year") << QStringLiteral("Where EDate=#01/31#");
        QTest::newRow("mixed separators") << QStringLiteral("Where EDate=#01/31-2024#");
        QTest::newRow("text after the date") << QStringLiteral("Where EDate=#01/31/2024 soon#");
        QTest::newRow("second literal bad") << QStringLiteral("EDate Between #01/31/2024# And #02/30/2024#");
    }
    void invalidDateLiteralIsAnError()
    {
        QFETCH(QString, statement);
        try {
            Dialect().Translate(statement);
            QFAIL("an impossible date was translated");
        } catch (const DbError& e) {
            QCOMPARE(e.number, DbErrorNumber::BadDate);
        }
    }

    void isoFromDateLiteral_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("iso");
        QTest::newRow("padded") << QStringLiteral("03/05/2026") << QStringLiteral("2026-03-05");
        QTest::newRow("blanks around") << QStringLiteral(" 3/5/2026 ") << QStringLiteral("2026-03-05");
        QTest::newRow("year 100") << QStringLiteral("1/1/0100") << QStringLiteral("0100-01-01");
        QTest::newRow("year 99 with four digits") << QStringLiteral("1/1/0099") << QString();
        QTest::newRow("five-digit year") << QStringLiteral("1/1/20240") << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("trailing separator") << QStringLiteral("1/2/") << QString();
    }
    void isoFromDateLiteral()
    {
        QFETCH(QString, body);
        QFETCH(QString, iso);
        QCOMPARE(JetDialect::DateLiteralToIso(body), iso);
    }

    void topBecomesLimit_data()
    {
        AddColumns();
        QTest::newRow("count glued to the star") << QStringLiteral("Select Top 1* From kmGroup")
                                                 << QStringLiteral("Select * From kmGroup LIMIT 1");
        QTest::newRow("trailing blanks and semicolon") << QStringLiteral("Select Top 1 * From kmGroup ; ")
                                                       << QStringLiteral("Select * From kmGroup LIMIT 1 ; ");
        QTest::newRow("comment after the statement")
            << QStringLiteral("Select Top 1 * From kmGroup -- the first\n")
            << QStringLiteral("Select * From kmGroup LIMIT 1 -- the first\n");
        QTest::newRow("subquery without an order")
            << QStringLiteral("Select * From (Select Top 5 * From ktProduct) Where EId>1")
            << QStringLiteral("Select * From (Select * From ktProduct LIMIT 5) Where EId>1");
        QTest::newRow("top in a string literal") << QStringLiteral("Select 'Top 5' As Caption From kmGroup")
                                                 << QStringLiteral("Select 'Top 5' As Caption From kmGroup");
        QTest::newRow("top as a column alias") << QStringLiteral("Select EId As Top From kmGroup")
                                               << QStringLiteral("Select EId As Top From kmGroup");
        QTest::newRow("top not followed by a count")
            << QStringLiteral("Select Top From kmGroup") << QStringLiteral("Select Top From kmGroup");
    }
    void topBecomesLimit()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(Dialect().Translate(statement), expected);
    }

    void deleteStar_data()
    {
        AddColumns();
        QTest::newRow("period closing")
            << QStringLiteral("Delete * From ktBillMast") << QStringLiteral("Delete From ktBillMast");
        QTest::newRow("star glued to From")
            << QStringLiteral("Delete *From ktBillMast") << QStringLiteral("Delete From ktBillMast");
        QTest::newRow("already plain") << QStringLiteral("Delete From ktBillMast Where EId=1")
                                       << QStringLiteral("Delete From ktBillMast Where EId=1");
        QTest::newRow("in a string literal")
            << QStringLiteral("Update ktBillMast Set BRemarks='Delete * From ktBillMast' Where EId=1")
            << QStringLiteral("Update ktBillMast Set BRemarks='Delete * From ktBillMast' Where EId=1");
        QTest::newRow("multiplication") << QStringLiteral("Select PSaleRate * 2 From ktProduct")
                                        << QStringLiteral("Select PSaleRate * 2 From ktProduct");
    }
    void deleteStar()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(Dialect().Translate(statement), expected);
    }

    void textJoin_data()
    {
        AddColumns();
        QTest::newRow("phone and name")
            << QStringLiteral("Select CPhone+';'+CName From ktCustomer Where EId=2")
            << QStringLiteral("Select CPhone||';'||CName From ktCustomer Where EId=2");
        QTest::newRow("function result and literal")
            << QStringLiteral(
                   "Select Left(CName,16)+';'+CPhone As [Customer], EId From ktCustomer Where CActive='Y'")
            << QStringLiteral("Select \"Left\"(CName,16)||';'||CPhone As [Customer], EId From ktCustomer "
                              "Where CActive='Y'");
        QTest::newRow("qualified columns")
            << QStringLiteral("Select a.CName + ' ' + a.CCity From ktCustomer a")
            << QStringLiteral("Select a.CName || ' ' || a.CCity From ktCustomer a");
        QTest::newRow("text function with nested call")
            << QStringLiteral("Select Left(Trim(CName), 3)+Left(CCity,2) From ktCustomer")
            << QStringLiteral("Select \"Left\"(Trim(CName), 3)||\"Left\"(CCity,2) From ktCustomer");
        QTest::newRow("ampersand") << QStringLiteral("Select CName & EId From ktCustomer")
                                   << QStringLiteral("Select CName || EId From ktCustomer");
        QTest::newRow("numeric sum") << QStringLiteral(
            "Select Sum(a.BTax1+a.BTax2) as tBTax From ktBillMast as a")
                                     << QStringLiteral(
                                            "Select Sum(a.BTax1+a.BTax2) as tBTax From ktBillMast as a");
        QTest::newRow("stock formula")
            << QStringLiteral("Update ktProduct Set PCloseQty=POpenQty+PPurchQty-PSaleQty")
            << QStringLiteral("Update ktProduct Set PCloseQty=POpenQty+PPurchQty-PSaleQty");
        QTest::newRow("numbers") << QStringLiteral("Select EId+1, 1+2.5, Len(CName)+1 From ktCustomer")
                                 << QStringLiteral("Select EId+1, 1+2.5, Len(CName)+1 From ktCustomer");
        QTest::newRow("exponent") << QStringLiteral("Select 1e+3+EId From kmGroup")
                                  << QStringLiteral("Select 1e+3+EId From kmGroup");
        QTest::newRow("text plus a number adds")
            << QStringLiteral("Select '5' + 3, CPhone + 1 From ktCustomer")
            << QStringLiteral("Select '5' + 3, CPhone + 1 From ktCustomer");
        QTest::newRow("number plus text adds") << QStringLiteral("Select 3 + '5', 2+-CName From ktCustomer")
                                               << QStringLiteral("Select 3 + '5', 2+-CName From ktCustomer");
        QTest::newRow("plus in a string literal")
            << QStringLiteral("Select * From ktCustomer Where CPhone='+4755'")
            << QStringLiteral("Select * From ktCustomer Where CPhone='+4755'");
    }
    void textJoin()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(Dialect().Translate(statement), expected);
    }

    // Left and Right are join keywords to the engine; a number after Like compares as a
    // number, as the program means when it writes a numeric criterion with Like.
    void functionsAndOperators_data()
    {
        AddColumns();
        QTest::newRow("Left") << QStringLiteral("Select Left(CName,16) From ktCustomer")
                              << QStringLiteral("Select \"Left\"(CName,16) From ktCustomer");
        QTest::newRow("Right, lower case, blank before the parenthesis")
            << QStringLiteral("Select right (CPhone, 4) From ktCustomer")
            << QStringLiteral("Select \"right\" (CPhone, 4) From ktCustomer");
        QTest::newRow("left join stays")
            << QStringLiteral("Select * From ktBillMast a Left Join ktCustomer b On a.BCId=b.EId")
            << QStringLiteral("Select * From ktBillMast a Left Join ktCustomer b On a.BCId=b.EId");
        QTest::newRow("Left as a word in a literal")
            << QStringLiteral("Where CRemarks='Left(x)'") << QStringLiteral("Where CRemarks='Left(x)'");
        QTest::newRow("Year and Month unchanged") << QStringLiteral("GROUP BY Year(a.EDate),Month(a.EDate)")
                                                  << QStringLiteral("GROUP BY Year(a.EDate),Month(a.EDate)");
        QTest::newRow("Like with a whole number")
            << QStringLiteral("Where PSaleRate Like 2") << QStringLiteral("Where PSaleRate = 2");
        QTest::newRow("Like with text")
            << QStringLiteral("Where PCode Like 'AB%' ") << QStringLiteral("Where PCode Like 'AB%' ");
        QTest::newRow("Like with a prefix gets the index range")
            << QStringLiteral("Where a.CName Like 'O''B_%' And EId > 1")
            << QStringLiteral("Where a.CName Like 'O''B_%' AND a.CName >= 'O''B' AND a.CName < 'O''B' || "
                              "char(1114111) And EId > 1");
        QTest::newRow("Like after Not or an operator keeps no range")
            << QStringLiteral("Where Not CName Like 'Ab%' Or 'x' || CName Like 'x%' Or CName Like '%b'")
            << QStringLiteral("Where Not CName Like 'Ab%' Or 'x' || CName Like 'x%' Or CName Like '%b'");
        QTest::newRow("Like with a date") << QStringLiteral("Where EDate Like #02/29/2024#")
                                          << QStringLiteral("Where EDate Like '2024-02-29'");
        QTest::newRow("Like with a column")
            << QStringLiteral("Where CName Like CCity") << QStringLiteral("Where CName Like CCity");
    }
    void functionsAndOperators()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(Dialect().Translate(statement), expected);
    }

    void literals_data()
    {
        AddColumns();
        QTest::newRow("double-quoted") << QStringLiteral("Select * From ktCustomer Where CName = \"Ann Lee\"")
                                       << QStringLiteral("Select * From ktCustomer Where CName = 'Ann Lee'");
        QTest::newRow("double-quoted with a single quote")
            << QStringLiteral("Where CName = \"O'Brien\"") << QStringLiteral("Where CName = 'O''Brien'");
        QTest::newRow("double-quoted with a doubled double quote") << QStringLiteral(
            "Where CName = \"say \"\"hi\"\"\"") << QStringLiteral("Where CName = 'say \"hi\"'");
        QTest::newRow("double-quoted dialect words")
            << QStringLiteral("Where CName = \"#01/02/2024# + Top 5 Delete * From\"")
            << QStringLiteral("Where CName = '#01/02/2024# + Top 5 Delete * From'");
        QTest::newRow("single-quoted with a quote")
            << QStringLiteral("Where CName='O''Brien'") << QStringLiteral("Where CName='O''Brien'");
        QTest::newRow("single-quoted dialect words")
            << QStringLiteral("Where CName='Top 5 + Delete * From #1/2/2024#'")
            << QStringLiteral("Where CName='Top 5 + Delete * From #1/2/2024#'");
        // Left as written so that the engine reports the statement instead of running a
        // shortened value.
        QTest::newRow("unterminated double-quoted")
            << QStringLiteral("Where CName = \"abc") << QStringLiteral("Where CName = \"abc");
        QTest::newRow("unterminated single-quoted")
            << QStringLiteral("Where CName = 'abc") << QStringLiteral("Where CName = 'abc");
        QTest::newRow("brackets") << QStringLiteral("Select * From [Sheet1$] Where [CName] Like '%AB' ")
                                  << QStringLiteral("Select * From [Sheet1$] Where [CName] Like '%AB' ");
        QTest::newRow("unicode text") << QStringLiteral("Where CName='Søren Ærø' And CCity=\"Tromsø\"")
                                      << QStringLiteral("Where CName='Søren Ærø' And CCity='Tromsø'");
        // Double quotes hold text in the program's dialect, even around a column's name.
        QTest::newRow("double-quoted column name is text")
            << QStringLiteral("Select \"EId\" From kmGroup Where \"EId\" + CName = 'x'")
            << QStringLiteral("Select 'EId' From kmGroup Where 'EId' || CName = 'x'");
        QTest::newRow("quote in a line comment")
            << QStringLiteral("Select CName -- it's the name\nFrom ktCustomer Where CCity = \"Oslo\"")
            << QStringLiteral("Select CName -- it's the name\nFrom ktCustomer Where CCity = 'Oslo'");
        QTest::newRow("quote in a block comment")
            << QStringLiteral("Select /* it's */ Top 2 CName + \"!\" From ktCustomer")
            << QStringLiteral("Select /* it's */ CName || '!' From ktCustomer LIMIT 2");
        QTest::newRow("empty statement") << QString() << QString();
    }
    void literals()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        QCOMPARE(Dialect().Translate(statement), expected);
    }

    void sqlQuote_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("apostrophe") << QStringLiteral("O'Brien") << QStringLiteral("O''Brien");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("double quotes kept") << QStringLiteral("it's \"x\"") << QStringLiteral("it''s \"x\"");
        QTest::newRow("injection attempt")
            << QStringLiteral("x' Or '1'='1") << QStringLiteral("x'' Or ''1''=''1");
    }
    void sqlQuote()
    {
        QFETCH(QString, typed);
        QFETCH(QString, quoted);
        QCOMPARE(SqlQuote(typed), quoted);
        // Placed between quotes, the value stays one literal through the translation.
        const QString statement = QStringLiteral("Select * From kaUser Where ULogin='") + quoted + u'\'';
        QCOMPARE(Dialect().Translate(statement), statement);
    }

    // Which "+" joins text depends on the open database's columns: a name that is text in one
    // table and a number in another (PTax) does not decide on its own.
    void textColumnsOfTheSchema_data()
    {
        AddColumns();
        QTest::newRow("customer phone") << QStringLiteral("Select CPhone+CName From ktCustomer")
                                        << QStringLiteral("Select CPhone||CName From ktCustomer");
        QTest::newRow("text in one table, number in another") << QStringLiteral(
            "Select PGross+PTax From ktPurcMast") << QStringLiteral("Select PGross+PTax From ktPurcMast");
        QTest::newRow("names compare without case") << QStringLiteral("Select cphone+cname From ktCustomer")
                                                    << QStringLiteral("Select cphone||cname From ktCustomer");
    }
    void textColumnsOfTheSchema()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        test::TempDatabase db;
        QCOMPARE(db.connection().Translate(statement), expected);
    }

    // Thousands of nested parentheses translate without recursion; each "+" after a closing
    // parenthesis finds its operand through all of them.
    void deepNesting()
    {
        const int depth = 5000;
        const QString open(depth, u'(');
        const QString statement = QStringLiteral("Select ") + open + QStringLiteral("Left(CName, 2)")
            + QStringLiteral(") + 3").repeated(depth) + QStringLiteral(", ") + open
            + QStringLiteral("Select Top 1 CName From ktCustomer") + QStringLiteral(")+'x'").repeated(depth)
            + QStringLiteral(" From ktCustomer");
        const QString expected = QStringLiteral("Select ") + open + QStringLiteral("\"Left\"(CName, 2)")
            + QStringLiteral(") + 3").repeated(depth) + QStringLiteral(", ") + open
            + QStringLiteral("Select CName From ktCustomer LIMIT 1")
            + QStringLiteral(")||'x'").repeated(depth) + QStringLiteral(" From ktCustomer");
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
        row("no tie", "Select Top 2 GName From kmGroup Order By GSavePer Desc", "bo,Åsa");
        row("tie inside the first n", "Select Top 1 GName From kmGroup Order By GSavePer Desc", "bo,Åsa");
        row("fewer rows than n", "Select Top 10 GName From kmGroup Where GSavePer > 2 Order By GSavePer",
            "bo,cid,dan,Åsa");
        row("ascending, Null first", "Select Top 3 GName From kmGroup Order By GSavePer Asc",
            "cid,dan,eve,åsa");
        row("two columns", "Select Top 3 GName From kmGroup Order By GSavePer Desc, GRemarks", "bo,cid,Åsa");
        row("two columns, second decides",
            "Select Top 1 GName From kmGroup Order By GSavePer Desc, GName Desc", "Åsa");
        row("alias in the order",
            "Select Top 3 GName, GSavePer * 2 As Twice From kmGroup Order By Twice Desc", "bo,cid,dan,Åsa");
        row("position in the order", "Select Top 1 GName, GSavePer From kmGroup Order By 2 Desc", "bo,Åsa");
        row("ties on case-folded text", "Select Top 5 GName From kmGroup Order By GName",
            "bo,cid,dan,eve,Åsa,åsa");
        row("grouped sum, as the sales trend",
            "Select Top 1 GRemarks, Sum(GSavePer) As Total From kmGroup Group By GRemarks Order By "
            "Sum(GSavePer) "
            "Desc",
            "a,b");
        row("comments inside",
            "Select Top 1 GName -- name\n From kmGroup /* all */ Order By GSavePer -- it's\n Desc", "bo,Åsa");
        row("correlated subquery, plain limit",
            "Select (Select Top 1 b.GName From kmGroup b Where b.GRemarks = a.GRemarks Order By b.GSavePer "
            "Desc) "
            "From kmGroup a Where a.GName = 'cid'",
            "Åsa");
        row("percent, rounded up", "Select Top 40 Percent GName From kmGroup Order By GName Desc",
            "eve,Åsa,åsa");
        row("percent without order", "Select Top 50 Percent GName From kmGroup", "3 rows");
        row("distinct", "Select Distinct Top 2 GSavePer From kmGroup Order By GSavePer Desc", "3.0,5.0");
        row("in a subquery",
            "Select GName From kmGroup Where EId In (Select Top 1 EId From kmGroup Order By GSavePer Desc)",
            "bo,Åsa");
    }
    void topKeepsTies()
    {
        QFETCH(QString, statement);
        QFETCH(QString, names);
        Connection& connection = Shop();
        StatementHandle handle = connection.Prepare(connection.Translate(statement));
        QStringList got;
        while (sqlite3_step(handle.get()) == SQLITE_ROW)
            got << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(handle.get(), 0)));
        if (names.endsWith(QStringLiteral(" rows"))) {
            QCOMPARE(QString::number(got.size()) + QStringLiteral(" rows"), names);
            return;
        }
        std::sort(got.begin(), got.end());
        QCOMPARE(got.join(u','), names);
    }

    // The rewrite of a Top copies parts of the select: a parameter in a copy reads the value
    // of the one it copies, and the parameters after it keep theirs.
    void topWithParameters()
    {
        Connection& connection = Shop();
        const QString statement = QStringLiteral("Select GName From kmGroup Where EId In (Select Top 1 EId "
                                                 "From kmGroup Where GSavePer < ? Order By "
                                                 "GSavePer Desc) And GName <> ? Order By GName");
        StatementHandle handle
            = connection.Prepare(connection.Translate(statement), { 4, QStringLiteral("cid") });
        QStringList got;
        while (sqlite3_step(handle.get()) == SQLITE_ROW)
            got << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(handle.get(), 0)));
        QCOMPARE(got, QStringList { QStringLiteral("dan") });
    }
};

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
