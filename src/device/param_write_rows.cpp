#include "device/param_write_rows.h"

#include "device/controls.h"
#include "device/device_data.h"
#include "device/shared_rows.h"
#include "device/typed_values.h"
#include "link/engine.h"
#include "proto/eth_commands.h"
#include "proto/param_blocks.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"

using namespace serial;
using namespace net;

AlarmLimits alarmLimits(const Controls& c)
{
    AlarmLimits a;
    for (int i = 0; i < 8; ++i) {
        a.up[std::size_t(i)] = std::int16_t(boxValue(c, QStringLiteral("txt_AIUp"), i, -32768, 32767));
        a.down[std::size_t(i)] = std::int16_t(boxValue(c, QStringLiteral("txt_AIDown"), i, -32768, 32767));
    }
    return a;
}

QByteArray gatewayBlock(const Controls& c)
{
    std::array<std::uint8_t, 4> gate{}, mask{};
    for (int i = 0; i < 4; ++i) {
        gate[std::size_t(i)] = std::uint8_t(boxValue(c, QStringLiteral("txtGate"), i, 0, 255));
        mask[std::size_t(i)] = std::uint8_t(boxValue(c, QStringLiteral("txtSubNet"), i, 0, 255));
    }
    return blocks::netGateBlock(gate, mask);
}

namespace {
QByteArray alarmBlock(const Controls& c)
{
    const auto a = alarmLimits(c);
    return blocks::aiAlarmWriteBlock(a.up, a.down);
}
} // namespace

void registerParamWriteRows(Engine& engine, DeviceData& dev, const Controls& controls)
{
    Engine* e = &engine;
    DeviceData* d = &dev;
    const Controls* c = &controls;

    // SetSensorType / StoreSensortype (the dispatcher sends the payload).
    e->setSerialBuilder(QS_WRITE_SENSOR_TYPE,
                        [e, d] { sendSerialPayload(*e, QS_WRITE_SENSOR_TYPE, bytes(d->SysInfo.SensorType), 18); });
    e->setEthBuilder(QE_WRITE_SENSOR_TYPE, [e, d] { e->WritePayload = bytes(d->SysInfo.SensorType); });

    // WriteAQType
    e->setSerialBuilder(QS_WRITE_AQ_TYPE, [e, d] { sendSerialPayload(*e, QS_WRITE_AQ_TYPE, bytes(d->AQTypeBuf), 15); });
    e->setEthBuilder(QE_WRITE_AQ_TYPE, [e, d] {
        e->WritePayload = bytes(d->AQTypeBuf);
        e->WriteCmd();
    });

    // WriteAIWarning
    e->setSerialBuilder(QS_WRITE_AI_ALARM, [e, c] { sendSerialPayload(*e, QS_WRITE_AI_ALARM, alarmBlock(*c), 39); });
    e->setEthBuilder(QE_WRITE_AI_ALARM, [e, c] {
        e->WritePayload = alarmBlock(*c);
        e->WriteCmd();
    });

    // WriteNetGate
    e->setSerialBuilder(QS_WRITE_GATEWAY, [e, c] { sendSerialPayload(*e, FN_WRITE_GATEWAY, gatewayBlock(*c), 7); });
    e->setEthBuilder(QE_WRITE_GATEWAY, [e, c] {
        e->WritePayload = gatewayBlock(*c);
        e->WriteCmd();
    });
}
