#include "KvAccess.h"
#include "Appearance.h"

#include "Accessibility.h"
#include "MaskStyle.h"
#include "ProgramContext.h"
#include "Settings.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

KvAccess::KvAccess(ProgramContext& context, QWidget* parent)
    : QDialog(parent)
    , m_state(context)
{
    setObjectName(QStringLiteral("KvAccess"));
    setWindowTitle(QStringLiteral("Access Code..."));
    setModal(true);

    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("txtField"));
    m_field->setMaxLength(AccessPrompt::FieldWidth);
    m_field->setMinimumWidth(200);
    MaskStyle::Apply(m_field);
    m_field->installEventFilter(this);
    Describe(m_field, QStringLiteral("Access Code"), QStringLiteral("txtField"));
    connect(m_field, &QLineEdit::textEdited, this, [this](const QString& text) { m_state.txtField = text; });

    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setAutoDefault(false);
    Describe(m_close, QStringLiteral("Close"), QStringLiteral("cmdClose"));
    connect(m_close, &QPushButton::clicked, this, &KvAccess::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(m_field, 1);
    row->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addLayout(row);
    Describe(this, QStringLiteral("Access Code..."), QStringLiteral("KvAccess"));
    ApplyAppearance(context, this);
    setFixedSize(sizeHint());
    m_field->setFocus();
}

bool KvAccess::AskAccessCode(ProgramContext& context, QWidget* parent)
{
    KvAccess prompt(context, parent);
    prompt.exec();
    return prompt.state().granted;
}

bool KvAccess::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            m_state.txtField = m_field->text();
            m_state.Confirm();
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KvAccess::reject()
{
    // "Close" and the window's close button grant nothing.
    m_state.Close();
    QDialog::reject();
}

} // namespace kivo
