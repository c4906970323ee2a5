// A generic plugin that Qt loads into the unchanged program (QT_QPA_GENERIC_PLUGINS set to
// "kivoscreendriver:SCRIPT", QT_PLUGIN_PATH to its folder) and that drives the program from inside
// its own process the way a user does. Each step of the script is polled on a timer until it
// happens, with a bound; a step that does not happen in time ends the process with a description
// of what was on screen. Lines starting with "driver: " on standard output report progress
// ("step ...", "checkpoint NAME", "done", "FAIL ...").
//
// Script lines:
//   window TITLE          the active window (or active child window) has this title
//   closed TITLE          no visible window has this title
//   message TEXT          a message box with this text is shown
//   focus ELEMENT         the focused control is this element ("txtField(2)")
//   field ELEMENT=TEXT    the line edit shows this text
//   type TEXT             key clicks into the focused control
//   key KEYS              one key sequence ("Return", "Ctrl+S")
//   menu MENU/ENTRY       chooses an enabled menu entry of the main menu bar
//   answer CAPTION        clicks the button with this caption in the active dialog
//   checkpoint NAME       reports NAME and waits until the file NAME.go appears beside the script
#include <cstdio>
#include <cstdlib>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace kivo::test {

namespace {

// Generous: a step normally happens within milliseconds; the bound only keeps a broken run
// from hanging the suite.
constexpr int StepLimitMs = 30000;

void Report(const QString& line)
{
    std::fprintf(stdout, "driver: %s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// A caption as the user reads it: "&Master" is "Master".
QString Caption(QString text)
{
    return text.remove(u'&');
}

QString Element(const QWidget* widget)
{
    return widget->accessibleDescription().isEmpty() ? widget->objectName() : widget->accessibleDescription();
}

QList<QWidget*> VisibleWindows()
{
    QList<QWidget*> windows;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible())
            continue;
        windows << top;
        for (QMdiSubWindow* child : top->findChildren<QMdiSubWindow*>())
            if (child->isVisible())
                windows << child;
    }
    return windows;
}

// The offscreen platform has no window manager: when a dialog closes, nothing hands the
// activation back to the window below it. The driver does, as a window manager would, so
// that keys reach the control the program gave the focus to.
void ReturnActivation()
{
    if (QApplication::activeWindow())
        return;
    QWidget* next = QApplication::activeModalWidget();
    for (QWidget* top : QApplication::topLevelWidgets())
        if (!next && top->isVisible() && top->windowType() != Qt::Popup && top->windowType() != Qt::ToolTip)
            next = top;
    if (next)
        next->activateWindow();
}

// Ends the run, with what was on screen when a step did not happen.
[[noreturn]] void Fail(const QString& why)
{
    Report(QStringLiteral("FAIL ") + why);
    for (QWidget* window : VisibleWindows()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        Report(
            QStringLiteral("  window \"%1\" %2").arg(window->windowTitle(), box ? box->text() : QString()));
        for (QLineEdit* edit : window->findChildren<QLineEdit*>())
            if (edit->isVisible())
                Report(QStringLiteral("    %1 = \"%2\"").arg(Element(edit), edit->text()));
    }
    if (const QWidget* focus = QApplication::focusWidget())
        Report(QStringLiteral("  focus ") + Element(focus));
    std::fflush(nullptr);
    // The program may be inside a dialog's loop: leave at once rather than unwind through it.
    std::_Exit(3);
}

class ScreenDriver : public QObject {
public:
    explicit ScreenDriver(const QString& scriptFile)
        : m_scriptFolder(QFileInfo(scriptFile).absolutePath())
    {
        QFile file(scriptFile);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            Fail(QStringLiteral("cannot read the script ") + scriptFile);
        for (const QString& text : QString::fromUtf8(file.readAll()).split(u'\n')) {
            const QString line = text.trimmed();
            if (!line.isEmpty())
                m_steps << Step { line.section(u' ', 0, 0), line.section(u' ', 1) };
        }
        connect(&m_timer, &QTimer::timeout, this, &ScreenDriver::Poll);
        // Started from the event loop: the driver is created while the application is still
        // being constructed.
        QTimer::singleShot(0, this, [this] {
            m_stepClock.start();
            m_timer.start(20);
        });
    }

private:
    struct Step {
        QString verb, argument;
    };

    void Poll()
    {
        ReturnActivation();
        while (!m_actionQueued && m_next < m_steps.size()) {
            const Step& step = m_steps.at(m_next);
            if (!Attempt(step)) {
                if (m_stepClock.hasExpired(StepLimitMs))
                    Fail(QStringLiteral("\"%1 %2\" did not happen in time").arg(step.verb, step.argument));
                return;
            }
            Report(QStringLiteral("step %1 %2").arg(step.verb, step.argument));
            ++m_next;
            m_checkpointReported = false;
            m_stepClock.restart();
        }
        if (!m_actionQueued)
            FinishWhenDone();
    }

