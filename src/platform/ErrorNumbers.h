#pragma once

// Every error number the program writes to its error log, by where the failure comes from.
// Engine errors keep the engine's own result code (1..28); the database layer's own
// conditions use numbers above 3000, so the log tells them apart.

namespace kivo {

// The database layer's own conditions.
namespace DbErrorNumber {
inline constexpr int NotOpen = 3704; // operation on a closed connection or recordset
inline constexpr int NoCurrentRecord = 3021; // BOF or EOF is true, or the row was deleted
inline constexpr int TypeConversion = 3421; // a value could not be converted to the field's type
inline constexpr int NotUpdatable = 3251; // the recordset cannot be written back
inline constexpr int UnknownField = 3265; // no field of that name or position
inline constexpr int BadCriterion = 3001; // a Find criterion that cannot be read
inline constexpr int WrongKeyOrDamaged = 3343; // not a database, or the key does not open it
inline constexpr int FileMissing = 3024; // the database file does not exist
inline constexpr int FileError = 3043; // a file could not be read or written
inline constexpr int BadDate = 3075; // a date literal "#...#" that names no real date
inline constexpr int BadStatement = 3129; // an empty statement, or text after its end
inline constexpr int FieldTooSmall = 3163; // text wider than its field
} // namespace DbErrorNumber

// Error numbers of amount arithmetic, thrown in a DbError with the source "Money" so the
// routine's step reports it like any other failure.
namespace MoneyErrorNumber {
inline constexpr int Overflow = 6; // a result beyond the amount range
inline constexpr int DivisionByZero = 11;
} // namespace MoneyErrorNumber

// Error numbers for failures that do not come from the database layer.
namespace ErrorNumber {
inline constexpr int Unexpected = 51; // a failure with no number of its own
inline constexpr int TypeMismatch = 13; // a setting or value that is not of the kind expected
inline constexpr int FileNotFound = 53; // a file the program opens is not there
} // namespace ErrorNumber

} // namespace kivo
