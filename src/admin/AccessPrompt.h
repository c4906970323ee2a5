#pragma once

#include <QString>

namespace kivo {

class Session;

// The access-code prompt's state and check, without any widget. The caller sets
// AccessResult to "N" and shows the prompt; Enter or Escape compares the typed code with
// the enterprise's access code, letter case included, and sets AccessResult to "Y" on a
// match or shows "[InvaliD]". Either way the prompt closes: one attempt per showing.
class AccessPrompt {
public:
    static constexpr int FieldWidth = 10;

    explicit AccessPrompt(Session& session);

    // Enter or Escape in the field.
    void Confirm();
    // "Close": AccessResult stays as the caller set it.
    void Close() { closed = true; }

    QString txtField; // the typed code
    bool closed = false;

private:
    Session& m_session;
};

} // namespace kivo
