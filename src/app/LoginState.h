#pragma once

#include "Recordset.h"

#include <QString>

namespace kivo {

class ProgramContext;
struct LoginValues;

// The login screen's state and its check, without any widget: the window shows the two
// field texts and the focus, and forwards Enter, OK and Escape here.
class LoginState {
public:
    enum Field { LoginField = 0, PasswordField = 1 };
    enum class Result { Open, LoggedIn, Cancelled };

    explicit LoginState(ProgramContext& context);

    // Enter in the login field moves on to the password; Enter in the password field checks.
    void PressEnter(Field field);
    // The OK check: blank fields, the user look-up, the password compared without regard to
    // case; on success fills the login values and loads the settings.
    void Ok();
    // Escape or Cancel: the program ends, without a message.
    void Cancel() { result = Result::Cancelled; }

    QString txtField[2]; // 0: login name, 1: password (both up to 10 characters)
    Field focus = LoginField;
    Result result = Result::Open;

    static constexpr int FieldWidth = 10;

private:
    // Opens the user and enterprise tables on the first check; false without a database.
    bool OpenTables();
    void Refuse();
    void FillLoginValues();

    ProgramContext& m_context;
    Recordset m_users;
    Recordset m_enterprise;
};

// The enterprise values of the login (short name, access code, e-mail, name and the address
// joined from columns 5 to 10) from a row of kaEnterprise.
void FillEnterpriseValues(LoginValues& values, const Recordset& enterprise);

// "aNNa maRIE" -> "Anna Marie": first letter of each word upper case, the rest lower case.
QString ProperCase(const QString& text);

} // namespace kivo
