#pragma once

#include <memory>
#include <QString>
#include <vector>

namespace kivo {

class Session;
class RecordScreen;

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

// The twelve register screens: product, coupon, customer, supplier, group, paytype,
// account, accounting, enterprise, user, preference, customize.
const std::vector<ScreenSpec>& RegisterScreenSpecs();
const ScreenSpec* FindScreenSpec(const QString& name);

// Builds a register screen's state from the schema (captions, descriptors, widths, read-only
// fields), adds its buttons, options, pick lists and typing flags, and attaches its rules.
std::unique_ptr<RecordScreen> BuildRegisterScreen(const QString& name);

} // namespace kivo
