// The purchase-order screen's purchase panel through the record engine: opening it, the
// purchase with its questions and checks, and cancelling.
#include "DocumentRows.h"
#include "OrderPanel.h"

#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {
using F = OrderPanel::Field;
}

class TestOrderPanel : public QObject, PanelFixture<OrderPanel> {
    Q_OBJECT

    QString Stock() { return Sql(u"Select PPurchQty || ' ' || PCloseQty From ktProduct Where PCode='P1'"_s); }
    void OpenOn(int id) { PanelFixture::OpenOn(u"KvOrder"_s, id); }

private slots:
    void init()
    {
        StartEngine();
        f->Insert("ktProduct", ProductRow(1, u"P1"_s, 50.0, 60.0, 4));
        f->Insert("ktSupplier", SupplierRow());
        // Order 45 is open: gross 500.00, ten units of P1; order 46 was purchased.
        f->Insert("ktOrdrMast", { 45, Day, 1, u"ORD-9"_s, 2, 10, 500.0, u"N"_s, u"-"_s });
        f->Insert("ktOrdrDetl", LineRow(45, u"P1"_s, 10, 50));
        f->Insert("ktOrdrMast", { 46, Day, 1, u"ORD-10"_s, 2, 1, 50.0, u"P"_s, u"PURC#1;-"_s });
        f->Insert("ktOrdrDetl", LineRow(46, u"P1"_s, 1, 50));
    }
    void cleanup() { StopEngine(); }

    void toPurchase_data()
    {
        QTest::addColumn<int>("order"); // 0: a new order
        QTest::addColumn<QString>("notice");
        QTest::newRow("open order") << 45 << "";
        QTest::newRow("purchased order") << 46 << "Order Already Processed !";
        QTest::newRow("new order") << 0 << "Save Order First !";
    }
    void toPurchase()
    {
        QFETCH(int, order);
        QFETCH(QString, notice);
        OpenOn(order ? order : 45);
        if (!order) {
            f->messages().Answer(true);
            f->Command(CommandNumber::Add);
        }
        f->messages().shown.clear();
        panel->ToPurchase();
        QCOMPARE(f->messages().shown, notice.isEmpty() ? QStringList() : QStringList { notice });
        QCOMPARE(panel->IsOpen(), notice.isEmpty());
        if (notice.isEmpty())
            QCOMPARE(QStringList({ screen().Text(F::PanelGrossField), screen().Text(F::TaxField),
                         screen().Text(F::NettField) }),
                QStringList({ u"500.00"_s, u"0"_s, u"500.00"_s }));
    }

    void purchase_data()
    {
        QTest::addColumn<QString>("tax");
        QTest::addColumn<int>("payTypeSteps"); // presses of the Paid Type "<"
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("purchase"); // "PReceipt PNett PPayType"; empty: none
        const QString confirm = u"Confirm Purchase ?"_s, sure = u"Sure For Purchase ?"_s;
        QTest::newRow("tax 25") << "25" << 2 << QList<bool> { true, true }
                                << QStringList { confirm, sure, u"Order Purchased !\nPURC#1;Net 30"_s }
                                << "2603-05OTOP-000045 525.0 Credit";
        QTest::newRow("tax with a comma")
            << "12,5" << 1 << QList<bool> { true, true }
            << QStringList { confirm, sure, u"Order Purchased !\nPURC#1;Net 30"_s }
            << "2603-05OTOP-000045 512.5 Cash";
        QTest::newRow("no paid type")
            << "25" << 0 << QList<bool>() << QStringList { u"Invalid-Empty Fields:\n\n\nPaid Type"_s } << "";
        QTest::newRow("not confirmed") << "25" << 1 << QList<bool> { false } << QStringList { confirm } << "";
    }
    void purchase()
    {
        QFETCH(QString, tax);
        QFETCH(int, payTypeSteps);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, shown);
        QFETCH(QString, purchase);
        OpenOn(45);
        panel->ToPurchase();
        screen().SetText(F::TaxField, tax);
        panel->LeaveField(F::TaxField);
        for (int i = 0; i < payTypeSteps; ++i)
            f->engine.PressListButton(screen(), F::PayTypeField);
        screen().SetText(F::PurchaseRemarksField, u"Net 30"_s);
        for (bool answer : answers)
            f->messages().Answer(answer);

        QCOMPARE(panel->Purchase(), !purchase.isEmpty());

        QCOMPARE(f->messages().shown, shown);
        if (purchase.isEmpty()) {
            QCOMPARE(Sql(u"Select Count(*) From ktPurcMast"_s), u"0"_s);
            QCOMPARE(Sql(u"Select OStatus From ktOrdrMast Where EId=45"_s), u"N"_s);
            QCOMPARE(Stock(), u"0 4"_s);
            return;
        }
        QCOMPARE(Sql(u"Select PReceipt || ' ' || PNett || ' ' || PPayType From ktPurcMast"_s), purchase);
        QCOMPARE(
            Sql(u"Select OStatus || ' ' || ORemarks From ktOrdrMast Where EId=45"_s), u"P PURC#1;Net 30"_s);
        QCOMPARE(Stock(), u"10 14"_s);
        QVERIFY(!panel->IsOpen());
    }

    void cancelMovesNothing()
    {
        OpenOn(45);
        panel->ToPurchase();
        f->messages().Answer(true);
        QVERIFY(panel->CancelOrder());
        QCOMPARE(Sql(u"Select OStatus From ktOrdrMast Where EId=45"_s), u"C"_s);
        QCOMPARE(Sql(u"Select Count(*) From ktPurcMast"_s), u"0"_s);
        QCOMPARE(Stock(), u"0 4"_s);
    }
};

QTEST_GUILESS_MAIN(TestOrderPanel)
#include "tst_orderpanel.moc"
