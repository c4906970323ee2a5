#pragma once

#include "StockPosting.h"

#include <QString>
#include <vector>

namespace kivo {

class Connection;

// The stored lines of document id in its detail table, in the order they were written, as
// the lines StockPosting writes: each value as stored, so a converted document carries the
// same quantities, rates and amounts to the last digit.
std::vector<StockPosting::Line> StoredLines(Connection& connection, const QString& detailTable, qint64 id);

// Text cut to the width of a text column (the whole text when the column is unknown).
QString FitColumn(const QString& text, const QString& table, const QString& column);

} // namespace kivo
