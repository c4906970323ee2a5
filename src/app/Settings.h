#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace kivo {

class Session;

// The billing and printing preferences, kept as text exactly as stored. Yes/No values
// are "Y" or "N"; anything but "Y" counts as No.
struct Preferences {
    QString PStkChek, PRatEdit, PDisPerc, PDisEdit, PGrpSave, PTaxPer1, PTaxPer2, PAmtRoun, PQtyDeci,
        PDefBill, PBilLogo;
};

// The look and protection settings, kept as text exactly as stored. Colours are the
// decimal text of a Windows colour number (red + 256 × green + 65536 × blue).
struct Customization {
    QString CBackColor, CTexTure, CTextFont, CTextSize, CTextColor, CDefaScrn, CAdminDisp, CModiPass,
        CAllowDele, CDelePass, CShowDash, CToolShow;
};

inline bool IsYes(const QString& flag)
{
    return flag == u"Y";
}

// Reads kaCustomize into the session's settings and sets the toolbar labels toggle
// caption ("+" when CToolShow is "Y", "-" otherwise). Throws DbError when the row cannot be read.
void LoadCustomize(Session& session);
// Reads kaPreference into the session's settings. Throws DbError when the row cannot be read.
void LoadPreferences(Session& session);

// Applies the look settings to a screen as it opens: background and label fonts on child
// windows of the main window, text colours everywhere. Does nothing when CDefaScrn is "Y".
// A setting that cannot be applied is reported and the remaining controls are still done.
void ApplyAppearance(Session& session, QWidget* screen);

// A stored colour number as a colour. Throws DbError when the text is not a number.
QColor WindowsColour(const QString& text);

// "lblField(3)" -> "lblField": the element family of a control's name.
QString ElementFamily(const QString& objectName);

} // namespace kivo
