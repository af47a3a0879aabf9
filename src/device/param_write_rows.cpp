#include "device/param_write_rows.h"

#include "base/errorlog.h"
#include "base/numbers.h"
#include "device/controls.h"
#include "device/device_data.h"
#include "device/shared_rows.h"
#include "device/texts.h"
#include "link/engine.h"
#include "proto/eth_commands.h"
#include "proto/param_blocks.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"

using namespace serial;
using namespace net;

namespace {

// Alarm limits: the number the box begins with, rounded; beyond a 16-bit
// value, or with a box left empty, the builder ends and nothing is sent.
QByteArray alarmLimits(const Controls& c)
{
    const auto limit = [&c](const QString& name, int i) {
        const QString t = c.text(name, i);
        if (t.trimmed().isEmpty())
            throw RuntimeError(QString::fromUtf8(texts2::ALARM_LIMIT_EMPTY));
        return toInt16(leadingNumber(t));
    };
    std::array<std::int16_t, 8> up{}, down{};
    for (int i = 0; i < 8; ++i) {
        up[std::size_t(i)] = limit(QStringLiteral("txt_AIUp"), i);
        down[std::size_t(i)] = limit(QStringLiteral("txt_AIDown"), i);
    }
    return blocks::aiAlarmWriteBlock(up, down);
}

QByteArray gatewayBlock(const Controls& c)
{
    std::array<std::uint8_t, 4> gate{}, mask{};
    for (int i = 0; i < 4; ++i) {
        gate[std::size_t(i)] = toByte(strictNumber(c.text(QStringLiteral("txtGate"), i)));
        mask[std::size_t(i)] = toByte(strictNumber(c.text(QStringLiteral("txtSubNet"), i)));
    }
    return blocks::netGateBlock(gate, mask);
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
    e->setSerialBuilder(QS_WRITE_AI_ALARM, [e, c] { sendSerialPayload(*e, QS_WRITE_AI_ALARM, alarmLimits(*c), 39); });
    e->setEthBuilder(QE_WRITE_AI_ALARM, [e, c] {
        e->WritePayload = alarmLimits(*c);
        e->WriteCmd();
    });

    // WriteNetGate
    e->setSerialBuilder(QS_WRITE_GATEWAY, [e, c] { sendSerialPayload(*e, FN_WRITE_GATEWAY, gatewayBlock(*c), 7); });
    e->setEthBuilder(QE_WRITE_GATEWAY, [e, c] {
        e->WritePayload = gatewayBlock(*c);
        e->WriteCmd();
    });
}
