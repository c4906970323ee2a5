#pragma once

#include "FieldConversion.h"
#include "RowStore.h"

#include <memory>
#include <optional>
#include <QString>
#include <QVariant>
#include <vector>

namespace kivo {

class CachedStatement;
class Connection;
struct FindCriterion;
struct RecordsetLayout;

// The rows of a statement, with the cursor operations the screens use. Most statements are
// read whole into a snapshot. A plain select of a master table's columns (no condition,
// grouping or order other than by EId) is a browse list that may hold a million rows: it is
// read through a window of rows in EId order, fetched as the cursor reaches them, so opening
// it costs a count and memory does not grow with the table; Find then runs as a query. A
// long snapshot of one table's rows in id order (a plain select with a condition) also runs
// Find as a query while its table is as it was read, and scans the rows it holds otherwise. Both
// behave the same to the caller, except that a windowed list sees rows written by others as
// it moves. A recordset whose columns come from one table (expression columns such as
// "'-' As NewValue" may sit beside them; they are kept in the snapshot but never written)
// writes back by that table's rowid, so detail rows, whose EId is shared by every line of
// a document, update and delete the right row. Joins, groupings and statements without a
// table column are read-only. Moving off a row with pending changes writes them first.
// Failures throw DbError.
class Recordset {
public:
    explicit Recordset(Connection& connection);

    // source: a bare table name ("kaUser") or a statement in the program's dialect.
    void Open(const QString& source);
    // Pending changes that were not written are dropped.
    void Close();
    bool IsOpen() const { return m_open; }
    // Writes pending changes, runs the statement again and stands on the first row.
    void Requery();

    // On an empty set both are true whatever the moves.
    bool Bof() const;
    bool Eof() const { return !InWindow(m_position) && EofOutsideWindow(); }
    void MoveFirst();
    void MoveLast();
    // Past the last row stands on EOF, before the first on BOF; further moves stay there.
    void MoveNext()
    {
        if (m_open && !m_editing && !m_afterDelete && m_position >= m_windowStart && InWindow(m_position + 1))
            ++m_position; // the next row is in the window
        else
            MoveNextOutsideWindow();
    }
    void MovePrevious();
    int RecordCount() const;
    // 1-based position of the current row; -1 when on BOF or EOF.
    int AbsolutePosition() const;
    // Throws DbError for a position outside 1..RecordCount().
    void SetAbsolutePosition(int position);

    // Searches forward from the current row (included) for the first row matching one
    // condition: "ULogin= 'chief'", "EId=5", "EDate=#03/05/2026#" (=, <>, <, >, <=, >=). Text
    // compares without regard to case; a quote inside a quoted value is doubled. Stands on
    // the found row and returns true, or stands on EOF and returns false. A criterion that
    // cannot be read, names no field or compares a number field with text throws DbError.
    bool Find(const QString& criterion);

    int FieldCount() const { return int(m_fields->size()); }
    const FieldInfo& Field(int index) const;
    // By name without regard to case; "b.BGross" names the field of the table with alias (or
    // name) b where a join repeats a name, and the bare name finds the first. -1 when none.
    int FieldIndex(const QString& name) const;

    // A field of the current row: null, qlonglong, double, QDate or QString.
    QVariant Value(int index) const
    {
        // Reading row after row stays inside the window: answered without the checks' calls.
        // (The store holds a cell per field of each row it holds.)
        const int row = m_position - m_windowStart;
        if (unsigned(row) < unsigned(m_store.Rows()) && unsigned(index) < unsigned(m_store.Columns())
            && (!m_counted || m_position < m_rows)) {
            m_afterDelete = false;
            return m_store.Value(row, index, (*m_fields)[size_t(index)].type);
        }
        return CheckedValue(index);
    }
    QVariant Value(const QString& name) const { return Value(CheckedIndex(name)); }
    // The value as text: "" for null, dates in the short date form, numbers without trailing zeros.
    QString Text(int index) const;
    QString Text(const QString& name) const { return Text(CheckedIndex(name)); }

    // Assigns a field of the current row, converted by the field's type: text to a number
    // reads "," as the decimal point ("12,5" is 12.5) and a long keeps the whole number
    // nearest, halves to even; text to a date is read in the short date form (or ISO);
    // empty text stores null in a number or date field. A value that cannot be converted,
    // or text longer than the field's width, throws and leaves the field and the row as
    // they were. A read-only recordset refuses any assignment.
    void SetValue(int index, const QVariant& value);
    void SetValue(const QString& name, const QVariant& value) { SetValue(CheckedIndex(name), value); }

