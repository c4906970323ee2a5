// The register screens' own rules, run by the record engine after a record is shown ("DL"),
// after the screen is cleared for a new record ("DI"), after a save while rsWork still
// stands on the saved row ("DS") and when the screen closes ("FC").
#include "LoginState.h"
#include "RecordEngine.h"
#include "RegisterScreens.h"
#include "ScreenHost.h"
#include "SeedData.h"
#include "Session.h"
#include "Settings.h"

namespace kivo {

namespace {

using AfterSave = void (*)(Session&, ScreenHost&, const ScreenClock&);

struct Lookup {
    int field;
    const char* sql; // completed with the field's id
};

struct RuleSet {
    const char* screen;
    std::vector<Lookup> lookups; // DL: the names behind the id fields
    std::vector<std::pair<int, const char*>> newValues; // DI: values a new record starts with
    AfterSave afterSave = nullptr; // DS
    int dashboardPanel = -1; // FC: the main window's summary panel of this kind of record
};

qlonglong WholeNumber(const Recordset& row, const char* column)
{
    return row.Value(QString::fromLatin1(column)).toLongLong();
}

// The stock formula holds after the product screen changed the opening quantity: the
// purchased, sold and closing quantities are not typed there, so the closing one is
// recomputed here, and the save counts as the product's latest stock movement.
void RecomputeStock(Session& session, ScreenHost&, const ScreenClock& today)
{
    Recordset& row = session.rsWork;
    const qlonglong close
        = WholeNumber(row, "POpenQty") + WholeNumber(row, "PPurchQty") - WholeNumber(row, "PSaleQty");
    row.SetValue(QStringLiteral("PCloseQty"), close);
    row.SetValue(QStringLiteral("PTranDate"), today ? today() : QDate::currentDate());
    row.Update();
}

// The shop's details are read once at login; a saved change takes effect at once.
void ReloadEnterprise(Session& session, ScreenHost& host, const ScreenClock&)
{
    LoginValues& v = session.login;
    FillEnterpriseValues(v, session.rsWork);
    host.ShowEnterpriseShort(v.EnterpriseShort);
}

// User 1 is the administrator: its login may be retyped in any letter case but not renamed.
void KeepAdministratorLogin(Session& session, ScreenHost&, const ScreenClock&)
{
    Recordset& row = session.rsWork;
    if (WholeNumber(row, "EId") != 1)
        return;
    const QString administrator = QString::fromLatin1(AdministratorLogin);
    if (row.Text(QStringLiteral("ULogin")).toUpper() == administrator.toUpper())
        return;
    const QString login = administrator.left(1).toUpper() + administrator.mid(1).toLower();
    row.SetValue(QStringLiteral("ULogin"), login);
    row.Update();
}

void ReloadPreferences(Session& session, ScreenHost&, const ScreenClock&)
{
    LoadPreferences(session);
}

void ReloadCustomize(Session& session, ScreenHost& host, const ScreenClock&)
{
    LoadCustomize(session);
    host.SetupMainWindow();
}

const std::vector<RuleSet>& RuleSets()
{
    static const std::vector<RuleSet> rules = {
        { "KvProduct", { { 4, "Select GName From kmGroup Where EId=" } }, {}, RecomputeStock, 0 },
        { "KvCoupon", {}, {}, nullptr, 1 },
        { "KvCustomer", {}, {}, nullptr, 2 },
        { "KvSupplier", {}, {}, nullptr, 3 },
        { "KvAccounting", { { 2, "Select AName From kmAccount Where EId=" } }, {}, nullptr, -1 },
        { "KvEnterprise", {}, {}, ReloadEnterprise, -1 },
        { "KvUser", {}, { { 5, "S" } }, KeepAdministratorLogin, -1 },
        { "KvPreference", {}, {}, ReloadPreferences, -1 },
        { "KvCustomize", {}, {}, ReloadCustomize, -1 },
    };
    return rules;
}

} // namespace

ScreenRulesHook RegisterScreenRules(const QString& name, ScreenClock today)
{
    for (const RuleSet& set : RuleSets()) {
        if (name != QLatin1String(set.screen))
            continue;
        return [set, today = std::move(today)](
                   Session& session, ScreenHost& host, RecordScreen& screen, const QString& mode) {
            if (mode == u"DL") {
                for (const Lookup& lookup : set.lookups)
                    RecordEngine::ShowLookup(session, screen, lookup.field, QString::fromLatin1(lookup.sql));
            } else if (mode == u"DI") {
                for (const auto& [field, value] : set.newValues)
                    screen.SetText(field, QString::fromLatin1(value));
            } else if (mode == u"DS") {
                if (set.afterSave)
                    set.afterSave(session, host, today);
            } else if (mode == u"FC") {
                if (set.dashboardPanel >= 0)
                    host.RefreshDashboard(set.dashboardPanel);
            }
        };
    }
    return {};
}

} // namespace kivo
