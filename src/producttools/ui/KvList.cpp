#include "KvList.h"
#include "Appearance.h"

#include "Accessibility.h"
#include "ProgramContext.h"
#include "Settings.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

std::optional<ListPick> KvList::PickFromList(
    ProgramContext& context, const QString& ListSource, QWidget* parent)
{
    KvList picker(context, ListSource, parent);
    picker.exec();
    return picker.state().pick;
}

KvList::KvList(ProgramContext& context, const QString& ListSource, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_state(context, ListSource)
{
    setObjectName(QStringLiteral("KvList"));
    setWindowTitle(QStringLiteral("List"));
    setModal(true);

    // The two columns of a line are padded text, so they line up only in a fixed-pitch font.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto* headings = new QHBoxLayout;
    headings->setSpacing(0);
    for (int i = 0; i < 2; ++i) {
        m_headings[i] = new QLabel(this);
        m_headings[i]->setObjectName(QStringLiteral("lblField(%1)").arg(i));
        m_headings[i]->setFont(fixed);
        QFont bold = fixed;
        bold.setBold(true);
        m_headings[i]->setFont(bold);
    }
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstList"));
    m_list->setFont(fixed);
    m_list->setUniformItemSizes(true);
    m_list->installEventFilter(this);
    const int nameColumn
        = QFontMetrics(fixed).horizontalAdvance(QString(ListPickerState::NameWidth + 1, u'M'));
    const int lineWidth = QFontMetrics(fixed).horizontalAdvance(
        QString(ListPickerState::NameWidth + 1 + ListPickerState::KeyWidth, u'M'));
    m_headings[0]->setFixedWidth(nameColumn + m_list->frameWidth() + 4);
    headings->addWidget(m_headings[0]);
    headings->addWidget(m_headings[1], 1);
    m_list->setMinimumSize(lineWidth + 2 * m_list->frameWidth() + 28, 320);
    Describe(m_list, QString(), QStringLiteral("lstList"));

    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setAutoDefault(false);
    Describe(m_close, QStringLiteral("Close"), QStringLiteral("cmdClose"));
    connect(m_close, &QPushButton::clicked, this, [this] {
        m_state.Close();
        QDialog::reject();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Choose(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { m_state.selected = row; });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(6);
    layout->addLayout(headings);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    Describe(this, QStringLiteral("List"), QStringLiteral("KvList"));

    ApplyAppearance(context, this);
    m_state.Open();
    for (int i = 0; i < 2; ++i) {
        m_headings[i]->setText(m_state.headings[i]);
        Describe(m_headings[i], m_state.headings[i], QStringLiteral("lblField(%1)").arg(i));
    }
    m_list->addItems(m_state.lines);
    if (m_state.selected >= 0)
        m_list->setCurrentRow(m_state.selected);
    m_list->setFocus();
}

bool KvList::eventFilter(QObject* watched, QEvent* event)
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

void KvList::Choose()
{
    m_state.selected = m_list->currentRow();
    m_state.Choose();
    accept();
}

void KvList::reject()
{
    // Escape, and the window's own close button.
    m_state.Close();
    QDialog::reject();
}

} // namespace kivo
