#pragma once

#include "Messages.h"

class QWidget;

namespace kivo {

// Message boxes titled with the program's name, parented to the active window.
class QtMessages : public Messages {
public:
    explicit QtMessages(QWidget* parent = nullptr);
    void SetParent(QWidget* parent) { m_parent = parent; }
    void Notice(const QString& text) override;
    bool Ask(const QString& text) override;

    static QString Title();

private:
    QWidget* m_parent;
};

} // namespace kivo
