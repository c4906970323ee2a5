#pragma once

#include <QRectF>

class QPainter;

namespace kivo {

class PageModel;

// Paints one page of a laid-out report onto any device: the viewer widget, a QPdfWriter or
// a QPrinter. `target` (device pixels) holds the whole page; the painter's state is left as
// it was.
class PagePainter {
public:
    static void Paint(QPainter& painter, const PageModel& pages, int page, const QRectF& target);
};

} // namespace kivo
