#include "SqlTokenizer.h"

#include <QTest>

using namespace kivo;

// What the tokenizer sees in a statement: the kinds of its pieces, and whether the statement
// merges rows (its result cannot be written back).
class TestSqlTokenizer : public QObject {
    Q_OBJECT

    // One letter per token that is not blank, so that a row reads as the statement does.
    static QString Shape(QStringView sql)
    {
        QString shape;
        for (const SqlToken& t : TokenizeSql(sql)) {
            switch (t.kind) {
            case SqlTokenKind::Space:
                continue;
            case SqlTokenKind::Comment:
                shape += u'c';
                break;
            case SqlTokenKind::Word:
                shape += u'w';
                break;
            case SqlTokenKind::Bracket:
                shape += u'b';
                break;
            case SqlTokenKind::DoubleQuoted:
                shape += u'q';
                break;
            case SqlTokenKind::String:
                shape += u's';
                break;
            case SqlTokenKind::DateLiteral:
                shape += u'd';
                break;
            case SqlTokenKind::Number:
                shape += u'n';
                break;
            case SqlTokenKind::Symbol:
                shape += u'o';
                break;
            }
        }
        return shape;
    }

private slots:
    void tokens_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("shape");
        QTest::newRow("line comment holds a quote")
            << QStringLiteral("Select a -- it's a\n From t") << QStringLiteral("wwcww");
        QTest::newRow("block comment holds a quote")
            << QStringLiteral("a/* it's */+ 'x'") << QStringLiteral("wcos");
        QTest::newRow("unclosed block comment runs to the end")
            << QStringLiteral("a /* b 'c") << QStringLiteral("wc");
        QTest::newRow("minus, not a comment") << QStringLiteral("5-3 - -2") << QStringLiteral("nonoon");
        QTest::newRow("doubled quotes stay inside the literal")
            << QStringLiteral("'O''Hara' \"say \"\"hi\"\"\"") << QStringLiteral("sq");
        QTest::newRow("date, bracket, numbers")
            << QStringLiteral("[Sale Date]>=#1/2/2026# And .5<1e-3") << QStringLiteral("bodwnon");
        QTest::newRow("lone hash") << QStringLiteral("a # b") << QStringLiteral("wow");
        QTest::newRow("two-character operators")
            << QStringLiteral("a<>b<=c>=d!=e||f==g") << QStringLiteral("wowowowowowow");
        QTest::newRow("letters of any script") << QStringLiteral("Åsa=ÅSA") << QStringLiteral("wow");
    }
    void tokens()
    {
        QFETCH(QString, sql);
        QFETCH(QString, shape);
        QCOMPARE(Shape(sql), shape);
        // The tokens cover the statement without gaps or overlaps.
        qsizetype at = 0;
        for (const SqlToken& t : TokenizeSql(sql)) {
            QCOMPARE(t.begin, at);
            QVERIFY(t.length > 0);
            at += t.length;
        }
        QCOMPARE(at, sql.size());
    }

    void mergesRows_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("merges");
        QTest::newRow("plain select") << QStringLiteral("Select * From ktProduct Where PCode='A'") << false;
        QTest::newRow("distinct") << QStringLiteral("select distinct PName From ktProduct") << true;
        QTest::newRow("group by over a line break")
            << QStringLiteral("Select BPId, Sum(BQty) From ktBillDetl Group\n By BPId") << true;
        QTest::newRow("group by with a comment between")
            << QStringLiteral("Select BPId From ktBillDetl Group /* x */ By BPId") << true;
        QTest::newRow("union") << QStringLiteral("Select 1 Union Select 2") << true;
        QTest::newRow("union in a subquery")
            << QStringLiteral("Select * From (Select 1 As x Union All Select 2)") << true;
        QTest::newRow("in a literal")
            << QStringLiteral("Select * From ktProduct Where PName Like 'Distinct%'") << false;
        QTest::newRow("in a double-quoted literal")
            << QStringLiteral("Select * From kmGroup Where GName=\"Group By\"") << false;
        QTest::newRow("in a comment") << QStringLiteral("Select * From ktProduct -- union of two\n") << false;
        QTest::newRow("in a bracketed name") << QStringLiteral("Select [Distinct] From t") << false;
        QTest::newRow("qualified column name") << QStringLiteral("Select a.Distinct From t a") << false;
        QTest::newRow("group without by") << QStringLiteral("Select Group1 From t Order By Group1") << false;
        QTest::newRow("part of a word") << QStringLiteral("Select Distinctive, Unions From t") << false;
    }
    void mergesRows()
    {
        QFETCH(QString, sql);
        QFETCH(bool, merges);
        QCOMPARE(StatementMergesRows(sql), merges);
    }
};

QTEST_GUILESS_MAIN(TestSqlTokenizer)
#include "tst_sqltokenizer.moc"
