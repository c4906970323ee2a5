#include "ReportViewer.h"

#include "Accessibility.h"
#include "PageModel.h"
#include "PagePainter.h"
#include "ReportLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QWheelEvent>

namespace kivo {

namespace {

constexpr double Margin = 12; // px around the pages
constexpr double Gap = 12; // px between two pages
constexpr double ZoomSteps[] = { 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0 };
// A slice of layout gives the event loop back after about this long, so scrolling, paging
// and the window's buttons stay responsive while a long report is laid out.
constexpr qint64 SliceMs = 30;

QToolButton* BarButton(QWidget* bar, const QString& text, const QString& tip)
{
    auto* button = new QToolButton(bar);
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

ReportViewer::ReportViewer(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_bar(new QWidget(this))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &ReportViewer::LayOutSlice);

    auto* row = new QHBoxLayout(m_bar);
    row->setContentsMargins(4, 2, 4, 2);
    m_first = BarButton(m_bar, QStringLiteral("|<"), QStringLiteral("First Page"));
    m_prior = BarButton(m_bar, QStringLiteral("<"), QStringLiteral("Previous Page"));
    m_pageBox = new QSpinBox(m_bar);
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setRange(0, 0);
    m_pageBox->setToolTip(QStringLiteral("Go to Page"));
    if (auto* pageText = m_pageBox->findChild<QLineEdit*>())
        Describe(pageText, QStringLiteral("Go to Page"), QStringLiteral("txtPage"));
    m_pageCount = new QLabel(m_bar);
    m_next = BarButton(m_bar, QStringLiteral(">"), QStringLiteral("Next Page"));
    m_last = BarButton(m_bar, QStringLiteral(">|"), QStringLiteral("Last Page"));
    m_zoomOut = BarButton(m_bar, QStringLiteral("-"), QStringLiteral("Zoom Out"));
    m_zoomBox = new QComboBox(m_bar);
    m_zoomBox->setEditable(true);
    m_zoomBox->setInsertPolicy(QComboBox::NoInsert);
    m_zoomBox->setToolTip(QStringLiteral("Zoom"));
    for (double step : ZoomSteps)
        m_zoomBox->addItem(QString::number(qRound(step * 100)) + u'%');
    m_zoomBox->addItem(QStringLiteral("Fit Width"));
    m_zoomIn = BarButton(m_bar, QStringLiteral("+"), QStringLiteral("Zoom In"));
    m_fit = BarButton(m_bar, QStringLiteral("<->"), QStringLiteral("Fit Width"));
    for (QWidget* w : { static_cast<QWidget*>(m_first), static_cast<QWidget*>(m_prior),
             static_cast<QWidget*>(m_pageBox), static_cast<QWidget*>(m_pageCount),
             static_cast<QWidget*>(m_next), static_cast<QWidget*>(m_last) })
        row->addWidget(w);
    row->addSpacing(16);
    for (QWidget* w : { static_cast<QWidget*>(m_zoomOut), static_cast<QWidget*>(m_zoomBox),
             static_cast<QWidget*>(m_zoomIn), static_cast<QWidget*>(m_fit) })
        row->addWidget(w);
    row->addStretch();
    m_bar->setAutoFillBackground(true);

    connect(m_first, &QToolButton::clicked, this, [this] { GoToPage(0); });
    connect(m_prior, &QToolButton::clicked, this, &ReportViewer::PriorPage);
    connect(m_next, &QToolButton::clicked, this, &ReportViewer::NextPage);
    connect(m_last, &QToolButton::clicked, this, [this] { GoToPage(PageCount() - 1); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int value) {
        if (value - 1 != m_currentPage)
            GoToPage(value - 1);
    });
    connect(m_zoomOut, &QToolButton::clicked, this, &ReportViewer::ZoomOut);
    connect(m_zoomIn, &QToolButton::clicked, this, &ReportViewer::ZoomIn);
    connect(m_fit, &QToolButton::clicked, this, &ReportViewer::FitWidth);
    const auto applyZoomText = [this](const QString& text) {
        if (text == u"Fit Width") {
            FitWidth();
            return;
        }
        QString digits = text;
        digits.remove(u'%');
        bool ok = false;
        const double percent = digits.trimmed().toDouble(&ok);
        if (ok && percent > 0)
            SetZoom(percent / 100);
        else
            UpdateBar();
    };
    connect(m_zoomBox, &QComboBox::textActivated, this, applyZoomText);
    connect(m_zoomBox->lineEdit(), &QLineEdit::returnPressed, this,
        [this, applyZoomText] { applyZoomText(m_zoomBox->currentText()); });

    setViewportMargins(0, m_bar->sizeHint().height(), 0, 0);
    UpdateBar();
}

ReportViewer::~ReportViewer()
{
    // A viewer shown as a window of its own is hidden by the base class as it goes, which
    // takes the focus from an edited zoom or page box and commits its text: that signal must
    // not reach the part of the viewer already destroyed.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

void ReportViewer::Show(ReportLayout& layout)
{
    Show(layout.Pages(), [&layout](int maxRows) { return layout.LayOutSome(maxRows); });
}

void ReportViewer::Show(const PageModel& pages, std::function<bool(int maxRows)> layOutSome)
{
    Clear();
    m_pages = &pages;
    // Page 1 is there before the window shows the report; the rest follows in slices.
    bool done = false;
    while (!done && pages.PageCount() == 0)
        done = layOutSome(m_sliceRows);
    if (!done) {
        m_layOutSome = std::move(layOutSome);
        m_slices.start();
    }
    TakeNewPages();
    if (!Busy())
        emit layoutFinished();
}

void ReportViewer::Show(const PageModel& pages)
{
    Clear();
    m_pages = &pages;
    TakeNewPages();
    emit layoutFinished();
}

void ReportViewer::Clear()
{
    m_slices.stop();
    m_layOutSome = nullptr;
    m_pages = nullptr;
    m_heightsBefore.clear();
    m_widestMm = 0;
    m_currentPage = 0;
    m_painted.clear();
    Relayout(false);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    UpdateBar();
    emit pageCountChanged(0);
    viewport()->update();
}

int ReportViewer::PageCount() const
{
    return m_pages ? m_pages->PageCount() : 0;
}

void ReportViewer::LayOutSlice()
{
    if (!m_layOutSome) {
        m_slices.stop();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    bool done = false;
    while (!done && clock.elapsed() < SliceMs)
        done = m_layOutSome(m_sliceRows);
    if (done) {
        m_slices.stop();
        m_layOutSome = nullptr;
    }
    TakeNewPages();
    if (done) {
        UpdateBar(); // the count is final
        viewport()->update(); // "Page n of m" now reads the final count
        emit layoutFinished();
    }
}

void ReportViewer::FinishLayout()
{
    if (!m_layOutSome)
        return;
    while (!m_layOutSome(std::numeric_limits<int>::max())) { }
    m_slices.stop();
    m_layOutSome = nullptr;
    TakeNewPages();
    UpdateBar();
    viewport()->update();
    emit layoutFinished();
}

void ReportViewer::TakeNewPages()
{
    const int count = PageCount();
    const int known = m_heightsBefore.empty() ? 0 : int(m_heightsBefore.size()) - 1;
    if (count == known && !m_heightsBefore.empty())
        return;
    if (m_heightsBefore.empty())
        m_heightsBefore.push_back(0);
    const double widest = m_widestMm;
    for (int page = known; page < count; ++page) {
        const QSizeF size = m_pages->PageSizeMm(page);
        m_heightsBefore.push_back(m_heightsBefore.back() + size.height());
        m_widestMm = std::max(m_widestMm, size.width());
    }
    Relayout(widest != m_widestMm || known == 0);
    UpdateBar();
    emit pageCountChanged(count);
    viewport()->update();
}

double ReportViewer::PixelsPerMm() const
{
    return m_zoom * logicalDpiX() / 25.4;
}

double ReportViewer::PageTop(int page) const
{
    return Margin + m_heightsBefore[size_t(page)] * PixelsPerMm() + page * Gap;
}

int ReportViewer::PageAt(double y) const
{
    // The last page whose top is at or above y (pages only grow downwards).
    int low = 0;
    int high = PageCount() - 1;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (PageTop(mid) <= y)
            low = mid;
        else
            high = mid - 1;
    }
    return std::max(low, 0);
}

void ReportViewer::Relayout(bool keepPage)
{
    const int count = PageCount();
    // The page at the top of the view stays there, at the same place within it: measured at
    // the scale the scroll bars were last set for.
    const int anchor = m_currentPage;
    const bool anchored = keepPage && count > 0 && anchor < count;
    double within = 0;
    if (anchored) {
        const double oldPpm = m_laidZoom * logicalDpiX() / 25.4;
        const double oldTop = Margin + m_heightsBefore[size_t(anchor)] * oldPpm + anchor * Gap;
        const double height
            = (m_heightsBefore[size_t(anchor) + 1] - m_heightsBefore[size_t(anchor)]) * oldPpm;
        if (height > 0)
            within = (verticalScrollBar()->value() - oldTop + Margin) / height;
    }
    if (m_fitWidth && m_widestMm > 0) {
        const double available = viewport()->width() - 2 * Margin;
        const double fit = available / (m_widestMm * logicalDpiX() / 25.4);
        m_zoom = std::clamp(fit, MinZoom, 2.0);
    }
    m_laidZoom = m_zoom;
    const double newPpm = PixelsPerMm();
    const double contentHeight
        = count == 0 ? 0 : 2 * Margin + m_heightsBefore.back() * newPpm + (count - 1) * Gap;
    const double contentWidth = count == 0 ? 0 : 2 * Margin + m_widestMm * newPpm;
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    m_scrollingToPage = anchored;
    vertical->setRange(0, std::max(0, int(std::ceil(contentHeight)) - viewport()->height()));
    vertical->setPageStep(viewport()->height());
    vertical->setSingleStep(20);
    horizontal->setRange(0, std::max(0, int(std::ceil(contentWidth)) - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(20);
    if (anchored) {
        const double height
            = (m_heightsBefore[size_t(anchor) + 1] - m_heightsBefore[size_t(anchor)]) * newPpm;
        m_scrollingToPage = true;
        vertical->setValue(int(std::lround(PageTop(anchor) - Margin + within * height)));
    }
    m_scrollingToPage = false;
    viewport()->update();
}

void ReportViewer::GoToPage(int page)
{
    const int count = PageCount();
    if (count == 0)
        return;
    page = std::clamp(page, 0, count - 1);
    m_scrollingToPage = true;
    verticalScrollBar()->setValue(int(std::lround(PageTop(page) - Margin)));
    m_scrollingToPage = false;
    SetCurrentPage(page);
    viewport()->update();
}

void ReportViewer::SetCurrentPage(int page)
{
    if (page == m_currentPage)
        return;
    m_currentPage = page;
    UpdateBar();
    emit currentPageChanged(page);
}

void ReportViewer::scrollContentsBy(int, int)
{
    // A scroll of the user's own (bar, wheel, keys) makes the page at the top current.
    if (!m_scrollingToPage && PageCount() > 0)
        SetCurrentPage(PageAt(verticalScrollBar()->value() + Margin));
    viewport()->update();
}

void ReportViewer::SetZoom(double zoom)
{
    m_fitWidth = false;
    m_zoom = std::clamp(zoom, MinZoom, MaxZoom);
    Relayout(true);
    UpdateBar();
}

void ReportViewer::ZoomIn()
{
    for (double step : ZoomSteps)
        if (step > m_zoom + 1e-6) {
            SetZoom(step);
            return;
        }
    SetZoom(MaxZoom);
}

void ReportViewer::ZoomOut()
{
    for (auto step = std::rbegin(ZoomSteps); step != std::rend(ZoomSteps); ++step)
        if (*step < m_zoom - 1e-6) {
            SetZoom(*step);
            return;
        }
    SetZoom(MinZoom);
}

void ReportViewer::FitWidth()
{
    m_fitWidth = true;
    Relayout(true);
    UpdateBar();
}

void ReportViewer::UpdateBar()
{
    const int count = PageCount();
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setRange(count > 0 ? 1 : 0, count);
    m_pageBox->setValue(count > 0 ? m_currentPage + 1 : 0);
    m_pageBox->setEnabled(count > 0);
    m_pageCount->setText(
        Busy() ? QStringLiteral("of %1 ...").arg(count) : QStringLiteral("of %1").arg(count));
    m_first->setEnabled(m_currentPage > 0);
    m_prior->setEnabled(m_currentPage > 0);
    m_next->setEnabled(m_currentPage + 1 < count);
    m_last->setEnabled(m_currentPage + 1 < count);
    m_zoomOut->setEnabled(m_zoom > MinZoom + 1e-6);
    m_zoomIn->setEnabled(m_zoom < MaxZoom - 1e-6);
    const QSignalBlocker blockZoom(m_zoomBox);
    m_zoomBox->setEditText(
        m_fitWidth ? QStringLiteral("Fit Width") : QString::number(qRound(m_zoom * 100)) + u'%');
}

void ReportViewer::paintEvent(QPaintEvent*)
{
    m_painted.clear();
    if (PageCount() == 0)
        return;
    QPainter painter(viewport());
    const double ppm = PixelsPerMm();
    const double top = verticalScrollBar()->value();
    const double left = horizontalScrollBar()->value();
    const double viewWidth = viewport()->width();
    const double bottom = top + viewport()->height();
    for (int page = PageAt(top); page < PageCount(); ++page) {
        const double y = PageTop(page);
        if (y > bottom)
            break;
        const QSizeF size = m_pages->PageSizeMm(page);
        const double width = size.width() * ppm;
        const double height = size.height() * ppm;
        if (y + height <= top + 1) // the page above, cut to its last pixel row by rounding
            continue;
        // Narrower pages sit in the middle of the widest one; all of them in the middle of a
        // view wider than the pages.
        const double contentWidth = 2 * Margin + m_widestMm * ppm;
        const double x = std::max(Margin, (std::max(contentWidth, viewWidth) - width) / 2) - left;
        const QRectF target(x, y - top, width, height);
        painter.fillRect(target.translated(3, 3), QColor(0, 0, 0, 70));
        painter.fillRect(target, Qt::white);
        PagePainter::Paint(painter, *m_pages, page, target);
        m_painted << page;
    }
}

void ReportViewer::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const QRect area = contentsRect();
    m_bar->setGeometry(area.left(), area.top(), area.width(), m_bar->sizeHint().height());
    Relayout(true);
}

void ReportViewer::keyPressEvent(QKeyEvent* event)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_PageDown:
        NextPage();
        return;
    case Qt::Key_PageUp:
        PriorPage();
        return;
    case Qt::Key_Home:
        if (control) {
            GoToPage(0);
            return;
        }
        break;
    case Qt::Key_End:
        if (control) {
            GoToPage(PageCount() - 1);
            return;
        }
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        ZoomIn();
        return;
    case Qt::Key_Minus:
        ZoomOut();
        return;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ReportViewer::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->angleDelta().y() > 0)
            ZoomIn();
        else if (event->angleDelta().y() < 0)
            ZoomOut();
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

bool ReportViewer::Print(QPrinter& printer, QString* error)
{
    if (PageCount() == 0)
        return true;
    FinishLayout();
    const int count = PageCount();
    int from = 0;
    int to = count - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::clamp(printer.fromPage() - 1, 0, count - 1);
        to = std::clamp(printer.toPage() > 0 ? printer.toPage() - 1 : count - 1, from, count - 1);
    }
    // Each sheet takes the size of its page (a receipt roll is as long as its content).
    auto pageLayoutFor = [this](int page) {
        return QPageLayout(QPageSize(m_pages->PageSizeMm(page), QPageSize::Millimeter), QPageLayout::Portrait,
            QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    };
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutFor(from));
    QPainter painter;
    const QString name
        = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    if (!painter.begin(&printer)) {
        if (error)
            *error = QStringLiteral("The report could not be printed: the printer \"%1\" is not ready.")
                         .arg(name);
        return false;
    }
    for (int page = from; page <= to; ++page) {
        if (page > from) {
            printer.setPageLayout(pageLayoutFor(page));
            if (!printer.newPage()) {
                painter.end();
                if (error)
                    *error = QStringLiteral(
                        "The report could not be printed: the printer \"%1\" stopped at page %2.")
                                 .arg(name)
                                 .arg(page + 1);
                return false;
            }
        }
        const QRectF target = printer.pageLayout().fullRectPixels(printer.resolution());
        PagePainter::Paint(painter, *m_pages, page, QRectF(QPointF(0, 0), target.size()));
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        if (error)
            *error = QStringLiteral("The report could not be printed on \"%1\".").arg(name);
        return false;
    }
    return true;
}

} // namespace kivo
