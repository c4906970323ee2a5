#include "KvOption.h"

#include "Accessibility.h"
#include "Appearance.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

KvOption::KvOption(ProgramContext& context, QWidget* parent)
    : QDialog(parent)
    , m_state(context)
{
    setObjectName(QStringLiteral("KvOption"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("Options..."), this);
    heading->setObjectName(QStringLiteral("lblHead"));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 4);
    heading->setFont(font);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(heading);
    const QString captions[2]
        = { QStringLiteral("Clear Old Backup Files"), QStringLiteral("Clear Error Listing") };
    for (int i = 0; i < 2; ++i) {
        const QString element = QStringLiteral("chkField(%1)").arg(i);
        m_boxes[i] = new QCheckBox(captions[i], this);
        m_boxes[i]->setObjectName(element);
        Describe(m_boxes[i], captions[i], element);
        // The state decides what a click means; the box only shows it.
        connect(m_boxes[i], &QCheckBox::clicked, this, [this, i] {
            m_state.Click(i);
            ShowState();
        });
        layout->addWidget(m_boxes[i]);
    }
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    Describe(m_close, QStringLiteral("Close"), QStringLiteral("cmdClose"));
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(m_close, 0, Qt::AlignRight);
    Describe(this, QStringLiteral("Options"), QStringLiteral("KvOption"));
    ApplyAppearance(context, this);
    ShowState();
}

void KvOption::ShowState()
{
    for (int i = 0; i < 2; ++i)
        m_boxes[i]->setChecked(m_state.chkField[i]);
}

} // namespace kivo
