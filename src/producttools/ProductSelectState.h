#pragma once

// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QObject>
#include <QString>

#include "GroupSavings.h"
#include "ProductListModel.h"
#include "ProductLookup.h"

#include <optional>

namespace kivo {

class LineGrid;
class ProgramContext;

// The product selection (KvPSelect, "Product Listing") without its window: the list of active
// products, the code, quantity and rate boxes and the step that walks them, adding each
// product as a new line of the calling document's grid through AddProductLine. It stays open
// for the next product. The caller names its grid and its side: CallerCode 1 (billing and
// quotes) offers the sale rate and the group saving, any other the purchase rate; `counter`
// says the caller is the billing screen (quantity 1 offered, the stock checked).
class ProductSelectState : public QObject {
    Q_OBJECT
public:
    // What the step waits for: P a product code, Q a quantity, R a rate; A adds the product
    // of the code box at once with the quantity and rate offered.
    enum class Step { P, Q, R, A };
    // Where the cursor goes after a step.
    enum class Focus { List, Code, Qty, Rate };

    ProductSelectState(
        ProgramContext& context, LineGrid& grid, int callerCode, bool counter, QObject* parent = nullptr);

    // Opening: the groups, the product list, the rate lock (PRatEdit "N"), state P and the
    // quantity offered.
    void Open();
    // The list's Enter, Tab, Space, double click or tick: the line's code into the code box,
    // state P, and the step.
    void ChooseListItem(int row);
    // Enter in a box, or the "<" button: one step of the state.
    void RunStep();

    ProductListModel& list() { return m_list; }
    Step step() const { return m_step; }
    void SetStep(Step step) { m_step = step; }
    Focus focus() const { return m_focus; }
    bool RateLocked() const { return m_rateLocked; }
    int CallerCode() const { return m_callerCode; }

    QString PCode; // txtField(2)
    QString Qty; // txtField(3)
    QString Rate; // txtField(4)

signals:
    // A line was added at `row` of the grid: the caller recomputes its totals.
    void lineAdded(int row);
    // The boxes or the cursor changed: the window shows them again.
    void changed();

private:
    void FindProduct();
    void CheckQuantity();
    void AddLine();
    void AddAtOnce();
    void ResetForNext();
    void Notice(const QString& text);

    ProgramContext& m_context;
    LineGrid& m_grid;
    int m_callerCode;
    bool m_counter;
    GroupSavings m_groups;
    ProductListModel m_list;
    std::optional<ProductRecord> m_product; // found by the last "P" step
    Step m_step = Step::P;
    Focus m_focus = Focus::List;
    bool m_rateLocked = false;
};

} // namespace kivo
