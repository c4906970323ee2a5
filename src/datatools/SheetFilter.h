#pragma once

#include <optional>
#include <QDate>
#include <QRegularExpression>
#include <QString>
#include <QVariant>

namespace kivo {

// The import's one-column filter over sheet rows, read as the database would read the
// criterion that CriterionBuilder writes for it: numbers and dates compare by value, text
// without regard to letter case, and "Like" matches text that begins with the value ("%" and
// "_" inside it are wildcards). An empty cell matches nothing. An empty value matches every row.
class SheetFilter {
public:
    // Nothing when the value is not a number for a number column, or not a date for a date
    // column ("Invalid Criteria !"). fieldType: FieldDouble, FieldDate or FieldText.
    static std::optional<SheetFilter> Make(
        int column, int fieldType, const QString& op, const QString& value);
    static SheetFilter All() { return SheetFilter(); }

    // cell: the row's value of the filter column, already of the column's type.
    bool Matches(const QVariant& cell) const;
    int Column() const { return m_column; }

private:
    int m_column = -1; // -1: every row
    int m_type = 0;
    QString m_op;
    double m_number = 0;
    QDate m_date;
    QString m_text;
    QRegularExpression m_like;
};

} // namespace kivo
