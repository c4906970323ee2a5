#pragma once

#include "FieldConversion.h"

#include <optional>
#include <QString>
#include <vector>

namespace kivo {

class ProgramContext;
class Recordset;

// The steps the export and find-and-replace share over a register table "kt" + its name: its
// columns, a one-column criterion, and a listing that counts every matching row while the grid
// reads only a first page of them.
class TableListing {
public:
    // Opens `columns` on the table's first row (the statement goes to `sqlText`) and gives its
    // columns, access codes and passwords left out. Nothing on an empty table ("No Records !")
    // or a failure (reported).
    static std::vector<FieldInfo> ReadColumns(
        ProgramContext& context, Recordset& columns, const QString& table, QString& sqlText);

    // The criterion on column `column` with operator `op` of CriterionBuilder::Operators();
    // nothing after "Invalid Criteria !".
    static std::optional<QString> Criterion(ProgramContext& context, const std::vector<FieldInfo>& fields,
        int column, int op, const QString& typed);

    // Counts the table's rows that `criterion` selects into `count` and opens `rows` on the
    // first limit + 1 rows of `statement` (a "Select ..." of the same rows). False on a
    // failure (reported).
    static bool OpenPage(ProgramContext& context, Recordset& rows, const QString& table,
        const QString& criterion, const QString& statement, int limit, int& count);

    // The count label and the grid's tip for a listing of `count` rows: the count, or ">1000"
    // and "Partial Record List" past the limit.
    static void Labels(int count, int limit, QString& countLabel, QString& gridTip);
};

} // namespace kivo
