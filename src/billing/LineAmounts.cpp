#include "LineAmounts.h"

namespace kivo {

LineAmounts LineAmounts::Price(const Money& quantity, const Money& rate,
    const std::optional<Money>& groupSavePercent, int amountDecimals)
{
    LineAmounts line;
    line.rate = rate.Rounded(amountDecimals);
    line.value = (line.rate * quantity).Rounded(amountDecimals);
    if (groupSavePercent)
        line.saving = line.value.Percent(*groupSavePercent).Rounded(amountDecimals);
    line.gross = line.value - line.saving;
    return line;
}

} // namespace kivo
