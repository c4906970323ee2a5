#pragma once

namespace kivo {

class ProgramContext;
class RecordScreen;

// RecalcTotals for the quote, purchase and order screens: the running totals of the screen's
// line grid, with the quote's discount percent and the shop's tax and rounding settings, into
// the fields each screen shows. A quote shows items, gross, discount, total, both taxes and
// nett (fields 6 to 12); a purchase items (5), gross (6) and nett paid (8: the tax paid in
// field 7 plus the gross); an order items (5) and gross (6). Amounts read "######0.00" and are
// decimal throughout. A screen without lines, or any other screen, is left as it is.
void RecalcDocumentTotals(ProgramContext& context, RecordScreen& screen);

} // namespace kivo
