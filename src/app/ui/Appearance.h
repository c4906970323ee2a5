#pragma once

class QWidget;

namespace kivo {

class ProgramContext;

// Applies the look settings to a screen as it opens: background and label fonts on child
// windows of the main window, text colours everywhere. Does nothing when CDefaScrn is "Y".
// Each setting is read once: one that cannot be read (a colour that is no colour number) is
// reported once and left out, and the remaining settings are still applied to every control.
void ApplyAppearance(ProgramContext& context, QWidget* screen);

} // namespace kivo
