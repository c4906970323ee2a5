#include "ScreenDriver.h"

#include <cstdio>
#include <cstdlib>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

namespace kivo::test {

namespace {

// Generous: a step normally happens within milliseconds; the bound only keeps a broken run
// from hanging the suite.
constexpr int StepLimitMs = 30000;
constexpr int PollIntervalMs = 20;

const QStringList Verbs = { QStringLiteral("window"), QStringLiteral("closed"), QStringLiteral("message"),
    QStringLiteral("focus"), QStringLiteral("field"), QStringLiteral("type"), QStringLiteral("key"),
    QStringLiteral("click"), QStringLiteral("menu"), QStringLiteral("answer"), QStringLiteral("checkpoint") };

// A caption as the user reads it: "&Master" is "Master", "Find && Replace" is "Find & Replace".
QString Caption(const QString& text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&' && i + 1 < text.size())
            ++i;
        plain += text.at(i);
    }
    return plain;
}

// The window that takes the user's input: a modal dialog when one is open.
QWidget* InputWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QString Element(const QWidget* widget)
{
    return widget->accessibleDescription().isEmpty() ? widget->objectName() : widget->accessibleDescription();
}

QString ShownText(const QWidget* widget)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return Caption(button->text());
    return {};
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

bool WindowActive(const QString& title)
{
    QWidget* active = InputWindow();
    if (!active)
        return false;
    if (active->windowTitle() == title)
        return true;
    for (QMdiArea* area : active->findChildren<QMdiArea*>())
        if (QMdiSubWindow* child = area->activeSubWindow())
            if (child->isVisible() && child->windowTitle() == title)
                return true;
    return false;
}

// The offscreen platform has no window manager: when a dialog closes, nothing hands the
// activation back to the window below it. The driver does, as a window manager would, so
// that keys reach the control the program gave the focus to.
void ReturnActivation()
{
    if (QApplication::activeWindow())
        return;
    QWidget* next = QApplication::activeModalWidget();
    if (!next)
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top->windowType() != Qt::Popup && top->windowType() != Qt::ToolTip) {
                next = top;
                break;
            }
    if (next)
        next->activateWindow();
}

} // namespace

ScreenDriver::ScreenDriver(const QString& scriptFile, QObject* parent)
    : QObject(parent)
    , m_scriptFolder(QFileInfo(scriptFile).absolutePath())
{
    Load(scriptFile);
    m_timer.setInterval(PollIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ScreenDriver::Poll);
    // Started from the event loop: the driver is created while the application is still
    // being constructed.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_stepClock.start();
            m_timer.start();
        },
        Qt::QueuedConnection);
}

void ScreenDriver::Load(const QString& scriptFile)
{
    QFile file(scriptFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        Fail(QStringLiteral("cannot read the script ") + scriptFile);
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype blank = line.indexOf(u' ');
        Step step { i + 1, line.left(blank), blank < 0 ? QString() : line.mid(blank + 1) };
        if (!Verbs.contains(step.verb))
            Fail(QStringLiteral("line %1: unknown step \"%2\"").arg(step.line).arg(step.verb));
        if (step.verb == u"key" && QKeySequence(step.argument, QKeySequence::PortableText).count() != 1)
            Fail(QStringLiteral("line %1: \"%2\" is not one key").arg(step.line).arg(step.argument));
        m_steps << step;
    }
}

