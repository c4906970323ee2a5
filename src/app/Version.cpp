#include "Version.h"

namespace kivo {

QString VersionText()
{
    return QStringLiteral("Kivo 9.0.") + QString::number(KIVO_REVISION).trimmed();
}

} // namespace kivo
