#include "MenuContext.h"

#include "Session.h"

namespace kivo {

namespace {

struct EntryContext {
    const char16_t* menu;
    int entry;
    const char16_t* key;
    const char16_t* table;
    const char16_t* detailTable;
    int lastField;
    int report; // 0: ScreenReport keeps its value
};

const EntryContext Contexts[] = {
    { u"Transaction", 1, u"Trar", u"ktProduct", u"", 18, 41 },
    { u"Transaction", 2, u"Tran", u"ktCoupon", u"", 8, 48 },
    { u"Transaction", 3, u"Tran", u"ktCustomer", u"", 12, 51 },
    { u"Transaction", 4, u"Tran", u"ktSupplier", u"", 15, 53 },
    { u"Transaction", 6, u"Trao", u"ktBillMast", u"ktBillDetl", 20, 57 }, // 56 for the small print
    { u"Transaction", 7, u"Trap", u"ktQuotMast", u"ktQuotDetl", 14, 60 },
    { u"Transaction", 9, u"Trap", u"ktPurcMast", u"ktPurcDetl", 10, 63 },
    { u"Transaction", 10, u"Trap", u"ktOrdrMast", u"ktOrdrDetl", 8, 65 },
    { u"Transaction", 12, u"Traq", u"ktAccounting", u"", 9, 79 },
    { u"Master", 1, u"Mast", u"kmGroup", u"", 4, 0 },
    { u"Master", 2, u"Mast", u"kmPaytype", u"", 3, 0 },
    { u"Master", 3, u"Mast", u"kmAccount", u"", 4, 0 },
    { u"Admin", 1, u"Admn", u"kaEnterprise", u"", 14, 0 },
    { u"Admin", 2, u"Traq", u"kaUser", u"", 10, 0 },
    { u"Admin", 5, u"Admn", u"kaPreference", u"", 21, 0 },
    { u"Admin", 7, u"Admn", u"kaCustomize", u"", 14, 0 },
};

constexpr int BillPrintSmall = 56;

} // namespace

void ApplyMenuContext(Session& session, const QString& menu, int entry)
{
    if (menu == u"Report") {
        session.ScreenReport = 40 + entry;
        return;
    }
    QString defaultKey;
    if (menu == u"Transaction")
        defaultKey = QStringLiteral("Tran");
    else if (menu == u"Master")
        defaultKey = QStringLiteral("Mast");
    else if (menu == u"Admin")
        defaultKey = QStringLiteral("Admn");
    else
        return;

    session.ScreenTable.clear();
    session.DetailTable.clear();
    session.ScreenKey = defaultKey;
    for (const EntryContext& context : Contexts) {
        if (menu != QStringView(context.menu) || entry != context.entry)
            continue;
        session.ScreenKey = QString::fromUtf16(context.key);
        session.ScreenTable = QString::fromUtf16(context.table);
        session.DetailTable = QString::fromUtf16(context.detailTable);
        session.LastField = context.lastField;
        if (context.report != 0)
            session.ScreenReport = context.report;
        // The bill screen's Report command prints the bill in the size the shop prefers.
        if (menu == u"Transaction" && entry == 6 && session.preferences.PDefBill == u"S")
            session.ScreenReport = BillPrintSmall;
        return;
    }
}

} // namespace kivo
