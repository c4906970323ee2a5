#include "Dashboard.h"

#include "Accessibility.h"
#include "Icons.h"
#include "PaletteRole.h"
#include "Twips.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

namespace {

struct FrameDef {
    const char16_t* caption;
    const char16_t* titles[Dashboard::Rows];
    Glyph glyph;
    const char16_t* opens; // what the button's tooltip names
};

const FrameDef FrameDefs[Dashboard::Frames] = {
    { u"Product", { u"Id:", u"Date:", u"Code:", u"Name:" }, Glyph::Product, u"Products" },
    { u"Coupon", { u"Id:", u"Date:", u"Ref:", u"Head:" }, Glyph::Coupon, u"Coupons" },
    { u"Customer", { u"Id:", u"Date:", u"Name:", u"Addr:" }, Glyph::Customer, u"Customers" },
    { u"Supplier", { u"Id:", u"Date:", u"Comp:", u"Pers:" }, Glyph::Supplier, u"Suppliers" },
    { u"Bill", { u"Id:", u"Date:", u"User:", u"Rect:" }, Glyph::Bill, u"Bills" },
    { u"Purchase", { u"Id:", u"Date:", u"User:", u"Rect:" }, Glyph::Purchase, u"Purchases" },
};

const QString DesignedValue = QStringLiteral("-");
constexpr int Margin = 12;
constexpr int HeadingHeight = 36;

// A card: a rounded panel in its palette's window colour.
class DashFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        painter.fillPath(path, palette().color(QPalette::Window));
        painter.setPen(QPen(palette().color(QPalette::Mid), 1));
        painter.drawPath(path);
    }
};

// A value that may be longer than its frame: cut with "…" on screen, whole in its tooltip.
class ValueLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return QSize(20, QLabel::minimumSizeHint().height()); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QRect box = contentsRect();
        painter.drawText(
            box, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideRight, box.width()));
    }
};

} // namespace

Dashboard::Dashboard(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pctDash"));
    setAutoFillBackground(true);

    m_heading = new QLabel(QStringLiteral("DashBoard"), this);
    m_heading->setObjectName(QStringLiteral("lblHead"));
    m_heading->setAlignment(Qt::AlignCenter);
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.6);
    m_heading->setFont(headingFont);
    Describe(m_heading, m_heading->text(), QStringLiteral("lblHead"));

    m_company = new QLineEdit(QStringLiteral("Comp"), this);
    m_company->setObjectName(QStringLiteral("txtComp1"));
    m_company->setReadOnly(true);
    m_company->setFocusPolicy(Qt::NoFocus);
    m_company->setAlignment(Qt::AlignCenter);
    QFont companyFont = m_company->font();
    companyFont.setBold(true);
    m_company->setFont(companyFont);
    Describe(m_company, QStringLiteral("Comp"), QStringLiteral("txtComp1"));

    for (int i = 0; i < Frames; ++i) {
        const FrameDef& def = FrameDefs[i];
        const QString caption = QString::fromUtf16(def.caption);
        auto* frame = new DashFrame(this);
        frame->setObjectName(QStringLiteral("frmDash(%1)").arg(i));
        SetPaletteRole(frame, QPalette::Window, palette().color(QPalette::Base));
        Describe(frame, caption, QStringLiteral("frmDash(%1)").arg(i));
        m_frames[i] = frame;

        auto* picture = new QLabel(frame);
        picture->setPixmap(Icon(def.glyph).pixmap(24, 24));
        Describe(picture, QString(), QStringLiteral("imgDash(%1)").arg(i));
        m_captions[i] = new QLabel(caption, frame);
        m_captions[i]->setObjectName(QStringLiteral("frmDash(%1).caption").arg(i));
        QFont captionFont = m_captions[i]->font();
        captionFont.setBold(true);
        captionFont.setPointSizeF(captionFont.pointSizeF() * 1.15);
        m_captions[i]->setFont(captionFont);
        Describe(m_captions[i], caption, QStringLiteral("frmDash(%1)").arg(i));
        auto* head = new QHBoxLayout;
        head->setSpacing(8);
        head->addWidget(picture);
        head->addWidget(m_captions[i], 1);

        auto* grid = new QGridLayout;
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(4);
        grid->setColumnStretch(1, 1);
        for (int row = 0; row < Rows; ++row) {
            const QString title = QString::fromUtf16(def.titles[row]);
            const QString element = QStringLiteral("lblDash(%1,%2)").arg(i).arg(row);
            m_titles[i][row] = new QLabel(title, frame);
            m_titles[i][row]->setObjectName(QStringLiteral("lblTitle(%1,%2)").arg(i).arg(row));
            m_titles[i][row]->setForegroundRole(QPalette::PlaceholderText);
            Describe(m_titles[i][row], title, QStringLiteral("lblTitle(%1,%2)").arg(i).arg(row));
            m_values[i][row] = new ValueLabel(DesignedValue, frame);
            m_values[i][row]->setObjectName(element);
            Describe(m_values[i][row], DesignedValue, element);
            grid->addWidget(m_titles[i][row], row, 0);
            grid->addWidget(m_values[i][row], row, 1);
        }

        m_buttons[i] = new QPushButton(Icon(Glyph::Next), QStringLiteral("Open"), frame);
        m_buttons[i]->setObjectName(QStringLiteral("cmdDash(%1)").arg(i));
        m_buttons[i]->setToolTip(QString::fromUtf16(def.opens));
        m_buttons[i]->setAutoDefault(false);
        m_buttons[i]->setLayoutDirection(Qt::RightToLeft); // the arrow after the word
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { emit openRequested(i); });
        Describe(m_buttons[i], QStringLiteral("Open"), QStringLiteral("cmdDash(%1)").arg(i));
        auto* foot = new QHBoxLayout;
        foot->addStretch();
        foot->addWidget(m_buttons[i]);

        auto* layout = new QVBoxLayout(frame);
        layout->setContentsMargins(12, 10, 12, 10);
        layout->setSpacing(8);
        layout->addLayout(head);
        layout->addLayout(grid);
        layout->addLayout(foot);
    }
    Describe(this, QStringLiteral("DashBoard"), QStringLiteral("pctDash"));
}

