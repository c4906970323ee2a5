#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace kivo {

class ProgramContext;

// What a purchase order is purchased with: the order screen's purchase panel as typed.
struct OrderPayment {
    QString gross; // the order's gross amount
    QString tax = QStringLiteral("0"); // tax paid
    QString nett; // gross + tax
    QString payType; // "Cash", "Credit", "Online" or "Other"
    QString remarks; // the purchase's remarks
};

// Turns a stored purchase order into a purchase: the purchase row (today's date, the order's
// user, supplier and item count, the panel's amounts, a receipt number naming the order), the
// order's lines as the purchase's lines with the stock of a purchase, and the order marked
// purchased with remarks naming the purchase. One unit inside the caller's transaction: a
// failure, or a crash, leaves none of it.
class OrderPurchase {
public:
    struct Result {
        qint64 purchaseId = 0;
        QString orderRemarks; // "PURC#" + purchase id + ";" + the purchase's remarks
        QStringList missing; // codes of lines whose product no longer exists: no stock moved
    };

    explicit OrderPurchase(ProgramContext& context);

    // "YYMM-DD" of today + "OTOP-" + the order id in six digits.
    static QString Receipt(const QDate& today, qint64 orderId);
    // "PURC#" + purchase id + ";" + the purchase's remarks, cut to what the order's remarks hold.
    static QString OrderRemarks(qint64 purchaseId, const QString& purchaseRemarks);
    // Gross + tax as the panel shows it ("######0.00"); nothing when either is not a number.
    static QString NettPaid(const QString& gross, const QString& tax);

    // Writes the purchase of order `orderId` as stored now. Throws DbError, leaving nothing.
    Result WritePurchase(qint64 orderId, const OrderPayment& payment);

private:
    ProgramContext& m_context;
};

} // namespace kivo
