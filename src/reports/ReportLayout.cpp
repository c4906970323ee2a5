#include "ReportLayout.h"

#include "ReportFormat.h"
#include "ReportRows.h"

#include <cmath>
#include <limits>
#include <QFontMetricsF>
#include <QGuiApplication>

namespace kivo {

namespace {

using Template = ReportTemplate;
using BandKind = Template::BandKind;
constexpr double mmPerUnit = 1.0 / PageModel::PaintUnitsPerMm;
// A text longer than this is cut: no report shows more in one place, and a hostile value
// must not make measuring it the work of minutes.
constexpr qsizetype maxTextLength = 4000;
constexpr double unbounded = std::numeric_limits<double>::max() / 4;

struct FontMetrics {
    double ascent = 0; // mm
    double lineHeight = 0; // mm
    QFontMetricsF metrics;
};

struct BoundItem {
    const Template::Item* item = nullptr;
    ReportExpression expr;
    ReportExpression visible;
    int font = 0;
    bool pages = false;
};

struct BoundBand {
    const Template::Band* band = nullptr;
    ReportExpression visible;
    std::vector<BoundItem> items;
};

// A band's items as they will be placed: texts evaluated and wrapped.
struct PreparedItem {
    const BoundItem* bound = nullptr;
    QStringList lines;
};
struct PreparedBand {
    bool visible = false;
    double height = 0;
    std::vector<PreparedItem> items;
};

} // namespace

class ReportLayout::Engine {
public:
    Engine(const ReportTemplate& tpl, const ReportRows& rows, Parameters parameters)
        : m_template(tpl)
        , m_rows(rows)
        , m_given(std::move(parameters))
    {
    }

    bool Bind(TemplateError* error);
    bool LayOutSome(int maxRows);

    PageModel pages;
    bool bound = false;
    bool done = false;
    QDate today;

private:
    using Position = Template::Position;

    bool Fail(TemplateError* error, Position at, int offset, const QString& message);
    bool BindExpression(ReportExpression& expression, Position at, TemplateError* error);
    int BindFont(const Template::Item& item);
    void ComputeGroups();

    void StartPage();
    void ClosePage();
    void FlushCells();
    ExpressionScope Scope(int row, int first, int last);
    PreparedBand Prepare(const BoundBand& band, const ExpressionScope& scope);
    void Emit(const PreparedBand& band, double left, double top, double width, double bottom, bool shade);
    // Places a band at the cursor, starting a new page first when it does not fit.
    void Place(const BoundBand& band, int row, int first, int last);
    void PlaceDetail(const BoundBand& band, int row, int first);
    double Height(const BoundBand& band, int row, int first, int last);
    void LayOutRow(int row);
    void Finish();
    QStringList Wrap(const QString& text, const FontMetrics& font, double width, bool grow) const;

    ReportTemplate m_template;
    const ReportRows& m_rows;
    Parameters m_given;
    std::vector<ReportValue> m_parameters;
    AggregateCache m_cache;

    std::vector<ReportExpression> m_groupKeys;
    std::vector<BoundBand> m_reportHeaders, m_pageHeaders, m_details, m_summaries, m_pageFooters;
    std::vector<std::vector<BoundBand>> m_groupHeaders, m_groupFooters;
    std::vector<FontMetrics> m_fonts;

    // Groups: the first level at which each row starts a new group (levels when none), the
    // last row of the group each row belongs to, and the open groups' first rows.
    std::vector<int> m_breakLevel;
    std::vector<std::vector<int>> m_groupEnd;
    std::vector<int> m_groupStart;

    // Page geometry, mm.
    double m_left = 0, m_top = 0, m_width = 0, m_bottom = 0, m_footerHeight = 0;
    bool m_roll = false;

