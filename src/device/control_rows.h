#pragma once
// The device control commands' builders and reply effects on both links:
// lamp-board check, run/stop, stop-and-clear, restore of selected groups, the
// extended-RAM test lamps and the Profibus state.
#include <QString>
#include <cstdint>
#include <span>

class Engine;
class Controls;
struct DeviceData;

namespace texts2 {
inline constexpr const char* PROFIBUS_ON = "开启";
inline constexpr const char* PROFIBUS_OFF = "关闭";
} // namespace texts2

void registerControlRows(Engine& engine, DeviceData& dev, const Controls& controls);

// The RAM lamps after a test result: red for a failed part, green otherwise.
// Throws on an empty reply.
void DistributeRAMTest(const Controls& c, std::span<const std::uint8_t> payload);
// ckProfibus and its caption after the state read. Throws on an empty reply.
void showProfibus(const Controls& c, std::span<const std::uint8_t> payload);
// The caption that names a Profibus state.
QString profibusCaption(bool on);
