#pragma once

#include <QIcon>

namespace kivo {

// The pictures of the toolbar, the module pane, the dashboard and the quick buttons, by what
// they mean. Each is an SVG file compiled into the program (resources/icons), so it stays
// sharp at any size and needs no icon theme on the machine.
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
    Generic,
};
constexpr int GlyphCount = int(Glyph::Generic) + 1;

// The resource the picture is read from (":/icons/<name>.svg").
QString IconPath(Glyph glyph);
// The picture itself. A file that cannot be read gives an icon that draws nothing, never a
// crash; the test suite loads every glyph so that a wrong name or a missing SVG plugin fails
// there rather than as blank buttons.
QIcon Icon(Glyph glyph);

// The picture of toolbar command n (1 Add ... 17 Exit); Generic for a number with none.
Glyph CommandGlyph(int command);
// The picture of module i of the module pane (0 Product ... 8 Accounting).
Glyph ModuleGlyph(int module);

} // namespace kivo
