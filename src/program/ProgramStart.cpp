#include "ProgramStart.h"

#include "LockFile.h"
#include "MainWindow.h"
#include "ProgramContext.h"
#include "ProgramHost.h"
#include "QtMessages.h"
#include "StartupFiles.h"
#include "StartupSequence.h"

#include <QApplication>
#include <QEvent>

namespace kivo {

namespace {

// The main window closes the connection as it closes, and the closing writes the log back into
// the database file: the lock file says so first, so that a copy killed in the middle of it
// leaves a log the next start still takes for the database's own.
class ClosingWatch : public QObject {
public:
    ClosingWatch(LockFile& lock, QString database)
        : m_lock(lock)
        , m_database(std::move(database))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && m_lock.Held())
            m_lock.Record(ClosingRecord(m_database));
        return QObject::eventFilter(watched, event);
    }

private:
    LockFile& m_lock;
    QString m_database;
};

} // namespace

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
    ClosingWatch closingWatch(lock, locations.DatabaseFile());
    window.installEventFilter(&closingWatch);
    const bool started = RunStartup(context, host, lock);
    const int code = started ? application.exec() : 0;
    if (context.connection.IsOpen()) {
        lock.Record(ClosingRecord(locations.DatabaseFile()));
        context.connection.Close();
    }
    return code;
}

} // namespace kivo
