#include "QuickButtons.h"

#include "Accessibility.h"
#include "Icons.h"
#include "Twips.h"

#include <QLineEdit>
#include <QToolButton>

namespace kivo {

namespace {

struct ButtonDef {
    const char16_t* caption;
    const char16_t* tooltip;
    Glyph glyph;
};

const ButtonDef ButtonDefs[QuickButtons::Buttons] = {
    { u"BILLING", u"Billing", Glyph::Billing },
    { u"BILL PRINT(S)", u"Bill Print (Small)", Glyph::PrintSmall },
    { u"BILL PRINT(L)", u"Bill Print (Large)", Glyph::PrintLarge },
    { u"GIFT RECEIPT", u"Gift Receipt", Glyph::GiftReceipt },
    { u"PRODUCT QUERY", u"Product Query", Glyph::ProductQuery },
    { u"CUSTOMER INFO", u"Customer Info", Glyph::CustomerInfo },
    { u"QUIT", u"Quit", Glyph::Quit },
};

constexpr int Margin = 10;
constexpr int ButtonWidth = 132;
constexpr int ButtonHeight = 86;

} // namespace

QuickButtons::QuickButtons(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pctTop"));
    setAutoFillBackground(true);
    // Large flat counter buttons; the one with the keyboard focus carries a clear ring.
    setStyleSheet(QStringLiteral(
        "QToolButton { background: palette(base); border: 1px solid palette(mid); border-radius: 8px;"
        " padding: 6px 4px 4px 4px; }"
        "QToolButton:hover { border-color: palette(highlight); }"
        "QToolButton:pressed { background: palette(midlight); }"
        "QToolButton:focus { border: 2px solid palette(highlight); }"
        "QToolButton:disabled { background: palette(window); }"));
    for (int i = 0; i < Buttons; ++i) {
        const int index = i + 1;
        const ButtonDef& def = ButtonDefs[i];
        const QString element = QStringLiteral("cmdBill(%1)").arg(index);
        auto* button = new QToolButton(this);
        button->setObjectName(element);
        button->setText(QString::fromUtf16(def.caption));
        button->setToolTip(QString::fromUtf16(def.tooltip));
        button->setIcon(Icon(def.glyph));
        button->setIconSize(QSize(36, 36));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFocusPolicy(Qt::StrongFocus);
        QFont font = button->font();
        font.setBold(true);
        button->setFont(font);
        connect(button, &QToolButton::clicked, this, [this, index] { emit clicked(index); });
        Describe(button, button->text(), element);
        m_buttons[i] = button;
    }
    m_company = new QLineEdit(QStringLiteral("Comp"), this);
    m_company->setObjectName(QStringLiteral("txtComp2"));
    m_company->setReadOnly(true);
    m_company->setFocusPolicy(Qt::NoFocus);
    m_company->setAlignment(Qt::AlignCenter);
    m_company->setAutoFillBackground(true);
    QFont companyFont = m_company->font();
    companyFont.setBold(true);
    companyFont.setPointSizeF(companyFont.pointSizeF() * 1.3);
    m_company->setFont(companyFont);
    Describe(m_company, QStringLiteral("Comp"), QStringLiteral("txtComp2"));
    Describe(this, QString(), QStringLiteral("pctTop"));
}

QToolButton* QuickButtons::Button(int index) const
{
    return index >= 1 && index <= Buttons ? m_buttons[index - 1] : nullptr;
}

void QuickButtons::SetEnterpriseShort(const QString& shortName)
{
    m_company->setText(shortName);
    Describe(m_company, shortName, QStringLiteral("txtComp2"));
}

void QuickButtons::SetTexture(const QColor& texture)
{
    if (!texture.isValid())
        return;
    for (QWidget* widget : { static_cast<QWidget*>(this), static_cast<QWidget*>(m_company) }) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, texture);
        palette.setColor(QPalette::Base, texture);
        widget->setPalette(palette);
    }
}

QSize QuickButtons::sizeHint() const
{
    return QSize(Buttons * (ButtonWidth + Margin) + Twips(2500), ButtonHeight + 2 * Margin);
}

void QuickButtons::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Arrange();
}

void QuickButtons::Arrange()
{
    for (int i = 0; i < Buttons; ++i)
        m_buttons[i]->setGeometry(Margin + i * (ButtonWidth + Margin), Margin, ButtonWidth, ButtonHeight);
    // The short name stands 2500 twips in from the right edge.
    const int companyHeight = m_company->sizeHint().height() + 8;
    m_company->setGeometry(
        width() - Twips(2500), (height() - companyHeight) / 2, Twips(2500) - Margin, companyHeight);
}

} // namespace kivo
