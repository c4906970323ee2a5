#include "TextPad.h"

namespace kivo {

QString PadText(const QString& text, int width)
{
    if (width <= 0)
        return {};
    return text.trimmed().left(width).leftJustified(width, u' ');
}

} // namespace kivo
