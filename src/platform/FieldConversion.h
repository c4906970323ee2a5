#pragma once

#include <array>
#include <cstring>
#include <optional>
#include <QString>
#include <QStringView>
#include <QVariant>

namespace kivo {

// Field types as the program tests them.
enum FieldType : int { FieldLong = 3, FieldDouble = 5, FieldDate = 7, FieldText = 202 };

struct FieldInfo {
    QString name;
    int type = FieldText;
    int definedSize = 255; // characters for text; 4 for long; 8 for double and date
    QString baseColumn; // the table column it comes from, empty for an expression
    QString qualifier; // the alias (or table name) that qualifies it: "a" for a.BGross
};

// How a value is held once read from the engine or converted for a field.
enum class StoredKind : quint8 { Null, Integer, Real, Text };

// A value converted for a field, before it is stored.
struct StoredValue {
    StoredKind kind = StoredKind::Null;
    qint64 integer = 0;
    double real = 0;
    QString text;
};

// Reads a declared column type: "TEXT(15) COLLATE NOCASE" -> text of 15; "INTEGER" -> long;
// "REAL" -> double; "DATE" -> date. False (and the field untouched) when there is none, as
// for an expression column.
bool FieldTypeFromDeclared(const char* declared, FieldInfo& field);

// Converts an assigned value by the field's type: text to a number reads "," as the decimal
// point and a long keeps the whole number nearest, halves to even; text to a date is read in
// the short date form (or ISO); empty text is null in a number or date field. Throws DbError
// for a value that cannot be converted or text wider than the field.
StoredValue ConvertForField(const FieldInfo& field, const QVariant& value);

namespace detail {

// The Julian day number of a valid proleptic Gregorian date.
constexpr qint64 CivilDayNumber(int year, int month, int day)
{
    constexpr int daysBefore[] = { 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334 };
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int y = year - 1;
    return qint64(y) * 365 + y / 4 - y / 100 + y / 400 + daysBefore[month - 1] + (month > 2 && leap) + day
        + 1721425;
}

// The day number of the first of each month from January 1900 to December 2155 (and of the
// month after): a stored date of those years is a look-up and an addition, and the month's
// length (the next entry less this one) checks its day.
constexpr int MonthTableFirstYear = 1900;
constexpr int MonthTableYears = 256;
inline constexpr auto MonthStarts = [] {
    std::array<qint32, MonthTableYears * 12 + 1> starts {};
    for (int i = 0; i < int(starts.size()); ++i)
        starts[size_t(i)] = qint32(CivilDayNumber(MonthTableFirstYear + i / 12, i % 12 + 1, 1));
    return starts;
}();

} // namespace detail

// The day number (Julian day) of the "2026-03-05" at the start of `text` (a time part after it
// is ignored); nothing when the text does not start with a valid date. Works on the engine's
// UTF-8 and on QString's UTF-16 alike, without building a string: browse lists read a date per row.
template <typename Char> Q_ALWAYS_INLINE std::optional<qint64> IsoDayNumber(const Char* text, qsizetype size)
{
    if (size < 10)
        return std::nullopt;
    int year, month, day;
    if constexpr (sizeof(Char) == 1 && Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        // The engine's bytes: "YYYY-MM-" checked and split as one word, "DD" as another.
        quint64 head;
        quint16 tail;
        std::memcpy(&head, text, 8);
        std::memcpy(&tail, text + 8, 2);
        constexpr quint64 digits = 0x00FFFF00FFFFFFFFULL; // bytes 0-3 and 5-6
        constexpr quint64 dashes = 0x2D00002D00000000ULL;
        constexpr quint64 high = 0x8080808080808080ULL;
        // Each byte less '0': a digit is then 0..9, which adding 0x76 leaves below 0x80 (the low
        // seven bits are added alone so that no carry crosses into the next byte).
        const quint64 x = head ^ 0x3030303030303030ULL;
        const unsigned y = unsigned(tail) ^ 0x3030u;
        const quint64 bad = ((((x & ~high) + 0x7676767676767676ULL) | x) & high & digits)
            | ((head & ~digits) ^ dashes) | ((((y & 0x7F7Fu) + 0x7676u) | y) & 0x8080u);
        if (bad)
            return std::nullopt;
        year = int((x & 0xFF) * 1000 + (x >> 8 & 0xFF) * 100 + (x >> 16 & 0xFF) * 10 + (x >> 24 & 0xFF));
        month = int((x >> 40 & 0xFF) * 10 + (x >> 48 & 0xFF));
        day = int((y & 0xFF) * 10 + (y >> 8));
    } else {
        if (text[4] != Char('-') || text[7] != Char('-'))
            return std::nullopt;
        const auto digit = [text](int i) { return unsigned(text[i]) - unsigned('0'); };
        const unsigned y1 = digit(0), y2 = digit(1), y3 = digit(2), y4 = digit(3);
        const unsigned m1 = digit(5), m2 = digit(6), d1 = digit(8), d2 = digit(9);
        if ((y1 > 9) | (y2 > 9) | (y3 > 9) | (y4 > 9) | (m1 > 9) | (m2 > 9) | (d1 > 9) | (d2 > 9))
            return std::nullopt;
        year = int(y1 * 1000 + y2 * 100 + y3 * 10 + y4);
        month = int(m1 * 10 + m2);
        day = int(d1 * 10 + d2);
    }
    if (month < 1 || month > 12 || day < 1)
        return std::nullopt;
    const unsigned yearIndex = unsigned(year - detail::MonthTableFirstYear);
    if (yearIndex < unsigned(detail::MonthTableYears)) {
        const size_t entry = size_t(yearIndex) * 12 + size_t(month - 1);
        const qint32 start = detail::MonthStarts[entry];
        if (day > detail::MonthStarts[entry + 1] - start)
            return std::nullopt;
        return qint64(start) + day - 1;
    }
    static constexpr int monthDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1 || day > monthDays[month - 1] + (month == 2 && leap))
        return std::nullopt;
    return detail::CivilDayNumber(year, month, day);
}

// A stored value as the field's type shows it: null, qlonglong, double, QDate or QString.
QVariant FieldVariant(int fieldType, StoredKind kind, qint64 integer, double real, QStringView text);

} // namespace kivo
