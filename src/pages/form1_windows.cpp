// The openers of the settings windows and of the AQ calibration window.
#include "base/errorlog.h"
#include "device/io_rows.h"
#include "pages/form1.h"
#include "pages/texts.h"

#include <QComboBox>

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
// What it read or wrote is the device's data: when it gives the link back,
// the page shows what the device now holds, and its next click or write
// starts from that.
void Form1::aqWindowHoldsLink(bool held)
{
    const AqPicture now{dev_.AQType, dev_.AQTypeConnection, dev_.AQZeroFullRead, dev_.AQZeroFullConnection};
    if (held) {
        aqAtHold_ = now;
        return;
    }
    trap(QStringLiteral("aqWindowHoldsLink(Form1)"), [&] {
        showSwitches(*engine_, controls_, dev_);
        const int connection = engine_->connection();
        if (now.pointsConnection == connection
            && (now.points != aqAtHold_.points || aqAtHold_.pointsConnection != connection))
            showAqZeroFullBoxes(controls_, dev_);
        if (now.typesConnection == connection
            && (now.types != aqAtHold_.types || aqAtHold_.typesConnection != connection)) {
            bool changed = false;
            for (std::size_t i = 0; i < 8; ++i) {
                const int type = dev_.AQType[i] <= 2 ? dev_.AQType[i] : 0;
                changed = changed || ui.ComboType2[i]->currentIndex() != type;
                ui.ComboType2[i]->setCurrentIndex(type);
            }
            if (changed)
                SetAQDQChange(); // as after the page's own read of the types
        }
    });
}