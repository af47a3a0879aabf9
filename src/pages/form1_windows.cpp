// The openers of the settings windows and of the AQ calibration window.
#include "pages/form1.h"
#include "pages/texts.h"

#include <QPushButton>

void Form1::connectWindowOpeners()
{
    const std::pair<QPushButton*, std::function<QWidget&()>> openers[] = {
        {ui.btShowZigBee, [this]() -> QWidget& { return settings_->ZigBee(); }},
        {ui.btShowCtrl, [this]() -> QWidget& { return settings_->Form_Ctrl(); }},
        {ui.btShowSM, [this]() -> QWidget& { return settings_->Form_SM(); }},
        {ui.btShowResend, [this]() -> QWidget& { return settings_->Form_Resend(); }},
        {ui.btShowResendSlave, [this]() -> QWidget& { return settings_->Form_Resend_Slave(); }},
        {ui.btShowRongyu, [this]() -> QWidget& { return settings_->Form_Rongyu(); }},
    };
    for (const auto& opener : openers)
        command(opener.first, [window = opener.second] { SettingsWindows::open(window()); });
    command(ui.btShowAQ, [this] {
        aqcal_->open({TesterIpM, TesterIpV, VerifyReadCount, aqcal_->measuringPort,
                      [this](bool held) { aqWindowHoldsLink(held); }});
    });
}

// The AQ window takes the link with the pause button and gives it back with
// it. A link started while it held the link starts its dispatcher now; a link
// the user had paused before stays paused.
void Form1::aqWindowHoldsLink(bool held)
{
    const QString resume = QString::fromUtf8(texts1::RESUME);
    if (held) {
        // The window may write the AQ zero/full points itself: the block read
        // before is no longer what the device holds.
        dev_.AQZeroFullConnection = 0;
        pausedByUser_ = ui.cmdPause->text() == resume ? engine_->connection() : 0;
        ui.cmdPause->setText(resume);
        return;
    }
    const bool stillPaused = pausedByUser_ == engine_->connection();
    ui.cmdPause->setText(stillPaused ? resume : QString::fromUtf8(texts1::PAUSE));
    if (dispatcherDue_ == engine_->connection())
        Engine::enableTimer(engine_->Timer1);
    dispatcherDue_ = pausedByUser_ = 0;
}

void Form1::startDispatcher()
{
    if (!aqcal_->AQPageOpen) {
        engine_->Timer1.start();
        return;
    }
    // Paused under the AQ window until it gives the link back.
    dispatcherDue_ = engine_->connection();
    ui.cmdPause->setText(QString::fromUtf8(texts1::RESUME));
}
