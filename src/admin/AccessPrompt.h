#pragma once

#include "PasswordHash.h"

#include <QString>

namespace kivo {

class ProgramContext;

// The access-code prompt's state and check, without any widget. Enter or Escape compares the
// typed code with the enterprise's access code (kept as its hash), letter case included: a match grants
// access, anything else shows "[InvaliD]". Either way the prompt closes: one attempt per showing, and the
// caller reads `granted`.
class AccessPrompt {
public:
    static constexpr int FieldWidth = PasswordHash::TypedLength;

    explicit AccessPrompt(ProgramContext& context);

    // Enter or Escape in the field.
    void Confirm();
    // "Close": no access.
    void Close() { closed = true; }

    QString txtField; // the typed code
    bool closed = false;
    bool granted = false;

private:
    ProgramContext& m_context;
};

} // namespace kivo
