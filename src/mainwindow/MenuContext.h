#pragma once

#include <QString>

namespace kivo {

class Session;

// What a menu entry sets before its screen opens. For the Transaction, Master and Admin
// menus: ScreenTable and DetailTable emptied and ScreenKey set to the menu's default ("Tran",
// "Mast", "Admn"), then the entry's own ScreenKey, tables, LastField and (Transaction only)
// ScreenReport. A Report entry n sets ScreenReport to 40 + n. Other menus set nothing.
void ApplyMenuContext(Session& session, const QString& menu, int entry);

} // namespace kivo
