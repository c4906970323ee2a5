// The document screens and their panels through the record engine: the totals a window shows,
// a quote billed and an order purchased with the checks and questions on the way, and a bill
// that fails or a process that dies part way, which leave the quote open.
#include "../recordengine/EngineFixture.h"
#include "ChildProcess.h"
#include "DatabasePassword.h"
#include "DocumentLines.h"
#include "DocumentScreenView.h"
#include "LineAmounts.h"
#include "LineGrid.h"
#include "OrderPanel.h"
#include "QuotePanel.h"
#include "RecordScreenView.h"
#include "Settings.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

const QDate Day(2026, 2, 1);
// Each product as "code purchased sold close", as the fixture opens them.
const QString OpeningStock = u"P1 0 0 10, P2 0 0 5, P3 0 0 0"_s;

// A product with `stock` opened and on hand, bought at 8 and sold at 10.
QVariantList Product(int id, const QString& code, int stock)
{
    return { id, Day, code, QString(u"Item "_s + code), 1, u"Pcs"_s, 8.0, 10.0, stock, 0, 0, stock, 0, u"T"_s,
        Day, u"-"_s, u"-"_s, u"Y"_s, u"-"_s };
}

QVariantList Line(int id, const QString& code, double qty, double rate, const QString& tax = u"T"_s)
{
    return { id, Day, u"x"_s, code, QString(u"Item "_s + code), qty, rate, qty * rate, 0.0, qty * rate, tax };
}

} // namespace

class TestDocumentScreens : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;
    std::unique_ptr<QuotePanel> m_quote;
    std::unique_ptr<OrderPanel> m_order;

    QString Sql(const QString& statement) { return f->Scalar(statement).toString(); }
    // Each product as "code purchased sold close".
    QString Stock()
    {
        return Sql(u"Select Group_Concat(PCode || ' ' || PPurchQty || ' ' || PSaleQty || ' ' || PCloseQty, "
                   "', ') From (Select * From ktProduct Order By PCode)"_s);
    }
    RecordScreen& screen() { return *f->screen; }
    // "field=text ..." with the texts the screen shows in those fields.
    QString Shown(const QString& fields)
    {
        QStringList shown;
        for (const QString& pair : fields.split(u' ', Qt::SkipEmptyParts))
            shown << pair.section(u'=', 0, 0) + u'=' + screen().Text(pair.section(u'=', 0, 0).toInt());
        return shown.join(u' ');
    }
    DocumentPanel& Panel() { return m_quote ? static_cast<DocumentPanel&>(*m_quote) : *m_order; }

    // The screen as the program opens it, its panel included, showing document `id`; 0 a new
    // document.
    void Show(const QString& name, int id)
    {
        f->screen = BuildRecordScreen(name);
        if (name == u"KvQuote"_s)
            m_quote = std::make_unique<QuotePanel>(f->context(), f->engine, screen());
        else
            m_order = std::make_unique<OrderPanel>(f->context(), f->engine, screen());
        f->engine.OpenRecordScreen(screen());
        f->host.findBox = QString::number(id ? id : 7);
        f->Command(CommandNumber::Find);
        if (!id) {
            f->messages().Answer(true);
            f->Command(CommandNumber::Add);
        }
        f->messages().shown.clear();
    }
    // Quote 7 open for billing with cash, remarks and the answers to its questions.
    void StartBill(const QString& cash, const QString& remarks, const QList<bool>& answers)
    {
        Show(u"KvQuote"_s, 7);
        m_quote->ToBill();
        screen().SetText(QuotePanel::CashField, cash);
        screen().SetText(QuotePanel::BillRemarksField, remarks);
        for (bool answer : answers)
            f->messages().Answer(answer);
    }

