#include "KvExport.h"

#include "Accessibility.h"
#include "Appearance.h"
#include "CriterionBuilder.h"
#include "DataToolWidgets.h"
#include "ProgramContext.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

namespace kivo {

KvExport::KvExport(ProgramContext& context, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_state(context)
{
    setObjectName(QStringLiteral("KvExport"));
    setWindowTitle(QStringLiteral("Export"));
    setModal(true);

    m_frame = new QWidget(this);
    m_table = MakeCombo(m_frame, QStringLiteral("cmbTable"), QStringLiteral("Table"));
    m_table->addItems(m_state.tables);
    m_table->installEventFilter(this);
    m_fields = MakeFieldList(m_frame);
    m_all = MakeButton(m_frame, QStringLiteral("<     All"), QStringLiteral("cmdAll"));
    m_crita = MakeCombo(m_frame, QStringLiteral("cmbCrita"), QStringLiteral("Criteria"));
    m_operator = MakeCombo(m_frame, QStringLiteral("cmbOper"), QStringLiteral("Operator"));
    m_operator->addItems(CriterionBuilder::Operators());
    m_value = MakeValueBox(m_frame, QStringLiteral("txtCrita"), ExportState::CriterionWidth);
    m_list = MakeButton(m_frame, QStringLiteral("<    List"), QStringLiteral("cmdList"));
    m_grid = MakeGrid(m_frame, QStringLiteral("grdPort"), &m_state.model());
    m_count = MakeCountLabel(m_frame, QStringLiteral("lblCount"));
    m_file = MakeFileBox(m_frame, ExportState::FileWidth, QStringLiteral("Export To Excel"));
    m_fileButton = MakeButton(m_frame, QStringLiteral(">"), QStringLiteral("cmdFile"));
    m_fileButton->setToolTip(QStringLiteral("Selection"));
    m_export = MakeButton(m_frame, QStringLiteral("Export  >"), QStringLiteral("cmdExport"));
    m_progress = MakeCountLabel(m_frame, QStringLiteral("lblProgress"));
    m_close = MakeButton(this, QStringLiteral("Close"), QStringLiteral("cmdClose"));

    auto* heading = MakeHeading(m_frame, QStringLiteral("Export..."));
    auto* grid = new QGridLayout(m_frame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(heading, 0, 0, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("Table:"), m_frame), 1, 0);
    grid->addWidget(m_table, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Fields:"), m_frame), 2, 0, Qt::AlignTop);
    grid->addWidget(m_fields, 2, 1, 1, 4);
    grid->addWidget(m_all, 2, 5, Qt::AlignTop);
    grid->addWidget(new QLabel(QStringLiteral("Criteria:"), m_frame), 3, 0);
    grid->addWidget(m_crita, 3, 1);
    grid->addWidget(m_operator, 3, 2);
    grid->addWidget(m_value, 3, 3, 1, 2);
    grid->addWidget(m_list, 3, 5);
    grid->addWidget(m_grid, 4, 0, 1, 6);
    grid->addWidget(m_count, 5, 5, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("File:"), m_frame), 6, 0);
    grid->addWidget(m_file, 6, 1, 1, 4);
    grid->addWidget(m_fileButton, 6, 5);
    grid->addWidget(m_export, 7, 5);
    grid->addWidget(m_progress, 7, 3, 1, 2, Qt::AlignRight);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(3, 1);
    LayOutToolWindow(this, m_frame, m_close);
    resize(760, 620);
    Describe(this, QStringLiteral("Export"), QStringLiteral("KvExport"));

    connect(m_table, &QComboBox::currentIndexChanged, this, [this] { LoadColumns(); });
    connect(m_all, &QPushButton::clicked, this, [this] {
        m_fields->selectAll();
        TakeSelection();
    });
    connect(m_fields, &QListWidget::itemSelectionChanged, this, &KvExport::TakeSelection);
    connect(m_crita, &QComboBox::currentIndexChanged, this, [this](int i) { m_state.crita = i; });
    connect(m_operator, &QComboBox::currentIndexChanged, this, [this](int i) { m_state.op = i; });
    connect(m_value, &QLineEdit::textChanged, this, [this](const QString& text) { m_state.txtCrita = text; });
    connect(m_file, &QLineEdit::textChanged, this, [this](const QString& text) { m_state.txtFile = text; });
    connect(m_list, &QPushButton::clicked, this, &KvExport::List);
    connect(m_fileButton, &QPushButton::clicked, this, &KvExport::ChooseFile);
    connect(m_export, &QPushButton::clicked, this, &KvExport::Export);
    connect(m_close, &QPushButton::clicked, this, &KvExport::reject);

    ApplyAppearance(context, this);
    LoadColumns();
    m_table->setFocus();
}

void KvExport::LoadColumns()
{
    m_state.table = m_table->currentIndex();
    m_loadedTable = m_table->currentText();
    m_state.LoadColumns();
    FillFieldChoices(m_fields, m_crita, m_state.fieldNames);
    if (m_fields->count() > 0)
        m_fields->item(0)->setSelected(true);
    m_operator->setCurrentIndex(0);
    ShowListing();
}

void KvExport::TakeSelection()
{
    TakeFieldSelection(m_fields, m_state.selected);
}

void KvExport::ShowListing()
{
    ShowGridColumns(m_grid, m_state.model());
    m_count->setText(m_state.countLabel);
    m_grid->setToolTip(m_state.gridTip);
}

void KvExport::List()
{
    TakeSelection();
    m_state.List();
    ShowListing();
}

void KvExport::ChooseFile()
{
    QFileDialog dialog(this, QStringLiteral("Export Filename"));
    dialog.setObjectName(QStringLiteral("comDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({ QStringLiteral("Excel (*.Xlsx)"), QStringLiteral("Excel (*.Xls)") });
    dialog.setDefaultSuffix(QStringLiteral("Xlsx"));
    if (m_state.txtFile.trimmed().isEmpty())
        dialog.setDirectory(m_context.locations.DocFolder);
    dialog.selectFile(QStringLiteral("*.Xls"));
    QString chosen = QStringLiteral("*.Xls");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        chosen = dialog.selectedFiles().constFirst();
    m_state.ChooseFile(chosen);
    m_file->setText(m_state.txtFile);
}

void KvExport::Export()
{
    m_state.Export(
        [this](const QString& text) { ShowProgress(m_frame, m_state.frameEnabled, m_progress, text); });
    m_frame->setEnabled(m_state.frameEnabled);
    if (m_state.closed)
        accept();
}

bool KvExport::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
        // Leaving the table box loads its columns again, as changing it does.
        if (event->type() == QEvent::FocusOut && m_table->currentText() != m_loadedTable)
            LoadColumns();
    }
    return QDialog::eventFilter(watched, event);
}

void KvExport::reject()
{
    m_state.Close();
    QDialog::reject();
}

} // namespace kivo
