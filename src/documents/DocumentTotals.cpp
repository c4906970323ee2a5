#include "DocumentTotals.h"

#include "BillTotals.h"
#include "DocumentLines.h"
#include "LineGrid.h"
#include "ProgramContext.h"
#include "RecordScreen.h"

namespace kivo {

namespace {

const QString AmountPicture = QStringLiteral("######0.00");

BillTotals::Settings ShopSettings(const Preferences& p)
{
    BillTotals::Settings settings;
    bool ok = false;
    const int decimals = p.PAmtRoun.trimmed().toInt(&ok);
    settings.amountDecimals = ok ? decimals : 2;
    settings.tax1Percent = Money::FromText(p.PTaxPer1).value_or(Money());
    settings.tax2Percent = Money::FromText(p.PTaxPer2).value_or(Money());
    return settings;
}

Money Typed(const RecordScreen& screen, int field)
{
    return Money::FromText(screen.Text(field)).value_or(Money());
}

} // namespace

void RecalcDocumentTotals(ProgramContext& context, RecordScreen& screen)
{
    if (!screen.lines)
        return;
    const LineGrid& grid = screen.lines->Grid();
    const QString items = QString::number(grid.DocItems());
    const Money gross = grid.DocGross();
    if (screen.name == u"KvQuote") {
        const BillTotals::Amounts amounts
            = grid.Totals().Recalc(Typed(screen, 5), ShopSettings(context.preferences));
        screen.SetText(6, items);
        screen.SetText(7, gross.Format(AmountPicture));
        screen.SetText(8, amounts.discount.Format(AmountPicture));
        screen.SetText(9, amounts.total.Format(AmountPicture));
        screen.SetText(10, amounts.tax1.Format(AmountPicture));
        screen.SetText(11, amounts.tax2.Format(AmountPicture));
        screen.SetText(12, amounts.nett.Format(AmountPicture));
    } else if (screen.name == u"KvPurchase") {
        screen.SetText(5, items);
        screen.SetText(6, gross.Format(AmountPicture));
        screen.SetText(8, (Typed(screen, 7) + gross).Format(AmountPicture));
    } else if (screen.name == u"KvOrder") {
        screen.SetText(5, items);
        screen.SetText(6, gross.Format(AmountPicture));
    } else {
        return;
    }
    screen.NotifyChanged();
}

} // namespace kivo
