#include "Icons.h"

#include <array>

namespace kivo {

namespace {

// File names in Glyph order.
constexpr std::array<const char16_t*, GlyphCount> FileNames = {
    u"add",
    u"modify",
    u"delete",
    u"save",
    u"copy",
    u"cancel",
    u"first",
    u"prior",
    u"next",
    u"last",
    u"inquiry",
    u"report",
    u"exit",
    u"show-labels",
    u"hide-labels",
    u"product",
    u"coupon",
    u"customer",
    u"supplier",
    u"bill",
    u"quote",
    u"purchase",
    u"order",
    u"accounting",
    u"billing",
    u"print-small",
    u"print-large",
    u"gift-receipt",
    u"product-query",
    u"customer-info",
    u"quit",
    u"generic",
};

} // namespace

QString IconPath(Glyph glyph)
{
    const int index = int(glyph);
    const char16_t* name = index >= 0 && index < GlyphCount ? FileNames[index] : u"generic";
    return QStringLiteral(":/icons/%1.svg").arg(QString::fromUtf16(name));
}

QIcon Icon(Glyph glyph)
{
    // The SVG icon engine renders the file at each size asked for and draws the disabled look.
    return QIcon(IconPath(glyph));
}

Glyph CommandGlyph(int command)
{
    switch (command) {
    case 1:
        return Glyph::Add;
    case 2:
        return Glyph::Modify;
    case 3:
        return Glyph::Delete;
    case 5:
        return Glyph::Save;
    case 6:
        return Glyph::Xerox;
    case 7:
        return Glyph::Cancel;
    case 9:
        return Glyph::First;
    case 10:
        return Glyph::Prior;
    case 11:
        return Glyph::Next;
    case 12:
        return Glyph::Last;
    case 14:
        return Glyph::Inquiry;
    case 15:
        return Glyph::Report;
    case 17:
        return Glyph::Exit;
    default:
        return Glyph::Generic;
    }
}

Glyph ModuleGlyph(int module)
{
    static const Glyph modules[9] = { Glyph::Product, Glyph::Coupon, Glyph::Customer, Glyph::Supplier,
        Glyph::Bill, Glyph::Quote, Glyph::Purchase, Glyph::Order, Glyph::Accounting };
    return module >= 0 && module < 9 ? modules[module] : Glyph::Generic;
}

} // namespace kivo
