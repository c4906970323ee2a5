#include "KvPQuery.h"
#include "Appearance.h"

#include "Accessibility.h"
#include "ProductPicker.h"
#include "ProductQueryState.h"
#include "ProgramContext.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

namespace {

struct CardField {
    const char* caption;
    int maxLength;
};

constexpr CardField Card[ProductQueryState::FieldCount]
    = { { "Product Code", 15 }, { "Product Id", 10 }, { "Product Name", 30 }, { "Taxable", 1 },
          { "Group", 6 }, { "Sale Rate", 10 }, { "Stock Qty", 10 }, { "Active", 1 } };

void Paint(QLineEdit* box, bool focused)
{
    QPalette p = box->palette();
    const QColor colour = focused ? QColor(255, 192, 192) : QColor(Qt::white);
    p.setColor(QPalette::Active, QPalette::Base, colour);
    p.setColor(QPalette::Inactive, QPalette::Base, colour);
    box->setPalette(p);
}

} // namespace

KvPQuery::KvPQuery(ProgramContext& context, QWidget* parent)
    : QDialog(parent)
    , m_state(std::make_unique<ProductQueryState>(context))
{
    setObjectName(QStringLiteral("KvPQuery"));
    setWindowTitle(QStringLiteral("Product Query"));
    setModal(true);
    Describe(this, QStringLiteral("Product Query"), QStringLiteral("KvPQuery"));
    pickProduct = [this, &context] { return ProductPicker::PickProduct(context, this); };

    const int charWidth = fontMetrics().horizontalAdvance(u'0');
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(7);
    for (int i = 0; i < ProductQueryState::FieldCount; ++i) {
        const QString caption = QString::fromLatin1(Card[i].caption);
        auto* label = new QLabel(caption, this);
        label->setObjectName(QStringLiteral("lblField(%1)").arg(i));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtField(%1)").arg(i));
        box->setMaxLength(Card[i].maxLength);
        box->setReadOnly(true);
        box->setFixedWidth(charWidth * qMax(Card[i].maxLength, 6) + 18);
        box->installEventFilter(this);
        label->setBuddy(box);
        Describe(box, caption, QStringLiteral("txtField(%1)").arg(i));
        Paint(box, false);
        m_boxes[i] = box;
        grid->addWidget(label, i, 0);
        // The code's and the group's names stand right beside their boxes.
        auto* row = new QHBoxLayout;
        row->setSpacing(10);
        row->addWidget(box);
        if (i == 0 || i == 4) {
            QLabel*& hint = m_hints[i == 0 ? 0 : 1];
            hint = new QLabel(this);
            hint->setObjectName(QStringLiteral("lblList(%1)").arg(i));
            hint->setTextFormat(Qt::PlainText);
            row->addWidget(hint, 1);
        } else {
            row->addStretch();
        }
        grid->addLayout(row, i, 1);
    }
    grid->setColumnStretch(1, 1);

    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAutoDefault(false);
    Describe(close, QStringLiteral("Close"), QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(520);
    ApplyAppearance(context, this);
}

KvPQuery::~KvPQuery() = default;

void KvPQuery::LookUp()
{
    if (const std::optional<ListPick> pick = pickProduct ? pickProduct() : std::nullopt)
        m_state->Pick(pick->key, pick->name);
    m_state->LookUp();
    Refresh();
}

void KvPQuery::Refresh()
{
    for (int i = 0; i < ProductQueryState::FieldCount; ++i) {
        // A stored value wider than its box's limit is shown whole.
        m_boxes[i]->setMaxLength(qMax(Card[i].maxLength, int(m_state->fields[i].size())));
        m_boxes[i]->setText(m_state->fields[i]);
    }
    m_hints[0]->setText(m_state->hints[0]);
    m_hints[1]->setText(m_state->hints[4]);
}

bool KvPQuery::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && event->type() == QEvent::FocusIn)
        Paint(box, true);
    else if (box && event->type() == QEvent::FocusOut)
        Paint(box, false);
    else if (box && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Escape: // closes the card
        case Qt::Key_Tab: // moves between the boxes
        case Qt::Key_Backtab:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            break;
        default:
            LookUp();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kivo
