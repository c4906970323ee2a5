#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <QLocale>
#include <string>
#include <string_view>

namespace kivo {

std::optional<double> ParseNumber(const QString& text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    t.replace(u',', u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double RoundHalfEven(double value, int digits)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    // Round the value as the program shows it, to 15 significant digits, not its binary
    // neighbour: 2.345 is stored a hair below 2.345, and 10 x 23.35 / 100 a hair above
    // 2.335, yet both are shown, and meant, as exact halves.
    char text[32];
    const auto written
        = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 14);
    // text is "d.dddddddddddddde[+-]xx": 15 significant digits, then the power of ten of the first.
    const std::string_view all(text, size_t(written.ptr - text));
    const size_t e = all.find('e');
    int exponent = 0;
    std::from_chars(all.data() + e + 1 + (all[e + 1] == '+' ? 1 : 0), all.data() + all.size(), exponent);
    std::string significant;
    for (char c : all.substr(0, e))
        if (c != '.')
            significant += c;
    // How many significant digits lie at or above the 10^-digits place.
    const long kept = long(exponent) + long(digits) + 1;
    if (kept >= long(significant.size()))
        return value; // nothing to round away
    std::string result = kept > 0 ? significant.substr(0, size_t(kept)) : std::string("0");
    bool up = false;
    if (kept >= 0) {
        const char next = significant[size_t(kept)];
        const bool beyondHalf = significant.find_first_not_of('0', size_t(kept) + 1) != std::string::npos;
        up = next > '5' || (next == '5' && (beyondHalf || (result.back() - '0') % 2 == 1));
    }
    if (up) {
        size_t i = result.size();
        while (i > 0 && result[i - 1] == '9')
            result[--i] = '0';
        if (i == 0)
            result.insert(result.begin(), '1');
        else
            ++result[i - 1];
    }
    result += 'e';
    result += std::to_string(-digits);
    double rounded = 0;
    std::from_chars(result.data(), result.data() + result.size(), rounded);
    if (rounded == 0)
        return 0.0; // never "-0"
    return value < 0 ? -rounded : rounded;
}

QString FormatNumber(double value, const QString& picture)
{
    // "0" is a digit always shown, "#" one shown only when it is needed: before the point
    // a leading digit, after it a trailing one.
    const qsizetype point = picture.indexOf(u'.');
    const QStringView integerPart = point < 0 ? QStringView(picture) : QStringView(picture).first(point);
    const QStringView decimalPart = point < 0 ? QStringView() : QStringView(picture).sliced(point + 1);
    const int minimumIntegerDigits = int(integerPart.count(u'0'));
    const int decimals = int(decimalPart.count(u'0') + decimalPart.count(u'#'));
    const int requiredDecimals = int(decimalPart.count(u'0'));

    const double rounded = RoundHalfEven(value, decimals);
    if (!std::isfinite(rounded))
        return QString::number(rounded);
    QString text = QString::number(std::fabs(rounded), 'f', decimals);
    if (decimals > requiredDecimals) {
        qsizetype end = text.size();
        while (end > text.size() - (decimals - requiredDecimals) && text[end - 1] == u'0')
            --end;
        text.truncate(end);
    }
    qsizetype integerDigits = text.indexOf(u'.');
    if (integerDigits < 0)
        integerDigits = text.size();
    if (integerDigits == 1 && text.startsWith(u'0') && minimumIntegerDigits == 0) {
        text.remove(0, 1);
        integerDigits = 0;
    }
    if (integerDigits < minimumIntegerDigits)
        text.prepend(QString(minimumIntegerDigits - integerDigits, u'0'));
    // The sign of a value that shows as zero is dropped: -0.004 is "0.00".
    if (rounded < 0)
        text.prepend(u'-');
    return text;
}

QString NumberText(double value)
{
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    // 15 significant digits, so that arithmetic noise (0.1 + 0.2) does not show.
    return QString::number(value, 'g', 15);
}

} // namespace kivo
