#pragma once

// Qt first: the meta-object compiler cannot read the standard <compare> header on its own.
#include <QAbstractTableModel>
#include <QStringList>

#include "BillTotals.h"
#include "LineAmounts.h"
#include "StockPosting.h"

#include <vector>

namespace kivo {

class Connection;

// The line grid of a document screen (billing, bill view, quote, order, purchase): one row
// per line with the twelve columns of the document's detail table, plus the running totals
// DocItems, DocGross and DocTaxable of the lines. Cells hold the texts the grid shows, and
// those texts are what a save stores. An empty grid still has one blank line, whose column
// 0 is empty; a line always has something there ("A" for a new line, the document id for a
// stored one). The model knows no window: the screen asks "Remove Product ?" before it
// calls RemoveLine, and hides the columns that IsHiddenColumn names.
class LineGrid : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        StateColumn, // "A" on a new line, the document id on a stored one
        DateColumn, // "-" on a new line, the document date on a stored one
        DelColumn, // "x": clicking it removes the line
        CodeColumn,
        NameColumn,
        QtyColumn,
        RateColumn,
        ValueColumn, // rate x quantity
        SavingColumn, // the group saving
        GrossColumn, // value less saving
        TaxColumn, // "T" for a taxable product
        SpareColumn, // never shown, never stored
        ColumnCount
    };

    explicit LineGrid(QObject* parent = nullptr);

    // An empty grid (one blank line) with the running totals at 0.
    void Setup();
    // Replaces the grid with the stored lines of document id in detailTable (ktBillDetl,
    // ktQuotDetl, ktPurcDetl, ktOrdrDetl), in the order they were written: numbers as
    // "######0.00", dates in the short date form, the rest as stored. No line gives an empty
    // grid. The running totals are 0 until Recount. A database failure is thrown as DbError
    // and leaves the grid as it was.
    void Load(Connection& connection, const QString& detailTable, qint64 id);
    // Recomputes the running totals from the lines' texts and marks every line's "x".
    void Recount();
    // Appends a new line (filling the blank line of an empty grid) and adds it to the
    // running totals. Returns its row.
    int AddLine(const QString& code, const QString& name, const Money& quantity, const LineAmounts& amounts,
        bool taxable);
    // Takes line `row` out of the running totals and out of the grid; the lines below move
    // up, and removing the only line leaves the grid empty. False (nothing changed) when the
    // grid is empty or there is no such line.
    bool RemoveLine(int row);

    bool IsEmpty() const;
    // The number of lines: 0 for an empty grid, however many rows it shows.
    int LineCount() const;
    QString Text(int row, int column) const;
    // Detail columns 2 to 10 of every line, as StockPosting writes them; none when empty.
    std::vector<StockPosting::Line> Lines() const;

    qint64 DocItems() const;
    Money DocGross() const { return m_totals.Gross(); }
    Money DocTaxable() const { return m_totals.Taxable(); }
    const BillTotals& Totals() const { return m_totals; }

    static bool IsHiddenColumn(int column);
    // The column's width in twips (0 for a hidden column).
    static int ColumnWidth(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        QStringList cells; // ColumnCount texts
        bool marked = false; // the "x" shows bold in red
    };
    static Row BlankRow();
    // The line's quantity, gross and tax flag join (sign 1) or leave (sign -1) the totals.
    void Count(const Row& row, int sign);

    std::vector<Row> m_rows; // never empty
    BillTotals m_totals;
};

} // namespace kivo
