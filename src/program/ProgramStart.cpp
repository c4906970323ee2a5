#include "ProgramStart.h"

#include "KvLogin.h"
#include "MainWindow.h"
#include "QtMessages.h"
#include "Session.h"
#include "StartupSequence.h"

#include <QApplication>

namespace kivo {

namespace {

class ProgramWindows : public StartupWindows {
public:
    ProgramWindows(Session& session, MainWindow& window)
        : m_session(session)
        , m_window(window)
    {
    }

    void RunMaintenance() override
    {
        // The start-up maintenance screen (lock file, compaction, daily archive) takes its
        // place here, on the closed database file.
    }

    bool RunLogin() override
    {
        KvLogin login(m_session);
        return login.exec() == QDialog::Accepted;
    }

    void SetupMainWindow() override
    {
        m_session.CurrentForm = &m_window;
        m_window.SetupMainWindow();
    }

    void ShowMainWindow() override { m_window.showMaximized(); }

    void SetIdleCommandState() override { }

private:
    Session& m_session;
    MainWindow& m_window;
};

} // namespace

int RunProgram(QApplication& application)
{
    application.setApplicationName(QStringLiteral("Kivo"));
    QtMessages messages;
    Session session(messages);
    session.SetLocations(
        InitLocations(AppFolderFromArguments(application.arguments(), QApplication::applicationDirPath())));
    MainWindow window(session);
    messages.SetParent(&window);
    ProgramWindows windows(session, window);
    if (!RunStartup(session, windows))
        return 0;
    return application.exec();
}

} // namespace kivo
