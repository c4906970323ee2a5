#include "MainWindow.h"

#include "Accessibility.h"
#include "LoginState.h"
#include "Session.h"
#include "Version.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>

namespace kivo {

MainWindow::MainWindow(Session& session, QWidget* parent)
    : QMainWindow(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("KvMain"));
    setWindowTitle(QStringLiteral("Kivo - Sales Software"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiMain"));
    setCentralWidget(m_mdi);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stbMain"));
    bar->setSizeGripEnabled(false);
    // Panel 4 takes what the others leave; 1 and 7 are fixed, the rest share the width.
    const int stretch[7] = { 0, 12, 12, 52, 12, 12, 0 };
    for (int i = 0; i < 7; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("stbMain(%1)").arg(i + 1));
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_panels[i]->setContentsMargins(6, 0, 6, 0);
        if (stretch[i] == 0)
            m_panels[i]->setMinimumWidth(3025 / 15);
        bar->addPermanentWidget(m_panels[i], stretch[i]);
    }
    m_panels[1]->setText(QStringLiteral("Main"));
    Describe(this, windowTitle(), QStringLiteral("KvMain"));
}

void MainWindow::SetupMainWindow()
{
    const LoginValues& login = m_session.login;
    m_panels[0]->setText(VersionText());
    m_panels[2]->setText(QStringLiteral("User:") + ProperCase(login.LoginName));
    m_panels[3]->setText(login.EnterpriseShort);
    for (int i = 0; i < 7; ++i)
        Describe(m_panels[i], m_panels[i]->text(), QStringLiteral("stbMain(%1)").arg(i + 1));
}

QString MainWindow::PanelText(int panel) const
{
    return (panel >= 1 && panel <= 7) ? m_panels[panel - 1]->text() : QString();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the run: the one connection closes with it.
    m_session.rsScreen.Close();
    m_session.connection.Close();
    event->accept();
}

} // namespace kivo
