#include "ErrorReporter.h"

#include "DateText.h"
#include "DbError.h"
#include "Messages.h"

#include <QFile>

namespace kivo {

ErrorReporter::ErrorReporter(Messages& messages, QString logFile)
    : m_messages(messages)
    , m_logFile(std::move(logFile))
    , m_today([] { return QDate::currentDate(); })
{
}

void ErrorReporter::ReportError(const DbError& error)
{
    ReportError(error.number, error.source, error.description);
}

void ErrorReporter::ReportError(int number, const QString& source, const QString& description)
{
    // Fields are not quoted: a description holding a comma gives the line more fields, as
    // the log has always been read, but the source is one field, so a comma in it (a
    // statement passed as the source) must not shift the description. Line breaks inside
    // would start a false line.
    QString oneField = source;
    oneField.replace(u',', u';');
    QString line
        = ShortDate(m_today()) + u',' + QString::number(number) + u',' + oneField + u',' + description;
    line.replace(u'\n', u' ');
    line.replace(u'\r', u' ');
    AppendLine(line);
    m_messages.Notice(QStringLiteral("ErroR!"));
}

bool ErrorReporter::AppendLine(const QString& line)
{
    if (m_logFile.isEmpty())
        return false;
    QFile file(m_logFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const qint64 before = file.size();
    const QByteArray bytes = (line + u'\n').toUtf8();
    // One write for the whole line; on a short write (a full disk) the partial line is
    // cut off again, so the log never holds half a line.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.resize(before);
        return false;
    }
    return true;
}

} // namespace kivo
