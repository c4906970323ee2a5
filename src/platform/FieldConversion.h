#pragma once

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

// A stored value as the field's type shows it: null, qlonglong, double, QDate or QString.
QVariant FieldVariant(int fieldType, StoredKind kind, qint64 integer, double real, QStringView text);

} // namespace kivo
