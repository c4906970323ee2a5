#pragma once

#include <functional>
#include <QWidget>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kivo {

class LineGrid;
class OrderPanel;
class ProgramContext;
class QuotePanel;
class RecordEngine;
class RecordScreen;
class RecordScreenView;

// The window of the four document screens (bill, quote, purchase, order): the record
// screen's own view (fields and lines) with what a document adds. Quote, purchase and order
// have a products button that opens the product selection on the screen's grid while a
// document is edited; the quote and the order have their conversion button ("To Bill     >",
// "To Purchase <") and panel, with its process buttons, while a saved document is browsed.
// The totals follow every line added or removed. Build it before the engine opens the screen:
// the panel adds its fields to the screen. The screen's state must outlive the view.
class DocumentScreenView : public QWidget {
    Q_OBJECT
public:
    // Opens the product selection over a grid for a caller side (1 sale, 2 purchase).
    using ProductSelector = std::function<void(LineGrid& grid, int callerCode)>;

    DocumentScreenView(
        ProgramContext& context, RecordEngine& engine, RecordScreen& screen, QWidget* parent = nullptr);
    ~DocumentScreenView() override;

    void SetProductSelector(ProductSelector selector);

    RecordScreenView* fields() const { return m_fields; }
    QPushButton* productsButton() const { return m_products; }
    QPushButton* convertButton() const { return m_convert; }
    QPushButton* processButton(int i) const { return m_process[size_t(i)]; }
    QGroupBox* panel() const { return m_panel; }
    QLineEdit* panelBox(int field) const;
    QuotePanel* quotePanel() const { return m_quote; }
    OrderPanel* orderPanel() const { return m_order; }

    // Shows the state again: buttons by editing and panel state, the panel's boxes.
    void Refresh();

signals:
    // Escape: the program runs the record command Exit.
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct PanelRow {
        int field = 0;
        QLabel* caption = nullptr;
        QLineEdit* box = nullptr;
        QPushButton* button = nullptr;
        QLabel* hint = nullptr;
    };

    void BuildPanel(int firstField, int lastField);
    void OpenProducts();
    void LeaveField(int field);
    void FocusField(int field);
    bool PanelOpen() const;
    void AfterLinesChanged();

    ProgramContext& m_context;
    RecordEngine& m_engine;
    RecordScreen& m_screen;
    QuotePanel* m_quote = nullptr;
    OrderPanel* m_order = nullptr;
    int m_callerCode = 2;
    RecordScreenView* m_fields = nullptr;
    QPushButton* m_products = nullptr;
    QPushButton* m_convert = nullptr;
    QPushButton* m_process[2] = { nullptr, nullptr };
    QGroupBox* m_panel = nullptr;
    std::vector<PanelRow> m_panelRows;
    ProductSelector m_selector;
};

} // namespace kivo
