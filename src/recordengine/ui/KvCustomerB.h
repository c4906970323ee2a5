#pragma once

#include "CustomerBState.h"

#include <optional>
#include <QDialog>

class QPushButton;

namespace kivo {

class ProgramContext;
class RecordEngine;
class RecordScreenView;

// The customer screen around a phone number, modal: the customer register's thirteen fields
// (shown by the register's own view, with its focus colours and accessible names), Search
// beside the phone, "Save" and "Cancel". Enter in the phone searches; Escape anywhere and
// the window's close button cancel without writing.
class KvCustomerB : public QDialog {
    Q_OBJECT
public:
    KvCustomerB(ProgramContext& context, RecordEngine& engine, QWidget* parent = nullptr);
    ~KvCustomerB() override;

    // The CUSTOMER INFO button: look a customer up by phone and correct the details.
    // The saved customer's name, or nothing when cancelled.
    static std::optional<QString> RunStandAlone(
        ProgramContext& context, RecordEngine& engine, QWidget* parent);
    // The counter: the customer of `phone` to complete. The saved name, or nothing.
    static std::optional<QString> RunOnPhone(
        ProgramContext& context, RecordEngine& engine, const QString& phone, QWidget* parent);

    CustomerBState& state() { return m_state; }
    RecordScreenView* view() const { return m_view; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    void FocusField(int field);
    void SaveAndClose();

    CustomerBState m_state;
    RecordScreenView* m_view;
    QPushButton* m_save;
    QPushButton* m_cancel;
};

} // namespace kivo
