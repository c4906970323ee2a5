#include "PendingScreens.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace kivo {

namespace {

struct PendingEntry {
    const char16_t* menu;
    int entry; // 0: every entry of the menu
};

// The one list of menu entries whose screens are still to come: none now.
constexpr std::array<PendingEntry, 0> Pending {};

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
