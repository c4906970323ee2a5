#include "ProductLine.h"

#include "GroupSavings.h"
#include "LineAmounts.h"
#include "LineGrid.h"
#include "ProductLookup.h"

#include <algorithm>

namespace kivo {

ProductLineRules ProductLineRules::FromPreferences(
    const QString& PStkChek, const QString& PGrpSave, const QString& PAmtRoun)
{
    ProductLineRules rules;
    rules.stockCheck = PStkChek == u"Y";
    rules.groupSaving = PGrpSave == u"Y";
    bool ok = false;
    const int decimals = PAmtRoun.trimmed().toInt(&ok);
    rules.amountDecimals = ok ? std::clamp(decimals, 0, 2) : 2;
    return rules;
}

ProductLineResult AddProductLine(LineGrid& grid, const ProductRecord& product, const Money& quantity,
    const Money& rate, int callerCode, const ProductLineRules& rules, const GroupSavings& groups)
{
    ProductLineResult result;
    if (rules.stockCheck && product.PCloseQty < Money(1)) {
        result.refusal = QStringLiteral("Available Stock- ") + product.PCloseQty.ToText();
        return result;
    }
    std::optional<Money> savePercent;
    if (rules.groupSaving && callerCode == 1)
        savePercent = groups.SavePercent(product.PGId);
    const LineAmounts amounts = LineAmounts::Price(quantity, rate, savePercent, rules.amountDecimals);
    result.row = grid.AddLine(product.PCode, product.PName, quantity, amounts, product.PTax == u"T");
    return result;
}

} // namespace kivo
