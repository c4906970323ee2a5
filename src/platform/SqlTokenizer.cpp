#include "SqlTokenizer.h"

namespace kivo {

namespace {

bool IsWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'$';
}

bool IsWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

bool IsTwoCharacterOperator(QChar c, QChar d)
{
    return (c == u'<' && (d == u'>' || d == u'=')) || (c == u'>' && d == u'=') || (c == u'!' && d == u'=')
        || (c == u'=' && d == u'=') || (c == u'|' && d == u'|');
}

} // namespace

bool SqlToken::IsWord(QStringView sql, QStringView keyword) const
{
    // Keywords are plain ASCII letters; comparing them without a full Unicode case fold
    // keeps the check cheap, as every statement passes through it.
    if (kind != SqlTokenKind::Word || length != keyword.size())
        return false;
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t a = sql[begin + i].unicode();
        const char16_t b = keyword[i].unicode();
        if (a != b && (a | 0x20) != (b | 0x20))
            return false;
    }
    return true;
}

std::vector<SqlToken> TokenizeSql(QStringView s)
{
    std::vector<SqlToken> tokens;
    tokens.reserve(s.size() / 3 + 4);
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        const QChar c = s[i];
        const QChar d = i + 1 < n ? s[i + 1] : QChar();
        SqlTokenKind kind;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            kind = SqlTokenKind::Space;
        } else if (c == u'-' && d == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
            kind = SqlTokenKind::Comment;
        } else if (c == u'/' && d == u'*') {
            i += 2;
            while (i < n && !(s[i] == u'*' && i + 1 < n && s[i + 1] == u'/'))
                ++i;
            i = qMin(n, i + 2);
            kind = SqlTokenKind::Comment;
        } else if (IsWordStart(c)) {
            while (i < n && IsWordPart(s[i]))
                ++i;
            kind = SqlTokenKind::Word;
        } else if (c.isDigit() || (c == u'.' && d.isDigit())) {
            while (i < n && (s[i].isDigit() || s[i] == u'.'))
                ++i;
            if (i < n && (s[i] == u'e' || s[i] == u'E')) {
                ++i;
                if (i < n && (s[i] == u'+' || s[i] == u'-'))
                    ++i;
                while (i < n && s[i].isDigit())
                    ++i;
            }
            kind = SqlTokenKind::Number;
        } else if (c == u'\'' || c == u'"') {
            ++i;
            while (i < n) {
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            kind = c == u'"' ? SqlTokenKind::DoubleQuoted : SqlTokenKind::String;
        } else if (c == u'[') {
            while (i < n && s[i] != u']')
                ++i;
            if (i < n)
                ++i;
            kind = SqlTokenKind::Bracket;
        } else if (c == u'#') {
            // A date literal is short and holds no quote; a lone "#" is a symbol.
            qsizetype j = i + 1;
            while (j < n && s[j] != u'#' && s[j] != u'\'' && j - i < 40)
                ++j;
            if (j < n && s[j] == u'#') {
                i = j + 1;
                kind = SqlTokenKind::DateLiteral;
            } else {
                ++i;
                kind = SqlTokenKind::Symbol;
            }
        } else {
            i += !d.isNull() && IsTwoCharacterOperator(c, d) ? 2 : 1;
            kind = SqlTokenKind::Symbol;
        }
        tokens.push_back({ kind, start, i - start });
    }
    return tokens;
}

bool StatementMergesRows(QStringView sql)
{
    return StatementMergesRows(sql, TokenizeSql(sql));
}

bool StatementMergesRows(QStringView sql, const std::vector<SqlToken>& tokens)
{
    const SqlToken* previous = nullptr; // the last token that is not blank
    for (const SqlToken& t : tokens) {
        if (t.IsBlank())
            continue;
        // "a.Distinct" names a column, not the keyword.
        const bool qualified = previous && previous->IsSymbol(sql, u'.');
        if (!qualified && t.kind == SqlTokenKind::Word) {
            if (t.IsWord(sql, u"Distinct") || t.IsWord(sql, u"Union"))
                return true;
            if (t.IsWord(sql, u"By") && previous && previous->IsWord(sql, u"Group"))
                return true;
        }
        previous = &t;
    }
    return false;
}

ParameterizedSql ParameterizeLiterals(const QString& sql, const std::vector<SqlToken>& tokens)
{
    ParameterizedSql result;
    bool query = false;
    bool numbers = true;
    bool first = true;
    bool literals = false;
    for (const SqlToken& token : tokens) {
        if (token.IsBlank())
            continue;
        if (first) {
            first = false;
            query = token.IsWord(sql, u"select") || token.IsWord(sql, u"with");
            if (!query && !token.IsWord(sql, u"insert") && !token.IsWord(sql, u"update")
                && !token.IsWord(sql, u"delete"))
                return { sql, {} };
        }
        if (token.kind == SqlTokenKind::Symbol
            && (token.IsSymbol(sql, u'?') || token.IsSymbol(sql, u':') || token.IsSymbol(sql, u'@')))
            return { sql, {} };
        if (token.kind == SqlTokenKind::Word && sql[token.begin] == u'$')
            return { sql, {} };
        if (token.IsWord(sql, u"order") || token.IsWord(sql, u"group"))
            numbers = false;
        literals = literals || token.kind == SqlTokenKind::String || token.kind == SqlTokenKind::Number;
    }
    if (!literals)
        return { sql, {} };

    int depth = 0;
    bool afterFrom = !query;
    qsizetype copied = 0;
    result.sql.reserve(sql.size());
    for (const SqlToken& token : tokens) {
        if (token.IsSymbol(sql, u'('))
            ++depth;
        else if (token.IsSymbol(sql, u')'))
            --depth;
        else if (depth == 0 && token.IsWord(sql, u"from"))
            afterFrom = true;
        if (!afterFrom)
            continue;
        QVariant value;
        const QStringView text = token.Text(sql);
        if (token.kind == SqlTokenKind::String) {
            QString unquoted = text.sliced(1, qMax<qsizetype>(0, text.size() - 2)).toString();
            if (text.size() < 2 || !text.endsWith(u'\''))
                continue; // unclosed: the engine reports it
            unquoted.replace(QStringLiteral("''"), QStringLiteral("'"));
            value = unquoted;
        } else if (token.kind == SqlTokenKind::Number && numbers) {
            bool ok = false;
            if (!text.contains(u'.') && !text.contains(u'e') && !text.contains(u'E')) {
                const qlonglong whole = text.toLongLong(&ok);
                if (ok)
                    value = whole;
            }
            if (!ok) {
                const double real = text.toDouble(&ok);
                if (!ok)
                    continue;
                value = real;
            }
        } else {
            continue;
        }
        result.sql += QStringView(sql).sliced(copied, token.begin - copied);
        result.sql += u'?';
        copied = token.begin + token.length;
        result.values << value;
    }
    result.sql += QStringView(sql).sliced(copied);
    return result;
}

} // namespace kivo
