#include "KvSClosing.h"

#include "Accessibility.h"
#include "Appearance.h"
#include "KvAccess.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kivo {

KvSClosing::KvSClosing(ProgramContext& context, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_state(context)
{
    setObjectName(QStringLiteral("KvSClosing"));
    setWindowTitle(QStringLiteral("Stock Closing"));
    setModal(true);

    m_notice = new QPlainTextEdit(m_state.txtClose, this);
    m_notice->setObjectName(QStringLiteral("txtClose"));
    m_notice->setReadOnly(true);
    m_notice->setFocusPolicy(Qt::NoFocus);
    m_notice->setMinimumSize(420, 130);
    Describe(m_notice, QStringLiteral("Notice"), QStringLiteral("txtClose"));
    for (int i = 0; i < 2; ++i) {
        const QString element = QStringLiteral("lblField(%1)").arg(i);
        m_labels[i] = new QLabel(this);
        m_labels[i]->setObjectName(element);
        Describe(m_labels[i], i == 0 ? QStringLiteral("Closing file") : QStringLiteral("Progress"), element);
    }
    QFont bold = m_labels[0]->font();
    bold.setBold(true);
    m_labels[0]->setFont(bold);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOk"));
    Describe(m_ok, QStringLiteral("OK"), QStringLiteral("cmdOk"));
    connect(m_ok, &QPushButton::clicked, this, &KvSClosing::Start);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setAutoDefault(false);
    Describe(m_cancel, QStringLiteral("Cancel"), QStringLiteral("cmdCancel"));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_labels[1], 1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addWidget(m_notice);
    layout->addWidget(m_labels[0]);
    layout->addLayout(buttons);
    Describe(this, QStringLiteral("Stock Closing"), QStringLiteral("KvSClosing"));
    ApplyAppearance(context, this);
    ShowState();
    m_ok->setFocus();
}

void KvSClosing::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    // The notice comes once the screen is on view.
    QTimer::singleShot(0, this, [this] { m_state.Opened(); });
}

void KvSClosing::Start()
{
    m_state.Ok([this] { return KvAccess::AskAccessCode(m_context, this); },
        [this] {
            ShowState();
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    ShowState();
    if (m_state.endProgram)
        accept();
}

void KvSClosing::ShowState()
{
    m_labels[0]->setText(m_state.lblField[0]);
    m_labels[1]->setText(m_state.lblField[1]);
    m_labels[1]->setVisible(m_state.progressVisible);
}

} // namespace kivo
