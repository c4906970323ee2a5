#include "SheetFilter.h"

#include "DateText.h"
#include "FieldConversion.h"
#include "NumberText.h"

namespace kivo {

namespace {

template <typename T> bool Compare(const QString& op, const T& left, const T& right)
{
    if (op == u"=")
        return left == right;
    if (op == u"<>")
        return left != right;
    if (op == u">")
        return left > right;
    if (op == u">=")
        return left >= right;
    if (op == u"<")
        return left < right;
    if (op == u"<=")
        return left <= right;
    return false;
}

} // namespace

std::optional<SheetFilter> SheetFilter::Make(
    int column, int fieldType, const QString& op, const QString& value)
{
    SheetFilter filter;
    const QString typed = value.trimmed();
    if (typed.isEmpty())
        return filter;
    filter.m_column = column;
    filter.m_type = fieldType;
    filter.m_op = op;
    if (fieldType == FieldDouble || fieldType == FieldLong) {
        const std::optional<double> number = ParseNumber(typed);
        if (!number)
            return std::nullopt;
        filter.m_number = *number;
    } else if (fieldType == FieldDate) {
        filter.m_date = ParseShortDate(typed);
        if (!filter.m_date.isValid())
            return std::nullopt;
    } else {
        filter.m_text = typed;
        if (op == u"Like") {
            QString pattern;
            for (const QChar c : typed)
                pattern += c == u'%' ? QStringLiteral(".*")
                    : c == u'_'      ? QStringLiteral(".")
                                     : QRegularExpression::escape(QString(c));
            filter.m_like = QRegularExpression(QStringLiteral("\\A") + pattern + QStringLiteral(".*\\z"),
                QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
        }
    }
    return filter;
}

bool SheetFilter::Matches(const QVariant& cell) const
{
    if (m_column < 0)
        return true;
    if (cell.isNull())
        return false;
    if (m_type == FieldDouble || m_type == FieldLong) {
        if (m_op == u"Like")
            return NumberText(cell.toDouble()).startsWith(NumberText(m_number));
        return Compare(m_op, cell.toDouble(), m_number);
    }
    if (m_type == FieldDate) {
        if (m_op == u"Like")
            return cell.toDate() == m_date;
        return Compare(m_op, cell.toDate(), m_date);
    }
    const QString text = cell.toString();
    if (m_op == u"Like")
        return m_like.match(text).hasMatch();
    return Compare(m_op, text.compare(m_text, Qt::CaseInsensitive), 0);
}

} // namespace kivo
