#include "QuoteBilling.h"

#include "DocumentConversion.h"
#include "Money.h"

namespace kivo {

namespace {

// The bill takes the quote's user, customer, discount and amounts (columns 2 to 12 of both),
// the panel's payment (13 to 20), and a receipt naming the quote; the quote's lines are a sale.
const DocumentConversion::Shape Billing { QStringLiteral("QuoteBilling"), QStringLiteral("Quote"),
    QStringLiteral("ktQuotMast"), QStringLiteral("ktQuotDetl"), QStringLiteral("ktBillMast"),
    QStringLiteral("ktBillDetl"), QStringLiteral("KvQuote"), 12, QStringLiteral("QTOB-"),
    QStringLiteral("BILL#"), QStringLiteral("QStatus"), QStringLiteral("QRemarks"), QStringLiteral("B") };

} // namespace

QuoteBilling::QuoteBilling(ProgramContext& context)
    : m_context(context)
{
}

QString QuoteBilling::Receipt(const QDate& today, qint64 quoteId)
{
    return DocumentConversion::Receipt(today, Billing.receiptTag, quoteId);
}

QString QuoteBilling::QuoteRemarks(qint64 billId, const QString& billRemarks)
{
    return DocumentConversion::Remarks(
        Billing.remarksTag, billId, billRemarks, Billing.source, Billing.remarksColumn);
}

QString QuoteBilling::ReturnAmount(const QuotePayment& payment, const QString& nett)
{
    Money paid;
    for (const QString& amount : { payment.cash, payment.credit, payment.other, payment.misc }) {
        const std::optional<Money> value = Money::FromText(amount);
        if (!value)
            return {};
        paid += *value;
    }
    const std::optional<Money> due = Money::FromText(nett);
    return due ? (paid - *due).Format() : QString();
}

QuoteBilling::Result QuoteBilling::WriteBill(qint64 quoteId, const QuotePayment& payment)
{
    const DocumentConversion::Result written = DocumentConversion::Write(m_context, Billing, quoteId,
        { payment.cash, payment.credit, payment.other, payment.misc, payment.returnAmount, payment.otherType,
            payment.miscType, payment.remarks },
        payment.remarks);
    return { written.targetId, written.sourceRemarks, written.missing };
}

} // namespace kivo
