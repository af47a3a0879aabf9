#pragma once
// The serial frame: 55 55, function code, payload, CRC low, CRC high, AA AA.
// The CRC is CRC-16/MODBUS over the function code and the payload.
#include <QByteArray>
#include <cstdint>
#include <span>

namespace serial {

inline constexpr std::uint8_t HEAD = 0x55;
inline constexpr std::uint8_t TAIL = 0xAA;
inline constexpr int FRAMING = 7;          // bytes of a frame without payload
inline constexpr int PAYLOAD_AT = 3;       // payload offset in a frame
inline constexpr int CRC_CHECK_LIMIT = 298; // frames this long or longer are taken without a CRC check

// CRC-16/MODBUS, bit by bit: init 0xFFFF, poly 0xA001 reflected, no final xor.
std::uint16_t crc16(std::span<const std::uint8_t> bytes);
inline std::uint16_t crc16(const QByteArray& b)
{
    return crc16(std::span(reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())));
}

// Completes a request prepared in buf (byte 2 = function code, payload from 3,
// buf.size() = whole frame length >= 7): markers and CRC.
void finishFrame(QByteArray& buf);

// A frame with the given function code and payload.
QByteArray buildFrame(std::uint8_t fn, const QByteArray& payload = {});

enum class Check {
    TooShort,     // fewer than 3 bytes: dropped silently
    BadMarkers,   // dropped silently
    BadCrc,       // shown as a CRC error and dropped
    Ok,
};
// Checks a received frame: CRC (below 298 bytes), then the four markers.
Check checkFrame(const QByteArray& frame);

} // namespace serial
