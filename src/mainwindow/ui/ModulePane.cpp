#include "ModulePane.h"

#include "Accessibility.h"
#include "Icons.h"
#include "PaletteRole.h"
#include "Twips.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolTip>

namespace kivo {

namespace {

constexpr int PaneWidth = 200;
constexpr int Margin = 10;
const QString FindIdle = QStringLiteral("Find Id");

struct ModuleDef {
    const char16_t* caption;
    const char16_t* tooltip;
    int entry; // Transaction menu entry
};

const ModuleDef ModuleDefs[ModulePane::Modules] = {
    { u"Product    >", u"Products", 1 },
    { u"Coupon     >", u"Coupons", 2 },
    { u"Customer   >", u"Customers", 3 },
    { u"Supplier   >", u"Suppliers", 4 },
    { u"Bill       >", u"Bills", 6 },
    { u"Quote      >", u"Quotes", 7 },
    { u"Purchase   >", u"Purchases", 9 },
    { u"Order      >", u"Orders", 10 },
    { u"Accounting >", u"Accounting", 12 },
};

} // namespace

ModuleLabel::ModuleLabel(int index, QWidget* parent)
    : QLabel(ModulePane::ModuleCaption(index), parent)
    , m_index(index)
    , m_icon(Icon(ModuleGlyph(index)))
{
    const QString element = QStringLiteral("lblMod(%1)").arg(index);
    setObjectName(element);
    setToolTip(ModulePane::ModuleTooltip(index));
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    Describe(this, text(), element);
}

QSize ModuleLabel::sizeHint() const
{
    return QSize(PaneWidth - 2 * Margin, qMax(38, fontMetrics().height() + 18));
}

void ModuleLabel::enterEvent(QEnterEvent* event)
{
    emit hovered(m_index);
    QLabel::enterEvent(event);
}

void ModuleLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(m_index);
    QLabel::mouseReleaseEvent(event);
}

void ModuleLabel::keyPressEvent(QKeyEvent* event)
{
    // Keyboard users open a module as a click would.
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit clicked(m_index);
        return;
    }
    QLabel::keyPressEvent(event);
}

void ModuleLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(box, 6, 6);
    painter.fillPath(path, palette().color(QPalette::Window));
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.drawPath(path);

    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const int iconSide = 22;
    const QRect iconRect(10, (height() - iconSide) / 2, iconSide, iconSide);
    m_icon.paint(&painter, iconRect, Qt::AlignCenter, mode);

    // The caption pads the name with blanks before its ">"; here the name stands at the left
    // and the arrow at the right edge.
    const QString caption = text();
    const QString name = caption.left(caption.indexOf(u'>')).trimmed();
    // The text colour setting applies to every state; a module that cannot be opened yet is
    // drawn in grey all the same.
    const QColor textColour = isEnabled() ? palette().color(QPalette::WindowText) : QColor(0x9A, 0xA0, 0xA6);
    painter.setPen(textColour);
    QFont font = this->font();
    font.setBold(true);
    painter.setFont(font);
    const QRect textRect = rect().adjusted(iconRect.right() + 10, 0, -28, 0);
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
        QFontMetrics(font).elidedText(name, Qt::ElideRight, textRect.width()));
    const qreal x = width() - 16, y = height() / 2.0;
    painter.setPen(QPen(textColour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({ QPointF(x - 3.5, y - 5), QPointF(x + 1, y), QPointF(x - 3.5, y + 5) }));

    if (hasFocus()) {
        QPainterPath ring;
        ring.addRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(ring);
    }
}

QString ModulePane::ModuleCaption(int module)
{
    return module >= 0 && module < Modules ? QString::fromUtf16(ModuleDefs[module].caption) : QString();
}

QString ModulePane::ModuleTooltip(int module)
{
    return module >= 0 && module < Modules ? QString::fromUtf16(ModuleDefs[module].tooltip) : QString();
}

int ModulePane::ModuleEntry(int module)
{
    return module >= 0 && module < Modules ? ModuleDefs[module].entry : 0;
}

