#pragma once

#include <QGenericPlugin>

namespace kivo::test {

// Loaded by Qt into an unchanged program through QT_QPA_GENERIC_PLUGINS
// ("kivoscreendriver:SCRIPT") and QT_PLUGIN_PATH; starts a ScreenDriver on the script.
class ScreenDriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "ScreenDriverPlugin.json")
public:
    QObject* create(const QString& key, const QString& parameters) override;
};

} // namespace kivo::test
