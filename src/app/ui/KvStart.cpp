#include "KvStart.h"

#include "Accessibility.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace kivo {

KvStart::KvStart(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("KvStart"));
    setWindowTitle(QStringLiteral("Kivo"));
    setModal(true);

    m_logo = new QLabel(QStringLiteral("Kivo"), this);
    m_logo->setObjectName(QStringLiteral("pctLogo"));
    m_logo->setAlignment(Qt::AlignCenter);
    QFont logoFont = m_logo->font();
    logoFont.setPointSize(36);
    logoFont.setBold(true);
    m_logo->setFont(logoFont);
    m_logo->setStyleSheet(QStringLiteral("color: white; background-color: #1f5f8b; padding: 18px 48px;"));
    Describe(m_logo, QStringLiteral("Kivo"), QStringLiteral("pctLogo"));

    m_step = new QLabel(QStringLiteral("Checking.."), this);
    m_step->setObjectName(QStringLiteral("lblStep"));
    m_step->setAlignment(Qt::AlignCenter);
    Describe(m_step, QStringLiteral("Step"), QStringLiteral("lblStep"));

    m_progress = new QLabel(this);
    m_progress->setObjectName(QStringLiteral("lblProgress"));
    m_progress->setAlignment(Qt::AlignCenter);
    m_progress->setMinimumWidth(220);
    Describe(m_progress, QStringLiteral("Progress"), QStringLiteral("lblProgress"));

    // The screen's timer: in the About box it stays stopped, so no work runs.
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("tmrStart"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(m_logo);
    layout->addWidget(m_step);
    layout->addWidget(m_progress);
    Describe(this, QStringLiteral("Kivo"), QStringLiteral("KvStart"));
    setFixedSize(sizeHint());
}

bool KvStart::RunMaintenance(StartupMaintenance& work)
{
    bool completed = false;
    connect(m_timer, &QTimer::timeout, this, [&] {
        m_working = true;
        completed = work.Run(*this);
        m_working = false;
        accept();
    });
    m_timer->start();
    exec();
    return completed;
}

void KvStart::ShowAbout(const QString& enterpriseShort, QWidget* parent)
{
    KvStart about(parent);
    about.setWindowFlags(Qt::Dialog);
    about.setWindowTitle(QStringLiteral("About"));
    about.m_step->setText(enterpriseShort);
    about.m_step->setVisible(true);
    about.exec();
}

QString KvStart::stepText() const
{
    return m_step->text();
}

QString KvStart::progressText() const
{
    return m_progress->text();
}

void KvStart::ShowStep(const QString& label)
{
    m_step->setText(label);
    Busy();
}

void KvStart::AddDot()
{
    m_progress->setText(m_progress->text() + u'.');
    Busy();
}

void KvStart::Busy()
{
    // Keeps the screen painted during long file work without waiting for anything.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void KvStart::reject()
{
    if (!m_working)
        QDialog::reject();
}

} // namespace kivo
