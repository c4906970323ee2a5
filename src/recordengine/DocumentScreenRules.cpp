// The document screens' own rules: what each refuses and which print its Report command opens.
#include "CommandNumbers.h"
#include "Money.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "Recordset.h"
#include "ScreenCatalogue.h"
#include "ScreenHost.h"
#include "ScreenRules.h"

namespace kivo {

namespace {

constexpr int BillPrintSmall = 56;
constexpr int BillPrintLarge = 57;

QString FieldText(const RecordScreen& screen, int index)
{
    return index < screen.FieldCount() ? screen.Text(index) : QString();
}

const char* const UserName = "Select ULogin From kaUser Where EId=";
const char* const CustomerName = "Select CPhone+';'+CName From ktCustomer Where EId=";
const char* const SupplierName = "Select SCompany From ktSupplier Where EId=";

// Beside the user (field 2) and the customer or supplier (field 4) of a shown document: who
// they are.
void ShowParties(ProgramContext& context, RecordScreen& screen, const char* partySql)
{
    if (screen.FieldCount() <= 4)
        return;
    RecordEngine::ShowLookup(context, screen, 2, QString::fromLatin1(UserName));
    RecordEngine::ShowLookup(context, screen, 4, QString::fromLatin1(partySql));
}

// The dashboard's frames for the newest bill and the newest purchase.
constexpr int BillFrame = 4;
constexpr int PurchaseFrame = 5;

class BillRules : public ScreenRules {
public:
    void AfterShow(ProgramContext& context, ScreenHost&, RecordScreen& screen) override
    {
        ShowParties(context, screen, CustomerName);
    }
    void OnClose(ProgramContext&, ScreenHost& host, RecordScreen&) override
    {
        host.RefreshDashboard(BillFrame);
    }
    // Bills are created only at the counter; the bill screen views and deletes them.
    QString Refusal(const RecordScreen&, int operation) const override
    {
        return operation == CommandNumber::Add ? QStringLiteral("Add Disabled !") : QString();
    }
    // The bill prints in the size the shop prefers.
    int ReportCode(const ProgramContext& context, int) const override
    {
        return context.preferences.PDefBill == u"S" ? BillPrintSmall : BillPrintLarge;
    }
};

// A quote that was billed or an order that was purchased is history: its status field
// holds anything but "N". A new one starts open ("N"); a new quote also starts at the shop's
// discount percent, which only the shop's Discount Edit preference lets the user change.
class ProcessedDocumentRules : public ScreenRules {
public:
    ProcessedDocumentRules(
        int statusField, const char* refusal, const char* partySql, int frame, int discountField = -1)
        : m_statusField(statusField)
        , m_discountField(discountField)
        , m_refusal(QString::fromLatin1(refusal))
        , m_partySql(partySql)
        , m_frame(frame)
    {
    }
    // A quote billed or an order purchased while the screen was open made a new bill or purchase.
    void OnClose(ProgramContext&, ScreenHost& host, RecordScreen&) override
    {
        host.RefreshDashboard(m_frame);
    }
    void AfterShow(ProgramContext& context, ScreenHost&, RecordScreen& screen) override
    {
        ShowParties(context, screen, m_partySql);
        // A stored quote modified later keeps the shop's lock on its discount too.
        if (m_discountField >= 0 && m_discountField < screen.FieldCount())
            screen.field(m_discountField).typeable = context.preferences.PDisEdit != u"N";
    }
    void AfterClear(ProgramContext& context, ScreenHost&, RecordScreen& screen) override
    {
        if (m_discountField >= 0 && m_discountField < screen.FieldCount()) {
            screen.SetText(m_discountField, context.preferences.PDisPerc);
            screen.field(m_discountField).typeable = context.preferences.PDisEdit != u"N";
        }
        if (m_statusField < screen.FieldCount())
            screen.SetText(m_statusField, QStringLiteral("N"));
    }
    QString Refusal(const RecordScreen& screen, int operation) const override
    {
        if (operation == CommandNumber::Modify && FieldText(screen, m_statusField) != u"N")
            return m_refusal;
        return {};
    }

private:
    int m_statusField;
    int m_discountField;
    QString m_refusal;
    const char* m_partySql;
    int m_frame;
};

// A purchase's nett paid is always its gross and the tax paid, whatever the field showed.
class PurchaseRules : public ScreenRules {
public:
    void AfterShow(ProgramContext& context, ScreenHost&, RecordScreen& screen) override
    {
        ShowParties(context, screen, SupplierName);
    }
    void OnClose(ProgramContext&, ScreenHost& host, RecordScreen&) override
    {
        host.RefreshDashboard(PurchaseFrame);
    }
    void AfterSave(ProgramContext&, ScreenHost&, RecordScreen&, Recordset& row) override
    {
        // In the decimal type: 100.10 and 12.20 make 112.30, not a binary neighbour of it.
        const auto amount = [&](const char* column) {
            return Money::FromDouble(row.Value(QString::fromLatin1(column)).toDouble()).value_or(Money());
        };
        row.SetValue(QStringLiteral("PNett"), (amount("PGross") + amount("PTax")).ToDouble());
        row.Update();
    }
};

} // namespace

namespace ScreenRulesFor {

std::unique_ptr<ScreenRules> Bill()
{
    return std::make_unique<BillRules>();
}
std::unique_ptr<ScreenRules> Quote()
{
    return std::make_unique<ProcessedDocumentRules>(
        13, "Cannot Modify Processed Quote !", CustomerName, BillFrame, 5);
}
std::unique_ptr<ScreenRules> Order()
{
    return std::make_unique<ProcessedDocumentRules>(
        7, "Cannot Modify Processed Order !", SupplierName, PurchaseFrame);
}
std::unique_ptr<ScreenRules> Purchase()
{
    return std::make_unique<PurchaseRules>();
}

} // namespace ScreenRulesFor

} // namespace kivo