    void FinishWhenDone()
    {
        if (m_next < m_steps.size() || m_finished)
            return;
        m_finished = true;
        m_timer.stop();
        Report(QStringLiteral("done"));
    }

    // Runs an action on `target` after the poll returns, unless the target is gone by then: an
    // action that opens a modal dialog does not return until the dialog closes, and the polling
    // must go on inside the dialog's loop.
    template <typename Action> bool Issue(QObject* target, Action action)
    {
        m_actionQueued = true;
        QTimer::singleShot(0, this, [this, target = QPointer<QObject>(target), action] {
            m_actionQueued = false;
            if (target)
                action();
            // The last action may end the program before another poll comes.
            FinishWhenDone();
        });
        return true;
    }

    // True when the step is done (or issued, for an action).
    bool Attempt(const Step& step)
    {
        const QString& argument = step.argument;
        // The window that takes the user's input: a modal dialog when one is open.
        QWidget* window = QApplication::activeModalWidget();
        if (!window)
            window = QApplication::activeWindow();
        if (step.verb == u"window") {
            if (window && window->windowTitle() == argument)
                return true;
            for (QMdiArea* area : window ? window->findChildren<QMdiArea*>() : QList<QMdiArea*>())
                if (QMdiSubWindow* child = area->activeSubWindow())
                    if (child->isVisible() && child->windowTitle() == argument)
                        return true;
            return false;
        }
        if (step.verb == u"closed") {
            for (QWidget* visible : VisibleWindows())
                if (visible->windowTitle() == argument)
                    return false;
            return true;
        }
        if (step.verb == u"message") {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            return box && box->isVisible() && box->text() == argument;
        }
        if (step.verb == u"focus") {
            QWidget* focus = QApplication::focusWidget();
            return focus && Element(focus) == argument;
        }
        if (step.verb == u"field") {
            for (QLineEdit* edit : window ? window->findChildren<QLineEdit*>() : QList<QLineEdit*>())
                if (edit->isVisible() && Element(edit) + u'=' + edit->text() == argument)
                    return true;
            return false;
        }
        if (step.verb == u"type" || step.verb == u"key") {
            // Keys go to the focused control, or to the window itself when none has the focus.
            // A dialog that has just opened may not have taken the focus yet: keys sent now
            // would land in the window below it, so wait until the focus is in the dialog.
            QWidget* focus = QApplication::focusWidget();
            if (window && window == QApplication::activeModalWidget() && focus && focus->window() != window) {
                window->activateWindow();
                return false;
            }
            QWidget* target = focus ? focus : window;
            if (!target)
                return false;
            const bool typing = step.verb == u"type";
            return Issue(target, [typing, argument, target] {
                if (typing)
                    QTest::keyClicks(target, argument);
                else
                    QTest::keySequence(target, QKeySequence(argument, QKeySequence::PortableText));
            });
        }
        if (step.verb == u"menu") {
            auto* bar
                = window && !QApplication::activeModalWidget() ? window->findChild<QMenuBar*>() : nullptr;
            if (!bar || !bar->isVisible())
                return false;
            for (QAction* menu : bar->actions())
                if (menu->menu() && menu->isEnabled()
                    && Caption(menu->text()) == argument.section(u'/', 0, 0))
                    for (QAction* entry : menu->menu()->actions())
                        if (entry->isVisible() && entry->isEnabled()
                            && Caption(entry->text()) == argument.section(u'/', 1))
                            return Issue(entry, [entry] { entry->trigger(); });
            return false;
        }
        if (step.verb == u"answer") {
            for (QAbstractButton* button :
                window ? window->findChildren<QAbstractButton*>() : QList<QAbstractButton*>())
                if (button->isVisible() && button->isEnabled() && Caption(button->text()) == argument)
                    return Issue(button, [button] { button->click(); });
            return false;
        }
        if (step.verb == u"checkpoint") {
            if (!m_checkpointReported)
                Report(QStringLiteral("checkpoint ") + argument);
            m_checkpointReported = true;
            return QFileInfo::exists(QDir(m_scriptFolder).filePath(argument + QStringLiteral(".go")));
        }
        Fail(QStringLiteral("unknown step \"%1\"").arg(step.verb));
    }

    QList<Step> m_steps;
    qsizetype m_next = 0;
    bool m_actionQueued = false, m_checkpointReported = false, m_finished = false;
    QString m_scriptFolder;
    QTimer m_timer;
    QElapsedTimer m_stepClock;
};

} // namespace

class ScreenDriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "ScreenDriverPlugin.json")
public:
    QObject* create(const QString& key, const QString& parameters) override
    {
        const bool ours = key.compare(QStringLiteral("kivoscreendriver"), Qt::CaseInsensitive) == 0;
        return ours ? new ScreenDriver(parameters) : nullptr;
    }
};

} // namespace kivo::test

#include "ScreenDriverPlugin.moc"
