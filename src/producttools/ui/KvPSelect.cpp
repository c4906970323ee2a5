#include "KvPSelect.h"
#include "Appearance.h"

#include "Accessibility.h"
#include "ListPickerState.h"
#include "ProductSelectState.h"
#include "ProgramContext.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QVBoxLayout>

namespace kivo {

namespace {

constexpr const char* BoxCaptions[3] = { "PCode", "Qty", "Rate" };
constexpr int BoxLengths[3] = { 15, 6, 8 };

// A box's back colour: light red while it has the focus, white otherwise.
void Paint(QLineEdit* box, bool focused)
{
    QPalette p = box->palette();
    const QColor colour = focused ? QColor(255, 192, 192)
        : box->isReadOnly()       ? QColor(240, 241, 243)
                                  : QColor(Qt::white);
    p.setColor(QPalette::Active, QPalette::Base, colour);
    p.setColor(QPalette::Inactive, QPalette::Base, colour);
    box->setPalette(p);
}

} // namespace

void KvPSelect::Select(ProgramContext& context, LineGrid& grid, int callerCode, bool counter, QWidget* parent,
    const std::function<void(int row)>& lineAdded)
{
    KvPSelect dialog(context, grid, callerCode, counter, parent);
    if (lineAdded)
        connect(dialog.m_state.get(), &ProductSelectState::lineAdded, &dialog, lineAdded);
    dialog.exec();
}

KvPSelect::KvPSelect(ProgramContext& context, LineGrid& grid, int callerCode, bool counter, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_state(std::make_unique<ProductSelectState>(context, grid, callerCode, counter))
{
    setObjectName(QStringLiteral("KvPSelect"));
    setWindowTitle(QStringLiteral("Product Listing"));
    setModal(true);
    Describe(this, QStringLiteral("Product Listing"), QStringLiteral("KvPSelect"));

    // The two columns of a line are padded text: they line up in a fixed-pitch font only.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QFont bold = fixed;
    bold.setBold(true);
    auto* headings = new QHBoxLayout;
    headings->setSpacing(0);
    for (int i = 0; i < 2; ++i) {
        m_headings[i]
            = new QLabel(i == 0 ? ProductListModel::NameHeading() : ProductListModel::CodeHeading(), this);
        m_headings[i]->setObjectName(QStringLiteral("lblField(%1)").arg(i));
        m_headings[i]->setFont(bold);
        Describe(m_headings[i], m_headings[i]->text(), QStringLiteral("lblField(%1)").arg(i));
    }
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("lstList"));
    m_list->setFont(fixed);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setModel(&m_state->list());
    m_list->installEventFilter(this);
    Describe(m_list, QStringLiteral("Products"), QStringLiteral("lstList"));
    const QFontMetrics metrics(fixed);
    const int nameColumn = metrics.horizontalAdvance(QString(ListPickerState::NameWidth + 1, u'M'));
    const int lineWidth = metrics.horizontalAdvance(
        QString(ListPickerState::NameWidth + 1 + ListPickerState::KeyWidth, u'M'));
    // The codes start where the list draws a line's text, right of its tick box.
    QStyleOptionViewItem line;
    line.initFrom(m_list);
    line.font = fixed;
    line.rect = QRect(0, 0, lineWidth, metrics.height());
    line.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    line.text = QStringLiteral("M");
    const int textStart = m_list->style()->subElementRect(QStyle::SE_ItemViewItemText, &line, m_list).left();
    m_headings[0]->setFixedWidth(nameColumn + m_list->frameWidth() + textStart);
    m_headings[0]->setIndent(m_list->frameWidth() + textStart);
    headings->addWidget(m_headings[0]);
    headings->addWidget(m_headings[1], 1);
    m_list->setMinimumSize(textStart + lineWidth + 2 * m_list->frameWidth() + 28, 300);
    connect(m_list, &QListView::doubleClicked, this, [this] { TakeListItem(); });
    m_state->list().SetTickable(true);
    connect(&m_state->list(), &ProductListModel::ticked, this, [this](int row) {
        m_list->setCurrentIndex(m_state->list().index(row));
        TakeListItem();
    });

    auto* boxes = new QGridLayout;
    boxes->setHorizontalSpacing(8);
    for (int i = 0; i < 3; ++i) {
        const QString element = QStringLiteral("txtField(%1)").arg(i + 2);
        auto* caption = new QLabel(QString::fromLatin1(BoxCaptions[i]), this);
        QLineEdit* box = new QLineEdit(this);
        box->setObjectName(element);
        box->setMaxLength(BoxLengths[i]);
        box->setToolTip(QStringLiteral("Enter To Add/ Tab To Move"));
        box->installEventFilter(this);
        caption->setBuddy(box);
        Describe(box, caption->text(), element);
        Paint(box, false);
        boxes->addWidget(caption, 0, i);
        boxes->addWidget(box, 1, i);
        m_boxes[i] = box;
        connect(box, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            QString* field[3] = { &m_state->PCode, &m_state->Qty, &m_state->Rate };
            *field[i] = text;
        });
    }
    m_step = new QPushButton(QStringLiteral("<"), this);
    m_step->setObjectName(QStringLiteral("cmdList(4)"));
    m_step->setToolTip(QStringLiteral("Selection"));
    m_step->setAutoDefault(false);
    Describe(m_step, QStringLiteral("Selection"), QStringLiteral("cmdList(4)"));
    connect(m_step, &QPushButton::clicked, this, [this] { m_state->RunStep(); });
    boxes->addWidget(m_step, 1, 3);

    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setAutoDefault(false);
    Describe(m_close, QStringLiteral("Close"), QStringLiteral("cmdClose"));
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    boxes->addWidget(m_close, 1, 5);
    boxes->setColumnStretch(4, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(6);
    layout->addLayout(headings);
    layout->addWidget(m_list, 1);
    layout->addLayout(boxes);

    ApplyAppearance(context, this);
    connect(m_state.get(), &ProductSelectState::changed, this, &KvPSelect::Refresh);
    m_state->Open();
    m_boxes[2]->setReadOnly(m_state->RateLocked());
    Paint(m_boxes[2], false);
}

KvPSelect::~KvPSelect() = default;

void KvPSelect::Refresh()
{
    const QString texts[3] = { m_state->PCode, m_state->Qty, m_state->Rate };
    for (int i = 0; i < 3; ++i)
        if (m_boxes[i]->text() != texts[i])
            m_boxes[i]->setText(texts[i]);
    switch (m_state->focus()) {
    case ProductSelectState::Focus::List:
        m_list->setFocus(Qt::OtherFocusReason);
        break;
    case ProductSelectState::Focus::Code:
        m_boxes[0]->setFocus(Qt::OtherFocusReason);
        break;
    case ProductSelectState::Focus::Qty:
        m_boxes[1]->setFocus(Qt::OtherFocusReason);
        break;
    case ProductSelectState::Focus::Rate:
        m_boxes[2]->setFocus(Qt::OtherFocusReason);
        break;
    }
}

void KvPSelect::TakeListItem()
{
    const QModelIndex current = m_list->currentIndex();
    if (current.isValid())
        m_state->ChooseListItem(current.row());
}

bool KvPSelect::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list) {
        if (event->type() == QEvent::FocusIn && !m_list->currentIndex().isValid()
            && m_state->list().rowCount() > 0) {
            m_list->setCurrentIndex(m_state->list().index(0));
        } else if (event->type() == QEvent::FocusOut) {
            m_list->clearSelection();
            m_list->setCurrentIndex({});
        } else if (event->type() == QEvent::KeyPress) {
            switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                if (m_state->list().rowCount() > 0) {
                    TakeListItem();
                    return true;
                }
                break;
            default:
                break;
            }
        }
        return QDialog::eventFilter(watched, event);
    }
    for (QLineEdit* box : m_boxes) {
        if (watched != box)
            continue;
        if (event->type() == QEvent::FocusIn)
            Paint(box, true);
        else if (event->type() == QEvent::FocusOut)
            Paint(box, false);
        else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_state->RunStep();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kivo
