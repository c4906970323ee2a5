// The product selection's steps: P (code), Q (quantity), R (rate) and A (at once), with their
// messages, the rate by caller, the rate lock, the stock check of the counter, and the lines
// it adds to the calling document's grid. Also its product list, read a page at a time, what
// the windows add to it (the rate lock, the query card's keys; the real-program run drives the
// rest), and the list picker those windows open, its lines, its choice and its keys.
#include "KvList.h"
#include "KvPQuery.h"
#include "KvPSelect.h"
#include "LineGrid.h"
#include "ListPickerState.h"
#include "ProductListModel.h"
#include "ProductSelectState.h"
#include "SeedData.h"
#include "TestContext.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class TestProductSelect : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> m_test;

    void Product(int id, const char* code, double purchase, double sale, int close, const char* active = "Y")
    {
        m_test->context.connection.Execute(
            u"Insert Into ktProduct (EId, EDate, PCode, PName, PGId, PPurchRate, PSaleRate, POpenQty, "
            u"PPurchQty, "
            "PSaleQty, PCloseQty, PTax, PActive) Values (?, #3/5/2026#, ?, ?, 1, ?, ?, ?, 0, 0, ?, 'T', ?)"_s,
            { id, QString::fromLatin1(code), QString(u"Name of "_s + QLatin1String(code)), purchase, sale,
                close, close, QString::fromLatin1(active) });
    }

