// The sales trend on the demo shop's three months of bills and purchases: each grid's rows
// checked against totals the test adds up itself from the plain lines.
#include "Recordset.h"
#include "TestContext.h"
#include "TrendState.h"

#include <algorithm>
#include <map>
#include <memory>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

struct Totals {
    std::map<QString, double> quantity, value;
};

qint64 Cents(double value)
{
    return qRound64(value * 100);
}

// Ranks are compared by their totals: names with the same total may come in either order, and
// the names tied with the last place are all listed.
void CompareTop(const TrendState::Grid& grid, const std::map<QString, double>& expected, int limit)
{
    std::vector<double> totals;
    for (const auto& [name, total] : expected)
        totals.push_back(total);
    std::sort(totals.rbegin(), totals.rend());
    size_t shown = std::min(totals.size(), size_t(limit));
    while (shown > 0 && shown < totals.size() && Cents(totals[shown]) == Cents(totals[shown - 1]))
        ++shown;
    totals.resize(shown);

    QCOMPARE(grid.headings.size(), 2);
    QCOMPARE(grid.values.size(), totals.size());
    for (size_t r = 0; r < grid.values.size(); ++r) {
        const QString name = grid.values[r].at(0).toString();
        const double total = grid.values[r].at(1).toDouble();
        QVERIFY2(expected.count(name), qPrintable(u"unexpected name "_s + name));
        QCOMPARE(Cents(total), Cents(expected.at(name)));
        QCOMPARE(Cents(total), Cents(totals[r]));
    }
}

} // namespace

class TrendStateTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_test = std::make_unique<TestContext>(TempDatabase::Content::Demo); }

    void grids_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<bool>("renamed"); // one product's description changed on some of its lines
        const QDate today = TempDatabase::FixedToday();
        const QDate history = today.addDays(-200);
        QTest::newRow("sales, whole history") << int(TrendState::Sales) << history << today << false;
        QTest::newRow("purchases, whole history") << int(TrendState::Purchase) << history << today << false;
        QTest::newRow("sales, one day")
            << int(TrendState::Sales) << today.addDays(-3) << today.addDays(-3) << false;
        QTest::newRow("no bills in range")
            << int(TrendState::Sales) << today.addDays(1) << today.addDays(40) << false;
        QTest::newRow("description changed") << int(TrendState::Sales) << history << today << true;
    }

    void grids()
    {
        QFETCH(int, mode);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(bool, renamed);
        Connection& db = m_test->context.connection;
        const bool sales = mode == TrendState::Sales;
        const QString p = sales ? u"B"_s : u"P"_s;
        const QString table = sales ? u"ktBillDetl"_s : u"ktPurcDetl"_s;
        if (renamed) // half the lines of the best-selling code get a new description
            db.Execute(u"Update ktBillDetl Set BPDesc='Renamed' Where BPId='P1001' And (EId % 2)=0"_s);

        // The plain lines, added up here.
        std::map<QString, QString> groupOfProduct;
        Recordset products(db);
        products.Open(u"Select b.PCode, c.GName From ktProduct b, kmGroup c Where b.PGId=c.EId"_s);
        for (; !products.Eof(); products.MoveNext())
            groupOfProduct[products.Text(0).toUpper()] = products.Text(1);
        Totals byName, byGroup;
        int lines = 0;
        Recordset rows(db);
        rows.Open(u"Select EDate, %1PId, %1PDesc, %1Qty, %1Gross From %2"_s.arg(p, table));
        for (; !rows.Eof(); rows.MoveNext()) {
            const QDate date = rows.Value(0).toDate();
            if (date < start || date > end)
                continue;
            ++lines;
            for (auto [totals, key] : { std::pair { &byName, rows.Text(2) },
                     std::pair { &byGroup, groupOfProduct[rows.Text(1).toUpper()] } }) {
                totals->quantity[key] += rows.Value(3).toDouble();
                totals->value[key] += rows.Value(4).toDouble();
            }
        }
        if (QByteArray(QTest::currentDataTag()) != "no bills in range")
            QVERIFY2(lines > 0, "the range should hold lines");
        if (renamed)
            QVERIFY(byName.quantity.count(u"Renamed"_s));

        TrendState state(m_test->context);
        state.Open();
        state.cmbTrend = TrendState::Mode(mode);
        state.SetStart(start);
        state.SetEnd(end);
        QVERIFY(state.View());
        QVERIFY(m_test->messages.shown.isEmpty());
        QVERIFY(m_test->ErrorLogLines().isEmpty());
        CompareTop(state.grid(0), byName.quantity, 10);
        CompareTop(state.grid(1), byName.value, 10);
        CompareTop(state.grid(2), byGroup.quantity, 5);
        CompareTop(state.grid(3), byGroup.value, 5);
        QCOMPARE(state.grid(0).headings, QStringList({ u"PName"_s, u"PQty"_s }));
        QCOMPARE(state.grid(3).headings, QStringList({ u"GName"_s, u"GGross"_s }));
    }

    void range_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("start a day after end") << QDate(2026, 3, 2) << QDate(2026, 3, 1) << false;
        QTest::newRow("same day") << QDate(2026, 3, 1) << QDate(2026, 3, 1) << true;
    }

    void range()
    {
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(bool, accepted);
        TrendState state(m_test->context);
        state.Open();
        // A refused range leaves the previous View's grids as they were.
        state.SetStart(TempDatabase::FixedToday().addDays(-60));
        QVERIFY(state.View());
        const size_t before = state.grid(0).values.size();
        QVERIFY(before > 0);
        state.SetStart(start);
        state.SetEnd(end);
        std::vector<int> filled;
        QCOMPARE(state.View([&](int grid) { filled.push_back(grid); }), accepted);
        QCOMPARE(filled, accepted ? std::vector<int>({ 0, 1, 2, 3 }) : std::vector<int>());
        QCOMPARE(m_test->messages.shown, accepted ? QStringList() : QStringList { u"Invalid Range !"_s });
        if (!accepted)
            QCOMPARE(state.grid(0).values.size(), before);
    }

    void failingGridIsReportedAndOthersFilled()
    {
        // Without the group table the two group grids fail; the product grids still fill.
        m_test->context.connection.Execute(u"Drop Table kmGroup"_s);
        TrendState state(m_test->context);
        state.Open();
        state.SetStart(TempDatabase::FixedToday().addDays(-200));
        QVERIFY(state.View());
        QCOMPARE(m_test->ErrorLogLines().size(), 2);
        for (int grid = 0; grid < 4; ++grid)
            QCOMPARE(state.grid(grid).values.empty(), grid >= 2);
    }

private:
    std::unique_ptr<TestContext> m_test;
};

QTEST_GUILESS_MAIN(TrendStateTest)
#include "tst_trendstate.moc"
