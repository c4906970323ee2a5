#include "SqlFunctions.h"

#include <memory>
#include <QDate>
#include <QString>
#include <sqlite3.h>
#include <vector>

namespace kivo {

namespace {

QString ArgText(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? QString::fromUtf8(text, sqlite3_value_bytes(value)) : QString();
}

void ResultText(sqlite3_context* context, QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

bool AnyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    return false;
}

// The UTF-16 length of the first `characters` characters of a text: an emoji (two UTF-16
// units) is one character, and is never cut in half.
qsizetype Utf16Length(QStringView text, qsizetype characters)
{
    qsizetype i = 0;
    for (; i < text.size() && characters > 0; --characters)
        i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    return i;
}

qsizetype CharacterCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++count)
        i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    return count;
}

// Left(text, n): the first n characters.
void LeftFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (AnyNull(argc, argv))
        return sqlite3_result_null(context);
    const QString text = ArgText(argv[0]);
    ResultText(context, QStringView(text).first(Utf16Length(text, qMax(0, sqlite3_value_int(argv[1])))));
}

void RightFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (AnyNull(argc, argv))
        return sqlite3_result_null(context);
    const QString text = ArgText(argv[0]);
    const qsizetype skip = qMax<qsizetype>(0, CharacterCount(text) - sqlite3_value_int(argv[1]));
    ResultText(context, QStringView(text).sliced(Utf16Length(text, skip)));
}

// Dates are stored as ISO text; Year, Month and Day read its parts.
template <int Part> void DatePartFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    const QDate date = QDate::fromString(ArgText(argv[0]).left(10), Qt::ISODate);
    if (!date.isValid())
        return sqlite3_result_null(context);
    sqlite3_result_int(context, Part == 0 ? date.year() : Part == 1 ? date.month() : date.day());
}

template <bool Upper> void CaseFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (AnyNull(argc, argv))
        return sqlite3_result_null(context);
    const QString text = ArgText(argv[0]);
    ResultText(context, Upper ? text.toUpper() : text.toLower());
}

void TrimFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (AnyNull(argc, argv))
        return sqlite3_result_null(context);
    ResultText(context, ArgText(argv[0]).trimmed());
}

void LenFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (AnyNull(argc, argv))
        return sqlite3_result_null(context);
    sqlite3_result_int64(context, CharacterCount(ArgText(argv[0])));
}

// The code point that starts at byte i of a UTF-8 text, moving i past it. A byte that does
// not start a well-formed sequence stands for itself, so that any text has one order.
char32_t NextCodePoint(const char* text, int length, int& i)
{
    const auto byte = [&](int at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    const int extra = lead >= 0xF0 && lead <= 0xF4 ? 3
        : lead >= 0xE0 && lead < 0xF0              ? 2
        : lead >= 0xC2 && lead < 0xE0              ? 1
                                                   : 0;
    if (extra > 0 && i + extra < length) {
        char32_t c = lead & (0x3F >> extra);
        int k = 1;
        for (; k <= extra && (byte(i + k) & 0xC0) == 0x80; ++k)
            c = (c << 6) | (byte(i + k) & 0x3F);
        if (k > extra) {
            i += extra + 1;
            return c;
        }
    }
    ++i;
    return lead;
}

int CollationCompare(void*, int aLength, const void* a, int bLength, const void* b)
{
    return CompareFoldedUtf8(static_cast<const char*>(a), aLength, static_cast<const char*>(b), bLength);
}

// A Like pattern, case folded and split into characters, kept by the engine between rows
// of one statement so that it is prepared once.
struct LikePattern {
    enum Kind : char { Literal, One, Any };
    struct Piece {
        Kind kind;
        char32_t character;
    };
    QString source; // as written, to know whether the cached copy still applies
    QString escape;
    std::vector<Piece> pieces;
};

LikePattern* CompilePattern(const QString& pattern, const QString& escape)
{
    auto* compiled = new LikePattern { pattern, escape, {} };
    // The escape and the wildcards are read as written; only the letters are folded.
    const char32_t escapeCharacter = escape.isEmpty() ? 0 : escape.toUcs4().value(0);
    const QList<uint> characters = pattern.toUcs4();
    compiled->pieces.reserve(size_t(characters.size()));
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const char32_t c = characters[i];
        if (escapeCharacter && c == escapeCharacter && i + 1 < characters.size())
            compiled->pieces.push_back(
                { LikePattern::Literal, QChar::toCaseFolded(char32_t(characters[++i])) });
        else if (c == U'%')
            compiled->pieces.push_back({ LikePattern::Any, 0 });
        else if (c == U'_')
            compiled->pieces.push_back({ LikePattern::One, 0 });
        else
            compiled->pieces.push_back({ LikePattern::Literal, QChar::toCaseFolded(c) });
    }
    return compiled;
}

