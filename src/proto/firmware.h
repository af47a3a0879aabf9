#pragma once
// Firmware images on the wire: the image cut into 512-byte blocks, and the
// three requests of a transfer (start, block count, one block) on both links.
#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace firmware {

inline constexpr int BLOCK_SIZE = 512;
inline constexpr int MAX_BLOCKS = 65535; // the block count travels as an unsigned 16-bit number
inline constexpr char PAD = char(0xFF);  // the rest of the last block, as erased flash reads

inline constexpr std::uint8_t FN_START = 45;
inline constexpr std::uint8_t FN_SIZE = 46;
inline constexpr std::uint8_t FN_BLOCK = 47;
inline constexpr int START_FRAME = 7;
inline constexpr int SIZE_FRAME = 9;
inline constexpr int BLOCK_FRAME = 519;
inline constexpr int START_REPLY = 7;
inline constexpr int SIZE_REPLY = 9;
inline constexpr int BLOCK_REPLY = 7;

enum class CutError { None, Empty, TooLarge };

// The image in blocks of 512 bytes, the last one padded with 0xFF. An empty
// image, or one that needs more than 65535 blocks, gives no blocks and says why.
std::vector<QByteArray> cutBlocks(const QByteArray& image, CutError* why = nullptr);

// Serial requests, whole frames with markers and CRC. `block` must be 512 bytes.
QByteArray startRequest();
QByteArray sizeRequest(std::uint16_t blockCount);
std::optional<QByteArray> blockRequest(const QByteArray& block);

// Ethernet payloads of the start and the block count (index 10003, sub-indices
// 0 and 1); a block goes as its 512 bytes (sub-index 2).
QByteArray startPayload();
QByteArray sizePayload(std::uint16_t blockCount);

} // namespace firmware
