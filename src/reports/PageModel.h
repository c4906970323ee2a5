#pragma once

#include <QChar>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringView>
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

    // Held by the million for a long listing, so an item is small: geometry in floats and
    // its text as a stretch of the page's text pool rather than a string of its own.
    struct Item {
        float x = 0, y = 0, width = 0, height = 0; // mm; Line: from (x, y) to (x + width, y + height)
        float baseline = 0; // Text: the baseline's distance below the top, mm
        union { // a text has no pen, a line or box no indent
            float indent = 0; // Text: where the text starts, right of the left edge, mm (alignment done)
            float penWidth; // Line and Box, mm
        };
        quint32 textStart = 0; // Text: where its text starts in the page's pool
        quint32 textLength = 0;
        quint16 font = 0; // Text: index into Fonts()
        Kind kind = Kind::Text;
        Align align = Align::Left;
        bool fill = false; // Box: light grey ground
        bool pages = false; // Text: holds PagesMarker, aligned within the rect when painted

        QRectF Rect() const { return QRectF(x, y, width, height); }
        void SetRect(const QRectF& rect)
        {
            x = float(rect.x());
            y = float(rect.y());
            width = float(rect.width());
            height = float(rect.height());
        }
    };
    static_assert(sizeof(Item) <= 40, "an item stays small: a long listing holds millions");
    struct Page {
        QSizeF sizeMm;
        std::vector<Item> items;
        QString texts; // every text item's characters, one after another

        QStringView Text(const Item& item) const
        {
            return QStringView(texts).sliced(item.textStart, item.textLength);
        }
        // Places `item` with `text` at the end of the page.
        void AddText(Item item, QStringView text)
        {
            item.textStart = quint32(texts.size());
            item.textLength = quint32(text.size());
            texts.append(text);
            items.push_back(item);
        }
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
