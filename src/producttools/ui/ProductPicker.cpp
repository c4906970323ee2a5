#include "ProductPicker.h"
#include "Appearance.h"

#include "Accessibility.h"
#include "ErrorReporter.h"
#include "ListPickerState.h"
#include "ProductListModel.h"
#include "ProgramContext.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

std::optional<ListPick> ProductPicker::PickProduct(ProgramContext& context, QWidget* parent)
{
    ProductPicker picker(context, parent);
    picker.exec();
    return picker.pick();
}

ProductPicker::ProductPicker(ProgramContext& context, QWidget* parent)
    : QDialog(parent)
    , m_model(std::make_unique<ProductListModel>(context.connection, context.errors, false))
{
    setObjectName(QStringLiteral("KvList"));
    setWindowTitle(QStringLiteral("List"));
    setModal(true);
    Describe(this, QStringLiteral("List"), QStringLiteral("KvList"));

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QFont bold = fixed;
    bold.setBold(true);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("lstList"));
    m_list->setFont(fixed);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setModel(m_model.get());
    m_list->installEventFilter(this);
    Describe(m_list, QString(), QStringLiteral("lstList"));
    connect(m_list, &QListView::doubleClicked, this, [this] { Choose(); });

    auto* headings = new QHBoxLayout;
    headings->setSpacing(0);
    QLabel* labels[2];
    for (int i = 0; i < 2; ++i) {
        labels[i]
            = new QLabel(i == 0 ? ProductListModel::NameHeading() : ProductListModel::CodeHeading(), this);
        labels[i]->setObjectName(QStringLiteral("lblField(%1)").arg(i));
        labels[i]->setFont(bold);
    }
    const QFontMetrics metrics(fixed);
    labels[0]->setFixedWidth(
        metrics.horizontalAdvance(QString(ListPickerState::NameWidth + 1, u'M')) + m_list->frameWidth() + 4);
    headings->addWidget(labels[0]);
    headings->addWidget(labels[1], 1);
    m_list->setMinimumSize(
        metrics.horizontalAdvance(QString(ListPickerState::NameWidth + 1 + ListPickerState::KeyWidth, u'M'))
            + 2 * m_list->frameWidth() + 28,
        320);

    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAutoDefault(false);
    Describe(close, QStringLiteral("Close"), QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(6);
    layout->addLayout(headings);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    ApplyAppearance(context, this);
    TryStep(context.errors, [&] { m_model->Open(); });
    if (m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(0));
    m_list->setFocus();
}

ProductPicker::~ProductPicker() = default;

bool ProductPicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Choose();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ProductPicker::Choose()
{
    const QModelIndex current = m_list->currentIndex();
    if (current.isValid())
        m_pick = ListPick { m_model->CodeAt(current.row()), m_model->NameAt(current.row()) };
    accept();
}

} // namespace kivo
