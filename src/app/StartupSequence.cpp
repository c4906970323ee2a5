#include "StartupSequence.h"

#include "DatabasePassword.h"
#include "Session.h"

namespace kivo {

bool RunStartup(Session& session, StartupWindows& windows)
{
    ErrorReporter& errors = session.errors;
    TryStep(errors, [&] { windows.RunMaintenance(); });
    TryStep(errors, [&] { session.connection.Open(session.locations.DatabaseFile(), DatabasePassword()); });
    TryStep(errors, [&] {
        session.rsUser.Close();
        session.rsUser.Open(QStringLiteral("kaUser"));
    });
    TryStep(errors, [&] {
        session.rsEnterprise.Close();
        session.rsEnterprise.Open(QStringLiteral("kaEnterprise"));
    });
    if (!windows.RunLogin())
        return false;
    TryStep(errors, [&] { windows.SetupMainWindow(); });
    session.rsUser.Close();
    session.rsEnterprise.Close();
    session.CurrentForm = nullptr;
    windows.ShowMainWindow();
    TryStep(errors, [&] { windows.SetIdleCommandState(); });
    return true;
}

} // namespace kivo
