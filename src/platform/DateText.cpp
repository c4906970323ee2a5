#include "DateText.h"

#include <QLocale>

namespace kivo {

QString ShortDateFormat()
{
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        return QStringLiteral("yyyy-MM-dd");
    QString format = locale.dateFormat(QLocale::ShortFormat);
    // Widen a two-digit year to four digits; keep day, month and separators as the locale has them.
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

QString ShortDate(const QDate& date)
{
    if (!date.isValid())
        return {};
    return date.toString(ShortDateFormat());
}

QDate ParseShortDate(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    QDate date = QDate::fromString(trimmed, ShortDateFormat());
    if (!date.isValid())
        date = QDate::fromString(trimmed.left(10), Qt::ISODate);
    return date;
}

QString SqlDate(const QDate& date)
{
    return u'#' + date.toString(QStringLiteral("MM/dd/yyyy")) + u'#';
}

} // namespace kivo
