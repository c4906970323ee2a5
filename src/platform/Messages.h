#pragma once

#include <QString>

namespace kivo {

// The one way the program talks to the user in a message box. Logic asks and notifies
// through this interface and never opens a dialog itself; the window implementation
// shows message boxes, tests script the answers.
class Messages {
public:
    virtual ~Messages() = default;
    // A notice with an OK button ("Checkout Completed !").
    virtual void Notice(const QString& text) = 0;
    // A question with Yes and No; only Yes goes on ("Confirm Checkout ?").
    virtual bool Ask(const QString& text) = 0;
};

} // namespace kivo
