#pragma once

#include "DocumentPanel.h"

namespace kivo {

// The purchase-order screen's purchase panel and its two process commands, over the order's
// screen state. The panel's fields follow the order's own (9 Gross Amt, 10 Tax Paid, 11 Nett
// Paid, 12 Paid Type, 13 Remarks): they become the purchase's columns and are never saved with
// the order. "To Purchase" opens the panel on a saved, open order; "Purchase <" turns the order
// into a purchase with its lines and stock, as one unit with the order marked purchased;
// "Cancel X" marks it cancelled. Showing any order closes the panel.
class OrderPanel : public DocumentPanel {
    Q_OBJECT
public:
    enum Field {
        GrossField = 6,
        StatusField = 7,
        RemarksField = 8,
        PanelGrossField = 9,
        TaxField = 10,
        NettField = 11,
        PayTypeField = 12,
        PurchaseRemarksField = 13,
        LastPanelField = 13
    };

    // Adds the panel's fields to an order screen built from the catalogue, hidden, and has the
    // screen close the panel whenever an order is shown or cleared. The screen must outlive this.
    OrderPanel(
        ProgramContext& context, RecordEngine& engine, RecordScreen& screen, QObject* parent = nullptr);

    // "To Purchase <": "Save Order First !" on a new order, "Order Already Processed !" on a
    // purchased or cancelled one; otherwise the panel opens on the order's gross with no tax
    // and the cursor in Tax Paid.
    void ToPurchase();
    // Leaving Tax Paid: "0" unless numeric; Nett Paid follows.
    void LeaveField(int field);
    // "Purchase <": the checks and questions, then the purchase. True when purchased.
    bool Purchase();
    // "Cancel X": the order's own checks, "Confirm Cancelation ?", and the order saved as
    // cancelled. True when cancelled.
    bool CancelOrder() { return Cancel(); }

private:
    void RefreshNett();
};

} // namespace kivo
