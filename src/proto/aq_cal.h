#pragma once
// What the AQ calibration window puts on the wire besides the device's AQ
// blocks: the reads of the two measuring devices. A measuring device answers
// the UDP read protocol on port 11000; a read of index 110 returns eight
// readings, IEEE-754 single precision little-endian, from reply byte 12.
#include <QByteArray>
#include <array>
#include <optional>

namespace aqcal {

inline constexpr quint16 MEASURE_PORT = 11000;
inline constexpr qint32 IDX_MEASURE = 110;
inline constexpr int MEASURE_READINGS = 8;

std::optional<std::array<float, MEASURE_READINGS>> decodeMeasurements(const QByteArray& reply);

} // namespace aqcal
