#pragma once
// The writes the set-parameter command queues beside the system parameters
// for devices whose short layout lacks those values: sensor types, AQ channel
// types, AI alarm limits, gateway and subnet mask. Each builder reads the page
// (or the staged values) when the dispatcher runs it.
#include <QByteArray>
#include <array>
#include <cstdint>

class Engine;
class Controls;
struct DeviceData;

void registerParamWriteRows(Engine& engine, DeviceData& dev, const Controls& controls);

// The AI alarm limits of the page, as the alarm write and the long
// system-parameter layout carry them: signed 16-bit values; a box that does
// not fit refuses the step with a word that names it.
struct AlarmLimits {
    std::array<std::int16_t, 8> up{}, down{};
};
AlarmLimits alarmLimits(const Controls& c);
// The gateway and subnet mask boxes as the gateway write's block, each box a
// byte; refused as above.
QByteArray gatewayBlock(const Controls& c);
