#include "QuotePanel.h"

#include "DocumentTotals.h"
#include "Messages.h"
#include "NumberText.h"
#include "ProgramContext.h"
#include "QuoteBilling.h"
#include "RecordEngine.h"
#include "RecordScreen.h"

#include <optional>

namespace kivo {

namespace {

Field PanelField(const char* caption, const char* descriptor, int maxLength)
{
    Field field;
    field.caption = QString::fromLatin1(caption);
    field.descriptor = QString::fromLatin1(descriptor);
    field.maxLength = maxLength;
    field.readOnly = true; // the bill's columns, never the quote's
    field.visible = false; // the panel shows them, not the quote's own frame
    return field;
}

Field PayTypeField(const char* caption, const char* name)
{
    Field field = PanelField(caption, "", 10);
    field.typeable = false;
    field.button = QStringLiteral("+");
    field.pickSource = QStringLiteral("PName, EId From kmPaytype");
    field.hint = QString::fromLatin1(name);
    return field;
}

} // namespace

QuotePanel::QuotePanel(ProgramContext& context, RecordEngine& engine, RecordScreen& screen, QObject* parent)
    : DocumentPanel(context, engine, screen, StatusField, parent)
{
    m_screen.fields.resize(CashField);
    m_screen.fields.push_back(PanelField("Cash Amt", "F", 10));
    m_screen.fields.push_back(PanelField("Credit Amt", "F", 10));
    m_screen.fields.push_back(PanelField("Other Amt", "F", 10));
    m_screen.fields.push_back(PanelField("Misc Amt", "F", 10));
    m_screen.fields.push_back(PanelField("Return Amt", "F", 10));
    m_screen.field(ReturnField).typeable = false;
    m_screen.fields.push_back(PayTypeField("OType", "OTHER"));
    m_screen.fields.push_back(PayTypeField("MType", "MISC"));
    m_screen.fields.push_back(PanelField("Remarks", "", 20));
}

void QuotePanel::ToBill()
{
    if (!MayOpen(QStringLiteral("Save Quote First !"), QStringLiteral("Quote Already Processed !")))
        return;
    for (int field = CashField; field <= MiscField; ++field)
        m_screen.SetText(field, QStringLiteral("0"));
    m_screen.SetText(OtherTypeField, QStringLiteral("OTHER"));
    m_screen.field(OtherTypeField).hint = QStringLiteral("OTHER");
    m_screen.SetText(MiscTypeField, QStringLiteral("MISC"));
    m_screen.field(MiscTypeField).hint = QStringLiteral("MISC");
    m_open = true;
    RefreshReturn();
    emit focusRequested(CashField);
}

void QuotePanel::LeaveField(int field)
{
    if (field != DiscountField && (field < CashField || field > MiscField))
        return;
    if (!IsNumeric(m_screen.Text(field)))
        m_screen.SetText(field, QStringLiteral("0"));
    if (field == DiscountField)
        TryStep(m_context.errors, [&] { RecalcDocumentTotals(m_context, m_screen); });
    RefreshReturn();
}

void QuotePanel::RefreshReturn()
{
    QuotePayment payment;
    payment.cash = m_screen.Text(CashField);
    payment.credit = m_screen.Text(CreditField);
    payment.other = m_screen.Text(OtherField);
    payment.misc = m_screen.Text(MiscField);
    const QString returned = QuoteBilling::ReturnAmount(payment, m_screen.Text(NettField));
    m_screen.SetText(ReturnField, returned.isEmpty() ? QStringLiteral("0.00") : returned);
    m_screen.NotifyChanged();
    emit changed();
}

bool QuotePanel::Bill()
{
    if (!m_open)
        return false;
    // The panel is checked with the quote: its remarks must be filled in, its amounts numbers.
    if (!ValidateWithPanel(LastPanelField))
        return false;
    RefreshReturn();
    const bool unpaid = m_screen.Text(ReturnField).startsWith(u'-');
    if (!m_context.messages.Ask(unpaid ? QStringLiteral("Bill Not Paid; Confirm Billing ?")
                                       : QStringLiteral("Confirm Billing ?")))
        return false;
    if (!m_context.messages.Ask(QStringLiteral("Sure To Bill ?")))
        return false;

    // A picked pay type leaves its id in the field and its name beside it: the bill keeps the name.
    for (int field : { OtherTypeField, MiscTypeField })
        if (m_screen.Text(field) != m_screen.field(field).hint)
            m_screen.SetText(field, m_screen.field(field).hint);
    QuotePayment payment;
    payment.cash = m_screen.Text(CashField);
    payment.credit = m_screen.Text(CreditField);
    payment.other = m_screen.Text(OtherField);
    payment.misc = m_screen.Text(MiscField);
    payment.returnAmount = m_screen.Text(ReturnField);
    payment.otherType = m_screen.Text(OtherTypeField);
    payment.miscType = m_screen.Text(MiscTypeField);
    payment.remarks = m_screen.Text(BillRemarksField);

    // The quote saved as billed, the bill, its lines and stock: all of it, or none of it.
    std::optional<QuoteBilling::Result> billed;
    if (!SaveWithStatus(QStringLiteral("B"),
            [&] { billed = QuoteBilling(m_context).WriteBill(m_screen.Text(0).toLongLong(), payment); }))
        return false;
    ReportUnmovedStock(billed->missing);
    // The screen shows the quote as now stored: billed, its remarks naming the bill, the panel
    // closed. Its lines are those just saved.
    m_screen.ShowText(StatusField, QStringLiteral("B"));
    m_screen.ShowText(RemarksField, billed->quoteRemarks);
    Close();
    m_screen.NotifyChanged();
    m_context.messages.Notice(QStringLiteral("Quote Billed !\n") + billed->quoteRemarks);
    return true;
}

} // namespace kivo
