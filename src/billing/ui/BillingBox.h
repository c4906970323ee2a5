#pragma once

#include <QLineEdit>

namespace kivo {

// A text field of the counter: light red while it has the cursor, white otherwise, grey when
// only the program writes it. Entering a field with a descriptor selects its first ten
// characters, so an amount is typed over.
class BillingBox : public QLineEdit {
public:
    BillingBox(bool selectOnEntry, QWidget* parent);

    // A field the program writes takes no cursor.
    void SetTypeable(bool typeable);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Paint(bool focused);

    bool m_selectOnEntry;
};

} // namespace kivo
