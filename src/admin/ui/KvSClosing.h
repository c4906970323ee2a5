#pragma once

#include "PeriodClosing.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kivo {

class ProgramContext;

// The stock closing screen: the notice, "CLOSE DB:" with the closing name, the progress text
// (hidden until the work starts), OK to start and Cancel. After a completed closing the screen
// closes and `endProgram()` tells the caller to end the program.
class KvSClosing : public QDialog {
    Q_OBJECT
public:
    explicit KvSClosing(ProgramContext& context, QWidget* parent = nullptr);

    bool endProgram() const { return m_state.endProgram; }
    PeriodClosing& state() { return m_state; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Start();
    void ShowState();

    ProgramContext& m_context;
    PeriodClosing m_state;
    QPlainTextEdit* m_notice;
    QLabel* m_labels[2];
    QPushButton* m_ok;
    QPushButton* m_cancel;
    bool m_opened = false;
};

} // namespace kivo
