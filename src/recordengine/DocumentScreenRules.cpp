// The document screens' own rules: what each refuses and which print its Report command opens.
#include "CommandNumbers.h"
#include "ProgramContext.h"
#include "RecordScreen.h"
#include "ScreenCatalogue.h"
#include "ScreenRules.h"

namespace kivo {

namespace {

constexpr int BillPrintSmall = 56;
constexpr int BillPrintLarge = 57;

QString FieldText(const RecordScreen& screen, int index)
{
    return index < screen.FieldCount() ? screen.Text(index) : QString();
}

class BillRules : public ScreenRules {
public:
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
    ProcessedDocumentRules(int statusField, const char* refusal, int discountField = -1)
        : m_statusField(statusField)
        , m_discountField(discountField)
        , m_refusal(QString::fromLatin1(refusal))
    {
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
};

} // namespace

namespace ScreenRulesFor {

std::unique_ptr<ScreenRules> Bill()
{
    return std::make_unique<BillRules>();
}
std::unique_ptr<ScreenRules> Quote()
{
    return std::make_unique<ProcessedDocumentRules>(13, "Cannot Modify Processed Quote !", 5);
}
std::unique_ptr<ScreenRules> Order()
{
    return std::make_unique<ProcessedDocumentRules>(7, "Cannot Modify Processed Order !");
}

} // namespace ScreenRulesFor

} // namespace kivo
