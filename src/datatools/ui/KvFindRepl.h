#pragma once

#include "FindReplaceState.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace kivo {

class ProgramContext;

// The find-and-replace window: table and criterion above the grid grdData, the replace
// column and value below it. The work is FindReplaceState's.
class KvFindRepl : public QDialog {
    Q_OBJECT
public:
    KvFindRepl(ProgramContext& context, std::function<bool()> askAccessCode, QWidget* parent = nullptr);

    // Shows "Access-Code Required !" and the first table's columns; call before exec().
    void Open();

    FindReplaceState& state() { return m_state; }
    QComboBox* tableBox() const { return m_table; }
    QComboBox* criterionBox() const { return m_crita; }
    QComboBox* fieldBox() const { return m_field; }
    QLineEdit* criterionValue() const { return m_value; }
    QLineEdit* replacement() const { return m_replacement; }
    QPushButton* findButton() const { return m_find; }
    QPushButton* replaceButton() const { return m_replace; }
    QTableView* grid() const { return m_grid; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void LoadColumns();
    void Find();
    void Replace();
    void ShowRows();
    void LeaveField();

    FindReplaceState m_state;
    QWidget* m_frame;
    QComboBox* m_table;
    QComboBox* m_crita;
    QComboBox* m_operator;
    QLineEdit* m_value;
    QPushButton* m_find;
    QTableView* m_grid;
    QLabel* m_count;
    QComboBox* m_field;
    QLineEdit* m_replacement;
    QPushButton* m_replace;
    QPushButton* m_close;
    QString m_loadedTable;
};

} // namespace kivo