private slots:
    void initTestCase()
    {
        m_test = std::make_unique<TestContext>();
        Connection& db = m_test->context.connection;
        db.Execute(u"Delete From ktProduct"_s);
        db.Execute(u"Delete From kmGroup"_s);
        db.Execute(u"Insert Into kmGroup (EId, EDate, GName, GSavePer) Values (1, #3/5/2026#, 'Soaps', 10), "
                   "(2, #3/5/2026#, 'Coffee', 5)"_s);
        Product(1, "P1", 80, 99.99, 5);
        Product(2, "P3", 2, 3.5, 0);
        Product(3, "P4", 7, 8.1, 9, "N");
        db.Execute(u"Insert Into kmAccount (EId, EDate, AName) Values (1, #3/5/2026#, 'Bank'), "
                   "(2, #3/5/2026#, 'Petty cash')"_s);
    }
    void init() { m_test->messages.shown.clear(); }

    void steps_data()
    {
        QTest::addColumn<QString>("setup"); // caller code, "counter" or "-", PStkChek PGrpSave PRatEdit
        QTest::addColumn<QString>("actions"); // code=, qty=, rate=, step, at-once; ";" between
        // "STEP FOCUS code|qty|rate", then the grid's lines "code qty rate value saving", DocItems
        // and the messages shown.
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* setup, const char* actions, const char* expected) {
            QTest::newRow(name) << QString::fromUtf8(setup) << QString::fromUtf8(actions)
                                << QString::fromUtf8(expected);
        };
        row("from an order: purchase rate, no saving, no quantity offered", "2 - YYY",
            "code=P1;step;qty=3;step;step", "P list || ; P1 3.00 80.00 240.00 0.00 ; 3 ;");
        row("inactive product", "1 counter YYY", "code=P4;step", "P list |1| ;  ; 0 ; Invalid Product !");
        row("quote in the code", "1 counter YYY", "code=P1' Or 'a'='a;step",
            "P list |1| ;  ; 0 ; Invalid Product !");
        row("blank code: to the list", "1 counter YYY", "code= ;step", "P list  |1| ;  ; 0 ;");
        row("quantity zero", "1 - YYY", "code=P1;step;qty=0;step", "Q qty P1||99.99 ;  ; 0 ; Invalid Qty !");
        row("counter: more than the stock", "1 counter YYY", "code=P1;step;qty=6;step",
            "Q qty P1||99.99 ;  ; 0 ; Available Stock- 5");
        row("counter, stock check off", "1 counter NYY", "code=P1;step;qty=6;step",
            "R rate P1|6|99.99 ;  ; 0 ;");
        row("quote: stock not checked", "1 - YYY", "code=P3;step;qty=4;step", "R rate P3|4|3.5 ;  ; 0 ;");
        row("code changed before the rate", "1 - YYY", "code=P1;step;qty=1;step;code=P3;step",
            "P list |1|99.99 ;  ; 0 ;");
        row("rate not a number", "1 - YYY", "code=P1;step;qty=1;step;rate=x;step", "R rate P1|1| ;  ; 0 ;");
        row("quantity 2.5 counts 2, comma rate rounded", "1 - YNY",
            "code=P3;step;qty=2,5;step;rate=1,005;step", "P list || ; P3 2.50 1.00 2.50 0.00 ; 2 ;");
        row("at once: quantity and rate offered", "1 counter YYY", "code=P1;at-once",
            "P list |1| ; P1 1.00 99.99 99.99 10.00 ; 1 ;");
        row("at once, counter: no stock left", "1 counter YYY", "code=P3;at-once",
            "P list |1| ;  ; 0 ; Available Stock- 0");
    }

    void steps()
    {
        QFETCH(QString, setup);
        QFETCH(QString, actions);
        const QString p = setup.section(u' ', 2);
        Preferences& shop = m_test->context.preferences;
        shop.PStkChek = p.at(0);
        shop.PGrpSave = p.at(1);
        shop.PRatEdit = p.at(2);
        shop.PAmtRoun = u"2"_s;
        LineGrid grid;
        grid.Setup();
        ProductSelectState state(
            m_test->context, grid, setup.section(u' ', 0, 0).toInt(), setup.contains(u"counter"_s));
        state.Open();
        for (const QString& action : actions.split(u';')) {
            const QString value = action.section(u'=', 1);
            if (action.startsWith(u"code="))
                state.PCode = value;
            else if (action.startsWith(u"qty="))
                state.Qty = value;
            else if (action.startsWith(u"rate="))
                state.Rate = value;
            else if (action == u"at-once") {
                state.SetStep(ProductSelectState::Step::A);
                state.RunStep();
            } else
                state.RunStep();
        }
        QStringList lines;
        for (int row = 0; row < grid.LineCount(); ++row) {
            QStringList cells;
            for (int c : { LineGrid::CodeColumn, LineGrid::QtyColumn, LineGrid::RateColumn,
                     LineGrid::ValueColumn, LineGrid::SavingColumn })
                cells << grid.Text(row, c);
            lines << cells.join(u' ');
        }
        const QString shown
            = u"%1 %2 %3|%4|%5 ; %6 ; %7 ; %8"_s
                  .arg(u"PQRA"_s.mid(int(state.step()), 1),
                      QStringList { u"list"_s, u"code"_s, u"qty"_s, u"rate"_s }.at(int(state.focus())),
                      state.PCode, state.Qty, state.Rate, lines.join(u", "_s))
                  .arg(grid.DocItems())
                  .arg(m_test->messages.shown.join(u", "_s));
        QTEST(shown.trimmed(), "expected");
    }

    // Pages follow each other by id without gaps or repeats, inactive products left out.
    void listReadsPages()
    {
        Connection& db = m_test->context.connection;
        const int extra = 2 * ProductListModel::PageSize + 7;
        Transaction unit(db);
        for (int i = 0; i < extra; ++i)
            db.Execute(
                u"Insert Into ktProduct (EId, EDate, PCode, PName, PActive) Values (?, #3/5/2026#, ?, ?, ?)"_s,
                { 100 + i, u"G%1"_s.arg(i), u"Generated %1"_s.arg(i), i % 10 == 3 ? u"N"_s : u"Y"_s });
        unit.Commit();
        auto cleanUp = qScopeGuard([&] { db.Execute(u"Delete From ktProduct Where EId >= 100"_s); });

        ProductListModel list(db, m_test->context.errors, true);
        list.Open();
        QCOMPARE(list.rowCount(), int(ProductListModel::PageSize));
        // Attached after the reset: the tester itself fetches more while it checks one.
        QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
        while (list.canFetchMore({}))
            list.fetchMore({});
        const int active = db.Scalar(u"Select Count(*) From ktProduct Where PActive='Y'"_s).toInt();
        QCOMPARE(list.rowCount(), active);
        QCOMPARE(list.CodeAt(0), u"P1"_s);
        QStringList codes;
        for (int row = 0; row < list.rowCount(); ++row)
            codes << list.CodeAt(row);
        codes.removeDuplicates();
        QCOMPARE(codes.size(), active);
        QVERIFY(!codes.contains(u"G3"_s));
        QCOMPARE(codes.last(), u"G%1"_s.arg(extra - 1));
    }

    void rateLockedFromPreferences()
    {
        m_test->context.preferences.PRatEdit = u"N"_s;
        LineGrid grid;
        KvPSelect dialog(m_test->context, grid, 2, false);
        m_test->context.preferences.PRatEdit = u"Y"_s;
        QVERIFY(dialog.box(4)->isReadOnly());
        QCOMPARE(dialog.box(3)->text(), QString());
    }

    // Ticking a line's box takes its product as a double click does, and the box is clear for
    // the next one.
    void tickingALine()
    {
        LineGrid grid;
        grid.Setup();
        KvPSelect dialog(m_test->context, grid, 1, false);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QListView* list = dialog.list();
        const QModelIndex line = list->model()->index(1, 0);
        QStyleOptionViewItem option;
        option.initFrom(list);
        option.rect = list->visualRect(line);
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(dialog.state().PCode + u' ' + u"PQRA"_s.mid(int(dialog.state().step()), 1), u"P3 Q"_s);
        QCOMPARE(line.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }

    // The product query card: a list closed without a pick looks the same code up again, and
    // Escape closes the card. (A picked product shown is driven through the real program.)
    void queryCard()
    {
        KvPQuery card(m_test->context);
        std::optional<ListPick> answer = ListPick { u"P4"_s, u"Name of P4"_s };
        card.pickProduct = [&] { return std::exchange(answer, std::nullopt); };
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        card.box(0)->setFocus();
        QTest::keyClick(card.box(0), Qt::Key_A);
        QTest::keyClick(card.box(3), Qt::Key_Space);
        QCOMPARE(card.box(1)->text() + u' ' + card.hint(4)->text(), u"3 Soaps"_s);
        QTest::keyClick(card.box(3), Qt::Key_Escape);
        QVERIFY(!card.isVisible());
    }
    // A supplier whose name and key are longer than their columns: the line holds both cut
    // to their columns, under the source's headings.
    void linesAreCutToTheirColumns()
    {
        InsertRow(m_test->context.connection, u"ktSupplier"_s,
            { 1, TempDatabase::FixedToday(), u"Northern Wholesale Supplies Limited"_s, u""_s, u""_s, u""_s,
                u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"www.acme-wholesale.test"_s, u"S1"_s, u"Y"_s,
                u""_s });
        ListPickerState picker(m_test->context, u"SCompany, SWebsite From ktSupplier"_s);
        picker.Open();
        QCOMPARE(picker.lines.size(), 1);
        QCOMPARE(ListPickerState::NameOf(picker.lines.first()), u"Northern Wholesale Supplies"_s);
        QCOMPARE(ListPickerState::KeyOf(picker.lines.first()), u"www.acme-wholesa"_s);
        QCOMPARE(picker.headings[1], u"SWebsite"_s);
    }

    // An empty list and a source that cannot be read both leave no lines; Enter only closes.
    void emptyOrBadSource()
    {
        ListPickerState empty(m_test->context, u"PName, EId From kmPaytype"_s);
        empty.Open();
        QCOMPARE(empty.lines, QStringList());
        empty.Choose();
        QVERIFY(empty.closed);
        QVERIFY(!empty.pick);
        QCOMPARE(m_test->messages.shown, QStringList());
        ListPickerState bad(m_test->context, u"Nonsense, EId From kmNothing"_s);
        bad.Open();
        QCOMPARE(bad.lines, QStringList());
        QCOMPARE(m_test->messages.shown, QStringList { u"ErroR!"_s });
    }

    void chooseAnswersKeyAndName()
    {
        ListPickerState picker(m_test->context, u"GName, EId From kmGroup"_s);
        picker.Open();
        QCOMPARE(picker.lines.size(), 2);
        picker.selected = ListPickerState::NameOf(picker.lines.at(0)) == u"Coffee" ? 0 : 1;
        picker.Choose();
        QVERIFY(picker.closed);
        QVERIFY(picker.pick);
        QCOMPARE(picker.pick->key, u"2"_s);
        QCOMPARE(picker.pick->name, u"Coffee"_s);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("open");

        // Tab chooses as Enter does (the program run presses Enter), instead of leaving the list.
        QTest::newRow("Tab") << int(Qt::Key_Tab) << true << false;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << false << false;
        QTest::newRow("a letter") << int(Qt::Key_P) << false << true;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(bool, chosen);
        QFETCH(bool, open);
        KvList picker(m_test->context, u"AName, EId From kmAccount"_s);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QCOMPARE(picker.list()->count(), 2);
        QCOMPARE(picker.list()->currentRow(), 0);
        const QString first = ListPickerState::KeyOf(picker.list()->item(0)->text());
        QTest::keyClick(picker.list(), Qt::Key(key));
        QCOMPARE(picker.state().pick.has_value(), chosen);
        if (chosen)
            QCOMPARE(picker.state().pick->key, first);
        QCOMPARE(picker.isVisible(), open);
    }
};

QTEST_MAIN(TestProductSelect)
#include "tst_productselect.moc"
