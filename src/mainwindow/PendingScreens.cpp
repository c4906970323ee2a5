#include "PendingScreens.h"

#include <algorithm>
#include <iterator>

namespace kivo {

namespace {

struct PendingEntry {
    const char16_t* menu;
    int entry; // 0: every entry of the menu
};

// The one list of what is still to come.
const PendingEntry Pending[] = {
    { u"Utility", 2 }, // Product Update
};

// The three bill prints and product query.
const int PendingQuickButtons[] = { 2, 3, 4, 5 };

} // namespace

bool MenuEntryPending(const QString& menu, int entry)
{
    return std::any_of(std::begin(Pending), std::end(Pending), [&](const PendingEntry& pending) {
        return menu == QStringView(pending.menu) && (pending.entry == 0 || pending.entry == entry);
    });
}

bool QuickButtonPending(int index)
{
    return std::find(std::begin(PendingQuickButtons), std::end(PendingQuickButtons), index)
        != std::end(PendingQuickButtons);
}

} // namespace kivo
