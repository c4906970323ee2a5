#include "ReportFormat.h"

#include "ReportExpression.h"

namespace kivo {

bool ReportFormat::IsValid(const QString&)
{
    return true;
}
QString ReportFormat::Apply(const ReportValue& value, const QString&)
{
    return value.ToText();
}
QString ReportFormat::Number(double value, const QString&)
{
    return QString::number(value);
}
QString ReportFormat::Fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace kivo
