#pragma once

#include "StartupMaintenance.h"

#include <QDialog>

class QLabel;
class QTimer;

namespace kivo {

// The start-up screen: a logo, a step label and a line of progress dots. At start it runs the
// maintenance on the closed database file as soon as it is shown (no waiting on its timer) and
// closes itself; Escape is ignored while it works. As the About box its timer stays stopped:
// the step label shows the enterprise's short name and Escape closes it.
class KvStart : public QDialog, public MaintenanceProgress {
    Q_OBJECT
public:
    explicit KvStart(QWidget* parent = nullptr);

    // Shows the screen modally, runs the work and closes; returns whether the work completed.
    bool RunMaintenance(StartupMaintenance& work);
    // Shows the screen modally as the About box.
    static void ShowAbout(const QString& enterpriseShort, QWidget* parent);

    QString stepText() const;
    QString progressText() const;

    // MaintenanceProgress
    void ShowStep(const QString& label) override;
    void AddDot() override;
    void Busy() override;

protected:
    void reject() override;

private:
    QLabel* m_logo;
    QLabel* m_step;
    QLabel* m_progress;
    QTimer* m_timer;
    bool m_working = false;
};

} // namespace kivo
