#include "SqlTokenizer.h"

#include <QTest>

using namespace kivo;
using namespace Qt::StringLiterals;

// Whether a statement merges rows (its result cannot be written back): only words outside
// literals, comments and names count. How the tokenizer splits literals and comments is seen
// through the dialect's translation rows.
class TestSqlTokenizer : public QObject {
    Q_OBJECT

private slots:
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
