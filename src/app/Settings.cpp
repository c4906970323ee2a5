#include "Settings.h"

#include "DbError.h"
#include "ErrorReporter.h"
#include "Session.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QTableView>

namespace kivo {

namespace {

// A setting and the column it is copied from, in the order the settings are read.
template <typename Settings> struct SettingColumn {
    const char16_t* column;
    QString Settings::*value;
};

// Reads the one row of a settings table into its settings, each as the text it stores.
template <typename Settings, size_t N>
void LoadSettingsRow(
    Session& session, const QString& table, Settings& settings, const SettingColumn<Settings> (&columns)[N])
{
    Recordset& rs = session.rsSettings;
    rs.Close();
    rs.Open(table);
    for (const SettingColumn<Settings>& c : columns)
        settings.*c.value = rs.Text(QString::fromUtf16(c.column));
    rs.Close();
}

} // namespace

void LoadPreferences(Session& session)
{
    using P = Preferences;
    static const SettingColumn<P> columns[] = { { u"PStkChek", &P::PStkChek }, { u"PRatEdit", &P::PRatEdit },
        { u"PDisPerc", &P::PDisPerc }, { u"PDisEdit", &P::PDisEdit }, { u"PGrpSave", &P::PGrpSave },
        { u"PTaxPer1", &P::PTaxPer1 }, { u"PTaxPer2", &P::PTaxPer2 }, { u"PAmtRoun", &P::PAmtRoun },
        { u"PQtyDeci", &P::PQtyDeci }, { u"PDefBill", &P::PDefBill }, { u"PBilLogo", &P::PBilLogo } };
    LoadSettingsRow(session, QStringLiteral("kaPreference"), session.preferences, columns);
}

void LoadCustomize(Session& session)
{
    using C = Customization;
    static const SettingColumn<C> columns[] = { { u"CBackColor", &C::CBackColor },
        { u"CTexTure", &C::CTexTure }, { u"CTextFont", &C::CTextFont }, { u"CTextSize", &C::CTextSize },
        { u"CTextColor", &C::CTextColor }, { u"CDefaScrn", &C::CDefaScrn }, { u"CAdminDisp", &C::CAdminDisp },
        { u"CModiPass", &C::CModiPass }, { u"CAllowDele", &C::CAllowDele }, { u"CDelePass", &C::CDelePass },
        { u"CShowDash", &C::CShowDash }, { u"CToolShow", &C::CToolShow } };
    LoadSettingsRow(session, QStringLiteral("kaCustomize"), session.customization, columns);
    session.ToolbarToggleCaption
        = IsYes(session.customization.CToolShow) ? QStringLiteral("+") : QStringLiteral("-");
}

QColor WindowsColour(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < 0 || value > 0xFFFFFF)
        throw DbError(
            13, QStringLiteral("ApplyAppearance"), QStringLiteral("Type mismatch: colour '%1'").arg(text));
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QString ElementFamily(const QString& objectName)
{
    const qsizetype paren = objectName.indexOf(u'(');
    return paren < 0 ? objectName : objectName.left(paren);
}

namespace {

// One twip is 1/15 of a pixel at 96 dpi.
int Twips(int twips)
{
    return twips / 15;
}

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    if (qobject_cast<QAbstractButton*>(widget))
        palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

bool IsChildWindow(const QWidget* screen)
{
    for (const QWidget* w = screen; w; w = w->parentWidget())
        if (qobject_cast<const QMdiSubWindow*>(w))
            return true;
    return false;
}

} // namespace

void ApplyAppearance(Session& session, QWidget* screen)
{
    const Customization& c = session.customization;
    if (IsYes(c.CDefaScrn) || !screen)
        return;
    const bool child = IsChildWindow(screen);
    ErrorReporter& errors = session.errors;
    if (child)
        TryStep(errors, [&] { SetBackground(screen, WindowsColour(c.CBackColor)); });

    QWidget* frame = screen->findChild<QWidget*>(QStringLiteral("frmMain"));
    const QList<QWidget*> controls = screen->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        const QString family = ElementFamily(control->objectName());
        if (family == u"shpMain") {
            TryStep(errors, [&] {
                if (frame)
                    control->setFixedWidth(qMax(0, frame->width() - Twips(500)));
            });
        } else if (family == u"frmMain") {
            if (child)
                TryStep(errors, [&] { SetBackground(control, WindowsColour(c.CBackColor)); });
            // Only the frame's own caption: a palette's Text role would reach the grids inside it.
            TryStep(errors, [&] {
                QPalette palette = control->palette();
                palette.setColor(QPalette::WindowText, WindowsColour(c.CTextColor));
                control->setPalette(palette);
            });
        } else if (family == u"lblField" || family == u"lblList" || family == u"chkField") {
            if (child) {
                TryStep(errors, [&] { SetBackground(control, WindowsColour(c.CBackColor)); });
                TryStep(errors, [&] {
                    QFont font = control->font();
                    font.setFamily(c.CTextFont);
                    bool ok = false;
                    const int size = c.CTextSize.trimmed().toInt(&ok);
                    if (!ok || size <= 0)
                        throw DbError(13, QStringLiteral("ApplyAppearance"),
                            QStringLiteral("Type mismatch: text size '%1'").arg(c.CTextSize));
                    font.setPointSize(size);
                    control->setFont(font);
                });
            }
            TryStep(errors, [&] { SetTextColour(control, WindowsColour(c.CTextColor)); });
        } else if (family == u"grdMain" || family == u"grdPort" || family == u"grdData") {
            // Only the heading cells take the text colour; the body stays as designed.
            TryStep(errors, [&] {
                const QColor colour = WindowsColour(c.CTextColor);
                if (auto* table = qobject_cast<QTableView*>(control)) {
                    for (QHeaderView* header : { table->horizontalHeader(), table->verticalHeader() }) {
                        QPalette palette = header->palette();
                        palette.setColor(QPalette::ButtonText, colour);
                        palette.setColor(QPalette::WindowText, colour);
                        header->setPalette(palette);
                    }
                }
            });
        }
    }
}

} // namespace kivo
