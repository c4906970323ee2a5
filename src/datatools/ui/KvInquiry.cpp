#include "KvInquiry.h"
#include "Appearance.h"

#include "Accessibility.h"
#include "CriterionBuilder.h"
#include "ProgramContext.h"
#include "Settings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kivo {

KvInquiry::KvInquiry(ProgramContext& context, RecordEngine& engine, RecordScreen& screen, QWidget* parent)
    : QDialog(parent)
    , m_state(context, engine, screen)
{
    setObjectName(QStringLiteral("KvInquiry"));
    setWindowTitle(QStringLiteral("Inquiry"));
    setModal(true);

    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("cmbField"));
    m_field->setMinimumWidth(150);
    Describe(m_field, QStringLiteral("Field"), QStringLiteral("cmbField"));
    m_operator = new QComboBox(this);
    m_operator->setObjectName(QStringLiteral("cmbOper"));
    m_operator->addItems(CriterionBuilder::Operators());
    Describe(m_operator, QStringLiteral("Operator"), QStringLiteral("cmbOper"));
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("txtInqry"));
    m_value->setMaxLength(InquiryState::ValueWidth);
    m_value->setToolTip(QStringLiteral("Blank For All Records"));
    m_value->setPlaceholderText(QStringLiteral("Blank For All Records"));
    m_value->setMinimumWidth(180);
    m_value->installEventFilter(this);
    Describe(m_value, QStringLiteral("Value"), QStringLiteral("txtInqry"));
    m_inquiry = new QPushButton(QStringLiteral("< Inquiry"), this);
    m_inquiry->setObjectName(QStringLiteral("cmdInquiry"));
    m_inquiry->setAutoDefault(false);
    Describe(m_inquiry, QStringLiteral("< Inquiry"), QStringLiteral("cmdInquiry"));

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("grdData"));
    m_grid->setModel(&m_state.model());
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    m_grid->installEventFilter(this);
    Describe(m_grid, QString(), QStringLiteral("grdData"));

    m_table = new QLabel(this);
    m_table->setObjectName(QStringLiteral("lblTable"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setAutoDefault(false);
    Describe(m_close, QStringLiteral("Close"), QStringLiteral("cmdClose"));

    connect(m_inquiry, &QPushButton::clicked, this, &KvInquiry::LookUp);
    connect(m_close, &QPushButton::clicked, this, &KvInquiry::reject);
    connect(m_grid, &QTableView::doubleClicked, this, [this] { ChooseCurrent(); });
    connect(m_field, &QComboBox::currentIndexChanged, this, [this](int i) { m_state.field = i; });
    connect(m_operator, &QComboBox::currentIndexChanged, this, [this](int i) { m_state.op = i; });
    connect(m_value, &QLineEdit::textChanged, this, [this](const QString& text) { m_state.txtInqry = text; });

    auto* criterion = new QHBoxLayout;
    criterion->addWidget(m_field);
    criterion->addWidget(m_operator);
    criterion->addWidget(m_value, 1);
    criterion->addWidget(m_inquiry);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_table);
    bottom->addSpacing(24);
    bottom->addWidget(m_count);
    bottom->addStretch();
    bottom->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addLayout(criterion);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);
    resize(820, 460);
    Describe(this, QStringLiteral("Inquiry"), QStringLiteral("KvInquiry"));

    ApplyAppearance(context, this);
    m_state.Open();
    m_field->addItems(m_state.fieldNames);
    ShowState();
    m_value->setFocus();
}

void KvInquiry::ShowState()
{
    m_table->setText(m_state.tableLabel);
    m_count->setText(m_state.countLabel);
    Describe(m_table, m_state.tableLabel, QStringLiteral("lblTable"));
    Describe(m_count, m_state.countLabel, QStringLiteral("lblCount"));
    RecordsetModel& model = m_state.model();
    for (int c = 0; c < model.columnCount(); ++c)
        m_grid->setColumnHidden(c, model.IsHiddenColumn(c));
    m_grid->resizeColumnsToContents();
    // Wide text columns are cut to a readable width; the tooltip shows the whole value.
    for (int c = 0; c < model.columnCount(); ++c)
        m_grid->setColumnWidth(c, qBound(56, m_grid->columnWidth(c), 220));
    if (model.rowCount() > 0)
        m_grid->selectRow(0);
}

void KvInquiry::LookUp()
{
    m_state.LookUp();
    ShowState();
    if (m_state.focusValue)
        m_value->setFocus();
}

void KvInquiry::ChooseCurrent()
{
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid())
        return;
    m_state.Choose(current.row());
    if (m_state.closed)
        accept();
}

bool KvInquiry::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter && watched == m_grid) {
            ChooseCurrent();
            return true;
        }
        if (enter && watched == m_value) {
            LookUp();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KvInquiry::reject()
{
    m_state.Close();
    QDialog::reject();
}

} // namespace kivo