    // Appends an empty row and stands on it; Update inserts it and reads back what the
    // database assigned (the EId of a master table).
    void AddNew();
    // Writes the pending changes of the current row. On failure nothing is written: the
    // row shows what the database holds and the error is thrown. A read-only recordset
    // throws.
    void Update();
    // Drops the pending changes; a row being added disappears and the cursor goes back to
    // the row it stood on before AddNew.
    void CancelUpdate();
    // Deletes the current row. The cursor then stands on the row that followed it, or on
    // EOF. A MoveNext straight after Delete, with no field read in between, only steps off
    // the deleted row and so stays there: "delete, then move next" visits every row.
    void Delete();
    bool IsUpdatable() const { return !m_table.isEmpty(); }
    bool IsEditing() const { return m_editing; }
    // Whether the rows are read through a window as the cursor reaches them.
    bool IsWindowed() const { return m_windowed; }

    QString Source() const { return m_source; }
    QString Table() const { return m_table; }
    Connection& connection() const { return m_connection; }

private:
    using Cell = RowStore::Cell;
    using Kind = RowStore::Kind;

    // The cursor's fast paths and what they fall back on.
    bool InWindow(int position) const
    {
        return position >= m_windowStart && position < m_windowStart + m_store.Rows();
    }
    bool EofOutsideWindow() const;
    void MoveNextOutsideWindow();
    QVariant CheckedValue(int index) const;

    // Reads the rows of the statement prepared for `source` and stands on the first.
    void Start(const QString& source, CachedStatement prepared, bool rowid,
        std::shared_ptr<const RecordsetLayout> layout);
    void Load(CachedStatement& statement);
    void Begin(); // a windowed list: first window, count left for later
    int Rows() const; // the number of rows, counted if it is not known yet
    bool Past(int position) const; // at or after the end
    int CheckedIndex(const QString& name) const;
    void RequireCurrent(const char* operation) const;
    void RequireUpdatable() const;
    // Makes the row at `position` (0..RecordCount()-1) part of the window.
    void Ensure(int position) const;
    void FetchAfter(qint64 id, int position) const;
    void FetchBefore(qint64 id, int position) const;
    void FetchAt(int position) const;
    // `forward`: the statement is the forward select (no rowid in front when a field holds it).
    void FillWindow(CachedStatement& statement, int position, bool endsAtPosition, bool forward) const;
    qint64 Rank(qint64 id) const;
    bool FindInSnapshot(const FindCriterion& criterion, int column, const QString& value, double number);
    bool FindInTable(const FindCriterion& criterion, int column, const QString& value, double number);
    // A snapshot's Find as a query; nothing when the snapshot must be scanned instead.
    std::optional<bool> FindByQuery(const FindCriterion& criterion, int column, const QVariant& bound);
    // The field as a Find condition compares it: a date by its day, text without regard to case.
    QString ComparedColumn(const FieldInfo& field, const QString& column) const;
    // What changes when anything is written to the database file (a count of the rows this
    // connection changed, and the file's data version for the commits of others).
    std::pair<int, unsigned> DataSignature() const;
    const Cell& CellAt(int position, int column) const
    {
        return m_store.At(position - m_windowStart, column);
    }
    Cell& CellAt(int position, int column) { return m_store.At(position - m_windowStart, column); }
    qint64 RowidAt(int position) const { return m_store.Rowid(position - m_windowStart); }
    void WriteRow();
    void ReloadRow(int position);
    void Settle(); // writes pending changes before the cursor moves
    void Arrive() const { m_afterDelete = false; }

    Connection& m_connection;
    QString m_source;
    QString m_engineSql; // as run, with the rowid in front when the rows can be written back
    QString m_table;
    bool m_open = false;
    bool m_rowid = false;
    std::shared_ptr<const RecordsetLayout> m_layout;
    // The layout's fields, or a copy of them when values decide the types of some.
    std::shared_ptr<const std::vector<FieldInfo>> m_fields;

    // The rows held: all of them in a snapshot (window start 0), a stretch of them in a
    // windowed list. Fetching a window changes no visible state, so it happens in const reads.
    bool m_windowed = false;
    QString m_windowSelect; // windowed: "SELECT EId AS kivo_rowid, <columns> FROM <table>"
    mutable RowStore m_store;
    mutable int m_windowStart = 0;
    mutable int m_windowRows = 0; // rows the next fetch asks for
    mutable int m_rows = 0;
    mutable bool m_counted = true; // a windowed list counts its rows only when asked
    int m_position = 0; // 0..m_rows-1 on a row; -1 BOF; m_rows EOF
    // A snapshot in rowid order, and the data signature when it was read.
    bool m_ascending = false;
    std::pair<int, unsigned> m_loadedSignature;
    // Set by Delete until the cursor is used again; the next MoveNext then stays.
    mutable bool m_afterDelete = false;

    bool m_editing = false;
    bool m_adding = false;
    int m_positionBeforeAdd = 0;
    std::vector<Cell> m_original;
    std::vector<bool> m_dirty;
    // The statements that write rows back, kept for the next row that changes the same columns.
    QString m_insertSql;
    QString m_updateSql;
    QString m_reloadSql;
    std::vector<bool> m_insertMask;
    std::vector<bool> m_updateMask;
};

} // namespace kivo
