#include "Money.h"

#include "DbError.h"
#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
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
template <typename Unsigned> Unsigned RoundQuotient(Unsigned quotient, Unsigned remainder, Unsigned divisor)
{
    const Unsigned rest = divisor - remainder; // compared instead of 2 x remainder, which may not fit
    if (remainder > rest || (remainder == rest && quotient % 2 == 1))
        ++quotient;
    return quotient;
}

// The decimal digits of a number of units, at least Scale + 1 of them (zeros in front), so
// that the last Scale digits are the fraction and the ones before them the whole part.
struct UnitDigits {
    char text[40];
    size_t size = 0;

    std::string_view Whole() const { return std::string_view(text, size - Money::Scale); }
    std::string_view Fraction() const { return std::string_view(text + size - Money::Scale, Money::Scale); }
};

UnitDigits Digits(Wide value)
{
    // In 64-bit pieces: digit by digit in 128 bits costs a library division per digit.
    UnitDigits digits;
    char* const begin = digits.text;
    char* const limit = begin + sizeof digits.text;
    char* end = begin;
    if (value >> 64 == 0) {
        end = std::to_chars(begin, limit, uint64_t(value)).ptr;
    } else {
        constexpr uint64_t piece = 1'000'000'000'000'000'000; // 10^18; the value is below 10^36
        const uint64_t low = uint64_t(value % piece);
        end = std::to_chars(begin, limit, uint64_t(value / piece)).ptr;
        char* const lowEnd = std::to_chars(end, limit, low).ptr;
        const size_t lowDigits = size_t(lowEnd - end);
        std::memmove(end + 18 - lowDigits, end, lowDigits);
        std::memset(end, '0', 18 - lowDigits);
        end += 18;
    }
    digits.size = size_t(end - begin);
    if (digits.size <= size_t(Money::Scale)) {
        const size_t zeros = size_t(Money::Scale) + 1 - digits.size;
        std::memmove(begin + zeros, begin, digits.size);
        std::memset(begin, '0', zeros);
        digits.size += zeros;
    }
    return digits;
}

// A number in units of 10^-Scale from "[+-]digits[.digits][e[+-]digits]" (at least one digit
// before the exponent), exact, with digits beyond the units rounded half to even. Nothing
// when the text is not of that form or the value is beyond the range.
std::optional<Signed> ParseUnits(std::string_view text)
{
    const auto isDigit = [&](size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };

    // First the shape: sign, the digits with their point, the exponent.
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    const size_t digitsBegin = at;
    long wholeDigits = -1; // digits before the point; all of them when there is no point
    for (; at < text.size(); ++at) {
        if (text[at] == '.' && wholeDigits < 0)
            wholeDigits = long(at - digitsBegin);
        else if (!isDigit(at))
            break;
    }
    const size_t digitsEnd = at;
    const long digitCount = long(digitsEnd - digitsBegin) - (wholeDigits < 0 ? 0 : 1);
    if (digitCount == 0)
        return std::nullopt;
    if (wholeDigits < 0)
        wholeDigits = digitCount;
    long exponent = 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        bool negativeExponent = false;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            negativeExponent = text[at++] == '-';
        if (!isDigit(at))
            return std::nullopt;
        for (; isDigit(at); ++at)
            exponent = std::min(exponent * 10 + (text[at] - '0'), 1'000'000L); // far beyond any range
        if (negativeExponent)
            exponent = -exponent;
    }
    if (at != text.size())
        return std::nullopt;

    // Then the value: digit k (counted without the point) is worth 10^(wholeDigits - 1 - k
    // + exponent); those down to the units' place make the units, the next one and any
    // non-zero digit after it decide the rounding.
    const long lastKept = wholeDigits + exponent + Money::Scale - 1;
    Wide units = 0;
    int keptDigits = 0; // significant digits in units
    char next = '0';
    bool beyondHalf = false;
    long k = 0;
    for (size_t i = digitsBegin; i < digitsEnd; ++i) {
        if (text[i] == '.')
            continue;
        if (k <= lastKept) {
            if ((units != 0 || text[i] != '0') && ++keptDigits > MaxDigits)
                return std::nullopt;
            units = units * 10 + Wide(text[i] - '0');
        } else if (k == lastKept + 1) {
            next = text[i];
        } else if (text[i] != '0') {
            beyondHalf = true;
        }
        ++k;
    }
    if (units != 0 && k <= lastKept) { // the units' place lies beyond the last digit
        if (keptDigits + (lastKept + 1 - k) > MaxDigits)
            return std::nullopt;
        units *= Pow10(int(lastKept + 1 - k));
    }
    if (next > '5' || (next == '5' && (beyondHalf || units % 2 == 1)))
        ++units;
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
    if (overflow || whole > MaxUnits)
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
    // from_chars rounds the exact decimal to the nearest double.
    const UnitDigits digits = Digits(Magnitude(m_units));
    char text[48];
    char* end = text;
    if (m_units < 0)
        *end++ = '-';
    end = std::copy_n(digits.text, digits.size, end);
    *end++ = 'e';
    end = std::to_chars(end, text + sizeof text, -Scale).ptr;
    double value = 0;
    std::from_chars(text, end, value);
    return value;
}

