#include "device/control_rows.h"

#include "base/errorlog.h"
#include "device/colors.h"
#include "device/controls.h"
#include "device/device_data.h"
#include "device/shared_rows.h"
#include "device/texts.h"
#include "link/engine.h"
#include "proto/control_blocks.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"

#include <QCheckBox>

using namespace control;

namespace {

std::uint8_t runStopFromButton(const Controls& c)
{
    return runStopByte(!colors::isFace(c.widget(QStringLiteral("bt_RunStop"))));
}

} // namespace

QString profibusCaption(bool on) { return QString::fromUtf8(on ? texts2::PROFIBUS_ON : texts2::PROFIBUS_OFF); }

void DistributeRAMTest(const Controls& c, std::span<const std::uint8_t> payload)
{
    const std::uint8_t failed = need(decodeRamResult(payload));
    for (int i = 0; i < RAM_PARTS; ++i)
        colors::paint(c.widget(QStringLiteral("ram_sap_%1").arg(i)), (failed >> i) & 1 ? colors::ALARM : colors::ON);
}

void showProfibus(const Controls& c, std::span<const std::uint8_t> payload)
{
    const bool on = need(decodeProfibus(payload));
    auto* box = c.get<QCheckBox>(QStringLiteral("ckProfibus"));
    if (!box)
        throw RuntimeError(QStringLiteral("ckProfibus"));
    box->setChecked(on);
    box->setText(profibusCaption(on));
}

void registerControlRows(Engine& engine, DeviceData& dev, const Controls& controls)
{
    Engine* e = &engine;
    DeviceData* d = &dev;
    const Controls* c = &controls;
    // Each builder serves both links: the serial frame, or the Ethernet payload.
    const auto both = [e](std::int16_t serialCode, std::int16_t ethCode, std::function<void()> builder) {
        e->setSerialBuilder(serialCode, builder);
        e->setEthBuilder(ethCode, builder);
    };
    // WriteCheckLight: 1 starts the automatic check, 0 stops it.
    both(serial::QS_LAMP_BOARD_CHECK, net::QE_LAMP_BOARD_CHECK,
         [e] { sendBlock(*e, serial::QS_LAMP_BOARD_CHECK, oneByte(std::uint8_t(e->PendParam)), 8); });
    // WriteRunStop
    both(serial::QS_RUN_STOP, net::QE_RUN_STOP,
         [e, c] { sendBlock(*e, serial::QS_RUN_STOP, oneByte(runStopFromButton(*c)), 8); });
    // StopAndClear on Ethernet: the request carries no data.
    e->setEthBuilder(net::QE_STOP_AND_CLEAR, [e] { sendBlock(*e, serial::QS_STOP_AND_CLEAR, {}, 7); });
    // ResumeParam_E
    e->setEthBuilder(net::QE_RESTORE_SELECTED,
                     [e, d] { sendBlock(*e, serial::QS_RESTORE_PARAMS, restoreSelectedBlock(d->ResumeMask), 7); });

    const auto ram = Engine::decodes(decodeRamResult);
    e->setSerialDecoder(std::uint8_t(serial::QS_TEST_RAM), [e, c] { DistributeRAMTest(*c, replyPayload(*e, true)); },
                        ram);
    e->setEthAction(QStringLiteral("DistributeRAMTest"), [e, c] { DistributeRAMTest(*c, replyPayload(*e, false)); },
                    ram);
    e->setSerialDecoder(serial::FN_READ_PROFIBUS, [e, c] { showProfibus(*c, replyPayload(*e, true)); },
                        Engine::decodes(decodeProfibus));
}
