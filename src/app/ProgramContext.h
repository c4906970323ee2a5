#pragma once

#include "Connection.h"
#include "ErrorReporter.h"
#include "Locations.h"
#include "Settings.h"

#include <functional>
#include <QDate>

namespace kivo {

class Messages;

// Who is logged in, filled by a successful login and kept for the whole run.
struct LoginValues {
    QString LoginName; // exactly as typed
    QString UserId; // the user's EId, as text
    QString UserMode; // "B" back office, anything else sales
    QString EnterpriseShort;
    QString EnterpriseAccessCode;
    QString EnterpriseEmail;
    QString EnterpriseName;
    QString EnterpriseAddress;
};

// What every routine of one run may need: the locations, the one connection, the error
// reporter and the messages, the login values and the settings, and the clock. Components
// receive it by reference. It holds no recordsets and no screen's state: those belong to
// the routine or the screen that uses them, and dialogs return their answers.
class ProgramContext {
public:
    explicit ProgramContext(Messages& messages);
    ProgramContext(const ProgramContext&) = delete;
    ProgramContext& operator=(const ProgramContext&) = delete;

    // Fixes the locations for the run; the error log follows them.
    void SetLocations(const Locations& locations);

    // "Today" for new records, copies and stock movement dates: the system clock unless a
    // test fixes it.
    QDate Today() const { return today ? today() : QDate::currentDate(); }

    Messages& messages;
    ErrorReporter errors;
    Locations locations;
    Connection connection;

    LoginValues login;
    Preferences preferences;
    Customization customization;
    QString ToolbarToggleCaption = QStringLiteral("-"); // "+" shows the toolbar's captions
    std::function<QDate()> today;
};

// The administrator's rule: the Admin menu is open to the login "Chief" (in any letter case)
// and, when the shop allows it (CAdminDisp "Y"), to everyone.
bool AdminAllowed(const ProgramContext& context);

} // namespace kivo
