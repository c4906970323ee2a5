// The counter screen's state headless: scanning, totals, tenders, groups, checkout and cancel,
// against a real database, with the record engine's validation behind the checkout.
#include <QTest>

#include "BillingProductList.h"
#include "BillingState.h"
#include "EngineFixture.h"
#include "KvBilling.h"
#include "ShopRows.h"

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

class TestBillingState : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;
    ProgramContext* m_context = nullptr;
    Connection* c = nullptr;
    ScriptedMessages* m_messages = nullptr;

    std::unique_ptr<BillingState> Open()
    {
        m_messages->shown.clear();
        return std::make_unique<BillingState>(*m_context, QDateTime(QDate(2026, 12, 3), QTime(23, 47)));
    }

    void Scan(BillingState& bill, const QString& codes)
    {
        for (const QString& code : codes.split(u' ', Qt::SkipEmptyParts)) {
            bill.SetText(BillingState::ProductCode, code);
            bill.EnterProductCode();
        }
    }

    BillingState::Validator Validator()
    {
        return [this](const BillingState& bill) { return KvBilling::ValidateBill(f->engine, bill); };
    }

    QString Sql(const QString& statement) { return c->Scalar(statement).toString(); }

    void SetPreferences(const QString& stock, const QString& saving, const QString& round,
        const QString& tax1, const QString& tax2)
    {
        Preferences& p = m_context->preferences;
        p.PStkChek = stock;
        p.PGrpSave = saving;
        p.PAmtRoun = round;
        p.PTaxPer1 = tax1;
        p.PTaxPer2 = tax2;
        p.PDisPerc = u"0"_s;
        p.PDisEdit = u"Y"_s;
        p.PDefBill = u"S"_s;
    }

