#pragma once

#include <QProxyStyle>

class QLineEdit;

namespace kivo {

// Shows every typed character of a secret field as "x", at once (passwords, access code).
class MaskStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override;

    // Puts a value box into masked mode with this style (owned by the box).
    static void Apply(QLineEdit* box);
};

} // namespace kivo
