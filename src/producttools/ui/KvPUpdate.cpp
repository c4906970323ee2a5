#include "KvPUpdate.h"

#include "Accessibility.h"
#include "Appearance.h"
#include "ProgramContext.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kivo {

namespace {

QLineEdit* ValueBox(QWidget* parent, const QString& element, const QString& tip)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(element);
    box->setMaxLength(ProductUpdateState::ValueWidth);
    box->setToolTip(tip);
    box->setPlaceholderText(tip);
    Describe(box, tip, element);
    return box;
}

QLabel* Heading(QWidget* parent, const QString& text)
{
    auto* heading = new QLabel(text, parent);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    heading->setFont(font);
    return heading;
}

} // namespace

KvPUpdate::KvPUpdate(ProgramContext& context, std::function<bool()> askAccessCode, QWidget* parent)
    : QDialog(parent)
    , m_state(context, std::move(askAccessCode))
{
    setObjectName(QStringLiteral("KvPUpdate"));
    setWindowTitle(QStringLiteral("Product Update"));
    setModal(true);

    m_frame = new QWidget(this);
    m_update = Combo(QStringLiteral("cmbUpdate"), ProductUpdateState::UpdateColumns());
    m_update->installEventFilter(this);
    m_value = ValueBox(m_frame, QStringLiteral("txtUpdate"), QStringLiteral("New Value"));
    m_value->installEventFilter(this);
    m_prior = Button(QStringLiteral("<"), QStringLiteral("cmdMove(1)"));
    m_prior->setToolTip(QStringLiteral("Prior"));
    m_next = Button(QStringLiteral(">"), QStringLiteral("cmdMove(0)"));
    m_next->setToolTip(QStringLiteral("Next"));
    m_code = new QLabel(m_frame);
    m_name = new QLabel(m_frame);
    m_current = new QLabel(m_frame);
    m_field1 = Combo(QStringLiteral("cmbField1"), {});
    m_op1 = Combo(QStringLiteral("cmbOper1"), ProductUpdateState::Operators());
    m_value1 = ValueBox(m_frame, QStringLiteral("txtInqry1"), QStringLiteral("Blank For All Records"));
    m_join = Combo(QStringLiteral("cmbJoin"), ProductUpdateState::Joins());
    m_field2 = Combo(QStringLiteral("cmbField2"), {});
    m_op2 = Combo(QStringLiteral("cmbOper2"), ProductUpdateState::Operators());
    m_value2 = ValueBox(m_frame, QStringLiteral("txtInqry2"), QStringLiteral("Blank For All Records"));
    m_find = Button(QStringLiteral("<    Find"), QStringLiteral("cmdFind"));
    m_grid = new QTableView(m_frame);
    m_grid->setObjectName(QStringLiteral("grdData"));
    m_grid->setModel(&m_state);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    Describe(m_grid, QString(), QStringLiteral("grdData"));
    m_process = Button(QStringLiteral("Process >"), QStringLiteral("cmdProcess"));
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setAutoDefault(false);
    Describe(m_close, QStringLiteral("Close"), QStringLiteral("cmdClose"));

    auto* grid = new QGridLayout(m_frame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(Heading(m_frame, QStringLiteral("Update...")), 0, 0, 1, 7);
    grid->addWidget(m_update, 1, 0);
    grid->addWidget(m_code, 1, 1);
    grid->addWidget(m_name, 1, 2, 1, 2);
    grid->addWidget(m_current, 1, 4);
    grid->addWidget(m_value, 2, 1, 1, 3);
    grid->addWidget(m_prior, 2, 4);
    grid->addWidget(m_next, 2, 5);
    grid->addWidget(Heading(m_frame, QStringLiteral("Filter...")), 3, 0, 1, 7);
    grid->addWidget(m_field1, 4, 0);
    grid->addWidget(m_op1, 4, 1);
    grid->addWidget(m_value1, 4, 2, 1, 2);
    grid->addWidget(m_join, 4, 4);
    grid->addWidget(m_field2, 5, 0);
    grid->addWidget(m_op2, 5, 1);
    grid->addWidget(m_value2, 5, 2, 1, 2);
    grid->addWidget(m_find, 5, 5);
    grid->addWidget(m_grid, 6, 0, 1, 7);
    grid->addWidget(m_process, 7, 5);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(m_frame, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_close);
    layout->addLayout(bottom);
    resize(760, 620);
    Describe(this, QStringLiteral("Product Update"), QStringLiteral("KvPUpdate"));

    connect(m_find, &QPushButton::clicked, this, &KvPUpdate::Find);
    connect(m_next, &QPushButton::clicked, this, [this] { Move(+1); });
    connect(m_prior, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(m_process, &QPushButton::clicked, this, &KvPUpdate::Process);
    connect(m_close, &QPushButton::clicked, this, &KvPUpdate::reject);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) {
            if (current.isValid() && current.row() != m_state.currentRow) {
                m_state.SetCurrentRow(current.row());
                ShowCurrent();
            }
        });

    ApplyAppearance(context, this);
}

QComboBox* KvPUpdate::Combo(const QString& element, const QStringList& items)
{
    auto* box = new QComboBox(m_frame);
    box->setObjectName(element);
    box->addItems(items);
    box->setMinimumWidth(100);
    Describe(box, element, element);
    return box;
}

QPushButton* KvPUpdate::Button(const QString& caption, const QString& element)
{
    auto* button = new QPushButton(caption, m_frame);
    button->setObjectName(element);
    button->setAutoDefault(false);
    Describe(button, caption, element);
    return button;
}

void KvPUpdate::Open()
{
    m_state.Open();
    m_field1->addItems(m_state.fieldNames);
    m_field2->addItems(m_state.fieldNames);
    m_update->setFocus();
}

void KvPUpdate::TakeFilter()
{
    m_state.update = m_update->currentIndex();
    m_state.field1 = m_field1->currentIndex();
    m_state.op1 = m_op1->currentIndex();
    m_state.txtInqry1 = m_value1->text();
    m_state.join = m_join->currentIndex();
    m_state.field2 = m_field2->currentIndex();
    m_state.op2 = m_op2->currentIndex();
    m_state.txtInqry2 = m_value2->text();
}

void KvPUpdate::Find()
{
    TakeFilter();
    m_state.List();
    m_grid->setColumnWidth(0, 60);
    m_grid->setColumnWidth(1, 120);
    m_grid->setColumnWidth(2, 260);
    m_grid->setColumnWidth(3, 100);
    m_grid->setColumnWidth(4, 100);
    ShowCurrent();
}

void KvPUpdate::ShowCurrent()
{
    m_code->setText(m_state.codeLabel);
    m_name->setText(m_state.nameLabel);
    m_current->setText(m_state.valueLabel);
    if (m_state.currentRow >= 0 && m_grid->currentIndex().row() != m_state.currentRow)
        m_grid->selectRow(m_state.currentRow);
}

void KvPUpdate::Store()
{
    m_state.txtUpdate = m_value->text();
    const bool stored = m_state.StoreValue();
    m_value->setText(m_state.txtUpdate);
    if (stored)
        m_next->setFocus();
    else
        m_value->setFocus();
}

void KvPUpdate::Move(int step)
{
    m_state.Move(step);
    ShowCurrent();
}

void KvPUpdate::Process()
{
    m_frame->setEnabled(false);
    m_state.Process();
    m_frame->setEnabled(true);
    ShowCurrent();
}

bool KvPUpdate::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_value && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            Store();
            return true;
        }
        if (watched == m_update && key == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KvPUpdate::reject()
{
    m_state.Close();
    QDialog::reject();
}

} // namespace kivo
