#include "SqlTokenizer.h"

#include <map>
#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

// What the tokenizer sees in a statement: the kinds of its pieces, and whether the statement
// merges rows (its result cannot be written back).
class TestSqlTokenizer : public QObject {
    Q_OBJECT

    // One letter per token that is not blank, so that a row reads as the statement does.
    static QString Shape(QStringView sql)
    {
        static const std::map<SqlTokenKind, QChar> letters { { SqlTokenKind::Comment, u'c' },
            { SqlTokenKind::Word, u'w' }, { SqlTokenKind::Bracket, u'b' },
            { SqlTokenKind::DoubleQuoted, u'q' }, { SqlTokenKind::String, u's' },
            { SqlTokenKind::DateLiteral, u'd' }, { SqlTokenKind::Number, u'n' },
            { SqlTokenKind::Symbol, u'o' } };
        QString shape;
        for (const SqlToken& t : TokenizeSql(sql))
            if (t.kind != SqlTokenKind::Space)
                shape += letters.at(t.kind);
        return shape;
    }

private slots:
    void tokens_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("shape");
        QTest::newRow("line comment holds a quote") << u"Select a -- it's a\n From t"_s << u"wwcww"_s;
        QTest::newRow("block comment holds a quote") << u"a/* it's */+ 'x'"_s << u"wcos"_s;
        QTest::newRow("unclosed block comment runs to the end") << u"a /* b 'c"_s << u"wc"_s;
        QTest::newRow("minus, not a comment") << u"5-3 - -2"_s << u"nonoon"_s;
        QTest::newRow("doubled quotes stay inside the literal")
            << u"'O''Hara' \"say \"\"hi\"\"\""_s << u"sq"_s;
        QTest::newRow("date, bracket, numbers") << u"[Sale Date]>=#1/2/2026# And .5<1e-3"_s << u"bodwnon"_s;
        QTest::newRow("two-character operators") << u"a<>b<=c>=d!=e||f==g"_s << u"wowowowowowow"_s;
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
        QFETCH(bool, merges);
        QCOMPARE(StatementMergesRows(sql), merges);
    }
};

QTEST_GUILESS_MAIN(TestSqlTokenizer)
#include "tst_sqltokenizer.moc"
