#include "QuoteBilling.h"

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

QuoteBilling::QuoteBilling(ProgramContext& context)
    : m_context(context)
{
}

QString QuoteBilling::Receipt(const QDate& today, qint64 quoteId)
{
    return today.toString(QStringLiteral("yyMM-dd")) + QStringLiteral("QTOB-")
        + QStringLiteral("%1").arg(quoteId, 6, 10, QLatin1Char('0'));
}

QString QuoteBilling::QuoteRemarks(qint64 billId, const QString& billRemarks)
{
    return FitColumn(QStringLiteral("BILL#%1;").arg(billId) + billRemarks, QStringLiteral("ktQuotMast"),
        QStringLiteral("QRemarks"));
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
    Connection& connection = m_context.connection;
    const QDate today = m_context.Today();
    Result result;
    Transaction unit(connection);

    Recordset quote(connection);
    quote.Open(QStringLiteral("Select * From ktQuotMast Where EId=%1").arg(quoteId));
    if (quote.Eof())
        throw DbError(DbErrorNumber::NoCurrentRecord, QStringLiteral("QuoteBilling"),
            QStringLiteral("Quote %1 is not stored").arg(quoteId));

    // The bill takes the quote's user, customer, discount and amounts (columns 2 to 12 of
    // both), the panel's payment (13 to 20), today's date and a receipt naming the quote.
    Recordset bill(connection);
    bill.Open(QStringLiteral("Select * From ktBillMast Where 1=2"));
    bill.AddNew();
    bill.SetValue(1, today);
    for (int i = 2; i <= 12; ++i)
        bill.SetValue(i, quote.Value(i));
    const QString panel[] = { payment.cash, payment.credit, payment.other, payment.misc, payment.returnAmount,
        payment.otherType, payment.miscType, payment.remarks };
    for (int i = 0; i < 8; ++i)
        bill.SetValue(13 + i, Typed(panel[i]));
    bill.SetValue(3, Receipt(today, quoteId));
    bill.Update();
    result.billId = bill.Value(0).toLongLong();

    // The quote's lines become the bill's, and a bill line is a sale.
    StockPosting posting(connection, today);
    result.missing = posting.Write(QStringLiteral("ktBillDetl"), result.billId, today,
        StoredLines(connection, QStringLiteral("ktQuotDetl"), quoteId),
        StockPosting::PostMove(QStringLiteral("KvQuote"), QStringLiteral("ktBillDetl")));

    result.quoteRemarks = QuoteRemarks(result.billId, payment.remarks);
    connection.Execute(QStringLiteral("Update ktQuotMast Set QStatus='B', QRemarks=? Where EId=?"),
        { result.quoteRemarks, quoteId });
    unit.Commit();
    return result;
}

} // namespace kivo
