#include "CustomerBState.h"

#include "CustomerByPhone.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "RecordScreen.h"
#include "Recordset.h"
#include "ScreenCatalogue.h"

namespace kivo {

CustomerBState::CustomerBState(ProgramContext& context, RecordEngine& engine, QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_engine(engine)
    , m_screen(BuildRecordScreen(QStringLiteral("KvCustomer")))
{
    // The customer register's fields, except that the phone is found by rather than typed
    // in: a plain number, typeable only for the stand-alone search.
    RecordScreen& screen = *m_screen;
    screen.name = QStringLiteral("KvCustomerB");
    screen.caption = QStringLiteral("Customer Info");
    Field& phone = screen.field(PhoneField);
    phone.descriptor = QStringLiteral("F");
    phone.column.clear();
    phone.typeable = false;
    phone.button = QStringLiteral("Search      >");
    phone.buttonVisible = false;
    screen.field(ActiveField).buttonEnabled = false;
    screen.frameEnabled = true;
    for (const Field& field : screen.fields)
        m_typeable.push_back(field.typeable);
}

CustomerBState::~CustomerBState() = default;

void CustomerBState::OpenStandAlone()
{
    m_standAlone = true;
    ClearFields();
    Field& phone = m_screen->field(PhoneField);
    phone.typeable = true;
    phone.buttonVisible = true;
    phone.buttonEnabled = true;
    m_saveEnabled = false;
    Changed();
    emit focusRequested(PhoneField);
}

void CustomerBState::OpenOnPhone(const QString& phone)
{
    m_standAlone = false;
    ClearFields();
    std::optional<PhoneCustomer> customer;
    TryStep(m_context.errors, [&] { customer = CustomerByPhone(m_context).Find(phone); });
    if (customer)
        ShowCustomer(customer->id);
    else
        m_screen->SetText(PhoneField, phone.trimmed());
    m_saveEnabled = CustomerShown();
    Changed();
    emit focusRequested(NameField);
}

void CustomerBState::Search()
{
    Field& phoneField = m_screen->field(PhoneField);
    if (!m_standAlone || !phoneField.buttonEnabled)
        return;
    const QString phone = phoneField.text;
    if (!CustomerByPhone::IsPhone(phone)) {
        m_context.messages.Notice(QStringLiteral("Invalid Phone !"));
        emit focusRequested(PhoneField);
        return;
    }
    CustomerByPhone lookUp(m_context);
    std::optional<PhoneCustomer> customer;
    if (!TryStep(m_context.errors, [&] { customer = lookUp.Find(phone); }))
        return;
    if (!customer) {
        if (!m_context.messages.Ask(QStringLiteral("Customer Not Found; Create New ?")))
            return;
        if (!TryStep(m_context.errors, [&] { customer = lookUp.Create(phone, m_context.Today()); }))
            return;
        m_context.messages.Notice(QStringLiteral("New Customer Added !"));
    }
    ShowCustomer(customer->id);
    if (!CustomerShown())
        return;
    phoneField.typeable = false;
    phoneField.buttonEnabled = false;
    m_screen->field(ActiveField).buttonEnabled = true;
    m_saveEnabled = true;
    Changed();
    emit focusRequested(NameField);
}

void CustomerBState::StepActive()
{
    if (!CustomerShown() || !m_screen->field(ActiveField).buttonEnabled)
        return;
    RecordEngine::CycleChoice(*m_screen, ActiveField);
}

bool CustomerBState::Save()
{
    if (!m_saveEnabled || !CustomerShown())
        return false;
    RecordScreen& screen = *m_screen;
    screen.table = QStringLiteral("ktCustomer");
    screen.detailTable.clear();
    if (!m_engine.ValidateRecord(screen))
        return false;
    const bool written = TryStep(m_context.errors, [&] {
        Transaction transaction(m_context.connection);
        Recordset row(m_context.connection);
        row.Open(QStringLiteral("Select * From ktCustomer Where EId=") + QString::number(m_id));
        if (row.Eof())
            throw DbError(DbErrorNumber::NoCurrentRecord, QStringLiteral("KvCustomerB"),
                QStringLiteral("The customer is no longer stored"));
        for (int i = NameField; i <= screen.lastField; ++i)
            row.SetValue(i, screen.Text(i));
        row.Update();
        transaction.Commit();
    });
    if (!written)
        return false;
    m_savedName = screen.Text(NameField);
    return true;
}

void CustomerBState::ShowCustomer(qint64 id)
{
    m_id = 0;
    TryStep(m_context.errors, [&] {
        Recordset row(m_context.connection);
        row.Open(QStringLiteral("Select * From ktCustomer Where EId=") + QString::number(id));
        if (row.Eof())
            return;
        // Every column as text; the entry date in the short date form.
        for (int i = 0; i <= m_screen->lastField && i < row.FieldCount(); ++i)
            m_screen->ShowText(i, row.Text(i));
        m_id = id;
    });
    // Details are typed only over a customer shown; the phone stays as it was found.
    for (int i = 0; i < m_screen->FieldCount(); ++i)
        if (i != PhoneField)
            m_screen->field(i).typeable = CustomerShown() && m_typeable[size_t(i)];
}

void CustomerBState::ClearFields()
{
    m_id = 0;
    for (int i = 0; i < m_screen->FieldCount(); ++i) {
        m_screen->SetText(i, QString());
        m_screen->field(i).typeable = false;
    }
    m_screen->ForgetShownTexts();
    Field& phone = m_screen->field(PhoneField);
    phone.typeable = false;
    phone.buttonVisible = false;
    phone.buttonEnabled = false;
    m_screen->field(ActiveField).buttonEnabled = false;
}

void CustomerBState::Changed()
{
    m_screen->NotifyChanged();
}

} // namespace kivo
