#include "JetDialect.h"

#include <vector>

namespace kivo {

namespace {

enum class TokenKind { Space, Word, Bracket, String, DateLiteral, Number, Symbol };

struct Token {
    TokenKind kind;
    qsizetype begin;
    qsizetype length;
};

bool IsWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'$';
}

bool IsWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Splits a statement into tokens. Unterminated literals run to the end of the text; the
// engine then reports the statement as malformed.
std::vector<Token> Tokenize(QStringView s)
{
    std::vector<Token> tokens;
    tokens.reserve(s.size() / 3 + 4);
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        const QChar c = s[i];
        TokenKind kind;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            kind = TokenKind::Space;
        } else if (IsWordStart(c)) {
            while (i < n && IsWordPart(s[i]))
                ++i;
            kind = TokenKind::Word;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            while (i < n && (s[i].isDigit() || s[i] == u'.'))
                ++i;
            if (i < n && (s[i] == u'e' || s[i] == u'E')) {
                ++i;
                if (i < n && (s[i] == u'+' || s[i] == u'-'))
                    ++i;
                while (i < n && s[i].isDigit())
                    ++i;
            }
            kind = TokenKind::Number;
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
            kind = TokenKind::String;
        } else if (c == u'[') {
            while (i < n && s[i] != u']')
                ++i;
            if (i < n)
                ++i;
            kind = TokenKind::Bracket;
        } else if (c == u'#') {
            qsizetype j = i + 1;
            while (j < n && s[j] != u'#' && s[j] != u'\'' && j - i < 40)
                ++j;
            if (j < n && s[j] == u'#') {
                i = j + 1;
                kind = TokenKind::DateLiteral;
            } else {
                ++i;
                kind = TokenKind::Symbol;
            }
        } else {
            // Two-character operators stay one token.
            if (i + 1 < n) {
                const QChar d = s[i + 1];
                if ((c == u'<' && (d == u'>' || d == u'=')) || (c == u'>' && d == u'=')
                    || (c == u'!' && d == u'=') || (c == u'|' && d == u'|')) {
                    i += 2;
                    tokens.push_back({ TokenKind::Symbol, start, 2 });
                    continue;
                }
            }
            ++i;
            kind = TokenKind::Symbol;
        }
        tokens.push_back({ kind, start, i - start });
    }
    return tokens;
}

bool WordIs(QStringView s, const Token& t, QStringView word)
{
    return t.kind == TokenKind::Word && s.sliced(t.begin, t.length).compare(word, Qt::CaseInsensitive) == 0;
}

bool SymbolIs(QStringView s, const Token& t, QChar c)
{
    return t.kind == TokenKind::Symbol && t.length == 1 && s[t.begin] == c;
}

qsizetype NextSignificant(const std::vector<Token>& tokens, qsizetype from)
{
    for (qsizetype k = from; k < qsizetype(tokens.size()); ++k)
        if (tokens[k].kind != TokenKind::Space)
            return k;
    return -1;
}

qsizetype PreviousSignificant(const std::vector<Token>& tokens, qsizetype from)
{
    for (qsizetype k = from; k >= 0; --k)
        if (tokens[k].kind != TokenKind::Space)
            return k;
    return -1;
}

QString DoubleQuotedToSingle(QStringView body)
{
    // body is the literal without its outer double quotes, with "" for an embedded quote.
    QString text = body.toString();
    text.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return u'\'' + SqlQuote(text) + u'\'';
}

} // namespace

QString SqlQuote(const QString& typed)
{
    if (!typed.contains(u'\''))
        return typed;
    QString quoted = typed;
    quoted.replace(u'\'', QStringLiteral("''"));
    return quoted;
}

