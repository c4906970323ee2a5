#pragma once

#include <QColor>
#include <QString>

namespace kivo {

class ProgramContext;

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

// Reads kaCustomize into the context's settings and sets the toolbar labels toggle
// caption ("+" when CToolShow is "Y", "-" otherwise). Throws DbError when the row cannot be read.
void LoadCustomize(ProgramContext& context);
// Reads kaPreference into the context's settings. Throws DbError when the row cannot be read.
void LoadPreferences(ProgramContext& context);

// A stored colour number as a colour. Throws DbError when the text is not a number.
QColor WindowsColour(const QString& text);

// "lblField(3)" -> "lblField": the element family of a control's name.
QString ElementFamily(const QString& objectName);

} // namespace kivo