Money Money::Rounded(int digits) const
{
    if (digits >= Scale)
        return *this;
    if (digits < Scale - 38) // below the 10^38 place every amount rounds to zero
        return Money();
    const Wide step = Pow10(Scale - digits);
    const Wide magnitude = Magnitude(m_units);
    Wide steps = 0;
    if (magnitude >> 64 == 0 && step >> 64 == 0) {
        // Most amounts fit in 64 bits, where division is an instruction, not a library call.
        const uint64_t m = uint64_t(magnitude), s = uint64_t(step);
        steps = RoundQuotient(m / s, m % s, s);
    } else {
        steps = RoundQuotient(magnitude / step, magnitude % step, step);
    }
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
    const UnitDigits digits = Digits(Magnitude(shown.m_units));
    std::string_view whole = digits.Whole();
    const std::string_view fraction = digits.Fraction();
    // Past the digits held every decimal is zero; rounding has made zero those past the picture's.
    const auto decimal = [&](int i) { return i < Scale ? fraction[size_t(i)] : '0'; };
    // "#" after the point shows a digit only when it is needed: trailing zeros there go.
    int shownDecimals = decimals;
    while (shownDecimals > requiredDecimals && decimal(shownDecimals - 1) == '0')
        --shownDecimals;
    // "#" before the point shows a leading digit only when needed: ".50" for "#.00".
    if (whole == "0" && minimumIntegerDigits == 0)
        whole = {};

    QString text;
    text.reserve(qsizetype(whole.size()) + minimumIntegerDigits + shownDecimals + 2);
    // Zero has no sign, so -0.004 shows as "0.00".
    if (shown.IsNegative())
        text += u'-';
    if (whole.size() < size_t(minimumIntegerDigits))
        text += QString(minimumIntegerDigits - qsizetype(whole.size()), u'0');
    text += QLatin1String(whole.data(), qsizetype(whole.size()));
    if (shownDecimals > 0) {
        text += u'.';
        text += QLatin1String(fraction.data(), std::min(shownDecimals, Scale));
        if (shownDecimals > Scale)
            text += QString(shownDecimals - Scale, u'0');
    }
    return text;
}

QString Money::ToText() const
{
    const UnitDigits digits = Digits(Magnitude(m_units));
    std::string_view fraction = digits.Fraction();
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    QString text;
    if (IsNegative())
        text += u'-';
    text += QLatin1String(digits.Whole().data(), qsizetype(digits.Whole().size()));
    if (!fraction.empty())
        text += u'.' + QLatin1String(fraction.data(), qsizetype(fraction.size()));
    return text;
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
