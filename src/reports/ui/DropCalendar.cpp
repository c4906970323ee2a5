#include "DropCalendar.h"

#include <QApplication>
#include <QKeyEvent>

namespace kivo {

DropCalendar::DropCalendar(QWidget* window)
    : QCalendarWidget(window)
{
    setGridVisible(true);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setAutoFillBackground(true);
    hide();
    connect(this, &QCalendarWidget::clicked, this, &DropCalendar::Pick);
    // activated: Enter on the selected day (or a double click, already picked by its click).
    connect(this, &QCalendarWidget::activated, this, &DropCalendar::Pick);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusMoved(now); });
}

void DropCalendar::DropDown(QWidget* button, const QDate& date)
{
    m_button = button;
    setSelectedDate(date.isValid() ? date : QDate::currentDate());
    QWidget* window = parentWidget();
    adjustSize();
    const QSize size = sizeHint().expandedTo(QSize(260, 180));
    // Just below the button, from its left edge, kept inside the window: moved left near the
    // right edge, and above the button when the window is too short below it.
    const QPoint top = button->mapTo(window, QPoint(0, 0));
    QPoint at(top.x(), top.y() + button->height());
    at.setX(qBound(0, at.x(), qMax(0, window->width() - size.width())));
    if (at.y() + size.height() > window->height())
        at.setY(qMax(0, top.y() - size.height()));
    setGeometry(QRect(at, size));
    show();
    raise();
    setFocus(Qt::PopupFocusReason);
}

void DropCalendar::Pick(const QDate& date)
{
    if (!isVisible())
        return;
    Close();
    emit datePicked(date);
}

void DropCalendar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        // Kept from the window, which would close on Escape.
        Close();
        event->accept();
        return;
    }
    QCalendarWidget::keyPressEvent(event);
}

void DropCalendar::Close()
{
    hide();
    if (m_button && m_button->isVisible())
        m_button->setFocus(Qt::PopupFocusReason);
}

void DropCalendar::FocusMoved(QWidget* now)
{
    if (!isVisible() || !now)
        return;
    // The month menu is a window of its own, but a child of the calendar: choosing a month
    // from it keeps the calendar open.
    for (QWidget* w = now; w; w = w->parentWidget())
        if (w == this)
            return;
    hide();
}

} // namespace kivo
