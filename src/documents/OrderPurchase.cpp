#include "OrderPurchase.h"

#include "DocumentConversion.h"
#include "Money.h"

namespace kivo {

namespace {

// The purchase takes the order's user, supplier and item count (columns 2 to 5 of both), the
// panel's amounts, pay type and remarks (6 to 10), and a receipt naming the order; the order's
// lines are a purchase and raise the stock.
const DocumentConversion::Shape Purchasing { QStringLiteral("OrderPurchase"), QStringLiteral("Order"),
    QStringLiteral("ktOrdrMast"), QStringLiteral("ktOrdrDetl"), QStringLiteral("ktPurcMast"),
    QStringLiteral("ktPurcDetl"), QStringLiteral("KvOrder"), 5, QStringLiteral("OTOP-"),
    QStringLiteral("PURC#"), QStringLiteral("OStatus"), QStringLiteral("ORemarks"), QStringLiteral("P") };

} // namespace

OrderPurchase::OrderPurchase(ProgramContext& context)
    : m_context(context)
{
}

QString OrderPurchase::Receipt(const QDate& today, qint64 orderId)
{
    return DocumentConversion::Receipt(today, Purchasing.receiptTag, orderId);
}

QString OrderPurchase::OrderRemarks(qint64 purchaseId, const QString& purchaseRemarks)
{
    return DocumentConversion::Remarks(
        Purchasing.remarksTag, purchaseId, purchaseRemarks, Purchasing.source, Purchasing.remarksColumn);
}

QString OrderPurchase::NettPaid(const QString& gross, const QString& tax)
{
    const std::optional<Money> g = Money::FromText(gross);
    const std::optional<Money> t = Money::FromText(tax);
    return g && t ? (*g + *t).Format() : QString();
}

OrderPurchase::Result OrderPurchase::WritePurchase(qint64 orderId, const OrderPayment& payment)
{
    const DocumentConversion::Result written = DocumentConversion::Write(m_context, Purchasing, orderId,
        { payment.gross, payment.tax, payment.nett, payment.payType, payment.remarks }, payment.remarks);
    return { written.targetId, written.sourceRemarks, written.missing };
}

} // namespace kivo
