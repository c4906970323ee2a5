#include "KvLogin.h"

#include "Accessibility.h"
#include "MaskStyle.h"
#include "ProgramContext.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

KvLogin::KvLogin(ProgramContext& context, QWidget* parent)
    : QDialog(parent)
    , m_state(context)
{
    setObjectName(QStringLiteral("KvLogin"));
    setWindowTitle(QStringLiteral("Login"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("Kivo"), this);
    QFont headingFont = heading->font();
    headingFont.setPointSize(headingFont.pointSize() + 8);
    headingFont.setBold(true);
    heading->setFont(headingFont);
    heading->setAlignment(Qt::AlignCenter);
    auto* subtitle = new QLabel(QStringLiteral("Sales Software"), this);
    subtitle->setAlignment(Qt::AlignCenter);
    subtitle->setEnabled(false);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QString captions[2] = { QStringLiteral("LoginId"), QStringLiteral("Password") };
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(captions[i], this);
        label->setObjectName(QStringLiteral("lblField(%1)").arg(i));
        m_fields[i] = new QLineEdit(this);
        m_fields[i]->setObjectName(QStringLiteral("txtField(%1)").arg(i));
        m_fields[i]->setMaxLength(LoginState::FieldWidth);
        m_fields[i]->setMinimumWidth(180);
        m_fields[i]->installEventFilter(this);
        label->setBuddy(m_fields[i]);
        Describe(m_fields[i], captions[i], QStringLiteral("txtField(%1)").arg(i));
        Describe(label, captions[i], QStringLiteral("lblField(%1)").arg(i));
        form->addRow(label, m_fields[i]);
    }
    MaskStyle::Apply(m_fields[1]);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOk"));
    m_ok->setAutoDefault(false);
    Describe(m_ok, QStringLiteral("OK"), QStringLiteral("cmdOk"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setAutoDefault(false);
    Describe(m_cancel, QStringLiteral("Cancel"), QStringLiteral("cmdCancel"));
    connect(m_ok, &QPushButton::clicked, this, &KvLogin::Check);
    connect(m_cancel, &QPushButton::clicked, this, &KvLogin::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(14);
    layout->addWidget(heading);
    layout->addWidget(subtitle);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
    Describe(this, QStringLiteral("Login"), QStringLiteral("KvLogin"));
    m_fields[0]->setFocus();
}

bool KvLogin::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const auto field = watched == m_fields[0] ? LoginState::LoginField : LoginState::PasswordField;
            if (field == LoginState::LoginField) {
                TakeTypedText();
                m_state.PressEnter(field);
                ShowState();
            } else {
                Check();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KvLogin::TakeTypedText()
{
    m_state.txtField[0] = m_fields[0]->text();
    m_state.txtField[1] = m_fields[1]->text();
}

void KvLogin::Check()
{
    TakeTypedText();
    m_state.Ok();
    if (m_state.result == LoginState::Result::LoggedIn) {
        accept();
        return;
    }
    ShowState();
}

void KvLogin::ShowState()
{
    for (int i = 0; i < 2; ++i)
        if (m_fields[i]->text() != m_state.txtField[i])
            m_fields[i]->setText(m_state.txtField[i]);
    m_fields[m_state.focus]->setFocus();
}

void KvLogin::reject()
{
    // Escape in either field and Cancel end the program, without a message.
    m_state.Cancel();
    QDialog::reject();
}

} // namespace kivo
