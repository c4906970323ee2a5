#include "Appearance.h"

#include "DbError.h"
#include "ErrorReporter.h"
#include "ProgramContext.h"
#include "Settings.h"
#include "Twips.h"

#include <optional>
#include <QAbstractButton>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QTableView>

namespace kivo {

namespace {

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    if (qobject_cast<QAbstractButton*>(widget))
        palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

void SetHeadingColour(QTableView* table, const QColor& colour)
{
    // Only the heading cells take the text colour; the body stays as designed.
    for (QHeaderView* header : { table->horizontalHeader(), table->verticalHeader() }) {
        QPalette palette = header->palette();
        palette.setColor(QPalette::ButtonText, colour);
        palette.setColor(QPalette::WindowText, colour);
        header->setPalette(palette);
    }
}

bool IsChildWindow(const QWidget* screen)
{
    for (const QWidget* w = screen; w; w = w->parentWidget())
        if (qobject_cast<const QMdiSubWindow*>(w))
            return true;
    return false;
}

// A setting read once for the whole screen, when the first control needs it: on failure
// it is reported then, once, and has no value, so the controls keep their designed look.
template <typename T> class Setting {
public:
    Setting(ErrorReporter& errors, T (*read)(const QString&), const QString& text)
        : m_errors(errors)
        , m_read(read)
        , m_text(text)
    {
    }
    const std::optional<T>& operator()()
    {
        if (!m_tried) {
            m_tried = true;
            TryStep(m_errors, [&] { m_value = m_read(m_text); });
        }
        return m_value;
    }

private:
    ErrorReporter& m_errors;
    T (*m_read)(const QString&);
    QString m_text;
    bool m_tried = false;
    std::optional<T> m_value;
};

int TextSize(const QString& text)
{
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    if (!ok || size <= 0)
        throw DbError(ErrorNumber::TypeMismatch, QStringLiteral("ApplyAppearance"),
            QStringLiteral("Type mismatch: text size '%1'").arg(text));
    return size;
}

} // namespace

void ApplyAppearance(ProgramContext& context, QWidget* screen)
{
    const Customization& c = context.customization;
    if (IsYes(c.CDefaScrn) || !screen)
        return;
    const bool child = IsChildWindow(screen);
    ErrorReporter& errors = context.errors;
    Setting<QColor> readBack(errors, WindowsColour, c.CBackColor);
    Setting<QColor> text(errors, WindowsColour, c.CTextColor);
    Setting<int> readSize(errors, TextSize, c.CTextSize);
    // Child windows take the back colour and the label font; dialogs keep their own.
    const std::optional<QColor> noColour;
    const std::optional<int> noSize;
    auto back = [&]() -> const std::optional<QColor>& { return child ? readBack() : noColour; };
    auto size = [&]() -> const std::optional<int>& { return child ? readSize() : noSize; };

    if (back())
        SetBackground(screen, *back());
    QWidget* frame = screen->findChild<QWidget*>(QStringLiteral("frmMain"));
    const QList<QWidget*> controls = screen->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        const QString family = ElementFamily(control->objectName());
        if (family == u"shpMain") {
            if (frame)
                control->setFixedWidth(qMax(0, frame->width() - Twips(500)));
        } else if (family == u"frmMain") {
            if (back())
                SetBackground(control, *back());
            // Only the frame's own caption: a palette's Text role would reach the grids inside it.
            if (text()) {
                QPalette palette = control->palette();
                palette.setColor(QPalette::WindowText, *text());
                control->setPalette(palette);
            }
        } else if (family == u"lblField" || family == u"lblList" || family == u"chkField") {
            if (back())
                SetBackground(control, *back());
            if (size()) {
                QFont font = control->font();
                font.setFamily(c.CTextFont);
                font.setPointSize(*size());
                control->setFont(font);
            }
            if (text())
                SetTextColour(control, *text());
        } else if (family == u"grdMain" || family == u"grdPort" || family == u"grdData") {
            if (auto* table = qobject_cast<QTableView*>(control); table && text())
                SetHeadingColour(table, *text());
        }
    }
}

} // namespace kivo
