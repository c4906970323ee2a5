#pragma once

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

// The day number (Julian day) of the "2026-03-05" at the start of `text` (a time part after it
// is ignored); nothing when the text does not start with a valid date. Works on the engine's
// UTF-8 and on QString's UTF-16 alike, without building a string: browse lists read a date per row.
template <typename Char> std::optional<qint64> IsoDayNumber(const Char* text, qsizetype size)
{
    if (size < 10 || text[4] != Char('-') || text[7] != Char('-'))
        return std::nullopt;
    const auto digit = [text](int i) { return unsigned(text[i]) - unsigned('0'); };
    const unsigned y1 = digit(0), y2 = digit(1), y3 = digit(2), y4 = digit(3);
    const unsigned m1 = digit(5), m2 = digit(6), d1 = digit(8), d2 = digit(9);
    if ((y1 > 9) | (y2 > 9) | (y3 > 9) | (y4 > 9) | (m1 > 9) | (m2 > 9) | (d1 > 9) | (d2 > 9))
        return std::nullopt;
    const int year = int(y1 * 1000 + y2 * 100 + y3 * 10 + y4);
    const int month = int(m1 * 10 + m2);
    const int day = int(d1 * 10 + d2);
    static constexpr int monthDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    static constexpr int daysBefore[] = { 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334 };
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > monthDays[month - 1] + (month == 2 && leap))
        return std::nullopt;
    // Days from 1 January of year 1 (proleptic Gregorian) to the Julian day number: cheaper
    // than the calendar's general conversion.
    const int y = year - 1;
    return qint64(y) * 365 + y / 4 - y / 100 + y / 400 + daysBefore[month - 1] + (month > 2 && leap) + day
        + 1721425;
}

// A stored value as the field's type shows it: null, qlonglong, double, QDate or QString.
QVariant FieldVariant(int fieldType, StoredKind kind, qint64 integer, double real, QStringView text);

} // namespace kivo
