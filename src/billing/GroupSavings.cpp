#include "GroupSavings.h"

#include "Connection.h"
#include "Recordset.h"

namespace kivo {

void GroupSavings::Load(Connection& connection)
{
    std::vector<Group> groups;
    QHash<qint64, qsizetype> byId;
    Recordset rows(connection);
    rows.Open(QStringLiteral("Select EId, GName, GSavePer From kmGroup"));
    for (; !rows.Eof(); rows.MoveNext()) {
        Group group;
        group.EId = rows.Value(0).toLongLong();
        group.GName = rows.Text(1);
        const QVariant percent = rows.Value(2);
        if (!percent.isNull())
            group.GSavePer = Money::FromDouble(percent.toDouble()).value_or(Money());
        if (!byId.contains(group.EId))
            byId.insert(group.EId, qsizetype(groups.size()));
        groups.push_back(std::move(group));
    }
    m_groups = std::move(groups);
    m_byId = std::move(byId);
}

std::optional<Money> GroupSavings::SavePercent(std::optional<qint64> groupId) const
{
    if (!groupId)
        return std::nullopt;
    const auto found = m_byId.constFind(*groupId);
    if (found == m_byId.constEnd())
        return std::nullopt;
    return m_groups[size_t(*found)].GSavePer;
}

} // namespace kivo
