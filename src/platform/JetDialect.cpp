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

// The parts of a select list or an Order By, split at the commas outside parentheses.
std::vector<QStringView> SplitAtCommas(QStringView text)
{
    std::vector<QStringView> parts;
    int depth = 0;
    qsizetype start = 0;
    for (const SqlToken& t : TokenizeSql(text)) {
        if (t.IsSymbol(text, u'('))
            ++depth;
        else if (t.IsSymbol(text, u')'))
            --depth;
        else if (depth == 0 && t.IsSymbol(text, u',')) {
            parts.push_back(text.sliced(start, t.begin - start).trimmed());
            start = t.begin + 1;
        }
    }
    parts.push_back(text.sliced(start).trimmed());
    return parts;
}

// The tokens of a piece of statement that are not blank.
std::vector<SqlToken> Significant(QStringView text)
{
    std::vector<SqlToken> tokens = TokenizeSql(text);
    std::erase_if(tokens, [](const SqlToken& t) { return t.IsBlank(); });
    return tokens;
}

QStringView Unbracketed(QStringView name)
{
    return name.size() >= 2 && name.front() == u'[' && name.back() == u']' ? name.sliced(1, name.size() - 2)
                                                                           : name;
}

// Whether a subquery names a table of an enclosing select ("b.PGId = a.EId" where only b is
// its own): a qualifier that its From does not declare. Conservative: a qualifier declared
// only inside a nested select counts as foreign too.
bool ReadsOuterColumns(const QString& list, const QString& body, const QString& terms)
{
    QSet<QString> declared;
    int depth = 0;
    for (const SqlToken& t : TokenizeSql(body)) {
        if (t.IsSymbol(body, u'('))
            ++depth;
        else if (t.IsSymbol(body, u')'))
            --depth;
        else if (depth == 0
            && (t.IsWord(body, u"Where") || t.IsWord(body, u"Group") || t.IsWord(body, u"Having")))
            break;
        else if (t.kind == SqlTokenKind::Word || t.kind == SqlTokenKind::Bracket)
            declared.insert(Unbracketed(t.Text(body)).toString().toLower());
    }
    for (const QString* text : { &list, &body, &terms }) {
        const std::vector<SqlToken> tokens = Significant(*text);
        for (size_t i = 0; i + 1 < tokens.size(); ++i) {
            const SqlToken& t = tokens[i];
            if ((t.kind == SqlTokenKind::Word || t.kind == SqlTokenKind::Bracket)
                && tokens[i + 1].IsSymbol(*text, u'.')
                && !declared.contains(Unbracketed(t.Text(*text)).toString().toLower()))
                return true;
        }
    }
    return false;
}

