#pragma once

#include <QDate>
#include <QString>

namespace kivo {

// Dates as the program writes and reads them: the system's numeric short date form with a
// four-digit year (under the C locale "yyyy-MM-dd"). The same format is used both ways, so
// a date written by ShortDate reads back through ParseShortDate unchanged.
QString ShortDateFormat();
QString ShortDate(const QDate& date);
// Accepts the short date form and, as a fallback, ISO "yyyy-MM-dd". Invalid QDate otherwise.
QDate ParseShortDate(const QString& text);

// A date written for a statement: "#MM/DD/YYYY#", always with "/" between the parts.
QString SqlDate(const QDate& date);

} // namespace kivo
