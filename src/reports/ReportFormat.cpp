#include "ReportFormat.h"

#include "DateText.h"
#include "NumberText.h"
#include "ReportExpression.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <QLocale>

namespace kivo {

namespace {

struct NumberPattern {
    int integerZeros = 0; // integer digits always shown
    int decimalZeros = 0; // decimals always shown
    int decimals = 0; // decimals shown at most
    bool grouped = false;
};

// A pattern of '#', '0', ',' and '.' with at least one digit place; nothing for any other.
std::optional<NumberPattern> ReadNumberPattern(QStringView pattern)
{
    NumberPattern read;
    bool point = false;
    bool digit = false;
    for (const QChar c : pattern) {
        if (c == u'.') {
            if (point)
                return std::nullopt;
            point = true;
        } else if (c == u',') {
            if (point)
                return std::nullopt;
            read.grouped = true;
        } else if (c == u'0' || c == u'#') {
            digit = true;
            if (!point) {
                read.integerZeros += c == u'0';
            } else {
                ++read.decimals;
                // A '0' after a '#' still shows: the places up to the last '0' are fixed.
                if (c == u'0')
                    read.decimalZeros = read.decimals;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!digit)
        return std::nullopt;
    return read;
}

bool IsDatePattern(QStringView pattern)
{
    bool letter = false;
    for (const QChar c : pattern) {
        if (c == u'd' || c == u'M' || c == u'y')
            letter = true;
        else if (c.isLetterOrNumber() || c == u'\'')
            return false;
    }
    return letter;
}

bool IsShortDate(QStringView pattern)
{
    return pattern.compare(u"shortdate", Qt::CaseInsensitive) == 0;
}

// The decimal digits of |value| rounded at `decimals` places, halves away from zero, taken
// from the shortest text that reads back as the value (2.675 is a half, though its double
// lies a hair below). Returns the digits with `decimals` of them after the point.
QString RoundedDigits(double value, int decimals)
{
    const QString shortest = QString::number(std::fabs(value), 'e', QLocale::FloatingPointShortest);
    const qsizetype e = shortest.indexOf(u'e');
    QString digits = shortest.left(e);
    digits.remove(u'.');
    const int exponent = shortest.mid(e + 1).toInt();
    // value = 0.digits * 10^(exponent + 1)
    int integerDigits = exponent + 1;
    if (integerDigits < 0) {
        digits.prepend(QString(-integerDigits, u'0'));
        integerDigits = 0;
    }
    const qsizetype keep = qsizetype(integerDigits) + decimals;
    if (digits.size() < keep)
        digits.append(QString(keep - digits.size(), u'0'));
    const bool up = digits.size() > keep && digits[keep] >= u'5';
    digits.truncate(keep);
    if (up) {
        qsizetype i = keep - 1;
        for (; i >= 0 && digits[i] == u'9'; --i)
            digits[i] = u'0';
        if (i >= 0)
            digits[i] = QChar(digits[i].unicode() + 1);
        else
            digits.prepend(u'1');
    }
    if (digits.size() < decimals + 1)
        digits.prepend(QString(decimals + 1 - digits.size(), u'0'));
    return digits;
}

QString ShowNumber(double value, const NumberPattern& pattern)
{
    if (!std::isfinite(value))
        return QString();
    const int decimals = qBound(0, pattern.decimals, 15);
    const QString digits = RoundedDigits(value, decimals);
    QString whole = digits.left(digits.size() - decimals);
    QString fraction = digits.right(decimals);
    while (fraction.size() > pattern.decimalZeros && fraction.endsWith(u'0'))
        fraction.chop(1);
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.size() < pattern.integerZeros)
        whole.prepend(QString(pattern.integerZeros - whole.size(), u'0'));
    if (pattern.grouped)
        for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
            whole.insert(at, u',');
    QString text = fraction.isEmpty() ? whole : whole + u'.' + fraction;
    const bool zero = std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c == u'0'; });
    if (value < 0 && !zero)
        text.prepend(u'-');
    return text;
}

QDate DateOf(const ReportValue& value)
{
    if (value.type == ReportValue::Type::Date)
        return value.date;
    if (value.type == ReportValue::Type::Text)
        return ParseShortDate(value.text.trimmed());
    return QDate();
}

} // namespace

bool ReportFormat::IsValid(const QString& pattern)
{
    return IsShortDate(pattern) || ReadNumberPattern(pattern).has_value() || IsDatePattern(pattern);
}

QString ReportFormat::Number(double value, const QString& pattern)
{
    const std::optional<NumberPattern> read = ReadNumberPattern(pattern);
    return read ? ShowNumber(value, *read) : NumberText(value);
}

QString ReportFormat::Fixed(double value, int decimals)
{
    NumberPattern pattern;
    pattern.integerZeros = 1;
    pattern.decimals = pattern.decimalZeros = qBound(0, decimals, 15);
    return ShowNumber(value, pattern);
}

QString ReportFormat::Apply(const ReportValue& value, const QString& pattern)
{
    if (pattern.isEmpty())
        return value.ToText();
    if (const std::optional<NumberPattern> read = ReadNumberPattern(pattern)) {
        switch (value.type) {
        case ReportValue::Type::Text:
            if (const std::optional<double> number = ParseNumber(value.text))
                return ShowNumber(*number, *read);
            return value.text;
        case ReportValue::Type::Date:
            return value.ToText();
        default:
            return ShowNumber(value.ToNumber(), *read);
        }
    }
    const bool shortDate = IsShortDate(pattern);
    if (!shortDate && !IsDatePattern(pattern))
        return value.ToText();
    const QDate date = DateOf(value);
    if (!date.isValid())
        return value.type == ReportValue::Type::Null ? QString() : value.ToText();
    return shortDate ? ShortDate(date) : QLocale::c().toString(date, pattern);
}

} // namespace kivo
