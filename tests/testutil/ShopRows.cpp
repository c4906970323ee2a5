#include "ShopRows.h"

#include "Recordset.h"

using namespace Qt::StringLiterals;

namespace kivo::test {

void AddProduct(Connection& c, const ShopProduct& p)
{
    c.Execute(
        u"Insert Into ktProduct (EDate, PCode, PName, PGId, PPurchRate, PSaleRate, POpenQty, PPurchQty, "
        "PSaleQty, PCloseQty, PTax, PActive, PTranDate) Values (?,?,?,?,?,?,?,0,0,?,?,?,?)"_s,
        { ShopEarlier(), p.code, QString(u"Item "_s + p.code), p.group, p.purchaseRate, p.saleRate, p.stock,
            p.stock, p.tax, p.active, ShopEarlier() });
}

void AddGroup(Connection& c, int id, const QString& name, double savePercent)
{
    c.Execute(u"Insert Into kmGroup (EId, EDate, GName, GSavePer) Values (?,?,?,?)"_s,
        { id, ShopEarlier(), name, savePercent });
}

void AddCustomer(Connection& c, int id, const QString& name, const QString& phone, const QString& code,
    const QString& active)
{
    c.Execute(u"Insert Into ktCustomer Values (?,?,?,?,?,?,?,?,?,?,?,?,?)"_s,
        { id, QDate(2025, 7, 1), name, u"1 Mill Lane"_s, u"Leeds"_s, u"Yorks"_s, u"UK"_s, u"LS1"_s, phone,
            u"ann@shop.test"_s, code, active, u"Regular"_s });
}

QString ShopStock(Connection& c, const QDate& today)
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

QStringList BrokenStock(Connection& c)
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
