#include "ReportCriteria.h"

#include "JetDialect.h"
#include "NumberText.h"

#include <QRegularExpression>

namespace kivo {

namespace {

// The operator selector holds "=" only.
const QString Operator = QStringLiteral("=");

// A date as the statement writes it, month first, always with "/" between the parts.
QString CriterionDate(const QDate& date)
{
    return date.toString(QStringLiteral("MM/dd/yyyy")).replace(u'.', u'/');
}

// The number as it goes into the statement: the trimmed text when it is a plain decimal
// number, else the number the text stands for ("12,5" is 12.5); nothing when the text is not
// a number a statement can hold.
QString NumberLiteral(const QString& trimmed)
{
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    if (plain.match(trimmed).hasMatch())
        return trimmed;
    const std::optional<double> number = ParseNumber(trimmed);
    if (!number)
        return {};
    const QString text = NumberText(*number);
    static const QRegularExpression numeric(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?(e[-+]?[0-9]+)?$"));
    return numeric.match(text).hasMatch() ? text : QString();
}

} // namespace

CriterionSetup CriterionSetup::For(CriterionGroup group)
{
    CriterionSetup s;
    switch (group) {
    case CriterionGroup::ProductGroup:
        s = { Number, QStringLiteral("PGId"), true, 10, true, false,
            QStringLiteral("GName, EId From kmGroup"), 4, true };
        break;
    case CriterionGroup::DocumentNumber:
        s = { Number, QStringLiteral("EId"), false, 10, false, false, {}, 0, false };
        break;
    case CriterionGroup::DateRange:
        s = { DateRange, QStringLiteral("EDate"), true, 10, true, true, {}, 1, false };
        break;
    case CriterionGroup::ProductCode:
        s = { Text, QStringLiteral("PCode"), true, 15, true, false,
            QStringLiteral("PName, PCode From ktProduct"), -1, false };
        break;
    case CriterionGroup::Account:
        s = { Number, QStringLiteral("AAId"), true, 10, true, false,
            QStringLiteral("AName, EId From kmAccount"), 2, true };
        break;
    }
    return s;
}

Criterion BuildCriterion(const CriterionSetup& setup, const QString& value, const QString& label,
    const QDate& startDate, const QDate& endDate, const QString& endText)
{
    Criterion result;
    const QString trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return result;
    QString sql = QStringLiteral(" And ( a.") + setup.column + u' ';
    switch (setup.kind) {
    case CriterionSetup::Text:
        sql += Operator + QStringLiteral(" '") + SqlQuote(trimmed) + QStringLiteral("' ) ");
        result.FilterText = value;
        break;
    case CriterionSetup::Number: {
        const QString number = NumberLiteral(trimmed);
        if (number.isEmpty()) {
            result.status = Criterion::Status::InvalidCriteria;
            return result;
        }
        sql += Operator + number + QStringLiteral(" ) ");
        result.FilterText = value + QStringLiteral("- ") + label;
        break;
    }
    case CriterionSetup::DateRange:
        if (!startDate.isValid() || !endDate.isValid()) {
            result.status = Criterion::Status::InvalidCriteria;
            return result;
        }
        if (startDate > endDate) {
            result.status = Criterion::Status::InvalidRange;
            return result;
        }
        sql += QStringLiteral("Between #") + CriterionDate(startDate) + QStringLiteral("# And #")
            + CriterionDate(endDate) + QStringLiteral("# ) ");
        result.FilterText = value + QStringLiteral(" To ") + endText;
        break;
    }
    result.CriteriaSql = sql;
    return result;
}

} // namespace kivo
