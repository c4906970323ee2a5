#pragma once

#include <QString>

namespace kivo {

// The one condition that Recordset::Find accepts: a field, a comparison (=, <>, <, >, <=,
// >=) and a value: "ULogin= 'chief'" (a quote inside doubled), "EId=5", "EDate=#03/05/2026#",
// "[ULogin]='x'", "kaUser.ULogin='x'".
struct FindCriterion {
    enum class Op { Equal, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual };

    QString column; // as written, with its qualifier if it had one
    Op op = Op::Equal;
    QString value; // without quotes; a date literal as ISO text
    bool quoted = false;
    bool dated = false;

    // Throws DbError (BadCriterion) for anything else.
    static FindCriterion Parse(const QString& criterion);
    // Whether a comparison result (negative, zero, positive) satisfies the operator.
    bool Holds(int comparison) const;
    // The operator as the engine writes it.
    QString SqlOperator() const;
};

} // namespace kivo
