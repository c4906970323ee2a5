#include "StockPosting.h"

#include "Connection.h"
#include "DbError.h"
#include "ErrorNumbers.h"
#include "Recordset.h"

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

// Detail tables take their name into statement text: only these four may.
void RequireDetailTable(const QString& table)
{
    static const QStringList tables = { QStringLiteral("ktBillDetl"), QStringLiteral("ktQuotDetl"),
        QStringLiteral("ktPurcDetl"), QStringLiteral("ktOrdrDetl") };
    if (!tables.contains(table))
        throw DbError(DbErrorNumber::BadStatement, QStringLiteral("StockPosting"),
            QStringLiteral("%1 is not a table of document lines").arg(table));
}

QString Cell(const QString& text)
{
    QString cell = text;
    cell.replace(u',', u'.');
    return cell;
}

// A number cell: an empty one is stored as no value rather than as a text the column refuses.
QVariant NumberCell(const QString& text)
{
    const QString cell = Cell(text).trimmed();
    return cell.isEmpty() ? QVariant() : QVariant(cell);
}

} // namespace

StockPosting::StockPosting(Connection& connection, const QDate& today)
    : m_connection(connection)
    , m_today(today)
{
}

qint64 StockPosting::Units(double quantity)
{
    if (!std::isfinite(quantity))
        return 0;
    constexpr double limit = 2147483647.0;
    quantity = std::clamp(quantity, -limit, limit);
    const double below = std::floor(quantity);
    const double rest = quantity - below;
    qint64 units = qint64(below);
    if (rest > 0.5 || (rest == 0.5 && units % 2 != 0))
        ++units;
    return units;
}

qint64 StockPosting::Units(const QString& quantity)
{
    bool ok = false;
    const double value = Cell(quantity).trimmed().toDouble(&ok);
    return ok ? Units(value) : 0;
}

StockMove StockPosting::TakeBackMove(const QString& screen)
{
    if (screen == QLatin1String("KvBill"))
        return StockMove::Sale;
    if (screen == QLatin1String("KvPurchase"))
        return StockMove::Purchase;
    return StockMove::None;
}

StockMove StockPosting::PostMove(const QString& screen, const QString& detailTable)
{
    if (detailTable == QLatin1String("ktBillDetl")
        && (screen == QLatin1String("KvBilling") || screen == QLatin1String("KvQuote")))
        return StockMove::Sale;
    if (detailTable == QLatin1String("ktPurcDetl")
        && (screen == QLatin1String("KvPurchase") || screen == QLatin1String("KvOrder")))
        return StockMove::Purchase;
    return StockMove::None;
}

bool StockPosting::Move(const QString& code, StockMove move, qint64 units)
{
    // The first product of that code, as a search from the first product finds it; the
    // PCode index answers this without reading the table.
    const QVariant product
        = m_connection.Scalar(QStringLiteral("Select Min(EId) From ktProduct Where PCode=?"), { code });
    if (product.isNull())
        return false;
    switch (move) {
    case StockMove::Sale:
        m_connection.Execute(QStringLiteral("Update ktProduct Set PSaleQty=IfNull(PSaleQty,0)+?, "
                                            "PCloseQty=IfNull(PCloseQty,0)-?, PTranDate=? Where EId=?"),
            { units, units, m_today, product });
        break;
    case StockMove::Purchase:
        m_connection.Execute(QStringLiteral("Update ktProduct Set PPurchQty=IfNull(PPurchQty,0)+?, "
                                            "PCloseQty=IfNull(PCloseQty,0)+?, PTranDate=? Where EId=?"),
            { units, units, m_today, product });
        break;
    case StockMove::None:
        m_connection.Execute(
            QStringLiteral("Update ktProduct Set PTranDate=? Where EId=?"), { m_today, product });
        break;
    }
    return true;
}

QStringList StockPosting::TakeBack(const QString& detailTable, qint64 id, StockMove move)
{
    RequireDetailTable(detailTable);
    QStringList missing;
    Transaction transaction(m_connection);
    {
        Recordset lines(m_connection);
        lines.Open(QStringLiteral("Select * From %1 Where EId=%2").arg(detailTable).arg(id));
        for (; !lines.Eof(); lines.MoveNext()) {
            const QString code = lines.Text(3);
            if (!Move(code, move, -Units(lines.Value(5).toDouble())))
                missing << code;
        }
    }
    m_connection.Execute(QStringLiteral("Delete From %1 Where EId=?").arg(detailTable), { id });
    transaction.Commit();
    return missing;
}

QStringList StockPosting::Write(
    const QString& detailTable, qint64 id, const QDate& date, const std::vector<Line>& lines, StockMove move)
{
    RequireDetailTable(detailTable);
    QStringList missing;
    Transaction transaction(m_connection);
    const QString insert = QStringLiteral("Insert Into %1 Values (?,?,?,?,?,?,?,?,?,?,?)").arg(detailTable);
    for (const Line& line : lines) {
        m_connection.Execute(insert,
            { id, date, Cell(line.marker), Cell(line.code), Cell(line.name), NumberCell(line.quantity),
                NumberCell(line.rate), NumberCell(line.value), NumberCell(line.saving),
                NumberCell(line.gross), Cell(line.tax) });
        const QString code = Cell(line.code);
        if (move != StockMove::None && !Move(code, move, Units(line.quantity)))
            missing << code;
    }
    transaction.Commit();
    return missing;
}

} // namespace kivo
