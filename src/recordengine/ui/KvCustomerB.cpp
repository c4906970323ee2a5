#include "KvCustomerB.h"
#include "Appearance.h"

#include "Accessibility.h"
#include "RecordScreen.h"
#include "RecordScreenView.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

KvCustomerB::KvCustomerB(ProgramContext& context, RecordEngine& engine, QWidget* parent)
    : QDialog(parent)
    , m_state(context, engine)
{
    setObjectName(QStringLiteral("KvCustomerB"));
    setWindowTitle(m_state.screen().caption);
    setModal(true);
    Describe(this, m_state.screen().caption, QStringLiteral("KvCustomerB"));

    m_view = new RecordScreenView(context, engine, m_state.screen(), this);
    // The phone's Search and the Active option are this screen's own, not the engine's.
    QPushButton* search = m_view->button(CustomerBState::PhoneField);
    disconnect(search, &QPushButton::clicked, nullptr, nullptr);
    connect(search, &QPushButton::clicked, this, [this] { m_state.Search(); });
    search->setFixedWidth(search->fontMetrics().horizontalAdvance(search->text()) + 24);
    search->setToolTip(QStringLiteral("Search"));
    Describe(search, QStringLiteral("Search"), QStringLiteral("cmdList(8)"));
    QPushButton* active = m_view->button(CustomerBState::ActiveField);
    disconnect(active, &QPushButton::clicked, nullptr, nullptr);
    connect(active, &QPushButton::clicked, this, [this] { m_state.StepActive(); });
    m_view->valueBox(CustomerBState::PhoneField)->installEventFilter(this);
    connect(m_view, &RecordScreenView::exitRequested, this, &KvCustomerB::reject);

    m_save = new QPushButton(QStringLiteral("Save"), this);
    m_save->setObjectName(QStringLiteral("cmdSave"));
    Describe(m_save, QStringLiteral("Save"), QStringLiteral("cmdSave"));
    connect(m_save, &QPushButton::clicked, this, &KvCustomerB::SaveAndClose);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    Describe(m_cancel, QStringLiteral("Cancel"), QStringLiteral("cmdCancel"));
    connect(m_cancel, &QPushButton::clicked, this, &KvCustomerB::reject);
    for (QPushButton* button : { m_save, m_cancel }) {
        // Enter in a field never saves by accident.
        button->setAutoDefault(false);
        button->setMinimumWidth(96);
    }

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(12, 0, 12, 12);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    layout->addLayout(buttons);

    connect(&m_state.screen(), &RecordScreen::changed, this, &KvCustomerB::Refresh);
    connect(&m_state, &CustomerBState::focusRequested, this, &KvCustomerB::FocusField);
    ApplyAppearance(context, this);
    Refresh();
}

KvCustomerB::~KvCustomerB()
{
    // The view shows the state's screen: it goes first, without this window watching its
    // boxes while they are taken down.
    m_view->valueBox(CustomerBState::PhoneField)->removeEventFilter(this);
    delete m_view;
}

std::optional<QString> KvCustomerB::RunStandAlone(
    ProgramContext& context, RecordEngine& engine, QWidget* parent)
{
    KvCustomerB screen(context, engine, parent);
    screen.state().OpenStandAlone();
    if (screen.exec() != QDialog::Accepted)
        return std::nullopt;
    return screen.state().SavedName();
}

std::optional<QString> KvCustomerB::RunOnPhone(
    ProgramContext& context, RecordEngine& engine, const QString& phone, QWidget* parent)
{
    KvCustomerB screen(context, engine, parent);
    screen.state().OpenOnPhone(phone);
    if (screen.exec() != QDialog::Accepted)
        return std::nullopt;
    return screen.state().SavedName();
}

bool KvCustomerB::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == m_view->valueBox(CustomerBState::PhoneField)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter)
            && m_state.screen().field(CustomerBState::PhoneField).typeable) {
            m_state.Search();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KvCustomerB::Refresh()
{
    m_save->setEnabled(m_state.SaveEnabled());
}

void KvCustomerB::FocusField(int field)
{
    // Typing replaces what the field holds: a new customer's "-" is typed over.
    QLineEdit* box = m_view->valueBox(field);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

void KvCustomerB::SaveAndClose()
{
    if (m_state.Save())
        accept();
}

} // namespace kivo
