#include "ScriptedProgram.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

using namespace Qt::StringLiterals;

namespace kivo::test {

namespace {

int Remaining(const QDeadlineTimer& deadline)
{
    return int(qMax<qint64>(1, deadline.remainingTime()));
}

} // namespace

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

ScriptedProgram::~ScriptedProgram()
{
    Kill();
}

bool ScriptedProgram::Reach(const QString& wanted)
{
    const QString line = u"driver: "_s + wanted;
    for (;;) {
        while (m_process.canReadLine()) {
            m_transcript << QString::fromUtf8(m_process.readLine()).trimmed();
            if (m_transcript.constLast() == line)
                return true;
        }
        if (m_process.state() == QProcess::NotRunning || m_deadline.hasExpired()) {
            m_transcript << QString::fromUtf8(m_process.readAll());
            qInfo().noquote() << Transcript();
            return false;
        }
        m_process.waitForReadyRead(Remaining(m_deadline));
    }
}

bool ScriptedProgram::Checkpoint(const QString& checkpoint)
{
    if (!m_held.isEmpty())
        QFile(QDir(m_work).filePath(m_held + u".go"_s)).open(QIODevice::WriteOnly);
    m_held = checkpoint;
    return checkpoint.isEmpty() ? Reach(u"done"_s) : Reach(u"checkpoint "_s + checkpoint);
}

int ScriptedProgram::Ended()
{
    const bool ended = m_process.waitForFinished(Remaining(m_deadline));
    m_transcript << QString::fromUtf8(m_process.readAll()).trimmed();
    if (!ended || m_process.exitStatus() != QProcess::NormalExit) {
        qInfo().noquote() << Transcript();
        return -1;
    }
    return m_process.exitCode();
}

void ScriptedProgram::Kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

QString ScriptedProgram::Transcript() const
{
    return m_transcript.join(u'\n');
}

QString ScriptedProgram::LoggedErrors() const
{
    QFile errorLog(QDir(m_data).filePath(u"Doc/Kivo.Err"_s));
    if (!errorLog.open(QIODevice::ReadOnly))
        return QString();
    return u"Doc/Kivo.Err: "_s + QString::fromUtf8(errorLog.readAll());
}

} // namespace kivo::test
