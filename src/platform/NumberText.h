#pragma once

#include <optional>
#include <QString>

namespace kivo {

// Numbers as typed and shown. Amounts are always written with "." as the decimal point;
// a "," typed by the user is read as a decimal point.

// The value of a typed number ("12", " 12.50 ", "12,5", "-3", "1e3"), or nothing when the
// text is not a number. Empty text is not a number.
std::optional<double> ParseNumber(const QString& text);
inline bool IsNumeric(const QString& text)
{
    return ParseNumber(text).has_value();
}

// Rounds to the given number of decimal digits, halves to the even neighbour (as the
// program's rounding of amounts has always done): 2.345 -> 2.34, 2.355 -> 2.36, 2.5 -> 2,
// 1.005 -> 1 and 19.995 -> 20. The rounding is done on the decimal value that the program
// shows for the double (Money::FromDouble), so a typed 2.345 is a half although its double
// lies a hair below. Never returns -0.
double RoundHalfEven(double value, int digits);

// Formats with a picture such as "######0.00" or "000000": "0" a digit always shown, "#" a
// digit shown when needed, "." the decimal point; more integer digits than the picture has
// are all shown. Rounds half to even at the last shown digit, on the decimal value as
// RoundHalfEven does; a value that shows as zero has no sign.
QString FormatNumber(double value, const QString& picture = QStringLiteral("######0.00"));

// A number as text with no trailing zeros ("12.5", "3", "-0.25"), as a stored value is
// shown when it is turned into text.
QString NumberText(double value);

} // namespace kivo
