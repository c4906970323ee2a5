#pragma once

#include "SheetFilter.h"
#include "SheetModel.h"

#include <functional>
#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace kivo {

class ProgramContext;

// The import's state, without any widget: the target table, the workbook and its sheet
// "Sheet1" (first row the column names), the one-column filter, the chosen columns and the
// import itself. The sheet is read again for each step rather than held, so memory stays
// that of the preview whatever the sheet's length. The import is one transaction with a
// statement per row that the engine applies whole or not at all: a row the table cannot take is reported and
// left out, and a failure that stops the import (or a crash) leaves the table as it was.
class ImportState {
public:
    static constexpr int CriterionWidth = 15;
    static constexpr int FileWidth = 255;
    static constexpr int PreviewLimit = 1000;
    // A column's type is what most of its first rows hold, as the workbook provider decides it.
    static constexpr int TypeGuessRows = 8;

    explicit ImportState(ProgramContext& context);

    // The open dialog's answer: the unchanged "*.Xls" of a cancelled dialog is no file.
    void ChooseFile(const QString& dialogResult);
    // "<    List": reads the sheet, its columns and their types, and shows the first rows.
    void List();
    // "<  Filter": reads the sheet again, keeping the rows that match the filter.
    void Filter();
    // "<     All"
    void SelectAll();
    // "Import  >". progress(text) is called with "n.." at most every few tens of milliseconds.
    void Import(const std::function<void(const QString&)>& progress = {});
    // Escape in the table box, or "Close".
    void Close();

    QStringList tables; // cmbTable: ImportTables
    int table = 0;
    QString txtFile;
    QStringList fieldNames; // lstField and cmbCrita: the sheet's columns without access codes
    std::vector<bool> selected;
    int crita = 0;
    int op = 0; // CriterionBuilder::Operators(), "Like" first
    QString txtCrita;

    QString countLabel = QStringLiteral(".");
    QString gridTip;
    QString progressLabel;
    QString SqlText;
    bool frameEnabled = true;
    bool closed = false;
    // A completed import ends the program, so that the next start checks the changed database.
    bool endProgram = false;

    SheetModel& model() { return m_model; }
    // Rows listed by the last List or Filter.
    int RowCount() const { return m_count; }
    // The sheet column's type as read: FieldDouble, FieldDate or FieldText.
    int ColumnType(int sheetColumn) const;

private:
    using RowSink = std::function<bool(const QVariantList& cells)>;
    // Reads the data rows of the kept workbook that pass the filter, each cell of its
    // column's type. False after reporting a workbook that cannot be read.
    bool ReadRows(const SheetFilter& filter, const RowSink& row);
    void ShowCount();
    void ShowPreview(const std::vector<QVariantList>& rows);
    QVariant Typed(const QVariant& cell, int sheetColumn) const;
    QString CellText(const QVariant& typed, int sheetColumn) const;
    void ReportWorkbookProblem(const class DbError& error);

    ProgramContext& m_context;
    SheetModel m_model;
    QString m_file; // the workbook of the last List
    bool m_listed = false;
    QStringList m_headings; // every sheet column, trimmed
    std::vector<int> m_types; // per sheet column
    std::vector<int> m_sheetColumn; // per entry of fieldNames
    SheetFilter m_filter;
    int m_count = 0;
};

} // namespace kivo
