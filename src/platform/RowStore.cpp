#include "RowStore.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <QStringDecoder>
#include <sqlite3.h>

namespace kivo {

namespace {

// Blocks that released stores gave back, kept for the next ones up to a bound.
struct BlockPool {
    std::mutex mutex;
    std::vector<void*> blocks;
    static constexpr size_t MaxKept = 512; // 32 MiB
};

// Never destroyed, so a store that outlives the other statics can still give back its
// blocks at exit.
BlockPool& Pool()
{
    static BlockPool* const pool = new BlockPool;
    return *pool;
}

} // namespace

void* RowStore::AcquireBlock()
{
    {
        BlockPool& pool = Pool();
        const std::lock_guard lock(pool.mutex);
        if (!pool.blocks.empty()) {
            void* block = pool.blocks.back();
            pool.blocks.pop_back();
            return block;
        }
    }
    void* block = std::malloc(BlockBytes);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void RowStore::ReleaseBlock(void* block)
{
    BlockPool& pool = Pool();
    const std::lock_guard lock(pool.mutex);
    if (pool.blocks.size() < BlockPool::MaxKept)
        pool.blocks.push_back(block);
    else
        std::free(block);
}

QStringDecoder* RowStore::Decoder()
{
    thread_local QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return &decoder;
}

void RowStore::Reset(const std::vector<FieldInfo>& fields)
{
    m_columns = int(fields.size());
    m_dates.resize(fields.size());
    for (size_t c = 0; c < fields.size(); ++c)
        m_dates[c] = fields[c].type == FieldDate;
    m_rows = 0;
    m_cells.clear();
    m_rowids.clear();
    m_textUsed = 0; // keeps its memory for the new rows
}

void RowStore::Release()
{
    m_rows = 0;
    m_cells.Release();
    m_rowids.Release();
    // A small buffer is kept: a recordset opened again and again for one row (a look-up)
    // would otherwise allocate and clear it each time.
    if (m_text.size() > KeptTextUnits) {
        m_text.clear();
        m_text.shrink_to_fit();
    }
    m_textUsed = 0;
}

char16_t* RowStore::TextSpace(qsizetype size)
{
    if (qsizetype(m_text.size()) < m_textUsed + size)
        m_text.resize(size_t(qMax(qsizetype(2 * m_text.size()), m_textUsed + size + 1024)));
    return m_text.data() + m_textUsed;
}

qint64 RowStore::ColumnRowid(sqlite3_stmt* statement)
{
    return sqlite3_column_int64(statement, 0);
}

QString RowStore::DayText(const Cell& cell)
{
    return QDate::fromJulianDay(cell.integer).toString(Qt::ISODate);
}

// One call reaches the column's value; each sqlite3_column_*() call would find it again. The
// value is read on this thread only, while the statement stands on the row. Numbers, nulls and
// stored dates are read here, inline in the row loop; other text in ReadText.
Q_ALWAYS_INLINE RowStore::Cell RowStore::ReadInline(
    sqlite3_stmt* statement, int column, bool date, QStringDecoder& decoder)
{
    sqlite3_value* value = sqlite3_column_value(statement, column);
    Cell cell;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        cell.kind = Kind::Integer;
        cell.integer = sqlite3_value_int64(value);
        return cell;
    case SQLITE_FLOAT:
        cell.kind = Kind::Real;
        cell.real = sqlite3_value_double(value);
        return cell;
    case SQLITE_NULL:
        return cell;
    default: {
        // The text first, then its length in bytes, as the engine asks.
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
        const int size = sqlite3_value_bytes(value);
        // A date as the columns store it; anything else (a time part, text that is no date)
        // stays text and reads as before.
        if (date && size == 10) {
            if (const std::optional<qint64> day = IsoDayNumber(bytes, size)) {
                cell.kind = Kind::Day;
                cell.integer = *day;
                return cell;
            }
        }
        return ReadText(bytes, size, decoder);
    }
    }
}

RowStore::Cell RowStore::Read(sqlite3_stmt* statement, int column, bool date, QStringDecoder& decoder)
{
    return ReadInline(statement, column, date, decoder);
}

qint64 RowStore::Append(sqlite3_stmt* statement, int first, int rowidField, QStringDecoder& decoder)
{
    qint64 rowid = 0;
    for (int c = 0; c < m_columns; ++c) {
        const Cell cell = ReadInline(statement, first + c, m_dates[size_t(c)], decoder);
        m_cells.push_back(cell);
        if (c == rowidField)
            rowid = cell.integer;
    }
    if (rowidField < 0 && first)
        rowid = ColumnRowid(statement);
    m_rowids.push_back(rowid);
    ++m_rows;
    return rowid;
}

RowStore::Cell RowStore::ReadText(const char* bytes, qsizetype size, QStringDecoder& decoder)
{
    // Decode straight into the shared text buffer: UTF-8 never needs more UTF-16 units
    // than it has bytes.
    const qsizetype offset = m_textUsed;
    char16_t* begin = TextSpace(size);
    char16_t* end = begin;
    // Codes, dates and most names are plain ASCII: widened directly, they skip the decoder.
    qsizetype i = 0;
    // Eight bytes at a time while none has its high bit set.
    for (quint64 word; i + 8 <= size; i += 8) {
        std::memcpy(&word, bytes + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
        for (int k = 0; k < 8; ++k)
            end[k] = char16_t(uchar(bytes[i + k]));
        end += 8;
    }
    while (i < size && uchar(bytes[i]) < 0x80)
        *end++ = char16_t(uchar(bytes[i++]));
    if (i < size)
        end = reinterpret_cast<char16_t*>(
            decoder.appendToBuffer(reinterpret_cast<QChar*>(end), QByteArrayView(bytes + i, size - i)));
    m_textUsed += end - begin;
    Cell cell;
    cell.kind = Kind::Text;
    cell.offset = offset;
    cell.length = quint32(end - begin);
    return cell;
}

RowStore::Cell RowStore::Store(const StoredValue& value)
{
    Cell cell;
    switch (value.kind) {
    case StoredKind::Null:
        break;
    case StoredKind::Integer:
        cell.kind = Kind::Integer;
        cell.integer = value.integer;
        break;
    case StoredKind::Real:
        cell.kind = Kind::Real;
        cell.real = value.real;
        break;
    case StoredKind::Text:
        cell.kind = Kind::Text;
        cell.offset = m_textUsed;
        cell.length = quint32(value.text.size());
        std::copy_n(reinterpret_cast<const char16_t*>(value.text.utf16()), value.text.size(),
            TextSpace(value.text.size()));
        m_textUsed += value.text.size();
        break;
    }
    return cell;
}

void RowStore::AppendEmpty()
{
    for (int c = 0; c < m_columns; ++c)
        m_cells.push_back(Cell {});
    m_rowids.push_back(0);
    ++m_rows;
}

void RowStore::RemoveLast()
{
    m_cells.Shrink(size_t(m_columns));
    m_rowids.Shrink(1);
    --m_rows;
}

void RowStore::Remove(int row)
{
    m_cells.Erase(Index(row, 0), size_t(m_columns));
    m_rowids.Erase(size_t(row), 1);
    --m_rows;
}

} // namespace kivo
