#include "StartupSequence.h"

#include "DatabasePassword.h"
#include "ProgramContext.h"

namespace kivo {

bool RunStartup(ProgramContext& context, StartupWindows& windows)
{
    ErrorReporter& errors = context.errors;
    TryStep(errors, [&] { windows.RunMaintenance(); });
    // The login reads the user and enterprise tables itself, and only when the database
    // opened: a missing database is reported once, here.
    TryStep(errors, [&] { context.connection.Open(context.locations.DatabaseFile(), DatabasePassword()); });
    if (!windows.RunLogin())
        return false;
    TryStep(errors, [&] { windows.SetupMainWindow(); });
    windows.ShowMainWindow();
    TryStep(errors, [&] { windows.SetIdleCommandState(); });
    return true;
}

} // namespace kivo
