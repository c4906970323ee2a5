#include "DateText.h"

#include <QLocale>

namespace kivo {

namespace {

// The locale's short date format with every year field widened to four digits ("M/d/yy"
// -> "M/d/yyyy"); quoted literal text in the format is left alone.
QString WidenYear(const QString& format)
{
    QString widened;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            widened += c;
            ++i;
        } else if (!quoted && c == u'y') {
            while (i < format.size() && format[i] == u'y')
                ++i;
            widened += QStringLiteral("yyyy");
        } else {
            widened += c;
            ++i;
        }
    }
    return widened;
}

// Reading accepts a day or month with or without its leading zero ("5.3.2026" as well as
// "05.03.2026"); the year must have its four digits.
QString Lenient(const QString& format)
{
    QString lenient;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && (c == u'd' || c == u'M') && i + 1 < format.size() && format[i + 1] == c
            && (i + 2 >= format.size() || format[i + 2] != c) && (i == 0 || format[i - 1] != c)) {
            lenient += c;
            ++i;
            continue;
        }
        lenient += c;
    }
    return lenient;
}

struct Formats {
    QLocale locale;
    QString write;
    QString read;
};

const Formats& CurrentFormats()
{
    // The formats follow the default locale; they are worked out again only when it changes.
    thread_local Formats cached { QLocale::c(), QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyy-M-d") };
    const QLocale locale;
    if (!(locale == cached.locale)) {
        cached.locale = locale;
        cached.write = locale.language() == QLocale::C ? QStringLiteral("yyyy-MM-dd")
                                                       : WidenYear(locale.dateFormat(QLocale::ShortFormat));
        cached.read = Lenient(cached.write);
    }
    return cached;
}

} // namespace

QString ShortDateFormat()
{
    return CurrentFormats().write;
}

QString ShortDate(const QDate& date)
{
    if (!date.isValid())
        return {};
    return date.toString(CurrentFormats().write);
}

int ShortDateLength()
{
    // Two-digit days and months give the longest text; a locale may still write a
    // month's name, so several months are measured.
    int longest = 0;
    for (int month = 1; month <= 12; ++month)
        longest = qMax(longest, int(ShortDate(QDate(2026, month, 28)).size()));
    return longest;
}

QDate ParseShortDate(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    QDate date = QDate::fromString(trimmed, CurrentFormats().read);
    if (!date.isValid())
        date = QDate::fromString(trimmed, QStringLiteral("yyyy-MM-dd"));
    return date;
}

QString SqlDate(const QDate& date)
{
    // QDate::toString with a format writes "/" as given and digits as ASCII in every locale.
    return u'#' + date.toString(QStringLiteral("MM/dd/yyyy")) + u'#';
}

} // namespace kivo
