#include "ValueText.h"

#include "DateText.h"
#include "NumberText.h"

#include <QDate>

namespace kivo {

QString ValueText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return ShortDate(value.toDate());
    case QMetaType::Double:
    case QMetaType::Float:
        return NumberText(value.toDouble());
    default:
        return value.toString();
    }
}

} // namespace kivo
