#pragma once

#include <QColor>
#include <QIcon>

namespace kivo {

// The pictures of the toolbar, the module pane, the dashboard and the quick buttons. They are
// drawn as line art at whatever size is asked for, so they stay sharp on any screen and need
// no icon theme on the machine; disabled ones are drawn in grey.
enum class Glyph {
    Add,
    Modify,
    Delete,
    Save,
    Xerox,
    Cancel,
    First,
    Prior,
    Next,
    Last,
    Inquiry,
    Report,
    Exit,
    ShowLabels, // the labels toggle while its caption is "+"
    HideLabels, // and while it is "-"
    Product,
    Coupon,
    Customer,
    Supplier,
    Bill,
    Quote,
    Purchase,
    Order,
    Accounting,
    Billing,
    PrintSmall,
    PrintLarge,
    GiftReceipt,
    ProductQuery,
    CustomerInfo,
    Quit,
    Find,
    Generic,
};

// accent: the colour of the lines; the default is the program's blue.
QIcon DrawnIcon(Glyph glyph, const QColor& accent = {});

// The picture of toolbar command n (1 Add ... 17 Exit); Generic for a number with none.
Glyph CommandGlyph(int command);
// The picture of module i of the module pane (0 Product ... 8 Accounting).
Glyph ModuleGlyph(int module);

} // namespace kivo
