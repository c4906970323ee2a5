#include "LoginState.h"

#include "JetDialect.h"
#include "Messages.h"
#include "Session.h"

namespace kivo {

LoginState::LoginState(Session& session)
    : m_session(session)
{
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
    m_session.messages.Notice(QStringLiteral("Invalid Login/Password !"));
    txtField[LoginField].clear();
    txtField[PasswordField].clear();
    focus = LoginField;
}

void LoginState::Ok()
{
    const QString login = txtField[LoginField];
    const QString password = txtField[PasswordField];
    if (login.isEmpty() || password.isEmpty()) {
        m_session.messages.Notice(QStringLiteral("Blank Login/Password !"));
        return;
    }
    Recordset& users = m_session.rsUser;
    bool found = false;
    // The name is searched as typed, spaces included. A name holding a quote cannot be a
    // stored login that the search could match, so it is simply not found.
    if (!login.contains(u'\'')) {
        TryStep(m_session.errors, [&] {
            users.MoveFirst();
            found = users.Find(QStringLiteral("ULogin= '") + SqlQuote(login) + u'\'');
        });
    }
    if (!found) {
        Refuse();
        return;
    }
    QString stored;
    TryStep(m_session.errors, [&] { stored = users.Text(QStringLiteral("UPasscd")); });
    if (stored.toUpper() != password.toUpper()) {
        Refuse();
        return;
    }
    FillLoginValues();
    TryStep(m_session.errors, [&] { LoadCustomize(m_session); });
    TryStep(m_session.errors, [&] { LoadPreferences(m_session); });
    result = Result::LoggedIn;
}

void LoginState::FillLoginValues()
{
    LoginValues& v = m_session.login;
    v.LoginName = txtField[LoginField];
    TryStep(m_session.errors, [&] {
        v.UserId = m_session.rsUser.Text(QStringLiteral("EId"));
        v.UserMode = m_session.rsUser.Text(QStringLiteral("UMode"));
    });
    TryStep(m_session.errors, [&] { FillEnterpriseValues(v, m_session.rsEnterprise); });
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
