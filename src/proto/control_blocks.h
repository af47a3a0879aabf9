#pragma once
// The one-byte blocks of the device control commands: the extended-RAM test
// result, the Profibus state, the one-byte control payloads (lamp-board check,
// run/stop, Profibus write) and the restore-selected block. The same bytes
// travel on both links (serial from frame byte 3, Ethernet as the payload).
#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace control {

inline constexpr int RAM_PARTS = 8;
inline constexpr int RESTORE_GROUPS = 8;
inline constexpr int RESTORE_SELECTED_SIZE = 3;

// Bit i set: part i of the RAM test failed. Nothing from an empty reply.
std::optional<std::uint8_t> decodeRamResult(std::span<const std::uint8_t> b);
// The Profibus switch as read: any non-zero byte is on.
std::optional<bool> decodeProfibus(std::span<const std::uint8_t> b);

// Run/stop: 1 starts the user program, 0 stops it. The window shows the state
// it last told the device; a stopped program is started.
inline std::uint8_t runStopByte(bool shownRunning) { return shownRunning ? 0 : 1; }

// One byte as a payload.
QByteArray oneByte(std::uint8_t v);

// Bit i of the mask is restore group i.
std::uint8_t ResumeMask(const std::array<bool, RESTORE_GROUPS>& groups);
// 55 AA, then the mask.
QByteArray restoreSelectedBlock(std::uint8_t mask);

} // namespace control
