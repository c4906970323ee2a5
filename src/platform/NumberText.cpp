#include "NumberText.h"

#include "DbError.h"
#include "Money.h"

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
    if (value == 0)
        return 0.0; // never "-0"
    if (!std::isfinite(value) || digits >= Money::Scale)
        return value;
    const std::optional<Money> amount = Money::FromDouble(value);
    if (!amount)
        return value; // beyond the amount range a double holds no fraction to round
    try {
        return amount->Rounded(digits).ToDouble();
    } catch (const DbError&) {
        return value; // rounded to tens of digits left of the point, past the amount range
    }
}

QString FormatNumber(double value, const QString& picture)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (const std::optional<Money> amount = Money::FromDouble(value))
        return amount->Format(picture);
    // Beyond the amount range a double holds no fraction: its whole digits, and the zeros
    // that the picture always shows after the point.
    const qsizetype point = picture.indexOf(u'.');
    const int requiredDecimals = point < 0 ? 0 : int(QStringView(picture).sliced(point + 1).count(u'0'));
    return QString::number(value, 'f', requiredDecimals);
}

QString NumberText(double value)
{
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    // 15 significant digits, so that arithmetic noise (0.1 + 0.2) does not show.
    return QString::number(value, 'g', 15);
}

} // namespace kivo
