#include "DocumentWriter.h"

#include "NumberText.h"
#include "ShopVocabulary.h"

#include <cmath>

namespace kivo::generation {

namespace {

QByteArray Number6(qint64 id)
{
    return QByteArray::number(id).rightJustified(6, '0');
}

const char* const PurchasePayTypes[] = { "Cash", "Credit", "Online", "Other" };
const char* const PurchaseRemarks[] = { "Invoice", "Delivered", "Monthly account", "Collected" };

} // namespace

DocumentWriter::DocumentWriter(ShopState& shop, const Calendar& calendar)
    : m_shop(shop)
    , m_calendar(calendar)
    , m_random(shop.random)
    , m_nextBill(shop.NextId("ktBillMast"))
    , m_nextQuote(shop.NextId("ktQuotMast"))
    , m_nextPurchase(shop.NextId("ktPurcMast"))
    , m_nextOrder(shop.NextId("ktOrdrMast"))
    , m_nextEntry(shop.NextId("ktAccounting"))
    , m_billMaster(shop.connection, "ktBillMast", 21)
    , m_billLines(shop.connection, "ktBillDetl", 11)
    , m_quoteMaster(shop.connection, "ktQuotMast", 15)
    , m_quoteLines(shop.connection, "ktQuotDetl", 11)
    , m_purchaseMaster(shop.connection, "ktPurcMast", 11)
    , m_purchaseLines(shop.connection, "ktPurcDetl", 11)
    , m_orderMaster(shop.connection, "ktOrdrMast", 9)
    , m_orderLines(shop.connection, "ktOrdrDetl", 11)
    , m_accounting(shop.connection, "ktAccounting", 10)
{
}

qint64 DocumentWriter::Round(double amount) const
{
    return std::llround(RoundHalfEven(amount, m_shop.amountDigits) * 100.0);
}

int DocumentWriter::LineCount()
{
    static const int Percent[] = { 30, 25, 20, 12, 8, 5 }; // one line, two lines ...
    int roll = int(m_random.Below(100));
    for (int lines = 1; lines <= 6; ++lines) {
        roll -= Percent[lines - 1];
        if (roll < 0)
            return lines;
    }
    return 1;
}

int DocumentWriter::Quantity()
{
    const int roll = int(m_random.Below(100));
    return roll < 70 ? 1 : roll < 90 ? 2 : roll < 97 ? 3 : int(m_random.Between(4, 6));
}

// A line as the counter adds it: the sale rate, and the group's saving when group savings are on.
DocumentWriter::Line DocumentWriter::SaleLine(qint32 product, qint32 quantity) const
{
    const ShopState::Product& p = m_shop.products[size_t(product)];
    Line line { product, quantity, 0, 0, 0, 0, p.tax };
    line.rate = Round(p.saleRate / 100.0);
    line.value = Round(line.rate / 100.0 * quantity);
    if (m_shop.groupSavings)
        line.saving = Round(line.value / 100.0 * m_shop.SavePercent(product) / 100.0);
    line.gross = line.value - line.saving;
    return line;
}

// A line on the purchase side: the purchase rate and never a saving.
DocumentWriter::Line DocumentWriter::PurchaseLine(qint32 product, qint32 quantity) const
{
    const ShopState::Product& p = m_shop.products[size_t(product)];
    Line line { product, quantity, 0, 0, 0, 0, p.tax };
    line.rate = Round(p.purchaseRate / 100.0);
    line.value = Round(line.rate / 100.0 * quantity);
    line.gross = line.value;
    return line;
}

// The document totals as the counter computes them from its lines: the discount on the
// whole, the first tax on the taxable part after its share of the discount, the second tax
// on the first.
DocumentWriter::Totals DocumentWriter::SaleTotals(const std::vector<Line>& lines, int discountPercent) const
{
    Totals t;
    qint64 taxable = 0;
    for (const Line& line : lines) {
        t.items += line.quantity;
        t.gross += line.gross;
        if (line.tax == 'T')
            taxable += line.gross;
    }
    t.discount = Round(discountPercent * (t.gross / 100.0) / 100.0);
    t.total = t.gross - t.discount;
    const qint64 taxableDiscount = Round(discountPercent * (taxable / 100.0) / 100.0);
    t.tax1 = Round(m_shop.tax1Percent * ((taxable - taxableDiscount) / 100.0) / 100.0);
    t.tax2 = Round(m_shop.tax2Percent * (t.tax1 / 100.0) / 100.0);
    t.nett = t.total + t.tax1 + t.tax2;
    return t;
}

DocumentWriter::Totals DocumentWriter::PurchaseTotals(const std::vector<Line>& lines)
{
    Totals t;
    for (const Line& line : lines) {
        t.items += line.quantity;
        t.gross += line.gross;
    }
    t.total = t.nett = t.gross;
    return t;
}

void DocumentWriter::StartDay(int day)
{
    m_day = day;
    m_date = m_calendar.Julian(day);
    m_cashTaken = m_otherTaken = m_cashPaid = m_bankPaid = 0;
}

// How a customer pays: mostly cash, often the next round amount with change back; also
// credit, the shop's other pay types, split payments and now and then a bill not fully paid.
DocumentWriter::Payment DocumentWriter::Pay(qint64 nett)
{
    Payment pay;
    const int roll = int(m_random.Below(100));
    if (roll < 50) {
        const double n = nett / 100.0;
        const double nextTen = RoundHalfEven(n + 10 - std::fmod(RoundHalfEven(n, 0), 10.0), 0);
        const double nextHundred = nextTen + 100 - std::fmod(nextTen, 100.0);
        const int cash = int(m_random.Below(100));
        pay.cash = cash < 40 ? nett : std::llround((cash < 75 ? nextTen : nextHundred) * 100.0);
    } else if (roll < 65) {
        pay.credit = nett;
    } else if (roll < 85) {
        pay.other = nett;
        pay.otherType = m_shop.PickPayType();
    } else if (roll < 92) {
        pay.misc = nett;
        pay.miscType = m_shop.PickPayType();
    } else if (roll < 98) {
        pay.cash = nett / 200 * 100;
        pay.other = nett - pay.cash;
        pay.otherType = m_shop.PickPayType();
    } else {
        pay.cash = std::max<qint64>(0, nett - m_random.Between(1, 500));
    }
    return pay;
}

void DocumentWriter::WriteLines(
    BoundStatement& statement, qint64 id, qint64 date, const std::vector<Line>& lines)
{
    for (const Line& line : lines) {
        statement.Int(id)
            .Date(date)
            .Text("x")
            .Text(m_shop.Code(line.product))
            .Text(m_shop.Name(line.product));
        statement.Real(line.quantity).Money(line.rate).Money(line.value).Money(line.saving).Money(line.gross);
        statement.Text(line.tax == 'T' ? "T" : "N").Write();
    }
}

void DocumentWriter::WriteBill(qint64 id, qint64 date, qint64 user, const QByteArray& receipt,
    qint64 customer, int discountPercent, const Totals& totals, const Payment& payment, const char* remarks,
    const std::vector<Line>& lines)
{
    const qint64 paid = payment.cash + payment.credit + payment.other + payment.misc;
    const qint64 returned = paid - totals.nett;
    m_billMaster.Int(id)
        .Date(date)
        .Int(user)
        .Text(receipt)
        .Int(customer)
        .Int(discountPercent)
        .Int(totals.items);
    m_billMaster.Money(totals.gross).Money(totals.discount).Money(totals.total).Money(totals.tax1);
    m_billMaster.Money(totals.tax2).Money(totals.nett).Money(payment.cash).Money(payment.credit);
    m_billMaster.Money(payment.other).Money(payment.misc).Money(returned).Text(payment.otherType);
    m_billMaster.Text(payment.miscType).Text(remarks).Write();
    WriteLines(m_billLines, id, date, lines);
    // Change is given from the cash drawer.
    if (payment.cash > 0)
        m_cashTaken += payment.cash - std::max<qint64>(0, returned);
    m_otherTaken += payment.other + payment.misc;
    ++bills;
}

void DocumentWriter::CounterBill(qint64 index, qint64 ofDay)
{
    std::vector<Line> lines;
    const int count = LineCount();
    for (int n = 0; n < count; ++n) {
        // The counter refuses a product without stock; the cashier takes what is there.
        for (int attempt = 0; attempt < 5; ++attempt) {
            const qint32 product = m_shop.PickProduct();
            const qint32 available = m_shop.products[size_t(product)].available;
            if (available < 1)
                continue;
            const qint32 quantity = std::min<qint32>(Quantity(), available);
            lines.push_back(SaleLine(product, quantity));
            m_shop.Sell(product, quantity, m_day);
            break;
        }
    }
    if (lines.empty()) {
        const qint32 product = m_shop.PickProduct();
        lines.push_back(SaleLine(product, 1));
        m_shop.Sell(product, 1, m_day);
    }
    int discount = m_shop.discountPercent;
    if (m_shop.discountEditable && m_random.Chance(10))
        discount += m_random.Chance(50) ? 5 : 10;
    const Totals totals = SaleTotals(lines, discount);

    // The receipt number carries the hour and minute of the sale; the day's sales are spread
    // over the opening hours, nine to nine.
    const qint64 minute = 540 + (index * 720 + m_random.Below(720)) / ofDay;
    char time[8];
    std::snprintf(time, sizeof time, "%02d%02d-", int(minute / 60), int(minute % 60));
    const qint64 id = m_nextBill++;
    const QByteArray receipt = Calendar::ReceiptDate(m_date) + time + Number6(id);
    WriteBill(id, m_date, m_shop.PickCashier(), receipt, m_shop.PickCustomer(m_day), discount, totals,
        Pay(totals.nett), ShopVocabulary::BillRemarks(m_random.Next()), lines);
}

DocumentWriter::Quote DocumentWriter::NewQuote(bool willBeBilled)
{
    Quote quote { m_nextQuote++, m_day, m_shop.PickCashier(), m_shop.PickCustomer(m_day),
        m_shop.discountPercent, {}, {} };
    if (m_shop.discountEditable && m_random.Chance(20))
        quote.discountPercent += 5;
    const int count = LineCount() + 1;
    for (int n = 0; n < count; ++n) {
        const qint32 product = m_shop.PickProduct();
        const qint32 quantity = Quantity() + 1;
        if (willBeBilled) {
            if (m_shop.products[size_t(product)].available < quantity)
                continue;
            m_shop.Promise(product, quantity);
        }
        quote.lines.push_back(SaleLine(product, quantity));
    }
    if (quote.lines.empty()) {
        const qint32 product = m_shop.PickProduct();
        if (willBeBilled)
            m_shop.Promise(product, 1);
        quote.lines.push_back(SaleLine(product, 1));
    }
    quote.totals = SaleTotals(quote.lines, quote.discountPercent);
    return quote;
}

void DocumentWriter::WriteQuoteRow(const Quote& quote, char status, const QByteArray& remarks)
{
    const qint64 date = m_calendar.Julian(quote.day);
    const Totals& t = quote.totals;
    m_quoteMaster.Int(quote.id).Date(date).Int(quote.user).Text("Q" + Number6(quote.id)).Int(quote.customer);
    m_quoteMaster.Int(quote.discountPercent).Int(t.items).Money(t.gross).Money(t.discount).Money(t.total);
    m_quoteMaster.Money(t.tax1).Money(t.tax2).Money(t.nett).Text(QByteArray(1, status)).Text(remarks).Write();
    WriteLines(m_quoteLines, quote.id, date, quote.lines);
    ++quotes;
}

void DocumentWriter::WriteQuote(const Quote& quote, char status)
{
    WriteQuoteRow(quote, status, status == 'C' ? "Not needed" : "Awaiting reply");
}

// The quote's totals and lines become a bill dated the day of billing, numbered after the
// quote; the quote is marked billed and names its bill.
void DocumentWriter::BillQuote(const Quote& quote)
{
    const qint64 id = m_nextBill++;
    const QByteArray receipt = Calendar::ReceiptDate(m_date) + "QTOB-" + Number6(quote.id);
    Payment payment;
    if (m_random.Chance(50))
        payment.cash = quote.totals.nett;
    else
        payment.credit = quote.totals.nett;
    WriteBill(id, m_date, quote.user, receipt, quote.customer, quote.discountPercent, quote.totals, payment,
        "From quote", quote.lines);
    for (const Line& line : quote.lines)
        m_shop.Deliver(line.product, line.quantity, m_day);
    WriteQuoteRow(quote, 'B', QByteArray("BILL#" + QByteArray::number(id) + ";From quote").left(20));
}

DocumentWriter::Order DocumentWriter::NewOrder()
{
    Order order { m_nextOrder++, m_day, m_shop.PickBuyer(), m_shop.PickSupplier(), {}, {} };
    const qint64 count = m_random.Between(2, 8);
    for (qint64 n = 0; n < count; ++n)
        order.lines.push_back(PurchaseLine(m_shop.PickProduct(), qint32(m_random.Between(6, 24))));
    order.totals = PurchaseTotals(order.lines);
    return order;
}

void DocumentWriter::WriteOrderRow(const Order& order, char status, const QByteArray& remarks)
{
    const qint64 date = m_calendar.Julian(order.day);
    m_orderMaster.Int(order.id).Date(date).Int(order.user).Text("PO" + Number6(order.id)).Int(order.supplier);
    m_orderMaster.Int(order.totals.items).Money(order.totals.gross).Text(QByteArray(1, status)).Text(remarks);
    m_orderMaster.Write();
    WriteLines(m_orderLines, order.id, date, order.lines);
    ++orders;
}

void DocumentWriter::WriteOrder(const Order& order, char status)
{
    WriteOrderRow(order, status, status == 'C' ? "Supplier out" : "Awaiting delivery");
}

void DocumentWriter::WritePurchase(qint64 id, qint64 user, const QByteArray& receipt, qint64 supplier,
    const Totals& totals, const char* remarks, const std::vector<Line>& lines)
{
    qint64 taxable = 0;
    for (const Line& line : lines)
        taxable += line.tax == 'T' ? line.gross : 0;
    // The tax on the supplier's invoice, as typed from it.
    const qint64 tax = std::llround(RoundHalfEven(m_shop.tax1Percent * taxable / 100.0, 0));
    const char* payType = PurchasePayTypes[m_random.Below(4)];
    m_purchaseMaster.Int(id).Date(m_date).Int(user).Text(receipt).Int(supplier).Int(totals.items);
    m_purchaseMaster.Money(totals.gross)
        .Money(tax)
        .Money(totals.gross + tax)
        .Text(payType)
        .Text(remarks)
        .Write();
    WriteLines(m_purchaseLines, id, m_date, lines);
    for (const Line& line : lines)
        m_shop.Receive(line.product, line.quantity, m_day);
    const QByteArray paidBy(payType);
    if (paidBy == "Cash")
        m_cashPaid += totals.gross + tax;
    else if (paidBy != "Credit")
        m_bankPaid += totals.gross + tax;
    ++purchases;
}

// The order's lines become a purchase dated the day the goods came, numbered after the
// order; the order is marked purchased and names its purchase.
void DocumentWriter::PurchaseOrder(const Order& order)
{
    const qint64 id = m_nextPurchase++;
    WritePurchase(id, order.user, Calendar::ReceiptDate(m_date) + "OTOP-" + Number6(order.id), order.supplier,
        order.totals, "Received", order.lines);
    WriteOrderRow(order, 'P', QByteArray("PURC#" + QByteArray::number(id) + ";Received").left(20));
}

void DocumentWriter::RestockPurchase()
{
    std::deque<qint32>& queue = m_shop.reorderQueue;
    if (queue.empty() || (queue.size() < 4 && m_day % 3 != 0))
        return;
    std::vector<Line> lines;
    while (!queue.empty() && lines.size() < 8) {
        const qint32 product = queue.front();
        queue.pop_front();
        ShopState::Product& p = m_shop.products[size_t(product)];
        p.queued = false;
        const qint32 quantity
            = std::max(p.reorder * 3, 12) - std::max(p.available, 0) + qint32(m_random.Below(6));
        lines.push_back(PurchaseLine(product, std::max(quantity, 1)));
    }
    const qint64 id = m_nextPurchase++;
    const qint64 supplier = m_shop.PickSupplier();
    WritePurchase(id, m_shop.PickBuyer(), "INV" + QByteArray::number(supplier) + "-" + Number6(id), supplier,
        PurchaseTotals(lines), "Restock", lines);
}

void DocumentWriter::Purchase()
{
    std::vector<Line> lines;
    const qint64 count = m_random.Between(2, 8);
    for (qint64 n = 0; n < count; ++n)
        lines.push_back(PurchaseLine(m_shop.PickProduct(), qint32(m_random.Between(2, 12))));
    const qint64 id = m_nextPurchase++;
    const qint64 supplier = m_shop.PickSupplier();
    WritePurchase(id, m_shop.PickBuyer(), "INV" + QByteArray::number(supplier) + "-" + Number6(id), supplier,
        PurchaseTotals(lines), PurchaseRemarks[m_random.Below(4)], lines);
}

void DocumentWriter::Entry(int accountRole, const char* depositMode, qint64 deposit, const char* withdrawMode,
    qint64 withdrawal, const char* detail, const char* remarks)
{
    m_accounting.Int(m_nextEntry++).Date(m_date).Int(m_shop.Account(accountRole));
    m_accounting.Text(depositMode).Money(deposit).Text(deposit > 0 ? detail : "-");
    m_accounting.Text(withdrawMode)
        .Money(withdrawal)
        .Text(withdrawal > 0 ? detail : "-")
        .Text(remarks)
        .Write();
    ++entries;
}

void DocumentWriter::CloseDay()
{
    enum { CashBox, Bank, PettyCash };
    if (m_cashTaken > 0)
        Entry(CashBox, "Cash", m_cashTaken, "-", 0, "Takings", "Counter takings");
    if (m_otherTaken > 0)
        Entry(Bank, "Online", m_otherTaken, "-", 0, "Card sales", "Other pay types");
    if (m_cashPaid > 0)
        Entry(CashBox, "-", 0, "Cash", m_cashPaid, "Purchases", "Paid to suppliers");
    if (m_bankPaid > 0)
        Entry(Bank, "-", 0, "Online", m_bankPaid, "Purchases", "Paid to suppliers");
    if (m_calendar.DayOfWeek(m_day) == 7)
        Entry(PettyCash, "-", 0, "Cash", m_random.Between(500, 4000), "Sundries", "Cleaning and post");
    if (m_day % 30 == 0)
        Entry(PettyCash, "Cheque", 5000, "-", 0, "Top up", "Petty cash float");
}

} // namespace kivo::generation
