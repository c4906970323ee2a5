#pragma once

#include "LoginState.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kivo {

class ProgramContext;

// The login window: two fields, OK and Cancel. Enter moves from the login to the password
// and checks from the password; Escape ends the program. The check itself is LoginState's.
class KvLogin : public QDialog {
    Q_OBJECT
public:
    explicit KvLogin(ProgramContext& context, QWidget* parent = nullptr);

    LoginState& state() { return m_state; }
    QLineEdit* field(int index) const { return m_fields[index]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void TakeTypedText();
    void Check();
    void ShowState();

    LoginState m_state;
    QLineEdit* m_fields[2];
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace kivo
