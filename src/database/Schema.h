#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace kivo {

class Connection;

// Kinds of column. A flag is a one-character text holding "Y" or "N".
enum class ColumnKind { Long, Number, Date, Text, Flag };

// One column of a table, in table order: column N of a table is field N of the screen
// that edits it, so the order here is part of the program's contract.
struct ColumnDef {
    QString name;
    ColumnKind kind;
    int width = 0; // characters for text and flags; typing limit for a number (0: the default)
    QString label; // caption of the field on the table's screen
    QString code; // field descriptor: D, I, F, N, U, UF, V, M, P, S, or empty
};

struct TableDef {
    QString name; // "ktProduct"
    QString screen; // "KvProduct", empty for detail tables
    bool master = true; // master tables own EId; detail rows share their master's EId
    std::vector<ColumnDef> columns;
    QStringList indexes; // non-unique look-up indexes, one column each

    int ColumnIndex(const QString& column) const; // -1 when absent
    int LastField() const { return int(columns.size()) - 1; }
};

namespace Schema {
// The twenty tables in creation order.
const std::vector<TableDef>& Tables();
// The table of that name, compared without regard to case; nullptr when unknown.
const TableDef* Find(const QString& table);
// The engine's CREATE TABLE statement for a table.
QString CreateStatement(const TableDef& table);
// The engine's CREATE INDEX statements for a table's indexes (each IF NOT EXISTS).
QStringList IndexStatements(const TableDef& table);
// The layout of the tables and indexes, kept in the file's PRAGMA user_version. Raise it
// whenever a table, column, column rule or index changes, so that older files are upgraded.
// 0 is a file made before the layout was numbered; 2 keeps passwords and the access code
// as hashes (PasswordHash), in wider columns.
inline constexpr int Version = 2;
// Creates every table and index in an empty database and records the layout's version.
void Create(Connection& connection);
// Brings a database made by an earlier build up to this build's layout, in one transaction:
// a table whose definition differs is made again with its rows (row ids, and the next id a
// master table hands out, kept), a missing table or index is added, and passwords and the
// access code still stored as typed are replaced by their hashes. Does nothing when the
// file is up to date. Throws DbError, leaving the file as it was, when a row breaks a rule
// of the new layout, a table holds a column this build does not know, or the file was made
// by a later build.
void Upgrade(Connection& connection);
} // namespace Schema

// The colour samples of the customize screen, as Windows colour numbers (red + 256 × green
// + 65536 × blue): eight for the back colour, eight for the back texture, five text colours.
namespace ColourSamples {
inline constexpr int BackColor[8]
    = { 15923449, 14474738, 14281213, 12835293, 14545386, 15853019, 15986395, 15524069 };
inline constexpr int BackTexture[8]
    = { 14737632, 12106214, 11851260, 9944773, 12379351, 14994616, 15261110, 14336204 };
inline constexpr int TextColor[5] = { 8388736, 8388608, 32768, 128, 0 };
inline constexpr const char* TextColorName[5] = { "Purple", "Blue", "Green", "Maroon", "Black" };
} // namespace ColourSamples

} // namespace kivo
