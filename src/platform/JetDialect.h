#pragma once

#include <QSet>
#include <QString>

namespace kivo {

// Translates a statement written in the program's SQL dialect (date literals between
// "#" in month/day/year order, "Select Top n", "Delete * From", text joined with "+" or
// "&", double-quoted string literals) into the SQL that the embedded engine runs.
// Works on tokens, so text inside string literals is never touched.
class JetDialect {
public:
    JetDialect() = default;

    // Names of the text columns of the open database. A "+" next to one of them, or next
    // to a string literal, joins text and becomes "||"; any other "+" stays an addition.
    void SetTextColumns(QSet<QString> lowerCaseNames) { m_textColumns = std::move(lowerCaseNames); }

    QString Translate(const QString& statement) const;

    // '#MM/DD/YYYY#' body to ISO 'YYYY-MM-DD'; empty when the text is not a date.
    static QString DateLiteralToIso(QStringView body);

private:
    QSet<QString> m_textColumns;
};

// The one quoting helper for every value that a user typed: doubles each single quote, so
// that the value stays one string literal however it is placed between quotes in a
// statement ("ULogin= '" + SqlQuote(login) + "'").
QString SqlQuote(const QString& typed);

} // namespace kivo
