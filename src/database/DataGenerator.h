#pragma once

#include <QDate>
#include <QtGlobal>

namespace kivo {

class Connection;

// Makes a shop's data in bulk on a database that holds the schema and its first rows:
// products in the groups, customers, suppliers and a history of counter bills, quotes,
// purchase orders, purchases and cash-book entries over the days up to `today`.
//
// Documents are written as the screens write them (receipt numbers, quote and order
// conversions with their statuses and remarks, totals from the lines with the shop's
// discount, tax and rounding preferences), and stock is posted as the counter and the
// purchase screen post it: a product's PSaleQty grows by its bill lines, PPurchQty by its
// purchase lines, and PCloseQty moves with them. Quote and order lines move nothing.
//
// The same settings on the same database give the same rows. Everything is written in one
// transaction through prepared statements; a failure throws DbError and leaves the
// database as it was.
class DataGenerator {
public:
    struct Settings {
        qint64 products = 0; // new products
        qint64 customers = 0; // new customers
        qint64 bills = 0; // bills in the history, those made from quotes included
        QDate today;
        int days = 91; // length of the history, ending with `today`
        quint64 seed = 20261;
    };

    // What one run added.
    struct Counts {
        qint64 products = 0;
        qint64 customers = 0;
        qint64 suppliers = 0;
        qint64 bills = 0;
        qint64 quotes = 0;
        qint64 purchases = 0;
        qint64 orders = 0;
        qint64 entries = 0; // cash-book entries
    };

    // Bounds of the settings. Customer codes are "C" + the entry day's month and day + the
    // phone's last four digits; at most 9,000 customers a day over a year keeps them unique.
    static constexpr qint64 MaxProducts = 10'000'000;
    static constexpr qint64 MaxCustomers = 3'000'000;
    static constexpr qint64 MaxBills = 10'000'000;

    DataGenerator(Connection& connection, const Settings& settings);

    Counts Run();

private:
    Connection& m_connection;
    Settings m_settings;
};

} // namespace kivo
