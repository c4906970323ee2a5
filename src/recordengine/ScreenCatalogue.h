#pragma once

#include "RecordScreen.h"

#include <memory>
#include <QString>
#include <vector>

namespace kivo {

class ScreenRules;

// One record screen as the program knows it: what opening it sets (its table, detail table,
// command-state key, last field and report), the menu entry that opens it, and its rules.
// This table is the only place these are written.
struct ScreenEntry {
    QString name; // "KvProduct"
    QString caption; // "Product"
    QString table; // ScreenTable
    QString detailTable; // DetailTable; a document screen has one
    QString screenKey; // "Trar"
    int lastField = 0; // LastField
    int report = 0; // the report its Report command opens; 0: "No Report !"
    QString menu; // the menu entry that opens it: "Transaction" 1
    int menuEntry = 0;
    std::unique_ptr<ScreenRules> (*makeRules)() = nullptr;
};

// The sixteen record screens: twelve registers (product, coupon, customer, supplier, group,
// paytype, account, accounting, enterprise, user, preference, customize) and four documents
// (bill, quote, purchase, order).
const std::vector<ScreenEntry>& ScreenCatalogue();
// nullptr for a name that is no record screen.
const ScreenEntry* FindScreen(const QString& name);
// The screen a menu entry opens, or nullptr.
const ScreenEntry* ScreenForMenuEntry(const QString& menu, int entry);

// Builds a screen's state from the schema (captions, descriptors, widths, read-only fields),
// adds its buttons, options, pick lists and typing flags, and attaches its rules (and, for a
// document, its line grid). nullptr for a name that is no record screen.
std::unique_ptr<RecordScreen> BuildRecordScreen(const QString& name);

// The rules objects of the screens that have rules of their own.
namespace ScreenRulesFor {
std::unique_ptr<ScreenRules> Product();
std::unique_ptr<ScreenRules> Coupon();
std::unique_ptr<ScreenRules> Customer();
std::unique_ptr<ScreenRules> Supplier();
std::unique_ptr<ScreenRules> Accounting();
std::unique_ptr<ScreenRules> Enterprise();
std::unique_ptr<ScreenRules> User();
std::unique_ptr<ScreenRules> Preference();
std::unique_ptr<ScreenRules> Customize();
std::unique_ptr<ScreenRules> Bill();
std::unique_ptr<ScreenRules> Quote();
std::unique_ptr<ScreenRules> Order();
std::unique_ptr<ScreenRules> Purchase();
} // namespace ScreenRulesFor

} // namespace kivo
