#pragma once

#include "Recordset.h"
#include "RecordsetModel.h"

#include <functional>
#include <QString>
#include <QStringList>
#include <vector>

namespace kivo {

class ProgramContext;

// Find and replace without any widget: finds the rows of a register table by one column's
// criterion and, after a confirmation and the enterprise's access code, writes one value into
// one column of every found row in one transaction. A replace uses up its find: the next
// needs a new one.
class FindReplaceState {
public:
    static constexpr int CriterionWidth = 15;
    static constexpr int PreviewLimit = 1000;

    // askAccessCode shows the access-code prompt and tells whether the right code was given.
    FindReplaceState(ProgramContext& context, std::function<bool()> askAccessCode);

    // Opening: the first table's columns, then "Access-Code Required !".
    void Open();
    // The table box's change or leaving it.
    void LoadColumns();
    // Leaving the replace column box: the value's typing limit follows the column's size.
    void LeaveField();
    // "<    Find"
    void Find();
    // "< Replace"
    void Replace();
    // Escape in the table box, or "Close".
    void Close();

    QStringList tables; // cmbTable: ImportTables
    int table = 0;
    QStringList fieldNames; // cmbCrita and cmbField; the first is EId
    int crita = 0;
    int op = 0; // CriterionBuilder::Operators(), "Like" first
    QString txtCrita;
    int field = 0; // cmbField
    QString txtField; // the replacement
    int valueWidth = 32767; // txtField's typing limit

    QString countLabel = QStringLiteral(".");
    QString gridTip;
    QString SqlText;
    bool frameEnabled = true;
    bool closed = false;

    RecordsetModel& model() { return m_model; }
    bool HasFoundRows() const { return m_rows.IsOpen(); }

private:
    void ReadRows();
    void ShowRows();

    ProgramContext& m_context;
    std::function<bool()> m_askAccessCode;
    Recordset m_columns; // rsScreen
    Recordset m_rows; // rsWork: the last find
    RecordsetModel m_model;
    std::vector<FieldInfo> m_fields; // per entry of fieldNames
    QString m_criterion; // of the last find
    int m_count = 0; // rows the last find found
};

} // namespace kivo
