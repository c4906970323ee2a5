#include "CustomerByPhone.h"

#include "JetDialect.h"
#include "Messages.h"
#include "NumberText.h"
#include "ProgramContext.h"
#include "Recordset.h"
#include "Schema.h"

namespace kivo {

namespace {

// The width of CPhone: a longer number could not be stored as the customer's phone.
int PhoneWidth()
{
    const TableDef* customers = Schema::Find(QStringLiteral("ktCustomer"));
    const int column = customers ? customers->ColumnIndex(QStringLiteral("CPhone")) : -1;
    return column < 0 ? 10 : customers->columns[size_t(column)].width;
}

} // namespace

CustomerByPhone::CustomerByPhone(ProgramContext& context)
    : m_context(context)
{
}

bool CustomerByPhone::IsPhone(const QString& phone)
{
    const QString trimmed = phone.trimmed();
    return IsNumeric(trimmed) && trimmed.size() <= PhoneWidth();
}

QString CustomerByPhone::NewCustomerCode(const QString& phone, const QDate& today)
{
    return u'C' + today.toString(QStringLiteral("MMdd")) + phone.trimmed().right(4);
}

std::optional<PhoneCustomer> CustomerByPhone::Find(const QString& phone)
{
    // The quoted phone becomes a bound parameter of one cached statement, answered by the
    // CPhone index; ordering by EId on that index costs no sort.
    Recordset row(m_context.connection);
    row.Open(QStringLiteral("Select Top 1 EId, CName, CPhone, CCode, CActive From ktCustomer Where CPhone='")
        + SqlQuote(phone.trimmed()) + QStringLiteral("' Order By EId"));
    if (row.Eof())
        return std::nullopt;
    PhoneCustomer customer;
    customer.id = row.Value(0).toLongLong();
    customer.name = row.Text(1);
    customer.phone = row.Text(2);
    customer.code = row.Text(3);
    customer.active = row.Text(4).compare(u"N", Qt::CaseInsensitive) != 0;
    return customer;
}

PhoneCustomer CustomerByPhone::Create(const QString& phone, const QDate& entryDate)
{
    const QString dash = QStringLiteral("-");
    PhoneCustomer customer;
    customer.name = dash;
    customer.phone = phone.trimmed();
    customer.code = NewCustomerCode(customer.phone, m_context.Today());
    customer.active = true;

    Transaction transaction(m_context.connection);
    m_context.connection.Execute(
        QStringLiteral("Insert Into ktCustomer (EDate, CName, CAddress, CCity, CState, CCountry, CZipCode, "
                       "CPhone, CEmail, CCode, CActive, CRemarks) Values (?,?,?,?,?,?,?,?,?,?,?,?)"),
        { entryDate, dash, dash, dash, dash, dash, dash, customer.phone, dash, customer.code,
            QStringLiteral("Y"), dash });
    customer.id = m_context.connection.LastInsertId();
    transaction.Commit();
    return customer;
}

CustomerByPhone::Result CustomerByPhone::LookUp(const QString& phone, const QDate& entryDate)
{
    Result result;
    if (phone.trimmed().isEmpty())
        return result;
    if (!IsPhone(phone)) {
        m_context.messages.Notice(QStringLiteral("Invalid Phone !"));
        result.outcome = Outcome::InvalidPhone;
        return result;
    }
    result.outcome = Outcome::Failed;
    std::optional<PhoneCustomer> found;
    if (!TryStep(m_context.errors, [&] { found = Find(phone); }))
        return result;
    if (found) {
        result.outcome = Outcome::Found;
        result.customer = *found;
    } else {
        if (!TryStep(m_context.errors, [&] { result.customer = Create(phone, entryDate); }))
            return result;
        result.outcome = Outcome::Created;
        m_context.messages.Notice(QStringLiteral("New Customer Added !"));
    }
    if (!result.customer.active)
        m_context.messages.Notice(QStringLiteral("<Inactive Customer>"));
    return result;
}

} // namespace kivo
