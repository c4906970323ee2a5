#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kivo::test {

// The real program on one data folder, started as a user starts it, with the screen driver that
// Qt loads into it as a generic plugin running `script` (written to <work>/<name>.txt). The
// driver reports each step on the program's output as "driver: ..."; at a "checkpoint X" line
// the program waits until the file <work>/X.go appears, so a test can read the database there.
class ScriptedProgram {
public:
    ScriptedProgram(const QString& work, const QString& data, const QByteArray& script,
        const QString& name = QStringLiteral("script"));
    ~ScriptedProgram() { Kill(); }

    // The script's steps that log `user` in and wait for the main window.
    static QByteArray Login(const QString& user, const QString& password)
    {
        return (QStringLiteral("window Login\nfocus txtField(0)\ntype ") + user
            + QStringLiteral("\nkey Return\nfocus txtField(1)\ntype ") + password
            + QStringLiteral("\nkey Return\nwindow Kivo - Sales Software\n"))
            .toUtf8();
    }

    // Reads the driver's report up to the line "driver: <wanted>"; false (and the transcript
    // printed) when the program ended or the bound ran out first. The bound only stops a broken
    // run; it never paces one.
    bool Reach(const QString& wanted)
    {
        for (;;) {
            while (m_process.canReadLine()) {
                m_transcript << QString::fromUtf8(m_process.readLine()).trimmed();
                if (m_transcript.constLast() == QStringLiteral("driver: ") + wanted)
                    return true;
            }
            if (m_process.state() == QProcess::NotRunning || m_deadline.hasExpired()) {
                m_transcript << QString::fromUtf8(m_process.readAll());
                qInfo().noquote() << Transcript();
                return false;
            }
            m_process.waitForReadyRead(Remaining());
        }
    }

    // Lets the checkpoint reached before go on and reaches the checkpoint `checkpoint`; an empty
    // name reaches the script's end instead.
    bool Checkpoint(const QString& checkpoint)
    {
        if (!m_held.isEmpty())
            QFile(QDir(m_work).filePath(m_held + QStringLiteral(".go"))).open(QIODevice::WriteOnly);
        m_held = checkpoint;
        return Reach(
            checkpoint.isEmpty() ? QStringLiteral("done") : QStringLiteral("checkpoint ") + checkpoint);
    }

    // The exit code once the program has ended by itself; -1 when it did not end in time or
    // did not end normally.
    int Ended()
    {
        const bool ended = m_process.waitForFinished(Remaining());
        m_transcript << QString::fromUtf8(m_process.readAll()).trimmed();
        if (ended && m_process.exitStatus() == QProcess::NormalExit)
            return m_process.exitCode();
        qInfo().noquote() << Transcript();
        return -1;
    }

    void Kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    QString Transcript() const { return m_transcript.join(u'\n'); }

    // What the program wrote to its error log on the data folder; empty when it wrote nothing.
    QString LoggedErrors() const
    {
        QFile errorLog(QDir(m_data).filePath(QStringLiteral("Doc/Kivo.Err")));
        return errorLog.open(QIODevice::ReadOnly)
            ? QStringLiteral("Doc/Kivo.Err: ") + QString::fromUtf8(errorLog.readAll())
            : QString();
    }

private:
    int Remaining() const { return int(qMax<qint64>(1, m_deadline.remainingTime())); }

    QString m_work;
    QString m_data;
    QString m_held;
    QProcess m_process;
    QStringList m_transcript;
    QDeadlineTimer m_deadline { 120000 };
};

} // namespace kivo::test
