#pragma once

#include "ImportState.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;
class QWidget;

namespace kivo {

class ProgramContext;

// The import window: table, workbook, "<    List", the filter, the preview grid grdPort, the
// sheet's columns and "Import  >" with its progress. The work is ImportState's; after a
// completed import the window closes and EndsProgram() tells its opener to end the program.
class KvImport : public QDialog {
    Q_OBJECT
public:
    explicit KvImport(ProgramContext& context, QWidget* parent = nullptr);

    ImportState& state() { return m_state; }
    bool EndsProgram() const { return m_state.endProgram; }
    QLineEdit* fileBox() const { return m_file; }
    QListWidget* fieldList() const { return m_fields; }
    QPushButton* listButton() const { return m_list; }
    QPushButton* importButton() const { return m_import; }
    QTableView* grid() const { return m_grid; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void ChooseFile();
    void List();
    void Filter();
    void Import();
    void TakeSelection();
    void ShowRows();

    ProgramContext& m_context;
    ImportState m_state;
    QWidget* m_frame;
    QComboBox* m_table;
    QLineEdit* m_file;
    QPushButton* m_fileButton;
    QPushButton* m_list;
    QComboBox* m_crita;
    QComboBox* m_operator;
    QLineEdit* m_value;
    QPushButton* m_filter;
    QTableView* m_grid;
    QLabel* m_count;
    QListWidget* m_fields;
    QPushButton* m_all;
    QPushButton* m_import;
    QLabel* m_progress;
    QPushButton* m_close;
};

} // namespace kivo
