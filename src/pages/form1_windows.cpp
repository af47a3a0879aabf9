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
    // Showing a window sends nothing: its own buttons read and write.
    for (const auto& opener : openers)
        command(opener.first, [window = opener.second] { SettingsWindows::open(window()); }, Gate::Free);
    command(ui.btShowAQ, [this] {
        aqcal_->open({TesterIpM, TesterIpV, VerifyReadCount, aqcal_->measuringPort,
                      [this](bool held) { aqWindowHoldsLink(held); }});
    });
}

// The AQ window holds the engine's dispatcher itself while it is loaded.
void Form1::aqWindowHoldsLink(bool held)
{
    // The window may write the AQ zero/full points itself: the block read
    // before is no longer what the device holds.
    if (held)
        dev_.AQZeroFullConnection = 0;
}
