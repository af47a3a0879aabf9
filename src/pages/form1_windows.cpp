// The openers of the settings windows and of the AQ calibration window.
#include "pages/form1.h"

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
        connect(opener.first, &QPushButton::clicked, this, [window = opener.second] { SettingsWindows::open(window()); });
    connect(ui.btShowAQ, &QPushButton::clicked, this,
            [this] { aqcal_->open({TesterIpM, TesterIpV, VerifyReadCount, aqcal_->measuringPort}); });
}
