#pragma once

#include "FieldConversion.h"
#include "SqlTokenizer.h"

#include <memory>
#include <QString>
#include <vector>

struct sqlite3_stmt;

namespace kivo {

class Connection;

// What a statement's columns are, learned once per cached statement (the connection keeps it
// beside the statement): the fields, the table the rows are written back to, and whether the
// statement is a browse list read through a window.
struct RecordsetLayout {
    QString table; // written back to; empty when the rows are read-only
    std::vector<FieldInfo> fields;
    std::vector<bool> typedByValue; // expression columns take their type from their values
    // A plain select of a master table's columns: "SELECT EId AS kivo_rowid, <columns> FROM
    // <table>", to which the window's conditions are added.
    bool windowed = false;
    QString windowSelect;
    // The same for reading forward: without the rowid in front when `rowidField` holds it.
    QString forwardSelect;
    // The field that holds the rowid read in front (a master table's EId), or -1.
    int rowidField = -1;

    // From a prepared statement; `rowid` when its first column is the rowid read in front.
    static std::shared_ptr<const RecordsetLayout> Make(
        Connection& connection, sqlite3_stmt* statement, bool rowid, const QString& engineSql);
    // The statement with the rowid read in front of its columns, or empty when it is not a
    // plain SELECT.
    static QString WithRowid(const QString& engineSql);
    // The same for a statement already split into tokens, which are then moved to describe
    // the statement returned (the words put in front are no literal and left out of them).
    static QString WithRowid(const QString& engineSql, std::vector<SqlToken>& tokens);
};

} // namespace kivo
