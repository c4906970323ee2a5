#include "KvImport.h"

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

KvImport::KvImport(ProgramContext& context, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_state(context)
{
    setObjectName(QStringLiteral("KvImport"));
    setWindowTitle(QStringLiteral("Import"));
    setModal(true);

    m_frame = new QWidget(this);
    m_table = MakeCombo(m_frame, QStringLiteral("cmbTable"), QStringLiteral("Table"));
    m_table->addItems(m_state.tables);
    m_table->installEventFilter(this);
    m_file = MakeFileBox(m_frame, ImportState::FileWidth, QStringLiteral("Import From Excel"));
    m_fileButton = MakeButton(m_frame, QStringLiteral(">"), QStringLiteral("cmdFile"));
    m_fileButton->setToolTip(QStringLiteral("Selection"));
    m_list = MakeButton(m_frame, QStringLiteral("<    List"), QStringLiteral("cmdList"));
    m_crita = MakeCombo(m_frame, QStringLiteral("cmbCrita"), QStringLiteral("Criteria"));
    m_operator = MakeCombo(m_frame, QStringLiteral("cmbOper"), QStringLiteral("Operator"));
    m_operator->addItems(CriterionBuilder::Operators());
    m_value = MakeValueBox(m_frame, QStringLiteral("txtCrita"), ImportState::CriterionWidth);
    m_filter = MakeButton(m_frame, QStringLiteral("<  Filter"), QStringLiteral("cmdFilter"));
    m_grid = MakeGrid(m_frame, QStringLiteral("grdPort"), &m_state.model());
    m_count = MakeCountLabel(m_frame, QStringLiteral("lblCount"));
    m_fields = MakeFieldList(m_frame);
    m_all = MakeButton(m_frame, QStringLiteral("<     All"), QStringLiteral("cmdAll"));
    m_import = MakeButton(m_frame, QStringLiteral("Import  >"), QStringLiteral("cmdImport"));
    m_progress = MakeCountLabel(m_frame, QStringLiteral("lblProgress"));
    m_close = MakeButton(this, QStringLiteral("Close"), QStringLiteral("cmdClose"));

    auto* grid = new QGridLayout(m_frame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(MakeHeading(m_frame, QStringLiteral("Import...")), 0, 0, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("Table:"), m_frame), 1, 0);
    grid->addWidget(m_table, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("File:"), m_frame), 2, 0);
    grid->addWidget(m_file, 2, 1, 1, 3);
    grid->addWidget(m_fileButton, 2, 4);
    grid->addWidget(m_list, 2, 5);
    grid->addWidget(new QLabel(QStringLiteral("Criteria:"), m_frame), 3, 0);
    grid->addWidget(m_crita, 3, 1);
    grid->addWidget(m_operator, 3, 2);
    grid->addWidget(m_value, 3, 3, 1, 2);
    grid->addWidget(m_filter, 3, 5);
    grid->addWidget(m_grid, 4, 0, 1, 6);
    grid->addWidget(m_count, 5, 5, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("Fields:"), m_frame), 6, 0, Qt::AlignTop);
    grid->addWidget(m_fields, 6, 1, 1, 4);
    grid->addWidget(m_all, 6, 5, Qt::AlignTop);
    grid->addWidget(m_progress, 7, 3, 1, 2, Qt::AlignRight);
    grid->addWidget(m_import, 7, 5);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(3, 1);
    LayOutToolWindow(this, m_frame, m_close);
    resize(760, 640);
    Describe(this, QStringLiteral("Import"), QStringLiteral("KvImport"));

    connect(m_table, &QComboBox::currentIndexChanged, this, [this](int i) { m_state.table = i; });
    connect(m_file, &QLineEdit::textChanged, this, [this](const QString& text) { m_state.txtFile = text; });
    connect(m_fileButton, &QPushButton::clicked, this, &KvImport::ChooseFile);
    connect(m_list, &QPushButton::clicked, this, &KvImport::List);
    connect(m_crita, &QComboBox::currentIndexChanged, this, [this](int i) { m_state.crita = i; });
    connect(m_operator, &QComboBox::currentIndexChanged, this, [this](int i) { m_state.op = i; });
    connect(m_value, &QLineEdit::textChanged, this, [this](const QString& text) { m_state.txtCrita = text; });
    connect(m_filter, &QPushButton::clicked, this, &KvImport::Filter);
    connect(m_fields, &QListWidget::itemSelectionChanged, this, &KvImport::TakeSelection);
    connect(m_all, &QPushButton::clicked, this, [this] {
        m_fields->selectAll();
        TakeSelection();
    });
    connect(m_import, &QPushButton::clicked, this, &KvImport::Import);
    connect(m_close, &QPushButton::clicked, this, &KvImport::reject);

    ApplyAppearance(context, this);
    m_table->setFocus();
}

void KvImport::ChooseFile()
{
    QFileDialog dialog(this, QStringLiteral("Import Filename"));
    dialog.setObjectName(QStringLiteral("comDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("Excel (*.Xls *.Xlsx *.xls *.xlsx)"));
    dialog.setDefaultSuffix(QStringLiteral("Xls"));
    if (m_state.txtFile.trimmed().isEmpty())
        dialog.setDirectory(m_context.locations.DocFolder);
    QString chosen = QStringLiteral("*.Xls");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        chosen = dialog.selectedFiles().constFirst();
    m_state.ChooseFile(chosen);
    m_file->setText(m_state.txtFile);
}

void KvImport::TakeSelection()
{
    TakeFieldSelection(m_fields, m_state.selected);
}

void KvImport::ShowRows()
{
    const SheetModel& model = m_state.model();
    for (int c = 0; c < model.columnCount(); ++c)
        m_grid->setColumnHidden(c, model.IsHiddenColumn(c));
    m_grid->resizeColumnsToContents();
    for (int c = 0; c < model.columnCount(); ++c) {
        // A column whose first value is long gets 1500 twips, a very long one 3000.
        const qsizetype first = model.rowCount() > 0 ? model.Text(0, c).size() : 0;
        const int width = first * 100 > 1000 ? 3000 / 15 : first * 100 > 500 ? 1500 / 15 : 0;
        m_grid->setColumnWidth(c, qBound(56, qMax(width, m_grid->columnWidth(c)), 220));
    }
    m_count->setText(m_state.countLabel);
    m_grid->setToolTip(m_state.gridTip);
}

void KvImport::List()
{
    m_state.List();
    FillFieldChoices(m_fields, m_crita, m_state.fieldNames);
    if (m_fields->count() > 0)
        m_fields->item(0)->setSelected(true);
    m_operator->setCurrentIndex(0);
    ShowRows();
}

void KvImport::Filter()
{
    m_state.Filter();
    ShowRows();
}

void KvImport::Import()
{
    TakeSelection();
    m_state.Import(
        [this](const QString& text) { ShowProgress(m_frame, m_state.frameEnabled, m_progress, text); });
    m_frame->setEnabled(m_state.frameEnabled);
    if (m_state.closed)
        accept();
}

bool KvImport::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void KvImport::reject()
{
    m_state.Close();
    QDialog::reject();
}

} // namespace kivo
