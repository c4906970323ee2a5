#pragma once

#include "Connection.h"
#include "Recordset.h"

#include <QDate>
#include <QStringList>

namespace kivo::test {

using namespace Qt::StringLiterals;

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

inline void AddProduct(Connection& c, const ShopProduct& p)
{
    c.Execute(
        u"Insert Into ktProduct (EDate, PCode, PName, PGId, PPurchRate, PSaleRate, POpenQty, PPurchQty, "
        "PSaleQty, PCloseQty, PTax, PActive, PTranDate) Values (?,?,?,?,?,?,?,0,0,?,?,?,?)"_s,
        { ShopEarlier(), p.code, QString(u"Item "_s + p.code), p.group, p.purchaseRate, p.saleRate, p.stock,
            p.stock, p.tax, p.active, ShopEarlier() });
}

inline void AddGroup(Connection& c, int id, const QString& name, double savePercent)
{
    c.Execute(u"Insert Into kmGroup (EId, EDate, GName, GSavePer) Values (?,?,?,?)"_s,
        { id, ShopEarlier(), name, savePercent });
}

// A customer entered on 2025-07-01 with an address in Leeds and an e-mail address.
inline void AddCustomer(Connection& c, int id, const QString& name, const QString& phone, const QString& code,
    const QString& active = QStringLiteral("Y"))
{
    c.Execute(u"Insert Into ktCustomer Values (?,?,?,?,?,?,?,?,?,?,?,?,?)"_s,
        { id, QDate(2025, 7, 1), name, u"1 Mill Lane"_s, u"Leeds"_s, u"Yorks"_s, u"UK"_s, u"LS1"_s, phone,
            u"ann@shop.test"_s, code, active, u"Regular"_s });
}

// Every product's stock, by code: "A 2/0/12 today, B 0/0/10 earlier" (purchased/sold/close and
// the last move: `today`, ShopEarlier() or the stored date).
inline QString ShopStock(Connection& c, const QDate& today)
{
    QStringList products;
    Recordset rs(c);
    rs.Open(u"Select PCode, PPurchQty, PSaleQty, PCloseQty, PTranDate From ktProduct Order By PCode"_s);
    for (; !rs.Eof(); rs.MoveNext()) {
        const QDate date = rs.Value(4).toDate();
        const QString when = date == today ? u"today"_s : date == ShopEarlier() ? u"earlier"_s : rs.Text(4);
        products << u"%1 %2/%3/%4 %5"_s.arg(rs.Text(0), rs.Text(1), rs.Text(2), rs.Text(3), when);
    }
    return products.join(u", "_s);
}

// The codes of the products whose closing stock is not opening + purchased - sold.
inline QStringList BrokenStock(Connection& c)
{
    QStringList codes;
    Recordset rs(c);
    rs.Open(u"Select PCode From ktProduct Where IfNull(PCloseQty,0) <> "
            "IfNull(POpenQty,0) + IfNull(PPurchQty,0) - IfNull(PSaleQty,0)"_s);
    for (; !rs.Eof(); rs.MoveNext())
        codes << rs.Text(0);
    return codes;
}

} // namespace kivo::test
