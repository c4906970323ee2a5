#include "LineGrid.h"

#include "Connection.h"
#include "DateText.h"
#include "DbError.h"
#include "ErrorNumbers.h"
#include "NumberText.h"
#include "Recordset.h"

#include <QColor>
#include <QFont>

#include <algorithm>

namespace kivo {

namespace {

struct ColumnLayout {
    const char* header;
    int width; // twips
};

constexpr ColumnLayout Layout[LineGrid::ColumnCount] = { { "", 0 }, { "", 0 }, { "Del", 500 },
    { "PCode", 1700 }, { "PName", 2500 }, { "Qty", 800 }, { "Rate", 1100 }, { "Value", 1200 },
    { "Saving", 1000 }, { "Gross", 1300 }, { "Tax", 500 }, { "", 0 } };

bool IsAmountColumn(int column)
{
    return column >= LineGrid::QtyColumn && column <= LineGrid::GrossColumn;
}

// A cell as a number; a cell that holds none counts 0.
Money CellAmount(const QString& text)
{
    return Money::FromText(text).value_or(Money());
}

} // namespace

LineGrid::LineGrid(QObject* parent)
    : QAbstractTableModel(parent)
    , m_rows { BlankRow() }
{
}

LineGrid::Row LineGrid::BlankRow()
{
    Row row;
    for (int c = 0; c < ColumnCount; ++c)
        row.cells << QString();
    return row;
}

void LineGrid::Setup()
{
    beginResetModel();
    m_rows = { BlankRow() };
    m_totals.Clear();
    endResetModel();
}

void LineGrid::Load(Connection& connection, const QString& detailTable, qint64 id)
{
    // The table's name goes into the statement text: only a detail table may.
    static const QStringList tables = { QStringLiteral("ktBillDetl"), QStringLiteral("ktQuotDetl"),
        QStringLiteral("ktPurcDetl"), QStringLiteral("ktOrdrDetl") };
    if (!tables.contains(detailTable))
        throw DbError(DbErrorNumber::BadStatement, QStringLiteral("LineGrid"),
            QStringLiteral("%1 is not a table of document lines").arg(detailTable));

    std::vector<Row> rows;
    Recordset lines(connection);
    // By the EId index; the literal id becomes a parameter of one cached statement.
    lines.Open(QStringLiteral("Select * From %1 Where EId=%2").arg(detailTable).arg(id));
    const int columns = std::min(lines.FieldCount(), int(SpareColumn));
    for (; !lines.Eof(); lines.MoveNext()) {
        Row row = BlankRow();
        for (int c = 0; c < columns; ++c) {
            const QVariant value = lines.Value(c);
            const int type = lines.Field(c).type;
            if (value.isNull())
                continue;
            if (type == FieldDouble && value.canConvert<double>())
                row.cells[c] = FormatNumber(value.toDouble());
            else if (type == FieldDate && value.typeId() == QMetaType::QDate)
                row.cells[c] = ShortDate(value.toDate());
            else
                row.cells[c] = lines.Text(c);
        }
        rows.push_back(std::move(row));
    }
    if (rows.empty())
        rows.push_back(BlankRow());

    beginResetModel();
    m_rows = std::move(rows);
    m_totals.Clear();
    endResetModel();
}

void LineGrid::Count(const Row& row, int sign)
{
    const Money quantity = CellAmount(row.cells.at(QtyColumn));
    const Money gross = CellAmount(row.cells.at(GrossColumn));
    const bool taxable = row.cells.at(TaxColumn) == QLatin1String("T");
    if (sign > 0)
        m_totals.AddLine(quantity, gross, taxable);
    else
        m_totals.RemoveLine(quantity, gross, taxable);
}

void LineGrid::Recount()
{
    m_totals.Clear();
    if (IsEmpty())
        return;
    for (Row& row : m_rows) {
        Count(row, 1);
        row.marked = true;
    }
    emit dataChanged(
        index(0, DelColumn), index(rowCount() - 1, DelColumn), { Qt::FontRole, Qt::ForegroundRole });
}

int LineGrid::AddLine(
    const QString& code, const QString& name, const Money& quantity, const LineAmounts& amounts, bool taxable)
{
    Row row = BlankRow();
    row.cells[StateColumn] = QStringLiteral("A");
    row.cells[DateColumn] = QStringLiteral("-");
    row.cells[DelColumn] = QStringLiteral("x");
    row.cells[CodeColumn] = code;
    row.cells[NameColumn] = name;
    row.cells[QtyColumn] = quantity.Format(QStringLiteral("###0.00"));
    row.cells[RateColumn] = amounts.rate.Format(QStringLiteral("#####0.00"));
    row.cells[ValueColumn] = amounts.value.Format(QStringLiteral("#####0.00"));
    row.cells[SavingColumn] = amounts.saving.Format(QStringLiteral("#####0.00"));
    row.cells[GrossColumn] = amounts.gross.Format(QStringLiteral("#####0.00"));
    row.cells[TaxColumn] = taxable ? QStringLiteral("T") : QString();
    row.marked = true;
    // The totals take the amounts themselves, not their shown texts.
    m_totals.AddLine(quantity, amounts.gross, taxable);

    if (IsEmpty()) {
        m_rows.front() = std::move(row);
        emit dataChanged(index(0, 0), index(0, ColumnCount - 1));
        return 0;
    }
    const int last = rowCount();
    beginInsertRows({}, last, last);
    m_rows.push_back(std::move(row));
    endInsertRows();
    return last;
}

bool LineGrid::RemoveLine(int row)
{
    if (IsEmpty() || row < 0 || row >= rowCount())
        return false;
    Count(m_rows[size_t(row)], -1);
    if (rowCount() == 1) {
        m_rows.front() = BlankRow();
        emit dataChanged(index(0, 0), index(0, ColumnCount - 1));
        return true;
    }
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

bool LineGrid::IsEmpty() const
{
    return m_rows.front().cells.at(StateColumn).isEmpty();
}

int LineGrid::LineCount() const
{
    return IsEmpty() ? 0 : rowCount();
}

QString LineGrid::Text(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return {};
    return m_rows[size_t(row)].cells.at(column);
}

std::vector<StockPosting::Line> LineGrid::Lines() const
{
    std::vector<StockPosting::Line> lines;
    if (IsEmpty())
        return lines;
    lines.reserve(m_rows.size());
    for (const Row& row : m_rows) {
        const QStringList& c = row.cells;
        lines.push_back({ c.at(DelColumn), c.at(CodeColumn), c.at(NameColumn), c.at(QtyColumn),
            c.at(RateColumn), c.at(ValueColumn), c.at(SavingColumn), c.at(GrossColumn), c.at(TaxColumn) });
    }
    return lines;
}

qint64 LineGrid::DocItems() const
{
    return qint64(m_totals.Items().ToDouble());
}

bool LineGrid::IsHiddenColumn(int column)
{
    return column == StateColumn || column == DateColumn || column == SpareColumn;
}

int LineGrid::ColumnWidth(int column)
{
    return column >= 0 && column < ColumnCount ? Layout[column].width : 0;
}

int LineGrid::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LineGrid::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(ColumnCount);
}

QVariant LineGrid::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row& row = m_rows[size_t(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return row.cells.at(column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            Qt::Alignment((IsAmountColumn(column) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    case Qt::FontRole:
        if (column == DelColumn && row.marked) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::ForegroundRole:
        if (column == DelColumn && row.marked)
            return QColor(Qt::red);
        return {};
    default:
        return {};
    }
}

QVariant LineGrid::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(Layout[section].header);
    if (role == Qt::TextAlignmentRole && IsAmountColumn(section))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags LineGrid::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace kivo
