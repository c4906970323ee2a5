// Document lines through the record engine: a document's lines are shown with it, saved and
// deleted with it, and the stock of their products moves as each kind of document says.
// After every step the stock columns are read back by SQL and the stock formula checked.
#include "DocumentLines.h"
#include "EngineFixture.h"
#include "GroupSavings.h"
#include "LineGrid.h"
#include "ProductLine.h"
#include "ProductLookup.h"
#include "Settings.h"
#include "ShopRows.h"

#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

// What a new document of each screen needs to pass validation, "field=text".
QStringList Typed(const QString& table)
{
    if (table == u"ktPurcMast")
        return { u"2=1"_s, u"3=R-100"_s, u"4=1"_s, u"9=CASH"_s, u"10=-"_s };
    return { u"2=1"_s, u"3=Q-100"_s, u"4=1"_s, u"13=N"_s, u"14=-"_s };
}

} // namespace

class TestDocumentLines : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;

    Connection& db() { return f->context().connection; }

    QString Stock() { return ShopStock(db(), f->context().Today()); }

    // "code:qty ..." of the stored lines of the document on screen, in the order written.
    QString StoredLines(const RecordScreen& screen)
    {
        QStringList lines;
        Recordset rs(db());
        rs.Open(u"Select * From "_s + screen.detailTable + u" Where EId="_s + screen.Text(0));
        for (; !rs.Eof(); rs.MoveNext())
            lines << rs.Text(3) + u':' + rs.Text(5);
        return lines.join(u' ');
    }

    // The grid on screen holds exactly the lines "code:qty ...". A code without a product
    // stands for one that was deleted since.
    void PutLines(RecordScreen& screen, const QStringList& lines)
    {
        LineGrid& grid = screen.lines->Grid();
        while (!grid.IsEmpty())
            grid.RemoveLine(0);
        GroupSavings groups;
        groups.Load(db());
        for (const QString& line : lines) {
            const QString code = line.section(u':', 0, 0);
            ProductRecord product = ProductLookup(db()).ByCode(code).value_or(ProductRecord {});
            product.PCode = code;
            AddProductLine(grid, product, *Money::FromText(line.section(u':', 1, 1)), Money(2), 2,
                ProductLineRules {}, groups);
        }
    }

    // One step on the screen of `table`: "save CODE:QTY ..." adds the document (or modifies
    // the one shown) with those lines and saves it; "delete" deletes the one shown.
    void Step(const QString& table, const QString& step)
    {
        const QStringList words = step.split(u' ', Qt::SkipEmptyParts);
        RecordScreen& screen = *f->screen;
        if (words.first() == u"save") {
            if (screen.Text(0) == NewRecordText() || screen.Text(0).isEmpty()) {
                f->messages().Answer(true);
                f->Command(CommandNumber::Add);
                for (const QString& typed : Typed(table))
                    screen.SetText(typed.section(u'=', 0, 0).toInt(), typed.section(u'=', 1));
            } else {
                f->Command(CommandNumber::Modify);
            }
            PutLines(screen, words.mid(1));
            f->Command(CommandNumber::Save);
        } else if (words.first() == u"delete") {
            f->messages().Answer(true);
            f->Command(CommandNumber::Delete);
        }
    }

