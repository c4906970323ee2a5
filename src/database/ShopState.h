#pragma once

#include "GenerationTools.h"

#include <deque>
#include <vector>

namespace kivo::generation {

// The generator's picture of the shop while it writes the history: the registers that
// documents refer to, the preferences that shape their amounts, and every product with the
// stock it has moved so far. Products are written at the end with their final quantities.
class ShopState {
public:
    struct Product {
        qint64 eid = 0;
        qint32 saleRate = 0; // hundredths
        qint32 purchaseRate = 0; // hundredths
        qint32 opening = 0;
        qint32 purchased = 0; // by this run
        qint32 sold = 0; // by this run
        qint32 available = 0; // on hand, less what billed quotes have promised
        qint32 reorder = 0;
        qint32 lastDay = -1; // day of the history of the last movement; -1 none
        qint16 group = -1; // index into groups, -1 none
        char tax = 'N';
        bool active = true;
        bool queued = false; // waiting for a restocking purchase
        bool existing = false; // was in the database before this run
    };
    struct Group {
        qint64 eid;
        double savePercent;
    };

    ShopState(Connection& connection, quint64 seed);

    void LoadSettings();
    // Groups, pay types, cash-book accounts and cashiers, made when the database has none.
    void EnsureRegisters(const Calendar& calendar);
    // Adds suppliers until there are `wanted`; returns how many were added.
    qint64 AddSuppliers(qint64 wanted, const Calendar& calendar);
    // Reads the products there are and plans `count` new ones; returns `count`.
    qint64 PlanProducts(qint64 count);
    // Writes `count` new customers, entered over the days up to today; returns `count`.
    qint64 AddCustomers(qint64 count, const Calendar& calendar);
    // Writes the new products and the stock that the history moved on the others.
    void WriteProducts(const Calendar& calendar);

    qint64 CustomerCount() const { return qint64(m_customers.size()) + m_newCustomers; }
    qint64 ActiveProductCount() const { return qint64(m_active.size()); }

    // A customer already entered on that day of the history.
    qint64 PickCustomer(int day);
    // An active product, the first ones more often.
    qint32 PickProduct() { return m_active[size_t(random.Skewed(qint64(m_active.size())))]; }
    qint64 PickCashier() { return m_cashiers[size_t(random.Below(qint64(m_cashiers.size())))]; }
    qint64 PickBuyer() { return m_buyers[size_t(random.Below(qint64(m_buyers.size())))]; }
    qint64 PickSupplier() { return m_suppliers[size_t(random.Below(qint64(m_suppliers.size())))]; }
    const QByteArray& PickPayType() { return m_payTypes[size_t(random.Below(qint64(m_payTypes.size())))]; }
    qint64 Account(int role) const { return m_accounts[size_t(role) % m_accounts.size()]; }

    QByteArray Code(qint32 product) const;
    QByteArray Name(qint32 product) const;
    double SavePercent(qint32 product) const;

    // Stock moves: a sale (bill line), a promise (a quote that will be billed, so that the
    // counter does not sell the same goods) and its billing, and a purchase.
    void Sell(qint32 product, qint32 quantity, int day);
    void Promise(qint32 product, qint32 quantity);
    void Deliver(qint32 product, qint32 quantity, int day);
    void Receive(qint32 product, qint32 quantity, int day);

    // The first id that the database will give to a new row of the table.
    qint64 NextId(const char* table);

    Connection& connection;
    Random random;

    // Preferences that shape a document's amounts.
    int amountDigits = 2;
    double tax1Percent = 0;
    double tax2Percent = 0;
    bool groupSavings = true;
    int discountPercent = 0;
    bool discountEditable = true;

    std::vector<Product> products;
    // Products that fell to their reorder level, oldest first.
    std::deque<qint32> reorderQueue;

private:
    void Queue(qint32 product);
    int Kind(const Product& product) const;

    quint64 m_seed;
    std::vector<Group> m_groups;
    std::vector<QByteArray> m_payTypes;
    std::vector<qint64> m_accounts;
    std::vector<qint64> m_cashiers;
    std::vector<qint64> m_buyers;
    std::vector<qint64> m_suppliers;
    std::vector<qint32> m_active;
    // Codes and names of the products that were there before, by position in `products`.
    std::vector<QByteArray> m_existingCodes;
    std::vector<QByteArray> m_existingNames;
    std::vector<qint64> m_customers; // ids of those there before
    qint64 m_firstNewCustomer = 0;
    qint64 m_newCustomers = 0;
    std::vector<qint64> m_newCustomersBy; // new customers entered on or before each day
};

} // namespace kivo::generation
