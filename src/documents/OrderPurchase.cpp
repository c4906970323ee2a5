#include "OrderPurchase.h"

#include "Money.h"
#include "ProgramContext.h"
#include "Recordset.h"
#include "StockPosting.h"
#include "StoredLines.h"

namespace kivo {

namespace {

QString Typed(const QString& text)
{
    QString value = text;
    value.replace(u',', u'.');
    return value;
}

} // namespace

OrderPurchase::OrderPurchase(ProgramContext& context)
    : m_context(context)
{
}

QString OrderPurchase::Receipt(const QDate& today, qint64 orderId)
{
    return today.toString(QStringLiteral("yyMM-dd")) + QStringLiteral("OTOP-")
        + QStringLiteral("%1").arg(orderId, 6, 10, QLatin1Char('0'));
}

QString OrderPurchase::OrderRemarks(qint64 purchaseId, const QString& purchaseRemarks)
{
    return FitColumn(QStringLiteral("PURC#%1;").arg(purchaseId) + purchaseRemarks,
        QStringLiteral("ktOrdrMast"), QStringLiteral("ORemarks"));
}

QString OrderPurchase::NettPaid(const QString& gross, const QString& tax)
{
    const std::optional<Money> g = Money::FromText(gross);
    const std::optional<Money> t = Money::FromText(tax);
    return g && t ? (*g + *t).Format() : QString();
}

OrderPurchase::Result OrderPurchase::WritePurchase(qint64 orderId, const OrderPayment& payment)
{
    Connection& connection = m_context.connection;
    const QDate today = m_context.Today();
    Result result;
    Transaction unit(connection);

    Recordset order(connection);
    order.Open(QStringLiteral("Select * From ktOrdrMast Where EId=%1").arg(orderId));
    if (order.Eof())
        throw DbError(DbErrorNumber::NoCurrentRecord, QStringLiteral("OrderPurchase"),
            QStringLiteral("Order %1 is not stored").arg(orderId));

    // The purchase takes the order's user, supplier and item count (columns 2 to 5 of both),
    // the panel's amounts, pay type and remarks, today's date and a receipt naming the order.
    Recordset purchase(connection);
    purchase.Open(QStringLiteral("Select * From ktPurcMast Where 1=2"));
    purchase.AddNew();
    purchase.SetValue(1, today);
    for (int i = 2; i <= 5; ++i)
        purchase.SetValue(i, order.Value(i));
    const QString panel[] = { payment.gross, payment.tax, payment.nett, payment.payType, payment.remarks };
    for (int i = 0; i < 5; ++i)
        purchase.SetValue(6 + i, Typed(panel[i]));
    purchase.SetValue(3, Receipt(today, orderId));
    purchase.Update();
    result.purchaseId = purchase.Value(0).toLongLong();

    // The order's lines become the purchase's, and a purchase line raises the stock.
    StockPosting posting(connection, today);
    result.missing = posting.Write(QStringLiteral("ktPurcDetl"), result.purchaseId, today,
        StoredLines(connection, QStringLiteral("ktOrdrDetl"), orderId),
        StockPosting::PostMove(QStringLiteral("KvOrder"), QStringLiteral("ktPurcDetl")));

    result.orderRemarks = OrderRemarks(result.purchaseId, payment.remarks);
    connection.Execute(QStringLiteral("Update ktOrdrMast Set OStatus='P', ORemarks=? Where EId=?"),
        { result.orderRemarks, orderId });
    unit.Commit();
    return result;
}

} // namespace kivo
