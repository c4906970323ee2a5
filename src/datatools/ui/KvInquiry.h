#pragma once

#include "InquiryState.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace kivo {

class ProgramContext;
class RecordEngine;
class RecordScreen;

// The inquiry window: column, operator and value above the grid grdData, the table and
// count labels, "< Inquiry" and "Close". A double click or Enter on a row makes it the open
// screen's record; Escape closes. The look-up itself is InquiryState's.
class KvInquiry : public QDialog {
    Q_OBJECT
public:
    KvInquiry(ProgramContext& context, RecordEngine& engine, RecordScreen& screen, QWidget* parent = nullptr);

    InquiryState& state() { return m_state; }
    QTableView* grid() const { return m_grid; }
    QComboBox* fieldBox() const { return m_field; }
    QComboBox* operatorBox() const { return m_operator; }
    QLineEdit* valueBox() const { return m_value; }
    QPushButton* inquiryButton() const { return m_inquiry; }
    // Whether the open screen had a record to start from; without one the window need not show.
    bool HasRecord() const { return !m_state.closed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void LookUp();
    void ChooseCurrent();
    void ShowState();

    InquiryState m_state;
    QComboBox* m_field;
    QComboBox* m_operator;
    QLineEdit* m_value;
    QPushButton* m_inquiry;
    QTableView* m_grid;
    QLabel* m_table;
    QLabel* m_count;
    QPushButton* m_close;
};

} // namespace kivo
