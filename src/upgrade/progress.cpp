#include "upgrade/progress.h"

#include "upgrade/texts.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>

ProgressDisplay::ProgressDisplay(QProgressBar* bar, QLabel* label, QTimer* timer, QObject* parent)
    : QObject(parent), bar_(bar), label_(label), timer_(timer)
{
    if (timer_)
        connect(timer_, &QTimer::timeout, this, &ProgressDisplay::ProgressTimer_Timer);
}

void ProgressDisplay::show(int maximum)
{
    // The maximum is an int: an upgrade of up to 65535 blocks has 65538 steps.
    bar_->setMinimum(0);
    bar_->setMaximum(std::max(maximum, 1));
    bar_->setValue(1);
    bar_->show();
    label_->setText(QString::fromUtf8(texts7::PERCENT_START));
    label_->show();
}

void ProgressDisplay::InitProgress(int maximum, bool stepping)
{
    if (upgradeOwns_)
        return; // the upgrade's end is read from this bar
    show(maximum);
    stepping_ = stepping;
    if (stepping_ && timer_ && !timer_->isActive())
        timer_->start();
}

void ProgressDisplay::takeForUpgrade(int maximum)
{
    upgradeOwns_ = true;
    stepping_ = false;
    show(maximum);
}

void ProgressDisplay::StepProgress(int step)
{
    bar_->setValue(std::min(bar_->value() + step, bar_->maximum()));
    showPercent();
}

void ProgressDisplay::showPercent()
{
    if (atMaximum())
        label_->setText(QString::fromUtf8(texts7::PERCENT_FULL));
    else
        label_->setText(QString::number(100.0 * bar_->value() / bar_->maximum(), 'f', 1) + QLatin1Char('%'));
}

void ProgressDisplay::ProgressTimer_Timer()
{
    if (!stepping_ || upgradeOwns_)
        return;
    StepProgress(1);
    if (atMaximum())
        stepping_ = false;
}

bool ProgressDisplay::atMaximum() const { return bar_->value() >= bar_->maximum(); }

void ProgressDisplay::endProgress()
{
    bar_->setValue(0);
    bar_->hide();
    label_->hide();
    stepping_ = false;
    upgradeOwns_ = false;
}
