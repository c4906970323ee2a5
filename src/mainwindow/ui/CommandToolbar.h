#pragma once

#include <QToolBar>

namespace kivo {

struct ToolbarLabels;

// The command toolbar tlbMain: buttons whose indexes are the command numbers (1 Add ... 15
// Report, 17 Exit), separators at 4, 8, 13, 16 and 18, and button 19, the labels toggle.
// A click emits commandChosen with the button's index.
class CommandToolbar : public QToolBar {
    Q_OBJECT
public:
    explicit CommandToolbar(QWidget* parent = nullptr);

    // The button with that index; nullptr for a separator or a number with no button.
    QAction* Button(int index) const;
    // Captions on ("+" was the toggle's caption) or off, and the toggle's new caption and tooltip.
    void ApplyLabels(const ToolbarLabels& labels);
    QString ToggleCaption() const;

signals:
    void commandChosen(int number);

private:
    QAction* m_buttons[20] = {};
};

} // namespace kivo
