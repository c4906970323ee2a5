// The record screens as data: what opening each one sets, the menu entry that opens it, its
// rules, and how its fields differ from the plain column-per-field layout of the schema.
#include "ScreenCatalogue.h"

#include "DateText.h"
#include "PasswordHash.h"
#include "Schema.h"
#include "ScreenRules.h"

#include <algorithm>

namespace kivo {

namespace {

ScreenEntry Entry(const char* name, const char* caption, const char* table, const char* detailTable,
    const char* key, int lastField, int report, const char* menu, int menuEntry,
    std::unique_ptr<ScreenRules> (*makeRules)() = nullptr)
{
    return { QString::fromLatin1(name), QString::fromLatin1(caption), QString::fromLatin1(table),
        QString::fromLatin1(detailTable), QString::fromLatin1(key), lastField, report,
        QString::fromLatin1(menu), menuEntry, makeRules };
}

// A button or note beside a field: "<" with its options, "+" with its pick list, or no button
// and only a hint.
struct Beside {
    int field;
    const char* button;
    const char* hint;
    const char* pickSource = "";
};

struct ScreenDesign {
    const char* name;
    std::vector<int> notTyped; // filled by the program, a pick list or an option button
    std::vector<int> readOnly; // never saved (field 0 is always read-only)
    std::vector<int> masked;
    std::vector<Beside> beside;
};

constexpr const char* YesNo = "Yes/No";
constexpr const char* PayModes = "-/Cash/Cheque/Online/Other";
constexpr const char* Users = "ULogin, EId From kaUser";
constexpr const char* ActiveSuppliers = "SCompany, EId From ktSupplier Where SActive='Y'";

std::vector<int> Range(int first, int last)
{
    std::vector<int> fields;
    for (int i = first; i <= last; ++i)
        fields.push_back(i);
    return fields;
}

const std::vector<ScreenDesign>& Designs()
{
    static const std::vector<ScreenDesign> designs = {
        { "KvProduct", { 0, 1, 4, 9, 10, 11, 13, 14, 17 }, { 9, 10, 11, 14 }, {},
            { { 2, "", "(Do not change once set)" }, { 4, "+", "", "GName, EId From kmGroup" },
                { 5, "<", "Bag/Box/Pcs/Pair/Set/Pack" }, { 13, "<", "Tax/Non-Tax" }, { 17, "<", YesNo } } },
        { "KvCustomer", { 0, 1, 11 }, {}, {}, { { 11, "<", YesNo } } },
        { "KvSupplier", { 0, 1, 14 }, {}, {}, { { 14, "<", YesNo } } },
        { "KvAccounting", { 0, 1, 2 }, {}, {},
            { { 2, "+", "", "AName, EId From kmAccount" }, { 3, "<", PayModes }, { 6, "<", PayModes } } },
        { "KvEnterprise", { 0, 1 }, {}, { 13 }, {} },
        // Bills are written by checkout and quote billing; their screen only shows them.
        { "KvBill", Range(0, 20), {}, {}, {} },
        { "KvQuote", { 0, 1, 2, 4, 6, 7, 8, 9, 10, 11, 12, 13 }, {}, {},
            { { 2, "+", "", Users },
                { 4, "+", "",
                    "Left(CName,16)+';'+CPhone As [Customer], EId From ktCustomer Where CActive='Y'" },
                { 13, "", "New/Billed/Canceled" } } },
        { "KvPurchase", { 0, 1, 2, 4, 5, 6, 8 }, {}, {},
            { { 2, "+", "", Users }, { 4, "+", "", ActiveSuppliers },
                { 9, "<", "Cash/Credit/Online/Other" } } },
        { "KvOrder", { 0, 1, 2, 4, 5, 6, 7 }, {}, {},
            { { 2, "+", "", Users }, { 4, "+", "", ActiveSuppliers }, { 7, "", "New/Purchased/Canceled" } } },
        // A new user is a sales user; the login mode is not changed on this screen.
        { "KvUser", { 0, 1, 5 }, {}, { 3 }, { { 5, "", "Sales/Backoffice" } } },
        { "KvPreference", { 0, 1, 6, 7, 9, 10, 15, 16, 17, 18, 20 }, {}, {},
            { { 6, "<", YesNo }, { 7, "<", YesNo }, { 9, "<", YesNo }, { 10, "<", YesNo },
                { 13, "", "(On Tax1)" }, { 15, "<", "0/1/2 (Digit after Decimal)" },
                { 16, "<", "0/1/2 (For Bill,Quote Print)" }, { 17, "<", "Small/Large (Default Print Size)" },
                { 18, "<", "1/2/3 (ShortName on Bill,Quote Print)" }, { 20, "<", YesNo } } },
        // Enable Admin (field 8) has no button, so it cannot be changed here.
        { "KvCustomize", Range(0, 13), {}, {},
            { { 2, "<", "" }, { 3, "<", "" }, { 4, "<", "Arial/Century/Georgia/Rockwell/Verdana" },
                { 5, "<", "10/11/12" }, { 6, "<", "" }, { 7, "<", YesNo },
                { 9, "<", "Yes/No [Access-Code for records]" }, { 10, "<", "Yes/No [for all records]" },
                { 11, "<", "Yes/No [Access-Code for records]" }, { 12, "<", YesNo }, { 13, "<", YesNo } } },
    };
    return designs;
}

// Screens not listed above have the plain layout: the id and entry date are not typed.
const ScreenDesign& DesignOf(const QString& name)
{
    static const ScreenDesign plain { "", { 0, 1 }, {}, {}, {} };
    for (const ScreenDesign& design : Designs())
        if (name == QLatin1String(design.name))
            return design;
    return plain;
}

bool Contains(const std::vector<int>& fields, int i)
{
    return std::find(fields.begin(), fields.end(), i) != fields.end();
}

// The typing limit of a column: a text's width; a number's own width or room for any amount
// the shop types; a date's short form as the running locale writes it.
int InputLimit(const ColumnDef& column)
{
    switch (column.kind) {
    case ColumnKind::Text:
    case ColumnKind::Flag:
        return column.width;
    case ColumnKind::Long:
        return column.width > 0 ? column.width : 10;
    case ColumnKind::Number:
        return column.width > 0 ? column.width : 12;
    case ColumnKind::Date:
        return ShortDateLength();
    }
    return 0;
}

} // namespace

const std::vector<ScreenEntry>& ScreenCatalogue()
{
    using namespace ScreenRulesFor;
    static const std::vector<ScreenEntry> entries = [] {
        std::vector<ScreenEntry> e;
        e.push_back(
            Entry("KvProduct", "Product", "ktProduct", "", "Trar", 18, 41, "Transaction", 1, Product));
        e.push_back(Entry("KvCoupon", "Coupon", "ktCoupon", "", "Tran", 8, 48, "Transaction", 2, Coupon));
        e.push_back(
            Entry("KvCustomer", "Customer", "ktCustomer", "", "Tran", 12, 51, "Transaction", 3, Customer));
        e.push_back(
            Entry("KvSupplier", "Supplier", "ktSupplier", "", "Tran", 15, 53, "Transaction", 4, Supplier));
        e.push_back(
            Entry("KvBill", "Bill", "ktBillMast", "ktBillDetl", "Trao", 20, 57, "Transaction", 6, Bill));
        e.push_back(
            Entry("KvQuote", "Quote", "ktQuotMast", "ktQuotDetl", "Trap", 14, 60, "Transaction", 7, Quote));
        e.push_back(Entry("KvPurchase", "Purchase", "ktPurcMast", "ktPurcDetl", "Trap", 10, 63, "Transaction",
            9, Purchase));
        e.push_back(
            Entry("KvOrder", "Order", "ktOrdrMast", "ktOrdrDetl", "Trap", 8, 65, "Transaction", 10, Order));
        e.push_back(Entry(
            "KvAccounting", "Accounting", "ktAccounting", "", "Traq", 9, 79, "Transaction", 12, Accounting));
        e.push_back(Entry("KvGroup", "Group", "kmGroup", "", "Mast", 4, 0, "Master", 1));
        e.push_back(Entry("KvPaytype", "Paytype", "kmPaytype", "", "Mast", 3, 0, "Master", 2));
        e.push_back(Entry("KvAccount", "Account", "kmAccount", "", "Mast", 4, 0, "Master", 3));
        e.push_back(
            Entry("KvEnterprise", "Enterprise", "kaEnterprise", "", "Admn", 14, 0, "Admin", 1, Enterprise));
        e.push_back(Entry("KvUser", "User", "kaUser", "", "Traq", 10, 0, "Admin", 2, User));
        e.push_back(
            Entry("KvPreference", "Preference", "kaPreference", "", "Admn", 21, 0, "Admin", 5, Preference));
        e.push_back(
            Entry("KvCustomize", "Customize", "kaCustomize", "", "Admn", 14, 0, "Admin", 7, Customize));
        return e;
    }();
    return entries;
}

const ScreenEntry* FindScreen(const QString& name)
{
    for (const ScreenEntry& entry : ScreenCatalogue())
        if (entry.name == name)
            return &entry;
    return nullptr;
}

const ScreenEntry* ScreenForMenuEntry(const QString& menu, int entry)
{
    for (const ScreenEntry& screen : ScreenCatalogue())
        if (screen.menu == menu && screen.menuEntry == entry)
            return &screen;
    return nullptr;
}

std::unique_ptr<RecordScreen> BuildRecordScreen(const QString& name)
{
    const ScreenEntry* entry = FindScreen(name);
    const TableDef* table = entry ? Schema::Find(entry->table) : nullptr;
    if (!entry || !table)
        return nullptr;
    const ScreenDesign& design = DesignOf(name);

    auto screen = std::make_unique<RecordScreen>(entry->name, entry->caption);
    screen->table = entry->table;
    screen->detailTable = entry->detailTable;
    screen->screenKey = entry->screenKey;
    screen->lastField = entry->lastField;
    screen->report = entry->report;

    for (int i = 0; i < int(table->columns.size()); ++i) {
        const ColumnDef& column = table->columns[size_t(i)];
        Field field;
        field.caption = column.label;
        field.descriptor = column.code;
        field.masked = Contains(design.masked, i);
        // A masked field is a password or access code: its column is wide enough for the hash.
        field.maxLength = field.masked ? PasswordHash::TypedLength : InputLimit(column);
        field.readOnly = i == 0 || Contains(design.readOnly, i);
        if (column.code == u"U" || column.code == u"UF" || column.code == u"V")
            field.column = column.name;
        field.typeable = !Contains(design.notTyped, i);
        screen->fields.push_back(std::move(field));
    }
    for (const Beside& beside : design.beside) {
        Field& field = screen->field(beside.field);
        field.button = QString::fromLatin1(beside.button);
        field.hint = QString::fromLatin1(beside.hint);
        field.pickSource = QString::fromLatin1(beside.pickSource);
    }
    if (entry->makeRules)
        screen->rules = entry->makeRules();
    if (!entry->detailTable.isEmpty())
        screen->lines = std::make_unique<DocumentLines>();
    return screen;
}

} // namespace kivo
