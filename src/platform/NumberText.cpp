#include "NumberText.h"

#include <cmath>
#include <QLocale>

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
    if (!std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, digits);
    const double scaled = value * scale;
    // Decide on the decimal text of the value, not on its binary neighbour: 2.345 is
    // stored a hair below 2.345 but is meant as an exact half.
    const double floorValue = std::floor(scaled);
    const double fraction = scaled - floorValue;
    double rounded;
    if (std::fabs(fraction - 0.5) < 1e-9 * std::max(1.0, std::fabs(scaled)))
        rounded = std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
    else
        rounded = std::round(scaled);
    return rounded / scale;
}

QString FormatNumber(double value, const QString& picture)
{
    const qsizetype point = picture.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(picture.size() - point - 1);
    const QString integerPart = point < 0 ? picture : picture.left(point);
    const int minimumIntegerDigits = int(integerPart.count(u'0'));
    const double rounded = RoundHalfEven(value, decimals);
    QString text = QString::number(std::fabs(rounded), 'f', decimals);
    qsizetype integerDigits = decimals > 0 ? text.indexOf(u'.') : text.size();
    if (minimumIntegerDigits == 0 && text.startsWith(u'0') && integerDigits == 1)
        text.remove(0, 1);
    while (integerDigits < minimumIntegerDigits) {
        text.prepend(u'0');
        ++integerDigits;
    }
    if (rounded < 0) {
        bool nonZero = false;
        for (QChar c : text)
            if (c.isDigit() && c != u'0')
                nonZero = true;
        if (nonZero)
            text.prepend(u'-');
    }
    return text;
}

QString NumberText(double value)
{
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

} // namespace kivo
