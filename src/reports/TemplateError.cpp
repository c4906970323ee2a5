#include "TemplateError.h"

namespace kivo {

QString TemplateError::Text() const
{
    if (line <= 0)
        return QStringLiteral("%1: %2").arg(file, message);
    return QStringLiteral("%1, line %2, column %3: %4").arg(file).arg(line).arg(column).arg(message);
}

} // namespace kivo
