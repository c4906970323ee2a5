#pragma once

#include <QString>
#include <QVariant>
#include <vector>

namespace kivo {

class Connection;

// Field types as the program tests them.
enum FieldType : int { FieldLong = 3, FieldDouble = 5, FieldDate = 7, FieldText = 202 };

struct FieldInfo {
    QString name;
    int type = FieldText;
    int definedSize = 255; // characters for text; 4 for long; 8 for double and date
    QString baseColumn; // the table column it comes from, empty for an expression
};

// A client-side snapshot of a statement's rows, with the cursor operations the screens
// use. A recordset over one table writes back by that table's rowid, so detail rows,
// whose EId is shared by every line of a document, update and delete the right row.
// Moving off a row with pending changes writes them first. Failures throw DbError.
class Recordset {
public:
    explicit Recordset(Connection& connection);

    // source: a bare table name ("kaUser") or a statement in the program's dialect.
    void Open(const QString& source);
    void Close();
    bool IsOpen() const { return m_open; }
    // Runs the statement again and stands on the first row.
    void Requery();

    bool Bof() const;
    bool Eof() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    int RecordCount() const;
    // 1-based position of the current row; -1 when on BOF or EOF.
    int AbsolutePosition() const;
    void SetAbsolutePosition(int position);

    // Searches forward from the current row for the first row matching one condition:
    // "ULogin= 'chief'", "EId=5", "EDate=#03/05/2026#" (=, <>, <, >, <=, >=). Text compares
    // without regard to case. Stands on the found row and returns true, or on EOF.
    bool Find(const QString& criterion);

    int FieldCount() const { return int(m_fields.size()); }
    const FieldInfo& Field(int index) const;
    int FieldIndex(const QString& name) const; // -1 when there is none

    // A field of the current row: null, qlonglong, double, QDate or QString.
    QVariant Value(int index) const;
    QVariant Value(const QString& name) const { return Value(CheckedIndex(name)); }
    // The value as text: "" for null, dates in the short date form, numbers without trailing zeros.
    QString Text(int index) const;
    QString Text(const QString& name) const { return Text(CheckedIndex(name)); }

    // Assigns a field of the current row, converted by the field's type ("12,5" to a number,
    // a short date to a date). A value that cannot be converted throws and leaves the field.
    void SetValue(int index, const QVariant& value);
    void SetValue(const QString& name, const QVariant& value) { SetValue(CheckedIndex(name), value); }

    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    bool IsUpdatable() const { return !m_table.isEmpty(); }
    bool IsEditing() const { return m_editing; }

    QString Source() const { return m_source; }
    QString Table() const { return m_table; }
    Connection& connection() const { return m_connection; }

private:
    struct Cell {
        enum class Kind : quint8 { Null, Integer, Real, Text };
        Kind kind = Kind::Null;
        qint64 integer = 0;
        double real = 0;
        QString text;
    };

    void Load();
    int CheckedIndex(const QString& name) const;
    void RequireCurrent(const char* operation) const;
    const Cell& CellAt(int row, int column) const { return m_cells[size_t(row) * m_fields.size() + column]; }
    Cell& CellAt(int row, int column) { return m_cells[size_t(row) * m_fields.size() + column]; }
    QVariant CellValue(const Cell& cell, int column) const;
    Cell Convert(int column, const QVariant& value) const;
    void WriteRow();
    void ReloadRow(int row);
    void Settle(); // writes pending changes before the cursor moves

    Connection& m_connection;
    QString m_source;
    QString m_engineSql;
    QString m_table;
    bool m_open = false;
    std::vector<FieldInfo> m_fields;
    std::vector<Cell> m_cells;
    std::vector<qint64> m_rowids;
    int m_rows = 0;
    int m_position = 0; // 0..m_rows-1 on a row; -1 BOF; m_rows EOF

    bool m_editing = false;
    bool m_adding = false;
    std::vector<Cell> m_original;
    std::vector<bool> m_dirty;
};

} // namespace kivo
