#pragma once

#include <QString>
#include <QStringView>
#include <QVariantList>
#include <vector>

namespace kivo {

// The lexical pieces of a statement in the program's SQL dialect. One tokenizer serves every
// part of the program that looks inside a statement (the dialect translation, the check
// whether a recordset's rows can be written back), so that a keyword inside a literal, a
// comment or a [bracketed] name is never taken for a keyword anywhere.
enum class SqlTokenKind {
    Space, // blanks, tabs, line breaks
    Comment, // "-- ..." to the end of the line, or "/* ... */"
    Word, // keyword, function or column name: a letter, "_" or "$", then letters, digits, "_", "$"
    Bracket, // [name]
    DoubleQuoted, // "text": a text literal in the program's dialect
    String, // 'text', '' for an embedded quote
    DateLiteral, // #12/31/2026#
    Number, // 12, 2.5, .5, 1e-3
    Symbol, // operators and punctuation; <> <= >= != == || are one token
};

struct SqlToken {
    SqlTokenKind kind;
    qsizetype begin;
    qsizetype length;

    QStringView Text(QStringView sql) const { return sql.sliced(begin, length); }
    // Whether the token is a word equal to an ASCII keyword, without regard to case.
    bool IsWord(QStringView sql, QStringView keyword) const;
    bool IsSymbol(QStringView sql, QChar c) const
    {
        return kind == SqlTokenKind::Symbol && length == 1 && sql[begin] == c;
    }
    // Blanks and comments carry no meaning for the statement.
    bool IsBlank() const { return kind == SqlTokenKind::Space || kind == SqlTokenKind::Comment; }
};

// Splits a statement into tokens that cover it without gaps. A literal, bracket or comment
// that is not closed runs to the end of the text; the engine then reports the statement as
// malformed. Linear in the length of the statement.
std::vector<SqlToken> TokenizeSql(QStringView sql);

// True when DISTINCT, GROUP BY or UNION appear as keywords of the statement (not inside a
// literal, a comment or a name): each row of such a result may stand for several stored
// rows, so it cannot be written back.
bool StatementMergesRows(QStringView sql);
// The same for a statement already split into tokens.
bool StatementMergesRows(QStringView sql, const std::vector<SqlToken>& tokens);

// A statement with its literals taken out as parameters (the statement cache's key) and the
// literals' values in order.
struct ParameterizedSql {
    QString sql;
    QVariantList values;
};

// Literals become parameters where a parameter means the same thing: in the clauses after
// a query's FROM (in its select list a literal also names the column: "Select 'x'" is the
// field "'x'") and anywhere in INSERT, UPDATE and DELETE. Numbers stay in a statement that
// orders or groups, where "Order By 2" names a column. Statements with explicit parameters,
// and anything else (schema, pragmas), are kept as written.
// `tokens` are the statement's, from TokenizeSql.
ParameterizedSql ParameterizeLiterals(const QString& sql, const std::vector<SqlToken>& tokens);

} // namespace kivo