private slots:
    void initTestCase()
    {
        f = std::make_unique<EngineFixture>();
        f->context().today = [] { return QDate(2026, 3, 5); };
        LoadPreferences(f->context());
        for (const QString& code : { u"A"_s, u"B"_s })
            AddProduct(db(), { .code = code, .saleRate = 2 });
    }

    void init()
    {
        for (const char* table : { "ktQuotMast", "ktQuotDetl", "ktPurcMast", "ktPurcDetl" })
            db().Execute(u"Delete From "_s + QLatin1String(table));
        db().Execute(u"Update ktProduct Set PPurchQty=0, PSaleQty=0, PCloseQty=POpenQty, PTranDate=?"_s,
            { ShopEarlier() });
        f->messages().shown.clear();
    }

    void cleanup()
    {
        if (f->screen)
            f->engine.CloseRecordScreen(*f->screen);
        f->screen.reset();
    }

    void posting_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("stock"); // after each step
        QTest::addColumn<QStringList>("stored"); // the document's stored lines after each step

        QTest::newRow("purchase: save, re-save changed, re-save unchanged, delete")
            << u"ktPurcMast"_s << QStringList { u"save A:2 B:1"_s, u"save A:3"_s, u"save A:3"_s, u"delete"_s }
            << QStringList { u"A 2/0/12 today, B 1/0/11 today"_s, u"A 3/0/13 today, B 0/0/10 today"_s,
                   u"A 3/0/13 today, B 0/0/10 today"_s, u"A 0/0/10 today, B 0/0/10 today"_s }
            << QStringList { u"A:2 B:1"_s, u"A:3"_s, u"A:3"_s, QString() };
        QTest::newRow("quote: no stock moves; re-save and delete date the old lines' products")
            << u"ktQuotMast"_s << QStringList { u"save A:2"_s, u"save B:1"_s, u"delete"_s }
            << QStringList { u"A 0/0/10 earlier, B 0/0/10 earlier"_s, u"A 0/0/10 today, B 0/0/10 earlier"_s,
                   u"A 0/0/10 today, B 0/0/10 today"_s }
            << QStringList { u"A:2"_s, u"B:1"_s, QString() };
    }

    void posting()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, stock);
        QFETCH(QStringList, stored);
        f->Open(table);
        for (int i = 0; i < steps.size(); ++i) {
            Step(table, steps.at(i));
            const RecordScreen& screen = *f->screen;
            QCOMPARE(f->messages().shown.filter(u"ErroR!"_s), QStringList());
            QCOMPARE(Stock(), stock.at(i));
            QCOMPARE(BrokenStock(db()), QStringList());
            if (steps.at(i) != u"delete") {
                QVERIFY2(!screen.frameEnabled, qPrintable(f->messages().shown.join(u" | "_s)));
                QCOMPARE(StoredLines(screen), stored.at(i));
                // The engine shows the saved document again with its stored lines.
                QCOMPARE(screen.lines->Grid().LineCount(), int(stored.at(i).split(u' ').size()));
            } else {
                QCOMPARE(db().Scalar(u"Select Count(*) From "_s + screen.detailTable).toInt(), 0);
            }
        }
    }

    // A document without lines is refused; nothing is written.
    void noLinesIsRefused()
    {
        RecordScreen& screen = f->Open(u"ktPurcMast"_s);
        Step(u"ktPurcMast"_s, u"save"_s);
        QCOMPARE(f->messages().shown.last(), u"Invalid-Empty Fields:\n\n\nProducts"_s);
        QCOMPARE(db().Scalar(u"Select Count(*) From ktPurcMast"_s).toInt(), 0);
        QVERIFY(screen.frameEnabled);
    }

    // A line whose product is gone is stored and reported; the others still post.
    void missingProductIsReported()
    {
        RecordScreen& screen = f->Open(u"ktPurcMast"_s);
        Step(u"ktPurcMast"_s, u"save A:1 GONE:4"_s);
        QCOMPARE(f->messages().shown.filter(u"ErroR!"_s).size(), 1);
        QVERIFY(f->test.ErrorLogLines().join(u'\n').contains(u"GONE"_s));
        QCOMPARE(StoredLines(screen), u"A:1 GONE:4"_s);
        QCOMPARE(Stock(), u"A 1/0/11 today, B 0/0/10 earlier"_s);
    }

    // Modify starts from the stored lines' totals; a new document from an empty grid.
    void recountAndClear()
    {
        RecordScreen& screen = f->Open(u"ktPurcMast"_s);
        Step(u"ktPurcMast"_s, u"save A:2.5 B:1"_s);
        const LineGrid& grid = screen.lines->Grid();
        f->Command(CommandNumber::Modify);
        QCOMPARE(grid.DocItems(), 3);
        QCOMPARE(grid.DocGross().ToText(), u"7"_s);
        f->Command(CommandNumber::Cancel);
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        QVERIFY(grid.IsEmpty());
        QCOMPARE(grid.DocItems(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDocumentLines)
#include "tst_documentlines.moc"
