#pragma once

#include "FieldConversion.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <type_traits>
#include <utility>
#include <vector>

struct sqlite3_stmt;
QT_FORWARD_DECLARE_CLASS(QStringDecoder)

namespace kivo {

// The rows a recordset holds: one cell per field, a rowid per row. Cells sit in fixed blocks
// of 64 KiB, so reading a large set never copies what was already read; a released store
// hands its blocks to a shared pool that the next store takes them from, since touching fresh
// memory costs a page fault per page, more than reading the rows. Text lives in one buffer
// (offset and length per cell), so reading allocates nothing per cell. A date is held as its
// day number, read once from the engine's text, so that neither its text nor a parse per read
// is paid for.
class RowStore {
public:
    // What a cell holds: as a stored value, or (Day) a date column's ISO text as its day number.
    enum class Kind : quint8 { Null, Integer, Real, Text, Day };
    struct Cell {
        union {
            qint64 integer = 0; // also the day number of a Day
            double real;
            qint64 offset;
        };
        quint32 length = 0;
        Kind kind = Kind::Null;
    };

    // Empties the store for rows of these fields; keeps its memory for the next rows.
    void Reset(const std::vector<FieldInfo>& fields);
    // Empties the store and gives its memory back.
    void Release();

    int Rows() const { return m_rows; }
    int Columns() const { return m_columns; }
    const Cell& At(int row, int column) const { return m_cells[Index(row, column)]; }
    Cell& At(int row, int column) { return m_cells[Index(row, column)]; }
    qint64 Rowid(int row) const { return m_rowids[size_t(row)]; }
    void SetRowid(int row, qint64 rowid) { m_rowids[size_t(row)] = rowid; }
    QStringView Text(const Cell& cell) const { return QStringView(m_text.data() + cell.offset, cell.length); }
    // The cell as the field's type shows it (see FieldVariant); the common kinds inline.
    QVariant Value(int row, int column, int fieldType) const
    {
        const Cell& cell = At(row, column);
        switch (cell.kind) {
        case Kind::Day:
            return QVariant(QDate::fromJulianDay(cell.integer));
        case Kind::Integer:
            if (fieldType == FieldLong)
                return QVariant(qlonglong(cell.integer));
            return FieldVariant(fieldType, StoredKind::Integer, cell.integer, 0, {});
        case Kind::Null:
            return QVariant();
        case Kind::Real:
            return FieldVariant(fieldType, StoredKind::Real, 0, cell.real, {});
        case Kind::Text:
            break;
        }
        return FieldVariant(fieldType, StoredKind::Text, 0, 0, Text(cell));
    }
    // A Day cell's date as the engine stores it: "2026-03-05".
    static QString DayText(const Cell& cell);

    // Appends a row read from a statement: `Columns()` columns from `first`, and its rowid
    // (returned), which is column 0 or, when `rowidField` is not -1, that field (a master
    // table's EId is its rowid: read once). `onCell` sees each cell as it is read (expression
    // columns take their type from it).
    template <typename OnCell>
    qint64 Append(
        sqlite3_stmt* statement, int first, int rowidField, QStringDecoder& decoder, OnCell&& onCell)
    {
        const qint64 rowid = Append(statement, first, rowidField, decoder);
        const size_t row = size_t(m_rows - 1) * size_t(m_columns);
        for (int c = 0; c < m_columns; ++c)
            onCell(c, m_cells[row + size_t(c)]);
        return rowid;
    }
    qint64 Append(sqlite3_stmt* statement, int first, int rowidField, QStringDecoder& decoder);
    // Overwrites the cells of one row from a statement's columns; `skip(c)` keeps a cell.
    template <typename Skip> void Overwrite(int row, sqlite3_stmt* statement, int first, Skip&& skip)
    {
        QStringDecoder* decoder = Decoder();
        for (int c = 0; c < m_columns; ++c)
            if (!skip(c))
                At(row, c) = Read(statement, first + c, m_dates[size_t(c)], *decoder);
    }
    // An empty row at the end (a row being added).
    void AppendEmpty();
    void RemoveLast();
    void Remove(int row);
    // A cell holding a converted value; its text is stored in the buffer.
    Cell Store(const StoredValue& value);

private:
    static constexpr size_t BlockBytes = 64 * 1024;
    static constexpr size_t KeptTextUnits = 16 * 1024;
    static void* AcquireBlock();
    static void ReleaseBlock(void* block);
    static QStringDecoder* Decoder();

    template <typename T> class BlockArray {
        static_assert(std::is_trivially_copyable_v<T> && (BlockBytes / sizeof(T)) % 2 == 0);
        static constexpr size_t PerBlock = BlockBytes / sizeof(T);

    public:
        BlockArray() = default;
        BlockArray(const BlockArray&) = delete;
        BlockArray& operator=(const BlockArray&) = delete;
        ~BlockArray() { Release(); }

        size_t size() const { return m_size; }
        T& operator[](size_t i) { return m_blocks[i / PerBlock][i % PerBlock]; }
        const T& operator[](size_t i) const { return m_blocks[i / PerBlock][i % PerBlock]; }
        void clear() // keeps the blocks for the next read
        {
            m_size = 0;
            Aim();
        }
        void Release()
        {
            for (T* block : m_blocks)
                ReleaseBlock(block);
            m_blocks.clear();
            m_size = 0;
            Aim();
        }
        Q_ALWAYS_INLINE void push_back(const T& value)
        {
            if (m_next == m_end) [[unlikely]]
                NextBlock();
            *m_next++ = value;
            ++m_size;
        }
        void Shrink(size_t count)
        {
            m_size -= count;
            Aim();
        }
        void Erase(size_t first, size_t count)
        {
            for (size_t i = first; i + count < m_size; ++i)
                (*this)[i] = (*this)[i + count];
            m_size -= count;
            Aim();
        }

    private:
        // Points the append cursor at element m_size, in its block when there is one.
        void Aim()
        {
            const size_t block = m_size / PerBlock;
            if (block < m_blocks.size()) {
                m_next = m_blocks[block] + m_size % PerBlock;
                m_end = m_blocks[block] + PerBlock;
            } else {
                m_next = m_end = nullptr;
            }
        }
        void NextBlock()
        {
            if (m_size / PerBlock == m_blocks.size())
                m_blocks.push_back(static_cast<T*>(AcquireBlock()));
            Aim();
        }

        std::vector<T*> m_blocks;
        size_t m_size = 0;
        T* m_next = nullptr; // where the next element goes, up to m_end
        T* m_end = nullptr;
    };

    size_t Index(int row, int column) const { return size_t(row) * size_t(m_columns) + size_t(column); }
    Cell Read(sqlite3_stmt* statement, int column, bool date, QStringDecoder& decoder);
    Cell ReadInline(sqlite3_stmt* statement, int column, bool date, QStringDecoder& decoder);
    Cell ReadText(const char* bytes, qsizetype size, QStringDecoder& decoder);
    static qint64 ColumnRowid(sqlite3_stmt* statement);

    int m_columns = 0;
    std::vector<char> m_dates; // per column: a date field, whose ISO text is held as a Day
    int m_rows = 0;
    BlockArray<Cell> m_cells;
    BlockArray<qint64> m_rowids;
    // The characters of every text cell, one after the other: the first m_textUsed are in use.
    std::vector<char16_t> m_text;
    qsizetype m_textUsed = 0;
    char16_t* TextSpace(qsizetype size);
};

} // namespace kivo
