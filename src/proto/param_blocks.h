#pragma once
// Small parameter blocks with write commands of their own: the AI alarm
// limits and the gateway with its subnet mask. The same bytes travel on both
// links (serial from frame byte 3, Ethernet as the write payload).
#include <QByteArray>
#include <array>
#include <cstdint>

namespace blocks {

inline constexpr int AI_ALARM_WRITE_SIZE = 32; // per channel: upper, lower limit (i16)
inline constexpr int NET_GATE_SIZE = 8;        // gateway a.b.c.d, then the mask

QByteArray aiAlarmWriteBlock(const std::array<std::int16_t, 8>& up, const std::array<std::int16_t, 8>& down);
QByteArray netGateBlock(const std::array<std::uint8_t, 4>& gateway, const std::array<std::uint8_t, 4>& mask);

} // namespace blocks
