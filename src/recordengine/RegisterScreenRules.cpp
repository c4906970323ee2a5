// The register screens' own rules: the names shown beside id fields, the values a new record
// starts with, what a save changes beyond the record, and the dashboard frame refreshed when
// a screen closes.
#include "CustomizeSamples.h"
#include "LoginState.h"
#include "PasswordHash.h"
#include "ProgramContext.h"
#include "RecordEngine.h"
#include "ScreenCatalogue.h"
#include "ScreenHost.h"
#include "ScreenRules.h"
#include "SeedData.h"

namespace kivo {

namespace {

qlonglong WholeNumber(const Recordset& row, const char* column)
{
    return row.Value(QString::fromLatin1(column)).toLongLong();
}

// A register whose newest record the dashboard shows: its frame is refreshed on closing.
class DashboardRules : public ScreenRules {
public:
    explicit DashboardRules(int panel)
        : m_panel(panel)
    {
    }
    void OnClose(ProgramContext&, ScreenHost& host, RecordScreen&) override
    {
        host.RefreshDashboard(m_panel);
    }

private:
    int m_panel;
};

class ProductRules : public DashboardRules {
public:
    ProductRules()
        : DashboardRules(0)
    {
    }
    void AfterShow(ProgramContext& context, ScreenHost&, RecordScreen& screen) override
    {
        RecordEngine::ShowLookup(context, screen, 4, QStringLiteral("Select GName From kmGroup Where EId="));
    }
    // The stock formula holds after the product screen changed the opening quantity: the
    // purchased, sold and closing quantities are not typed there, so the closing one is
    // recomputed here, and the save counts as the product's latest stock movement.
    void AfterSave(ProgramContext& context, ScreenHost&, RecordScreen&, Recordset& row) override
    {
        const qlonglong close
            = WholeNumber(row, "POpenQty") + WholeNumber(row, "PPurchQty") - WholeNumber(row, "PSaleQty");
        row.SetValue(QStringLiteral("PCloseQty"), close);
        row.SetValue(QStringLiteral("PTranDate"), context.Today());
        row.Update();
    }
};

class AccountingRules : public ScreenRules {
public:
    void AfterShow(ProgramContext& context, ScreenHost&, RecordScreen& screen) override
    {
        RecordEngine::ShowLookup(
            context, screen, 2, QStringLiteral("Select AName From kmAccount Where EId="));
    }
};

// A password or access code field. The table keeps a hash, which the screen never shows: a
// stored secret shows as a run of stand-in characters (masked like any typed text), which the
// save leaves alone while it stands unchanged, so a hash is never hashed again. What the user
// types instead is stored as its hash; a copied record keeps the secret of the one it copies.
class SecretField {
public:
    SecretField(int index, PasswordHash::LetterCase letterCase)
        : m_index(index)
        , m_letterCase(letterCase)
    {
    }
    void Show(RecordScreen& screen)
    {
        m_stored = screen.Text(m_index);
        if (!m_stored.isEmpty())
            screen.ShowText(m_index, QString(StandInLength, StandIn));
    }
    // Within the save: the field as typed has just been written into the row.
    void Save(RecordScreen& screen, Recordset& row) const
    {
        const Field& field = screen.field(m_index);
        if (field.text.isEmpty() || (!field.shownText.isNull() && field.text == field.shownText))
            return;
        // The stand-ins are no part of a password: what is left is what the user typed.
        QString typed = field.text;
        typed.remove(StandIn);
        row.SetValue(m_index, typed.isEmpty() ? m_stored : PasswordHash::Make(typed, m_letterCase));
        row.Update();
    }

private:
    // A character no keyboard types.
    static constexpr QChar StandIn = QChar(0xE000);
    static constexpr int StandInLength = 8;
    int m_index;
    PasswordHash::LetterCase m_letterCase;
    QString m_stored; // as the table keeps it for the record shown last
};

// The shop's details are read once at login; a saved change takes effect at once. The access
// code keeps its letter case.
class EnterpriseRules : public ScreenRules {
public:
    void AfterShow(ProgramContext&, ScreenHost&, RecordScreen& screen) override { m_accessCode.Show(screen); }
    void AfterSave(ProgramContext& context, ScreenHost& host, RecordScreen& screen, Recordset& row) override
    {
        m_accessCode.Save(screen, row);
        FillEnterpriseValues(context.login, row);
        host.ShowEnterpriseShort(context.login.EnterpriseShort);
    }

private:
    SecretField m_accessCode { 13, PasswordHash::LetterCase::Keep };
};

class UserRules : public ScreenRules {
public:
    void AfterShow(ProgramContext&, ScreenHost&, RecordScreen& screen) override { m_password.Show(screen); }
    // A new user is a sales user.
    void AfterClear(ProgramContext&, ScreenHost&, RecordScreen& screen) override
    {
        screen.SetText(5, QStringLiteral("S"));
    }
    // User 1 is the administrator: its login may be retyped in any letter case but not renamed.
    // The password is kept as its hash, made without regard to letter case.
    void AfterSave(ProgramContext&, ScreenHost&, RecordScreen& screen, Recordset& row) override
    {
        m_password.Save(screen, row);
        if (WholeNumber(row, "EId") != 1)
            return;
        const QString administrator = QString::fromLatin1(AdministratorLogin);
        if (row.Text(QStringLiteral("ULogin")).compare(administrator, Qt::CaseInsensitive) == 0)
            return;
        row.SetValue(QStringLiteral("ULogin"), administrator);
        row.Update();
    }

private:
    SecretField m_password { 3, PasswordHash::LetterCase::Ignore };
};

class PreferenceRules : public ScreenRules {
public:
    void AfterSave(ProgramContext& context, ScreenHost&, RecordScreen&, Recordset&) override
    {
        LoadPreferences(context);
    }
};

class CustomizeRules : public ScreenRules {
public:
    void AfterSave(ProgramContext& context, ScreenHost& host, RecordScreen&, Recordset&) override
    {
        LoadCustomize(context);
        host.SetupMainWindow();
    }
    bool ShowsColourSamples() const override { return true; }
    // The look fields step through their colour samples, and every option shows its preview.
    bool PressListButton(ProgramContext&, ScreenHost&, RecordScreen& screen, int index) override
    {
        if (CustomizeSamples::Count(index) > 0) {
            CustomizeSamples::Step(screen, index);
            return true;
        }
        if (screen.field(index).button != u"<")
            return false;
        RecordEngine::CycleChoice(screen, index);
        CustomizeSamples::Preview(screen, index);
        screen.NotifyChanged();
        return true;
    }
};

} // namespace

namespace ScreenRulesFor {

std::unique_ptr<ScreenRules> Product()
{
    return std::make_unique<ProductRules>();
}
std::unique_ptr<ScreenRules> Coupon()
{
    return std::make_unique<DashboardRules>(1);
}
std::unique_ptr<ScreenRules> Customer()
{
    return std::make_unique<DashboardRules>(2);
}
std::unique_ptr<ScreenRules> Supplier()
{
    return std::make_unique<DashboardRules>(3);
}
std::unique_ptr<ScreenRules> Accounting()
{
    return std::make_unique<AccountingRules>();
}
std::unique_ptr<ScreenRules> Enterprise()
{
    return std::make_unique<EnterpriseRules>();
}
std::unique_ptr<ScreenRules> User()
{
    return std::make_unique<UserRules>();
}
std::unique_ptr<ScreenRules> Preference()
{
    return std::make_unique<PreferenceRules>();
}
std::unique_ptr<ScreenRules> Customize()
{
    return std::make_unique<CustomizeRules>();
}

} // namespace ScreenRulesFor

} // namespace kivo
