#pragma once

#include <optional>
#include <QString>
#include <QStringList>

namespace kivo {

// The one-column criterion of the data tools (export, inquiry): a column, an operator and
// a typed value, turned into the condition after "Where".
class CriterionBuilder {
public:
    // The operator box's entries, in order; "Like" is preselected.
    static const QStringList& Operators();

    // "1=1" for a blank value. Otherwise column + " " + operator + " " + the value by the
    // column's field type (FieldType): a number with "," read as the decimal point, a date
    // as "#MM/DD/YYYY#", text quoted, with "%" after it for "Like" so that it matches values
    // beginning with the text. Nothing when a number or date column gets a value that is
    // not one ("Invalid Criteria !").
    static std::optional<QString> Build(
        const QString& column, int fieldType, const QString& op, const QString& value);
};

} // namespace kivo
