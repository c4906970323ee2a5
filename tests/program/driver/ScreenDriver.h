#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class QWidget;

namespace kivo::test {

// Drives the program from inside its own process the way a user does, from a script of
// steps: it types into the focused control, presses keys, chooses menu entries by caption and
// answers dialogs, and waits for windows and messages to appear. Every wait is a poll of the
// widget tree on a timer with a bound; a step that does not happen in time ends the process
// with a description of what was on screen. Lines starting with "driver: " on standard output
// report progress ("checkpoint NAME", "done", "FAIL ...").
//
// Script lines ("#" starts a comment):
//   window TITLE          the active window (or active child window) has this title
//   closed TITLE          no visible window has this title
//   message TEXT          a message box with this text is shown
//   focus ELEMENT         the focused control is this element ("txtField(2)")
//   field ELEMENT=TEXT    the control shows this text
//   type TEXT             key clicks into the focused control
//   key KEYS              one key sequence ("Return", "Ctrl+S")
//   click ELEMENT         clicks the control with the left mouse button
//   menu MENU/ENTRY       chooses an enabled menu entry of the main menu bar
//   answer CAPTION        clicks the button with this caption in the active dialog
//   checkpoint NAME       reports NAME and waits until the file NAME.go appears beside the script
class ScreenDriver : public QObject {
    Q_OBJECT
public:
    explicit ScreenDriver(const QString& scriptFile, QObject* parent = nullptr);

private:
    struct Step {
        int line = 0;
        QString verb;
        QString argument;
    };

    void Load(const QString& scriptFile);
    void Poll();
    void FinishWhenDone();
    // True when the step is done (or issued, for an action).
    bool Attempt(const Step& step);
    // Runs an action after the poll returns: an action that opens a modal dialog does not
    // return until the dialog closes, and the polling must go on inside the dialog's loop.
    template <typename Action> void Issue(Action action);
    [[noreturn]] void Fail(const QString& why);
    static QString ScreenDescription();
    static void Report(const QString& line);

    QList<Step> m_steps;
    int m_next = 0;
    bool m_actionQueued = false;
    bool m_checkpointReported = false;
    bool m_finished = false;
    QString m_scriptFolder;
    QTimer m_timer;
    QElapsedTimer m_stepClock;
};

} // namespace kivo::test
