#include "Accessibility.h"

#include <QWidget>

namespace kivo {

void Describe(QWidget* widget, const QString& caption, const QString& element)
{
    widget->setAccessibleName(caption.isEmpty() ? element : caption);
    widget->setAccessibleDescription(element);
    if (widget->objectName().isEmpty())
        widget->setObjectName(element);
}

} // namespace kivo
