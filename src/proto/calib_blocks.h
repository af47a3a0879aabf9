#pragma once
// Calibration values, the DeviceID/PD-tag block as written and the MAC block:
// the bytes that follow the function code on the serial link and form the
// write payload on Ethernet.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace blocks {

inline constexpr int PRJ_CAL_COUNT = 11;   // engineering calibration values
inline constexpr int AQ_PRJ_CAL_COUNT = 8; // AQ engineering calibration values
inline constexpr int INNER_CAL_COUNT = 8;  // inner AI calibration values
inline constexpr int INNER_CAL_SIZE = 2 * INNER_CAL_COUNT;

// Signed 16-bit values, little-endian, in order.
QByteArray i16Values(std::span<const std::int16_t> v);
std::optional<std::array<std::int16_t, INNER_CAL_COUNT>> decodeInnerCal(std::span<const std::uint8_t> b);

// DeviceID (32 bytes padded with "0") and PD tag (32 bytes padded with
// spaces); nothing when the PD tag is no GBK text of at most 32 bytes. The
// DeviceID's characters after the 32nd are left out.
std::optional<QByteArray> encodeDevIdTag(const QString& deviceId, const QString& pdTag);
// The same with the PD tag's bytes as they stand.
std::optional<QByteArray> encodeDevIdTag(const QString& deviceId, const QByteArray& pdTag);

// A MAC box: the hexadecimal number its text begins with (0 when it begins
// with none); nothing when that number does not fit a byte.
std::optional<std::uint8_t> macByte(const QString& text);

} // namespace blocks
