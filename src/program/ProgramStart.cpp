#include "ProgramStart.h"

#include "LockFile.h"
#include "MainWindow.h"
#include "ProgramContext.h"
#include "ProgramHost.h"
#include "QtMessages.h"
#include "StartupFiles.h"
#include "StartupSequence.h"

#include <QApplication>

namespace kivo {

int RunProgram(QApplication& application)
{
    application.setApplicationName(QStringLiteral("Kivo"));
    const Locations locations
        = InitLocations(AppFolderFromArguments(application.arguments(), QApplication::applicationDirPath()));
    // Declared first so that it goes last: the lock is held until the connection has closed.
    LockFile lock(StartupFiles::For(locations, QDate::currentDate()).lock);
    QtMessages messages;
    ProgramContext context(messages);
    context.SetLocations(locations);
    MainWindow window(context);
    messages.SetParent(&window);
    ProgramHost host(context, window);
    const bool started = RunStartup(context, host, lock);
    const int code = started ? application.exec() : 0;
    if (context.connection.IsOpen()) {
        lock.Record(ClosingRecord(locations.DatabaseFile()));
        context.connection.Close();
    }
    return code;
}

} // namespace kivo