void ScreenDriver::Poll()
{
    ReturnActivation();
    while (!m_actionQueued && m_next < m_steps.size()) {
        const Step& step = m_steps.at(m_next);
        if (!Attempt(step)) {
            if (m_stepClock.hasExpired(StepLimitMs))
                Fail(QStringLiteral("line %1: \"%2 %3\" did not happen within %4 s")
                         .arg(step.line)
                         .arg(step.verb, step.argument)
                         .arg(StepLimitMs / 1000));
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

void ScreenDriver::FinishWhenDone()
{
    if (m_next < m_steps.size() || m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    Report(QStringLiteral("done"));
}

template <typename Action> void ScreenDriver::Issue(Action action)
{
    m_actionQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this, action] {
            m_actionQueued = false;
            action();
            // The last action may end the program before another poll comes.
            FinishWhenDone();
        },
        Qt::QueuedConnection);
}

bool ScreenDriver::Attempt(const Step& step)
{
    const QString& argument = step.argument;
    if (step.verb == u"window")
        return WindowActive(argument);
    if (step.verb == u"closed") {
        for (QWidget* window : VisibleWindows())
            if (window->windowTitle() == argument)
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
        const QString element = argument.section(u'=', 0, 0);
        const QString text = argument.section(u'=', 1);
        QWidget* window = InputWindow();
        if (!window)
            return false;
        for (QWidget* widget : window->findChildren<QWidget*>())
            if (widget->isVisible() && Element(widget) == element && ShownText(widget) == text)
                return true;
        return false;
    }
    if (step.verb == u"type" || step.verb == u"key") {
        // Keys go to the focused control, or to the window itself when none has the focus.
        if (!QApplication::focusWidget() && !InputWindow())
            return false;
        const bool typing = step.verb == u"type";
        Issue([typing, argument] {
            QWidget* target = QApplication::focusWidget();
            if (!target)
                target = InputWindow();
            if (!target)
                return;
            if (typing)
                QTest::keyClicks(target, argument);
            else
                QTest::keySequence(target, QKeySequence(argument, QKeySequence::PortableText));
        });
        return true;
    }
    if (step.verb == u"click") {
        QWidget* window = InputWindow();
        if (!window)
            return false;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (widget->isVisible() && widget->isEnabled() && Element(widget) == argument) {
                Issue([widget = QPointer<QWidget>(widget)] {
                    if (widget)
                        QTest::mouseClick(widget, Qt::LeftButton);
                });
                return true;
            }
        }
        return false;
    }
    if (step.verb == u"menu") {
        QWidget* window = QApplication::activeWindow();
        if (!window || QApplication::activeModalWidget())
            return false;
        auto* bar = window->findChild<QMenuBar*>();
        if (!bar || !bar->isVisible())
            return false;
        const QString menuCaption = argument.section(u'/', 0, 0);
        const QString entryCaption = argument.section(u'/', 1);
        for (QAction* menu : bar->actions()) {
            if (!menu->menu() || !menu->isVisible() || !menu->isEnabled()
                || Caption(menu->text()) != menuCaption)
                continue;
            for (QAction* entry : menu->menu()->actions()) {
                if (entry->isVisible() && entry->isEnabled() && Caption(entry->text()) == entryCaption) {
                    Issue([entry = QPointer<QAction>(entry)] {
                        if (entry)
                            entry->trigger();
                    });
                    return true;
                }
            }
        }
        return false;
    }
    if (step.verb == u"answer") {
        QWidget* window = InputWindow();
        if (!window)
            return false;
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (button->isVisible() && button->isEnabled() && Caption(button->text()) == argument) {
                Issue([button = QPointer<QAbstractButton>(button)] {
                    if (button)
                        button->click();
                });
                return true;
            }
        }
        return false;
    }
    if (step.verb == u"checkpoint") {
        if (!m_checkpointReported) {
            Report(QStringLiteral("checkpoint ") + argument);
            m_checkpointReported = true;
        }
        return QFileInfo::exists(QDir(m_scriptFolder).filePath(argument + QStringLiteral(".go")));
    }
    return false;
}

void ScreenDriver::Fail(const QString& why)
{
    Report(QStringLiteral("FAIL ") + why);
    // A script that cannot be read fails before the program has shown anything.
    if (m_timer.isActive()) {
        const QStringList screen = ScreenDescription().split(u'\n', Qt::SkipEmptyParts);
        for (const QString& line : screen)
            Report(QStringLiteral("  ") + line);
    }
    std::fflush(nullptr);
    // The program may be inside a dialog's loop: leave at once rather than unwind through it.
    std::_Exit(3);
}

QString ScreenDriver::ScreenDescription()
{
    QString text;
    const QWidget* input = InputWindow();
    for (QWidget* window : VisibleWindows()) {
        text += QStringLiteral("window %1 \"%2\"%3\n")
                    .arg(QString::fromLatin1(window->metaObject()->className()), window->windowTitle(),
                        window == input ? QStringLiteral(" (takes input)") : QString());
        if (auto* box = qobject_cast<QMessageBox*>(window))
            text += QStringLiteral("  message \"%1\"\n").arg(box->text());
        if (window->isWindow())
            for (QLineEdit* edit : window->findChildren<QLineEdit*>())
                if (edit->isVisible())
                    text += QStringLiteral("  %1 = \"%2\"\n").arg(Element(edit), edit->text());
    }
    if (QWidget* focus = QApplication::focusWidget())
        text += QStringLiteral("focus %1 %2\n")
                    .arg(QString::fromLatin1(focus->metaObject()->className()), Element(focus));
    else
        text += QStringLiteral("no focus\n");
    return text;
}

void ScreenDriver::Report(const QString& line)
{
    std::fprintf(stdout, "driver: %s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace kivo::test
