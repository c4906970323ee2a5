#include "QtMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace kivo {

QtMessages::QtMessages(QWidget* parent)
    : m_parent(parent)
{
}

QString QtMessages::Title()
{
    return QStringLiteral("Kivo");
}

static QWidget* DialogParent(QWidget* preferred)
{
    if (QWidget* active = QApplication::activeModalWidget())
        return active;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return preferred;
}

void QtMessages::Notice(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok, DialogParent(m_parent));
    box.setAccessibleName(text);
    box.exec();
}

bool QtMessages::Ask(const QString& text)
{
    QMessageBox box(
        QMessageBox::Question, Title(), text, QMessageBox::Yes | QMessageBox::No, DialogParent(m_parent));
    box.setDefaultButton(QMessageBox::No);
    box.setAccessibleName(text);
    return box.exec() == QMessageBox::Yes;
}

} // namespace kivo
