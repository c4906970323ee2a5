#pragma once

#include "RecordScreen.h"

#include <functional>
#include <memory>
#include <QDate>
#include <QString>
#include <vector>

namespace kivo {

class Session;
class ScreenHost;

// What opening a register screen sets: its table, key, last field and report.
struct ScreenSpec {
    QString name; // "KvProduct"
    QString caption; // "Product"
    QString table; // "ktProduct"
    QString detailTable;
    QString screenKey; // "Trar"
    int lastField = 0;
    int report = 0; // 0: "No Report !"
};

// "Today" as the register screens' rules see it (the stock movement date of a saved
// product). Empty: the system clock.
using ScreenClock = std::function<QDate()>;

// The twelve register screens: product, coupon, customer, supplier, group, paytype,
// account, accounting, enterprise, user, preference, customize.
const std::vector<ScreenSpec>& RegisterScreenSpecs();
const ScreenSpec* FindScreenSpec(const QString& name);

// Builds a register screen's state from the schema (captions, descriptors, widths, read-only
// fields), adds its buttons, options, pick lists and typing flags, and attaches its rules.
// nullptr for a name that is no register screen.
std::unique_ptr<RecordScreen> BuildRegisterScreen(const QString& name, ScreenClock today = {});

// The rules the record engine runs for a register screen at "DL", "DI", "DS" and "FC"; an
// empty hook for a screen that has none.
ScreenRulesHook RegisterScreenRules(const QString& name, ScreenClock today = {});

// The button cmdList(index) beside a field was pressed: "<" writes the field's next option
// (on the customize screen's colour fields, its next colour sample), "+" opens the list
// picker over the field's pick list with the pick going into this field.
void PressListButton(Session& session, ScreenHost& host, RecordScreen& screen, int index);

} // namespace kivo
