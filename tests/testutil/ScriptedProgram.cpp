#include "ScriptedProgram.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

using namespace Qt::StringLiterals;

namespace kivo::test {

ScriptedProgram::ScriptedProgram(
    const QString& work, const QString& data, const QByteArray& script, const QString& name)
    : m_work(work)
    , m_data(data)
{
    QFile file(QDir(work).filePath(name + u".txt"_s));
    if (file.open(QIODevice::WriteOnly))
        file.write(script);
    file.close();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"QT_PLUGIN_PATH"_s, QStringLiteral(KIVO_DRIVER_PLUGINS));
    environment.insert(u"QT_QPA_GENERIC_PLUGINS"_s, u"kivoscreendriver:"_s + file.fileName());
    environment.insert(u"LC_ALL"_s, u"C"_s);
    environment.insert(u"TZ"_s, u"UTC"_s);
    m_process.setProcessEnvironment(environment);
    m_process.start(QStringLiteral(KIVO_PROGRAM), { u"--app-folder"_s, data });
}

} // namespace kivo::test
