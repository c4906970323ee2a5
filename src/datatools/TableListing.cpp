#include "TableListing.h"

#include "CriterionBuilder.h"
#include "Messages.h"
#include "ProgramContext.h"
#include "Recordset.h"

namespace kivo {

std::vector<FieldInfo> TableListing::ReadColumns(
    ProgramContext& context, Recordset& columns, const QString& table, QString& sqlText)
{
    std::vector<FieldInfo> fields;
    sqlText = QStringLiteral("Select Top 1 * From kt") + table;
    TryStep(context.errors, [&] { columns.Open(sqlText); });
    if (!columns.IsOpen())
        return fields;
    if (columns.Eof()) {
        context.messages.Notice(QStringLiteral("No Records !"));
        return fields;
    }
    for (int c = 0; c < columns.FieldCount(); ++c) {
        const FieldInfo& info = columns.Field(c);
        if (!info.name.contains(QStringLiteral("Passcd"), Qt::CaseInsensitive))
            fields.push_back(info);
    }
    return fields;
}

std::optional<QString> TableListing::Criterion(
    ProgramContext& context, const std::vector<FieldInfo>& fields, int column, int op, const QString& typed)
{
    const QStringList& operators = CriterionBuilder::Operators();
    const FieldInfo& field = fields[size_t(qBound(0, column, int(fields.size()) - 1))];
    std::optional<QString> criterion
        = CriterionBuilder::Build(field.name, field.type, operators.value(op, operators.first()), typed);
    if (!criterion)
        context.messages.Notice(QStringLiteral("Invalid Criteria !"));
    return criterion;
}

bool TableListing::OpenPage(ProgramContext& context, Recordset& rows, const QString& table,
    const QString& criterion, const QString& statement, int limit, int& count)
{
    return TryStep(context.errors, [&] {
        count = context.connection
                    .Scalar(QStringLiteral("Select Count(*) From kt") + table + QStringLiteral(" Where ")
                        + criterion)
                    .toInt();
        rows.Open(QStringLiteral("Select Top %1 ").arg(limit + 1) + statement.mid(7));
    });
}

void TableListing::Labels(int count, int limit, QString& countLabel, QString& gridTip)
{
    if (count <= limit) {
        countLabel = QString::number(count);
        gridTip.clear();
    } else {
        countLabel = u'>' + QString::number(limit);
        gridTip = QStringLiteral("Partial Record List");
    }
}

} // namespace kivo
