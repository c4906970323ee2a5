#include "Settings.h"

#include "DbError.h"
#include "ErrorReporter.h"
#include "ProgramContext.h"
#include "Recordset.h"

namespace kivo {

namespace {

// A setting and the column it is copied from, in the order the settings are read.
template <typename Settings> struct SettingColumn {
    const char16_t* column;
    QString Settings::*value;
};

// Reads the one row of a settings table into its settings, each as the text it stores.
template <typename Settings, size_t N>
void LoadSettingsRow(ProgramContext& context, const QString& table, Settings& settings,
    const SettingColumn<Settings> (&columns)[N])
{
    Recordset rs(context.connection);
    rs.Open(table);
    for (const SettingColumn<Settings>& c : columns)
        settings.*c.value = rs.Text(QString::fromUtf16(c.column));
}

} // namespace

void LoadPreferences(ProgramContext& context)
{
    using P = Preferences;
    static const SettingColumn<P> columns[] = { { u"PStkChek", &P::PStkChek }, { u"PRatEdit", &P::PRatEdit },
        { u"PDisPerc", &P::PDisPerc }, { u"PDisEdit", &P::PDisEdit }, { u"PGrpSave", &P::PGrpSave },
        { u"PTaxPer1", &P::PTaxPer1 }, { u"PTaxPer2", &P::PTaxPer2 }, { u"PAmtRoun", &P::PAmtRoun },
        { u"PQtyDeci", &P::PQtyDeci }, { u"PDefBill", &P::PDefBill }, { u"PBilLogo", &P::PBilLogo } };
    LoadSettingsRow(context, QStringLiteral("kaPreference"), context.preferences, columns);
}

void LoadCustomize(ProgramContext& context)
{
    using C = Customization;
    static const SettingColumn<C> columns[] = { { u"CBackColor", &C::CBackColor },
        { u"CTexTure", &C::CTexTure }, { u"CTextFont", &C::CTextFont }, { u"CTextSize", &C::CTextSize },
        { u"CTextColor", &C::CTextColor }, { u"CDefaScrn", &C::CDefaScrn }, { u"CAdminDisp", &C::CAdminDisp },
        { u"CModiPass", &C::CModiPass }, { u"CAllowDele", &C::CAllowDele }, { u"CDelePass", &C::CDelePass },
        { u"CShowDash", &C::CShowDash }, { u"CToolShow", &C::CToolShow } };
    LoadSettingsRow(context, QStringLiteral("kaCustomize"), context.customization, columns);
    context.ToolbarToggleCaption
        = IsYes(context.customization.CToolShow) ? QStringLiteral("+") : QStringLiteral("-");
}

QColor WindowsColour(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < 0 || value > 0xFFFFFF)
        throw DbError(ErrorNumber::TypeMismatch, QStringLiteral("ApplyAppearance"),
            QStringLiteral("Type mismatch: colour '%1'").arg(text));
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QString ElementFamily(const QString& objectName)
{
    const qsizetype paren = objectName.indexOf(u'(');
    return paren < 0 ? objectName : objectName.left(paren);
}

} // namespace kivo
