// The device control page's handlers: RAM test, user program, lamp-board
// check, Profibus, AI alarm limits, store and restore, and the slave table.
#include "pages/form1.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "device/control_rows.h"
#include "device/param_write_rows.h"
#include "proto/control_blocks.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"
#include "pages/texts.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

using namespace serial;
using namespace net;

namespace {
QString u(const char* s) { return QString::fromUtf8(s); }

constexpr const char* CLEAR_CODE_ASK = "停止下位机运行并清除下位机指令";
constexpr const char* CLEAR_CODE_TITLE = "是否确认？";
constexpr const char* SET_DEFAULT_ASK = "是否确定要恢复默认参数？";
constexpr const char* RESUME_PARAM_ASK = "是否要恢复选中参数？";
} // namespace

bool Form1::serialOnly()
{
    if (!ethernetChosen())
        return true;
    MsgBox(u(texts1::SERIAL_ONLY));
    return false;
}

void Form1::connectControlPage()
{
    const auto on = [this](QPushButton* b, void (Form1::*h)()) { command(b, [this, h] { (this->*h)(); }); };
    on(ui.bt_CheckRAM, &Form1::bt_CheckRAM_Click);
    on(ui.cmdClearCode, &Form1::cmdClearCode_Click);
    on(ui.cmdCheckLight, &Form1::cmdCheckLight_Click);
    on(ui.cmdStopCheck, &Form1::cmdStopCheck_Click);
    on(ui.bt_RunStop, &Form1::bt_RunStop_Click);
    on(ui.cmdFreshAI, &Form1::cmdFreshAI_Click);
    on(ui.cmd_ReadAIWarning, &Form1::cmd_ReadAIWarning_Click);
    on(ui.cmd_WriteAIWarning, &Form1::cmd_WriteAIWarning_Click);
    on(ui.Command_Store, &Form1::Command_Store_Click);
    on(ui.Command_Resume, &Form1::Command_Resume_Click);
    on(ui.Cmd_SetDefault, &Form1::Cmd_SetDefault_Click);
    on(ui.Cmd_ResumeParam, &Form1::Cmd_ResumeParam_Click);
    on(ui.btReadProfibus, &Form1::btReadProfibus_Click);
    on(ui.btSlaveShow, &Form1::btSlaveShow_Click);
    // The check box has toggled itself when the click ends.
    command(ui.ckProfibus, [this] { ckProfibus_MouseUp(); });
}

void Form1::bt_CheckRAM_Click()
{
    trap(QStringLiteral("bt_CheckRAM_Click(Form1)"), [&] {
        engine_->push(ethernetChosen() ? std::int16_t(QE_TEST_RAM) : std::int16_t(QS_TEST_RAM), 0);
    });
}

void Form1::cmdClearCode_Click()
{
    trap(QStringLiteral("cmdClearCode_Click(Form1)"), [&] {
        if (MsgBox(u(CLEAR_CODE_ASK), MsgButtons::YesNo, u(CLEAR_CODE_TITLE)) != MsgAnswer::Yes)
            return;
        engine_->push(ethernetChosen() ? std::int16_t(QE_STOP_AND_CLEAR) : std::int16_t(QS_STOP_AND_CLEAR), 0);
    });
}

void Form1::cmdCheckLight_Click()
{
    trap(QStringLiteral("cmdCheckLight_Click(Form1)"), [&] {
        engine_->push(ethernetChosen() ? std::int16_t(QE_LAMP_BOARD_CHECK) : std::int16_t(QS_LAMP_BOARD_CHECK), 1);
    });
}

void Form1::cmdStopCheck_Click()
{
    trap(QStringLiteral("cmdStopCheck_Click(Form1)"), [&] {
        engine_->push(ethernetChosen() ? std::int16_t(QE_LAMP_BOARD_CHECK) : std::int16_t(QS_LAMP_BOARD_CHECK), 0);
    });
}

void Form1::bt_RunStop_Click()
{
    trap(QStringLiteral("bt_RunStop_Click(Form1)"), [&] { engine_->push(QS_RUN_STOP); });
}

void Form1::cmdFreshAI_Click()
{
    trap(QStringLiteral("cmdFreshAI_Click(Form1)"), [&] { engine_->push(QS_READ_AI_ALARM); });
}

void Form1::cmd_ReadAIWarning_Click() { cmdFreshAI_Click(); }

void Form1::cmd_WriteAIWarning_Click()
{
    // A limit the device cannot take as it stands is refused before anything is queued.
    if (!trap(QStringLiteral("cmd_WriteAIWarning_Click(Form1)"), [&] { alarmLimits(controls_); }))
        return;
    // The read-back first, so the limits are written and then read again.
    cmd_ReadAIWarning_Click();
    trap(QStringLiteral("cmd_WriteAIWarning_Click(Form1)"), [&] { engine_->push(QS_WRITE_AI_ALARM); });
}

void Form1::Command_Store_Click()
{
    trap(QStringLiteral("Command_Store_Click(Form1)"), [&] {
        if (serialOnly())
            engine_->push(QS_SAVE_PARAMS);
    });
}

void Form1::Command_Resume_Click()
{
    if (!serialOnly())
        return;
    cmdGetSys_Click();
    trap(QStringLiteral("Command_Resume_Click(Form1)"), [&] { engine_->push(QS_RESTORE_PARAMS); });
}

void Form1::Cmd_SetDefault_Click()
{
    trap(QStringLiteral("Cmd_SetDefault_Click(Form1)"), [&] {
        if (!serialOnly())
            return;
        if (nb_->UpgradeMode() != 5
            && MsgBox(u(SET_DEFAULT_ASK), MsgButtons::OkCancel) != MsgAnswer::Ok)
            return;
        engine_->push(QS_RESTORE_DEFAULTS);
    });
}

void Form1::Cmd_ResumeParam_Click()
{
    trap(QStringLiteral("Cmd_ResumeParam_Click(Form1)"), [&] {
        if (MsgBox(u(RESUME_PARAM_ASK), MsgButtons::OkCancel) != MsgAnswer::Ok)
            return;
        std::array<bool, control::RESTORE_GROUPS> groups{};
        for (std::size_t i = 0; i < groups.size(); ++i)
            groups[i] = ui.Check_SysParam[i]->isChecked();
        dev_.ResumeMask = control::ResumeMask(groups);
        engine_->push(ethernetChosen() ? std::int16_t(QE_RESTORE_SELECTED) : std::int16_t(QS_RESTORE_SELECTED));
    });
}

void Form1::btReadProfibus_Click()
{
    trap(QStringLiteral("btReadProfibus_Click(Form1)"), [&] {
        if (serialOnly())
            engine_->push(QS_READ_PROFIBUS);
    });
}

void Form1::ckProfibus_MouseUp()
{
    trap(QStringLiteral("ckProfibus_MouseUp(Form1)"), [&] {
        if (!serialOnly()) {
            // The box shows the state the device was told, not the click's.
            const QSignalBlocker quiet(ui.ckProfibus);
            ui.ckProfibus->toggle();
            return;
        }
        ui.ckProfibus->setText(profibusCaption(ui.ckProfibus->isChecked()));
        engine_->push(QS_WRITE_PROFIBUS);
    });
}

void Form1::btSlaveShow_Click()
{
    trap(QStringLiteral("btSlaveShow_Click(Form1)"), [&] { slaves_->showAndRead(); });
}
