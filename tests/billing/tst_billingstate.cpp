// The counter's amounts in decimal (a bill's totals, the line grid's running totals, the
// suggested cash); then against a real database: a product's line and its
// amounts, the counter's state headless (scanning, tenders, groups, checkout), and what is
// particular to its window offscreen (a scanner's keys, the "x" of a line).
#include <QAbstractItemModelTester>
#include <QTest>

#include "BillingProductList.h"
#include "BillingState.h"
#include "BillTotals.h"
#include "EngineFixture.h"
#include "GroupSavings.h"
#include "KvBilling.h"
#include "PayCaptions.h"
#include "ProductLine.h"
#include "ProductLookup.h"
#include "ShopRows.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>

using namespace kivo;
using namespace kivo::test;
using namespace Qt::StringLiterals;

namespace {

Money M(const QString& text)
{
    return Money::FromText(text).value();
}

} // namespace

class TestBillingState : public QObject {
    Q_OBJECT

    std::unique_ptr<EngineFixture> f;
    Connection* c = nullptr;

    std::unique_ptr<BillingState> Open()
    {
        f->messages().shown.clear();
        return std::make_unique<BillingState>(f->context(), QDateTime(QDate(2026, 12, 3), QTime(23, 47)));
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

    // The field of the window that has the cursor.
    static QString Focused()
    {
        const QWidget* focus = QApplication::focusWidget();
        return focus ? focus->accessibleDescription() : u"none"_s;
    }
    static QLineEdit* Box(KvBilling& window, int n)
    {
        return qobject_cast<QLineEdit*>(window.Element(u"txtField(%1)"_s.arg(n)));
    }
    // Types into field n of the window (emptied first) and ends with Enter.
    static void Type(KvBilling& window, int n, const QString& text)
    {
        Box(window, n)->setFocus();
        Box(window, n)->clear();
        QTest::keyClicks(Box(window, n), text);
        QTest::keyClick(Box(window, n), Qt::Key_Return);
    }

private slots:
    void initTestCase()
    {
        f = std::make_unique<EngineFixture>();
        c = &f->db();
        f->context().login.UserId = u"1"_s;
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
        AddProduct(*c, { .code = u"P1"_s, .saleRate = 99.99, .stock = 5, .group = 1, .purchaseRate = 80 });
        AddProduct(*c, { .code = u"P2"_s, .saleRate = 12.345, .stock = 0, .tax = u""_s, .group = 99 });
        AddProduct(*c, { .code = u"P3"_s, .saleRate = 3.335, .stock = -2 });
        AddProduct(*c, { .code = u"P4"_s, .saleRate = 8.1, .stock = 1, .tax = u""_s, .group = 1 });
        c->Execute(u"Insert Into ktCustomer (EDate, CName, CPhone, CActive) Values (#3/5/2026#, 'Ann', "
                   "'5550001111', 'Y')"_s);
    }

    void init()
    {
        Preferences& p = f->context().preferences;
        p.PStkChek = p.PDisEdit = u"Y"_s;
        p.PGrpSave = u"N"_s;
        p.PAmtRoun = p.PTaxPer2 = u"2"_s;
        p.PTaxPer1 = u"5"_s;
        p.PDisPerc = u"0"_s;
        p.PDefBill = u"S"_s;
    }

    void compute_data()
    {
        // "discount% gross taxable tax1% tax2% decimals"
        QTest::addColumn<QString>("input");
        // discount, total, taxable discount, tax 1, tax 2, nett, as plain numbers
        QTest::addColumn<QString>("expected");

        QTest::newRow("worked example") << u"10 150 100 5 2 2"_s << u"15 135 10 4.5 0.09 139.59"_s;
        QTest::newRow("whole amounts, taxes 2.5 and 0.5 both down")
            << u"0 50 50 5 25 0"_s << u"0 50 0 2 0 52"_s;
        // 5 % of 0.70 is 0.035 exactly: to even gives 0.04; a binary 0.035 lies below the
        // half and would give 0.03.
        QTest::newRow("cent half to even, up") << u"5 0.70 0.70 5 0 2"_s << u"0.04 0.66 0.04 0.03 0 0.69"_s;
        QTest::newRow("three decimals")
            << u"7.5 19.99 19.99 12.5 0 3"_s << u"1.499 18.491 1.499 2.311 0 20.802"_s;
        QTest::newRow("discount above 100") << u"150 100 100 5 2 2"_s << u"150 -50 150 -2.5 -0.05 -52.55"_s;
    }
    void compute()
    {
        QFETCH(QString, input);
        const QStringList in = input.split(u' ');
        const BillTotals::Amounts a
            = BillTotals::Compute(M(in[0]), M(in[1]), M(in[2]), { in[5].toInt(), M(in[3]), M(in[4]) });
        QTEST(QStringList({ a.discount.ToText(), a.total.ToText(), a.taxableDiscount.ToText(),
                              a.tax1.ToText(), a.tax2.ToText(), a.nett.ToText() })
                  .join(u' '),
            "expected");
    }

    // Steps "CODE QTY GROSS [T]" add a line whose rate is its gross, "-ROW" removes a line,
    // "recount" recounts; then the codes and "items gross taxable", by hand.
    void gridEditing_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("totals");

        QTest::newRow("each line's quantity rounds to even on its own, tenths add exactly")
            << u"A 0.5 0.1,B 2.5 0.2 T,C 3.5 0.1"_s << u"A B C"_s << u"6 0.40 0.20"_s;
        QTest::newRow("remove the middle line, the rest move up")
            << u"A 1 3 T,B 2 4,C 1 5 T,-1"_s << u"A C"_s << u"2 8.00 8.00"_s;
        QTest::newRow("remove the only line: empty again") << u"A 2.5 3 T,-0"_s << u""_s << u"0 0.00 0.00"_s;
        QTest::newRow("remove on an empty grid or past the end changes nothing")
            << u"-0,A 1 3,-1,--1"_s << u"A"_s << u"1 3.00 0.00"_s;
        QTest::newRow("recount agrees with the running totals")
            << u"A 2.5 3 T,B 1.5 4,-0,C 7 0.01 T,recount"_s << u"B C"_s << u"9 4.01 0.01"_s;
    }

