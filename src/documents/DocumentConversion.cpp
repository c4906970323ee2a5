#include "DocumentConversion.h"

#include "ProgramContext.h"
#include "Recordset.h"
#include "StockPosting.h"
#include "StoredLines.h"

namespace kivo {

namespace {

QString Typed(const QString& text)
{
    QString value = text;
    value.replace(u',', u'.');
    return value;
}

} // namespace

QString DocumentConversion::Receipt(const QDate& today, const QString& tag, qint64 sourceId)
{
    return today.toString(QStringLiteral("yyMM-dd")) + tag
        + QStringLiteral("%1").arg(sourceId, 6, 10, QLatin1Char('0'));
}

QString DocumentConversion::Remarks(
    const QString& tag, qint64 targetId, const QString& remarks, const QString& table, const QString& column)
{
    return FitColumn(tag + QString::number(targetId) + u';' + remarks, table, column);
}

DocumentConversion::Result DocumentConversion::Write(ProgramContext& context, const Shape& shape,
    qint64 sourceId, const QStringList& panel, const QString& remarks)
{
    Connection& connection = context.connection;
    const QDate today = context.Today();
    Result result;
    Transaction unit(connection);

    Recordset source(connection);
    source.Open(QStringLiteral("Select * From %1 Where EId=%2").arg(shape.source).arg(sourceId));
    if (source.Eof())
        throw DbError(DbErrorNumber::NoCurrentRecord, shape.routine,
            QStringLiteral("%1 %2 is not stored").arg(shape.noun).arg(sourceId));

    Recordset target(connection);
    target.Open(QStringLiteral("Select * From %1 Where 1=2").arg(shape.target));
    target.AddNew();
    target.SetValue(1, today);
    for (int i = 2; i <= shape.lastCopied; ++i)
        target.SetValue(i, source.Value(i));
    for (int i = 0; i < panel.size(); ++i)
        target.SetValue(shape.lastCopied + 1 + i, Typed(panel[i]));
    target.SetValue(3, Receipt(today, shape.receiptTag, sourceId));
    target.Update();
    result.targetId = target.Value(0).toLongLong();

    StockPosting posting(connection, today);
    result.missing = posting.Write(shape.targetLines, result.targetId, today,
        StoredLines(connection, shape.sourceLines, sourceId),
        StockPosting::PostMove(shape.screen, shape.targetLines));

    result.sourceRemarks
        = Remarks(shape.remarksTag, result.targetId, remarks, shape.source, shape.remarksColumn);
    connection.Execute(QStringLiteral("Update %1 Set %2=?, %3=? Where EId=?")
                           .arg(shape.source, shape.statusColumn, shape.remarksColumn),
        { shape.status, result.sourceRemarks, sourceId });
    unit.Commit();
    return result;
}

} // namespace kivo