// A "Select Top n" waiting for the end of its select, where its limit goes. The offsets are
// positions in the output, noted as the select's parts go by at its own parenthesis depth.
struct PendingTop {
    int depth;
    QString count;
    bool percent = false;
    bool distinct = false;
    bool merged = false; // a Union at the same depth: the count applies to the whole
    qsizetype selectAt = -1;
    qsizetype listAt = -1;
    qsizetype fromAt = -1;
    qsizetype orderAt = -1;
    qsizetype termsAt = -1;
};

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
    // The opening parenthesis of closing parenthesis k (-1 when unbalanced). All pairs are
    // found on first use, so that reading an operand backwards costs nothing however deep
    // the nesting, and a statement that never asks pays nothing.
    qsizetype Opening(qsizetype k) const
    {
        if (m_opening.empty()) {
            m_opening.assign(m_tokens.size(), -1);
            std::vector<qsizetype> open;
            for (qsizetype j = 0; j < qsizetype(m_tokens.size()); ++j) {
                if (m_tokens[size_t(j)].IsSymbol(m_s, u'('))
                    open.push_back(j);
                else if (m_tokens[size_t(j)].IsSymbol(m_s, u')') && !open.empty()) {
                    m_opening[size_t(j)] = open.back();
                    open.pop_back();
                }
            }
        }
        return m_opening[size_t(k)];
    }

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
    void NoteSelectPart(qsizetype k, int depth);
    void CloseTops(int depth);
    QString LimitFor(const PendingTop& top) const;
    QString PrefixRange(qsizetype like) const;
    QString TiesLimit(const PendingTop& top, const QString& count) const;
    // A part of the output to be copied into the rewrite of a Top, its comments made blanks:
    // a line comment would otherwise swallow what the rewrite puts after it. A parameter "?"
    // becomes "?N" with the number of the one it copies, so that the copy reads the same
    // value and the parameters after it keep their numbers.
    QString Output(qsizetype from, qsizetype to) const
    {
        const QStringView text = QStringView(m_out).sliced(from, to - from);
        if (!text.contains(u'?') && !text.contains(u'-') && !text.contains(u'/'))
            return text.trimmed().toString(); // neither a comment nor a parameter
        int parameter = 0; // plain parameters before the copied part
        if (text.contains(u'?')) {
            const QStringView before = QStringView(m_out).first(from);
            const std::vector<SqlToken> beforeTokens = TokenizeSql(before);
            for (size_t i = 0; i < beforeTokens.size(); ++i)
                parameter += IsPlainParameter(before, beforeTokens, i);
        }
        const std::vector<SqlToken> tokens = TokenizeSql(text);
        QString copy;
        copy.reserve(text.size());
        for (size_t i = 0; i < tokens.size(); ++i) {
            if (tokens[i].kind == SqlTokenKind::Comment)
                copy += u' ';
            else if (IsPlainParameter(text, tokens, i))
                copy += u'?' + QString::number(++parameter);
            else
                copy += tokens[i].Text(text);
        }
        return copy.trimmed();
    }
    // A "?" without a number after it.
    static bool IsPlainParameter(QStringView text, const std::vector<SqlToken>& tokens, size_t i)
    {
        return tokens[i].IsSymbol(text, u'?')
            && !(i + 1 < tokens.size() && tokens[i + 1].kind == SqlTokenKind::Number
                && tokens[i + 1].begin == tokens[i].begin + 1);
    }

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
    // The length the output has, with the span not yet copied.
    qsizetype OutputSize() const
    {
        return m_out.size() + (m_keptEnd > m_keptBegin ? m_keptEnd - m_keptBegin : 0);
    }

    QStringView m_s;
    std::vector<SqlToken> m_tokens;
    const QSet<QString>& m_textColumns;
    mutable std::vector<qsizetype> m_opening;
    QString m_out;
    qsizetype m_keptBegin = -1;
    qsizetype m_keptEnd = -1;
    // End of the last token that is neither blank nor ";": where a limit goes.
    qsizetype m_lastEnd = 0;
    qsizetype m_selectAt = -1;
    std::vector<PendingTop> m_tops;
    // A range to put after the pattern token of a Like.
    qsizetype m_rangeAfter = -1;
    QString m_range;
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
        const qsizetype open = Opening(k);
        if (open < 0)
            return false;
        const qsizetype name = Previous(open);
        return Is(name, SqlTokenKind::Word) && IsTextFunction(Text(name));
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

// "PName Like 'ab%'" on a text column: the engine cannot read the column's index for a
// like() of its own, so the range that holds every match is added, " AND PName >= 'ab' AND
// PName < 'ab' || char(1114111)", which the index answers; Like still decides each row. Only
// where nothing around the comparison binds tighter than And, and without Escape.
QString Rewriter::PrefixRange(qsizetype like) const
{
    const qsizetype pattern = Next(like);
    const qsizetype column = Previous(like);
    if (!Is(pattern, SqlTokenKind::String) || !IsTerminated(Text(pattern)) || column < 0
        || !IsTextColumn(column))
        return {};
    qsizetype first = column; // "a.PName" starts at "a"
    while (IsSymbol(Previous(first), u'.')
        && (Is(Previous(Previous(first)), SqlTokenKind::Word)
            || Is(Previous(Previous(first)), SqlTokenKind::Bracket)))
        first = Previous(Previous(first));
    const qsizetype before = Previous(first);
    if (before >= 0 && !IsSymbol(before, u'(') && !IsWord(before, u"Where") && !IsWord(before, u"And")
        && !IsWord(before, u"Or") && !IsWord(before, u"On") && !IsWord(before, u"Having"))
        return {};
    const qsizetype after = Next(pattern);
    if (after >= 0 && !IsSymbol(after, u')') && !IsSymbol(after, u';') && !IsWord(after, u"And")
        && !IsWord(after, u"Or") && !IsWord(after, u"Order") && !IsWord(after, u"Group")
        && !IsWord(after, u"Having") && !IsWord(after, u"Union"))
        return {};
    const QStringView body = Text(pattern).sliced(1, Text(pattern).size() - 2);
    qsizetype end = 0;
    while (end < body.size() && body[end] != u'%' && body[end] != u'_')
        ++end;
    // A prefix ending inside a doubled quote, or empty, gives no range.
    if (end == 0 || (body.first(end).count(u'\'') % 2) != 0)
        return {};
    const QString name = m_s.sliced(m_tokens[first].begin,
                                m_tokens[column].begin + m_tokens[column].length - m_tokens[first].begin)
                             .toString();
    const QString prefix = u'\'' + body.first(end).toString() + u'\'';
    return QStringLiteral(" AND %1 >= %2 AND %1 < %2 || char(1114111)").arg(name, prefix);
}