    void gridEditing()
    {
        QFETCH(QString, steps);
        LineGrid grid;
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const QString& step : steps.split(u',')) {
            if (step.startsWith(u'-')) {
                grid.RemoveLine(step.mid(1).toInt());
            } else if (step == u"recount"_s) {
                grid.Recount();
            } else {
                const QStringList w = step.split(u' ');
                LineAmounts amounts;
                amounts.rate = amounts.value = amounts.gross = M(w[2]);
                grid.AddLine(w[0], u"Item "_s + w[0], M(w[1]), amounts, w.size() > 3);
            }
        }
        const auto totals = [&] {
            return u"%1 %2 %3"_s.arg(grid.DocItems())
                .arg(grid.DocGross().Format(), grid.DocTaxable().Format());
        };
        QStringList codes;
        for (int r = 0; r < grid.LineCount(); ++r)
            codes << grid.Text(r, LineGrid::CodeColumn);
        QTEST(codes.join(u' '), "codes");
        QTEST(totals(), "totals");
        QCOMPARE(grid.IsEmpty(), grid.LineCount() == 0);
        QCOMPARE(grid.rowCount(), std::max(grid.LineCount(), 1)); // one blank line when empty
        // The running totals never drift from a fresh count of the same lines.
        const QString running = totals();
        grid.Recount();
        QCOMPARE(totals(), running);
    }

    // The cash F2 and F3 suggest: the next ten and hundred strictly above the nett rounded to
    // whole (halves to even).
    void suggestedCash()
    {
        QStringList suggested;
        for (const QString& nett : { u"120.00"_s, u"129.60"_s, u"195.00"_s, u"124.50"_s })
            suggested << PayCaptions::NextTen(M(nett)).ToText() + u'/'
                    + PayCaptions::NextHundred(M(nett)).ToText();
        QCOMPARE(suggested.join(u' '), u"130/200 140/200 200/300 130/200"_s);
    }

    void addLine_data()
    {
        // "CODE quantity rate caller PStkChek PGrpSave PAmtRoun"; rate "-": the product's rate
        // for the caller (1 the sale side, 2 the purchase side)
        QTest::addColumn<QString>("input");
        // "Rate Value Saving Gross Tax | DocItems DocGross DocTaxable", or the refusal.
        QTest::addColumn<QString>("expected");

        QTest::newRow("missing group gets no saving, rate halves to even")
            << u"P2 1 - 1 N Y 2"_s << u"12.34 12.34 0.00 12.34  | 1 12.34 0"_s;
        QTest::newRow("one decimal, saving rounded")
            << u"P1 1 8.15 1 N Y 1"_s << u"8.20 8.20 0.80 7.40 T | 1 7.4 7.4"_s;
        QTest::newRow("rate rounded before it is multiplied")
            << u"P3 3 0.335 1 N Y 2"_s << u"0.34 1.02 0.00 1.02 T | 3 1.02 1.02"_s;
        QTest::newRow("negative quantity as typed")
            << u"P3 -1 - 1 N Y 2"_s << u"3.34 -3.34 0.00 -3.34 T | -1 -3.34 -3.34"_s;
        QTest::newRow("stock check: one left is enough")
            << u"P4 1 - 1 Y Y 2"_s << u"8.10 8.10 0.81 7.29  | 1 7.29 0"_s;
    }

    void addLine()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const QStringList in = input.split(u' ');
        const ProductLineRules rules = ProductLineRules::FromPreferences(in[4], in[5], in[6]);
        const std::optional<ProductRecord> product = ProductLookup(*c).ByCode(in[0]);
        QVERIFY(product);
        const int callerCode = in[3].toInt();
        const Money rate = in[2] == u"-"_s ? product->RateFor(callerCode) : M(in[2]);
        GroupSavings groups;
        groups.Load(*c);
        LineGrid grid;
        const ProductLineResult result
            = AddProductLine(grid, *product, M(in[1]), rate, callerCode, rules, groups);
        QStringList cells { result.refusal };
        if (result.Added()) {
            for (int column : { LineGrid::RateColumn, LineGrid::ValueColumn, LineGrid::SavingColumn,
                     LineGrid::GrossColumn, LineGrid::TaxColumn })
                cells << grid.Text(result.row, column);
            cells << u"|"_s << QString::number(grid.DocItems()) << grid.DocGross().ToText()
                  << grid.DocTaxable().ToText();
        }
        QCOMPARE(cells.join(u' ').trimmed(), expected);
        QCOMPARE(grid.LineCount(), result.Added() ? 1 : 0);
    }

    // PAmtRoun as the amounts' decimals: blanks around, and 2 for what is no number of decimals.
    void amountDecimals()
    {
        QList<int> decimals;
        for (const QString& round : { u" 1 "_s, u"x"_s, u"5"_s, u"-1"_s })
            decimals << ProductLineRules::FromPreferences(u"N"_s, u"N"_s, round).amountDecimals;
        QCOMPARE(decimals, QList<int>({ 1, 2, 2, 0 }));
    }

    // What a typed code gives: the message, the lines on the bill, where the cursor goes.
    void productCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("focus");

        const int stay = int(BillingState::Focus::Stay), back = int(BillingState::Focus::ProductCode);
        QTest::newRow("other letter case, blanks around") << u"  t100 "_s << u""_s << 1 << stay;
        QTest::newRow("inactive found by code") << u"OLD"_s << u""_s << 1 << stay;
        QTest::newRow("blank") << u"   "_s << u""_s << 0 << int(BillingState::Focus::ProductListing);
        QTest::newRow("unknown") << u"x' Or '1'='1"_s << u"Invalid Product-Code !"_s << 0 << back;
        QTest::newRow("stock below one") << u"LOW"_s << u"Available Stock- 0"_s << 0 << back;
    }

    void productCode()
    {
        QFETCH(QString, code);
        QFETCH(int, focus);
        auto bill = Open();
        bill->SetText(BillingState::ProductCode, code);
        QCOMPARE(int(bill->EnterProductCode()), focus);
        QTEST(f->messages().shown.join(u'|'), "message");
        QTEST(bill->Grid().LineCount(), "lines");
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
        QTest::newRow("letters and a comma")
            << nett13959 << QStringList { u"12,5"_s, u"abc"_s, u"1e9x"_s, u""_s } << -1
            << u"12.50 0.00 0.00 0.00 -127.09"_s;
        QTest::newRow("F1 on nothing") << u""_s << QStringList() << 0 << u"0.00 0.00 0.00 0.00 0.00"_s;
        QTest::newRow("F4 credit") << nett13959 << QStringList { u"5"_s, u"5"_s, u"5"_s, u"5"_s } << 3
                                   << u"0.00 139.59 0.00 0.00 0.00"_s;
    }

    void payment()
    {
        QFETCH(QString, codes);
        QFETCH(QStringList, typed);
        QFETCH(int, button);
        f->context().preferences.PDisPerc = u"10"_s;
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
        QTEST(shown.join(u' '), "tenders");
    }

    void groups()
    {
        auto bill = Open();
        QCOMPARE(bill->GroupItems().size(), 3);
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

        // A shop without groups: the group box shows "-", the list stays empty, codes still sell.
        Transaction undo(*c); // rolled back when the test ends
        c->Execute(u"Delete From kmGroup"_s);
        bill = Open();
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
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("stored"); // BReturn of the stored bill; empty: nothing stored

        const QString invalid = u"Invalid-Empty Fields:\n\n\n"_s;
        QTest::newRow("no products") << u""_s << u"1"_s << u"0"_s << u"No Products !"_s << u""_s;
        QTest::newRow("no customer") << u"N50"_s << u""_s << u"50"_s << invalid + u"CUST PHONE"_s << u""_s;
        QTest::newRow("cash not a number")
            << u"N50"_s << u"1"_s << u"x"_s << invalid + u"CASH PAY"_s << u""_s;
        QTest::newRow("underpaid, no")
            << u"N50"_s << u"1"_s << u"10"_s << u"Bill Not Paid; Confirm Checkout ?"_s << u""_s;
        QTest::newRow("underpaid, yes")
            << u"N50"_s << u"1"_s << u"20"_s
            << u"Bill Not Paid; Confirm Checkout ?|Checkout Completed !\nBill#"_s << u"-30"_s;
    }

    void checkout()
    {
        QFETCH(QString, codes);
        QFETCH(QString, customer);
        QFETCH(QString, cash);
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
            f->messages().Answer(!stored.isEmpty());
        const bool completed = bill->Checkout(Validator()) == BillingState::CheckoutResult::Completed;
        QCOMPARE(completed, !stored.isEmpty());
        const QString id = bill->Text(BillingState::BillId);
        QCOMPARE(f->messages().shown.join(u'|'), completed ? messages + id : messages);
        if (!completed) {
            QCOMPARE(Sql(u"Select Count(*) From ktBillMast"_s), before);
            QCOMPARE(id, u"(New)"_s);
        } else {
            QCOMPARE(Sql(u"Select BReturn From ktBillMast Where EId="_s + id), stored);
        }
    }

    void checkoutWritesTheBill()
    {
        f->context().preferences.PGrpSave = u"Y"_s;
        f->context().preferences.PDisPerc = u"10"_s;
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
        f->messages().Answer(true);
        QCOMPARE(bill->Checkout(Validator()), BillingState::CheckoutResult::Completed);
        const QString id = bill->Text(BillingState::BillId);
        QCOMPARE(f->messages().shown.last(), u"Checkout Completed !\nBill#"_s + id);
        QCOMPARE(bill->Text(BillingState::Receipt), u"2612-032347-"_s + id.rightJustified(6, u'0'));
        QCOMPARE(bill->BillPrintReport(), 56);

        // The stored row, read back by SQL and compared with what the screen showed.
        const QString where = u" From ktBillMast Where EId="_s + id;
        // Gross 100 + 2 x (99.99 - 10.00); discount 28.00; tax 1 5 % of 251.98; tax 2 2 % of 12.60.
        QCOMPARE(
            Sql(u"Select BItems || ' ' || BGross || ' ' || BNett || ' ' || BCredit || ' ' || BReturn || '/' "
                u"|| "
                "BOType || '/' || BMType || '/' || BRemarks || (Select '/' || Count(*) || ' ' || Sum(BGross) "
                "From ktBillDetl Where EId="_s
                + id + u")"_s + where),
            u"3 279.98 264.83 100.5 36.67/Voucher/MISC/O'Brien; Drop Table/3 279.98"_s);
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
        f->messages().Answer(true);
        const BillingState::CheckoutResult result = bill->Checkout(Validator());
        c->ExecuteRaw(u"DROP TRIGGER fail_lines"_s);
        QCOMPARE(result, BillingState::CheckoutResult::Failed);
        QCOMPARE(f->messages().shown.last(), u"ErroR!"_s);
        QCOMPARE(Sql(u"Select Count(*) From ktBillMast"_s), bills);
        QCOMPARE(Sql(u"Select Sum(PSaleQty) From ktProduct"_s), sold);
        QCOMPARE(bill->Text(BillingState::BillId), u"(New)"_s);
        QCOMPARE(bill->Text(BillingState::Receipt), u"2612-032347-"_s);
        // The bill is still on the screen and goes through once the fault is gone.
        f->messages().Answer(true);
        QCOMPARE(bill->Checkout(Validator()), BillingState::CheckoutResult::Completed);
    }

    void invalidDiscount()
    {
        for (const QString& discount : { u"ten"_s, u"9e99"_s, u""_s }) {
            auto bill = Open();
            Scan(*bill, u"T100"_s);
            const QString nett = bill->Text(BillingState::NettAmount);
            bill->SetText(BillingState::DiscountPercent, discount);
            QVERIFY(!bill->LeaveDiscount());
            QCOMPARE(f->messages().shown, QStringList { u"Invalid Discount !"_s });
            QCOMPARE(bill->Text(BillingState::NettAmount), nett);
        }
    }

    // The window as a scanner and a cashier use it: thirty codes typed and ended with Enter
    // without a pause, one line each in the order scanned; then the "x" of the first line,
    // which removes it only once "Remove Product ?" is answered Yes; then closing mid-bill.
    void window()
    {
        f->messages().shown.clear();
        KvBilling window(f->context(), f->engine);
        window.resize(1280, 720);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(Focused(), u"txtField(5)"_s);
        const QStringList codes { u"T100"_s, u"N50"_s, u"N15"_s, u"G99"_s, u"OLD"_s, u"P1"_s };
        QStringList scanned;
        for (int i = 0; i < 30; ++i) {
            scanned << codes.at(i * 7 % codes.size());
            Type(window, BillingState::ProductCode, scanned.last());
        }
        QCOMPARE(Box(window, BillingState::ProductCode)->text(), QString());
        QCOMPARE(Focused(), u"txtField(98)"_s);
        QCOMPARE(Box(window, BillingState::Items)->text(), u"30"_s);
        auto* grid = qobject_cast<QTableView*>(window.Element(u"grdMain"_s));
        const QModelIndex x = grid->model()->index(0, LineGrid::DelColumn);
        for (bool answer : { false, true }) {
            f->messages().Answer(answer);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(x).center());
        }
        QStringList lines;
        for (int r = 0; r < window.state().Grid().LineCount(); ++r)
            lines << window.state().Grid().Text(r, LineGrid::CodeColumn);
        QCOMPARE(lines, scanned.mid(1));
        QCOMPARE(Box(window, BillingState::Items)->text(), u"29"_s);
        QCOMPARE(Focused(), u"grdMain"_s);
        // Closing the window mid-bill asks too, and stays open on No.
        f->messages().Answer(false);
        QVERIFY(!window.close());
        f->messages().Answer(true);
        QVERIFY(window.close());
        QCOMPARE(f->messages().shown,
            QStringList({ u"Remove Product ?"_s, u"Remove Product ?"_s, u"Confirm Cancel/Exit ?"_s,
                u"Confirm Cancel/Exit ?"_s }));
    }
};

QTEST_MAIN(TestBillingState)
#include "tst_billingstate.moc"
