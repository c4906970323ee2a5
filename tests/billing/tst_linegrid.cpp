// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QAbstractItemModelTester>
#include <QColor>
#include <QFont>
#include <QTest>

#include "Connection.h"
#include "DateText.h"
#include "DbError.h"
#include "LineGrid.h"
#include "ShopRows.h"
#include "StockPosting.h"
#include "TempDatabase.h"

#include <memory>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

Money M(const QString& text)
{
    return Money::FromText(text).value();
}

// "CODE QTY GROSS [T]": a line whose rate is its gross and which has no saving.
int Add(LineGrid& grid, const QString& line)
{
    const QStringList w = line.split(u' ');
    LineAmounts amounts;
    amounts.rate = amounts.value = amounts.gross = M(w.at(2));
    return grid.AddLine(
        w.at(0), u"Item "_s + w.at(0), M(w.at(1)), amounts, w.size() > 3 && w.at(3) == u"T"_s);
}

// The codes of the grid's lines, top to bottom.
QString Codes(const LineGrid& grid)
{
    QStringList codes;
    for (int r = 0; r < grid.LineCount(); ++r)
        codes << grid.Text(r, LineGrid::CodeColumn);
    return codes.join(u' ');
}

QString Totals(const LineGrid& grid)
{
    return u"%1 %2 %3"_s.arg(grid.DocItems()).arg(grid.DocGross().Format(), grid.DocTaxable().Format());
}

bool Marked(const LineGrid& grid, int row, int column = LineGrid::DelColumn)
{
    const QModelIndex cell = grid.index(row, column);
    const QVariant font = grid.data(cell, Qt::FontRole);
    return font.isValid() && font.value<QFont>().bold()
        && grid.data(cell, Qt::ForegroundRole).value<QColor>() == QColor(255, 0, 0);
}

} // namespace

