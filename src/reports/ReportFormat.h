#pragma once

#include <QString>

namespace kivo {

struct ReportValue;

// The `format` of a report field and of format(x, "pattern").
class ReportFormat {
public:
    // Whether a pattern can be used: a number pattern of '#', '0', ',' and '.', "shortdate",
    // or a date pattern of d, M and y with separators.
    static bool IsValid(const QString& pattern);
    // A value as the pattern shows it; an empty pattern shows numbers as the database gives
    // them and dates in the short date form.
    static QString Apply(const ReportValue& value, const QString& pattern);
    // A number with a number pattern: "#####0.00" two decimals, "#,##0.00" thousands grouped,
    // "0" a whole number; halves are rounded away from zero on the number's decimal text.
    static QString Number(double value, const QString& pattern);
    // A number with exactly `decimals` decimals, halves away from zero: fixed(x, n).
    static QString Fixed(double value, int decimals);
};

} // namespace kivo
