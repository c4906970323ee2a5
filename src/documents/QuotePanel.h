#pragma once

#include "DocumentPanel.h"

namespace kivo {

// The quote screen's billing panel and its two process commands, over the quote's screen
// state. The panel's fields follow the quote's own (15 Cash Amt, 16 Credit Amt, 17 Other Amt,
// 18 Misc Amt, 19 Return Amt, 20 OType, 21 MType, 22 Remarks): they become the bill's payment
// columns and are never saved with the quote. "To Bill" opens the panel on a saved, open
// quote; "Bill >" turns the quote into a paid bill with its lines and stock, as one unit with
// the quote marked billed; "Cancel X" marks it cancelled. Showing any quote closes the panel.
// Messages go through the context; failures are reported and leave the quote as it was.
class QuotePanel : public DocumentPanel {
    Q_OBJECT
public:
    enum Field {
        DiscountField = 5,
        NettField = 12,
        StatusField = 13,
        RemarksField = 14,
        CashField = 15,
        CreditField = 16,
        OtherField = 17,
        MiscField = 18,
        ReturnField = 19,
        OtherTypeField = 20,
        MiscTypeField = 21,
        BillRemarksField = 22,
        LastPanelField = 22
    };

    // Adds the panel's fields to a quote screen built from the catalogue, hidden, and has the
    // screen close the panel whenever a quote is shown or cleared. The screen must outlive this.
    QuotePanel(
        ProgramContext& context, RecordEngine& engine, RecordScreen& screen, QObject* parent = nullptr);

    // "To Bill     >": "Save Quote First !" on a new quote, "Quote Already Processed !" on a
    // billed or cancelled one; otherwise the panel opens with nothing paid and the cursor in
    // Cash Amt.
    void ToBill();
    // Leaving a field: Discount% and the four amounts read "0" unless numeric; Discount%
    // recomputes the totals; each refreshes Return Amt.
    void LeaveField(int field);
    // "Bill >": the checks and questions, then the bill. True when the quote was billed.
    bool Bill();
    // "Cancel X": the quote's own checks, "Confirm Cancelation ?", and the quote saved as
    // cancelled. True when cancelled.
    bool CancelQuote() { return Cancel(); }

private:
    void RefreshReturn();
};

} // namespace kivo
