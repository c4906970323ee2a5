#pragma once

#include <memory>
#include <QObject>
#include <QString>
#include <vector>

namespace kivo {

class ProgramContext;
class RecordEngine;
class RecordScreen;

// The customer screen KvCustomerB without its window: the thirteen fields of ktCustomer,
// organised around the phone number, with its own Search, Active, Save and Cancel instead
// of the record commands. Stand-alone (the CUSTOMER INFO button) the user types a phone and
// searches; from the counter it opens on the phone the cashier typed. Save checks the fields
// as every record save does and writes the shown customer; the saved name is the screen's
// answer. Messages go through the context; failures are reported and the screen goes on.
class CustomerBState : public QObject {
    Q_OBJECT
public:
    enum FieldNumber {
        IdField = 0,
        DateField = 1,
        NameField = 2,
        PhoneField = 8,
        CodeField = 10,
        ActiveField = 11
    };

    // The engine checks the fields on Save; the screen must not outlive either.
    CustomerBState(ProgramContext& context, RecordEngine& engine, QObject* parent = nullptr);
    ~CustomerBState() override;

    RecordScreen& screen() { return *m_screen; }
    const RecordScreen& screen() const { return *m_screen; }
    bool StandAlone() const { return m_standAlone; }
    bool SaveEnabled() const { return m_saveEnabled; }
    // Whether a customer's row is shown (and so Save has a row to write).
    bool CustomerShown() const { return m_id > 0; }

    // Stand-alone: every field empty, the phone typeable with Search beside it, Save disabled.
    void OpenStandAlone();
    // From the counter: the customer of that phone shown, Search hidden, Active disabled.
    // A phone no customer has shows empty fields with Save disabled.
    void OpenOnPhone(const QString& phone);

    // Search: "Invalid Phone !" for a phone that is not a number; an unknown phone asks
    // "Customer Not Found; Create New ?" and, on Yes, adds the customer ("New Customer
    // Added !"). A shown customer locks the phone and Search, enables Active and Save, and
    // moves the cursor to the name.
    void Search();
    // The Active "<": steps the field between "Y" and "N" while a customer is shown.
    void StepActive();
    // Checks the fields ("Invalid-Empty Fields:") and writes fields 2 to 12 into the shown
    // row as one transaction. True when written: the screen then closes with SavedName().
    bool Save();
    QString SavedName() const { return m_savedName; }

signals:
    // The window puts the cursor into that field.
    void focusRequested(int field);

private:
    void ShowCustomer(qint64 id);
    void ClearFields();
    void Changed();

    ProgramContext& m_context;
    RecordEngine& m_engine;
    std::unique_ptr<RecordScreen> m_screen;
    bool m_standAlone = false;
    bool m_saveEnabled = false;
    qint64 m_id = 0;
    QString m_savedName;
    std::vector<bool> m_typeable; // which fields the user types into while a customer is shown
};

} // namespace kivo
