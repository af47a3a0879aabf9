// The test area's DO, output and LED commands and the AQ area's type, DQ and
// zero/full commands. A write pushes its read-back first, so the write runs
// first and the read-back shows what the device took.
#include "pages/form1.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "base/numbers.h"
#include "device/colors.h"
#include "device/io_rows.h"
#include "device/shared_rows.h"
#include "device/texts.h"
#include "pages/texts.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace serial;
using namespace net;

namespace {

constexpr int AQ_TYPE_DQ = 2;

} // namespace

void Form1::connectIoPages()
{
    for (int i = 0; i < 2; ++i)
        command(ui.cmdDO[std::size_t(i)], [this, i] { cmdDO_Click(i); });
    for (int i = 0; i < 18; ++i)
        command(ui.LightState[std::size_t(i)], [this, i] { LightState_Click(i); });
    for (int i = 0; i < 8; ++i)
        command(ui.cmdDQ3[std::size_t(i)], [this, i] { cmdDQ3_Click(i); });
    for (int i = 0; i < 4; ++i)
        command(ui.bt_WriteOrOut[std::size_t(i)], [this, i] { bt_WriteOrOut_Click(i); });
    command(ui.cmdSetAO, [this] { cmdSetAO_Click(); });
    command(ui.Cmd_AQ_Unit, [this] { Cmd_AQ_Unit_Click(); });
    command(ui.bt_ReadAQType, [this] { bt_ReadAQType_Click(); });
    command(ui.bt_WriteAQType, [this] { bt_WriteAQType_Click(); });
    command(ui.bt_FreshDQ, [this] { bt_FreshDQ_Click(); });
    command(ui.bt_ReadAQZeroFull, [this] { bt_ReadAQZeroFull_Click(); });
}

// ---------------------------------------------------------------- DO, outputs, LEDs

void Form1::cmdDO_Click(int index)
{
    trap(QStringLiteral("cmdDO_Click(Form1)"), [&] {
        clickSwitch(*engine_, dev_, controls_, SwitchBank::DO, index);
    });
}

void Form1::cmdSetAO_Click()
{
    trap(QStringLiteral("cmdSetAO_Click(Form1)"), [&] {
        std::array<double, 8> v{};
        for (std::size_t i = 0; i < 8; ++i) {
            const auto x = outputValue(ui.txtAQ_Set[i]->text());
            if (!x) {
                MsgBox(QString::fromUtf8(texts2::OUTPUT_RANGE));
                ui.txtAQ_Set[i]->setFocus();
                return;
            }
            v[i] = *x;
        }
        dev_.AOVal = v;
        engine_->push(QS_READ_DIDO);
        engine_->push(QS_WRITE_AO);
    });
}

void Form1::Cmd_AQ_Unit_Click()
{
    trap(QStringLiteral("Cmd_AQ_Unit_Click(Form1)"), [&] {
        // The first box's value goes to every channel.
        const auto x = outputValue(ui.txtAQ_Set[0]->text());
        if (!x) {
            MsgBox(QString::fromUtf8(texts2::OUTPUT_RANGE));
            ui.txtAQ_Set[0]->setFocus();
            return;
        }
        dev_.AOVal.fill(*x);
        engine_->push(QS_READ_DIDO);
        engine_->push(QS_WRITE_AO);
    });
}

void Form1::LightState_Click(int index)
{
    trap(QStringLiteral("LightState_Click(Form1)"), [&] {
        clickSwitch(*engine_, dev_, controls_, SwitchBank::Leds, index);
    });
}

// ---------------------------------------------------------------- AQ area

void Form1::bt_ReadAQType_Click()
{
    trap(QStringLiteral("bt_ReadAQType_Click(Form1)"),
         [&] { engine_->push(ethernetChosen() ? std::int16_t(QE_READ_AQ_TYPE) : std::int16_t(QS_READ_AQ_TYPE)); });
}

void Form1::bt_FreshDQ_Click()
{
    trap(QStringLiteral("bt_FreshDQ_Click(Form1)"),
         [&] { engine_->push(ethernetChosen() ? std::int16_t(QE_READ_AQ_TO_DQ) : std::int16_t(QS_READ_AQ_TO_DQ)); });
}

void Form1::cmdDQ3_Click(int index)
{
    trap(QStringLiteral("cmdDQ3_Click(Form1)"), [&] {
        clickSwitch(*engine_, dev_, controls_, SwitchBank::DQ, index);
    });
}

void Form1::bt_ReadAQZeroFull_Click()
{
    trap(QStringLiteral("bt_ReadAQZeroFull_Click(Form1)"), [&] {
        engine_->push(ethernetChosen() ? std::int16_t(QE_READ_AQ_ZERO_FULL) : std::int16_t(QS_READ_AQ_ZERO_FULL), 0);
    });
}

void Form1::bt_WriteOrOut_Click(int index)
{
    trap(QStringLiteral("bt_WriteOrOut_Click(Form1)"), [&] {
        aqZeroFullPoints(*engine_, controls_, dev_, index == io::AQZF_FULL); // a box that does not fit queues nothing
        engine_->push(ethernetChosen() ? std::int16_t(QE_WRITE_AQ_ZERO_FULL) : std::int16_t(QS_WRITE_AQ_ZERO_FULL), index);
    });
}

void Form1::SetAQDQChange()
{
    trap(QStringLiteral("SetAQDQChange(Form1)"), [&] {
        bool anyDq = false, anyOutput = false;
        for (std::size_t i = 0; i < 8; ++i) {
            const int type = ui.ComboType2[i]->currentIndex();
            const bool dq = type == AQ_TYPE_DQ;
            anyDq = anyDq || dq;
            anyOutput = anyOutput || !dq;
            // Only a switching channel's DQ button can switch it.
            ui.cmdDQ3[i]->setEnabled(dq);
            QString unit;
            if (dq) {
                for (auto* box : {ui.txt_AQV[i], ui.txt_AQV[i + 8], ui.txt_AQM[i], ui.txt_AQM[i + 8]}) {
                    box->clear();
                    box->setEnabled(false);
                }
            } else {
                unit = type == 1 ? QStringLiteral("mA") : QStringLiteral("V");
            }
            ui.lbl_unit0[i]->setText(unit);
            ui.lbl_unit0[i + 8]->setText(unit);
        }
        bt_FreshDQ_Click();
        if (anyOutput)
            bt_ReadAQZeroFull_Click();
        ui.bt_FreshDQ->setEnabled(anyDq);
        ui.bt_ReadAQZeroFull->setEnabled(anyOutput);
        for (auto* b : ui.bt_WriteOrOut)
            b->setEnabled(anyOutput);
    });
}