class TestLineGrid : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;
    Connection* c = nullptr;

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TempDatabase>();
        c = &m_db->connection();
    }

    void init()
    {
        for (const char* table : { "ktProduct", "ktBillDetl", "ktQuotDetl", "ktPurcDetl", "ktOrdrDetl" })
            c->Execute(u"Delete From "_s + QLatin1String(table));
    }

    void emptyGrid()
    {
        LineGrid grid;
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int pass = 0; pass < 2; ++pass) {
            QCOMPARE(grid.rowCount(), 1); // one blank line under the header
            QCOMPARE(grid.columnCount(), 12);
            QVERIFY(grid.IsEmpty());
            QCOMPARE(grid.LineCount(), 0);
            QVERIFY(grid.Lines().empty());
            for (int column = 0; column < 12; ++column)
                QVERIFY(grid.data(grid.index(0, column)).toString().isEmpty());
            QCOMPARE(Totals(grid), u"0 0.00 0.00"_s);
            // A grid with lines set up again is the same empty grid.
            Add(grid, u"A 1 5 T"_s);
            Add(grid, u"B 1 5 T"_s);
            grid.Setup();
        }
    }

    void layout()
    {
        LineGrid grid;
        QStringList shown;
        for (int column = 0; column < grid.columnCount(); ++column) {
            const bool hidden = LineGrid::IsHiddenColumn(column);
            QCOMPARE(hidden, LineGrid::ColumnWidth(column) == 0);
            if (!hidden)
                shown << grid.headerData(column, Qt::Horizontal).toString();
        }
        QCOMPARE(shown.join(u' '), u"Del PCode PName Qty Rate Value Saving Gross Tax"_s);
        // Amounts to the right, text to the left.
        Add(grid, u"A 1 5"_s);
        for (int column = 2; column <= 10; ++column) {
            const auto alignment
                = grid.data(grid.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
            QCOMPARE(bool(alignment & Qt::AlignRight), column >= 5 && column <= 9);
        }
    }

    // Steps: "add CODE QTY GROSS [T]", "remove ROW", "recount"; then the lines and the
    // totals "items gross taxable", worked out by hand.
    void editing_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("totals");

        QTest::newRow("one line fills the blank line")
            << QStringList { u"add A 2 10.50 T"_s } << u"A"_s << u"2 10.50 10.50"_s;
        QTest::newRow("half a unit counts to even")
            << QStringList { u"add A 2.5 1 T"_s } << u"A"_s << u"2 1.00 1.00"_s;
        QTest::newRow("each line rounds on its own, not the sum")
            << QStringList { u"add A 0.5 1"_s, u"add B 0.5 1"_s } << u"A B"_s << u"0 2.00 0.00"_s;
        QTest::newRow("same product twice stays two lines")
            << QStringList { u"add A 1 3"_s, u"add A 1 3"_s } << u"A A"_s << u"2 6.00 0.00"_s;
        QTest::newRow("only taxable lines are taxable") << QStringList { u"add A 1 3 T"_s, u"add B 2 4"_s,
            u"add C 1 0.10 T"_s } << u"A B C"_s << u"4 7.10 3.10"_s;
        QTest::newRow("remove the middle line, the rest move up")
            << QStringList { u"add A 1 3 T"_s, u"add B 2 4"_s, u"add C 1 5 T"_s, u"remove 1"_s } << u"A C"_s
            << u"2 8.00 8.00"_s;
        QTest::newRow("remove the last line")
            << QStringList { u"add A 1 3 T"_s, u"add B 2 4"_s, u"remove 1"_s } << u"A"_s << u"1 3.00 3.00"_s;
        QTest::newRow("remove the only line: empty again")
            << QStringList { u"add A 2.5 3 T"_s, u"remove 0"_s } << u""_s << u"0 0.00 0.00"_s;
        QTest::newRow("add after emptying")
            << QStringList { u"add A 1 3"_s, u"remove 0"_s, u"add B 1 4 T"_s } << u"B"_s << u"1 4.00 4.00"_s;
        QTest::newRow("remove on an empty grid or past the end changes nothing")
            << QStringList { u"remove 0"_s, u"add A 1 3"_s, u"remove 1"_s, u"remove -1"_s } << u"A"_s
            << u"1 3.00 0.00"_s;
        QTest::newRow("recount agrees with the running totals") << QStringList { u"add A 2.5 3 T"_s,
            u"add B 1.5 4"_s, u"remove 0"_s, u"add C 7 0.01 T"_s, u"recount"_s }
                                                                << u"B C"_s << u"9 4.01 0.01"_s;
        QTest::newRow("negative quantity takes away")
            << QStringList { u"add A 3 6"_s, u"add A -1 -2"_s } << u"A A"_s << u"2 4.00 0.00"_s;
    }

    void editing()
    {
        QFETCH(QStringList, steps);
        LineGrid grid;
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const QString& step : steps) {
            if (step.startsWith(u"add "_s))
                Add(grid, step.mid(4));
            else if (step.startsWith(u"remove "_s))
                grid.RemoveLine(step.mid(7).toInt());
            else
                grid.Recount();
        }
        QTEST(Codes(grid), "codes");
        QTEST(Totals(grid), "totals");
        QCOMPARE(grid.IsEmpty(), grid.LineCount() == 0);
        QCOMPARE(grid.rowCount(), std::max(grid.LineCount(), 1));
        // The running totals never drift from a fresh count of the same lines.
        const QString running = Totals(grid);
        grid.Recount();
        QCOMPARE(Totals(grid), running);
    }

    // A new line's cells: quantity "###0.00", amounts "#####0.00", rounded half to even.
    void newLineFormats_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("saving");
        QTest::addColumn<QString>("cells"); // columns 0 to 10, "|" between

        QTest::newRow("fractions") << u"2.5"_s << u"0.1"_s << u"0.05"_s
                                   << u"A|-|x|P1|Item P1|2.50|0.10|0.25|0.05|0.20|T"_s;
        QTest::newRow("halves round to even")
            << u"0.125"_s << u"2.345"_s << u"0"_s << u"A|-|x|P1|Item P1|0.12|2.34|0.29|0.00|0.29|T"_s;
        QTest::newRow("more digits than the picture")
            << u"12345"_s << u"1234567"_s << u"0"_s
            << u"A|-|x|P1|Item P1|12345.00|1234567.00|15240729615.00|0.00|15240729615.00|T"_s;
    }

    void newLineFormats()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, rate);
        QFETCH(QString, saving);
        const LineAmounts amounts = LineAmounts::Price(M(quantity), M(rate), std::nullopt, 2);
        LineAmounts withSaving = amounts;
        withSaving.saving = M(saving);
        withSaving.gross = amounts.value - M(saving);
        LineGrid grid;
        grid.AddLine(u"P1"_s, u"Item P1"_s, M(quantity), withSaving, true);
        QStringList cells;
        for (int column = 0; column <= 10; ++column)
            cells << grid.Text(0, column);
        QTEST(cells.join(u'|'), "cells");
        QVERIFY(grid.Text(0, LineGrid::SpareColumn).isEmpty());
    }

    void marker()
    {
        LineGrid grid;
        Add(grid, u"A 1 3"_s);
        Add(grid, u"B 1 3"_s);
        QVERIFY(Marked(grid, 0) && Marked(grid, 1));
        for (int column = 0; column < grid.columnCount(); ++column)
            if (column != LineGrid::DelColumn)
                QVERIFY(!Marked(grid, 0, column));
    }

    // Stored values as the grid shows them: numbers "######0.00", dates short.
    void loadFormats_data()
    {
        QTest::addColumn<QVariant>("quantity");
        QTest::addColumn<QVariant>("rate");
        QTest::addColumn<QString>("cells"); // columns 2 to 10

        QTest::newRow("whole") << QVariant(3) << QVariant(4.5) << u"x|P1|Item|3.00|4.50|13.50|0.00|13.50|T"_s;
        QTest::newRow("half at the second decimal goes to even")
            << QVariant(2.345) << QVariant(1.0) << u"x|P1|Item|2.34|1.00|13.50|0.00|13.50|T"_s;
        QTest::newRow("no quantity stays blank")
            << QVariant() << QVariant(1.0) << u"x|P1|Item||1.00|13.50|0.00|13.50|T"_s;
        QTest::newRow("large") << QVariant(1234567.891) << QVariant(-0.004)
                               << u"x|P1|Item|1234567.89|0.00|13.50|0.00|13.50|T"_s;
    }

    void loadFormats()
    {
        QFETCH(QVariant, quantity);
        QFETCH(QVariant, rate);
        const QDate date(2026, 2, 28);
        c->Execute(u"Insert Into ktBillDetl Values (?,?,?,?,?,?,?,?,?,?,?)"_s,
            { 9, date, u"x"_s, u"P1"_s, u"Item"_s, quantity, rate, 13.5, 0.0, 13.5, u"T"_s });
        LineGrid grid;
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.Load(*c, u"ktBillDetl"_s, 9);
        QCOMPARE(grid.LineCount(), 1);
        QCOMPARE(grid.Text(0, 0), u"9"_s);
        QCOMPARE(grid.Text(0, 1), ShortDate(date));
        QStringList cells;
        for (int column = 2; column <= 10; ++column)
            cells << grid.Text(0, column);
        QTEST(cells.join(u'|'), "cells");
        QCOMPARE(Totals(grid), u"0 0.00 0.00"_s); // until recounted
    }

    // A document's lines go out through StockPosting and come back as they were, in order,
    // and only that document's.
    void roundTrip()
    {
        AddProduct(*c, { .code = u"A"_s });
        LineGrid grid;
        Add(grid, u"A 2.5 7.25 T"_s);
        Add(grid, u"Z 1 3"_s);
        Add(grid, u"A 1 2"_s);
        StockPosting posting(*c, TempDatabase::FixedToday());
        const QStringList missing
            = posting.Write(u"ktBillDetl"_s, 21, QDate(2026, 3, 1), grid.Lines(), StockMove::Sale);
        QCOMPARE(missing, QStringList { u"Z"_s });
        posting.Write(u"ktBillDetl"_s, 22, QDate(2026, 3, 1), { grid.Lines().at(1) }, StockMove::None);
        // 2.5 moves 2 units, then 1.
        QCOMPARE(c->Scalar(u"Select PSaleQty From ktProduct Where PCode='A'"_s).toInt(), 3);
        QCOMPARE(c->Scalar(u"Select PCloseQty From ktProduct Where PCode='A'"_s).toInt(), 7);

        LineGrid stored;
        QAbstractItemModelTester tester(&stored, QAbstractItemModelTester::FailureReportingMode::QtTest);
        stored.Load(*c, u"ktBillDetl"_s, 21);
        QCOMPARE(stored.LineCount(), 3);
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(stored.Text(r, 0), u"21"_s);
            for (int column = 2; column <= 10; ++column)
                QCOMPARE(stored.Text(r, column), grid.Text(r, column));
        }
        // Lines read back show plain, without the marker or totals, until they are recounted.
        QVERIFY(!Marked(stored, 0) && !Marked(stored, 2));
        stored.Recount();
        QVERIFY(Marked(stored, 0) && Marked(stored, 2));
        QCOMPARE(Totals(stored), Totals(grid));
        QCOMPARE(Totals(stored), u"4 12.25 7.25"_s);

        // A document without lines, after one with lines, shows the empty grid.
        stored.Load(*c, u"ktBillDetl"_s, 23);
        QVERIFY(stored.IsEmpty());
        QCOMPARE(stored.rowCount(), 1);
        QVERIFY(!Marked(stored, 0));
    }

    void loadRefusesOtherTables()
    {
        LineGrid grid;
        Add(grid, u"A 1 3"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, grid.Load(*c, u"ktProduct"_s, 1));
        QVERIFY_THROWS_EXCEPTION(DbError, grid.Load(*c, u"ktBillDetl Where 1=1 Or EId"_s, 1));
        // The grid keeps what it had.
        QCOMPARE(Codes(grid), u"A"_s);
    }
};

QTEST_MAIN(TestLineGrid)
#include "tst_linegrid.moc"
