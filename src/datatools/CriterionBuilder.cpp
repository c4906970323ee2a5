#include "CriterionBuilder.h"

#include "DateText.h"
#include "JetDialect.h"
#include "NumberText.h"
#include "Recordset.h"

namespace kivo {

const QStringList& CriterionBuilder::Operators()
{
    static const QStringList operators = { QStringLiteral("Like"), QStringLiteral("="), QStringLiteral("<>"),
        QStringLiteral(">"), QStringLiteral(">="), QStringLiteral("<"), QStringLiteral("<=") };
    return operators;
}

std::optional<QString> CriterionBuilder::Build(
    const QString& column, int fieldType, const QString& op, const QString& value)
{
    const QString typed = value.trimmed();
    if (typed.isEmpty())
        return QStringLiteral("1=1");
    QString criterion = column + u' ' + op + u' ';
    switch (fieldType) {
    case FieldLong:
    case FieldDouble: {
        if (!IsNumeric(typed))
            return std::nullopt;
        QString number = typed;
        number.replace(u',', u'.');
        return criterion + number;
    }
    case FieldDate: {
        const QDate date = ParseShortDate(typed);
        if (!date.isValid())
            return std::nullopt;
        return criterion + SqlDate(date);
    }
    default:
        // Whatever was typed stays one string literal.
        return criterion + u'\'' + SqlQuote(typed)
            + (op == u"Like" ? QStringLiteral("%' ") : QStringLiteral("' "));
    }
}

} // namespace kivo
