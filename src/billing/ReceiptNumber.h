#pragma once

#include <QDateTime>
#include <QString>

namespace kivo {

// A bill's receipt number: two-digit year, month, "-", day, hour, minute, "-", six-digit
// bill number (2612-032347-000123 for bill 123 at 23:47 on 3 December 2026). The first part
// is set when the bill is opened, the bill number appended at checkout, when it is known.
class ReceiptNumber {
public:
    // "YYMM-DD" + "HHMM-" for the moment the bill is opened.
    static QString AtOpen(const QDateTime& opened);
    // The receipt number of AtOpen completed with the bill number, at least six digits.
    static QString AtCheckout(const QString& atOpen, qint64 billId);
};

} // namespace kivo
