#pragma once

namespace kivo {

class LockFile;
class ProgramContext;
class StartupMaintenance;

// The windows that the start-up sequence shows. The program implements it with its real
// windows; tests script it.
class StartupWindows {
public:
    virtual ~StartupWindows() = default;
    // The start-up maintenance screen, shown on the closed database file; runs the work and
    // returns whether it completed.
    virtual bool RunMaintenance(StartupMaintenance& work) = 0;
    // The login screen, modal; false when the user cancelled.
    virtual bool RunLogin() = 0;
    // Lays the main window out for the logged-in user.
    virtual void SetupMainWindow() = 0;
    virtual void ShowMainWindow() = 0;
    // The command state with no screen open.
    virtual void SetIdleCommandState() = 0;
};

// The message of a start that cannot go on: another copy runs, or the maintenance failed.
inline constexpr char16_t StartRefused[] = u"Application In-Use, Try Later";

// Runs the start-up sequence on a context whose locations are set: the lock file (one running
// copy per data folder), the maintenance, the one connection, login (which reads the user and
// enterprise tables), main window set-up, show. Every later step that fails is reported and the
// sequence goes on. A lock held by another copy or a failed maintenance shows "Application
// In-Use, Try Later" (after the file fault, when there is one) and returns false, as does a
// cancelled login: the program must end. The lock stays held by `lock` for the rest of the run.
bool RunStartup(ProgramContext& context, StartupWindows& windows, LockFile& lock);

} // namespace kivo
