#pragma once

#include "ShopState.h"

#include <vector>

namespace kivo::generation {

// Writes the documents of a generated history, one day after the other, as the screens
// write them: counter bills with their receipt numbers and payments, quotes and their
// billing, purchase orders and their purchase, purchases, and at the end of each day the
// cash book. Bill and purchase lines move the stock of `ShopState`; quote and order lines
// move nothing.
class DocumentWriter {
public:
    struct Line {
        qint32 product;
        qint32 quantity;
        qint64 rate, value, saving, gross; // hundredths
        char tax;
    };
    struct Totals {
        qint64 items = 0;
        qint64 gross = 0, discount = 0, total = 0, tax1 = 0, tax2 = 0, nett = 0; // hundredths
    };
    struct Quote {
        qint64 id;
        int day;
        qint64 user, customer;
        int discountPercent;
        std::vector<Line> lines;
        Totals totals;
    };
    struct Order {
        qint64 id;
        int day;
        qint64 user, supplier;
        std::vector<Line> lines;
        Totals totals;
    };

    DocumentWriter(ShopState& shop, const Calendar& calendar);

    void StartDay(int day);
    // Books the day's takings and payments in the cash book.
    void CloseDay();

    // The `index`th of the day's `ofDay` counter bills.
    void CounterBill(qint64 index, qint64 ofDay);
    // A quote; one that will be billed holds its goods back from the counter.
    Quote NewQuote(bool willBeBilled);
    // status "N" open or "C" cancelled.
    void WriteQuote(const Quote& quote, char status);
    void BillQuote(const Quote& quote);
    Order NewOrder();
    // status "N" open or "C" cancelled.
    void WriteOrder(const Order& order, char status);
    void PurchaseOrder(const Order& order);
    // A purchase of products that fell to their reorder level, when enough of them wait.
    void RestockPurchase();
    // A purchase of a few products of the range.
    void Purchase();

    qint64 bills = 0, quotes = 0, purchases = 0, orders = 0, entries = 0;

private:
    Line SaleLine(qint32 product, qint32 quantity) const;
    Line PurchaseLine(qint32 product, qint32 quantity) const;
    Totals SaleTotals(const std::vector<Line>& lines, int discountPercent) const;
    static Totals PurchaseTotals(const std::vector<Line>& lines);
    qint64 Round(double amount) const; // to the shop's amount digits, in hundredths
    int LineCount();
    int Quantity();

    void WriteLines(BoundStatement& statement, qint64 id, qint64 date, const std::vector<Line>& lines);
    struct Payment {
        qint64 cash = 0, credit = 0, other = 0, misc = 0;
        QByteArray otherType = "OTHER", miscType = "MISC";
    };
    Payment Pay(qint64 nett);
    void WriteBill(qint64 id, qint64 date, qint64 user, const QByteArray& receipt, qint64 customer,
        int discountPercent, const Totals& totals, const Payment& payment, const char* remarks,
        const std::vector<Line>& lines);
    void WritePurchase(qint64 id, qint64 user, const QByteArray& receipt, qint64 supplier,
        const Totals& totals, const char* remarks, const std::vector<Line>& lines);
    void WriteQuoteRow(const Quote& quote, char status, const QByteArray& remarks);
    void WriteOrderRow(const Order& order, char status, const QByteArray& remarks);
    void Entry(int accountRole, const char* depositMode, qint64 deposit, const char* withdrawMode,
        qint64 withdrawal, const char* detail, const char* remarks);

    ShopState& m_shop;
    const Calendar& m_calendar;
    Random& m_random;
    int m_day = 0;
    qint64 m_date = 0;
    qint64 m_nextBill, m_nextQuote, m_nextPurchase, m_nextOrder, m_nextEntry;
    // The day's money for the cash book, in hundredths.
    qint64 m_cashTaken = 0, m_otherTaken = 0, m_cashPaid = 0, m_bankPaid = 0;

    BoundStatement m_billMaster, m_billLines, m_quoteMaster, m_quoteLines;
    BoundStatement m_purchaseMaster, m_purchaseLines, m_orderMaster, m_orderLines, m_accounting;
};

} // namespace kivo::generation
