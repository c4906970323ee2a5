#pragma once

namespace kivo {

class ProgramContext;

// The windows that the start-up sequence shows. The program implements it with its real
// windows; tests script it.
class StartupWindows {
public:
    virtual ~StartupWindows() = default;
    // The start-up maintenance screen, shown on the closed database file.
    virtual void RunMaintenance() = 0;
    // The login screen, modal; false when the user cancelled.
    virtual bool RunLogin() = 0;
    // Lays the main window out for the logged-in user.
    virtual void SetupMainWindow() = 0;
    virtual void ShowMainWindow() = 0;
    // The command state with no screen open.
    virtual void SetIdleCommandState() = 0;
};

// Runs the start-up sequence on a context whose locations are set: maintenance, the one
// connection, login (which reads the user and enterprise tables), main window set-up, show. Every step
// that fails is reported and the sequence goes on. Returns false when the login was cancelled
// and the program must end.
bool RunStartup(ProgramContext& context, StartupWindows& windows);

} // namespace kivo
