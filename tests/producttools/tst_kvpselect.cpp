// The product selection and product query windows driven by keys as a cashier uses them.
#include "KvPQuery.h"
#include "KvPSelect.h"
#include "LineGrid.h"
#include "ProductSelectState.h"
#include "TestContext.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class KvPSelectTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> m_test;

    void Shot(QWidget& window, const char* name)
    {
        const QString folder = qEnvironmentVariable("KIVO_SHOTS");
        if (!folder.isEmpty())
            window.grab().save(folder + u'/' + QLatin1String(name));
    }

private slots:
    void initTestCase()
    {
        m_test = std::make_unique<TestContext>();
        Connection& db = m_test->context.connection;
        db.Execute(u"Delete From ktProduct"_s);
        db.Execute(u"Delete From kmGroup"_s);
        db.Execute(
            u"Insert Into kmGroup (EId, EDate, GName, GSavePer) Values (4, #3/5/2026#, 'Soaps', 10)"_s);
        const char* rows[][3]
            = { { "S100", "Lavender soap", "Y" }, { "S200", "Rose soap", "Y" }, { "S300", "Old soap", "N" } };
        int id = 0;
        for (const auto& row : rows)
            db.Execute(
                u"Insert Into ktProduct (EId, EDate, PCode, PName, PGId, PPurchRate, PSaleRate, POpenQty, "
                "PPurchQty, PSaleQty, PCloseQty, PTax, PActive) Values (?, #3/5/2026#, ?, ?, 4, 8, 12.5, 3, "
                "0, "
                "0, 3, 'T', ?)"_s,
                { ++id, QString::fromLatin1(row[0]), QString::fromLatin1(row[1]),
                    QString::fromLatin1(row[2]) });
        Preferences& shop = m_test->context.preferences;
        shop.PStkChek = u"Y"_s;
        shop.PGrpSave = u"Y"_s;
        shop.PRatEdit = u"Y"_s;
        shop.PAmtRoun = u"2"_s;
    }

    void selectByKeys()
    {
        LineGrid grid;
        grid.Setup();
        QList<int> added;
        KvPSelect dialog(m_test->context, grid, 1, true);
        connect(&dialog.state(), &ProductSelectState::lineAdded, this, [&](int row) { added << row; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.list()->model()->rowCount(), 2); // the active products only
        QCOMPARE(dialog.box(3)->text(), u"1"_s);

        // From the list: Enter takes the product, Enter twice more adds one at the sale rate.
        dialog.list()->setFocus();
        QCOMPARE(dialog.list()->currentIndex().row(), 0);
        QTest::keyClick(dialog.list(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.box(3));
        QCOMPARE(dialog.box(4)->text(), u"12.5"_s);
        QTest::keyClick(dialog.box(3), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.box(4));
        QTest::keyClick(dialog.box(4), Qt::Key_Return);
        QCOMPARE(added, QList<int>({ 0 }));
        QCOMPARE(grid.Text(0, LineGrid::CodeColumn), u"S100"_s);
        QCOMPARE(grid.Text(0, LineGrid::SavingColumn), u"1.25"_s);
        QCOMPARE(QApplication::focusWidget(), dialog.list());

        // A typed code, two of it at a typed rate; the window stays open for the next.
        QLineEdit* code = dialog.box(2);
        code->setFocus();
        QTest::keyClicks(code, u"s200"_s);
        QTest::keyClick(code, Qt::Key_Return);
        QLineEdit* qty = dialog.box(3);
        qty->selectAll();
        QTest::keyClicks(qty, u"2"_s);
        QTest::keyClick(qty, Qt::Key_Return);
        QLineEdit* rate = dialog.box(4);
        rate->selectAll();
        QTest::keyClicks(rate, u"10,004"_s);
        QTest::keyClick(rate, Qt::Key_Return);
        QCOMPARE(added, QList<int>({ 0, 1 }));
        QCOMPARE(grid.Text(1, LineGrid::RateColumn), u"10.00"_s);
        QCOMPARE(grid.DocItems(), 3);

        Shot(dialog, "kvpselect.png");

        QTest::keyClick(dialog.list(), Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(grid.LineCount(), 2);
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

    void queryCard()
    {
        KvPQuery card(m_test->context);
        int picks = 0;
        std::optional<ListPick> answer = ListPick { u"S300"_s, u"Old soap"_s };
        card.pickProduct = [&] {
            ++picks;
            return answer;
        };
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        card.box(0)->setFocus();
        QTest::keyClick(card.box(0), Qt::Key_A);
        QCOMPARE(picks, 1);
        const QStringList shown { u"S300"_s, u"3"_s, u"Old soap"_s, u"T"_s, u"4"_s, u"12.50"_s, u"3.00"_s,
            u"N"_s };
        for (int i = 0; i < shown.size(); ++i)
            QCOMPARE(card.box(i)->text(), shown.at(i));
        QCOMPARE(card.hint(0)->text(), u"Old soap"_s);
        QCOMPARE(card.hint(4)->text(), u"Soaps"_s);
        Shot(card, "kvpquery.png");

        // Closed without a pick: the same code is looked up again; Escape closes the card.
        answer.reset();
        QTest::keyClick(card.box(3), Qt::Key_Space);
        QCOMPARE(picks, 2);
        QCOMPARE(card.box(1)->text(), u"3"_s);
        QTest::keyClick(card.box(3), Qt::Key_Escape);
        QVERIFY(!card.isVisible());
    }
};

QTEST_MAIN(KvPSelectTest)
#include "tst_kvpselect.moc"
