#pragma once

#include "Money.h"

#include <optional>

namespace kivo {

// The amounts of one document line as the grid shows them: Rate, Value, Saving and Gross,
// each rounded to the shop's decimals (PAmtRoun), halves to even.
class LineAmounts {
public:
    // rate: the product's rate, rounded to the decimals; value: rate x quantity, rounded;
    // saving: the group saving GSavePer % of the value, rounded, or 0 when the line gets
    // none (a purchase, PGrpSave not "Y", or a product whose group is missing);
    // gross: value less saving.
    static LineAmounts Price(const Money& quantity, const Money& rate,
        const std::optional<Money>& groupSavePercent, int amountDecimals);

    Money rate;
    Money value;
    Money saving;
    Money gross;
};

} // namespace kivo
