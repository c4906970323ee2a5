#include "ProgramStart.h"

#include "MainWindow.h"
#include "ProgramContext.h"
#include "ProgramHost.h"
#include "QtMessages.h"
#include "StartupSequence.h"

#include <QApplication>

namespace kivo {

int RunProgram(QApplication& application)
{
    application.setApplicationName(QStringLiteral("Kivo"));
    QtMessages messages;
    ProgramContext context(messages);
    context.SetLocations(
        InitLocations(AppFolderFromArguments(application.arguments(), QApplication::applicationDirPath())));
    MainWindow window(context);
    messages.SetParent(&window);
    ProgramHost host(context, window);
    if (!RunStartup(context, host))
        return 0;
    return application.exec();
}

} // namespace kivo
