#include "DrawnIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kivo {

namespace {

const QColor ProgramBlue(0x1F, 0x5F, 0xA8);
const QColor GoGreen(0x1E, 0x84, 0x49);
const QColor StopRed(0xC0, 0x39, 0x2B);
const QColor DisabledGrey(0x9A, 0xA0, 0xA6);

QColor DefaultAccent(Glyph glyph)
{
    switch (glyph) {
    case Glyph::Add:
    case Glyph::Save:
        return GoGreen;
    case Glyph::Delete:
    case Glyph::Cancel:
    case Glyph::Quit:
        return StopRed;
    default:
        return ProgramBlue;
    }
}

// Draws on a 24 × 24 grid: the painter is scaled to the icon's size beforehand.
class GlyphPainter {
public:
    GlyphPainter(QPainter& painter, const QColor& line)
        : p(painter)
        , line(line)
        , tint(line)
    {
        tint.setAlpha(46);
        Pen();
    }

    void Pen(qreal width = 1.7) { p.setPen(QPen(line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)); }
    void Line(qreal x1, qreal y1, qreal x2, qreal y2) { p.drawLine(QPointF(x1, y1), QPointF(x2, y2)); }
    // A shape outlined in the line colour, filled with its tint (or with white, to cover
    // what lies behind it, or solid).
    enum class Fill { Tint, White, Solid, None };
    void Shape(const QPainterPath& path, Fill fill = Fill::Tint)
    {
        if (fill == Fill::White || fill == Fill::Tint)
            p.fillPath(path, Qt::white);
        if (fill == Fill::Tint)
            p.fillPath(path, tint);
        if (fill == Fill::Solid)
            p.fillPath(path, line);
        p.drawPath(path);
    }
    void Polygon(std::initializer_list<QPointF> points, Fill fill = Fill::Tint)
    {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points)));
        path.closeSubpath();
        Shape(path, fill);
    }
    void Rect(qreal x, qreal y, qreal w, qreal h, qreal radius = 1.5, Fill fill = Fill::Tint)
    {
        QPainterPath path;
        path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
        Shape(path, fill);
    }
    void Circle(qreal x, qreal y, qreal r, Fill fill = Fill::Tint)
    {
        QPainterPath path;
        path.addEllipse(QPointF(x, y), r, r);
        Shape(path, fill);
    }
    void Dot(qreal x, qreal y, qreal r = 0.9)
    {
        QPainterPath path;
        path.addEllipse(QPointF(x, y), r, r);
        p.fillPath(path, line);
    }
    void Letter(const QRectF& box, const QString& text, qreal size = 7.5)
    {
        QFont font = p.font();
        font.setPixelSize(qRound(size * 2));
        font.setBold(true);
        p.save();
        p.scale(0.5, 0.5); // a whole pixel size at twice the grid keeps small letters sharp
        p.setFont(font);
        p.drawText(
            QRectF(box.x() * 2, box.y() * 2, box.width() * 2, box.height() * 2), Qt::AlignCenter, text);
        p.restore();
    }
    // A small round badge in the lower right corner with a white sign on it.
    void Badge(const QString& sign)
    {
        Circle(17.5, 16.5, 5, Fill::Solid);
        p.save();
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
        if (sign == u"+" || sign == u"-")
            Line(15, 16.5, 20, 16.5);
        if (sign == u"+")
            Line(17.5, 14, 17.5, 19);
        if (sign == u"i") {
            Line(17.5, 16, 17.5, 19);
            p.fillRect(QRectF(16.7, 13.2, 1.6, 1.6), Qt::white);
        }
        p.restore();
    }
    void Person(qreal dx = 0)
    {
        Circle(12 + dx, 8, 3.8);
        QPainterPath body;
        body.moveTo(5 + dx, 20.5);
        body.lineTo(5 + dx, 18.5);
        body.quadTo(5 + dx, 13.5, 12 + dx, 13.5);
        body.quadTo(19 + dx, 13.5, 19 + dx, 18.5);
        body.lineTo(19 + dx, 20.5);
        body.closeSubpath();
        Shape(body);
    }
    void Magnifier(bool withBox)
    {
        Circle(10.5, 10.5, 6.2);
        if (withBox)
            Rect(8, 8, 5, 5, 0.6, Fill::None);
        Pen(2.6);
        Line(15.2, 15.2, 20, 20);
        Pen();
    }
    void Printer(const QString& letter)
    {
        Rect(7, 3, 10, 6, 0.8, Fill::White);
        Rect(3, 8, 18, 8.5, 2);
        Rect(6.5, 13, 11, 8.5, 0.8, Fill::White);
        Letter(QRectF(6.5, 13.2, 11, 8.5), letter, 6);
    }

    QPainter& p;
    QColor line;
    QColor tint;
};