// Notes where the From and the Order By of a pending "Select Top" start, at its own depth.
void Rewriter::NoteSelectPart(qsizetype k, int depth)
{
    if (m_tops.empty() || m_tops.back().depth != depth)
        return;
    PendingTop& top = m_tops.back();
    if (IsWord(k, u"From") && top.fromAt < 0)
        top.fromAt = OutputSize();
    else if (IsWord(k, u"Order") && IsWord(Next(k), u"By"))
        top.orderAt = OutputSize();
    else if (IsWord(k, u"By") && IsWord(Previous(k), u"Order") && top.orderAt >= 0)
        top.termsAt = OutputSize() + m_tokens[k].length;
    else if (IsWord(k, u"Union"))
        top.merged = true;
}

// "Top n" keeps, as the old engine did, every row tied with the n-th on the values the
// select is ordered by. Without window functions the count of rows to return is worked out
// by the engine: n - 1, less the rows among the first n - 1 that tie with the n-th row, plus
// all rows that tie with it. With fewer than n rows the n-th row does not exist and the
// count stays n - 1, which returns them all.
QString Rewriter::TiesLimit(const PendingTop& top, const QString& count) const
{
    if (top.merged || top.fromAt < 0 || top.termsAt < 0 || top.termsAt > m_lastEnd)
        return {};
    const QString list = Output(top.listAt, top.fromAt);
    const QString body = Output(top.fromAt, top.orderAt);
    const QString terms = Output(top.termsAt, m_lastEnd);
    // The engine works out a LIMIT once, so it cannot read a row of an enclosing select.
    if (top.depth > 0 && ReadsOuterColumns(list, body, terms))
        return {};
    const std::vector<QStringView> items = SplitAtCommas(list);

    // Order By may name a column of the select list by its alias or its position; the
    // subqueries below need the expression itself.
    QStringList keys;
    QStringList directions;
    for (QStringView term : SplitAtCommas(terms)) {
        std::vector<SqlToken> tokens = Significant(term);
        if (tokens.empty())
            return {};
        QString direction;
        if (tokens.back().IsWord(term, u"Desc") || tokens.back().IsWord(term, u"Asc")) {
            direction = tokens.back().IsWord(term, u"Desc") ? QStringLiteral(" DESC") : QString();
            term = term.first(tokens.back().begin).trimmed();
            tokens.pop_back();
        }
        if (tokens.empty())
            return {};
        QString key = term.toString();
        if (tokens.size() == 1 && tokens[0].kind == SqlTokenKind::Number) {
            bool whole = false;
            const int position = term.toInt(&whole);
            if (!whole || position < 1 || position > int(items.size()))
                return {};
            const QStringView item = items[size_t(position - 1)];
            const std::vector<SqlToken> itemTokens = Significant(item);
            if (itemTokens.empty() || itemTokens.back().IsSymbol(item, u'*'))
                return {};
            const bool aliased
                = itemTokens.size() >= 3 && itemTokens[itemTokens.size() - 2].IsWord(item, u"As");
            key = u'('
                + (aliased ? item.first(itemTokens[itemTokens.size() - 2].begin).trimmed() : item).toString()
                + u')';
        } else if (tokens.size() == 1
            && (tokens[0].kind == SqlTokenKind::Word || tokens[0].kind == SqlTokenKind::Bracket)) {
            const QStringView name = Unbracketed(term);
            for (QStringView item : items) {
                const std::vector<SqlToken> itemTokens = Significant(item);
                if (itemTokens.size() >= 3 && itemTokens[itemTokens.size() - 2].IsWord(item, u"As")
                    && Unbracketed(itemTokens.back().Text(item)).compare(name, Qt::CaseInsensitive) == 0) {
                    key = u'(' + item.first(itemTokens[itemTokens.size() - 2].begin).trimmed().toString()
                        + u')';
                    break;
                }
            }
        }
        keys << key;
        directions << direction;
    }

    QString rowKeys, nthKeys, rowOrder, nthOrder, same;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString number = QString::number(i + 1);
        const QString separator = i ? QStringLiteral(", ") : QString();
        rowKeys += separator + keys[i] + QStringLiteral(" AS kivo_k") + number;
        nthKeys += separator + keys[i] + QStringLiteral(" AS kivo_n") + number;
        rowOrder += separator + QStringLiteral("kivo_k") + number + directions[i];
        nthOrder += separator + QStringLiteral("kivo_n") + number + directions[i];
        same += (i ? QStringLiteral(" AND ") : QString())
            + QStringLiteral("kivo_r.kivo_k%1 IS kivo_t.kivo_n%1").arg(number);
    }
    const QString select = (top.distinct ? QStringLiteral("SELECT DISTINCT ") : QStringLiteral("SELECT "))
        + list + QStringLiteral(", ");
    const QString from = u' ' + body;
    const QString nth = u'(' + select + nthKeys + from + QStringLiteral(" ORDER BY ") + nthOrder
        + QStringLiteral(" LIMIT 1 OFFSET ") + count + QStringLiteral(" - 1) AS kivo_t");
    const QString first = u'(' + select + rowKeys + from + QStringLiteral(" ORDER BY ") + rowOrder
        + QStringLiteral(" LIMIT ") + count + QStringLiteral(" - 1) AS kivo_r");
    const QString all = u'(' + select + rowKeys + from + QStringLiteral(") AS kivo_r");
    return QStringLiteral(
        "(SELECT %1 - 1 - (SELECT count(*) FROM %2, %3 WHERE %4) + (SELECT count(*) FROM %5, %3 WHERE %4))")
        .arg(count, first, nth, same, all);
}

