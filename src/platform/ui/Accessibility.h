#pragma once

#include <QString>

class QWidget;

namespace kivo {

// Gives a control its accessible name (its caption, or its element's name where it has no
// caption) and, as description, its element's name ("txtField(3)", "cmdCheck"). Screen
// readers use these, and so do the end-to-end checks that drive the program from outside.
void Describe(QWidget* widget, const QString& caption, const QString& element);

} // namespace kivo
