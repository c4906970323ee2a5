#pragma once

#include "Money.h"

#include <optional>
#include <QHash>
#include <QString>
#include <vector>

namespace kivo {

class Connection;

// The product groups as a document screen reads them once when it opens ("Select EId, GName,
// GSavePer From kmGroup"): the counter's group list and the group saving of each new line.
class GroupSavings {
public:
    struct Group {
        qint64 EId = 0;
        QString GName;
        Money GSavePer; // no value counts 0
    };

    // Reads the groups in the order the table returns them. A database failure is thrown
    // as DbError and leaves the groups as they were.
    void Load(Connection& connection);

    // The saving percent of group id; nothing when no such group was read.
    std::optional<Money> SavePercent(std::optional<qint64> groupId) const;
    const std::vector<Group>& Groups() const { return m_groups; }

private:
    std::vector<Group> m_groups;
    QHash<qint64, qsizetype> m_byId; // the first group of each id
};

} // namespace kivo
