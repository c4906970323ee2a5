#pragma once

#include <QDate>
#include <QString>

namespace kivo {

// Dates as the program writes and reads them: the locale's numeric short date form with a
// four-digit year (under the C locale "yyyy-MM-dd"; en_US "M/d/yyyy"; de_DE "dd.MM.yyyy").
// The locale is QLocale(), the default locale: it follows the system's unless the program
// (or a test) sets another with QLocale::setDefault. The same format is used both ways, so a
// date written by ShortDate reads back through ParseShortDate unchanged.
QString ShortDateFormat();
QString ShortDate(const QDate& date); // "" for an invalid date
// The most characters a date takes in the short date form (10 for "yyyy-MM-dd", 13 for
// Hungarian "yyyy. MM. dd."): the typing limit of a date field.
int ShortDateLength();
// Accepts the short date form (a day or month may drop its leading zero; the year needs its
// four digits) and ISO "yyyy-MM-dd". An invalid QDate for anything else, including a date
// that does not exist (Feb 30) or trailing text.
QDate ParseShortDate(const QString& text);

// A date written for a statement: "#MM/DD/YYYY#", always with "/" between the parts.
QString SqlDate(const QDate& date);

} // namespace kivo
