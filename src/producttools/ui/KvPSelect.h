#pragma once

#include <functional>
#include <QDialog>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace kivo {

class LineGrid;
class ProgramContext;
class ProductSelectState;

// The product selection window, "Product Listing": the active products in lstList under the
// headings "PName" and "PCode", the boxes PCode, Qty and Rate, the "<" step button and "Close".
// Enter in a box (or "<") runs the step; Enter, Tab, Space, a double click or ticking a line
// in the list takes its product; Escape closes. Each product goes into the caller's grid as a new line, and
// the window stays open for the next one. The steps are ProductSelectState's.
class KvPSelect : public QDialog {
    Q_OBJECT
public:
    // callerCode 1 for the sale side (billing, quotes), 2 for the purchase side; counter: the
    // billing screen is the caller.
    KvPSelect(
        ProgramContext& context, LineGrid& grid, int callerCode, bool counter, QWidget* parent = nullptr);
    ~KvPSelect() override;

    // Shows the window modally; lineAdded runs after each line added (the caller's totals).
    static void Select(ProgramContext& context, LineGrid& grid, int callerCode, bool counter, QWidget* parent,
        const std::function<void(int row)>& lineAdded);

    ProductSelectState& state() const { return *m_state; }
    QListView* list() const { return m_list; }
    QLineEdit* box(int i) const { return m_boxes[i - 2]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    void TakeListItem();

    ProgramContext& m_context;
    std::unique_ptr<ProductSelectState> m_state;
    QLabel* m_headings[2];
    QListView* m_list;
    QLineEdit* m_boxes[3]; // txtField(2), (3), (4)
    QPushButton* m_step;
    QPushButton* m_close;
};

} // namespace kivo
