#include "PagePainter.h"

#include "PageModel.h"

#include <QFontMetricsF>
#include <QPainter>

namespace kivo {

void PagePainter::Paint(QPainter& painter, const PageModel& pages, int page, const QRectF& target)
{
    if (page < 0 || page >= pages.PageCount())
        return;
    const PageModel::Page& sheet = pages.PageAt(page);
    if (sheet.sizeMm.width() <= 0)
        return;
    constexpr double k = PageModel::PaintUnitsPerMm;
    painter.save();
    // One painter unit is a tenth of a point, the unit the model's fonts are sized in.
    painter.translate(target.topLeft());
    const double scale = target.width() / (sheet.sizeMm.width() * k);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    const QColor ink(Qt::black);
    const QColor shade(236, 236, 236);
    const QColor fill(220, 220, 220);
    const std::vector<QFont>& fonts = pages.Fonts();
    const QString pageCount = QString::number(pages.PagesShown());
    int font = -1;
    painter.setPen(ink);
    for (const PageModel::Item& item : sheet.items) {
        const QRectF rect(item.x * k, item.y * k, item.width * k, item.height * k);
        switch (item.kind) {
        case PageModel::Kind::Text: {
            if (item.font != font) {
                font = item.font;
                painter.setFont(fonts[size_t(font)]);
            }
            double x = rect.left() + item.indent * k;
            if (!item.pages) {
                painter.drawText(QPointF(x, rect.top() + item.baseline * k),
                    QString::fromRawData(sheet.Text(item).data(), sheet.Text(item).size()));
                break;
            }
            QString text = sheet.Text(item).toString();
            text.replace(PageModel::PagesMarker, pageCount);
            const double width = QFontMetricsF(fonts[size_t(font)]).horizontalAdvance(text);
            if (item.align == PageModel::Align::Right)
                x = rect.right() - width;
            else if (item.align == PageModel::Align::Center)
                x = rect.left() + (rect.width() - width) / 2;
            painter.drawText(QPointF(x, rect.top() + item.baseline * k), text);
            break;
        }
        case PageModel::Kind::Line:
            painter.setPen(QPen(ink, item.penWidth * k));
            painter.drawLine(rect.topLeft(), rect.bottomRight());
            painter.setPen(ink);
            break;
        case PageModel::Kind::Box:
            painter.setPen(item.penWidth > 0 ? QPen(ink, item.penWidth * k) : QPen(Qt::NoPen));
            painter.setBrush(item.fill ? QBrush(fill) : QBrush(Qt::NoBrush));
            painter.drawRect(rect);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(ink);
            break;
        case PageModel::Kind::Shade:
            painter.fillRect(rect, shade);
            break;
        }
    }
    painter.restore();
}

} // namespace kivo