// Matches with one backtrack point (the last "%" seen), so that no pattern takes more than
// length(text) × length(pattern) steps and nothing recurses.
bool Matches(const std::vector<LikePattern::Piece>& pieces, const QList<uint>& text)
{
    const qsizetype n = text.size();
    const qsizetype m = qsizetype(pieces.size());
    qsizetype i = 0, p = 0, star = -1, mark = 0;
    while (i < n) {
        if (p < m && pieces[size_t(p)].kind == LikePattern::Any) {
            star = p++;
            mark = i;
        } else if (p < m
            && (pieces[size_t(p)].kind == LikePattern::One || pieces[size_t(p)].character == text[i])) {
            ++i;
            ++p;
        } else if (star >= 0) {
            p = star + 1;
            i = ++mark;
        } else {
            return false;
        }
    }
    while (p < m && pieces[size_t(p)].kind == LikePattern::Any)
        ++p;
    return p == m;
}

// like(pattern, text [, escape]): the engine's LIKE operator, "%" for any run of characters
// and "_" for one, with case folded for every letter as the text collation does.
void LikeFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (AnyNull(argc, argv))
        return sqlite3_result_null(context);
    const QString escape = argc == 3 ? ArgText(argv[2]) : QString();
    if (argc == 3 && CharacterCount(escape) != 1)
        return sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
    const QString pattern = ArgText(argv[0]);
    auto* compiled = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (!compiled || compiled->source != pattern || compiled->escape != escape) {
        compiled = CompilePattern(pattern, escape);
        sqlite3_set_auxdata(context, 0, compiled, [](void* p) { delete static_cast<LikePattern*>(p); });
        // The engine may drop the copy at once; read it back to use whichever it kept.
        compiled = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
        if (!compiled) {
            const std::unique_ptr<LikePattern> once(CompilePattern(pattern, escape));
            return sqlite3_result_int(
                context, Matches(once->pieces, ArgText(argv[1]).toCaseFolded().toUcs4()));
        }
    }
    sqlite3_result_int(context, Matches(compiled->pieces, ArgText(argv[1]).toCaseFolded().toUcs4()));
}

} // namespace

int CompareFoldedUtf8(const char* a, int aLength, const char* b, int bLength)
{
    // Both texts are compared as the sequences of their case-folded characters, in the order
    // of their code points (as UTF-8 bytes sort), so that a range ending in the last code
    // point holds every text that starts with a prefix. Plain ASCII is folded here byte by
    // byte; from the first other character on, each character is decoded and folded.
    int i = 0;
    const int common = qMin(aLength, bLength);
    for (; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if ((x | y) & 0x80)
            break;
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return x < y ? -1 : 1;
    }
    int j = i;
    while (i < aLength && j < bLength) {
        const char32_t x = QChar::toCaseFolded(NextCodePoint(a, aLength, i));
        const char32_t y = QChar::toCaseFolded(NextCodePoint(b, bLength, j));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return i < aLength ? 1 : j < bLength ? -1 : 0;
}

int RegisterSqlFunctions(sqlite3* db)
{
    int rc = sqlite3_create_collation_v2(db, TextCollation, SQLITE_UTF8, nullptr, CollationCompare, nullptr);
    if (rc != SQLITE_OK)
        return rc;

    struct Function {
        const char* name;
        int arguments;
        void (*call)(sqlite3_context*, int, sqlite3_value**);
    };
    static const Function functions[] = {
        { "Left", 2, LeftFunction },
        { "Right", 2, RightFunction },
        { "Year", 1, DatePartFunction<0> },
        { "Month", 1, DatePartFunction<1> },
        { "Day", 1, DatePartFunction<2> },
        { "UCase", 1, CaseFunction<true> },
        { "LCase", 1, CaseFunction<false> },
        { "Trim", 1, TrimFunction },
        { "Len", 1, LenFunction },
        // Replaces the engine's own like(), which folds ASCII letters only.
        { "like", 2, LikeFunction },
        { "like", 3, LikeFunction },
    };
    for (const Function& f : functions) {
        rc = sqlite3_create_function_v2(db, f.name, f.arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
            f.call, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

} // namespace kivo