private slots:
    void initTestCase()
    {
        f = std::make_unique<EngineFixture>();
        m_context = &f->context();
        c = &f->db();
        m_messages = &f->messages();
        m_context->login.UserId = u"1"_s;
        m_context->login.LoginName = u"Cashier"_s;
        c->Execute(u"Delete From ktProduct"_s);
        c->Execute(u"Delete From kmGroup"_s);
        AddGroup(*c, 1, u"Soaps"_s, 10);
        AddGroup(*c, 2, u"oils"_s, 0);
        AddGroup(*c, 3, u"Rice"_s, 0);
        AddProduct(*c, { .code = u"T100"_s, .saleRate = 100, .stock = 50, .group = 2 });
        AddProduct(*c, { .code = u"N50"_s, .saleRate = 50, .stock = 50, .tax = u""_s, .group = 2 });
        AddProduct(*c, { .code = u"N15"_s, .saleRate = 15, .stock = 50, .tax = u""_s, .group = 2 });
        AddProduct(*c, { .code = u"G99"_s, .saleRate = 99.99, .stock = 50, .group = 1 });
        AddProduct(*c, { .code = u"LOW"_s, .saleRate = 1, .stock = 0, .group = 2 });
        AddProduct(*c, { .code = u"OLD"_s, .saleRate = 7, .stock = 50, .group = 2, .active = u"N"_s });
        c->Execute(u"Insert Into ktCustomer (EDate, CName, CPhone, CActive) Values (#3/5/2026#, 'Ann', "
                   "'5550001111', 'Y')"_s);
    }

    void init() { SetPreferences(u"Y"_s, u"N"_s, u"2"_s, u"5"_s, u"2"_s); }

    // Fields 6 to 12 after scanning, with the discount confirmed.
    void totals_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("settings"); // discount%, PAmtRoun, PStkChek, PGrpSave
        QTest::addColumn<QString>("shown"); // items gross discount total tax1 tax2 nett

        QTest::newRow("empty bill") << u""_s << u"10 2 Y N"_s << u"0 0.00 0.00 0.00 0.00 0.00 0.00"_s;
        QTest::newRow("taxable 100 and 50 free")
            << u"T100 N50"_s << u"10 2 Y N"_s << u"2 150.00 15.00 135.00 4.50 0.09 139.59"_s;
        QTest::newRow("whole amounts, half to even")
            << u"N15"_s << u"10 0 Y N"_s << u"1 15.00 2.00 13.00 0.00 0.00 13.00"_s;
        QTest::newRow("same code twice, two lines")
            << u"N15 N15"_s << u"0 2 Y N"_s << u"2 30.00 0.00 30.00 0.00 0.00 30.00"_s;
        QTest::newRow("inactive found by code")
            << u"OLD"_s << u"0 2 Y N"_s << u"1 7.00 0.00 7.00 0.35 0.01 7.36"_s;
        // 99.99 with the group's 10 %: value 99.99, saving 10.00, gross 89.99; LOW has no stock.
        QTest::newRow("stock check off, group saving on")
            << u"LOW G99"_s << u"0 2 N Y"_s << u"2 90.99 0.00 90.99 4.55 0.09 95.63"_s;
    }

    void totals()
    {
        QFETCH(QString, codes);
        QFETCH(QString, settings);
        const QStringList p = settings.split(u' ');
        SetPreferences(p[2], p[3], p[1], u"5"_s, u"2"_s);
        auto bill = Open();
        bill->SetText(BillingState::DiscountPercent, p[0]);
        Scan(*bill, codes);
        QVERIFY(bill->LeaveDiscount());
        QStringList fields;
        for (int n = BillingState::Items; n <= BillingState::NettAmount; ++n)
            fields << bill->Text(n);
        QTEST(fields.join(u' '), "shown");
        QCOMPARE(bill->FinalText(), bill->Text(BillingState::NettAmount));
        QCOMPARE(m_messages->shown, QStringList());
        QCOMPARE(bill->Grid().LineCount(), int(codes.split(u' ', Qt::SkipEmptyParts).size()));
    }

    // What a typed code gives: the message, the lines on the bill, where the cursor goes.
    void productCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("focus");

        const int stay = int(BillingState::Focus::Stay), back = int(BillingState::Focus::ProductCode);
        QTest::newRow("known") << u"T100"_s << u""_s << 1 << stay;
        QTest::newRow("other letter case, blanks around") << u"  t100 "_s << u""_s << 1 << stay;
        QTest::newRow("blank") << u"   "_s << u""_s << 0 << int(BillingState::Focus::ProductListing);
        QTest::newRow("unknown") << u"NOPE"_s << u"Invalid Product-Code !"_s << 0 << back;
        QTest::newRow("statement") << u"x' Or '1'='1"_s << u"Invalid Product-Code !"_s << 0 << back;
        QTest::newRow("stock below one") << u"LOW"_s << u"Available Stock- 0"_s << 0 << back;
    }

    void productCode()
    {
        QFETCH(QString, code);
        QFETCH(QString, message);
        QFETCH(int, lines);
        QFETCH(int, focus);
        auto bill = Open();
        bill->SetText(BillingState::ProductCode, code);
        QCOMPARE(int(bill->EnterProductCode()), focus);
        QCOMPARE(m_messages->shown.join(u'|'), message);
        QCOMPARE(bill->Grid().LineCount(), lines);
        QCOMPARE(bill->Text(BillingState::ProductCode), QString());
    }

    // The tenders after typing or a pay button, on a nett of 139.59 unless the row says.
    void payment_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QStringList>("typed"); // cash credit other misc, then refreshed
        QTest::addColumn<int>("button"); // -1: none
        QTest::addColumn<QString>("tenders"); // cash credit other misc return

        const QString nett13959 = u"T100 N50"_s;
        QTest::newRow("cash and credit") << nett13959 << QStringList { u"100"_s, u"50"_s, u""_s, u""_s } << -1
                                         << u"100.00 50.00 0.00 0.00 10.41"_s;
        QTest::newRow("underpaid") << nett13959 << QStringList { u"100"_s, u"0"_s, u"0"_s, u"0"_s } << -1
                                   << u"100.00 0.00 0.00 0.00 -39.59"_s;
        QTest::newRow("letters and a comma")
            << nett13959 << QStringList { u"12,5"_s, u"abc"_s, u"1e9x"_s, u""_s } << -1
            << u"12.50 0.00 0.00 0.00 -127.09"_s;
        QTest::newRow("F1 on nothing") << u""_s << QStringList() << 0 << u"0.00 0.00 0.00 0.00 0.00"_s;
        QTest::newRow("F1") << nett13959 << QStringList { u"5"_s, u"5"_s, u"5"_s, u"5"_s } << 0
                            << u"139.59 0.00 0.00 0.00 0.00"_s;
        QTest::newRow("F4 credit") << nett13959 << QStringList() << 3 << u"0.00 139.59 0.00 0.00 0.00"_s;
        QTest::newRow("F6 misc") << nett13959 << QStringList() << 5 << u"0.00 0.00 0.00 139.59 0.00"_s;
    }

    void payment()
    {
        QFETCH(QString, codes);
        QFETCH(QStringList, typed);
        QFETCH(int, button);
        QFETCH(QString, tenders);
        m_context->preferences.PDisPerc = u"10"_s;
        auto bill = Open();
        Scan(*bill, codes);
        for (int i = 0; i < typed.size(); ++i)
            bill->SetText(BillingState::CashPay + i, typed.at(i));
        bill->RefreshPayment();
        if (button >= 0) {
            QCOMPARE(bill->PayButton(button), BillingState::Focus::Remarks);
            bill->PayButton(button); // twice changes nothing
        }
        QStringList shown;
        for (int n = BillingState::CashPay; n <= BillingState::ReturnAmount; ++n)
            shown << bill->Text(n);
        QCOMPARE(shown.join(u' '), tenders);
    }

    void groups()
    {
        auto bill = Open();
        QCOMPARE(bill->GroupItems().size(), 3);
        QCOMPARE(bill->GroupItems().at(1), u"OILS"_s.leftJustified(28) + u' ' + u"2"_s.leftJustified(16));
        QCOMPARE(bill->GroupIndex(), 0); // the last, then "Next Group" wraps to the first
        bill->PriorGroup();
        QCOMPARE(bill->GroupIndex(), 2);
        bill->NextGroup();
        QCOMPARE(bill->GroupIndex(), 0);
        bill->NextGroup();
        // Group 2's active products, by their items' codes; OLD is inactive.
        QStringList codes;
        for (int r = 0; r < bill->Products().rowCount(); ++r)
            codes << BillingProductList::CodeOfItem(bill->Products().Item(r));
        QCOMPARE(codes.join(u' '), u"T100 N50 N15 LOW"_s);
        bill->ChooseListedProduct(1);
        QCOMPARE(bill->Grid().Text(0, LineGrid::CodeColumn), u"N50"_s);
    }

    // A shop without groups: the group box shows "-", the list stays empty, codes still sell.
    void noGroups()
    {
        Transaction undo(*c); // rolled back when the test ends
        c->Execute(u"Delete From kmGroup"_s);
        auto bill = Open();
        QCOMPARE(bill->GroupItems(), QStringList { u"-"_s });
        bill->NextGroup();
        bill->PriorGroup();
        QCOMPARE(bill->GroupIndex(), -1);
        QCOMPARE(bill->Products().rowCount(), 0);
        Scan(*bill, u"G99"_s);
        QCOMPARE(bill->Grid().LineCount(), 1);
    }

    // Checkouts stopped on the way, each with its message, and no row anywhere; or
    // underpaid and confirmed, stored with what is still owed as a negative return.
    void checkout_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("cash");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("stored"); // BReturn of the stored bill; empty: nothing stored

        const QString invalid = u"Invalid-Empty Fields:\n\n\n"_s;
        QTest::newRow("no products") << u""_s << u"1"_s << u"0"_s << false << u"No Products !"_s << u""_s;
        QTest::newRow("no customer") << u"N50"_s << u""_s << u"50"_s << false << invalid + u"CUST PHONE"_s
                                     << u""_s;
        QTest::newRow("cash not a number")
            << u"N50"_s << u"1"_s << u"x"_s << false << invalid + u"CASH PAY"_s << u""_s;
        QTest::newRow("underpaid, no")
            << u"N50"_s << u"1"_s << u"10"_s << false << u"Bill Not Paid; Confirm Checkout ?"_s << u""_s;
        QTest::newRow("paid, no") << u"N50"_s << u"1"_s << u"60"_s << false << u"Confirm Checkout ?"_s
                                  << u""_s;
        QTest::newRow("underpaid, yes")
            << u"N50"_s << u"1"_s << u"20"_s << true
            << u"Bill Not Paid; Confirm Checkout ?|Checkout Completed !\nBill#"_s << u"-30"_s;
    }

    void checkout()
    {
        QFETCH(QString, codes);
        QFETCH(QString, customer);
        QFETCH(QString, cash);
        QFETCH(bool, answer);
        QFETCH(QString, messages);
        QFETCH(QString, stored);
        const QString before = Sql(u"Select Count(*) From ktBillMast"_s);
        auto bill = Open();
        Scan(*bill, codes);
        bill->SetText(BillingState::CustomerId, customer);
        bill->SetText(BillingState::CashPay, cash);
        bill->RefreshPayment();
        bill->SetText(BillingState::CashPay, cash); // as typed, not yet left
        if (messages.contains(u" ?"_s))
            m_messages->Answer(answer);
        const bool completed = bill->Checkout(Validator()) == BillingState::CheckoutResult::Completed;
        QCOMPARE(completed, !stored.isEmpty());
        const QString id = bill->Text(BillingState::BillId);
        QCOMPARE(m_messages->shown.join(u'|'), completed ? messages + id : messages);
        if (!completed) {
            QCOMPARE(Sql(u"Select Count(*) From ktBillMast"_s), before);
            QCOMPARE(id, u"(New)"_s);
        } else {
            QCOMPARE(Sql(u"Select BReturn From ktBillMast Where EId="_s + id), stored);
        }
    }

    void checkoutWritesTheBill()
    {
        SetPreferences(u"Y"_s, u"Y"_s, u"2"_s, u"5"_s, u"2"_s);
        m_context->preferences.PDisPerc = u"10"_s;
        const QString soldBefore = Sql(u"Select PSaleQty From ktProduct Where PCode='G99'"_s);
        auto bill = Open();
        Scan(*bill, u"T100 G99 G99"_s);
        bill->SetText(BillingState::CustomerPhone, u"5550001111"_s);
        bill->SetText(
            BillingState::CustomerId, Sql(u"Select EId From ktCustomer Where CPhone='5550001111'"_s));
        bill->SetText(BillingState::CashPay, u"200"_s);
        bill->SetText(BillingState::CreditPay, u"100,5"_s);
        bill->SetText(BillingState::OtherPay, u"1"_s);
        bill->RefreshPayment();
        bill->PickPayType(BillingState::OtherType, u"7"_s, u"Voucher"_s);
        bill->SetText(BillingState::Remarks, u"O'Brien; Drop Table"_s);
        m_messages->Answer(true);
        QCOMPARE(bill->Checkout(Validator()), BillingState::CheckoutResult::Completed);
        const QString id = bill->Text(BillingState::BillId);
        QCOMPARE(m_messages->shown.last(), u"Checkout Completed !\nBill#"_s + id);
        QCOMPARE(bill->Text(BillingState::Receipt), u"2612-032347-"_s + id.rightJustified(6, u'0'));
        QCOMPARE(bill->BillPrintReport(), 56);

        // The stored row, read back by SQL and compared with what the screen showed.
        const QString where = u" From ktBillMast Where EId="_s + id;
        // Gross 100 + 2 x (99.99 - 10.00); discount 28.00; tax 1 5 % of 251.98; tax 2 2 % of 12.60.
        QCOMPARE(Sql(u"Select BItems || ' ' || BGross || ' ' || BNett || ' ' || BCredit || ' ' || BReturn"_s
                     + where),
            u"3 279.98 264.83 100.5 36.67"_s);
        QCOMPARE(Sql(u"Select BOType || '/' || BMType || '/' || BRemarks"_s + where),
            u"Voucher/MISC/O'Brien; Drop Table"_s);
        QCOMPARE(Sql(u"Select Count(*) From ktBillDetl Where EId="_s + id), u"3"_s);
        QCOMPARE(Sql(u"Select Sum(BGross) From ktBillDetl Where EId="_s + id), u"279.98"_s);
        QCOMPARE(Sql(u"Select PSaleQty From ktProduct Where PCode='G99'"_s).toInt(), soldBefore.toInt() + 2);
        QCOMPARE(Sql(u"Select Count(*) From ktProduct Where PCloseQty <> POpenQty + PPurchQty - PSaleQty"_s),
            u"0"_s);
        // A second checkout of the same screen writes nothing more.
        QCOMPARE(bill->Checkout(Validator()), BillingState::CheckoutResult::Stopped);
        QVERIFY(bill->Cancel());
    }

    void failedCheckoutKeepsNothing()
    {
        const QString bills = Sql(u"Select Count(*) From ktBillMast"_s);
        const QString sold = Sql(u"Select Sum(PSaleQty) From ktProduct"_s);
        c->ExecuteRaw(u"CREATE TRIGGER fail_lines BEFORE INSERT ON ktBillDetl BEGIN "
                      "SELECT RAISE(ABORT, 'disk full'); END"_s);
        auto bill = Open();
        Scan(*bill, u"T100 N50"_s);
        bill->SetText(BillingState::CustomerId, u"1"_s);
        bill->PayButton(0);
        m_messages->Answer(true);
        const BillingState::CheckoutResult result = bill->Checkout(Validator());
        c->ExecuteRaw(u"DROP TRIGGER fail_lines"_s);
        QCOMPARE(result, BillingState::CheckoutResult::Failed);
        QCOMPARE(m_messages->shown.last(), u"ErroR!"_s);
        QCOMPARE(Sql(u"Select Count(*) From ktBillMast"_s), bills);
        QCOMPARE(Sql(u"Select Sum(PSaleQty) From ktProduct"_s), sold);
        QCOMPARE(bill->Text(BillingState::BillId), u"(New)"_s);
        QCOMPARE(bill->Text(BillingState::Receipt), u"2612-032347-"_s);
        // The bill is still on the screen and goes through once the fault is gone.
        m_messages->Answer(true);
        QCOMPARE(bill->Checkout(Validator()), BillingState::CheckoutResult::Completed);
    }

    void invalidDiscount_data()
    {
        QTest::addColumn<QString>("discount");
        QTest::newRow("letters") << u"ten"_s;
        QTest::newRow("beyond any amount") << u"9e99"_s;
        QTest::newRow("empty") << u""_s;
    }

    void invalidDiscount()
    {
        QFETCH(QString, discount);
        auto bill = Open();
        Scan(*bill, u"T100"_s);
        const QString nett = bill->Text(BillingState::NettAmount);
        bill->SetText(BillingState::DiscountPercent, discount);
        QVERIFY(!bill->LeaveDiscount());
        QCOMPARE(m_messages->shown, QStringList { u"Invalid Discount !"_s });
        QCOMPARE(bill->Text(BillingState::NettAmount), nett);
    }
};

QTEST_GUILESS_MAIN(TestBillingState)
#include "tst_billingstate.moc"
