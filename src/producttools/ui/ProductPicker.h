#pragma once

#include "ScreenHost.h"

#include <optional>
#include <QDialog>

class QListView;

namespace kivo {

class ProductListModel;
class ProgramContext;

// The list picker over "PName, PCode From ktProduct" for a table of any size: the products
// are read a page at a time as the list scrolls, never all at once. Tab, Enter, Space or a
// double click choose the current line; Escape or "Close" close without a pick.
class ProductPicker : public QDialog {
    Q_OBJECT
public:
    explicit ProductPicker(ProgramContext& context, QWidget* parent = nullptr);
    ~ProductPicker() override;

    // Shows the picker modally: the chosen code (key) and name, or nothing.
    static std::optional<ListPick> PickProduct(ProgramContext& context, QWidget* parent);

    QListView* list() const { return m_list; }
    const std::optional<ListPick>& pick() const { return m_pick; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Choose();

    std::unique_ptr<ProductListModel> m_model;
    QListView* m_list;
    std::optional<ListPick> m_pick;
};

} // namespace kivo
