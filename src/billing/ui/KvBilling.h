#pragma once

// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QHash>
#include <QWidget>

#include "BillingState.h"

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTableView;

namespace kivo {

class ProgramContext;
class RecordEngine;
struct ListPick;

// The counter screen: one bill rung up by scanning or typing product codes (or picking them by
// group), paid in up to four tenders and checked out. The state and every rule are
// BillingState's; this window shows the state, forwards keys and clicks, and puts the cursor
// where the state says. A scanner is a keyboard that types fast and ends each code with
// Enter: each Enter is handled at once, before the next key is read, so a burst of scans
// never loses or merges a line.
class KvBilling : public QWidget {
    Q_OBJECT
public:
    // `engine` stands behind the checkout's field check.
    KvBilling(ProgramContext& context, RecordEngine& engine, QWidget* parent = nullptr);
    ~KvBilling() override;

    BillingState& state() { return *m_state; }
    // The element's control: "txtField(98)", "cmdCheck", "cmdHot(1)", "grdMain", "lstProd"...
    QWidget* Element(const QString& name) const;

    // The dialogs this screen opens, replaceable for tests. The pay-type picker over a
    // source; the customer details screen on a phone, returning its return text; the product
    // selection; the bill print (report code, then the bill's field texts and list labels).
    std::function<std::optional<ListPick>(const QString& source)> pickFromList;
    std::function<QString(const QString& phone)> customerDetails;
    std::function<void(BillingState& bill)> productSelection;
    std::function<void(int report, const QStringList& fields, const QStringList& listLabels)> printBill;

    // Checkout and cancel, as the two buttons do.
    void CheckoutClicked();
    void CancelClicked();

    // The checkout's field check through the record engine's validation routine: the bill's
    // fields 1 to 20 with their captions and descriptors, as a record screen over ktBillMast.
    static bool ValidateBill(RecordEngine& engine, const BillingState& bill);

    // The counter's focus colour: light red.
    static QColor FocusColour();

signals:
    // The bill is done (checked out and printed) or cancelled: the screen goes.
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* AddBox(int n, QWidget* parent);
    QPushButton* AddButton(const QString& caption, const QString& element, const QString& tip);
    void Show();
    void Focus(BillingState::Focus target);
    void EnterPressed(int n);
    void Left(int n);
    void ReadBox(int n);
    void PressPayButton(int i);
    void PickPayType(int field);
    void OpenCustomerDetails();
    void OpenProductSelection();
    void GridClicked(int row, int column);
    void ShowNewLine();
    int FieldOf(QObject* watched) const;

    ProgramContext& m_context;
    RecordEngine& m_engine;
    BillingState* m_state;
    QHash<int, QLineEdit*> m_boxes; // txtField(n)
    QHash<int, QLabel*> m_hints; // lblList(n)
    QHash<QString, QWidget*> m_elements;
    QComboBox* m_group = nullptr;
    QListView* m_products = nullptr;
    QTableView* m_grid = nullptr;
    QLabel* m_final = nullptr;
    QPushButton* m_hot[6] = {};
    int m_busy = 0; // a handler is running: focus changes it causes are not the user's
    bool m_closing = false;
    bool m_shown = false;
};

} // namespace kivo
