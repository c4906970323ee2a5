#pragma once

#include "TrendState.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kivo {

class DropCalendar;
class ProgramContext;

// The sales trend window: "Sales" or "Purchase", the two dates with their drop-down
// calendars, "<    View", the PRODUCTS band (by quantity, by value) and the GROUPS band, and
// "Close". Escape in the mode box closes it. What the grids hold is TrendState's.
class KvTrend : public QDialog {
    Q_OBJECT
public:
    explicit KvTrend(ProgramContext& context, QWidget* parent = nullptr);

    TrendState& state() { return m_state; }
    QComboBox* modeBox() const { return m_mode; }
    QLineEdit* startBox() const { return m_start; }
    QLineEdit* endBox() const { return m_end; }
    QPushButton* startButton() const { return m_startButton; }
    QPushButton* endButton() const { return m_endButton; }
    DropCalendar* startCalendar() const { return m_startCalendar; }
    DropCalendar* endCalendar() const { return m_endCalendar; }
    QPushButton* viewButton() const { return m_view; }
    QTableWidget* grid(int index) const { return m_grids[index]; }

    void View();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowGrid(int index);

    TrendState m_state;
    QComboBox* m_mode;
    QLineEdit* m_start;
    QLineEdit* m_end;
    QPushButton* m_startButton;
    QPushButton* m_endButton;
    QPushButton* m_view;
    QPushButton* m_close;
    QTableWidget* m_grids[TrendState::GridCount];
    DropCalendar* m_startCalendar;
    DropCalendar* m_endCalendar;
};

} // namespace kivo
