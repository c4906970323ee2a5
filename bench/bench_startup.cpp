// Start-up to the login screen: everything the program does from its first line until the
// login window is on the screen (locations, opening the database with its key, the user and
// enterprise tables, the login window), then exits. bench/startup.sh runs it as a whole
// process several times, so process start and library loading count too.
#include "DatabasePassword.h"
#include "KvLogin.h"
#include "ProgramContext.h"
#include "QtMessages.h"

#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup DATA_FOLDER\n");
        return 2;
    }
    kivo::QtMessages messages;
    kivo::ProgramContext context(messages);
    context.SetLocations(kivo::InitLocations(QString::fromLocal8Bit(argv[1])));
    const qint64 beforeOpen = clock.nsecsElapsed();
    context.connection.Open(context.locations.DatabaseFile(), kivo::DatabasePassword());
    const qint64 afterOpen = clock.nsecsElapsed();
    kivo::KvLogin login(context);
    login.show();
    if (!QTest::qWaitForWindowExposed(&login, 5000)) {
        std::fprintf(stderr, "the login window was not shown\n");
        return 1;
    }
    const qint64 shown = clock.nsecsElapsed();
    std::printf("open with key: %.1f ms; main() to login shown: %.1f ms\n", (afterOpen - beforeOpen) / 1e6,
        shown / 1e6);
    return 0;
}