QString JetDialect::DateLiteralToIso(QStringView body)
{
    body = body.trimmed();
    // A time part after the date is not kept: dates are stored without time.
    if (const qsizetype blank = body.indexOf(u' '); blank > 0)
        body = body.first(blank);
    int parts[3] = { 0, 0, 0 };
    int digits[3] = { 0, 0, 0 };
    int part = 0;
    QChar separator;
    for (QChar c : body) {
        if (c.isDigit()) {
            if (digits[part] >= 4)
                return {};
            parts[part] = parts[part] * 10 + c.digitValue();
            ++digits[part];
        } else if ((c == u'/' || c == u'-' || c == u'.') && part < 2 && digits[part] > 0) {
            if (!separator.isNull() && c != separator)
                return {};
            separator = c;
            ++part;
        } else {
            return {};
        }
    }
    if (part != 2 || digits[2] == 0)
        return {};
    int year, month, day;
    if (digits[0] == 4) { // ISO order, accepted as well
        year = parts[0];
        month = parts[1];
        day = parts[2];
    } else {
        month = parts[0];
        day = parts[1];
        year = parts[2];
        if (digits[2] <= 2)
            year += year < 30 ? 2000 : 1900;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 100)
        return {};
    return QStringLiteral("%1-%2-%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

QString JetDialect::Translate(const QString& statement) const
{
    const QStringView s(statement);
    const std::vector<Token> tokens = Tokenize(s);
    QString out;
    out.reserve(statement.size() + 16);

    // "Top n" limits found at each parenthesis depth, applied where that depth closes.
    struct PendingLimit {
        int depth;
        QStringView count;
    };
    std::vector<PendingLimit> limits;
    int depth = 0;
    bool lastWasSelect = false;

    auto isTextOperand = [&](qsizetype k, bool lookForward) {
        if (k < 0)
            return false;
        const Token& t = tokens[k];
        if (t.kind == TokenKind::String)
            return true;
        if (lookForward) {
            // "a.CName": the column is the last word of a dotted chain.
            qsizetype last = k;
            while (true) {
                const qsizetype dot = NextSignificant(tokens, last + 1);
                if (dot < 0 || !SymbolIs(s, tokens[dot], u'.'))
                    break;
                const qsizetype word = NextSignificant(tokens, dot + 1);
                if (word < 0)
                    break;
                last = word;
            }
            k = last;
        }
        const Token& w = tokens[k];
        if (w.kind == TokenKind::Word)
            return m_textColumns.contains(s.sliced(w.begin, w.length).toString().toLower());
        if (w.kind == TokenKind::Bracket && w.length > 2)
            return m_textColumns.contains(s.sliced(w.begin + 1, w.length - 2).toString().toLower());
        return false;
    };

    auto closeLimits = [&](int atDepth) {
        while (!limits.empty() && limits.back().depth == atDepth) {
            out += QStringLiteral(" LIMIT ");
            out += limits.back().count;
            limits.pop_back();
        }
    };

    const qsizetype count = qsizetype(tokens.size());
    // Where the statement's own text ends: trailing blanks and ";" come after a LIMIT.
    qsizetype end = count;
    while (end > 0 && (tokens[end - 1].kind == TokenKind::Space || SymbolIs(s, tokens[end - 1], u';')))
        --end;

    for (qsizetype k = 0; k < count; ++k) {
        if (k == end)
            closeLimits(0);
        const Token& t = tokens[k];
        const QStringView text = s.sliced(t.begin, t.length);
        switch (t.kind) {
        case TokenKind::DateLiteral: {
            const QString iso = DateLiteralToIso(text.sliced(1, text.size() - 2));
            out += u'\'';
            out += iso.isEmpty() ? SqlQuote(text.sliced(1, text.size() - 2).toString()) : iso;
            out += u'\'';
            lastWasSelect = false;
            continue;
        }
        case TokenKind::String:
            if (text.front() == u'"')
                out += DoubleQuotedToSingle(text.sliced(1, qMax<qsizetype>(0, text.size() - 2)));
            else
                out += text;
            lastWasSelect = false;
            continue;
        case TokenKind::Word:
            if (lastWasSelect && WordIs(s, t, u"Top")) {
                const qsizetype number = NextSignificant(tokens, k + 1);
                if (number >= 0 && tokens[number].kind == TokenKind::Number) {
                    limits.push_back({ depth, s.sliced(tokens[number].begin, tokens[number].length) });
                    k = number;
                    // Drop the blank after the count; the one before "Top" stays.
                    if (k + 1 < count && tokens[k + 1].kind == TokenKind::Space)
                        ++k;
                    lastWasSelect = false;
                    continue;
                }
            }
            if (WordIs(s, t, u"Distinct") && lastWasSelect) {
                out += text;
                continue; // "Select Distinct Top n" keeps looking for Top
            }
            out += text;
            lastWasSelect = WordIs(s, t, u"Select");
            if (WordIs(s, t, u"Delete")) {
                const qsizetype star = NextSignificant(tokens, k + 1);
                if (star >= 0 && SymbolIs(s, tokens[star], u'*')) {
                    const qsizetype from = NextSignificant(tokens, star + 1);
                    if (from >= 0 && WordIs(s, tokens[from], u"From"))
                        k = star; // the blank after "*" is copied with the next token
                }
            }
            continue;
        case TokenKind::Space:
            out += text;
            continue;
        case TokenKind::Symbol:
            lastWasSelect = false;
            if (text == u"(") {
                ++depth;
            } else if (text == u")") {
                closeLimits(depth);
                --depth;
            } else if (text == u"&" || text == u"+") {
                const bool joinsText = text == u"&"
                    || isTextOperand(PreviousSignificant(tokens, k - 1), false)
                    || isTextOperand(NextSignificant(tokens, k + 1), true);
                out += joinsText ? QStringView(u"||") : text;
                continue;
            }
            out += text;
            continue;
        case TokenKind::Bracket:
        case TokenKind::Number:
            lastWasSelect = false;
            out += text;
            continue;
        }
    }
    if (end == count)
        closeLimits(0);
    // Unbalanced parentheses: whatever is still pending goes at the end.
    while (!limits.empty())
        closeLimits(limits.back().depth);
    return out;
}

} // namespace kivo