void Dashboard::SetValues(int frame, const QStringList& values)
{
    if (frame < 0 || frame >= Frames)
        return;
    for (int row = 0; row < Rows && row < values.size(); ++row) {
        m_values[frame][row]->setText(values[row]);
        m_values[frame][row]->setToolTip(values[row]);
        Describe(m_values[frame][row], values[row], m_values[frame][row]->objectName());
    }
}

QString Dashboard::Value(int frame, int row) const
{
    return frame >= 0 && frame < Frames && row >= 0 && row < Rows ? m_values[frame][row]->text() : QString();
}

void Dashboard::SetEnterpriseShort(const QString& shortName)
{
    m_company->setText(shortName);
    Describe(m_company, shortName, QStringLiteral("txtComp1"));
}

void Dashboard::SetColours(const QColor& back, const QColor& text)
{
    SetPaletteRole(this, QPalette::Window, back);
    for (int i = 0; i < Frames; ++i) {
        SetPaletteRole(m_frames[i], QPalette::Window, back);
        SetPaletteRole(m_captions[i], QPalette::WindowText, text);
    }
    SetPaletteRole(m_heading, QPalette::WindowText, text);
    update();
}

QSize Dashboard::sizeHint() const
{
    int frameHeight = 0;
    for (QWidget* frame : m_frames)
        frameHeight = qMax(frameHeight, frame->sizeHint().height());
    return QSize(Frames * 170, Margin + HeadingHeight + 10 + frameHeight + 24 + Margin);
}

QSize Dashboard::minimumSizeHint() const
{
    return QSize(Frames * 100, sizeHint().height());
}

QRect Dashboard::ShapeRect() const
{
    // The decorative shape behind the frames spans the width less 250 twips.
    const int top = Margin + HeadingHeight + 10;
    return QRect(Twips(125), top, width() - Twips(250), height() - top - Margin);
}

void Dashboard::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(ShapeRect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    const QColor back = palette().color(QPalette::Window);
    painter.fillPath(path, back.darker(106));
    painter.setPen(QPen(back.darker(125), 1));
    painter.drawPath(path);
}

void Dashboard::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Arrange();
}

void Dashboard::Arrange()
{
    const int w = width();
    // The heading is centred (its left edge half the width less 1200 twips), the short name
    // sits 2050 twips in from the right edge.
    m_heading->setGeometry(w / 2 - Twips(1200), Margin, Twips(2400), HeadingHeight);
    m_company->setGeometry(w - Twips(2050), Margin + (HeadingHeight - m_company->sizeHint().height()) / 2,
        Twips(2050) - Margin, m_company->sizeHint().height());

    // Frame i is centred at 10% + 16% × i of the width and grows with the screen.
    const QRect shape = ShapeRect();
    const int frameWidth = qBound(Twips(1500), int(w * 0.16) - 16, 320);
    const int frameHeight = shape.height() - 24;
    for (int i = 0; i < Frames; ++i) {
        const int centre = int(w * 0.1 + w * 0.16 * i);
        m_frames[i]->setGeometry(centre - frameWidth / 2, shape.top() + 12, frameWidth, frameHeight);
    }
}

} // namespace kivo
