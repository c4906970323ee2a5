// The document window as a user works it: a quote billed through its panel, and a purchase
// whose totals follow the products added.
#include "DocumentLines.h"
#include "DocumentRows.h"
#include "DocumentScreenView.h"
#include "LineAmounts.h"
#include "LineGrid.h"
#include "OrderPanel.h"
#include "QuotePanel.h"
#include "RecordScreenView.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class TestDocumentScreenView : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<DocumentScreenView> view;

    QString Sql(const QString& statement) { return f->Scalar(statement).toString(); }

    DocumentScreenView& Open(const QString& name)
    {
        f->screen = BuildRecordScreen(name);
        view = std::make_unique<DocumentScreenView>(f->context(), f->engine, *f->screen);
        f->engine.OpenRecordScreen(*f->screen);
        view->resize(1100, 900);
        view->show();
        QApplication::setActiveWindow(view.get());
        if (!QTest::qWaitForWindowActive(view.get()))
            qFatal("the window did not show");
        return *view;
    }
    // A look for whoever works on the window: KIVO_SHOT_DIR names a folder for a picture.
    void Picture(const char* name)
    {
        const QString folder = qEnvironmentVariable("KIVO_SHOT_DIR");
        if (!folder.isEmpty())
            view->grab().save(QDir(folder).filePath(QString::fromLatin1(name)));
    }

private slots:
    void init()
    {
        f = std::make_unique<EngineFixture>();
        LoadPreferences(f->context());
        LoadCustomize(f->context());
        f->Insert("ktProduct", ProductRow(1, u"P1"_s, 12.5, 50.0, 10));
        f->Insert("ktQuotMast",
            { 7, Day, 1, u"Q-7"_s, 1, 0, 3, 150.0, 0.0, 150.0, 0.0, 0.0, 150.0, u"N"_s, u"-"_s });
        f->Insert("ktQuotDetl", LineRow(7, u"P1"_s, 3, 50));
    }
    void cleanup()
    {
        if (f->screen)
            f->engine.CloseRecordScreen(*f->screen);
        view.reset();
        f.reset();
    }

    void quoteBilledThroughThePanel()
    {
        DocumentScreenView& window = Open(u"KvQuote"_s);
        QVERIFY(!window.panel()->isVisible());
        QCOMPARE(window.convertButton()->text(), u"To Bill     >"_s);
        QCOMPARE(window.convertButton()->accessibleDescription(), u"cmdList(16)"_s);
        QVERIFY(window.convertButton()->isEnabled());
        QVERIFY(!window.productsButton()->isEnabled()); // products only while editing

        QTest::mouseClick(window.convertButton(), Qt::LeftButton);
        QVERIFY(window.panel()->isVisible());
        QVERIFY(!window.convertButton()->isEnabled());
        QLineEdit* cash = window.panelBox(QuotePanel::CashField);
        QCOMPARE(QApplication::focusWidget(), cash);
        QCOMPARE(cash->palette().color(QPalette::Base), RecordScreenView::FocusColour());
        QCOMPARE(window.panelBox(QuotePanel::ReturnField)->text(), u"-150.00"_s);
        QTest::keyClicks(cash, u"200"_s);
        QTest::keyClick(cash, Qt::Key_Tab);
        QCOMPARE(window.panelBox(QuotePanel::ReturnField)->text(), u"50.00"_s);
        QLineEdit* remarks = window.panelBox(QuotePanel::BillRemarksField);
        remarks->setFocus();
        QTest::keyClicks(remarks, u"Picked up"_s);
        Picture("kvquote-panel.png");

        f->messages().Answer(true);
        f->messages().Answer(true);
        QTest::mouseClick(window.processButton(0), Qt::LeftButton);

        QCOMPARE(f->messages().shown.last(), u"Quote Billed !\nBILL#1;Picked up"_s);
        QCOMPARE(Sql(u"Select BReturn || ' ' || BRemarks From ktBillMast"_s), u"50.0 Picked up"_s);
        QCOMPARE(Sql(u"Select PSaleQty || ' ' || PCloseQty From ktProduct"_s), u"3 7"_s);
        QVERIFY(!window.panel()->isVisible());
        QCOMPARE(window.fields()->valueBox(QuotePanel::StatusField)->text(), u"B"_s);
    }

    void orderPanelShowsItsChoices()
    {
        f->Insert("ktOrdrMast", { 45, Day, 1, u"ORD-9"_s, 1, 10, 500.0, u"N"_s, u"-"_s });
        f->Insert("ktOrdrDetl", LineRow(45, u"P1"_s, 10, 50));
        DocumentScreenView& window = Open(u"KvOrder"_s);
        QCOMPARE(window.convertButton()->text(), u"To Purchase <"_s);
        QTest::mouseClick(window.convertButton(), Qt::LeftButton);
        QVERIFY(window.panel()->isVisible());
        QCOMPARE(QApplication::focusWidget(), window.panelBox(OrderPanel::TaxField));
        QCOMPARE(window.panel()->findChild<QLabel*>(u"lblList(12)"_s)->text(), u"Cash/Credit/Online/Other"_s);
        QTest::mouseClick(window.panel()->findChild<QPushButton*>(u"cmdList(12)"_s), Qt::LeftButton);
        QCOMPARE(window.panelBox(OrderPanel::PayTypeField)->text(), u"Cash"_s);
        Picture("kvorder-panel.png");
        // Modify closes the panel: an order is purchased as it is stored.
        f->host.AnswerAccessCode(true);
        f->Command(CommandNumber::Modify);
        QVERIFY(!window.orderPanel()->IsOpen());
        QVERIFY(!window.panel()->isVisible());
    }

    void purchaseTotalsFollowTheProducts()
    {
        DocumentScreenView& window = Open(u"KvPurchase"_s);
        int callerCode = 0;
        window.SetProductSelector([&](LineGrid& grid, int caller) {
            callerCode = caller;
            const Money qty(10);
            grid.AddLine(
                u"P1"_s, u"Item"_s, qty, LineAmounts::Price(qty, *Money::FromText(u"12.50"_s), {}, 2), true);
        });
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        QVERIFY(window.productsButton()->isEnabled());
        QCOMPARE(window.productsButton()->accessibleDescription(), u"cmdList(11)"_s);
        QLineEdit* tax = window.fields()->valueBox(7);
        tax->setFocus();
        tax->selectAll();
        QTest::keyClicks(tax, u"5"_s);
        QTest::mouseClick(window.productsButton(), Qt::LeftButton);
        QCOMPARE(callerCode, 2);
        QCOMPARE(QStringList({ f->screen->Text(5), f->screen->Text(6), f->screen->Text(8) }),
            QStringList({ u"10"_s, u"125.00"_s, u"130.00"_s }));
        Picture("kvpurchase.png");
    }
};

QTEST_MAIN(TestDocumentScreenView)
#include "tst_documentscreenview.moc"
