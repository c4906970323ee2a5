#include "OrderPanel.h"

#include "Messages.h"
#include "NumberText.h"
#include "OrderPurchase.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"

#include <optional>

namespace kivo {

namespace {

Field PanelField(const char* caption, const char* descriptor, int maxLength, bool typeable)
{
    Field field;
    field.caption = QString::fromLatin1(caption);
    field.descriptor = QString::fromLatin1(descriptor);
    field.maxLength = maxLength;
    field.readOnly = true; // the purchase's columns, never the order's
    field.visible = false; // the panel shows them, not the order's own frame
    field.typeable = typeable;
    return field;
}

} // namespace

OrderPanel::OrderPanel(ProgramContext& context, RecordEngine& engine, RecordScreen& screen, QObject* parent)
    : DocumentPanel(context, engine, screen, StatusField, parent)
{
    m_screen.fields.resize(PanelGrossField);
    m_screen.fields.push_back(PanelField("Gross Amt", "F", 12, false));
    m_screen.fields.push_back(PanelField("Tax Paid", "F", 12, true));
    m_screen.fields.push_back(PanelField("Nett Paid", "F", 12, false));
    kivo::Field payType = PanelField("Paid Type", "", 6, true);
    payType.button = QStringLiteral("<");
    payType.hint = QStringLiteral("Cash/Credit/Online/Other");
    m_screen.fields.push_back(payType);
    m_screen.fields.push_back(PanelField("Remarks", "", 20, true));
}

void OrderPanel::ToPurchase()
{
    if (!MayOpen(QStringLiteral("Save Order First !"), QStringLiteral("Order Already Processed !")))
        return;
    m_screen.SetText(TaxField, QStringLiteral("0"));
    m_screen.SetText(PayTypeField, QString());
    m_screen.SetText(PurchaseRemarksField, QString());
    m_screen.SetText(PanelGrossField, m_screen.Text(GrossField));
    m_screen.SetText(NettField, m_screen.Text(GrossField));
    m_open = true;
    m_screen.NotifyChanged();
    emit changed();
    emit focusRequested(TaxField);
}

void OrderPanel::LeaveField(int field)
{
    if (field != TaxField)
        return;
    if (!IsNumeric(m_screen.Text(TaxField)))
        m_screen.SetText(TaxField, QStringLiteral("0"));
    RefreshNett();
}

void OrderPanel::RefreshNett()
{
    const QString nett = OrderPurchase::NettPaid(m_screen.Text(PanelGrossField), m_screen.Text(TaxField));
    if (!nett.isEmpty())
        m_screen.SetText(NettField, nett);
    m_screen.NotifyChanged();
    emit changed();
}

bool OrderPanel::Purchase()
{
    if (!m_open)
        return false;
    // Paid Type and the panel's remarks start empty: checked with the order, they must be filled.
    if (!ValidateWithPanel(LastPanelField))
        return false;
    RefreshNett();
    if (!m_context.messages.Ask(QStringLiteral("Confirm Purchase ?")))
        return false;
    if (!m_context.messages.Ask(QStringLiteral("Sure For Purchase ?")))
        return false;

    OrderPayment payment;
    payment.gross = m_screen.Text(PanelGrossField);
    payment.tax = m_screen.Text(TaxField);
    payment.nett = m_screen.Text(NettField);
    payment.payType = m_screen.Text(PayTypeField);
    payment.remarks = m_screen.Text(PurchaseRemarksField);

    // The order saved as purchased, the purchase, its lines and stock: all of it, or none of it.
    std::optional<OrderPurchase::Result> purchased;
    if (!SaveWithStatus(QStringLiteral("P"), [&] {
            purchased = OrderPurchase(m_context).WritePurchase(m_screen.Text(0).toLongLong(), payment);
        }))
        return false;
    ReportUnmovedStock(purchased->missing);
    // The screen shows the order as now stored: purchased, its remarks naming the purchase,
    // the panel closed. Its lines are those just saved.
    m_screen.ShowText(StatusField, QStringLiteral("P"));
    m_screen.ShowText(RemarksField, purchased->orderRemarks);
    Close();
    m_screen.NotifyChanged();
    m_context.messages.Notice(QStringLiteral("Order Purchased !\n") + purchased->orderRemarks);
    return true;
}

} // namespace kivo
