#pragma once

#include "ReportScreenState.h"
#include "ScreenHost.h"

#include <functional>
#include <optional>
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace kivo {

class DropCalendar;
class ProgramContext;
class ReportViewer;

// The report screen: the criterion row of the report's group over the report viewer, with
// View, print, export, mail and Close. Opened modally with a report code; in print mode ("P",
// the checkout's bill print) it views the report at once and offers only PRINT and Close. The
// criterion, View and the output are ReportScreenState's; this window shows that state and
// forwards the user's clicks and picks.
class KvReport : public QDialog {
    Q_OBJECT
public:
    // Opens the list picker over a source ("GName, EId From kmGroup"); nothing when closed.
    using Picker = std::function<std::optional<ListPick>(const QString& source)>;

    KvReport(ProgramContext& context, int code, const QString& menuCaption,
        const OpenScreenValues* currentForm, const QString& reportMode, Picker picker,
        QWidget* parent = nullptr);
    ~KvReport() override;

    ReportScreenState& state() { return m_state; }
    ReportViewer* viewer() const { return m_viewer; }

    void View();
    // The print dialog, then every page to the chosen printer.
    void PrintReport();
    // The save dialog "Export Filename" in Doc/, then the PDF.
    void ExportReport();
    void MailReport();

    // The dialogs the output commands open, replaceable for tests: the export file ("" when
    // cancelled) and the print dialog (false when cancelled).
    std::function<QString()> chooseExportFile;
    std::function<bool(QPrinter&)> choosePrinter;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowState();
    void ReadBoxes();
    void List1();
    void List2();

    ProgramContext& m_context;
    ReportScreenState m_state;
    Picker m_picker;
    bool m_started = false;

    QComboBox* m_cmbField;
    QComboBox* m_cmbOper;
    QLineEdit* m_txtRepo1;
    QPushButton* m_cmdList1;
    QLabel* m_lblList;
    QLineEdit* m_txtRepo2;
    QPushButton* m_cmdList2;
    QPushButton* m_cmdView;
    QPushButton* m_cmdPrint;
    QPushButton* m_cmdExport;
    QPushButton* m_cmdEmail;
    QPushButton* m_cmdPprint;
    QPushButton* m_cmdClose;
    DropCalendar* m_monSel1;
    DropCalendar* m_monSel2;
    ReportViewer* m_viewer;
};

} // namespace kivo
