#pragma once

#include <QCalendarWidget>
#include <QPointer>

namespace kivo {

// A date criterion's drop-down calendar (monSel1, monSel2): hidden until its button drops it
// down at the button's height. A day click or Enter picks the date and hides it; Escape, or
// the focus going anywhere outside it, hides it without a pick. It floats over its window's
// other controls rather than opening a window of its own.
class DropCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    explicit DropCalendar(QWidget* window);

    // Shows the calendar on `date` (today when invalid) just below `button`, kept inside the
    // window, and gives it the focus; the focus goes back to the button when it hides.
    void DropDown(QWidget* button, const QDate& date);

signals:
    void datePicked(const QDate& date);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Pick(const QDate& date);
    void FocusMoved(QWidget* now);
    void Close();

    QPointer<QWidget> m_button;
};

} // namespace kivo