    // Layout state.
    bool m_started = false;
    int m_next = 0;
    PageModel::Page m_page;
    int m_pageNumber = 0;
    double m_y = 0;
    bool m_pageHasBody = false;
    int m_pageFirst = -1, m_pageLast = -1;
    // Detail rows across columns: the band being placed in cells, the next cell, the grid row.
    const BoundBand* m_cellBand = nullptr;
    int m_cell = 0;
    double m_cellTop = 0, m_cellHeight = 0;
};

// ---- binding

bool ReportLayout::Engine::Fail(TemplateError* error, Position at, int offset, const QString& message)
{
    if (error)
        *error = { m_template.FileName(), at.line, at.column + offset, message };
    return false;
}

bool ReportLayout::Engine::BindExpression(ReportExpression& expression, Position at, TemplateError* error)
{
    if (expression.IsEmpty())
        return true;
    QString message;
    int offset = 0;
    if (!expression.Bind(m_rows, m_template.Parameters(), &message, &offset))
        return Fail(error, at, offset, message);
    return true;
}

int ReportLayout::Engine::BindFont(const Template::Item& item)
{
    const Template::Page& page = m_template.PageSetup();
    QFont font(item.font.isEmpty() ? page.font : item.font);
    font.setPixelSize(qMax(1, int(std::lround((item.size > 0 ? item.size : page.size) * 10))));
    font.setBold(item.bold);
    font.setItalic(item.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    const int index = pages.FontIndex(font);
    if (index >= int(m_fonts.size())) {
        const QFontMetricsF metrics(font);
        m_fonts.push_back({ metrics.ascent() * mmPerUnit, metrics.lineSpacing() * mmPerUnit, metrics });
    }
    return index;
}

bool ReportLayout::Engine::Bind(TemplateError* error)
{
    bound = false;
    if (m_template.IsEmpty())
        return Fail(error, {}, 0, QStringLiteral("the template is empty"));
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return Fail(error, {}, 0, QStringLiteral("reports are laid out only where fonts can be measured"));
    const Template::Page& page = m_template.PageSetup();

    // Parameters: each one the program sets is declared, each declared one has a value.
    const std::vector<Template::Parameter>& declared = m_template.ParameterList();
    for (auto given = m_given.cbegin(); given != m_given.cend(); ++given) {
        bool found = false;
        for (const Template::Parameter& parameter : declared)
            found = found || parameter.name.compare(given.key(), Qt::CaseInsensitive) == 0;
        if (!found)
            return Fail(error, page.at, 0,
                QStringLiteral("the report sets parameter \"%1\", which the template does not declare")
                    .arg(given.key()));
    }
    m_parameters.clear();
    for (const Template::Parameter& parameter : declared) {
        bool found = false;
        for (auto given = m_given.cbegin(); given != m_given.cend() && !found; ++given)
            if (parameter.name.compare(given.key(), Qt::CaseInsensitive) == 0) {
                m_parameters.push_back(ReportValue::FromVariant(given.value()));
                found = true;
            }
        if (found)
            continue;
        if (!parameter.hasDefault)
            return Fail(
                error, parameter.at, 0, QStringLiteral("parameter \"%1\" has no value").arg(parameter.name));
        m_parameters.push_back(ReportValue::Text(parameter.defaultValue));
    }

    const size_t levels = m_template.Groups().size();
    m_groupKeys.clear();
    for (const Template::Group& group : m_template.Groups()) {
        m_groupKeys.push_back(group.expr);
        if (!BindExpression(m_groupKeys.back(), group.exprAt, error))
            return false;
    }
    m_reportHeaders.clear();
    m_pageHeaders.clear();
    m_details.clear();
    m_summaries.clear();
    m_pageFooters.clear();
    m_groupHeaders.assign(levels, {});
    m_groupFooters.assign(levels, {});
    pages.Clear();
    m_fonts.clear();
    for (const Template::Band& band : m_template.Bands()) {
        BoundBand b;
        b.band = &band;
        b.visible = band.visible;
        if (!BindExpression(b.visible, band.visibleAt, error))
            return false;
        for (const Template::Item& item : band.items) {
            BoundItem i;
            i.item = &item;
            i.expr = item.expr;
            i.visible = item.visible;
            if (!BindExpression(i.expr, item.exprAt, error)
                || !BindExpression(i.visible, item.visibleAt, error))
                return false;
            if (item.kind == Template::ItemKind::Label || item.kind == Template::ItemKind::Field)
                i.font = BindFont(item);
            i.pages = i.expr.UsesPages();
            b.items.push_back(std::move(i));
        }
        switch (band.kind) {
        case BandKind::ReportHeader:
            m_reportHeaders.push_back(std::move(b));
            break;
        case BandKind::PageHeader:
            m_pageHeaders.push_back(std::move(b));
            break;
        case BandKind::GroupHeader:
            m_groupHeaders[size_t(band.group)].push_back(std::move(b));
            break;
        case BandKind::GroupFooter:
            m_groupFooters[size_t(band.group)].push_back(std::move(b));
            break;
        case BandKind::Detail:
            m_details.push_back(std::move(b));
            break;
        case BandKind::Summary:
            m_summaries.push_back(std::move(b));
            break;
        case BandKind::PageFooter:
            m_pageFooters.push_back(std::move(b));
            break;
        }
    }

    m_roll = page.roll;
    m_left = page.marginLeft;
    m_top = page.marginTop;
    m_width = page.sizeMm.width() - page.marginLeft - page.marginRight;
    m_footerHeight = 0;
    for (const BoundBand& footer : m_pageFooters)
        m_footerHeight += footer.band->height;
    m_bottom = m_roll ? unbounded : page.sizeMm.height() - page.marginBottom - m_footerHeight;
    // A page footer that leaves no room for anything else is cut to half the page.
    if (!m_roll && m_bottom - m_top < 10) {
        m_footerHeight = (page.sizeMm.height() - page.marginTop - page.marginBottom) / 2;
        m_bottom = page.sizeMm.height() - page.marginBottom - m_footerHeight;
    }

    ComputeGroups();
    m_cache.Clear();
    m_started = false;
    done = false;
    m_next = 0;
    m_pageNumber = 0;
    if (error)
        *error = TemplateError();
    bound = true;
    return true;
}

void ReportLayout::Engine::ComputeGroups()
{
    const int rows = m_rows.RowCount();
    const int levels = int(m_groupKeys.size());
    m_breakLevel.assign(size_t(rows), levels);
    m_groupEnd.assign(size_t(levels), std::vector<int>(size_t(rows), 0));
    m_groupStart.assign(size_t(levels), 0);
    if (levels == 0)
        return;
    std::vector<QString> previous(static_cast<size_t>(levels));
    ExpressionScope scope;
    scope.rows = &m_rows;
    scope.today = today;
    scope.parameters = &m_parameters;
    for (int row = 0; row < rows; ++row) {
        scope.row = row;
        scope.first = scope.last = row;
        for (int level = 0; level < levels; ++level) {
            QString key = m_groupKeys[size_t(level)].Evaluate(scope).ToText();
            if (m_breakLevel[size_t(row)] == levels && (row == 0 || key != previous[size_t(level)]))
                m_breakLevel[size_t(row)] = level;
            previous[size_t(level)] = std::move(key);
        }
    }
    for (int level = 0; level < levels; ++level) {
        std::vector<int>& end = m_groupEnd[size_t(level)];
        for (int row = rows - 1; row >= 0; --row)
            end[size_t(row)]
                = row + 1 < rows && m_breakLevel[size_t(row + 1)] > level ? end[size_t(row + 1)] : row;
    }
}

// ---- measuring and placing

namespace {

// An amount, a quantity, an id or a date: cut to its box it would read as another value
// ("10000" for 100000), so it is drawn whole, past a box a template made too narrow.
bool IsNumberText(QStringView text)
{
    bool digit = false;
    for (const QChar c : text) {
        if (c.isDigit())
            digit = true;
        else if (!QStringView(u"+-.,/:% ").contains(c))
            return false;
    }
    return digit;
}

} // namespace

QStringList ReportLayout::Engine::Wrap(
    const QString& full, const FontMetrics& font, double width, bool grow) const
{
    const QString text = full.size() > maxTextLength ? full.left(maxTextLength) : full;
    const double limit = width / mmPerUnit;
    const auto fits
        = [&](QStringView piece) { return font.metrics.horizontalAdvance(piece.toString()) <= limit; };
    // The longest start of `piece` that fits, at least one character.
    const auto cut = [&](QStringView piece) {
        qsizetype low = 1, high = piece.size();
        while (low < high) {
            const qsizetype middle = (low + high + 1) / 2;
            if (fits(piece.left(middle)))
                low = middle;
            else
                high = middle - 1;
        }
        return low;
    };
    QStringList lines;
    if (!grow) {
        QStringView line(text);
        if (const qsizetype end = line.indexOf(u'\n'); end >= 0)
            line = line.left(end);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.isEmpty() && !fits(line) && !IsNumberText(line))
            line = line.left(cut(line));
        lines << line.toString();
        return lines;
    }
    const QStringList paragraphs = text.split(u'\n');
    for (QString paragraph : paragraphs) {
        if (paragraph.endsWith(u'\r'))
            paragraph.chop(1);
        QStringView rest(paragraph);
        if (rest.isEmpty())
            lines << QString();
        while (!rest.isEmpty()) {
            if (fits(rest)) {
                lines << rest.toString();
                break;
            }
            qsizetype take = cut(rest);
            // Break after the last blank that fits, when there is one.
            const qsizetype blank = rest.left(take + 1).lastIndexOf(u' ');
            if (blank > 0)
                take = blank;
            lines << rest.left(take).trimmed().toString();
            rest = rest.sliced(take);
            while (!rest.isEmpty() && rest.front() == u' ')
                rest = rest.sliced(1);
        }
    }
    return lines;
}

ExpressionScope ReportLayout::Engine::Scope(int row, int first, int last)
{
    ExpressionScope scope;
    scope.rows = &m_rows;
    scope.row = row;
    scope.first = first;
    scope.last = last;
    scope.page = m_pageNumber;
    scope.today = today;
    scope.parameters = &m_parameters;
    scope.cache = &m_cache;
    return scope;
}

PreparedBand ReportLayout::Engine::Prepare(const BoundBand& band, const ExpressionScope& scope)
{
    PreparedBand prepared;
    if (!band.visible.IsEmpty() && !band.visible.Evaluate(scope).IsTrue())
        return prepared;
    prepared.visible = true;
    prepared.height = band.band->height;
    const double cellWidth = band.band->columns > 1
        ? (m_width - band.band->gap * (band.band->columns - 1)) / band.band->columns
        : m_width;
    prepared.items.reserve(band.items.size());
    for (const BoundItem& bound : band.items) {
        const Template::Item& item = *bound.item;
        if (!bound.visible.IsEmpty() && !bound.visible.Evaluate(scope).IsTrue())
            continue;
        PreparedItem placed;
        placed.bound = &bound;
        if (item.kind == Template::ItemKind::Label || item.kind == Template::ItemKind::Field) {
            const QString text = item.kind == Template::ItemKind::Label
                ? item.text
                : ReportFormat::Apply(bound.expr.Evaluate(scope), item.format);
            const double width = item.w > 0 ? item.w : qMax(1.0, cellWidth - item.x);
            const FontMetrics& font = m_fonts[size_t(bound.font)];
            placed.lines = Wrap(text, font, width, item.grow);
            if (item.grow)
                prepared.height
                    = qMax(prepared.height, item.y + qMax(item.h, placed.lines.size() * font.lineHeight));
        }
        prepared.items.push_back(std::move(placed));
    }
    return prepared;
}

void ReportLayout::Engine::Emit(
    const PreparedBand& band, double left, double top, double width, double bottom, bool shade)
{
    std::vector<PageModel::Item>& out = m_page.items;
    if (shade) {
        PageModel::Item ground;
        ground.kind = PageModel::Kind::Shade;
        ground.SetRect(QRectF(left, top, width, qMin(band.height, bottom - top)));
        out.push_back(ground);
    }
    for (const PreparedItem& prepared : band.items) {
        const Template::Item& item = *prepared.bound->item;
        const double x = left + item.x;
        const double y = top + item.y;
        if (y >= bottom && item.kind != Template::ItemKind::Line)
            continue; // clipped: the band is taller than the page
        PageModel::Item placed;
        switch (item.kind) {
        case Template::ItemKind::Line:
            if (y + qMax(0.0, item.h) > bottom)
                continue;
            placed.kind = PageModel::Kind::Line;
            placed.SetRect(QRectF(QPointF(x, y), QPointF(x + item.w, y + item.h)));
            placed.penWidth = float(item.penWidth);
            out.push_back(placed);
            break;
        case Template::ItemKind::Box:
            placed.kind = PageModel::Kind::Box;
            placed.SetRect(QRectF(x, y, item.w, qMin(item.h, bottom - y)));
            placed.penWidth = float(item.penWidth);
            placed.fill = item.fill;
            out.push_back(placed);
            break;
        case Template::ItemKind::Label:
        case Template::ItemKind::Field: {
            const FontMetrics& font = m_fonts[size_t(prepared.bound->font)];
            const double w = item.w > 0 ? item.w : qMax(1.0, width - item.x);
            const PageModel::Align align = item.align == Template::Align::Right ? PageModel::Align::Right
                : item.align == Template::Align::Center                         ? PageModel::Align::Center
                                                                                : PageModel::Align::Left;
            double lineTop = y;
            for (const QString& line : prepared.lines) {
                if (lineTop + font.lineHeight > bottom + 0.01 && lineTop > y)
                    break;
                if (!line.isEmpty()) {
                    PageModel::Item text;
                    text.kind = PageModel::Kind::Text;
                    text.SetRect(QRectF(x, lineTop, w, font.lineHeight));
                    text.baseline = float(font.ascent);
                    text.font = quint16(prepared.bound->font);
                    text.align = align;
                    text.pages = prepared.bound->pages && line.contains(PageModel::PagesMarker);
                    if (align != PageModel::Align::Left && !text.pages) {
                        const double advance = font.metrics.horizontalAdvance(line) * mmPerUnit;
                        text.indent
                            = float(align == PageModel::Align::Right ? w - advance : (w - advance) / 2);
                    }
                    m_page.AddText(text, line);
                }
                lineTop += font.lineHeight;
            }
            break;
        }
        }
    }
}

void ReportLayout::Engine::StartPage()
{
    const Template::Page& setup = m_template.PageSetup();
    m_page = PageModel::Page();
    m_page.sizeMm = setup.sizeMm;
    ++m_pageNumber;
    m_y = m_top;
    m_pageFirst = m_pageLast = -1;
    m_pageHasBody = false;
    const int rows = m_rows.RowCount();
    if (m_pageNumber == 1) {
        for (const BoundBand& band : m_reportHeaders)
            Place(band, rows > 0 ? 0 : -1, 0, rows - 1);
    }
    const int first = m_next < rows ? m_next : rows - 1;
    // Headers do not hold a page: a band that does not fit below them is cut, not moved on.
    const bool body = m_pageHasBody;
    m_pageHasBody = false;
    for (const BoundBand& band : m_pageHeaders)
        Place(band, first, 0, rows - 1);
    m_pageHasBody = body;
}

void ReportLayout::Engine::ClosePage()
{
    FlushCells();
    const Template::Page& setup = m_template.PageSetup();
    const int row = m_pageLast >= 0 ? m_pageLast : qMin(m_next, m_rows.RowCount()) - 1;
    double y = m_roll ? m_y : setup.sizeMm.height() - setup.marginBottom - m_footerHeight;
    for (const BoundBand& band : m_pageFooters) {
        const PreparedBand prepared = Prepare(band, Scope(row, m_pageFirst, m_pageLast));
        if (!prepared.visible)
            continue;
        const double bottom = m_roll ? unbounded : setup.sizeMm.height() - setup.marginBottom;
        Emit(prepared, m_left, y, m_width, bottom, false);
        y += prepared.height;
    }
    if (m_roll)
        m_page.sizeMm.setHeight(std::ceil(qMax(y, m_top + 10) + setup.marginBottom));
    pages.AddPage(std::move(m_page));
    m_page = PageModel::Page();
    pages.SetPagesShown(pages.PageCount());
}

void ReportLayout::Engine::FlushCells()
{
    if (m_cellBand && m_cell > 0)
        m_y = m_cellTop + m_cellHeight;
    m_cellBand = nullptr;
    m_cell = 0;
    m_cellHeight = 0;
}

void ReportLayout::Engine::Place(const BoundBand& band, int row, int first, int last)
{
    FlushCells();
    PreparedBand prepared = Prepare(band, Scope(row, first, last));
    if (!prepared.visible)
        return;
    if (m_y + prepared.height > m_bottom + 0.001 && m_pageHasBody) {
        ClosePage();
        StartPage();
        prepared = Prepare(band, Scope(row, first, last));
        if (!prepared.visible)
            return;
    }
    Emit(prepared, m_left, m_y, m_width, m_roll ? unbounded : m_bottom, false);
    m_y = qMin(m_y + prepared.height, m_roll ? unbounded : m_bottom);
    m_pageHasBody = true;
}

double ReportLayout::Engine::Height(const BoundBand& band, int row, int first, int last)
{
    const PreparedBand prepared = Prepare(band, Scope(row, first, last));
    return prepared.visible ? prepared.height : 0;
}

void ReportLayout::Engine::PlaceDetail(const BoundBand& band, int row, int first)
{
    const Template::Band& setup = *band.band;
    const bool shade = setup.shade && row % 2 == 1;
    if (setup.columns <= 1) {
        FlushCells();
        PreparedBand prepared = Prepare(band, Scope(row, first, row));
        if (!prepared.visible)
            return;
        if (m_y + prepared.height > m_bottom + 0.001 && m_pageHasBody) {
            ClosePage();
            StartPage();
            prepared = Prepare(band, Scope(row, first, row));
        }
        Emit(prepared, m_left, m_y, m_width, m_roll ? unbounded : m_bottom, shade);
        m_y = qMin(m_y + prepared.height, m_roll ? unbounded : m_bottom);
    } else {
        if (m_cellBand != &band)
            FlushCells();
        PreparedBand prepared = Prepare(band, Scope(row, first, row));
        if (!prepared.visible)
            return;
        if (m_cell == 0 && m_y + prepared.height > m_bottom + 0.001 && m_pageHasBody) {
            ClosePage();
            StartPage();
            prepared = Prepare(band, Scope(row, first, row));
        }
        if (m_cell == 0) {
            m_cellTop = m_y;
            m_cellHeight = 0;
        }
        const double cellWidth = (m_width - setup.gap * (setup.columns - 1)) / setup.columns;
        Emit(prepared, m_left + m_cell * (cellWidth + setup.gap), m_cellTop, cellWidth,
            m_roll ? unbounded : m_bottom, shade);
        m_cellBand = &band;
        m_cellHeight = qMax(m_cellHeight, qMin(prepared.height, m_bottom - m_cellTop));
        if (++m_cell == setup.columns) {
            m_y = m_cellTop + m_cellHeight;
            m_cell = 0;
            m_cellBand = nullptr;
        }
    }
    m_pageHasBody = true;
    if (m_pageFirst < 0)
        m_pageFirst = row;
    m_pageLast = row;
}

void ReportLayout::Engine::LayOutRow(int row)
{
    const int levels = int(m_groupKeys.size());
    const int level = m_breakLevel.empty() ? levels : m_breakLevel[size_t(row)];
    if (row > 0)
        for (int g = levels - 1; g >= level; --g)
            for (const BoundBand& band : m_groupFooters[size_t(g)])
                Place(band, row - 1, m_groupStart[size_t(g)], row - 1);
    for (int g = level; g < levels; ++g)
        m_groupStart[size_t(g)] = row;
    if (level < levels) {
        // A group header that would stand alone at the foot of a page goes to the next page
        // with its first row.
        bool newPage = false;
        double needed = 0;
        for (int g = level; g < levels; ++g)
            for (const BoundBand& band : m_groupHeaders[size_t(g)]) {
                newPage = newPage || band.band->newPage;
                needed += Height(band, row, row, m_groupEnd[size_t(g)][size_t(row)]);
            }
        const int first = m_groupStart[size_t(levels - 1)];
        for (const BoundBand& band : m_details)
            needed += band.band->columns > 1 ? 0 : Height(band, row, first, row);
        FlushCells();
        if ((newPage && m_pageLast >= 0) || (m_pageHasBody && m_y + needed > m_bottom + 0.001)) {
            ClosePage();
            StartPage();
        }
        for (int g = level; g < levels; ++g)
            for (const BoundBand& band : m_groupHeaders[size_t(g)]) {
                // A group that asks for its own page starts one unless this page holds no rows
                // yet (the report header may stand above the first group).
                if (band.band->newPage && m_pageLast >= 0) {
                    ClosePage();
                    StartPage();
                }
                Place(band, row, row, m_groupEnd[size_t(g)][size_t(row)]);
            }
    }
    const int first = levels > 0 ? m_groupStart[size_t(levels - 1)] : 0;
    for (const BoundBand& band : m_details)
        PlaceDetail(band, row, first);
    // The row belongs to this page even when no detail band shows it (its page footer sums it).
    if (m_pageFirst < 0)
        m_pageFirst = row;
    m_pageLast = row;
}

void ReportLayout::Engine::Finish()
{
    const int rows = m_rows.RowCount();
    const int levels = int(m_groupKeys.size());
    if (rows > 0)
        for (int g = levels - 1; g >= 0; --g)
            for (const BoundBand& band : m_groupFooters[size_t(g)])
                Place(band, rows - 1, m_groupStart[size_t(g)], rows - 1);
    for (const BoundBand& band : m_summaries)
        Place(band, rows - 1, 0, rows - 1);
    ClosePage();
    done = true;
}

bool ReportLayout::Engine::LayOutSome(int maxRows)
{
    if (!bound || done)
        return true;
    if (!m_started) {
        m_started = true;
        StartPage();
    }
    const int rows = m_rows.RowCount();
    maxRows = qMax(1, maxRows); // every call makes progress
    for (int laidOut = 0; laidOut < maxRows && m_next < rows; ++laidOut)
        LayOutRow(m_next++);
    if (m_next >= rows)
        Finish();
    return done;
}

// ---- the public face

ReportLayout::ReportLayout(const ReportTemplate& tpl, const ReportRows& rows, Parameters parameters)
    : m_engine(std::make_unique<Engine>(tpl, rows, std::move(parameters)))
{
}

ReportLayout::~ReportLayout() = default;

void ReportLayout::SetToday(QDate today)
{
    m_engine->today = today;
}

bool ReportLayout::Bind(TemplateError* error)
{
    return m_engine->Bind(error);
}

bool ReportLayout::LayOutSome(int maxRows)
{
    return m_engine->LayOutSome(maxRows);
}

void ReportLayout::LayOutAll()
{
    while (!m_engine->LayOutSome(4096)) { }
}

bool ReportLayout::Done() const
{
    return !m_engine->bound || m_engine->done;
}

const PageModel& ReportLayout::Pages() const
{
    return m_engine->pages;
}

} // namespace kivo