void DrawGlyph(GlyphPainter& g, Glyph glyph)
{
    using Fill = GlyphPainter::Fill;
    switch (glyph) {
    case Glyph::Add:
        g.Circle(12, 12, 8.5);
        g.Line(12, 8, 12, 16);
        g.Line(8, 12, 16, 12);
        break;
    case Glyph::Modify:
        g.Polygon({ { 4, 20 }, { 5, 15.5 }, { 15.5, 5 }, { 19, 8.5 }, { 8.5, 19 } });
        g.Line(13.3, 7.2, 16.8, 10.7);
        g.Line(3.5, 21, 20.5, 21);
        break;
    case Glyph::Delete:
        g.Polygon({ { 6, 7 }, { 7.2, 20.5 }, { 16.8, 20.5 }, { 18, 7 } });
        g.Line(4, 7, 20, 7);
        g.Polygon({ { 9, 7 }, { 9, 4 }, { 15, 4 }, { 15, 7 } }, Fill::None);
        g.Line(10.2, 10.5, 10.4, 17);
        g.Line(13.8, 10.5, 13.6, 17);
        break;
    case Glyph::Save:
        g.Polygon({ { 4, 4 }, { 17, 4 }, { 20, 7 }, { 20, 20 }, { 4, 20 } });
        g.Rect(8, 4, 7, 5, 0.5, Fill::White);
        g.Rect(7, 13, 10, 7, 0.5, Fill::White);
        break;
    case Glyph::Xerox:
        g.Rect(8.5, 3, 11, 13.5);
        g.Rect(4.5, 7.5, 11, 13.5, 1.5, Fill::White);
        g.Rect(4.5, 7.5, 11, 13.5);
        break;
    case Glyph::Cancel:
        g.Circle(12, 12, 8.5);
        g.Line(9, 9, 15, 15);
        g.Line(15, 9, 9, 15);
        break;
    case Glyph::First:
        g.Line(6, 6, 6, 18);
        g.Polygon({ { 18, 6 }, { 9.5, 12 }, { 18, 18 } });
        break;
    case Glyph::Prior:
        g.Polygon({ { 16, 6 }, { 7.5, 12 }, { 16, 18 } });
        break;
    case Glyph::Next:
        g.Polygon({ { 8, 6 }, { 16.5, 12 }, { 8, 18 } });
        break;
    case Glyph::Last:
        g.Polygon({ { 6, 6 }, { 14.5, 12 }, { 6, 18 } });
        g.Line(18, 6, 18, 18);
        break;
    case Glyph::Inquiry:
    case Glyph::Find:
        g.Magnifier(false);
        break;
    case Glyph::ProductQuery:
        g.Magnifier(true);
        break;
    case Glyph::Report:
        g.Polygon({ { 6, 3 }, { 14, 3 }, { 18.5, 7.5 }, { 18.5, 21 }, { 6, 21 } });
        g.Polygon({ { 14, 3 }, { 14, 7.5 }, { 18.5, 7.5 } }, Fill::None);
        g.Line(9, 11.5, 15.5, 11.5);
        g.Line(9, 14.5, 15.5, 14.5);
        g.Line(9, 17.5, 13, 17.5);
        break;
    case Glyph::Exit: {
        QPainterPath door;
        door.moveTo(13, 4);
        door.lineTo(5, 4);
        door.lineTo(5, 20);
        door.lineTo(13, 20);
        g.Shape(door, Fill::None);
        g.Line(10, 12, 20, 12);
        g.Polygon({ { 17, 9 }, { 20, 12 }, { 17, 15 } }, Fill::None);
        break;
    }
    case Glyph::ShowLabels:
    case Glyph::HideLabels:
        g.Line(3.5, 6, 15, 6);
        g.Line(3.5, 10, 12.5, 10);
        g.Line(3.5, 14, 10, 14);
        g.Line(3.5, 18, 10, 18);
        g.Badge(glyph == Glyph::ShowLabels ? QStringLiteral("+") : QStringLiteral("-"));
        break;
    case Glyph::Product:
        g.Polygon({ { 12, 3 }, { 20, 7.5 }, { 20, 16.5 }, { 12, 21 }, { 4, 16.5 }, { 4, 7.5 } });
        g.Polygon({ { 4, 7.5 }, { 12, 12 }, { 20, 7.5 } }, Fill::None);
        g.Line(12, 12, 12, 21);
        break;
    case Glyph::Coupon: {
        QPainterPath ticket;
        ticket.moveTo(3, 6.5);
        ticket.lineTo(21, 6.5);
        ticket.lineTo(21, 10);
        ticket.arcTo(QRectF(19, 10, 4, 4), 90, 180);
        ticket.lineTo(21, 17.5);
        ticket.lineTo(3, 17.5);
        ticket.lineTo(3, 14);
        ticket.arcTo(QRectF(1, 10, 4, 4), -90, 180);
        ticket.closeSubpath();
        g.Shape(ticket);
        g.Line(8, 15, 13, 9);
        g.Dot(8.2, 9.5, 1.2);
        g.Dot(12.8, 14.5, 1.2);
        g.p.save();
        g.p.setPen(QPen(g.line, 1.2, Qt::DotLine));
        g.Line(16, 7.5, 16, 16.5);
        g.p.restore();
        break;
    }
    case Glyph::Customer:
        g.Person();
        break;
    case Glyph::CustomerInfo:
        g.Person(-2.5);
        g.Badge(QStringLiteral("i"));
        break;
    case Glyph::Supplier:
        g.Rect(2.5, 6, 11.5, 10.5, 1);
        g.Polygon({ { 14, 9 }, { 18, 9 }, { 21.2, 12.5 }, { 21.2, 16.5 }, { 14, 16.5 } });
        g.Circle(7, 17.5, 2, Fill::White);
        g.Circle(17, 17.5, 2, Fill::White);
        break;
    case Glyph::Bill:
        g.Polygon({ { 6, 3 }, { 18, 3 }, { 18, 21 }, { 16.5, 19.5 }, { 15, 21 }, { 13.5, 19.5 }, { 12, 21 },
            { 10.5, 19.5 }, { 9, 21 }, { 7.5, 19.5 }, { 6, 21 } });
        g.Line(9, 7.5, 15, 7.5);
        g.Line(9, 10.5, 15, 10.5);
        g.Line(9, 13.5, 12.5, 13.5);
        break;
    case Glyph::Quote: {
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(3, 4, 18, 12), 3, 3);
        QPainterPath tail;
        tail.moveTo(7.5, 15);
        tail.lineTo(6.5, 20.5);
        tail.lineTo(12.5, 15);
        g.Shape(bubble.united(tail));
        g.Line(7, 8.5, 17, 8.5);
        g.Line(7, 11.5, 14, 11.5);
        break;
    }
    case Glyph::Purchase: {
        g.Polygon({ { 5, 8.5 }, { 19, 8.5 }, { 18, 21 }, { 6, 21 } });
        QPainterPath handle;
        handle.moveTo(9, 11);
        handle.lineTo(9, 7);
        handle.cubicTo(9, 2.8, 15, 2.8, 15, 7);
        handle.lineTo(15, 11);
        g.Shape(handle, Fill::None);
        break;
    }
    case Glyph::Order:
        g.Rect(5, 4.5, 14, 17);
        g.Rect(9, 3, 6, 3.5, 1, Fill::White);
        g.Line(8.5, 11, 15.5, 11);
        g.Line(8.5, 14.5, 15.5, 14.5);
        g.Line(8.5, 18, 12.5, 18);
        break;
    case Glyph::Accounting:
        g.Rect(5, 3, 14, 18, 2);
        g.Rect(7.5, 5.5, 9, 4, 0.5, Fill::White);
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                g.Dot(8.8 + 3.2 * column, 12.7 + 2.9 * row);
        break;
    case Glyph::Billing: {
        g.Polygon({ { 6.3, 7.5 }, { 20.8, 7.5 }, { 18.3, 15 }, { 7.8, 15 } });
        QPainterPath handle;
        handle.moveTo(2.5, 4);
        handle.lineTo(5, 4);
        handle.lineTo(7.8, 15);
        g.Shape(handle, Fill::None);
        g.Circle(9.2, 19, 1.7, Fill::White);
        g.Circle(17, 19, 1.7, Fill::White);
        break;
    }
    case Glyph::PrintSmall:
        g.Printer(QStringLiteral("S"));
        break;
    case Glyph::PrintLarge:
        g.Printer(QStringLiteral("L"));
        break;
    case Glyph::GiftReceipt: {
        g.Rect(4.5, 10.5, 15, 10, 1);
        g.Rect(3, 7.5, 18, 3.5, 1);
        g.Line(12, 7.5, 12, 20.5);
        QPainterPath bow;
        bow.moveTo(12, 7.5);
        bow.cubicTo(9.5, 2, 5.5, 4.5, 8.5, 7.5);
        bow.moveTo(12, 7.5);
        bow.cubicTo(14.5, 2, 18.5, 4.5, 15.5, 7.5);
        g.Shape(bow, Fill::None);
        break;
    }
    case Glyph::Quit:
        // A ring open at the top, with the switch line through the gap.
        g.p.drawArc(QRectF(4.5, 5, 15, 15), 125 * 16, 290 * 16);
        g.Line(12, 3.5, 12, 11.5);
        break;
    case Glyph::Generic:
        g.Rect(5, 5, 14, 14, 3);
        break;
    }
}

