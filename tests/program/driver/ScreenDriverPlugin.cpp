#include "ScreenDriverPlugin.h"

#include "ScreenDriver.h"

namespace kivo::test {

QObject* ScreenDriverPlugin::create(const QString& key, const QString& parameters)
{
    if (key.compare(QStringLiteral("kivoscreendriver"), Qt::CaseInsensitive) != 0)
        return nullptr;
    return new ScreenDriver(parameters);
}

} // namespace kivo::test
