#pragma once

#include "ExportState.h"

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

// The export window: table, columns, criterion, the preview grid grdPort, the file and
// "Export  >" with its progress. The work is ExportState's; this window shows it.
class KvExport : public QDialog {
    Q_OBJECT
public:
    explicit KvExport(ProgramContext& context, QWidget* parent = nullptr);

    ExportState& state() { return m_state; }
    QComboBox* tableBox() const { return m_table; }
    QListWidget* fieldList() const { return m_fields; }
    QComboBox* criterionBox() const { return m_crita; }
    QComboBox* operatorBox() const { return m_operator; }
    QLineEdit* criterionValue() const { return m_value; }
    QLineEdit* fileBox() const { return m_file; }
    QPushButton* allButton() const { return m_all; }
    QPushButton* listButton() const { return m_list; }
    QPushButton* exportButton() const { return m_export; }
    QTableView* grid() const { return m_grid; }
    QLabel* countLabel() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void LoadColumns();
    void ChooseFile();
    void List();
    void Export();
    void TakeSelection();
    void ShowListing();

    ProgramContext& m_context;
    ExportState m_state;
    QWidget* m_frame;
    QComboBox* m_table;
    QListWidget* m_fields;
    QPushButton* m_all;
    QComboBox* m_crita;
    QComboBox* m_operator;
    QLineEdit* m_value;
    QPushButton* m_list;
    QTableView* m_grid;
    QLabel* m_count;
    QLineEdit* m_file;
    QPushButton* m_fileButton;
    QPushButton* m_export;
    QLabel* m_progress;
    QPushButton* m_close;
    QString m_loadedTable;
};

} // namespace kivo
