#pragma once
// The data blocks of the settings windows. Where the device documents no field
// layout (controller parameters, forwarding table, redundancy) a block is a
// run of cells exactly as read: bytes, signed 16-bit or signed 32-bit values,
// little-endian. The same bytes travel on both links: serial from frame byte 3,
// Ethernet from reply byte 12 or as the write payload.
#include <QByteArray>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace blocks {

enum class Cell : std::uint8_t { U8, I16, I32 };
int cellBytes(Cell c);

inline constexpr int CTRL_SIZE = 242;          // controller parameters
inline constexpr int SM_SIZE = 512;            // SM area: 128 signed 32-bit values
inline constexpr int RESEND_HEAD_SIZE = 8;     // forwarding table: head, then entries
inline constexpr int RESEND_ENTRY_SIZE = 24;
inline constexpr int RESEND_ENTRIES = 20;
inline constexpr int RESEND_SIZE = RESEND_HEAD_SIZE + RESEND_ENTRIES * RESEND_ENTRY_SIZE;
inline constexpr int RESEND_SLAVE_SIZE = 64;   // 16 pairs of start and end numbers (i16)
inline constexpr int RONGYU_SIZE = 208;        // redundancy
inline constexpr int ZIGBEE_WRITE_ETH_SIZE = 42; // the 34-byte block, then 8 zero bytes

// The cells of the first `size` bytes of a payload; nothing when it is shorter.
std::optional<std::vector<std::int32_t>> decodeCells(std::span<const std::uint8_t> payload, int size, Cell cell);
// The bytes of the cells; nothing when a value does not fit its cell.
std::optional<QByteArray> encodeCells(const std::vector<std::int32_t>& values, Cell cell);

} // namespace blocks
