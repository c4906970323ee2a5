#pragma once

#include "FieldConversion.h"

#include <QString>
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
// (offset and length per cell), so reading allocates nothing per cell.
class RowStore {
public:
    struct Cell {
        union {
            qint64 integer = 0;
            double real;
            qint64 offset;
        };
        quint32 length = 0;
        StoredKind kind = StoredKind::Null;
    };

    // Empties the store for rows of `columns` fields; keeps its memory for the next rows.
    void Reset(int columns);
    // Empties the store and gives its memory back.
    void Release();

    int Rows() const { return m_rows; }
    int Columns() const { return m_columns; }
    const Cell& At(int row, int column) const { return m_cells[Index(row, column)]; }
    Cell& At(int row, int column) { return m_cells[Index(row, column)]; }
    qint64 Rowid(int row) const { return m_rowids[size_t(row)]; }
    void SetRowid(int row, qint64 rowid) { m_rowids[size_t(row)] = rowid; }
    QStringView Text(const Cell& cell) const { return QStringView(m_text.data() + cell.offset, cell.length); }
    QVariant Value(int row, int column, int fieldType) const
    {
        const Cell& cell = At(row, column);
        return FieldVariant(fieldType, cell.kind, cell.integer, cell.real,
            cell.kind == StoredKind::Text ? Text(cell) : QStringView());
    }

    // Appends a row read from a statement: its rowid, then `Columns()` columns from `first`.
    // `onCell` sees each cell as it is read (expression columns take their type from it).
    template <typename OnCell>
    void Append(sqlite3_stmt* statement, int first, qint64 rowid, QStringDecoder& decoder, OnCell&& onCell)
    {
        m_rowids.push_back(rowid);
        for (int c = 0; c < m_columns; ++c) {
            const Cell cell = Read(statement, first + c, decoder);
            onCell(c, cell);
            m_cells.push_back(cell);
        }
        ++m_rows;
    }
    // Overwrites the cells of one row from a statement's columns; `skip(c)` keeps a cell.
    template <typename Skip> void Overwrite(int row, sqlite3_stmt* statement, int first, Skip&& skip)
    {
        QStringDecoder* decoder = Decoder();
        for (int c = 0; c < m_columns; ++c)
            if (!skip(c))
                At(row, c) = Read(statement, first + c, *decoder);
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

    size_t Index(int row, int column) const { return size_t(row) * size_t(m_columns) + size_t(column); }
    Cell Read(sqlite3_stmt* statement, int column, QStringDecoder& decoder);

    int m_columns = 0;
    int m_rows = 0;
    BlockArray<Cell> m_cells;
    BlockArray<qint64> m_rowids;
    // The characters of every text cell, one after the other: the first m_textUsed are in use.
    std::vector<char16_t> m_text;
    qsizetype m_textUsed = 0;
    char16_t* TextSpace(qsizetype size);
};

} // namespace kivo
