#pragma once

#include "Money.h"

namespace kivo {

// The totals of an open line-item document (bill, quote, purchase, purchase order).
// The running part (DocItems, DocGross, DocTaxable) moves line by line as lines are added
// and removed, so the totals never need a pass over the grid; Recalc turns it, with the
// document's discount percent and the shop's tax and rounding settings, into the amounts
// the screen shows. Everything is decimal: 0.1 + 0.2 on a bill is 0.30.
class BillTotals {
public:
    // The shop settings that act on the amounts.
    struct Settings {
        int amountDecimals = 2; // PAmtRoun: decimals every rounded amount keeps
        Money tax1Percent; // PTaxPer1, a percentage of the taxable amount after discount
        Money tax2Percent; // PTaxPer2, a percentage of tax 1
    };

    // What RecalcTotals shows besides the running totals.
    struct Amounts {
        Money discount; // discount % of the gross, rounded
        Money total; // gross less discount
        Money taxableDiscount; // discount % of the taxable gross, rounded
        Money tax1;
        Money tax2;
        Money nett; // total + tax 1 + tax 2
    };

    // A line joins the running totals: its quantity rounded to a whole number (halves to
    // even: 2.5 counts 2), its gross, and its gross again when its tax flag is "T".
    void AddLine(const Money& quantity, const Money& gross, bool taxable);
    // The exact reverse of AddLine for the same line.
    void RemoveLine(const Money& quantity, const Money& gross, bool taxable);
    void Clear();

    Money Items() const { return m_items; } // DocItems, a whole number
    Money Gross() const { return m_gross; } // DocGross
    Money Taxable() const { return m_taxable; } // DocTaxable

    // RecalcTotals on the running totals.
    Amounts Recalc(const Money& discountPercent, const Settings& settings) const;

    // RecalcTotals' arithmetic. Each percentage is rounded to the shop's decimals once,
    // halves to even; total and nett are plain sums and not rounded again. Any discount
    // percent is taken: above 100 gives a negative total, below 0 raises the amounts.
    static Amounts Compute(
        const Money& discountPercent, const Money& gross, const Money& taxable, const Settings& settings);

private:
    Money m_items;
    Money m_gross;
    Money m_taxable;
};

} // namespace kivo
