#pragma once

#include "ProductUpdateState.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace kivo {

class ProgramContext;

// The product update window: the update column, the new value with Prior and Next and the
// current row's code, name and value; the two-condition filter; the grid grdData of the
// listed products and "Process >". The work is ProductUpdateState's.
class KvPUpdate : public QDialog {
    Q_OBJECT
public:
    KvPUpdate(ProgramContext& context, std::function<bool()> askAccessCode, QWidget* parent = nullptr);

    // Reads the product columns and shows "Access-Code Required !"; call before exec().
    void Open();

    ProductUpdateState& state() { return m_state; }
    QLineEdit* valueBox() const { return m_value; }
    QPushButton* findButton() const { return m_find; }
    QPushButton* nextButton() const { return m_next; }
    QPushButton* priorButton() const { return m_prior; }
    QPushButton* processButton() const { return m_process; }
    QTableView* grid() const { return m_grid; }
    QLabel* codeLabel() const { return m_code; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    QComboBox* Combo(const QString& element, const QStringList& items);
    QPushButton* Button(const QString& caption, const QString& element);
    void TakeFilter();
    void Find();
    void Store();
    void Move(int step);
    void Process();
    void ShowCurrent();

    ProductUpdateState m_state;
    QWidget* m_frame;
    QComboBox* m_update;
    QLineEdit* m_value;
    QPushButton* m_prior;
    QPushButton* m_next;
    QLabel* m_code;
    QLabel* m_name;
    QLabel* m_current;
    QComboBox* m_field1;
    QComboBox* m_op1;
    QLineEdit* m_value1;
    QComboBox* m_join;
    QComboBox* m_field2;
    QComboBox* m_op2;
    QLineEdit* m_value2;
    QPushButton* m_find;
    QTableView* m_grid;
    QPushButton* m_process;
    QPushButton* m_close;
};

} // namespace kivo
