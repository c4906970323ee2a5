#include "KvTrend.h"

#include "Accessibility.h"
#include "Appearance.h"
#include "DropCalendar.h"
#include "Twips.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kivo {

namespace {

QPushButton* ListButton(QWidget* parent, const QString& element)
{
    auto* button = new QPushButton(QStringLiteral("+"), parent);
    button->setObjectName(element);
    button->setToolTip(QStringLiteral("Listing"));
    button->setAutoDefault(false);
    button->setFixedWidth(28);
    Describe(button, QStringLiteral("Listing"), element);
    return button;
}

QLineEdit* DateBox(QWidget* parent, const QString& element, const QString& caption)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(element);
    box->setReadOnly(true);
    box->setMaxLength(TrendState::DateWidth);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 18);
    Describe(box, caption, element);
    return box;
}

} // namespace

KvTrend::KvTrend(ProgramContext& context, QWidget* parent)
    : QDialog(parent)
    , m_state(context)
{
    setObjectName(QStringLiteral("KvTrend"));
    setWindowTitle(QStringLiteral("Trends"));
    setModal(true);

    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("cmbTrend"));
    m_mode->addItems({ QStringLiteral("Sales"), QStringLiteral("Purchase") });
    m_mode->installEventFilter(this);
    Describe(m_mode, QStringLiteral("Trend"), QStringLiteral("cmbTrend"));
    m_start = DateBox(this, QStringLiteral("txtTrend1"), QStringLiteral("From"));
    m_startButton = ListButton(this, QStringLiteral("cmdList1"));
    m_end = DateBox(this, QStringLiteral("txtTrend2"), QStringLiteral("To"));
    m_endButton = ListButton(this, QStringLiteral("cmdList2"));
    m_view = new QPushButton(QStringLiteral("<    View"), this);
    m_view->setObjectName(QStringLiteral("cmdView"));
    m_view->setAutoDefault(false);
    Describe(m_view, QStringLiteral("<    View"), QStringLiteral("cmdView"));
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setAutoDefault(false);
    Describe(m_close, QStringLiteral("Close"), QStringLiteral("cmdClose"));

    auto* criterion = new QHBoxLayout;
    criterion->addWidget(m_mode);
    criterion->addSpacing(12);
    criterion->addWidget(m_start);
    criterion->addWidget(m_startButton);
    criterion->addSpacing(6);
    criterion->addWidget(m_end);
    criterion->addWidget(m_endButton);
    criterion->addSpacing(12);
    criterion->addWidget(m_view);
    criterion->addStretch();

    auto* bands = new QHBoxLayout;
    const char16_t* bandTitles[] = { u"PRODUCTS", u"GROUPS" };
    for (int band = 0; band < 2; ++band) {
        auto* box = new QGroupBox(QString::fromUtf16(bandTitles[band]), this);
        auto* grids = new QGridLayout(box);
        for (int side = 0; side < 2; ++side) {
            const int i = band * 2 + side;
            const QString caption = side == 0 ? QStringLiteral("By Qty") : QStringLiteral("By Value");
            grids->addWidget(new QLabel(caption, box), 0, side);
            auto* grid = new QTableWidget(box);
            grid->setObjectName(QStringLiteral("grdData(%1)").arg(i));
            grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
            grid->setSelectionBehavior(QAbstractItemView::SelectRows);
            grid->setAlternatingRowColors(true);
            grid->verticalHeader()->hide();
            grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
            // Room for the ten rows of the product grids without a scroll bar.
            const int rowHeight = grid->verticalHeader()->defaultSectionSize();
            grid->setMinimumSize(Twips(3500) + Twips(1500) + 8, 11 * rowHeight + 8);
            grid->horizontalHeader()->setStretchLastSection(true);
            Describe(grid, caption, grid->objectName());
            grids->addWidget(grid, 1, side);
            m_grids[i] = grid;
        }
        bands->addWidget(box);
    }

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addLayout(criterion);
    layout->addLayout(bands, 1);
    layout->addLayout(bottom);
    Describe(this, QStringLiteral("Trends"), QStringLiteral("KvTrend"));

    // Made last, so that a dropped calendar lies over every other control.
    m_startCalendar = new DropCalendar(this);
    m_startCalendar->setObjectName(QStringLiteral("monSel1"));
    m_endCalendar = new DropCalendar(this);
    m_endCalendar->setObjectName(QStringLiteral("monSel2"));
    Describe(m_startCalendar, QString(), QStringLiteral("monSel1"));
    Describe(m_endCalendar, QString(), QStringLiteral("monSel2"));

    connect(m_mode, &QComboBox::currentIndexChanged, this,
        [this](int i) { m_state.cmbTrend = i == 1 ? TrendState::Purchase : TrendState::Sales; });
    connect(m_startButton, &QPushButton::clicked, this,
        [this] { m_startCalendar->DropDown(m_startButton, m_state.monSel1); });
    connect(m_endButton, &QPushButton::clicked, this,
        [this] { m_endCalendar->DropDown(m_endButton, m_state.monSel2); });
    connect(m_startCalendar, &DropCalendar::datePicked, this, [this](const QDate& date) {
        m_state.SetStart(date);
        m_start->setText(m_state.txtTrend1);
    });
    connect(m_endCalendar, &DropCalendar::datePicked, this, [this](const QDate& date) {
        m_state.SetEnd(date);
        m_end->setText(m_state.txtTrend2);
    });
    connect(m_view, &QPushButton::clicked, this, &KvTrend::View);
    connect(m_close, &QPushButton::clicked, this, &KvTrend::reject);

    ApplyAppearance(context, this);
    m_state.Open();
    m_mode->setCurrentIndex(0);
    m_start->setText(m_state.txtTrend1);
    m_end->setText(m_state.txtTrend2);
    for (int i = 0; i < TrendState::GridCount; ++i)
        ShowGrid(i);
    m_mode->setFocus();
}

void KvTrend::View()
{
    if (m_state.View()) {
        for (int i = 0; i < TrendState::GridCount; ++i)
            ShowGrid(i);
    }
    m_mode->setFocus();
}

void KvTrend::ShowGrid(int index)
{
    const TrendState::Grid& data = m_state.grid(index);
    QTableWidget* grid = m_grids[index];
    grid->clear();
    grid->setColumnCount(2);
    const bool groups = index >= 2;
    const QStringList fallback = { groups ? QStringLiteral("GName") : QStringLiteral("PName"),
        (index % 2 == 0) ? (groups ? QStringLiteral("GQty") : QStringLiteral("PQty"))
                         : (groups ? QStringLiteral("GGross") : QStringLiteral("PGross")) };
    grid->setHorizontalHeaderLabels(data.headings.size() == 2 ? data.headings : fallback);
    grid->setRowCount(int(data.texts.size()));
    for (int r = 0; r < int(data.texts.size()); ++r) {
        const QStringList& row = data.texts[size_t(r)];
        for (int c = 0; c < 2 && c < row.size(); ++c) {
            auto* item = new QTableWidgetItem(row.at(c));
            if (c == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->setItem(r, c, item);
        }
    }
    grid->setColumnWidth(0, Twips(3500));
    grid->setColumnWidth(1, Twips(1500));
}

bool KvTrend::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mode && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kivo
