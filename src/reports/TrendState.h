#pragma once

#include <functional>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace kivo {

class ProgramContext;

// The sales trend's state, without any widget: for a date range, the top 10 products by
// quantity and by value and the top 5 product groups by quantity and by value, read from the
// bill lines ("Sales") or the purchase lines ("Purchase"). Products are ranked by the
// description stored on the line; groups are reached through the line's product code.
class TrendState {
public:
    enum Mode { Sales = 0, Purchase = 1 };
    static constexpr int GridCount = 4;
    static constexpr int DateWidth = 10;

    // One grid's result: the column names of its statement and its rows (texts as the grid
    // shows them, values for whoever needs the numbers).
    struct Grid {
        QStringList headings;
        std::vector<QStringList> texts;
        std::vector<QVariantList> values;
    };

    explicit TrendState(ProgramContext& context);

    // Opening: "Sales", both calendars and boxes on today.
    void Open();
    // cmdView: refuses a start after the end with "Invalid Range !" (false); otherwise fills
    // the four grids in order, calling `filled` with each grid's index as it is done (a window
    // shows it at once: over a long range each statement takes a moment). A grid whose
    // statement fails is reported and left empty; the others are still filled.
    bool View(const std::function<void(int grid)>& filled = {});

    // A calendar's pick: the calendar's date and its box in the short date form.
    void SetStart(const QDate& date);
    void SetEnd(const QDate& date);

    // "Between #MM/DD/YYYY# And #MM/DD/YYYY# ) ": the part of each statement after the date column.
    static QString Criterion(const QDate& start, const QDate& end);
    // The statement of grid 0..3 for a mode and criterion.
    static QString GridStatement(int grid, Mode mode, const QString& criterion);

    const Grid& grid(int index) const { return m_grids[size_t(index)]; }

    Mode cmbTrend = Sales;
    QDate monSel1, monSel2; // the calendars: what View reads
    QString txtTrend1, txtTrend2; // the read-only boxes beside them
    QString CriteriaSql; // the last View's criterion
    QString SqlText; // the last grid's statement

private:
    ProgramContext& m_context;
    std::vector<Grid> m_grids = std::vector<Grid>(GridCount);
};

} // namespace kivo
