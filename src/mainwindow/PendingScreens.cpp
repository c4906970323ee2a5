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
    { u"Utility", 3 }, // Stock Closing
    { u"Admin", 8 }, // Options..
    { u"Help", 2 }, // Specifics
    { u"Help", 4 }, // About
};

// The three bill prints.
const int PendingQuickButtons[] = { 2, 3, 4 };

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
