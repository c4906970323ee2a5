#pragma once

#include <QString>

namespace kivo {

// Menu entries and counter buttons whose screens the program does not have yet. They are
// present and disabled; when a screen joins the program, its entries come off the list here
// (and the program wires what they open). Everything else starts enabled.
bool MenuEntryPending(const QString& menu, int entry);
// Quick button index (1 "BILLING" ... 7 "QUIT").
bool QuickButtonPending(int index);

} // namespace kivo