ModulePane::ModulePane(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pctLeft"));
    setFixedWidth(PaneWidth);
    setAutoFillBackground(true);
    setMouseTracking(true);
    m_moduleBack = palette().color(QPalette::Base);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("imgLeft"));
    m_picture->setPixmap(Icon(Glyph::Generic).pixmap(32, 32));
    Describe(m_picture, QString(), QStringLiteral("imgLeft"));

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("lblLeft"));
    QFont captionFont = m_caption->font();
    captionFont.setBold(true);
    captionFont.setPointSizeF(captionFont.pointSizeF() * 1.25);
    m_caption->setFont(captionFont);
    Describe(m_caption, QString(), QStringLiteral("lblLeft"));

    m_find = new QLineEdit(FindIdle, this);
    m_find->setObjectName(QStringLiteral("txtFind"));
    m_find->installEventFilter(this);
    Describe(m_find, FindIdle, QStringLiteral("txtFind"));

    m_findButton = new QPushButton(QStringLiteral("Find"), this);
    m_findButton->setObjectName(QStringLiteral("cmdFind"));
    m_findButton->setAutoDefault(false);
    connect(m_findButton, &QPushButton::clicked, this, &ModulePane::findRequested);
    Describe(m_findButton, QStringLiteral("Find"), QStringLiteral("cmdFind"));

    m_position = new QLabel(QStringLiteral("."), this);
    m_position->setObjectName(QStringLiteral("lblReco"));
    m_position->setAlignment(Qt::AlignCenter);
    m_position->setAutoFillBackground(true);
    Describe(m_position, QStringLiteral("."), QStringLiteral("lblReco"));

    for (int i = 0; i < Modules; ++i) {
        m_modules[i] = new ModuleLabel(i, this);
        SetLabelBackground(m_modules[i], m_moduleBack);
        connect(m_modules[i], &ModuleLabel::hovered, this, &ModulePane::Hover);
        connect(m_modules[i], &ModuleLabel::clicked, this, &ModulePane::moduleClicked);
    }
    Describe(this, QString(), QStringLiteral("pctLeft"));
    Arrange();
}

void ModulePane::SetScreenCaption(const QString& caption)
{
    m_caption->setText(caption);
    Describe(m_caption, caption, QStringLiteral("lblLeft"));
    Glyph glyph = Glyph::Generic;
    for (int i = 0; i < Modules; ++i)
        if (ModuleCaption(i).left(8).trimmed() == caption.left(8))
            glyph = ModuleGlyph(i);
    m_picture->setPixmap(Icon(glyph).pixmap(32, 32));
}

void ModulePane::SetPositionText(const QString& text)
{
    m_position->setText(text);
    Describe(m_position, text, QStringLiteral("lblReco"));
}

QString ModulePane::FindText() const
{
    return m_find->text();
}

void ModulePane::SetFindText(const QString& text)
{
    m_find->setText(text);
}

void ModulePane::SetColours(const QColor& back, const QColor& texture, const QColor& text)
{
    if (back.isValid())
        m_moduleBack = back;
    for (ModuleLabel* label : m_modules) {
        SetLabelBackground(label, m_moduleBack);
        SetPaletteRole(label, QPalette::WindowText, text);
    }
    SetPaletteRole(m_caption, QPalette::WindowText, text);
    SetPaletteRole(m_position, QPalette::WindowText, text);
    SetPaletteRole(m_position, QPalette::Window, texture);
    SetPaletteRole(this, QPalette::Window, texture);
    m_hovered = -1;
}

void ModulePane::ResetModuleColours()
{
    for (ModuleLabel* label : m_modules)
        SetLabelBackground(label, m_moduleBack);
    m_hovered = -1;
}

void ModulePane::Hover(int index)
{
    if (!m_modules[index]->isEnabled())
        return;
    // The hovered module takes the system's tooltip colour until the mouse is back on the pane.
    if (m_hovered >= 0 && m_hovered != index)
        SetLabelBackground(m_modules[m_hovered], m_moduleBack);
    SetLabelBackground(
        m_modules[index], QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipBase));
    m_hovered = index;
}

void ModulePane::mouseMoveEvent(QMouseEvent* event)
{
    if (m_hovered >= 0) {
        SetLabelBackground(m_modules[m_hovered], m_moduleBack);
        m_hovered = -1;
    }
    QWidget::mouseMoveEvent(event);
}

void ModulePane::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // A rule along the right edge sets the pane off from the screens beside it.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Window).darker(125));
    painter.drawLine(width() - 1, 0, width() - 1, height());
}

void ModulePane::SetLabelBackground(ModuleLabel* label, const QColor& colour)
{
    SetPaletteRole(label, QPalette::Window, colour);
    label->update();
}

bool ModulePane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_find) {
        if (event->type() == QEvent::MouseButtonPress && m_find->text() == FindIdle)
            m_find->clear();
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                emit findRequested();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ModulePane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Arrange();
}

void ModulePane::Arrange()
{
    const int inner = width() - 2 * Margin;
    m_picture->setGeometry(Margin, 12, 32, 32);
    m_caption->setGeometry(Margin + 40, 12, inner - 40, 32);
    const int findHeight = qMax(m_find->sizeHint().height(), m_findButton->sizeHint().height());
    const int buttonWidth = qMax(56, m_findButton->sizeHint().width());
    m_find->setGeometry(Margin, 54, inner - buttonWidth - 6, findHeight);
    m_findButton->setGeometry(Margin + inner - buttonWidth, 54, buttonWidth, findHeight);
    m_position->setGeometry(Margin, 54 + findHeight + 8, inner, m_position->sizeHint().height() + 6);
    // The module labels stand 800 twips apart from 2000 twips down, as they always have.
    for (int i = 0; i < Modules; ++i)
        m_modules[i]->setGeometry(Margin, Twips(2000 + 800 * i), inner, m_modules[i]->sizeHint().height());
}

} // namespace kivo
