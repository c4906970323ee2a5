#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kivo {

// A report mail: one recipient, an HTML body and one PDF attachment.
struct ReportMail {
    QString to;
    QString from;
    QString subject;
    QString htmlBody;
    QString attachmentPath; // the file attached; its name without the folder names it in the mail
};

// Sends a report mail as a MIME message through the system's mail submission program (the
// sendmail interface that msmtp, postfix, exim or nullmailer provide): the message goes to its
// standard input and the program finds the recipients in the headers. Waits a bounded time
// for it, never for ever.
class ReportMailer {
public:
    // The system's submission program, run with "-t -i".
    ReportMailer();
    // A given program and arguments (tests hand msmtp its own configuration file).
    ReportMailer(QString program, QStringList arguments);

    // False when the system has no submission program: the mail is not set up.
    bool Available() const { return !m_program.isEmpty(); }
    QString Program() const { return m_program; }

    // Builds and hands over the message; false with a readable reason when the attachment
    // cannot be read, no submission program exists, the program refuses or does not finish
    // within the wait.
    bool Send(const ReportMail& mail, QString* error) const;
    void SetTimeoutMs(int milliseconds) { m_timeoutMs = milliseconds; }

    // The whole MIME message (headers, the HTML part with a plain-text twin, the attachment).
    static QByteArray Compose(const ReportMail& mail, const QByteArray& attachment);
    // "sendmail" in PATH, then in /usr/sbin and /usr/lib; "" when none.
    static QString FindSendmail();

private:
    QString m_program;
    QStringList m_arguments;
    int m_timeoutMs = 60000;
};

} // namespace kivo
