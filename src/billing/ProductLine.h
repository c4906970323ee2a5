#pragma once

#include "Money.h"

#include <QString>

namespace kivo {

class GroupSavings;
class LineGrid;
struct ProductRecord;

// The preferences that act on a new document line.
struct ProductLineRules {
    bool stockCheck = false; // refuse a product whose PCloseQty is below 1 (PStkChek "Y")
    bool groupSaving = false; // give the group saving on the sale side (PGrpSave "Y")
    int amountDecimals = 2; // PAmtRoun: decimals of rate, value and saving

    // From the preference texts: "Y" means yes, anything else no; PAmtRoun is read as a
    // whole number of decimals, 0 to 2 (2 when it is no number).
    static ProductLineRules FromPreferences(
        const QString& PStkChek, const QString& PGrpSave, const QString& PAmtRoun);
};

// What AddProductLine did: the row of the new line, or the message that refused it.
struct ProductLineResult {
    int row = -1;
    QString refusal; // "Available Stock- 0"; empty when the line was added

    bool Added() const { return row >= 0; }
};

// AddProductLine: appends one line for `product` to a document's line grid and adds it to the
// grid's running totals (DocItems, DocGross, DocTaxable). The shared operation of every
// document screen: the counter adds quantity 1 at the sale rate, the product selection the
// quantity and rate typed there.
//
// - With rules.stockCheck, a product whose PCloseQty is below 1 is refused with "Available
//   Stock- " + PCloseQty and nothing is added (the stored stock only; lines already on the
//   document are not counted).
// - Rate, value (rate x quantity) and saving are rounded to rules.amountDecimals, halves to
//   even. The group saving (GSavePer % of the value) applies only when rules.groupSaving and
//   callerCode is 1 (the sale side: billing and quotes), and only when `groups` knows the
//   product's group.
// - Every call adds a new line; a product already on the document is never merged.
// The caller shows the refusal and recomputes the document totals (RecalcTotals).
ProductLineResult AddProductLine(LineGrid& grid, const ProductRecord& product, const Money& quantity,
    const Money& rate, int callerCode, const ProductLineRules& rules, const GroupSavings& groups);

} // namespace kivo
