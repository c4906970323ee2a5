#pragma once

#include <optional>
#include <QDate>
#include <QString>

namespace kivo {

class ProgramContext;

// A customer as the counter needs it after a look-up by phone.
struct PhoneCustomer {
    qint64 id = 0; // EId
    QString name; // CName
    QString phone; // CPhone as stored
    QString code; // CCode
    bool active = true; // CActive is not "N"
};

// Finds the customer that a phone number belongs to, or adds one. A phone is looked up
// through the CPhone index with one prepared statement, so the look-up costs the same
// with ten customers or a million. When two customers share a phone, the first stored
// (lowest EId) is the one found.
//
// A customer added here is a placeholder that the cashier completes later: "-" in every
// text column, the phone, an active flag and a code made of the day and the phone. It is
// added inside the caller's transaction (a savepoint when one is open), so a bill that is
// never checked out can take its new customer back with it.
class CustomerByPhone {
public:
    enum class Outcome {
        NoPhone, // empty: the caller clears its customer
        InvalidPhone, // "Invalid Phone !" was shown
        Found,
        Created, // "New Customer Added !" was shown
        Failed, // a database error was reported
    };
    struct Result {
        Outcome outcome = Outcome::NoPhone;
        PhoneCustomer customer; // for Found and Created
    };

    // Uses the context's connection, messages, error reporter and today (which makes the
    // new customer's code).
    explicit CustomerByPhone(ProgramContext& context);

    // Whether a typed phone may be looked up: after trimming, a number that fits CPhone.
    static bool IsPhone(const QString& phone);
    // "C" + today's month and day ("MMDD") + the phone's last four characters: a phone
    // ending in 3210 gives C12033210 on 3 December.
    static QString NewCustomerCode(const QString& phone, const QDate& today);

    // The counter's look-up, with its messages: an empty phone gives NoPhone; one that is
    // not a phone shows "Invalid Phone !"; an unknown phone adds the customer with entry
    // date `entryDate` and shows "New Customer Added !"; an inactive customer, found or
    // not, shows "<Inactive Customer>" and is still returned. Never throws.
    Result LookUp(const QString& phone, const QDate& entryDate);

    // The parts of LookUp without messages; they throw DbError. The phone is trimmed.
    std::optional<PhoneCustomer> Find(const QString& phone);
    PhoneCustomer Create(const QString& phone, const QDate& entryDate);

private:
    ProgramContext& m_context;
};

} // namespace kivo
