#pragma once

#include "ErrorNumbers.h"

#include <exception>
#include <functional>
#include <QDate>
#include <QString>

namespace kivo {

class DbError;
class Messages;

// The program's one error reporter. Appends "date,number,source,description" to the error
// log and shows "ErroR!". It never fails itself: when the log cannot be written (no Doc
// folder, a read-only folder, a full disk) the message is still shown and the caller goes on.
class ErrorReporter {
public:
    ErrorReporter(Messages& messages, QString logFile = {});

    void SetLogFile(const QString& logFile) { m_logFile = logFile; }
    QString LogFile() const { return m_logFile; }
    // The date written on each line; tests fix it, the program uses the clock.
    void SetClock(std::function<QDate()> today) { m_today = std::move(today); }

    void ReportError(int number, const QString& source, const QString& description);
    void ReportError(const DbError& error);

private:
    bool AppendLine(const QString& line);

    Messages& m_messages;
    QString m_logFile;
    std::function<QDate()> m_today;
};

// Runs one step of a routine: a failure is reported and the routine goes on with its next
// step. Returns whether the step completed, for the few routines that must know.
template <typename Step> bool TryStep(ErrorReporter& reporter, Step&& step);

} // namespace kivo

#include "DbError.h"

namespace kivo {

template <typename Step> bool TryStep(ErrorReporter& reporter, Step&& step)
{
    try {
        step();
        return true;
    } catch (const DbError& error) {
        reporter.ReportError(error);
    } catch (const std::exception& error) {
        reporter.ReportError(
            ErrorNumber::Unexpected, QStringLiteral("Kivo"), QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace kivo
