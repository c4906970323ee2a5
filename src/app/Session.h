#pragma once

#include "Connection.h"
#include "ErrorReporter.h"
#include "Locations.h"
#include "Recordset.h"
#include "Settings.h"

#include <QObject>
#include <QPointer>

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

// The program-wide values of one run: locations, the one connection and its shared
// recordset slots, the login values, the settings and the screen context. Components
// receive the session by reference; there are no hidden globals.
class Session {
public:
    explicit Session(Messages& messages);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Fixes the locations for the run; the error log follows them.
    void SetLocations(const Locations& locations);

    Messages& messages;
    ErrorReporter errors;
    Locations locations;
    Connection connection;

    // Shared recordset slots: a user of a slot closes it and reopens it with its own source.
    Recordset rsScreen { connection };
    Recordset rsWork { connection };
    Recordset rsDetail { connection };
    Recordset rsUser { connection };
    Recordset rsEnterprise { connection };
    Recordset rsList1 { connection };
    Recordset rsList2 { connection };
    Recordset rsReport { connection };
    Recordset rsSettings { connection };

    LoginValues login;
    Preferences preferences;
    Customization customization;
    QString ToolbarToggleCaption = QStringLiteral("-"); // "+" shows the toolbar's captions

    // The screen the shared routines act on; empty when none is open.
    QPointer<QObject> CurrentForm;

    // Screen context, set by the menu entry that opens a screen.
    QString ScreenKey;
    QString ScreenTable;
    QString DetailTable;
    int LastField = 0;
    int ScreenReport = 0;

    // Record screen state shared by the screen frame and the record engine.
    QString SqlText; // the statement last built for a screen or report
    int RecordTotal = 0; // rows of rsScreen, for the record position label
    bool CommandLock = false; // true while a screen is open and browsing
    QString CommandList; // "/"-separated command numbers chosen by the command state
    bool NewRecordPending = false; // between Add or Xerox and the next Save or Cancel
    int ChoiceField = 0; // the field the option button stepped last
    int ChoicePosition = 0; // and the position it reached

    // Values through which pickers and prompts answer their callers.
    int CallerCode = 0; // 99: the report screen; otherwise the field index that receives a pick
    QString ListSource; // "GName, EId From kmGroup": what the list picker shows
    QString AccessResult; // "N" before the access-code prompt, "Y" when the code matched
    QString CustomerReturnText;

    // Report screen values.
    QString ReportMode = QStringLiteral("R"); // "R" view, "P" print from the checkout
    QString CriteriaSql;
    QString FilterText;
};

} // namespace kivo
