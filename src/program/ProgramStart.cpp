#include "ProgramStart.h"

#include "MainWindow.h"
#include "ProgramHost.h"
#include "QtMessages.h"
#include "Session.h"
#include "StartupSequence.h"

#include <QApplication>

namespace kivo {

int RunProgram(QApplication& application)
{
    application.setApplicationName(QStringLiteral("Kivo"));
    QtMessages messages;
    Session session(messages);
    session.SetLocations(
        InitLocations(AppFolderFromArguments(application.arguments(), QApplication::applicationDirPath())));
    MainWindow window(session);
    messages.SetParent(&window);
    ProgramHost host(session, window);
    if (!RunStartup(session, host))
        return 0;
    return application.exec();
}

} // namespace kivo
