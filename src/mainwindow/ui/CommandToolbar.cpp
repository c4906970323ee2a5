#include "CommandToolbar.h"

#include "Accessibility.h"
#include "CommandState.h"
#include "Icons.h"

#include <QToolButton>

namespace kivo {

namespace {

constexpr int ToggleButton = 19;

QString Tooltip(int command)
{
    switch (command) {
    case 1:
        return QStringLiteral("Add (Ctrl-A)");
    case 2:
        return QStringLiteral("Modify (Ctrl-M)");
    case 3:
        return QStringLiteral("Delete (Ctrl-D)");
    case 5:
        return QStringLiteral("Save (Ctrl-S)");
    case 6:
        return QStringLiteral("Xerox (Ctrl-X)");
    case 7:
        return QStringLiteral("Cancel (Ctrl-C)");
    case 9:
        return QStringLiteral("First (Ctrl-F)");
    case 10:
        return QStringLiteral("Prior (Ctrl-P)");
    case 11:
        return QStringLiteral("Next (Ctrl-N)");
    case 12:
        return QStringLiteral("Last (Ctrl-L)");
    case 14:
        return QStringLiteral("Inquiry (Ctrl-I)");
    case 15:
        return QStringLiteral("Report (Ctrl-R)");
    case 17:
        return QStringLiteral("Exit (ESC)");
    default:
        return {};
    }
}

QString Element(int index)
{
    return QStringLiteral("tlbMain(%1)").arg(index);
}

} // namespace

CommandToolbar::CommandToolbar(QWidget* parent)
    : QToolBar(QStringLiteral("Commands"), parent)
{
    setObjectName(QStringLiteral("tlbMain"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(24, 24));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int index = 1; index <= ToggleButton; ++index) {
        if (index == 4 || index == 8 || index == 13 || index == 16 || index == 18) {
            addSeparator();
            continue;
        }
        QAction* button = new QAction(this);
        button->setObjectName(Element(index));
        connect(button, &QAction::triggered, this, [this, index] { emit commandChosen(index); });
        m_buttons[index] = button;
        if (index == ToggleButton) {
            // The toggle's caption ("+" or "-") is its state; its picture shows it, so the
            // toggle never shows the caption as text.
            button->setIcon(Icon(Glyph::ShowLabels));
            button->setText(QStringLiteral("-"));
            button->setToolTip(QStringLiteral("Show Labels"));
            auto* toggle = new QToolButton(this);
            toggle->setDefaultAction(button);
            toggle->setToolButtonStyle(Qt::ToolButtonIconOnly);
            toggle->setAutoRaise(true);
            toggle->setIconSize(iconSize());
            toggle->setFocusPolicy(Qt::TabFocus);
            addWidget(toggle);
            Describe(toggle, button->toolTip(), Element(index));
        } else {
            button->setIcon(Icon(CommandGlyph(index)));
            button->setToolTip(Tooltip(index));
            addAction(button);
            if (QWidget* widget = widgetForAction(button))
                Describe(widget, CommandCaption(index), Element(index));
        }
    }
    Describe(this, QStringLiteral("Commands"), QStringLiteral("tlbMain"));
}

QAction* CommandToolbar::Button(int index) const
{
    return index >= 1 && index <= ToggleButton ? m_buttons[index] : nullptr;
}

void CommandToolbar::ApplyLabels(const ToolbarLabels& labels)
{
    // Captions sit below the pictures; without captions the buttons show pictures only.
    setToolButtonStyle(labels.showCaptions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    for (int index = 1; index < ToggleButton; ++index)
        if (m_buttons[index])
            m_buttons[index]->setText(labels.showCaptions ? CommandCaption(index) : QString());
    QAction* toggle = m_buttons[ToggleButton];
    toggle->setText(labels.toggleCaption);
    toggle->setToolTip(labels.toggleTooltip);
    toggle->setIcon(Icon(labels.toggleCaption == u"+" ? Glyph::ShowLabels : Glyph::HideLabels));
    if (QWidget* widget = widgetForAction(toggle))
        Describe(widget, labels.toggleTooltip, Element(ToggleButton));
}

QString CommandToolbar::ToggleCaption() const
{
    return m_buttons[ToggleButton]->text();
}

} // namespace kivo
