#pragma once

#include "SpecificsState.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QTimer;

namespace kivo {

class ProgramContext;

// The database specifics screen: the database size and the six row counts, calculated once
// the screen shows (its timer's first tick), each painted as it is known.
class KvSpecific : public QDialog {
    Q_OBJECT
public:
    explicit KvSpecific(ProgramContext& context, QWidget* parent = nullptr);

    QString value(int index) const;
    QString label(int index) const;

private:
    void Calculate();
    void ShowState();

    SpecificsState m_state;
    QLabel* m_labels[SpecificsState::TableCount + 2] = {};
    QLineEdit* m_values[SpecificsState::TableCount + 2] = {};
    QTimer* m_timer;
};

} // namespace kivo
