#pragma once
// The progress bar of the main window and its percentage label. A firmware
// upgrade owns the bar from its start to its end: while it does, the
// one-second stepping timer does not move it and no other procedure restarts it.
#include <QObject>

class QLabel;
class QProgressBar;
class QTimer;

class ProgressDisplay : public QObject {
    Q_OBJECT
public:
    // The timer is the window's ProgressTimer; its ticks call ProgressTimer_Timer.
    ProgressDisplay(QProgressBar* bar, QLabel* label, QTimer* timer, QObject* parent = nullptr);

    // Shows the bar with that maximum and value 1 and the label "0.0%"; with
    // `stepping` the timer advances it by one each second.
    void InitProgress(int maximum, bool stepping);
    void StepProgress(int step);
    void ProgressTimer_Timer();
    bool atMaximum() const;
    // Value 0, bar and label hidden, stepping off; the upgrade lets go.
    void endProgress();

    // An upgrade takes the bar (it is then restarted with the upgrade's maximum).
    void takeForUpgrade(int maximum);
    bool upgradeOwns() const { return upgradeOwns_; }

private:
    void show(int maximum);
    void showPercent();

    QProgressBar* bar_;
    QLabel* label_;
    QTimer* timer_;
    bool stepping_ = false;
    bool upgradeOwns_ = false;
};
