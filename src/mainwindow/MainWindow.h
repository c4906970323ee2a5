#pragma once

#include <QMainWindow>

class QLabel;
class QMdiArea;

namespace kivo {

class Session;

// The program's one top-level window: a multiple-document area that holds the register and
// document screens, and a status bar of seven panels.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Session& session, QWidget* parent = nullptr);

    // Lays the window out for the logged-in user and writes the status bar panels.
    void SetupMainWindow();
    // Text of status bar panel n (1 to 7).
    QString PanelText(int panel) const;
    QMdiArea* mdiArea() const { return m_mdi; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Session& m_session;
    QMdiArea* m_mdi;
    QLabel* m_panels[7];
};

} // namespace kivo
