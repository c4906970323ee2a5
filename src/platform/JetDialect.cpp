#include "JetDialect.h"

#include "DbError.h"
#include "SqlTokenizer.h"

#include <QDate>
#include <vector>

namespace kivo {

namespace {

qsizetype NextSignificant(const std::vector<SqlToken>& tokens, qsizetype from)
{
    for (qsizetype k = from; k < qsizetype(tokens.size()); ++k)
        if (!tokens[k].IsBlank())
            return k;
    return -1;
}

qsizetype PreviousSignificant(const std::vector<SqlToken>& tokens, qsizetype from)
{
    for (qsizetype k = from; k >= 0; --k)
        if (!tokens[k].IsBlank())
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

// A literal whose closing quote is missing is left as written, so that the engine refuses
// the statement rather than running it with a shortened value.
bool IsTerminated(QStringView literal)
{
    return literal.size() >= 2 && literal.back() == literal.front();
}

// Functions whose result is text: a "+" next to their call joins text.
bool IsTextFunction(QStringView name)
{
    static constexpr QStringView names[]
        = { u"Left", u"Right", u"Trim", u"LTrim", u"RTrim", u"UCase", u"LCase" };
    for (QStringView n : names)
        if (name.compare(n, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void AppendDigits(QChar*& to, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        to[i] = QChar(u'0' + value % 10);
        value /= 10;
    }
    to += width;
}

// What may follow the date inside a literal: a time of day ("10:30:00 PM").
bool IsTimeOfDay(QStringView text)
{
    for (QChar c : text)
        if (!c.isDigit() && c != u':' && c != u' ' && c != u'.' && !QStringView(u"AaPpMm").contains(c))
            return false;
    return true;
}

// Rewrites one tokenized statement.
class Rewriter {
public:
    Rewriter(QStringView s, const QSet<QString>& textColumns)
        : m_s(s)
        , m_tokens(TokenizeSql(s))
        , m_textColumns(textColumns)
    {
    }

    QString Run();

private:
    QStringView Text(qsizetype k) const { return m_s.sliced(m_tokens[k].begin, m_tokens[k].length); }
    bool Is(qsizetype k, SqlTokenKind kind) const { return k >= 0 && m_tokens[k].kind == kind; }
    bool IsSymbol(qsizetype k, QChar c) const { return k >= 0 && m_tokens[k].IsSymbol(m_s, c); }
    bool IsWord(qsizetype k, QStringView word) const { return k >= 0 && m_tokens[k].IsWord(m_s, word); }
    qsizetype Next(qsizetype k) const { return NextSignificant(m_tokens, k + 1); }
    qsizetype Previous(qsizetype k) const { return PreviousSignificant(m_tokens, k - 1); }

    bool StartsNumber(qsizetype k) const
    {
        if (IsSymbol(k, u'-') || IsSymbol(k, u'+'))
            k = Next(k);
        return Is(k, SqlTokenKind::Number);
    }
    bool IsTextColumn(qsizetype k) const;
    bool EndsTextOperand(qsizetype k) const;
    bool StartsTextOperand(qsizetype k) const;
    void AppendLimit(QStringView count);
    void CloseLimits(int depth);

    // Output: unchanged tokens are collected as one span of the statement and copied at
    // once; rewritten text is put after the span so far.
    void Keep(qsizetype k)
    {
        const SqlToken& t = m_tokens[k];
        if (t.begin != m_keptEnd) {
            Flush();
            m_keptBegin = t.begin;
        }
        m_keptEnd = t.begin + t.length;
    }
    void Put(QStringView text)
    {
        Flush();
        m_out += text;
    }
    void Flush()
    {
        if (m_keptEnd > m_keptBegin)
            m_out += m_s.sliced(m_keptBegin, m_keptEnd - m_keptBegin);
        m_keptBegin = m_keptEnd = -1;
    }

    QStringView m_s;
    std::vector<SqlToken> m_tokens;
    const QSet<QString>& m_textColumns;
    QString m_out;
    qsizetype m_keptBegin = -1;
    qsizetype m_keptEnd = -1;

    // "Top n" counts found at each parenthesis depth, applied where that depth closes.
    struct PendingLimit {
        int depth;
        QStringView count;
    };
    std::vector<PendingLimit> m_limits;
};

bool Rewriter::IsTextColumn(qsizetype k) const
{
    QStringView name = Text(k);
    if (m_tokens[k].kind == SqlTokenKind::Bracket) {
        if (name.size() < 2 || name.back() != u']')
            return false;
        name = name.sliced(1, name.size() - 2);
    } else if (m_tokens[k].kind != SqlTokenKind::Word) {
        return false;
    }
    return m_textColumns.contains(name.toString().toLower());
}

// The operand that ends with token k, read backwards: a string, a text column ("a.CName":
// its last part) or the call of a text function ("Left(CName,16)").
bool Rewriter::EndsTextOperand(qsizetype k) const
{
    if (k < 0)
        return false;
    if (Is(k, SqlTokenKind::String) || Is(k, SqlTokenKind::DoubleQuoted))
        return true;
    if (IsSymbol(k, u')')) {
        int depth = 0;
        for (qsizetype j = k; j >= 0; --j) {
            if (IsSymbol(j, u')'))
                ++depth;
            else if (IsSymbol(j, u'(') && --depth == 0) {
                const qsizetype name = Previous(j);
                return Is(name, SqlTokenKind::Word) && IsTextFunction(Text(name));
            }
        }
        return false;
    }
    return IsTextColumn(k);
}

// The operand that starts with token k, read forwards.
bool Rewriter::StartsTextOperand(qsizetype k) const
{
    if (k < 0)
        return false;
    if (Is(k, SqlTokenKind::String) || Is(k, SqlTokenKind::DoubleQuoted))
        return true;
    if (Is(k, SqlTokenKind::Word) && IsSymbol(Next(k), u'('))
        return IsTextFunction(Text(k));
    // "a.CName": the column is the last part of a dotted name.
    qsizetype last = k;
    for (qsizetype dot = Next(last); IsSymbol(dot, u'.') && Next(dot) >= 0; dot = Next(last))
        last = Next(dot);
    return IsTextColumn(last);
}

// The limit goes after the statement's (or subquery's) last token, before the blanks and
// ";" that close it.
void Rewriter::AppendLimit(QStringView count)
{
    Flush();
    qsizetype at = m_out.size();
    while (at > 0 && (m_out[at - 1].isSpace() || m_out[at - 1] == u';'))
        --at;
    QString limit;
    limit.reserve(count.size() + 7);
    limit += QStringLiteral(" LIMIT ");
    limit += count;
    m_out.insert(at, limit);
}

void Rewriter::CloseLimits(int depth)
{
    while (!m_limits.empty() && m_limits.back().depth == depth) {
        AppendLimit(m_limits.back().count);
        m_limits.pop_back();
    }
}

QString Rewriter::Run()
{
    m_out.reserve(m_s.size() + 16);
    int depth = 0;
    bool afterSelect = false; // "Select" or "Select Distinct" was the last word
    const qsizetype count = qsizetype(m_tokens.size());

    for (qsizetype k = 0; k < count; ++k) {
        const SqlToken& t = m_tokens[k];
        if (!t.IsBlank() && !(t.kind == SqlTokenKind::Word && afterSelect))
            afterSelect = false;
        switch (t.kind) {
        case SqlTokenKind::Space:
        case SqlTokenKind::Comment:
        case SqlTokenKind::String:
        case SqlTokenKind::Bracket:
        case SqlTokenKind::Number:
            Keep(k);
            break;
        case SqlTokenKind::DateLiteral: {
            const QStringView text = Text(k);
            const QString iso = JetDialect::DateLiteralToIso(text.sliced(1, text.size() - 2));
            if (iso.isEmpty())
                throw DbError(DbErrorNumber::BadDate, QStringLiteral("Kivo Database"),
                    QStringLiteral("Syntax error in date: %1").arg(text));
            Put(u"'");
            m_out += iso;
            m_out += u'\'';
            break;
        }
        case SqlTokenKind::DoubleQuoted: {
            const QStringView text = Text(k);
            if (IsTerminated(text))
                Put(DoubleQuotedToSingle(text.sliced(1, text.size() - 2)));
            else
                Keep(k);
            break;
        }
        case SqlTokenKind::Word:
            if (afterSelect && t.IsWord(m_s, u"Top")) {
                const qsizetype number = Next(k);
                if (Is(number, SqlTokenKind::Number) && !Text(number).contains(u'.')) {
                    m_limits.push_back({ depth, Text(number) });
                    // Drop "Top", the count and the blank after it; the blank before "Top" stays.
                    k = number;
                    if (Is(k + 1, SqlTokenKind::Space))
                        ++k;
                    afterSelect = false;
                    break;
                }
            }
            if ((t.IsWord(m_s, u"Left") || t.IsWord(m_s, u"Right")) && IsSymbol(Next(k), u'(')) {
                // Join keywords to the engine: called by their quoted name, which the engine
                // reads as the function registered under that name.
                Put(u"\"");
                m_out += Text(k);
                m_out += u'"';
                break;
            }
            if (t.IsWord(m_s, u"Like") && StartsNumber(Next(k))) {
                // A number compares as a number. The engine would compare the text forms,
                // where a whole amount held as a double reads "2.0" and never matches "2".
                Put(u"=");
                break;
            }
            Keep(k);
            if (t.IsWord(m_s, u"Select")) {
                afterSelect = true;
            } else if (afterSelect && t.IsWord(m_s, u"Distinct")) {
                // "Select Distinct Top n" keeps looking for Top
            } else {
                afterSelect = false;
            }
            if (t.IsWord(m_s, u"Delete")) {
                // "Delete * From": the star goes; one blank stays between the two words.
                const qsizetype star = Next(k);
                if (IsSymbol(star, u'*') && IsWord(Next(star), u"From")) {
                    if (star > k + 1)
                        Keep(k + 1);
                    else
                        Put(u" ");
                    k = star;
                    if (Is(k + 1, SqlTokenKind::Space))
                        ++k;
                }
            }
            break;
        case SqlTokenKind::Symbol:
            if (IsSymbol(k, u'(')) {
                ++depth;
            } else if (IsSymbol(k, u')')) {
                CloseLimits(depth);
                --depth;
            } else if (IsSymbol(k, u'&')) {
                Put(u"||");
                break;
            } else if (IsSymbol(k, u'+')) {
                if (EndsTextOperand(Previous(k)) || StartsTextOperand(Next(k))) {
                    Put(u"||");
                    break;
                }
            }
            Keep(k);
            break;
        }
    }
    // The statement's own limit, and any left open by unbalanced parentheses.
    while (!m_limits.empty())
        CloseLimits(m_limits.back().depth);
    Flush();
    return std::move(m_out);
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
    if (const qsizetype blank = body.indexOf(u' '); blank > 0) {
        // A time part after the date is not kept: dates are stored without time.
        if (!IsTimeOfDay(body.sliced(blank)))
            return {};
        body = body.first(blank);
    }
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
    if (year < 100 || !QDate::isValid(year, month, day))
        return {};
    QString iso(10, Qt::Uninitialized);
    QChar* to = iso.data();
    AppendDigits(to, year, 4);
    *to++ = u'-';
    AppendDigits(to, month, 2);
    *to++ = u'-';
    AppendDigits(to, day, 2);
    return iso;
}

QString JetDialect::Translate(const QString& statement) const
{
    return Rewriter(statement, m_textColumns).Run();
}

} // namespace kivo
