#pragma once

#include "AccessPrompt.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kivo {

class ProgramContext;

// The access-code prompt window: one masked field and "Close". Enter and Escape in the
// field check the code (AccessPrompt); "Close" and the window's own close button do not.
class KvAccess : public QDialog {
    Q_OBJECT
public:
    explicit KvAccess(ProgramContext& context, QWidget* parent = nullptr);

    // Shows the prompt modally; true when the right code was given.
    static bool AskAccessCode(ProgramContext& context, QWidget* parent);

    AccessPrompt& state() { return m_state; }
    QLineEdit* field() const { return m_field; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    AccessPrompt m_state;
    QLineEdit* m_field;
    QPushButton* m_close;
};

} // namespace kivo
