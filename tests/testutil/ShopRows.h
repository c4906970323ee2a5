#pragma once

#include "Connection.h"

#include <QDate>
#include <QStringList>

namespace kivo::test {

// A product as the shop fixtures write it, named "Item CODE", entered and last moved on
// ShopEarlier(), with `stock` opened and on hand and nothing bought or sold yet.
struct ShopProduct {
    QString code;
    double saleRate = 1;
    int stock = 10;
    QString tax = QStringLiteral("T");
    QVariant group; // PGId; none when null
    double purchaseRate = 1;
    QString active = QStringLiteral("Y");
};

// The day the shop's products last moved before a test moves them.
inline QDate ShopEarlier()
{
    return QDate(2026, 1, 2);
}

void AddProduct(Connection& c, const ShopProduct& product);
void AddGroup(Connection& c, int id, const QString& name, double savePercent);
// A customer entered on 2025-07-01 with an address in Leeds and an e-mail address.
void AddCustomer(Connection& c, int id, const QString& name, const QString& phone, const QString& code,
    const QString& active = QStringLiteral("Y"));

// Every product's stock, by code: "A 2/0/12 today, B 0/0/10 earlier" (purchased/sold/close and
// the last move: `today`, ShopEarlier() or the stored date).
QString ShopStock(Connection& c, const QDate& today);

// The codes of the products whose closing stock is not opening + purchased - sold.
QStringList BrokenStock(Connection& c);

} // namespace kivo::test
