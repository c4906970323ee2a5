// The sales trend on the demo shop's three months of bills and purchases: each grid's rows
// checked against totals the test adds up itself from the plain lines. Then its window: the
// drop-down calendars (pick, Escape, focus leaving), View through the window, and closing.
#include "DropCalendar.h"
#include "KvTrend.h"
#include "Recordset.h"
#include "Settings.h"
#include "TestContext.h"
#include "TrendState.h"

#include <algorithm>
#include <map>
#include <memory>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
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
    // A fresh demo shop for each test (some change it), with the look settings a login loads,
    // and the trend window open on it.
    void init()
    {
        m_test = std::make_unique<TestContext>(TempDatabase::Content::Demo);
        LoadCustomize(m_test->context);
        LoadPreferences(m_test->context);
        m_window = std::make_unique<KvTrend>(m_test->context);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void grids_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<bool>("renamed"); // one product's description changed on some of its lines
        const QDate today = TempDatabase::FixedToday();
        const QDate history = today.addDays(-200);
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
        std::vector<int> filled; // each grid as soon as its statement is done
        QVERIFY(state.View([&](int grid) { filled.push_back(grid); }));
        QCOMPARE(filled, std::vector<int>({ 0, 1, 2, 3 }));
        QVERIFY(m_test->messages.shown.isEmpty());
        QVERIFY(m_test->ErrorLogLines().isEmpty());
        CompareTop(state.grid(0), byName.quantity, 10);
        CompareTop(state.grid(1), byName.value, 10);
        CompareTop(state.grid(2), byGroup.quantity, 5);
        CompareTop(state.grid(3), byGroup.value, 5);
    }

    // A start after the end is refused, and the previous View's grids stay as they were.
    void refusedRange()
    {
        TrendState state(m_test->context);
        state.Open();
        state.SetStart(TempDatabase::FixedToday().addDays(-60));
        QVERIFY(state.View());
        const size_t before = state.grid(0).values.size();
        QVERIFY(before > 0);
        state.SetStart(QDate(2026, 3, 2));
        state.SetEnd(QDate(2026, 3, 1));
        QVERIFY(!state.View([](int) { QFAIL("no grid is filled"); }));
        QCOMPARE(m_test->messages.shown, QStringList { u"Invalid Range !"_s });
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

    void calendar_data()
    {
        QTest::addColumn<bool>("end"); // the end date's calendar, else the start's
        QTest::addColumn<int>("days"); // days moved with the arrow keys
        QTest::addColumn<int>("finish"); // the key that ends it: Enter picks, Escape cancels
        QTest::newRow("end: a week back, Enter") << true << -7 << int(Qt::Key_Return);
        QTest::newRow("start: Escape keeps the date") << false << -3 << int(Qt::Key_Escape);
    }

    void calendar()
    {
        QFETCH(bool, end);
        QFETCH(int, days);
        QFETCH(int, finish);
        QPushButton* button = end ? m_window->endButton() : m_window->startButton();
        DropCalendar* calendar = end ? m_window->endCalendar() : m_window->startCalendar();
        QLineEdit* box = end ? m_window->endBox() : m_window->startBox();
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(calendar->isVisible());
        QVERIFY(calendar->isAncestorOf(QApplication::focusWidget()) || calendar->hasFocus());
        QCOMPARE(calendar->selectedDate(), TempDatabase::FixedToday());
        // The calendar lies within the window and over the grids.
        QVERIFY(m_window->rect().contains(calendar->geometry()));
        for (int i = 0; i < qAbs(days); ++i)
            QTest::keyClick(QApplication::focusWidget(), days < 0 ? Qt::Key_Left : Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(finish));
        QVERIFY(!calendar->isVisible());
        QVERIFY(m_window->isVisible()); // Escape closed the calendar, not the window
        const QDate expected = TempDatabase::FixedToday().addDays(finish == Qt::Key_Escape ? 0 : days);
        QCOMPARE(box->text(), expected.toString(Qt::ISODate));
        QCOMPARE(end ? m_window->state().monSel2 : m_window->state().monSel1, expected);
        QVERIFY(button->hasFocus());
    }

    // The mode chosen in the window reaches the statements; every grid shows its rows.
    void viewFillsTheGrids()
    {
        m_window->modeBox()->setCurrentIndex(1);
        m_window->state().SetStart(TempDatabase::FixedToday().addDays(-120));
        QTest::mouseClick(m_window->viewButton(), Qt::LeftButton);
        QVERIFY(m_test->messages.shown.isEmpty());
        QVERIFY(m_test->ErrorLogLines().isEmpty());
        for (int i = 0; i < TrendState::GridCount; ++i) {
            const TrendState::Grid& data = m_window->state().grid(i);
            QTableWidget* grid = m_window->grid(i);
            QVERIFY(!data.texts.empty());
            QCOMPARE(grid->rowCount(), int(data.texts.size()));
            QCOMPARE(grid->item(0, 0)->text(), data.texts[0].at(0));
            QCOMPARE(grid->horizontalHeaderItem(0)->text(), i < 2 ? u"PName"_s : u"GName"_s);
        }
        QVERIFY(m_window->state().SqlText.contains(u"ktPurcDetl"_s));
    }

    void escapeInModeBoxCloses()
    {
        m_window->modeBox()->setFocus();
        QTest::keyClick(m_window->modeBox(), Qt::Key_Escape);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->result(), int(QDialog::Rejected));
    }

private:
    std::unique_ptr<TestContext> m_test;
    std::unique_ptr<KvTrend> m_window;
};

QTEST_MAIN(TrendStateTest)
#include "tst_trendstate.moc"
