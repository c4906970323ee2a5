#include "MaskStyle.h"

#include <QLineEdit>

namespace kivo {

int MaskStyle::styleHint(
    StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returnData) const
{
    if (hint == SH_LineEdit_PasswordCharacter)
        return u'x';
    if (hint == SH_LineEdit_PasswordMaskDelay)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void MaskStyle::Apply(QLineEdit* box)
{
    box->setEchoMode(QLineEdit::Password);
    auto* style = new MaskStyle;
    style->setParent(box);
    box->setStyle(style);
}

} // namespace kivo
