#include "ReportMailer.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <vmime/vmime.hpp>

namespace kivo {

namespace {

std::string Utf8(const QString& text)
{
    return text.toStdString();
}

// The HTML body without its tags, for mail readers that show plain text.
QString PlainText(const QString& html)
{
    QString text = html;
    text.replace(QRegularExpression(QStringLiteral("<br\\s*/?>"), QRegularExpression::CaseInsensitiveOption),
        QStringLiteral("\n"));
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return text;
}

} // namespace

ReportMailer::ReportMailer()
    : m_program(FindSendmail())
    , m_arguments { QStringLiteral("-t"), QStringLiteral("-i") }
{
}

ReportMailer::ReportMailer(QString program, QStringList arguments)
    : m_program(std::move(program))
    , m_arguments(std::move(arguments))
{
}

QString ReportMailer::FindSendmail()
{
    const QString name = QStringLiteral("sendmail");
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(
            name, { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/lib") });
    return found;
}

QByteArray ReportMailer::Compose(const ReportMail& mail, const QByteArray& attachment)
{
    vmime::messageBuilder builder;
    builder.setExpeditor(vmime::mailbox(Utf8(mail.from)));
    builder.getRecipients().appendAddress(vmime::make_shared<vmime::mailbox>(Utf8(mail.to)));
    builder.setSubject(vmime::text(Utf8(mail.subject), vmime::charsets::UTF_8));

    builder.constructTextPart(vmime::mediaType(vmime::mediaTypes::TEXT, vmime::mediaTypes::TEXT_HTML));
    auto body = vmime::dynamicCast<vmime::htmlTextPart>(builder.getTextPart());
    body->setCharset(vmime::charsets::UTF_8);
    body->setText(vmime::make_shared<vmime::stringContentHandler>(Utf8(mail.htmlBody)));
    body->setPlainText(vmime::make_shared<vmime::stringContentHandler>(Utf8(PlainText(mail.htmlBody))));

    const std::string data(attachment.constData(), size_t(attachment.size()));
    builder.appendAttachment(vmime::make_shared<vmime::defaultAttachment>(
        vmime::make_shared<vmime::stringContentHandler>(data), vmime::encoding(vmime::encodingTypes::BASE64),
        vmime::mediaType(vmime::mediaTypes::APPLICATION, "pdf"), vmime::text(),
        vmime::word(Utf8(QFileInfo(mail.attachmentPath).fileName()), vmime::charsets::UTF_8)));

    const vmime::shared_ptr<vmime::message> message = builder.construct();
    std::string text;
    vmime::utility::outputStreamStringAdapter out(text);
    message->generate(out);
    return QByteArray(text.data(), qsizetype(text.size()));
}

bool ReportMailer::Send(const ReportMail& mail, QString* error) const
{
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!Available())
        return fail(QStringLiteral("No mail submission program (sendmail) is installed."));

    QFile file(mail.attachmentPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("The report file %1 cannot be read: %2")
                        .arg(mail.attachmentPath, file.errorString()));
    QByteArray message;
    try {
        message = Compose(mail, file.readAll());
    } catch (const std::exception& e) {
        return fail(QStringLiteral("The mail cannot be composed: %1").arg(QString::fromLocal8Bit(e.what())));
    }

    QProcess process;
    process.start(m_program, m_arguments);
    if (!process.waitForStarted(m_timeoutMs))
        return fail(
            QStringLiteral("The mail program %1 does not start: %2").arg(m_program, process.errorString()));
    process.write(message);
    process.closeWriteChannel();
    if (!process.waitForFinished(m_timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return fail(QStringLiteral("The mail program %1 did not finish within %2 seconds.")
                        .arg(m_program)
                        .arg(m_timeoutMs / 1000));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return fail(QStringLiteral("The mail program %1 refused the mail (exit status %2)%3")
                        .arg(m_program)
                        .arg(process.exitCode())
                        .arg(said.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + said));
    }
    return true;
}

} // namespace kivo
