#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace kivo {

class ProgramContext;

// How a quote is paid when it is billed: the quote screen's billing panel as typed. Amounts
// are the panel's texts; a decimal comma is read as a point.
struct QuotePayment {
    QString cash = QStringLiteral("0");
    QString credit = QStringLiteral("0");
    QString other = QStringLiteral("0");
    QString misc = QStringLiteral("0");
    QString returnAmount = QStringLiteral("0"); // cash + credit + other + misc - nett
    QString otherType = QStringLiteral("OTHER"); // the pay type's name for `other`
    QString miscType = QStringLiteral("MISC");
    QString remarks; // the bill's remarks
};

// Turns a stored quote into a bill: the bill row (today's date, the quote's user, customer,
// discount and amounts, the panel's payment, a receipt number naming the quote), the quote's
// lines as the bill's lines with the stock of a sale, and the quote marked billed with
// remarks naming the bill. All of it is one unit inside the caller's transaction (a
// savepoint when the caller holds one): a failure, or a crash, leaves none of it.
class QuoteBilling {
public:
    struct Result {
        qint64 billId = 0;
        QString quoteRemarks; // "BILL#" + bill id + ";" + the bill's remarks
        QStringList missing; // codes of lines whose product no longer exists: no stock moved
    };

    explicit QuoteBilling(ProgramContext& context);

    // "YYMM-DD" of today + "QTOB-" + the quote id in six digits: 2612-03QTOB-000007.
    static QString Receipt(const QDate& today, qint64 quoteId);
    // "BILL#" + bill id + ";" + the bill's remarks, cut to what the quote's remarks hold.
    static QString QuoteRemarks(qint64 billId, const QString& billRemarks);
    // Cash + credit + other + misc - nett as the panel shows it ("######0.00"); nothing when
    // one of them is not a number.
    static QString ReturnAmount(const QuotePayment& payment, const QString& nett);

    // Writes the bill of quote `quoteId` as stored now. Throws DbError, leaving nothing.
    Result WriteBill(qint64 quoteId, const QuotePayment& payment);

private:
    ProgramContext& m_context;
};

} // namespace kivo
