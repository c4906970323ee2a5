#include "StartupSequence.h"

#include "DatabasePassword.h"
#include "LockFile.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "Schema.h"
#include "StartupMaintenance.h"

namespace kivo {

bool RunStartup(ProgramContext& context, StartupWindows& windows, LockFile& lock)
{
    ErrorReporter& errors = context.errors;
    // A file fault (a read-only folder, a damaged database) is named first, so the shop knows
    // what to fix; another running copy needs no more than the refusal.
    const LockFile::Result locked = lock.Acquire();
    if (locked == LockFile::Result::Failed)
        context.messages.Notice(lock.ErrorText());
    if (locked == LockFile::Result::InUse || locked == LockFile::Result::Failed) {
        context.messages.Notice(QString::fromUtf16(StartRefused));
        return false;
    }
    StartupMaintenance work(context.locations, context.Today(), DatabasePassword(), lock.StaleRecord());
    if (!windows.RunMaintenance(work)) {
        if (!work.failure.isEmpty())
            context.messages.Notice(work.failure);
        context.messages.Notice(QString::fromUtf16(StartRefused));
        return false;
    }
    // The login reads the user and enterprise tables itself, and only when the database
    // opened: a missing database is reported once, here.
    TryStep(errors, [&] {
        Connection& connection = context.connection;
        connection.Open(context.locations.DatabaseFile(), DatabasePassword());
        // The database file is written only when the connection closes, so while the copy
        // runs the file stays as written down here, and after a kill the next start can tell
        // the log left behind for this file from one that belongs to another.
        connection.ExecuteRaw(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
        lock.Record(FileFingerprint(context.locations.DatabaseFile()));
    });
    // A file made by an earlier build gets this build's tables and indexes; if that fails, the
    // file stays as it was and is used as it is.
    if (context.connection.IsOpen())
        TryStep(errors, [&] { Schema::Upgrade(context.connection); });
    if (!windows.RunLogin())
        return false;
    TryStep(errors, [&] { windows.SetupMainWindow(); });
    windows.ShowMainWindow();
    TryStep(errors, [&] { windows.SetIdleCommandState(); });
    return true;
}

} // namespace kivo
