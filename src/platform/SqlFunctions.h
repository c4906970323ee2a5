#pragma once

struct sqlite3;

namespace kivo {

// Name of the collation of every text column: text compared without regard to case for every
// letter (Åsa equals åsa), not only for the ASCII letters the engine's own NOCASE folds.
// A tool without this collation (the plain sqlcipher shell) refuses any statement that
// compares or sorts such a column, or writes a row into one of their indexes, instead of
// reading or building an index in another order.
inline constexpr const char TextCollation[] = "KIVOCASE";

// Registers the program's collation and functions on a connection: the TextCollation, a
// like() that folds case the same way, and the dialect's functions Left, Right, Year, Month,
// Day, UCase, LCase, Trim and Len. Text functions count characters, not UTF-16 units or
// bytes. Returns the engine's result code (SQLITE_OK).
int RegisterSqlFunctions(sqlite3* db);

// The collation's order: <0, 0 or >0 as a sorts before, with or after b. Both are UTF-8.
int CompareFoldedUtf8(const char* a, int aLength, const char* b, int bLength);

} // namespace kivo
