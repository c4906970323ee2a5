#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace kivo {

// Gives one palette role of a widget a colour; an invalid colour (a setting that could not be
// read) leaves the widget as designed.
inline void SetPaletteRole(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    if (!colour.isValid())
        return;
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace kivo
