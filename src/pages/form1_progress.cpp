// The progress bar of the status area and its percentage label.
#include "pages/form1.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>

void Form1::InitProgress(int maximum, bool timer)
{
    auto* bar = ui.ProgressBar;
    bar->setMinimum(0);
    bar->setMaximum(maximum > 0 ? maximum : 1);
    bar->setValue(1);
    bar->show();
    ui.lb_ProgProc->setText(QStringLiteral("0.0%"));
    ui.lb_ProgProc->show();
    progressStepping_ = timer;
    if (timer && !ProgressTimer.isActive())
        ProgressTimer.start();
}

void Form1::StepProgress(int step)
{
    auto* bar = ui.ProgressBar;
    // A value beyond the maximum would be refused by the bar and leave it behind.
    const int value = std::clamp(bar->value() + step, bar->minimum(), bar->maximum());
    bar->setValue(value);
    if (value >= bar->maximum()) {
        progressStepping_ = false;
        ui.lb_ProgProc->setText(QStringLiteral("100%"));
    } else {
        ui.lb_ProgProc->setText(QString::number(100.0 * value / bar->maximum(), 'f', 1) + QLatin1Char('%'));
    }
}

void Form1::ProgressTimer_Timer()
{
    // Only a bar started with its stepping timer moves on its own; the bar of
    // an upgrade moves with the blocks sent.
    if (progressStepping_ && !ui.ProgressBar->isHidden())
        StepProgress(1);
}

bool Form1::progressAtMaximum() const { return ui.ProgressBar->value() >= ui.ProgressBar->maximum(); }

void Form1::endProgress()
{
    progressStepping_ = false;
    ui.ProgressBar->setValue(0);
    ui.ProgressBar->hide();
    ui.lb_ProgProc->hide();
}
