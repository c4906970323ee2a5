#include "BillTotals.h"

namespace kivo {

void BillTotals::AddLine(const Money& quantity, const Money& gross, bool taxable)
{
    m_items += quantity.Rounded(0);
    m_gross += gross;
    if (taxable)
        m_taxable += gross;
}

void BillTotals::RemoveLine(const Money& quantity, const Money& gross, bool taxable)
{
    m_items -= quantity.Rounded(0);
    m_gross -= gross;
    if (taxable)
        m_taxable -= gross;
}

void BillTotals::Clear()
{
    *this = BillTotals();
}

BillTotals::Amounts BillTotals::Recalc(const Money& discountPercent, const Settings& settings) const
{
    return Compute(discountPercent, m_gross, m_taxable, settings);
}

BillTotals::Amounts BillTotals::Compute(
    const Money& discountPercent, const Money& gross, const Money& taxable, const Settings& settings)
{
    const int decimals = settings.amountDecimals;
    Amounts amounts;
    amounts.discount = gross.Percent(discountPercent).Rounded(decimals);
    amounts.total = gross - amounts.discount;
    amounts.taxableDiscount = taxable.Percent(discountPercent).Rounded(decimals);
    amounts.tax1 = (taxable - amounts.taxableDiscount).Percent(settings.tax1Percent).Rounded(decimals);
    // Tax 2 is levied on tax 1, not on the taxable amount.
    amounts.tax2 = amounts.tax1.Percent(settings.tax2Percent).Rounded(decimals);
    amounts.nett = amounts.total + amounts.tax1 + amounts.tax2;
    return amounts;
}

} // namespace kivo
