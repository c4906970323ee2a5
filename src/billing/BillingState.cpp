#include "BillingState.h"

#include "BillingProductList.h"
#include "Connection.h"
#include "DateText.h"
#include "ErrorNumbers.h"
#include "Messages.h"
#include "NumberText.h"
#include "PayCaptions.h"
#include "ProductLine.h"
#include "ProductLookup.h"
#include "ProgramContext.h"
#include "ReceiptNumber.h"
#include "Recordset.h"
#include "StockPosting.h"
#include "TextPad.h"

namespace kivo {

namespace {

const QString AmountPicture = QStringLiteral("######0.00"); // the totals
const QString TenderPicture = QStringLiteral("#####0.00"); // the tenders and RETURN AMT

} // namespace

BillingState::BillingState(ProgramContext& context, const QDateTime& opened, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_products(new BillingProductList(context.connection, context.errors, this))
{
    struct Design {
        const char* caption;
        const char* descriptor;
        int maxLength;
        const char* initial;
        bool editable;
        bool visible;
    };
    static const Design designs[LastField + 1] = {
        { "BILL ID", "", 6, "(New)", false, true },
        { "BILL DATE", "D", 10, "", false, true },
        { "USER ID", "", 6, "", false, true },
        { "RECEIPT#", "", 20, "", false, true },
        { "", "", 6, "", false, false },
        { "DISCOUNT%", "I", 6, "", true, true },
        { "ITEMS#", "I", 10, "0", false, true },
        { "GROSS AMT", "F", 10, "0.00", false, true },
        { "DISCOUNT", "F", 10, "0.00", false, true },
        { "TOTAL AMT", "F", 10, "0.00", false, true },
        { "TAX1 AMT", "F", 10, "0.00", false, true },
        { "TAX2 AMT", "F", 10, "0.00", false, true },
        { "NETT AMT", "F", 10, "0.00", false, true },
        { "CASH PAY", "F", 10, "0.00", true, true },
        { "CREDIT PAY", "F", 10, "0.00", true, true },
        { "OTHER PAY", "F", 10, "0.00", true, true },
        { "MISC PAY", "F", 10, "0.00", true, true },
        { "RETURN AMT", "F", 10, "0.00", false, true },
        { "OTXT", "", 10, "OTHER", false, false },
        { "MTXT", "", 10, "MISC", false, false },
        { "REMARKS", "", 20, "-", true, true },
    };
    for (int n = 0; n <= LastField; ++n) {
        const Design& d = designs[n];
        m_fields[size_t(n)] = { QString::fromLatin1(d.caption), QString::fromLatin1(d.descriptor),
            d.maxLength, QString::fromLatin1(d.initial), d.editable, d.visible };
    }
    m_phone = { QStringLiteral("CUST PHONE"), QString(), 10, QString(), true, true };
    m_productCode = { QStringLiteral("PROD CODE"), QString(), 15, QString(), true, true };

    m_grid.Setup();
    m_final = QStringLiteral("0.00");
    m_payCaptions = PayCaptions::Initial();
    m_fields[BillDate].text = ShortDate(context.Today());
    m_fields[UserId].text = context.login.UserId;
    m_loginName = context.login.LoginName.toUpper();
    m_fields[DiscountPercent].text = context.preferences.PDisPerc;
    m_discountLocked = context.preferences.PDisEdit == u"N";
    m_fields[DiscountPercent].editable = !m_discountLocked;
    m_receiptAtOpen = ReceiptNumber::AtOpen(opened);
    m_fields[Receipt].text = m_receiptAtOpen;
    m_otherName = QStringLiteral("OTHER");
    m_miscName = QStringLiteral("MISC");
    FillGroups();
}

BillingState::~BillingState() = default;

const BillingField& BillingState::Field(int n) const
{
    if (n == CustomerPhone)
        return m_phone;
    if (n == ProductCode)
        return m_productCode;
    return m_fields.at(size_t(n));
}

QString BillingState::Text(int n) const
{
    if (n == CustomerPhone || n == ProductCode || (n >= 0 && n <= LastField))
        return Field(n).text;
    return {};
}

void BillingState::SetText(int n, const QString& text)
{
    BillingField* field = n == CustomerPhone ? &m_phone
        : n == ProductCode                   ? &m_productCode
        : n >= 0 && n <= LastField           ? &m_fields[size_t(n)]
                                             : nullptr;
    if (field)
        field->text = text;
}

QString BillingState::ListText(int n) const
{
    switch (n) {
    case 2:
        return m_loginName;
    case 4:
        return m_customerName;
    case OtherType:
        return m_otherName;
    case MiscType:
        return m_miscName;
    default:
        return {};
    }
}

void BillingState::FillGroups()
{
    m_groupItems.clear();
    m_groupIndex = -1;
    TryStep(m_context.errors, [&] { m_groups.Load(m_context.connection); });
    for (const GroupSavings::Group& group : Groups())
        m_groupItems << PadText(group.GName.toUpper(), 28) + u' ' + PadText(QString::number(group.EId), 16);
    if (Groups().empty()) {
        m_groupItems = { QStringLiteral("-") };
        return;
    }
    // The last group is selected and "Next Group" wraps to the first.
    m_groupIndex = int(Groups().size()) - 1;
    NextGroup();
}

void BillingState::ShowGroup(int index)
{
    if (index < 0 || index >= int(Groups().size()))
        return;
    m_groupIndex = index;
    const qint64 id = Groups()[size_t(index)].EId;
    if (!TryStep(m_context.errors, [&] { m_products->ShowGroup(id); }))
        m_products->Clear();
    emit changed();
}

void BillingState::PriorGroup()
{
    const int count = int(Groups().size());
    if (count > 0)
        ShowGroup(m_groupIndex <= 0 ? count - 1 : m_groupIndex - 1);
}

void BillingState::NextGroup()
{
    const int count = int(Groups().size());
    if (count > 0)
        ShowGroup(m_groupIndex >= count - 1 ? 0 : m_groupIndex + 1);
}

BillingState::Focus BillingState::EnterProductCode()
{
    const QString code = Text(ProductCode).trimmed();
    if (code.isEmpty()) {
        SetText(ProductCode, QString());
        return Focus::ProductListing;
    }
    // The code is cleared first: a scan that follows at once starts in an empty field.
    SetText(ProductCode, QString());
    const bool added = AddProductByCode(code);
    emit changed();
    return added ? Focus::Stay : Focus::ProductCode;
}

void BillingState::ChooseListedProduct(int row)
{
    const QString code = BillingProductList::CodeOfItem(m_products->Item(row));
    if (code.isEmpty())
        return;
    AddProductByCode(code);
    emit changed();
}

bool BillingState::AddProductByCode(const QString& code)
{
    std::optional<ProductRecord> product;
    if (!TryStep(m_context.errors, [&] { product = ProductLookup(m_context.connection).ByCode(code); }))
        return false;
    if (!product) {
        m_context.messages.Notice(QStringLiteral("Invalid Product-Code !"));
        return false;
    }
    const Preferences& p = m_context.preferences;
    ProductLineResult line;
    TryStep(m_context.errors, [&] {
        line = AddProductLine(m_grid, *product, Money(1), product->PSaleRate, 1,
            ProductLineRules::FromPreferences(p.PStkChek, p.PGrpSave, p.PAmtRoun), m_groups);
    });
    if (!line.refusal.isEmpty())
        m_context.messages.Notice(line.refusal);
    RecalcTotals();
    return line.Added();
}

void BillingState::RemoveLine(int row)
{
    if (m_grid.IsEmpty() || row < 0 || row >= m_grid.LineCount())
        return;
    if (!m_context.messages.Ask(QStringLiteral("Remove Product ?")))
        return;
    m_grid.RemoveLine(row);
    RecalcTotals();
}

bool BillingState::LeaveDiscount()
{
    // A number too large for an amount counts as no number: it could not be computed with.
    if (!Money::FromText(Text(DiscountPercent))) {
        m_context.messages.Notice(QStringLiteral("Invalid Discount !"));
        return false;
    }
    RecalcTotals();
    return true;
}

BillTotals::Settings BillingState::TotalsSettings() const
{
    const Preferences& p = m_context.preferences;
    BillTotals::Settings settings;
    bool ok = false;
    const int decimals = p.PAmtRoun.trimmed().toInt(&ok);
    settings.amountDecimals = ok ? decimals : 2;
    settings.tax1Percent = Money::FromText(p.PTaxPer1).value_or(Money());
    settings.tax2Percent = Money::FromText(p.PTaxPer2).value_or(Money());
    return settings;
}

Money BillingState::Amount(int n) const
{
    return Money::FromText(Text(n)).value_or(Money());
}

void BillingState::SetAmount(int n, const Money& amount, const QString& picture)
{
    SetText(n, amount.Format(picture));
}

void BillingState::RecalcTotals()
{
    TryStep(m_context.errors, [&] {
        const BillTotals::Amounts amounts = m_grid.Totals().Recalc(Amount(DiscountPercent), TotalsSettings());
        SetText(Items, QString::number(m_grid.DocItems()));
        SetAmount(GrossAmount, m_grid.DocGross(), AmountPicture);
        SetAmount(DiscountAmount, amounts.discount, AmountPicture);
        SetAmount(TotalAmount, amounts.total, AmountPicture);
        SetAmount(Tax1Amount, amounts.tax1, AmountPicture);
        SetAmount(Tax2Amount, amounts.tax2, AmountPicture);
        SetAmount(NettAmount, amounts.nett, AmountPicture);
        m_final = Text(NettAmount);
    });
    RefreshPayment();
}

void BillingState::RefreshPayment()
{
    TryStep(m_context.errors, [&] {
        const Money nett = Amount(NettAmount);
        m_nextTen = PayCaptions::NextTen(nett);
        m_nextHundred = PayCaptions::NextHundred(nett);
        m_payCaptions = PayCaptions::ForNett(nett);
        Money paid;
        for (int n = CashPay; n <= MiscPay; ++n) {
            const std::optional<Money> tender = Money::FromText(Text(n));
            paid += tender.value_or(Money());
            SetAmount(n, tender.value_or(Money()), TenderPicture);
        }
        SetAmount(ReturnAmount, paid - nett, TenderPicture);
    });
    emit changed();
}

BillingState::Focus BillingState::PayButton(int i)
{
    if (i < 0 || i > 5)
        return Focus::Stay;
    TryStep(m_context.errors, [&] {
        const Money nett = Amount(NettAmount);
        const QString zero = QStringLiteral("0.00");
        for (int n = CashPay; n <= MiscPay; ++n)
            SetText(n, zero);
        switch (i) {
        case 0:
            SetAmount(CashPay, nett, TenderPicture);
            break;
        case 1:
            SetAmount(CashPay, m_nextTen, TenderPicture);
            break;
        case 2:
            SetAmount(CashPay, m_nextHundred, TenderPicture);
            break;
        default:
            // Credit, other or misc takes the nett exactly as NETT AMT shows it.
            SetText(CreditPay + (i - 3), Text(NettAmount));
            break;
        }
        Money paid;
        for (int n = CashPay; n <= MiscPay; ++n)
            paid += Amount(n);
        SetAmount(ReturnAmount, paid - nett, TenderPicture);
    });
    emit changed();
    return Focus::Remarks;
}

BillingState::Focus BillingState::PickPayType(int field, const QString& id, const QString& name)
{
    if (field != OtherType && field != MiscType)
        return Focus::Stay;
    SetText(field, id);
    (field == OtherType ? m_otherName : m_miscName) = name.left(28).trimmed();
    emit changed();
    return field == OtherType ? Focus::MiscPay : Focus::Remarks;
}

bool BillingState::LeavePhone()
{
    const QString phone = Text(CustomerPhone).trimmed();
    CustomerAnswer answer;
    if (!phone.isEmpty()) {
        if (m_customerLookup)
            answer = m_customerLookup(phone, ParseShortDate(Text(BillDate)));
        else if (!IsNumeric(phone))
            answer.kind = CustomerAnswer::Kind::InvalidPhone;
    }
    if (answer.kind == CustomerAnswer::Kind::Customer) {
        SetText(CustomerId, answer.id);
        m_customerName = answer.name;
    } else {
        SetText(CustomerId, QString());
        m_customerName.clear();
    }
    emit changed();
    return answer.kind != CustomerAnswer::Kind::InvalidPhone;
}

bool BillingState::MayOpenCustomerDetails()
{
    if (!PhoneForDetails().isEmpty())
        return true;
    m_context.messages.Notice(QStringLiteral("Enter Customer Phone !"));
    return false;
}

void BillingState::CustomerDetailsReturned(const QString& returnText)
{
    if (returnText != PhoneForDetails()) {
        m_customerName = returnText;
        emit changed();
    }
}

int BillingState::BillPrintReport() const
{
    return m_context.preferences.PDefBill == u"S" ? 56 : 57;
}

bool BillingState::Cancel()
{
    return m_checkedOut || m_context.messages.Ask(QStringLiteral("Confirm Cancel/Exit ?"));
}

BillingState::CheckoutResult BillingState::Checkout(const Validator& validate)
{
    if (m_checkedOut)
        return CheckoutResult::Stopped;
    if (m_grid.IsEmpty()) {
        m_context.messages.Notice(QStringLiteral("No Products !"));
        return CheckoutResult::NoProducts;
    }
    if (validate && !validate(*this))
        return CheckoutResult::Stopped;
    const QString question = Amount(ReturnAmount).IsNegative()
        ? QStringLiteral("Bill Not Paid; Confirm Checkout ?")
        : QStringLiteral("Confirm Checkout ?");
    if (!m_context.messages.Ask(question))
        return CheckoutResult::Stopped;
    // The bill stores the pay types' names, not the ids a pick left in the hidden fields.
    if (Text(OtherType) != m_otherName)
        SetText(OtherType, m_otherName);
    if (Text(MiscType) != m_miscName)
        SetText(MiscType, m_miscName);

    if (!TryStep(m_context.errors, [&] { WriteBill(); })) {
        // Nothing of the bill was kept: the screen holds it as before, ready to try again.
        SetText(BillId, QStringLiteral("(New)"));
        SetText(Receipt, m_receiptAtOpen);
        emit changed();
        return CheckoutResult::Failed;
    }
    m_checkedOut = true;
    emit changed();
    m_context.messages.Notice(QStringLiteral("Checkout Completed !\nBill#") + Text(BillId).trimmed());
    return CheckoutResult::Completed;
}

void BillingState::WriteBill()
{
    Connection& connection = m_context.connection;
    // The bill row, its columns, its lines and their stock are one transaction with one
    // durable commit: a crash at any instant leaves the whole bill or none of it. The two
    // bill-row steps and the line writing are savepoints inside it.
    Transaction bill(connection);
    qint64 id = 0;
    {
        Transaction step(connection);
        Recordset row(connection);
        row.Open(QStringLiteral("Select * From ktBillMast Where 1=2"));
        row.AddNew();
        row.SetValue(1, Text(BillDate));
        row.Update();
        id = connection.LastInsertId();
        step.Commit();
    }
    SetText(BillId, QString::number(id));
    SetText(Receipt, ReceiptNumber::AtCheckout(m_receiptAtOpen, id));
    {
        Transaction step(connection);
        Recordset row(connection);
        row.Open(QStringLiteral("Select * From ktBillMast Where EId=") + QString::number(id));
        for (int n = UserId; n <= LastField; ++n) {
            QString value = Text(n);
            value.replace(u',', u'.');
            row.SetValue(n, value);
        }
        row.Update();
        step.Commit();
    }
    const QStringList missing = StockPosting(connection, m_context.Today())
                                    .Write(QStringLiteral("ktBillDetl"), id, ParseShortDate(Text(BillDate)),
                                        m_grid.Lines(), StockMove::Sale);
    bill.Commit();
    // A line whose product was removed meanwhile is stored all the same; the log names it.
    for (const QString& code : missing)
        m_context.errors.ReportError(DbErrorNumber::NoCurrentRecord, QStringLiteral("KvBilling"),
            QStringLiteral("No product with code %1 to take the sale of bill %2").arg(code).arg(id));
}

} // namespace kivo
