#pragma once

#include <QString>
#include <QVariant>
#include <type_traits>
#include <utility>
#include <vector>

struct sqlite3_stmt;
QT_FORWARD_DECLARE_CLASS(QStringDecoder)

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
// use. A recordset whose columns come from one table (expression columns such as
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
    bool Eof() const;
    void MoveFirst();
    void MoveLast();
    // Past the last row stands on EOF, before the first on BOF; further moves stay there.
    void MoveNext();
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

    int FieldCount() const { return int(m_fields.size()); }
    const FieldInfo& Field(int index) const;
    int FieldIndex(const QString& name) const; // -1 when there is none

    // A field of the current row: null, qlonglong, double, QDate or QString.
    QVariant Value(int index) const;
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

    QString Source() const { return m_source; }
    QString Table() const { return m_table; }
    Connection& connection() const { return m_connection; }

private:
    // Snapshot storage in fixed blocks of 64 KiB. Reading a large set never copies what was
    // already read, and a closed snapshot hands its blocks to a shared pool that the next
    // snapshot takes them from: touching fresh memory costs a page fault per page, which
    // would cost more than reading the rows.
    static constexpr size_t BlockBytes = 64 * 1024;
    static void* AcquireBlock();
    static void ReleaseBlock(void* block);

    template <typename T> class BlockArray {
        static_assert(std::is_trivially_copyable_v<T> && (BlockBytes / sizeof(T)) % 2 == 0);
        static constexpr size_t PerBlock = BlockBytes / sizeof(T);

    public:
        BlockArray() = default;
        BlockArray(BlockArray&& other) noexcept
            : m_blocks(std::move(other.m_blocks))
            , m_size(std::exchange(other.m_size, 0))
        {
        }
        BlockArray(const BlockArray&) = delete;
        BlockArray& operator=(const BlockArray&) = delete;
        ~BlockArray() { Release(); }

        size_t size() const { return m_size; }
        T& operator[](size_t i) { return m_blocks[i / PerBlock][i % PerBlock]; }
        const T& operator[](size_t i) const { return m_blocks[i / PerBlock][i % PerBlock]; }
        void clear() { m_size = 0; } // keeps the blocks for the next read
        void Release()
        {
            for (T* block : m_blocks)
                ReleaseBlock(block);
            m_blocks.clear();
            m_size = 0;
        }
        void push_back(const T& value)
        {
            if (m_size == m_blocks.size() * PerBlock)
                m_blocks.push_back(static_cast<T*>(AcquireBlock()));
            (*this)[m_size++] = value;
        }
        void Grow(size_t count)
        {
            for (size_t i = 0; i < count; ++i)
                push_back(T {});
        }
        void Shrink(size_t count) { m_size -= count; }
        void Erase(size_t first, size_t count)
        {
            for (size_t i = first; i + count < m_size; ++i)
                (*this)[i] = (*this)[i + count];
            m_size -= count;
        }

    private:
        std::vector<T*> m_blocks;
        size_t m_size = 0;
    };

    // One field of one row. Text lives in m_text (offset and length), so reading a
    // snapshot allocates nothing per cell.
    struct Cell {
        union {
            qint64 integer = 0;
            double real;
            qint64 offset;
        };
        quint32 length = 0;
        enum class Kind : quint8 { Null, Integer, Real, Text } kind = Kind::Null;
    };
    // A value converted for a field, before it is stored in a cell.
    struct Converted {
        Cell::Kind kind = Cell::Kind::Null;
        qint64 integer = 0;
        double real = 0;
        QString text;
    };

    void Load();
    int CheckedIndex(const QString& name) const;
    void RequireCurrent(const char* operation) const;
    void RequireUpdatable() const;
    const Cell& CellAt(int row, int column) const
    {
        return m_cells[size_t(row) * m_fields.size() + size_t(column)];
    }
    Cell& CellAt(int row, int column) { return m_cells[size_t(row) * m_fields.size() + size_t(column)]; }
    QStringView CellText(const Cell& cell) const
    {
        return QStringView(m_text).sliced(cell.offset, cell.length);
    }
    Cell ReadCell(sqlite3_stmt* statement, int column, QStringDecoder& decoder);
    Cell StoreText(QStringView text);
    QVariant CellValue(const Cell& cell, int column) const;
    Converted Convert(int column, const QVariant& value) const;
    void WriteRow();
    void ReloadRow(int row);
    void Settle(); // writes pending changes before the cursor moves
    void Arrive() const { m_afterDelete = false; }

    Connection& m_connection;
    QString m_source;
    QString m_engineSql;
    QString m_table;
    bool m_open = false;
    std::vector<FieldInfo> m_fields;
    BlockArray<Cell> m_cells;
    QString m_text; // the characters of every text cell, one after the other
    BlockArray<qint64> m_rowids;
    int m_rows = 0;
    int m_position = 0; // 0..m_rows-1 on a row; -1 BOF; m_rows EOF
    // Set by Delete until the cursor is used again; the next MoveNext then stays.
    mutable bool m_afterDelete = false;

    bool m_editing = false;
    bool m_adding = false;
    int m_positionBeforeAdd = 0;
    std::vector<Cell> m_original;
    std::vector<bool> m_dirty;
};

} // namespace kivo
