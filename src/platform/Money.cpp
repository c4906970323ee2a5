#include "Money.h"

#include "DbError.h"
#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace kivo {

namespace {

__extension__ using Wide = unsigned __int128;
__extension__ using Signed = __int128;

constexpr Wide Pow10(int n)
{
    Wide power = 1;
    while (n-- > 0)
        power *= 10;
    return power;
}

constexpr int MaxDigits = Money::Scale + Money::WholeDigits; // 36 digits of units
constexpr Wide MaxUnits = Pow10(MaxDigits) - 1;
constexpr Wide UnitsInOne = Pow10(Money::Scale);

[[noreturn]] void Fail(int number, const char* description)
{
    throw DbError(number, QStringLiteral("Money"), QString::fromLatin1(description));
}

[[noreturn]] void Overflow()
{
    Fail(MoneyErrorNumber::Overflow, "Overflow");
}

Wide Magnitude(Signed value)
{
    return value < 0 ? Wide(0) - Wide(value) : Wide(value);
}

Signed WithSign(Wide magnitude, bool negative)
{
    if (magnitude > MaxUnits)
        Overflow();
    return negative ? -Signed(magnitude) : Signed(magnitude);
}

// quotient rounded half to even, given the remainder of the division by divisor.
Wide RoundQuotient(Wide quotient, Wide remainder, Wide divisor)
{
    const Wide rest = divisor - remainder; // compared instead of 2 x remainder, which may not fit
    if (remainder > rest || (remainder == rest && quotient % 2 == 1))
        ++quotient;
    return quotient;
}

std::string Digits(Wide value)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(value % 10)));
        value /= 10;
    } while (value != 0);
    return digits;
}

// A number in units of 10^-Scale from "[+-]digits[.digits][e[+-]digits]" (at least one digit
// before the exponent), exact, with digits beyond the units rounded half to even. Nothing
// when the text is not of that form or the value is beyond the range.
std::optional<Signed> ParseUnits(std::string_view text)
{
    size_t at = 0;
    const auto more = [&] { return at < text.size(); };
    const auto isDigit = [&] { return more() && text[at] >= '0' && text[at] <= '9'; };

    bool negative = false;
    if (more() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    std::string significant; // without leading zeros
    long fractionDigits = 0;
    bool anyDigit = false;
    bool inFraction = false;
    for (; more(); ++at) {
        if (isDigit()) {
            anyDigit = true;
            if (!significant.empty() || text[at] != '0')
                significant += text[at];
            if (inFraction)
                ++fractionDigits;
        } else if (text[at] == '.' && !inFraction) {
            inFraction = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    long exponent = 0;
    if (more() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        bool negativeExponent = false;
        if (more() && (text[at] == '+' || text[at] == '-'))
            negativeExponent = text[at++] == '-';
        if (!isDigit())
            return std::nullopt;
        for (; isDigit(); ++at)
            exponent = std::min(exponent * 10 + (text[at] - '0'), 1'000'000L); // far beyond any range
        if (negativeExponent)
            exponent = -exponent;
    }
    if (more())
        return std::nullopt;
    if (significant.empty())
        return Signed(0);

    // The units are the significant digits times 10^shift.
    const long length = long(significant.size());
    const long shift = exponent - fractionDigits + Money::Scale;
    const long unitDigits = length + shift; // digits left of the units' point
    if (unitDigits > MaxDigits)
        return std::nullopt;
    Wide units = 0;
    for (long i = 0; i < std::min(length, unitDigits); ++i)
        units = units * 10 + Wide(significant[size_t(i)] - '0');
    if (shift > 0) {
        units *= Pow10(int(shift));
    } else if (shift < 0 && unitDigits >= 0) {
        const char next = significant[size_t(unitDigits)];
        const bool beyondHalf
            = significant.find_first_not_of('0', size_t(unitDigits) + 1) != std::string::npos;
        if (next > '5' || (next == '5' && (beyondHalf || units % 2 == 1)))
            ++units;
    }
    if (units > MaxUnits)
        return std::nullopt;
    return negative ? -Signed(units) : Signed(units);
}

// a x b / divisor, rounded half to even, for divisors up to 10^19 (so that the product of
// two remainders fits). Written in parts so that no step overflows before the result does.
Signed MultiplyDivide(Signed a, Signed b, Wide divisor)
{
    const Wide x = Magnitude(a);
    const Wide y = Magnitude(b);
    const Wide xHigh = x / divisor, xLow = x % divisor;
    const Wide yHigh = y / divisor, yLow = y % divisor;
    // x y / d = xHigh yHigh d + xHigh yLow + xLow yHigh + xLow yLow / d
    Wide whole = 0, term = 0;
    const bool overflow = __builtin_mul_overflow(xHigh, yHigh, &term)
        || __builtin_mul_overflow(term, divisor, &whole) || __builtin_mul_overflow(xHigh, yLow, &term)
        || __builtin_add_overflow(whole, term, &whole) || __builtin_mul_overflow(xLow, yHigh, &term)
        || __builtin_add_overflow(whole, term, &whole)
        || __builtin_add_overflow(whole, xLow * yLow / divisor, &whole);
    if (overflow)
        Overflow();
    return WithSign(RoundQuotient(whole, xLow * yLow % divisor, divisor), (a < 0) != (b < 0));
}

} // namespace

Money Money::FromUnits(Units units)
{
    Money money;
    money.m_units = WithSign(Magnitude(units), units < 0);
    return money;
}

std::optional<Money> Money::FromText(const QString& text)
{
    // ParseNumber decides what is a number, so a field and its amount never disagree.
    if (!ParseNumber(text))
        return std::nullopt;
    QString t = text.trimmed();
    t.replace(u',', u'.');
    const QByteArray ascii = t.toLatin1();
    const std::optional<Signed> units = ParseUnits(std::string_view(ascii.constData(), size_t(ascii.size())));
    if (!units)
        return std::nullopt;
    return FromUnits(*units);
}

std::optional<Money> Money::FromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // 15 significant digits: exactly the shortest text of any double that was typed or read
    // (it has at most 15), and the shown value of one that carries binary noise beyond them.
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 14);
    const std::optional<Signed> units = ParseUnits(std::string_view(text, size_t(written.ptr - text)));
    if (!units)
        return std::nullopt;
    return FromUnits(*units);
}

