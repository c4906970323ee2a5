#include "KvSpecific.h"

#include "Accessibility.h"
#include "Appearance.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace kivo {

KvSpecific::KvSpecific(ProgramContext& context, QWidget* parent)
    : QDialog(parent)
    , m_state(context)
{
    setObjectName(QStringLiteral("KvSpecific"));
    setWindowTitle(QStringLiteral("Specifics"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("Specifics..."), this);
    heading->setObjectName(QStringLiteral("lblHead"));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 4);
    heading->setFont(font);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(24, 16, 24, 16);
    grid->addWidget(heading, 0, 0, 1, 2);
    for (int i = 1; i < SpecificsState::TableCount + 2; ++i) {
        const QString caption = i == 1 ? QStringLiteral("Database Size:") : m_state.lblField[i - 2];
        m_labels[i] = new QLabel(caption, this);
        m_labels[i]->setObjectName(QStringLiteral("lblField(%1)").arg(i));
        m_values[i] = new QLineEdit(this);
        m_values[i]->setReadOnly(true);
        m_values[i]->setAlignment(Qt::AlignRight);
        const QString element = QStringLiteral("txtField(%1)").arg(i);
        m_values[i]->setObjectName(element);
        Describe(m_values[i], caption, element);
        m_labels[i]->setBuddy(m_values[i]);
        grid->addWidget(m_labels[i], i, 0);
        grid->addWidget(m_values[i], i, 1);
    }
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    Describe(close, QStringLiteral("Close"), QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    grid->addWidget(close, SpecificsState::TableCount + 2, 1, Qt::AlignRight);
    Describe(this, QStringLiteral("Specifics"), QStringLiteral("KvSpecific"));
    ApplyAppearance(context, this);
    ShowState();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("tmrSpec"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &KvSpecific::Calculate);
    m_timer->start();
}

QString KvSpecific::value(int index) const
{
    return m_values[index] ? m_values[index]->text() : QString();
}

QString KvSpecific::label(int index) const
{
    return m_labels[index] ? m_labels[index]->text() : QString();
}

void KvSpecific::Calculate()
{
    m_state.Calculate([this] {
        ShowState();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
}

void KvSpecific::ShowState()
{
    for (int i = 1; i < SpecificsState::TableCount + 2; ++i)
        m_values[i]->setText(m_state.txtField[i]);
}

} // namespace kivo
