#pragma once

#include <QString>

namespace kivo {

// A list item column: the text trimmed, cut to width characters and padded on the right
// with blanks to exactly width characters. Pickers read a pick back by cutting the line at
// the same widths, so every column of a list line must come from here.
QString PadText(const QString& text, int width);

} // namespace kivo