double Money::ToDouble() const
{
    const std::string text = (m_units < 0 ? "-" : "") + Digits(Magnitude(m_units)) + "e-12";
    static_assert(Scale == 12);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

Money Money::Rounded(int digits) const
{
    if (digits >= Scale)
        return *this;
    if (Scale - digits > 38) // below the 10^38 place every amount rounds to zero
        return Money();
    const Wide step = Pow10(Scale - digits);
    const Wide magnitude = Magnitude(m_units);
    const Wide steps = RoundQuotient(magnitude / step, magnitude % step, step);
    return FromUnits(WithSign(steps * step, m_units < 0));
}

QString Money::Format(const QString& picture) const
{
    const qsizetype point = picture.indexOf(u'.');
    const QStringView integerPart = point < 0 ? QStringView(picture) : QStringView(picture).first(point);
    const QStringView decimalPart = point < 0 ? QStringView() : QStringView(picture).sliced(point + 1);
    const int minimumIntegerDigits = int(integerPart.count(u'0'));
    const int decimals = int(decimalPart.count(u'0') + decimalPart.count(u'#'));
    const int requiredDecimals = int(decimalPart.count(u'0'));

    const Money shown = Rounded(decimals);
    std::string digits = Digits(Magnitude(shown.m_units));
    if (digits.size() <= size_t(Scale))
        digits.insert(0, size_t(Scale) + 1 - digits.size(), '0');
    std::string integer = digits.substr(0, digits.size() - Scale);
    std::string fraction = digits.substr(digits.size() - Scale);
    fraction.resize(size_t(decimals), '0'); // cut digits that rounding made zero, or add zeros
    // "#" after the point shows a digit only when it is needed: drop trailing zeros there.
    while (fraction.size() > size_t(requiredDecimals) && fraction.back() == '0')
        fraction.pop_back();
    // "#" before the point shows a leading digit only when needed: ".50" for "#.00".
    if (integer == "0" && minimumIntegerDigits == 0)
        integer.clear();
    if (integer.size() < size_t(minimumIntegerDigits))
        integer.insert(0, size_t(minimumIntegerDigits) - integer.size(), '0');

    QString text = QString::fromLatin1(integer);
    if (!fraction.empty())
        text += u'.' + QString::fromLatin1(fraction);
    // Zero has no sign, so -0.004 shows as "0.00".
    if (shown.IsNegative())
        text.prepend(u'-');
    return text;
}

QString Money::ToText() const
{
    std::string digits = Digits(Magnitude(m_units));
    if (digits.size() <= size_t(Scale))
        digits.insert(0, size_t(Scale) + 1 - digits.size(), '0');
    digits.insert(digits.size() - Scale, 1, '.');
    while (digits.back() == '0')
        digits.pop_back();
    if (digits.back() == '.')
        digits.pop_back();
    return (IsNegative() ? QStringLiteral("-") : QString()) + QString::fromLatin1(digits);
}

Money Money::operator-() const
{
    return FromUnits(-m_units);
}

Money Money::operator+(const Money& other) const
{
    return FromUnits(m_units + other.m_units); // both within 10^36, so the sum fits before the check
}

Money Money::operator-(const Money& other) const
{
    return FromUnits(m_units - other.m_units);
}

Money Money::operator*(const Money& other) const
{
    return FromUnits(MultiplyDivide(m_units, other.m_units, UnitsInOne));
}

Money Money::Percent(const Money& percent) const
{
    return FromUnits(MultiplyDivide(m_units, percent.m_units, UnitsInOne * 100));
}

Money Money::operator/(const Money& other) const
{
    if (other.m_units == 0)
        Fail(MoneyErrorNumber::DivisionByZero, "Division by zero");
    // Long division, one decimal digit at a time: the remainder stays below the divisor
    // (< 10^36), so ten times it always fits.
    const Wide divisor = Magnitude(other.m_units);
    Wide magnitude = Magnitude(m_units);
    Wide quotient = magnitude / divisor;
    Wide remainder = magnitude % divisor;
    for (int i = 0; i < Scale; ++i) {
        if (quotient > MaxUnits)
            Overflow();
        remainder *= 10;
        quotient = quotient * 10 + remainder / divisor;
        remainder %= divisor;
    }
    return FromUnits(
        WithSign(RoundQuotient(quotient, remainder, divisor), (m_units < 0) != (other.m_units < 0)));
}

} // namespace kivo
