#include "ReportExpression.h"

#include "ValueText.h"

namespace kivo {

struct ReportExpression::Node { };

ReportValue ReportValue::FromVariant(const QVariant& value)
{
    ReportValue v;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        break;
    case QMetaType::QDate:
        v.type = Type::Date;
        v.date = value.toDate();
        break;
    case QMetaType::QString:
        v.type = Type::Text;
        v.text = value.toString();
        break;
    case QMetaType::Bool:
        v.type = Type::Boolean;
        v.number = value.toBool() ? 1 : 0;
        break;
    default:
        if (value.isNull())
            break;
        v.type = Type::Number;
        v.number = value.toDouble();
    }
    return v;
}
ReportValue ReportValue::Number(double value)
{
    ReportValue v;
    v.type = Type::Number;
    v.number = value;
    return v;
}
ReportValue ReportValue::Text(QString value)
{
    ReportValue v;
    v.type = Type::Text;
    v.text = std::move(value);
    return v;
}
ReportValue ReportValue::Boolean(bool value)
{
    ReportValue v;
    v.type = Type::Boolean;
    v.number = value;
    return v;
}
double ReportValue::ToNumber() const
{
    return number;
}
QString ReportValue::ToText() const
{
    return text;
}
bool ReportValue::IsTrue() const
{
    return number != 0;
}

ReportExpression::ReportExpression() = default;
ReportExpression::~ReportExpression() = default;
ReportExpression::ReportExpression(const ReportExpression&) = default;
ReportExpression& ReportExpression::operator=(const ReportExpression&) = default;
ReportExpression ReportExpression::Parse(QStringView, QString*, int*)
{
    return {};
}
bool ReportExpression::Bind(const ReportRows&, const QStringList&, QString*, int*)
{
    return true;
}
bool ReportExpression::UsesAggregates() const
{
    return false;
}
bool ReportExpression::UsesPages() const
{
    return false;
}
ReportValue ReportExpression::Evaluate(const ExpressionScope&) const
{
    return {};
}

} // namespace kivo