QString Rewriter::LimitFor(const PendingTop& top) const
{
    // n percent of the rows, rounded up.
    const QString count = top.percent ? QStringLiteral("(SELECT (count(*) * %1 + 99) / 100 FROM (%2))")
                                            .arg(top.count, Output(top.selectAt, m_lastEnd))
                                      : top.count;
    const QString ties = TiesLimit(top, count);
    return QStringLiteral(" LIMIT ") + (ties.isEmpty() ? count : ties);
}

// The limits of the selects that end here go after their last token, before the blanks,
// comments and ";" that follow it.
void Rewriter::CloseTops(int depth)
{
    while (!m_tops.empty() && m_tops.back().depth == depth) {
        Flush();
        const QString limit = LimitFor(m_tops.back());
        m_out.insert(m_lastEnd, limit);
        m_lastEnd += limit.size();
        m_tops.pop_back();
    }
}

QString Rewriter::Run()
{
    m_out.reserve(m_s.size() + 16);
    int depth = 0;
    bool afterSelect = false; // "Select" or "Select Distinct" was the last word
    bool distinct = false;
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
                    PendingTop top { depth, Text(number).toString() };
                    top.distinct = distinct;
                    top.selectAt = m_selectAt;
                    // Drop "Top", the count, "Percent" and the blank after them; the blank
                    // before "Top" stays.
                    k = number;
                    if (IsWord(Next(k), u"Percent")) {
                        top.percent = true;
                        k = Next(k);
                    }
                    if (Is(k + 1, SqlTokenKind::Space))
                        ++k;
                    top.listAt = OutputSize();
                    m_tops.push_back(std::move(top));
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
            if (t.IsWord(m_s, u"Like")) {
                m_rangeAfter = Next(k);
                m_range = PrefixRange(k);
            }
            NoteSelectPart(k, depth);
            if (t.IsWord(m_s, u"Select")) {
                m_selectAt = OutputSize();
                distinct = false;
            }
            Keep(k);
            if (t.IsWord(m_s, u"Select")) {
                afterSelect = true;
            } else if (afterSelect && t.IsWord(m_s, u"Distinct")) {
                // "Select Distinct Top n" keeps looking for Top
                distinct = true;
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
                CloseTops(depth);
                --depth;
            } else if (IsSymbol(k, u'&')) {
                Put(u"||");
                break;
            } else if (IsSymbol(k, u'+')) {
                // "+" joins text, but a number on either side makes it an addition, as in
                // the old engine: '5' + 3 is 8.
                const qsizetype before = Previous(k);
                const qsizetype after = Next(k);
                if (!Is(before, SqlTokenKind::Number) && !StartsNumber(after)
                    && (EndsTextOperand(before) || StartsTextOperand(after))) {
                    Put(u"||");
                    break;
                }
            }
            Keep(k);
            break;
        }
        if (k == m_rangeAfter && !m_range.isEmpty()) {
            Put(m_range);
            m_range.clear();
        }
        if (!t.IsBlank() && !t.IsSymbol(m_s, u';'))
            m_lastEnd = OutputSize();
    }
    // The statement's own limit, and any left open by unbalanced parentheses.
    while (!m_tops.empty())
        CloseTops(m_tops.back().depth);
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
