#pragma once

#include <functional>
#include <QAbstractScrollArea>
#include <QList>
#include <QTimer>
#include <vector>

class QLabel;
class QPrinter;
class QSpinBox;
class QToolButton;
class QComboBox;

namespace kivo {

class PageModel;
class ReportLayout;

// The report viewer: the pages of a laid-out report one below the other, with a bar to page
// through them (first, prior, page number, next, last) and to zoom (out, in, a zoom list, fit
// width). A long report is shown from its first page while the rest is laid out in short
// slices from the event loop, so the window stays responsive; a paint draws only the pages in
// view. PageDown/PageUp move by a page, Ctrl+Home/Ctrl+End to the first/last page, Ctrl with
// the wheel or "+"/"-" zoom.
class ReportViewer : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ReportViewer(QWidget* parent = nullptr);
    ~ReportViewer() override;

    // Shows a bound layout: lays out until page 1 is complete, the rest in slices from the
    // event loop. The layout stays the caller's and must live until Clear() or the next Show.
    void Show(ReportLayout& layout);
    // The same for a layout the caller drives: `layOutSome(maxRows)` lays out up to that many
    // more rows and says whether the report is complete; `pages` is the model it fills.
    void Show(const PageModel& pages, std::function<bool(int maxRows)> layOutSome);
    // Shows pages already laid out; the model stays the caller's, as above.
    void Show(const PageModel& pages);
    // Shows nothing (a report that could not be built).
    void Clear();

    bool HasReport() const { return m_pages != nullptr; }
    // The layout is still running.
    bool Busy() const { return bool(m_layOutSome); }
    // Lays out the rest at once (printing needs every page).
    void FinishLayout();
    const PageModel* Pages() const { return m_pages; }
    int PageCount() const;

    // Pages are counted from 0 here; the bar shows them from 1.
    int CurrentPage() const { return m_currentPage; }
    void GoToPage(int page);
    void NextPage() { GoToPage(m_currentPage + 1); }
    void PriorPage() { GoToPage(m_currentPage - 1); }

    // 1.0 shows a page at its real size on the screen.
    double Zoom() const { return m_zoom; }
    void SetZoom(double zoom);
    void ZoomIn();
    void ZoomOut();
    // Zooms so that the widest page fills the view's width, and keeps it so as the view resizes.
    void FitWidth();
    bool FittingWidth() const { return m_fitWidth; }
    static constexpr double MinZoom = 0.25;
    static constexpr double MaxZoom = 4.0;

    // Rows laid out per step of a slice.
    void SetSliceRows(int rows) { m_sliceRows = rows; }
    // The pages the last paint drew, in order.
    const QList<int>& PaintedPages() const { return m_painted; }

    // Prints every page (or the printer's page range) with the page sizes of the report;
    // false and a message for the user when the printer cannot be used.
    bool Print(QPrinter& printer, QString* error);

signals:
    void pageCountChanged(int count);
    void currentPageChanged(int page);
    void layoutFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void LayOutSlice();
    void TakeNewPages();
    void Relayout(bool keepPage);
    double PixelsPerMm() const;
    double PageTop(int page) const;
    int PageAt(double y) const;
    void UpdateBar();
    void SetCurrentPage(int page);

    const PageModel* m_pages = nullptr;
    std::function<bool(int)> m_layOutSome; // while the report is still being laid out
    QTimer m_slices;
    int m_sliceRows = 200;

    std::vector<double> m_heightsBefore; // mm of the pages above each page (one more entry)
    double m_widestMm = 0;
    double m_zoom = 1.0;
    double m_laidZoom = 1.0; // the zoom the scroll bars were last set for
    bool m_fitWidth = true;
    int m_currentPage = 0;
    bool m_scrollingToPage = false;
    QList<int> m_painted;

    QWidget* m_bar;
    QToolButton* m_first;
    QToolButton* m_prior;
    QSpinBox* m_pageBox;
    QLabel* m_pageCount;
    QToolButton* m_next;
    QToolButton* m_last;
    QToolButton* m_zoomOut;
    QComboBox* m_zoomBox;
    QToolButton* m_zoomIn;
    QToolButton* m_fit;
};

} // namespace kivo
