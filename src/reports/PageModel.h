#pragma once

#include <QChar>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

namespace kivo {

// The laid-out report: pages of placed texts, lines and boxes, in millimetres from the
// page's top-left corner. A page is final once it is here; PageCount() grows while a
// layout runs. Texts that show the page count hold PagesMarker, which the painter replaces
// once the count is known, so "Page n of m" is right on every page when layout is done.
class PageModel {
public:
    static constexpr QChar PagesMarker = QChar(0xE000);

    enum class Kind : quint8 { Text, Line, Box, Shade };
    enum class Align : quint8 { Left, Center, Right };

    struct Item {
        QString text; // Text
        QRectF rect; // mm; Line: from topLeft to bottomRight
        float baseline = 0; // Text: the baseline's distance below rect.top(), mm
        float indent = 0; // Text: where the text starts, right of rect.left(), mm (alignment done)
        float penWidth = 0; // Line and Box, mm
        quint16 font = 0; // Text: index into Fonts()
        Kind kind = Kind::Text;
        Align align = Align::Left;
        bool fill = false; // Box: light grey ground
        bool pages = false; // Text: holds PagesMarker, aligned within rect when painted
    };
    struct Page {
        QSizeF sizeMm;
        std::vector<Item> items;
    };

    int PageCount() const { return int(m_pages.size()); }
    QSizeF PageSizeMm(int page) const { return m_pages[size_t(page)].sizeMm; }
    const Page& PageAt(int page) const { return m_pages[size_t(page)]; }
    // The page count texts read: the pages laid out so far, or the final count.
    int PagesShown() const { return m_pagesShown; }

    // Fonts as the painter sets them: pixel size in PaintUnitsPerMm units (tenths of a point).
    const std::vector<QFont>& Fonts() const { return m_fonts; }
    static constexpr double PaintUnitsPerMm = 720.0 / 25.4;

    // Building (ReportLayout).
    int FontIndex(const QFont& font);
    void AddPage(Page page);
    void SetPagesShown(int pages) { m_pagesShown = pages; }
    void Clear();

private:
    std::vector<Page> m_pages;
    std::vector<QFont> m_fonts;
    int m_pagesShown = 0;
};

} // namespace kivo
