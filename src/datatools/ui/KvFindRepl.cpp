#include "KvFindRepl.h"

#include "Accessibility.h"
#include "Appearance.h"
#include "CriterionBuilder.h"
#include "DataToolWidgets.h"
#include "ProgramContext.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kivo {

KvFindRepl::KvFindRepl(ProgramContext& context, std::function<bool()> askAccessCode, QWidget* parent)
    : QDialog(parent)
    , m_state(context, std::move(askAccessCode))
{
    setObjectName(QStringLiteral("KvFindRepl"));
    setWindowTitle(QStringLiteral("Find & Replace"));
    setModal(true);

    m_frame = new QWidget(this);
    m_table = MakeCombo(m_frame, QStringLiteral("cmbTable"), QStringLiteral("Table"));
    m_table->addItems(m_state.tables);
    m_table->installEventFilter(this);
    m_crita = MakeCombo(m_frame, QStringLiteral("cmbCrita"), QStringLiteral("Criteria"));
    m_operator = MakeCombo(m_frame, QStringLiteral("cmbOper"), QStringLiteral("Operator"));
    m_operator->addItems(CriterionBuilder::Operators());
    m_value = MakeValueBox(m_frame, QStringLiteral("txtCrita"), FindReplaceState::CriterionWidth);
    m_find = MakeButton(m_frame, QStringLiteral("<    Find"), QStringLiteral("cmdFind"));
    m_grid = MakeGrid(m_frame, QStringLiteral("grdData"), &m_state.model());
    m_count = MakeCountLabel(m_frame, QStringLiteral("lblCount"));
    m_field = MakeCombo(m_frame, QStringLiteral("cmbField"), QStringLiteral("Field"));
    m_field->installEventFilter(this);
    m_replacement = new QLineEdit(m_frame);
    m_replacement->setObjectName(QStringLiteral("txtField"));
    Describe(m_replacement, QStringLiteral("With"), QStringLiteral("txtField"));
    m_replace = MakeButton(m_frame, QStringLiteral("< Replace"), QStringLiteral("cmdReplace"));
    m_close = MakeButton(this, QStringLiteral("Close"), QStringLiteral("cmdClose"));

    auto* grid = new QGridLayout(m_frame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(MakeHeading(m_frame, QStringLiteral("Find...")), 0, 0, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("Table:"), m_frame), 1, 0);
    grid->addWidget(m_table, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Criteria:"), m_frame), 2, 0);
    grid->addWidget(m_crita, 2, 1);
    grid->addWidget(m_operator, 2, 2);
    grid->addWidget(m_value, 2, 3, 1, 2);
    grid->addWidget(m_find, 2, 5);
    grid->addWidget(m_grid, 3, 0, 1, 6);
    grid->addWidget(m_count, 4, 5, Qt::AlignRight);
    grid->addWidget(MakeHeading(m_frame, QStringLiteral("Replace...")), 5, 0, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("Field:"), m_frame), 6, 0);
    grid->addWidget(m_field, 6, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("With:"), m_frame), 7, 0);
    grid->addWidget(m_replacement, 7, 1, 1, 4);
    grid->addWidget(m_replace, 7, 5);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(m_frame, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_close);
    layout->addLayout(bottom);
    resize(780, 600);
    Describe(this, QStringLiteral("Find & Replace"), QStringLiteral("KvFindRepl"));

    connect(m_table, &QComboBox::currentIndexChanged, this, [this] { LoadColumns(); });
    connect(m_crita, &QComboBox::currentIndexChanged, this, [this](int i) { m_state.crita = i; });
    connect(m_operator, &QComboBox::currentIndexChanged, this, [this](int i) { m_state.op = i; });
    connect(m_value, &QLineEdit::textChanged, this, [this](const QString& text) { m_state.txtCrita = text; });
    // The typing limit follows the chosen column as soon as it is chosen, not only when the box is left.
    connect(m_field, &QComboBox::currentIndexChanged, this, &KvFindRepl::LeaveField);
    connect(m_replacement, &QLineEdit::textChanged, this,
        [this](const QString& text) { m_state.txtField = text; });
    connect(m_find, &QPushButton::clicked, this, &KvFindRepl::Find);
    connect(m_replace, &QPushButton::clicked, this, &KvFindRepl::Replace);
    connect(m_close, &QPushButton::clicked, this, &KvFindRepl::reject);

    ApplyAppearance(context, this);
}

void KvFindRepl::Open()
{
    m_loadedTable = m_table->currentText();
    m_state.Open();
    LoadColumns();
    m_table->setFocus();
}

void KvFindRepl::LoadColumns()
{
    if (m_table->currentText() != m_loadedTable) {
        m_state.table = m_table->currentIndex();
        m_loadedTable = m_table->currentText();
        m_state.LoadColumns();
    }
    {
        const QSignalBlocker blockCriterion(m_crita);
        const QSignalBlocker blockField(m_field);
        m_crita->clear();
        m_crita->addItems(m_state.fieldNames);
        m_field->clear();
        m_field->addItems(m_state.fieldNames);
    }
    m_operator->setCurrentIndex(0);
    m_replacement->setMaxLength(m_state.valueWidth);
    ShowRows();
}

void KvFindRepl::LeaveField()
{
    m_state.field = m_field->currentIndex();
    m_state.LeaveField();
    m_replacement->setMaxLength(m_state.valueWidth);
}

void KvFindRepl::ShowRows()
{
    ShowGridColumns(m_grid, m_state.model());
    m_count->setText(m_state.countLabel);
    m_grid->setToolTip(m_state.gridTip);
}

void KvFindRepl::Find()
{
    m_state.Find();
    ShowRows();
}

void KvFindRepl::Replace()
{
    LeaveField();
    m_frame->setEnabled(false);
    m_state.Replace();
    m_frame->setEnabled(true);
    ShowRows();
}

bool KvFindRepl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (watched == m_field && event->type() == QEvent::FocusOut)
        LeaveField();
    return QDialog::eventFilter(watched, event);
}

void KvFindRepl::reject()
{
    m_state.Close();
    QDialog::reject();
}

} // namespace kivo
