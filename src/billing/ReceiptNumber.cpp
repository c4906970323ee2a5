#include "ReceiptNumber.h"

namespace kivo {

QString ReceiptNumber::AtOpen(const QDateTime& opened)
{
    // Digits only, so the locale plays no part.
    return opened.date().toString(QStringLiteral("yyMM-dd"))
        + opened.time().toString(QStringLiteral("HHmm-"));
}

QString ReceiptNumber::AtCheckout(const QString& atOpen, qint64 billId)
{
    return atOpen + QStringLiteral("%1").arg(billId, 6, 10, QLatin1Char('0'));
}

} // namespace kivo
