// The simulated device's control commands: stopping and clearing the user
// program, and the parameter set saved in its flash, restored as a whole, by
// groups, or back to the factory set.
#include "devsim/device_model.h"

#include "devsim/bytes.h"

struct SimDeviceModel::StoredParams
{
    QByteArray ctrl, sm, deviceId, pdTag, resend, resendSlave, zigbee, rongyu;
    std::array<QByteArray, 16> slaves;
    std::array<qint16, 8> aiAlarmUp{}, aiAlarmDown{};
};

namespace {

using sim::u8;
using Stored = SimDeviceModel::StoredParams;

Stored capture(const SimDeviceModel &m)
{
    return {m.ctrl, m.sm, m.deviceId, m.pdTag, m.resend, m.resendSlave, m.zigbee, m.rongyu,
            m.slaves, m.aiAlarmUp, m.aiAlarmDown};
}

// Puts back the groups whose bit is set in the mask.
void putBack(SimDeviceModel &m, const Stored &s, quint8 groups)
{
    const auto group = [groups](int bit) { return (groups >> bit) & 1; };
    if (group(0))
        m.ctrl = s.ctrl;
    if (group(1))
        m.sm = s.sm;
    if (group(2))
        m.slaves = s.slaves;
    if (group(3)) {
        m.deviceId = s.deviceId;
        m.pdTag = s.pdTag;
    }
    if (group(4)) {
        m.aiAlarmUp = s.aiAlarmUp;
        m.aiAlarmDown = s.aiAlarmDown;
    }
    if (group(5)) {
        m.resend = s.resend;
        m.resendSlave = s.resendSlave;
    }
    if (group(6))
        m.zigbee = s.zigbee;
    if (group(7))
        m.rongyu = s.rongyu;
}

} // namespace

void SimDeviceModel::stopAndClear()
{
    ++stopAndClearCount;
    runState = 0;
    noUserProgram = 1;
}

void SimDeviceModel::saveParams()
{
    ++saveCount;
    storedParams = std::make_shared<const Stored>(capture(*this));
}

void SimDeviceModel::restoreParams(const QByteArray &request)
{
    ++restoreCount;
    quint8 groups = 0xFF;
    if (request.size() >= 3 && u8(request, 0) == 0x55 && u8(request, 1) == 0xAA) {
        groups = u8(request, 2);
        lastRestoreMask = groups;
    }
    // Nothing saved yet: the flash holds the factory set.
    putBack(*this, storedParams ? *storedParams : capture(SimDeviceModel()), groups);
}

void SimDeviceModel::restoreDefaults()
{
    ++restoreDefaultsCount;
    putBack(*this, capture(SimDeviceModel()), 0xFF);
}
