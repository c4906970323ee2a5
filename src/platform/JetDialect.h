#pragma once

#include <QSet>
#include <QString>

namespace kivo {

// Translates a statement written in the program's SQL dialect (date literals between
// "#" in month/day/year order, "Select Top n [Percent]", "Delete * From", text joined with
// "+" or "&", double-quoted string literals, the functions Left and Right, "Like" with a
// number) into the SQL that the embedded engine runs. Works on the tokens of SqlTokenizer,
// so text inside literals and comments is never touched; no statement is parsed beyond what
// these rewrites need.
//
// Double quotes always hold text, as in the old engine: "EId" is the three letters, never the
// column (a column is named bare or in [brackets]); the translation turns it into 'EId'.
// "+" joins text when a text operand stands on one side and no number literal on either
// ('5' + 3 is the addition 8). "Top n" with an Order By returns, as the old engine did, the
// rows tied with the n-th on the ordered values; "Top n Percent" returns n percent of the
// rows, rounded up. Order By terms naming a select-list alias or position are resolved for
// that; a Top over a Union, ordered by the position of a "*", or in a subquery that reads a
// table of the enclosing select (the engine works out a LIMIT once) is a plain limit.
class JetDialect {
public:
    JetDialect() = default;

    // Names of the text columns of the open database. A "+" next to one of them, or next
    // to a string literal, joins text and becomes "||"; any other "+" stays an addition.
    // Only a number literal is known to be a number here: "'5' + PQty" joins.
    void SetTextColumns(QSet<QString> lowerCaseNames) { m_textColumns = std::move(lowerCaseNames); }

    // Throws DbError (BadDate) for a date literal that names no real date, as the engine
    // would refuse it: turned into text it would quietly match nothing.
    QString Translate(const QString& statement) const;

    // '#MM/DD/YYYY#' body to ISO 'YYYY-MM-DD'; empty when the text is not a real date. A time
    // of day after the date is accepted and dropped; a two-digit year 00-29 is 20xx, 30-99 19xx.
    static QString DateLiteralToIso(QStringView body);

private:
    QSet<QString> m_textColumns;
};

// The one quoting helper for every value that a user typed: doubles each single quote, so
// that the value stays one string literal however it is placed between quotes in a
// statement ("ULogin= '" + SqlQuote(login) + "'").
QString SqlQuote(const QString& typed);

} // namespace kivo
