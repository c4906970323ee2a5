#pragma once

#include "Recordset.h"
#include "RecordsetModel.h"

#include <functional>
#include <QString>
#include <QStringList>
#include <vector>

namespace kivo {

class ProgramContext;

// The export's state, without any widget: the table, its columns (without access codes and
// passwords), the one-column criterion, the listed rows and the export of the last listing
// into a new workbook: column names in row 1, values from row 2, numbers as numbers, dates
// as short-date text, every column 10 wide.
class ExportState {
public:
    static constexpr int CriterionWidth = 15;
    static constexpr int FileWidth = 255;
    static constexpr int PreviewLimit = 1000;
    static constexpr double ColumnWidth = 10;

    explicit ExportState(ProgramContext& context);

    // The table box's change or leaving it: reads the columns of "kt" + the chosen table.
    void LoadColumns();
    // "<     All"
    void SelectAll();
    // "<    List": the matching rows of the chosen columns, EId first.
    void List();
    // The save dialog's answer: the unchanged "*.Xls" of a cancelled dialog is no file.
    void ChooseFile(const QString& dialogResult);
    // "Export  >". progress(text) is called with "n.." at most every few tens of
    // milliseconds, so the window can repaint and stay responsive.
    void Export(const std::function<void(const QString&)>& progress = {});
    // Escape in the table box, or "Close".
    void Close();

    QStringList tables; // cmbTable: ExportTables
    int table = 0;
    QStringList fieldNames; // lstField and cmbCrita
    std::vector<bool> selected; // per entry of fieldNames
    int crita = 0;
    int op = 0; // CriterionBuilder::Operators(), "Like" first
    QString txtCrita;
    QString txtFile;

    QString countLabel = QStringLiteral(".");
    QString gridTip;
    QString progressLabel;
    QString SqlText;
    QString CriteriaSql;
    bool frameEnabled = true;
    bool closed = false;

    RecordsetModel& model() { return m_model; }
    // The statement of the last listing, which Export writes; empty before the first.
    QString Listing() const { return m_listing; }

private:
    void ClearListing();

    ProgramContext& m_context;
    Recordset m_columns; // rsScreen: the table's first row, for its columns
    Recordset m_rows; // rsWork: the first rows of the last listing, shown by the model
    RecordsetModel m_model;
    QString m_listing;
    int m_count = 0; // rows of the last listing
    std::vector<FieldInfo> m_fields; // per entry of fieldNames
};

} // namespace kivo
