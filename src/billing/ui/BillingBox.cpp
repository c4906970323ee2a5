#include "BillingBox.h"

#include "KvBilling.h"

namespace kivo {

BillingBox::BillingBox(bool selectOnEntry, QWidget* parent)
    : QLineEdit(parent)
    , m_selectOnEntry(selectOnEntry)
{
    Paint(false);
}

void BillingBox::SetTypeable(bool typeable)
{
    // A palette change restyles the box: only when the access really changes.
    if (isReadOnly() == !typeable && focusPolicy() == (typeable ? Qt::StrongFocus : Qt::NoFocus))
        return;
    setReadOnly(!typeable);
    setFocusPolicy(typeable ? Qt::StrongFocus : Qt::NoFocus);
    Paint(hasFocus());
}

void BillingBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    Paint(true);
    if (m_selectOnEntry)
        setSelection(0, qMin(10, int(text().size())));
}

void BillingBox::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    Paint(false);
}

void BillingBox::Paint(bool focused)
{
    const QColor colour = focused ? KvBilling::FocusColour()
        : isReadOnly()            ? QColor(240, 241, 243)
                                  : QColor(Qt::white);
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::Base, colour);
    p.setColor(QPalette::Inactive, QPalette::Base, colour);
    setPalette(p);
}

} // namespace kivo
