#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
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
    ~ScriptedProgram();
    ScriptedProgram(const ScriptedProgram&) = delete;
    ScriptedProgram& operator=(const ScriptedProgram&) = delete;

    // Reads the driver's report up to the line "driver: <wanted>"; false (and the transcript
    // printed) when the program ended or the bound ran out first. The bound only stops a broken
    // run; it never paces one.
    bool Reach(const QString& wanted);

    // Lets the checkpoint reached before go on and reaches the checkpoint `checkpoint`; an empty
    // name reaches the script's end instead.
    bool Checkpoint(const QString& checkpoint);

    // The exit code once the program has ended by itself; -1 when it did not end in time or
    // did not end normally.
    int Ended();

    void Kill();
    QString Transcript() const;

    // What the program wrote to its error log on the data folder; empty when it wrote nothing.
    QString LoggedErrors() const;

private:
    QString m_work;
    QString m_data;
    QString m_held;
    QProcess m_process;
    QStringList m_transcript;
    QDeadlineTimer m_deadline { 120000 };
};

} // namespace kivo::test
