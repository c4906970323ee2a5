#pragma once

#include <QString>
#include <QVariant>

namespace kivo {

// A stored value as the program shows it: "" for null, a date in the short date form, a
// double as NumberText writes it (no trailing zeros), anything else as its plain text. The
// record display, grids and Recordset::Text all use this one routine, so a value reads the
// same wherever it is shown.
QString ValueText(const QVariant& value);

} // namespace kivo