class GlyphEngine : public QIconEngine {
public:
    GlyphEngine(Glyph glyph, const QColor& accent)
        : m_glyph(glyph)
        , m_accent(accent.isValid() ? accent : DefaultAccent(glyph))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setRenderHint(QPainter::TextAntialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 24.0, rect.height() / 24.0);
        GlyphPainter glyph(*painter, mode == QIcon::Disabled ? DisabledGrey : m_accent);
        DrawGlyph(glyph, m_glyph);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new GlyphEngine(m_glyph, m_accent); }
    QString key() const override { return QStringLiteral("KivoGlyph"); }

private:
    Glyph m_glyph;
    QColor m_accent;
};

} // namespace

QIcon DrawnIcon(Glyph glyph, const QColor& accent)
{
    return QIcon(new GlyphEngine(glyph, accent));
}

Glyph CommandGlyph(int command)
{
    switch (command) {
    case 1:
        return Glyph::Add;
    case 2:
        return Glyph::Modify;
    case 3:
        return Glyph::Delete;
    case 5:
        return Glyph::Save;
    case 6:
        return Glyph::Xerox;
    case 7:
        return Glyph::Cancel;
    case 9:
        return Glyph::First;
    case 10:
        return Glyph::Prior;
    case 11:
        return Glyph::Next;
    case 12:
        return Glyph::Last;
    case 14:
        return Glyph::Inquiry;
    case 15:
        return Glyph::Report;
    case 17:
        return Glyph::Exit;
    default:
        return Glyph::Generic;
    }
}

Glyph ModuleGlyph(int module)
{
    static const Glyph modules[9] = { Glyph::Product, Glyph::Coupon, Glyph::Customer, Glyph::Supplier,
        Glyph::Bill, Glyph::Quote, Glyph::Purchase, Glyph::Order, Glyph::Accounting };
    return module >= 0 && module < 9 ? modules[module] : Glyph::Generic;
}

} // namespace kivo
