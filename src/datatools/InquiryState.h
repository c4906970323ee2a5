#pragma once

#include "Recordset.h"
#include "RecordsetModel.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kivo {

class ProgramContext;
class RecordEngine;
class RecordScreen;

// The inquiry's state, without any widget: a look-up of at most 100 rows of the open
// record screen's table by one column, operator and value, and the choice of a row, which
// becomes the screen's current record.
class InquiryState {
public:
    static constexpr int RowLimit = 100;
    static constexpr int ValueWidth = 15;

    InquiryState(ProgramContext& context, RecordEngine& engine, RecordScreen& screen);

    // Lists the open screen's current record. With no current record it shows "No Record !"
    // and closes.
    void Open();
    // cmdInquiry: looks up by the chosen column, operator and value.
    void LookUp();
    // A double click or Enter on grid row (0-based): moves the open screen to that record,
    // shows it and closes. Nothing when the grid has no row.
    void Choose(int row);
    // Escape or "Close".
    void Close();

    // cmbField: the table's columns, without the access codes and passwords.
    QStringList fieldNames;
    int field = 0;
    // cmbOper: CriterionBuilder::Operators(), "Like" first.
    int op = 0;
    QString txtInqry;

    QString tableLabel; // "Table:Product"
    QString countLabel; // "Count:1"
    bool closed = false;
    bool focusValue = false; // after a look-up the value box takes the focus

    RecordsetModel& model() { return m_model; }

private:
    void ShowRows();

    ProgramContext& m_context;
    RecordEngine& m_engine;
    RecordScreen& m_screen;
    Recordset m_rows;
    RecordsetModel m_model;
    std::vector<int> m_fieldTypes; // per entry of fieldNames
};

} // namespace kivo
