#include "StoredLines.h"

#include "Connection.h"
#include "Recordset.h"
#include "Schema.h"

namespace kivo {

std::vector<StockPosting::Line> StoredLines(Connection& connection, const QString& detailTable, qint64 id)
{
    static const QStringList tables = { QStringLiteral("ktBillDetl"), QStringLiteral("ktQuotDetl"),
        QStringLiteral("ktPurcDetl"), QStringLiteral("ktOrdrDetl") };
    if (!tables.contains(detailTable))
        throw DbError(DbErrorNumber::BadStatement, QStringLiteral("StoredLines"),
            QStringLiteral("%1 is not a table of document lines").arg(detailTable));
    std::vector<StockPosting::Line> lines;
    Recordset rows(connection);
    // Detail rows share their master's EId: the EId index finds them, rowid keeps their order.
    rows.Open(QStringLiteral("Select * From %1 Where EId=%2 Order By rowid").arg(detailTable).arg(id));
    for (; !rows.Eof(); rows.MoveNext())
        lines.push_back({ rows.Text(2), rows.Text(3), rows.Text(4), rows.Text(5), rows.Text(6), rows.Text(7),
            rows.Text(8), rows.Text(9), rows.Text(10) });
    return lines;
}

QString FitColumn(const QString& text, const QString& table, const QString& column)
{
    const TableDef* definition = Schema::Find(table);
    const int index = definition ? definition->ColumnIndex(column) : -1;
    if (index < 0)
        return text;
    const int width = definition->columns[size_t(index)].width;
    return width > 0 ? text.left(width) : text;
}

} // namespace kivo
