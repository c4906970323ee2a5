#pragma once

#include "ListPickerState.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace kivo {

class Session;

// The list picker window: the list lstList under its two headings, and "Close". Tab,
// Enter, Space and a double click choose the selected line; Escape closes. The lines and
// the choice are ListPickerState's.
class KvList : public QDialog {
    Q_OBJECT
public:
    // reportTarget receives the pick when the report screen is the caller (CallerCode 99).
    explicit KvList(Session& session, ReportPickTarget* reportTarget = nullptr, QWidget* parent = nullptr);

    ListPickerState& state() { return m_state; }
    QListWidget* list() const { return m_list; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void Choose();

    Session& m_session;
    ListPickerState m_state;
    QLabel* m_headings[2];
    QListWidget* m_list;
    QPushButton* m_close;
};

} // namespace kivo