private slots:
    // Quote 7 is open: nett 139.59 over P1 twice and P2; quote 8 was billed. Order 45 is open:
    // P2 and P3; order 46 was purchased. Purchase 1 is stored.
    void init()
    {
        f = std::make_unique<EngineFixture>();
        LoadPreferences(f->context());
        LoadCustomize(f->context());
        f->Insert("ktProduct", Product(1, u"P1"_s, 10));
        f->Insert("ktProduct", Product(2, u"P2"_s, 5));
        f->Insert("ktProduct", Product(3, u"P3"_s, 0));
        f->Insert("ktQuotMast",
            { 7, Day, 1, u"Q-7"_s, 3, 10, 4, 150.0, 15.0, 135.0, 4.5, 0.09, 139.59, u"N"_s, u"-"_s });
        f->Insert("ktQuotDetl", Line(7, u"P1"_s, 2, 50));
        f->Insert("ktQuotDetl", Line(7, u"P2"_s, 1, 30, u"N"_s));
        f->Insert("ktQuotDetl", Line(7, u"P1"_s, 1, 20));
        f->Insert("ktQuotMast",
            { 8, Day, 1, u"Q-8"_s, 3, 0, 1, 50.0, 0.0, 50.0, 0.0, 0.0, 50.0, u"B"_s, u"BILL#9;-"_s });
        f->Insert("ktOrdrMast", { 45, Day, 1, u"ORD-9"_s, 2, 12, 500.0, u"N"_s, u"-"_s });
        f->Insert("ktOrdrDetl", Line(45, u"P2"_s, 10, 30));
        f->Insert("ktOrdrDetl", Line(45, u"P3"_s, 2, 100, u"N"_s));
        f->Insert("ktOrdrMast", { 46, Day, 1, u"ORD-10"_s, 2, 1, 50.0, u"P"_s, u"PURC#9;-"_s });
        f->Insert("ktPurcMast", { 1, Day, 1, u"R1"_s, 2, 1, 100.0, 0.0, 100.0, u"Cash"_s, u"-"_s });
        f->Insert("ktPurcDetl", Line(1, u"P1"_s, 1, 100));
    }
    void cleanup()
    {
        if (f->screen)
            f->engine.CloseRecordScreen(screen());
        m_quote.reset();
        m_order.reset();
        f.reset();
    }

    void billScreenRefusesAdd()
    {
        f->Open(u"ktBillMast"_s);
        f->Command(CommandNumber::Add);
        QCOMPARE(f->messages().shown, QStringList { u"Add Disabled !"_s });
        QVERIFY(!screen().newRecordPending);
    }

    // A new quote starts at the shop's discount, which only the shop's setting lets a user change.
    void quoteDiscountFollowsTheShop()
    {
        f->context().preferences.PDisPerc = u"7"_s;
        f->context().preferences.PDisEdit = u"N"_s;
        Show(u"KvQuote"_s, 0);
        QCOMPARE(screen().Text(QuotePanel::DiscountField), u"7"_s);
        QVERIFY(!screen().field(QuotePanel::DiscountField).typeable);
    }

    void purchaseNettIsGrossAndTax()
    {
        RecordScreen& screen = f->Open(u"ktPurcMast"_s);
        f->host.AnswerAccessCode(true); // the shop guards changes to stored records
        f->Command(CommandNumber::Modify);
        screen.SetText(7, u"12,30"_s);
        screen.SetText(8, u"0"_s);
        f->Command(CommandNumber::Save);
        QCOMPARE(f->messages().shown.join(u'|'), QString());
        QCOMPARE(Sql(u"Select PTax || ' ' || PNett From ktPurcMast Where EId=1"_s), u"12.3 112.3"_s);
    }

    // The window's Products button, enabled only while a document is edited, prices the lines
    // for the screen (1 the sale side, 2 the purchase side); the totals follow the lines and the
    // typed discount: 10 % off 125.00, 5 % tax on the rest, 2 % of that again, to the cent.
    void productsButton_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("callerCode");
        QTest::addColumn<QString>("shown"); // "field=text ..." afterwards
        QTest::newRow("quote") << u"KvQuote"_s << 1
                               << u"6=10 7=125.00 8=12.50 9=112.50 10=5.62 11=0.11 12=118.23"_s;
        QTest::newRow("purchase") << u"KvPurchase"_s << 2 << u"5=10 6=125.00 8=125.00"_s;
    }
    void productsButton()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        Preferences& shop = f->context().preferences;
        shop.PAmtRoun = u"2"_s;
        shop.PTaxPer1 = u"5"_s;
        shop.PTaxPer2 = u"2"_s;
        shop.PDisEdit = u"Y"_s;
        f->screen = BuildRecordScreen(name);
        DocumentScreenView window(f->context(), f->engine, screen());
        f->engine.OpenRecordScreen(screen());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int callerCode = 0;
        window.SetProductSelector([&](LineGrid& grid, int caller) {
            callerCode = caller;
            grid.AddLine(u"P1"_s, u"Item"_s, Money(10),
                LineAmounts::Price(Money(10), Money::FromText(u"12.50"_s).value(), {}, 2), true);
        });
        QVERIFY(!window.productsButton()->isEnabled());
        f->messages().Answer(true);
        f->Command(CommandNumber::Add);
        if (name == u"KvQuote"_s) {
            window.fields()->valueBox(QuotePanel::DiscountField)->setFocus();
            QTest::keyClicks(window.fields()->valueBox(QuotePanel::DiscountField), u"10"_s);
        }
        QTest::mouseClick(window.productsButton(), Qt::LeftButton);
        QTEST(callerCode, "callerCode");
        QCOMPARE(Shown(shown), shown);
    }

    // "To Bill" and "To Purchase": refused on a new or processed document; on an open one the
    // panel opens with the amounts as shown, and showing a document closes it.
    void openPanel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("id"); // 0: a new document
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("shown"); // "field=text ..." in the opened panel
        QTest::newRow("open quote") << u"KvQuote"_s << 7 << u""_s << u"19=-139.59 20=OTHER"_s;
        QTest::newRow("billed quote") << u"KvQuote"_s << 8 << u"Quote Already Processed !"_s << u""_s;
        QTest::newRow("new quote") << u"KvQuote"_s << 0 << u"Save Quote First !"_s << u""_s;
        QTest::newRow("open order") << u"KvOrder"_s << 45 << u""_s << u"9=500.00 10=0 11=500.00"_s;
        QTest::newRow("purchased order") << u"KvOrder"_s << 46 << u"Order Already Processed !"_s << u""_s;
        QTest::newRow("new order") << u"KvOrder"_s << 0 << u"Save Order First !"_s << u""_s;
    }
    void openPanel()
    {
        QFETCH(QString, name);
        QFETCH(int, id);
        QFETCH(QString, notice);
        QFETCH(QString, shown);
        Show(name, id);
        m_quote ? m_quote->ToBill() : m_order->ToPurchase();
        QCOMPARE(f->messages().shown.join(u'|'), notice);
        QCOMPARE(Panel().IsOpen(), notice.isEmpty());
        QCOMPARE(Panel().LinesEditable(), !notice.isEmpty());
        QCOMPARE(Shown(shown), shown);
        f->Command(CommandNumber::First);
        QVERIFY(!Panel().IsOpen());
    }

    void bill_data()
    {
        QTest::addColumn<QString>("cash");
        QTest::addColumn<QString>("remarks");
        // "id:name" picked for OTHER; "refused": the bill table refuses; "cancel": Cancel, not Bill
        QTest::addColumn<QString>("before");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("bill"); // "BReturn BOType BRemarks"; empty: none
        QTest::addColumn<QString>("quote"); // "QStatus QRemarks lines" afterwards
        const QString confirm = u"Confirm Billing ?"_s, sure = u"Sure To Bill ?"_s;
        QTest::newRow("not paid, confirmed; remarks cut to the quote's")
            << u"100,00"_s << u"PaidInFullAtCounter!"_s << u""_s << QList<bool> { true, true }
            << QStringList { u"Bill Not Paid; Confirm Billing ?"_s, sure,
                   u"Quote Billed !\nBILL#1;PaidInFullAtC"_s }
            << u"-39.59 OTHER PaidInFullAtCounter!"_s << u"B BILL#1;PaidInFullAtC 3"_s;
        QTest::newRow("a picked pay type keeps its name")
            << u"139.59"_s << u"Card"_s << u"4:VOUCHER"_s << QList<bool> { true, true }
            << QStringList { confirm, sure, u"Quote Billed !\nBILL#1;Card"_s } << u"0.0 VOUCHER Card"_s
            << u"B BILL#1;Card 3"_s;
        QTest::newRow("not sure") << u"150"_s << u"Thanks"_s << u""_s << QList<bool> { true, false }
                                  << QStringList { confirm, sure } << u""_s << u"N - 3"_s;
        QTest::newRow("cash not a number")
            << u"1O0"_s << u"Thanks"_s << u""_s << QList<bool>()
            << QStringList { u"Invalid-Empty Fields:\n\n\nCash Amt"_s } << u""_s << u"N - 3"_s;
        // The quote's save as billed goes back with the bill.
        QTest::newRow("the bill cannot be written")
            << u"150"_s << u"Thanks"_s << u"refused"_s << QList<bool> { true, true }
            << QStringList { confirm, sure, u"ErroR!"_s } << u""_s << u"N - 3"_s;
        // Cancelling keeps the lines and moves no stock. (An order cancels through the same steps.)
        QTest::newRow("cancelled") << u"150"_s << u"Thanks"_s << u"cancel"_s << QList<bool> { true }
                                   << QStringList { u"Confirm Cancelation ?"_s } << u""_s << u"C - 3"_s;
    }
    void bill()
    {
        QFETCH(QString, cash);
        QFETCH(QString, remarks);
        QFETCH(QString, before);
        QFETCH(QList<bool>, answers);
        QFETCH(QString, bill);
        if (before == u"refused")
            f->db().ExecuteRaw(u"CREATE TRIGGER refuse BEFORE INSERT ON ktBillMast "
                               "BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
        StartBill(cash, remarks, answers);
        if (before.contains(u':')) {
            f->host.AnswerPick(before.section(u':', 0, 0), before.section(u':', 1));
            f->engine.PressListButton(screen(), QuotePanel::OtherTypeField);
        }
        if (before == u"cancel")
            QVERIFY(m_quote->CancelQuote());
        else
            QCOMPARE(m_quote->Bill(), !bill.isEmpty());
        QTEST(f->messages().shown, "shown");
        QTEST(
            Sql(u"Select QStatus || ' ' || QRemarks || ' ' || (Select Count(*) From ktQuotDetl Where EId=7) "
                "From ktQuotMast Where EId=7"_s),
            "quote");
        QCOMPARE(
            screen().Text(QuotePanel::StatusField), Sql(u"Select QStatus From ktQuotMast Where EId=7"_s));
        QCOMPARE(
            Sql(u"Select Group_Concat(BReturn || ' ' || BOType || ' ' || BRemarks) From ktBillMast"_s), bill);
        QCOMPARE(Stock(), bill.isEmpty() ? OpeningStock : u"P1 0 3 7, P2 0 1 4, P3 0 0 0"_s);
        if (bill.isEmpty())
            return;
        QVERIFY(!m_quote->IsOpen());
        // The bill: today's date, the quote's columns 2 to 12 (receipt aside), its lines as the
        // quote held them, dated with the bill; sold as a sale.
        QCOMPARE(Sql(u"Select Count(*) From ktBillMast b, ktQuotMast q Where b.EId=1 And q.EId=7 And "
                     "b.BUId=q.QUId And b.BCId=q.QCId And b.BDisPer=q.QDisPer And b.BItems=q.QItems And "
                     "b.BGross=q.QGross And b.BDiscount=q.QDiscount And b.BTotal=q.QTotal And "
                     "b.BTax1=q.QTax1 And b.BTax2=q.QTax2 And b.BNett=q.QNett And b.EDate='2026-03-05' And "
                     "b.BReceipt='2603-05QTOB-000007' And b.BMType='MISC'"_s),
            u"1"_s);
        QCOMPARE(
            Sql(u"Select Group_Concat(BPId || ' ' || BQty || ' ' || BRate || ' ' || BGross || ' ' || BTax "
                "|| ' ' || EDate, ', ') From ktBillDetl Where EId=1"_s),
            u"P1 2.0 50.0 100.0 T 2026-03-05, P2 1.0 30.0 30.0 N 2026-03-05, P1 1.0 20.0 20.0 T 2026-03-05"_s);
    }

    void purchase_data()
    {
        QTest::addColumn<QString>("tax");
        QTest::addColumn<int>("payTypeSteps"); // presses of the Paid Type "<"
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("order"); // "OStatus ORemarks" afterwards
        const QString confirm = u"Confirm Purchase ?"_s, sure = u"Sure For Purchase ?"_s;
        QTest::newRow("tax with a comma, on credit")
            << u"12,5"_s << 2 << QList<bool> { true, true }
            << QStringList { confirm, sure, u"Order Purchased !\nPURC#2;Net 30"_s } << u"P PURC#2;Net 30"_s;
        QTest::newRow("no paid type")
            << u"25"_s << 0 << QList<bool>() << QStringList { u"Invalid-Empty Fields:\n\n\nPaid Type"_s }
            << u"N -"_s;
        QTest::newRow("not confirmed")
            << u"25"_s << 1 << QList<bool> { false } << QStringList { confirm } << u"N -"_s;
    }
    void purchase()
    {
        QFETCH(QString, tax);
        QFETCH(int, payTypeSteps);
        QFETCH(QList<bool>, answers);
        Show(u"KvOrder"_s, 45);
        m_order->ToPurchase();
        screen().SetText(OrderPanel::TaxField, tax);
        m_order->LeaveField(OrderPanel::TaxField);
        for (int i = 0; i < payTypeSteps; ++i)
            f->engine.PressListButton(screen(), OrderPanel::PayTypeField);
        screen().SetText(OrderPanel::PurchaseRemarksField, u"Net 30"_s);
        for (bool answer : answers)
            f->messages().Answer(answer);
        const bool purchased = m_order->Purchase();
        QTEST(f->messages().shown, "shown");
        QTEST(Sql(u"Select OStatus || ' ' || ORemarks From ktOrdrMast Where EId=45"_s), "order");
        QCOMPARE(Sql(u"Select Group_Concat(EDate || ' ' || PUId || ' ' || PReceipt || ' ' || PSId || ' ' || "
                     "PItems || ' ' || PGross || ' ' || PTax || ' ' || PNett || ' ' || PPayType || ' ' || "
                     "PRemarks) From ktPurcMast Where EId > 1"_s),
            purchased ? u"2026-03-05 1 2603-05OTOP-000045 2 12 500.0 12.5 512.5 Credit Net 30"_s : QString());
        QCOMPARE(Sql(u"Select Count(*) From ktPurcDetl Where EId > 1"_s), purchased ? u"2"_s : u"0"_s);
        QCOMPARE(Stock(), purchased ? u"P1 0 0 10, P2 10 0 15, P3 2 0 2"_s : OpeningStock);
    }

    // The process dies after each write of Bill > in turn (the quote saved as billed, the bill,
    // its lines and stock, the quote's remarks), and once after it ended: the database holds
    // the billed quote with its bill and stock, or the open quote and no bill.
    void crashAtEveryWrite()
    {
        QTemporaryDir work;
        QVERIFY(work.isValid());
        f->db().ExecuteRaw(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
        const QString copy = work.filePath(u"Kivo.Kvd"_s);
        // The quote, its bill's and its own line counts, and P1's sold and closing stock.
        const QString state
            = u"Select QStatus || ' ' || QRemarks || ' ' || (Select Count(*) From ktBillMast) || "
              "(Select Count(*) From ktBillDetl) || (Select Count(*) From ktQuotDetl Where EId=7) "
              "|| ' ' || (Select PSaleQty || ' ' || PCloseQty From ktProduct Where PCode='P1') "
              "From ktQuotMast Where EId=7"_s;
        bool finished = false;
        int crashes = 0;
        for (int dieAt = 1; !finished && dieAt < 400; ++dieAt) {
            QFile::remove(copy);
            QVERIFY(QFile::copy(f->test.database.file(), copy));
            const int status = InChild([&] {
                Connection& connection = f->db();
                connection.Close();
                connection.Open(copy, DatabasePassword());
                StartBill(u"150"_s, u"Thanks"_s, { true, true });
                static int writes = 0;
                static int limit = 0;
                limit = dieAt;
                sqlite3_update_hook(
                    connection.Handle(),
                    [](void*, int, const char*, const char*, sqlite3_int64) {
                        if (++writes == limit)
                            ::_exit(42);
                    },
                    nullptr);
                ::_exit(m_quote->Bill() ? 0 : 43);
            });
            QVERIFY(WIFEXITED(status));
            finished = WEXITSTATUS(status) == 0;
            QCOMPARE(WEXITSTATUS(status), finished ? 0 : 42);
            crashes += finished ? 0 : 1;

            Connection after;
            after.Open(copy, DatabasePassword());
            QCOMPARE(
                after.Scalar(state).toString(), finished ? u"B BILL#1;Thanks 133 3 7"_s : u"N - 003 0 10"_s);
        }
        QVERIFY(finished);
        QVERIFY2(crashes >= 10, qPrintable(QString::number(crashes)));
    }
};

QTEST_MAIN(TestDocumentScreens)
#include "tst_documentscreens.moc"
