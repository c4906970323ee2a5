#pragma once

#include "AdminOptions.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace kivo {

class ProgramContext;

// The options screen: "Clear Old Backup Files" and "Clear Error Listing", each an action once
// ticked and confirmed (AdminOptions), and "Close".
class KvOption : public QDialog {
    Q_OBJECT
public:
    explicit KvOption(ProgramContext& context, QWidget* parent = nullptr);

    QCheckBox* box(int index) const { return m_boxes[index]; }

private:
    void ShowState();

    AdminOptions m_state;
    QCheckBox* m_boxes[2];
    QPushButton* m_close;
};

} // namespace kivo
