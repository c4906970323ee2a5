#pragma once

#include <functional>
#include <QByteArray>
#include <QString>

namespace kivo {

// Reads the rows of a worksheet part (the sheetData of an .xlsx sheet) from UTF-8 bytes that
// arrive in slices, with no more memory than the longest element. It knows the few elements
// a sheet's rows are made of (row, c, v, is, t, and rPh, whose phonetic text is left out),
// with or without a namespace prefix, and skips everything else; entities and character
// references are decoded. A general XML reader spends most of an import's time on a large
// sheet, this one a small part of it.
class SheetRowScanner {
public:
    struct Cell {
        int column = -1; // 0-based, from the reference "AB12"; the next column when there is none
        QByteArray type; // the t attribute: "s", "inlineStr", "str", "b", "e", "n" or empty
        int style = 0; // the s attribute
        bool hasValue = false;
        QByteArray value; // the UTF-8 text of <v>, or of an inline string's <t> runs
    };
    // Returns the next slice into the buffer, its length, 0 at the end, or -1 on a read error.
    using Source = std::function<qint64(char* buffer, qint64 size)>;
    // A cell as it ends; returns false to stop reading.
    using CellSink = std::function<void(const Cell& cell)>;
    // A row as it ends; returns false to stop reading.
    using RowEnd = std::function<bool()>;

    explicit SheetRowScanner(Source source);

    // Reads to the end (or until rowEnd returns false). Returns an empty text, or what is
    // wrong with the part ("the sheet ends early").
    QString Read(const CellSink& cell, const RowEnd& rowEnd);

    // The column of a cell reference ("AB12" -> 27); -1 without a column part, and a number
    // past the last column (16,384) for one beyond it.
    static int ColumnOf(const QByteArray& reference);

private:
    bool More(); // appends the next slice; false at the end
    static QByteArray Decode(const QByteArray& raw);

    Source m_source;
    QByteArray m_buffer;
    qsizetype m_position = 0;
    bool m_ended = false;
    bool m_failed = false;
};

} // namespace kivo
