#pragma once

// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include "BillTotals.h"
#include "GroupSavings.h"
#include "LineGrid.h"
#include "Money.h"

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace kivo {

class ProgramContext;
class BillingProductList;

// One field of the counter screen: txtField(n) with its caption lblField(n).
struct BillingField {
    QString caption;
    QString descriptor; // D, I or F where the field has one (the validation reads it)
    int maxLength = 0;
    QString text;
    bool editable = false;
    bool visible = true;
};

// The counter screen KvBilling without its window: one bill held in memory (the fields, the
// line grid and its running totals, the group and product lists, the pay captions) until
// checkout writes it. The window shows this state, forwards keys and clicks, and moves the
// focus where each call says. Messages go through the context's Messages and failures
// through its error reporter; nothing here opens a dialog.
class BillingState : public QObject {
    Q_OBJECT
public:
    enum FieldNumber {
        BillId = 0,
        BillDate = 1,
        UserId = 2,
        Receipt = 3,
        CustomerId = 4,
        DiscountPercent = 5,
        Items = 6,
        GrossAmount = 7,
        DiscountAmount = 8,
        TotalAmount = 9,
        Tax1Amount = 10,
        Tax2Amount = 11,
        NettAmount = 12,
        CashPay = 13,
        CreditPay = 14,
        OtherPay = 15,
        MiscPay = 16,
        ReturnAmount = 17,
        OtherType = 18,
        MiscType = 19,
        Remarks = 20,
        LastField = 20,
        CustomerPhone = 41,
        ProductCode = 98
    };

    // Where the cursor goes after a call; Stay leaves it where it is.
    enum class Focus {
        Stay,
        ProductCode, // txtField(98)
        ProductListing, // cmdList(98)
        CustomerPhone, // txtField(41)
        DiscountPercent,
        Remarks,
        MiscPay
    };

    // Screen set-up steps 2 and 4 to 7: the empty grid, the date, user, discount and receipt
    // fields, the group list with the first group's products. `opened`: when the bill was
    // opened (the receipt number's first part).
    BillingState(ProgramContext& context, const QDateTime& opened, QObject* parent = nullptr);
    ~BillingState() override;

    // txtField(n) for n in 0..20, 41 and 98; empty for any other.
    QString Text(int n) const;
    void SetText(int n, const QString& text);
    const BillingField& Field(int n) const;
    bool DiscountLocked() const { return m_discountLocked; }

    // lblList(2) login name, lblList(4) customer name, lblList(18) and (19) the pay-type names.
    QString ListText(int n) const;
    QString FinalText() const { return m_final; } // lblFinal: the nett in large type
    const QStringList& PayCaptions() const { return m_payCaptions; } // cmdHot(0..5)
    Money NextTen() const { return m_nextTen; }
    Money NextHundred() const { return m_nextHundred; }

    LineGrid& Grid() { return m_grid; }
    const LineGrid& Grid() const { return m_grid; }

    // The group list: items "PadText(UCase(GName),28) PadText(EId,16)", or "-" alone when the
    // shop has no group; the shown group's index (-1 for none) and its active products.
    const QStringList& GroupItems() const { return m_groupItems; }
    int GroupIndex() const { return m_groupIndex; }
    const std::vector<GroupSavings::Group>& Groups() const { return m_groups.Groups(); }
    BillingProductList& Products() { return *m_products; }
    void PriorGroup();
    void NextGroup();
    void ShowGroup(int index);

    // Enter in PROD CODE, or leaving it with text: a blank code sends the cursor to the
    // product listing (ProductListing); a known code adds a line (Stay); an unknown one says
    // "Invalid Product-Code !", and the cursor stays in the emptied code (ProductCode).
    Focus EnterProductCode();
    // A product of the list (its row in Products()) chosen by Enter, Tab, Space, a double click
    // or a tick.
    void ChooseListedProduct(int row);
    // Adds the product with this code at quantity 1 and its sale rate; false (after the
    // message) when there is none or its stock refuses it.
    bool AddProductByCode(const QString& code);

    // The "x" of line `row`: "Remove Product ?", then the line leaves the grid and the totals.
    void RemoveLine(int row);

    // Leaving DISCOUNT%: false after "Invalid Discount !" when it is not a number (or one too
    // large for an amount).
    bool LeaveDiscount();
    // RecalcTotals on the running totals, then the payment refresh.
    void RecalcTotals();
    // NETT AMT changed or a tender field was left: the suggested amounts and captions, the
    // tenders as numbers and RETURN AMT.
    void RefreshPayment();
    // cmdHot(i), key F1+i: sets the four tenders. The cursor goes to REMARKS.
    Focus PayButton(int i);
    // A pay type picked for OTHER (field 18) or MISC (19): its id into the field, its name
    // (28 characters at most) beside it. The cursor goes to MISC PAY or REMARKS.
    Focus PickPayType(int field, const QString& id, const QString& name);

    // Leaving CUST PHONE: the customer of that phone, created when new; an empty phone
    // clears the customer. False (the customer cleared, the cursor back in the phone) when
    // the phone is not a number.
    bool LeavePhone();
    // What the customer screen needs and returns: the trimmed phone, and the name it saved.
    QString PhoneForDetails() const { return Text(CustomerPhone).trimmed(); }
    // Before the customer screen opens: false after "Enter Customer Phone !" when there is no
    // phone (the cursor goes to CUST PHONE).
    bool MayOpenCustomerDetails();
    // Where the cursor goes when the customer screen is back.
    Focus AfterCustomerDetails() const
    {
        return m_discountLocked ? Focus::ProductCode : Focus::DiscountPercent;
    }
    void CustomerDetailsReturned(const QString& returnText);

    // The customer of a phone as the program's look-up answers: it shows its own messages
    // ("Invalid Phone !", "New Customer Added !", "<Inactive Customer>") and creates a new
    // customer itself.
    struct CustomerAnswer {
        enum class Kind { None, InvalidPhone, Customer } kind = Kind::None;
        QString id;
        QString name;
    };
    using CustomerLookup = std::function<CustomerAnswer(const QString& phone, const QDate& entryDate)>;
    void SetCustomerLookup(CustomerLookup lookup) { m_customerLookup = std::move(lookup); }

    // The checkout's field check: true when the bill may be written. The validation routine
    // of the record engine stands behind it in the program.
    using Validator = std::function<bool(const BillingState&)>;
    enum class CheckoutResult {
        NoProducts, // "No Products !": the cursor goes to the product listing
        Stopped, // invalid fields, or a question answered No
        Failed, // a write failed, was reported, and nothing of the bill was kept
        Completed // the bill is written; print it and close
    };
    // Checkout: the checks and questions, then the bill row, its columns, its lines and their
    // stock as one transaction with one durable commit, then "Checkout Completed !".
    CheckoutResult Checkout(const Validator& validate);
    bool CheckedOut() const { return m_checkedOut; }
    // The bill print that follows checkout: 56 "Bill Print (S)" when PDefBill is "S", else 57.
    int BillPrintReport() const;
    // "Confirm Cancel/Exit ?": true when the screen may close (nothing is written).
    bool Cancel();

signals:
    // The fields, lists or captions changed; the window shows the state again.
    void changed();

private:
    void FillGroups();
    BillTotals::Settings TotalsSettings() const;
    void SetAmount(int n, const Money& amount, const QString& picture);
    Money Amount(int n) const;
    // The bill's writes; throws on the first failure, when its transaction rolls back whole.
    void WriteBill();

    ProgramContext& m_context;
    std::array<BillingField, LastField + 1> m_fields;
    BillingField m_phone;
    BillingField m_productCode;
    QString m_loginName, m_customerName, m_otherName, m_miscName, m_final;
    QStringList m_payCaptions;
    Money m_nextTen, m_nextHundred;
    bool m_discountLocked = false;
    bool m_checkedOut = false;
    QString m_receiptAtOpen;
    CustomerLookup m_customerLookup;

    LineGrid m_grid;
    GroupSavings m_groups; // read once: the group list and the lines' group saving
    QStringList m_groupItems;
    int m_groupIndex = -1;
    BillingProductList* m_products;
};

} // namespace kivo
