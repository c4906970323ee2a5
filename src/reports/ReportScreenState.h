#pragma once

#include "ReportCatalogue.h"
#include "ReportCriteria.h"

#include <memory>
#include <QDate>
#include <QString>
#include <QStringList>

namespace kivo {

class PageModel;
class ProgramContext;
class ReportLayout;
class ReportMailer;
class ReportRows;

// The values of the register or document screen that is open while a report is chosen: its
// field texts and the list labels beside them, by field number.
struct OpenScreenValues {
    QStringList fields; // txtField(i)
    QStringList listLabels; // lblList(i)
};

// The report screen without its window: the criterion row, View (statement, rows, template,
// parameters, layout), and the export and mail of the report shown. The window shows these
// members, forwards clicks and picks here, and paints Pages(). Messages go through the
// context's Messages, failures through its error reporter; nothing here opens a dialog.
class ReportScreenState {
public:
    // code: ScreenReport. menuCaption: the Report-menu caption when the menu opened the screen,
    // else "". currentForm: the open screen's values, or nullptr. reportMode: "R" to view, "P"
    // when the checkout opens the screen to print the bill just saved.
    ReportScreenState(ProgramContext& context, int code, const QString& menuCaption = {},
        const OpenScreenValues* currentForm = nullptr, const QString& reportMode = QStringLiteral("R"));
    ~ReportScreenState();
    ReportScreenState(const ReportScreenState&) = delete;
    ReportScreenState& operator=(const ReportScreenState&) = delete;

    // Print mode views the report at once; call when the window is shown.
    void Start();
    // The catalogue row of the report; nullptr for a code that names none.
    const ReportEntry* Entry() const { return m_entry; }
    const CriterionSetup& Setup() const { return m_setup; }

    // A pick from the list picker: the name beside the key.
    void Pick(const QString& key, const QString& name);
    // A day chosen in the start or end calendar: the calendar keeps it, its box shows it.
    void PickStartDate(const QDate& date);
    void PickEndDate(const QDate& date);

    // Builds and shows the report; false when a criterion message stopped it. The report's
    // first rows are laid out; LayOutSome continues, LayOutAll finishes.
    bool View();
    bool LayOutSome(int maxRows);
    void LayOutAll();
    // The report shown, or nullptr when the viewer is empty (no View yet, or the template is
    // missing, broken or lacks a parameter).
    const PageModel* Pages() const;

    // Writes the whole report to a PDF file, then "Report Exported !" (also after a failure,
    // which is reported first). True when the file was written.
    bool ExportPdf(const QString& path);
    // Mails the report as a PDF to the enterprise's own address; true when it went out.
    bool MailReport(const ReportMailer& mailer);
    // Closing the screen ends print mode.
    void Close() { ReportMode = QStringLiteral("R"); }

    // "Bin/" + "Ki" + the title's first 3 characters + the code + ".Kvr".
    QString TemplateName() const;
    // "Doc/" + "Ki" + the title's first 3 characters + ".Pdf".
    QString AttachmentName() const;
    // The check an enterprise e-mail address must pass before a report is mailed.
    static bool ValidEmail(const QString& address);

    QString title;
    QString txtRepo1, txtRepo2, lblList;
    QDate monSel1, monSel2;
    int txtRepo1Length = 10;
    bool txtRepo1Enabled = true;
    bool txtRepo1ReadOnly = false;
    bool cmdList1Visible = false, lblListVisible = false, txtRepo2Visible = false, cmdList2Visible = false;
    bool cmdViewVisible = true;
    bool cmdPrintVisible = false, cmdExportVisible = false, cmdEmailVisible = false, cmdPprintVisible = false;
    bool focusRepo1 = false; // View asks for the focus in txtRepo1

    QString ReportMode;
    QString SqlText;
    QString CriteriaSql;
    QString FilterText = QStringLiteral("-");
    QString ListSource;
    int CallerCode = 0;
    int ScreenReport = 0;
    // The last failure of View, export or mail as reported, for callers without a window.
    QString lastError;

private:
    void Report(int number, const QString& description);
    bool MakeRows();
    bool MakeLayout();

    ProgramContext& m_context;
    const ReportEntry* m_entry = nullptr;
    CriterionSetup m_setup;
    std::unique_ptr<ReportRows> m_rows;
    std::unique_ptr<ReportLayout> m_layout;
};

} // namespace kivo
