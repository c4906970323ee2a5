#pragma once

#include "ErrorNumbers.h"

#include <compare>
#include <optional>
#include <QString>

namespace kivo {

// An amount, rate, quantity or percentage held as an exact decimal: a whole number of
// units of 10^-12, so sums of amounts never drift as binary doubles do (0.1 + 0.2 is 0.3,
// and a thousand times 0.01 is 10). Values stay within +-10^24; a result beyond that, and
// a division by zero, throws DbError (MoneyErrorNumber) instead of wrapping. A product or
// quotient with more than twelve decimals is rounded half to even at the twelfth.
// The database keeps amounts as doubles: FromDouble and ToDouble cross that boundary.
class Money {
public:
    static constexpr int Scale = 12; // decimal places held
    static constexpr int WholeDigits = 24; // whole digits held

    constexpr Money() = default;
    constexpr Money(int whole)
        : m_units(Units(whole) * UnitsPerWhole())
    {
    }
    constexpr Money(long long whole)
        : m_units(Units(whole) * UnitsPerWhole())
    {
    }
    // A double would silently lose its fraction through the whole-number constructors.
    Money(double) = delete;

    // Typed text, read as ParseNumber reads it ("12,5" is 12.5, blanks around are dropped,
    // "1e3" is 1000) but digit by digit, not through a double. Nothing when the text is not
    // a number or its value lies beyond the amount range; digits past the twelfth decimal
    // are rounded half to even.
    static std::optional<Money> FromText(const QString& text);

    // A stored double as the decimal the program shows for it: its shortest text that
    // reads back as the same double (2.345 is 2.345, not the binary value a hair below).
    // Only a result of binary arithmetic needs more than 15 significant digits; it is taken
    // at 15 (0.1 + 0.2 done in doubles is 0.3). Nothing for infinity, NaN or a value beyond
    // the amount range.
    static std::optional<Money> FromDouble(double value);

    // The nearest double, for storage.
    double ToDouble() const;

    // Rounded to the given number of decimal digits (negative: to tens, hundreds...),
    // halves to the even neighbour: 2.345 -> 2.34, 2.355 -> 2.36, 2.5 -> 2, -2.5 -> -2.
    Money Rounded(int digits) const;

    // Formatted with a picture such as "######0.00" or "000000": "0" a digit always shown,
    // "#" a digit shown when needed, "." the decimal point; more integer digits than the
    // picture has are all shown. Rounds half to even at the last shown digit; a value that
    // shows as zero has no sign.
    QString Format(const QString& picture = QStringLiteral("######0.00")) const;

    // The value with no trailing zeros ("12.5", "3", "-0.25").
    QString ToText() const;

    bool IsZero() const { return m_units == 0; }
    bool IsNegative() const { return m_units < 0; }

    Money operator-() const;
    Money operator+(const Money& other) const;
    Money operator-(const Money& other) const;
    // Quantity x rate, amount x factor.
    Money operator*(const Money& other) const;
    Money operator/(const Money& other) const;
    Money& operator+=(const Money& other) { return *this = *this + other; }
    Money& operator-=(const Money& other) { return *this = *this - other; }
    // This amount x percent / 100, rounded once: a discount or tax before it is rounded to
    // the shop's decimals.
    Money Percent(const Money& percent) const;

    friend bool operator==(const Money&, const Money&) = default;
    friend std::strong_ordering operator<=>(const Money& a, const Money& b)
    {
        return a.m_units <=> b.m_units;
    }

private:
    __extension__ using Units = __int128;

    static constexpr Units UnitsPerWhole()
    {
        Units units = 1;
        for (int i = 0; i < Scale; ++i)
            units *= 10;
        return units;
    }
    static Money FromUnits(Units units);

    Units m_units = 0;
};

} // namespace kivo
