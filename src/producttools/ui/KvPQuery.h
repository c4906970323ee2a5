#pragma once

#include "ScreenHost.h"

#include <functional>
#include <memory>
#include <optional>
#include <QDialog>

class QLabel;
class QLineEdit;

namespace kivo {

class ProgramContext;
class ProductQueryState;

// The product query card: eight read-only boxes (code, id, name, taxable, group with its
// name, sale rate, stock, active) and "Close". Any key but Escape in a box opens the product
// list; the product picked is shown. Escape or "Close" close the card.
class KvPQuery : public QDialog {
    Q_OBJECT
public:
    explicit KvPQuery(ProgramContext& context, QWidget* parent = nullptr);
    ~KvPQuery() override;

    ProductQueryState& state() const { return *m_state; }
    QLineEdit* box(int i) const { return m_boxes[i]; }
    QLabel* hint(int i) const { return i == 0 ? m_hints[0] : m_hints[1]; }

    // The pick of the product list; the program shows the picker, tests answer for it.
    std::function<std::optional<ListPick>()> pickProduct;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LookUp();
    void Refresh();

    std::unique_ptr<ProductQueryState> m_state;
    QLineEdit* m_boxes[8];
    QLabel* m_hints[2]; // lblList(0) and lblList(4)
};

} // namespace kivo
