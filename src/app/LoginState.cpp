#include "LoginState.h"

#include "JetDialect.h"
#include "Messages.h"
#include "PasswordHash.h"
#include "ProgramContext.h"

namespace kivo {

LoginState::LoginState(ProgramContext& context)
    : m_context(context)
    , m_users(context.connection)
    , m_enterprise(context.connection)
{
}

bool LoginState::OpenTables()
{
    // Without a database the start-up has said so already: the login simply finds nobody.
    if (!m_context.connection.IsOpen())
        return false;
    if (!m_users.IsOpen())
        TryStep(m_context.errors, [&] { m_users.Open(QStringLiteral("kaUser")); });
    if (!m_enterprise.IsOpen())
        TryStep(m_context.errors, [&] { m_enterprise.Open(QStringLiteral("kaEnterprise")); });
    return m_users.IsOpen();
}

void LoginState::PressEnter(Field field)
{
    if (field == LoginField)
        focus = PasswordField;
    else
        Ok();
}

void LoginState::Refuse()
{
    m_context.messages.Notice(QStringLiteral("Invalid Login/Password !"));
    txtField[LoginField].clear();
    txtField[PasswordField].clear();
    focus = LoginField;
}

void LoginState::Ok()
{
    const QString login = txtField[LoginField];
    const QString password = txtField[PasswordField];
    if (login.isEmpty() || password.isEmpty()) {
        m_context.messages.Notice(QStringLiteral("Blank Login/Password !"));
        return;
    }
    Recordset& users = m_users;
    bool found = false;
    // The name is searched as typed, spaces included. A name holding a quote cannot be a
    // stored login that the search could match, so it is simply not found.
    if (!login.contains(u'\'') && OpenTables()) {
        TryStep(m_context.errors, [&] {
            users.MoveFirst();
            found = users.Find(QStringLiteral("ULogin= '") + SqlQuote(login) + u'\'');
        });
    }
    if (!found) {
        Refuse();
        return;
    }
    QString stored;
    TryStep(m_context.errors, [&] { stored = users.Text(QStringLiteral("UPasscd")); });
    // The password is kept as its hash, made without regard to letter case.
    if (!PasswordHash::Matches(password, stored, PasswordHash::LetterCase::Ignore)) {
        Refuse();
        return;
    }
    FillLoginValues();
    TryStep(m_context.errors, [&] { LoadCustomize(m_context); });
    TryStep(m_context.errors, [&] { LoadPreferences(m_context); });
    result = Result::LoggedIn;
}

void LoginState::FillLoginValues()
{
    LoginValues& v = m_context.login;
    v.LoginName = txtField[LoginField];
    TryStep(m_context.errors, [&] {
        v.UserId = m_users.Text(QStringLiteral("EId"));
        v.UserMode = m_users.Text(QStringLiteral("UMode"));
    });
    TryStep(m_context.errors, [&] { FillEnterpriseValues(v, m_enterprise); });
}

void FillEnterpriseValues(LoginValues& v, const Recordset& e)
{
    v.EnterpriseShort = e.Text(QStringLiteral("EShort"));
    v.EnterpriseAccessCode = e.Text(QStringLiteral("EPasscd"));
    v.EnterpriseEmail = e.Text(QStringLiteral("EEmail"));
    v.EnterpriseName = e.Text(2);
    // The address columns are read by position, 5 to 10.
    v.EnterpriseAddress = e.Text(5) + u' ' + e.Text(6) + QStringLiteral(" :: ") + e.Text(7) + u' ' + e.Text(8)
        + u' ' + e.Text(9) + QStringLiteral(" # ") + e.Text(10);
}

QString ProperCase(const QString& text)
{
    QString result = text.toLower();
    bool wordStart = true;
    for (QChar& c : result) {
        if (c.isLetter()) {
            if (wordStart)
                c = c.toUpper();
            wordStart = false;
        } else {
            wordStart = c.isSpace();
        }
    }
    return result;
}

} // namespace kivo
