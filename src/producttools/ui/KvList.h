#pragma once

#include "ListPickerState.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace kivo {

class ProgramContext;

// The list picker window: the list lstList under its two headings, and "Close". Tab,
// Enter, Space and a double click choose the selected line; Escape closes. The lines and
// the choice are ListPickerState's.
class KvList : public QDialog {
    Q_OBJECT
public:
    // ListSource: what the list shows, "GName, EId From kmGroup".
    KvList(ProgramContext& context, const QString& ListSource, QWidget* parent = nullptr);

    // Shows the picker modally; the chosen key and name, or nothing when it was closed.
    static std::optional<ListPick> PickFromList(
        ProgramContext& context, const QString& ListSource, QWidget* parent);

    ListPickerState& state() { return m_state; }
    QListWidget* list() const { return m_list; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void Choose();

    ProgramContext& m_context;
    ListPickerState m_state;
    QLabel* m_headings[2];
    QListWidget* m_list;
    QPushButton* m_close;
};

} // namespace kivo
