// The twelve register screens as data: what opening each one sets, and how its fields
// differ from the plain column-per-field layout that the schema gives.
#include "RegisterScreens.h"

#include "CustomizeSamples.h"
#include "RecordEngine.h"
#include "Schema.h"
#include "ScreenHost.h"
#include "Session.h"

#include <algorithm>

namespace kivo {

namespace {

ScreenSpec OpenedWith(
    const char* name, const char* caption, const char* table, const char* key, int lastField, int report)
{
    return { QString::fromLatin1(name), QString::fromLatin1(caption), QString::fromLatin1(table), QString(),
        QString::fromLatin1(key), lastField, report };
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
        { "KvCoupon", { 0, 1 }, {}, {}, {} },
        { "KvCustomer", { 0, 1, 11 }, {}, {}, { { 11, "<", YesNo } } },
        { "KvSupplier", { 0, 1, 14 }, {}, {}, { { 14, "<", YesNo } } },
        { "KvGroup", { 0, 1 }, {}, {}, {} },
        { "KvPaytype", { 0, 1 }, {}, {}, {} },
        { "KvAccount", { 0, 1 }, {}, {}, {} },
        { "KvAccounting", { 0, 1, 2 }, {}, {},
            { { 2, "+", "", "AName, EId From kmAccount" }, { 3, "<", PayModes }, { 6, "<", PayModes } } },
        { "KvEnterprise", { 0, 1 }, {}, { 13 }, {} },
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

const ScreenDesign* FindDesign(const QString& name)
{
    for (const ScreenDesign& design : Designs())
        if (name == QLatin1String(design.name))
            return &design;
    return nullptr;
}

bool Contains(const std::vector<int>& fields, int i)
{
    return std::find(fields.begin(), fields.end(), i) != fields.end();
}

// The typing limit of a column: a text's width; a number's own width or room for any amount
// the shop types; a date's short form with its four-digit year.
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
        return 10;
    }
    return 0;
}

} // namespace

const std::vector<ScreenSpec>& RegisterScreenSpecs()
{
    static const std::vector<ScreenSpec> specs = {
        OpenedWith("KvProduct", "Product", "ktProduct", "Trar", 18, 41),
        OpenedWith("KvCoupon", "Coupon", "ktCoupon", "Tran", 8, 48),
        OpenedWith("KvCustomer", "Customer", "ktCustomer", "Tran", 12, 51),
        OpenedWith("KvSupplier", "Supplier", "ktSupplier", "Tran", 15, 53),
        OpenedWith("KvGroup", "Group", "kmGroup", "Mast", 4, 0),
        OpenedWith("KvPaytype", "Paytype", "kmPaytype", "Mast", 3, 0),
        OpenedWith("KvAccount", "Account", "kmAccount", "Mast", 4, 0),
        OpenedWith("KvAccounting", "Accounting", "ktAccounting", "Traq", 9, 79),
        OpenedWith("KvEnterprise", "Enterprise", "kaEnterprise", "Admn", 14, 0),
        OpenedWith("KvUser", "User", "kaUser", "Traq", 10, 0),
        OpenedWith("KvPreference", "Preference", "kaPreference", "Admn", 21, 0),
        OpenedWith("KvCustomize", "Customize", "kaCustomize", "Admn", 14, 0),
    };
    return specs;
}

const ScreenSpec* FindScreenSpec(const QString& name)
{
    for (const ScreenSpec& opened : RegisterScreenSpecs())
        if (opened.name == name)
            return &opened;
    return nullptr;
}

std::unique_ptr<RecordScreen> BuildRegisterScreen(const QString& name, ScreenClock today)
{
    const ScreenSpec* opened = FindScreenSpec(name);
    const ScreenDesign* design = FindDesign(name);
    const TableDef* table = opened ? Schema::Find(opened->table) : nullptr;
    if (!opened || !design || !table)
        return nullptr;

    auto screen = std::make_unique<RecordScreen>(opened->name, opened->caption);
    screen->table = opened->table;
    screen->detailTable = opened->detailTable;
    screen->screenKey = opened->screenKey;
    screen->lastField = opened->lastField;
    screen->report = opened->report;

    for (int i = 0; i < int(table->columns.size()); ++i) {
        const ColumnDef& column = table->columns[size_t(i)];
        Field field;
        field.caption = column.label;
        field.descriptor = column.code;
        field.maxLength = InputLimit(column);
        field.readOnly = i == 0 || Contains(design->readOnly, i);
        if (column.code == u"U" || column.code == u"UF" || column.code == u"V")
            field.column = column.name;
        field.masked = Contains(design->masked, i);
        field.typeable = !Contains(design->notTyped, i);
        screen->fields.push_back(std::move(field));
    }
    for (const Beside& beside : design->beside) {
        Field& field = screen->field(beside.field);
        field.button = QString::fromLatin1(beside.button);
        field.hint = QString::fromLatin1(beside.hint);
        field.pickSource = QString::fromLatin1(beside.pickSource);
    }
    screen->rules = RegisterScreenRules(name, std::move(today));
    return screen;
}

void PressListButton(Session& session, ScreenHost& host, RecordScreen& screen, int index)
{
    if (index < 0 || index >= screen.FieldCount())
        return;
    const Field& field = screen.field(index);
    if (field.button == u"+") {
        session.ListSource = field.pickSource;
        session.CallerCode = index;
        host.OpenListPicker();
        return;
    }
    if (field.button != u"<")
        return;
    const bool customize = screen.name == u"KvCustomize";
    if (customize && CustomizeSamples::Count(index) > 0) {
        CustomizeSamples::Step(session, screen, index);
        return;
    }
    RecordEngine(session, host).CycleChoice(screen, index);
    if (customize) {
        CustomizeSamples::Preview(screen, index);
        screen.NotifyChanged();
    }
}

} // namespace kivo
