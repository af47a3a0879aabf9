#pragma once
// The blocks of the device's inputs and outputs: AI sensor types, zero and
// full-scale values and live measurements; the DI/DO block, the DO byte, the
// AQ output values and the LEDs; the AQ channel types, the AQ-to-DQ byte and
// the AQ zero/full block. The same bytes travel on both links (serial from
// frame byte 3, Ethernet as the payload). Multi-byte fields are little-endian.
// Each decoder returns nothing when given too few bytes.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace io {

using Bytes = std::span<const std::uint8_t>;

// ---- analog inputs ----
inline constexpr int AI_CHANNELS = 11;
inline constexpr int SENSOR_TYPE_SIZE = 11;       // one code per channel
inline constexpr int AI_I32_SIZE = 4 * AI_CHANNELS; // zero, full scale, A/D code, voltage
inline constexpr int AI_TEMP_SIZE = 2 * AI_CHANNELS;

using AiI32 = std::array<std::int32_t, AI_CHANNELS>;
using AiTemp = std::array<std::int16_t, AI_CHANNELS>;
using AiVolt = std::array<float, AI_CHANNELS>;

std::optional<std::array<std::uint8_t, AI_CHANNELS>> decodeSensorTypes(Bytes b);
std::optional<AiI32> decodeAiI32(Bytes b);   // zero points, full-scale values, A/D codes
std::optional<AiTemp> decodeAiTemp(Bytes b);
std::optional<AiVolt> decodeAiVolt(Bytes b);
QByteArray aiI32Block(const AiI32& v);       // the zero or full-scale write

// The cold-junction offset: the mean of 3000 minus the temperature of
// channels 0..7, halves to even; nothing when a reading lies outside
// 2000..4000 (the page then shows "Error").
std::optional<std::int32_t> coldJunctionAverage(const AiTemp& t);

// A voltage as the grid shows it: at most 7 significant digits, "." as the
// decimal separator, no trailing zeros, "0" for zero.
QString voltageText(float v);

// ---- digital I/O, AQ outputs, LEDs ----
inline constexpr int DIDO_SHORT_SIZE = 19;   // without the battery byte
inline constexpr int DIDO_LONG_SIZE = 20;
inline constexpr int AO_CHANNELS = 8;
inline constexpr int AO_SIZE = 2 * AO_CHANNELS;
inline constexpr int LED_COUNT = 18;

struct Dido {
    std::uint8_t di = 0;                         // bit i: DI i
    std::uint8_t dout = 0;                       // bit i: DO i
    std::array<std::int16_t, AO_CHANNELS> ao{};  // output value x 1000
    std::uint8_t hardAddr = 0;
    std::optional<std::uint8_t> battery;         // volts x 10, long form only
};
// `longForm`: the device sends the battery byte (see didoReplyLen).
std::optional<Dido> decodeDido(Bytes b, bool longForm);

// The DO byte: DO 0 in bit 0, DO 1 in bit 1.
std::uint8_t doByte(const std::array<std::uint8_t, 2>& out);
// The output values x 1000, halves to even; nothing when one leaves -32768..32767.
std::optional<std::array<std::int16_t, AO_CHANNELS>> aoWireValues(const std::array<double, AO_CHANNELS>& v);
QByteArray aoBlock(const std::array<std::int16_t, AO_CHANNELS>& v);
std::optional<std::array<std::uint8_t, LED_COUNT>> decodeLeds(Bytes b);

// ---- AQ channels ----
inline constexpr int AQ_CHANNELS = 8;
inline constexpr int AQ_TO_DQ_SIZE = 1;
inline constexpr int AQ_ZF_READ_SIZE = 64;
inline constexpr int AQ_ZF_WRITE_SIZE = 33;

// Bit i: the DQ output of channel i (states other than 0 and 1 count as 0).
std::uint8_t aqToDqByte(const std::array<std::uint8_t, AQ_CHANNELS>& state);
std::optional<std::uint8_t> decodeAqToDq(Bytes b);

// The AQ zero/full block as read, in thousandths of a volt or milliampere.
struct AqZeroFull {
    std::array<std::int16_t, AQ_CHANNELS> voltZero{}, voltFull{}, currentZero{}, currentFull{};
    bool operator==(const AqZeroFull&) const = default;
};
std::optional<AqZeroFull> decodeAqZeroFull(Bytes b);

// Write modes of the AQ zero/full block.
enum AqZfMode : std::uint8_t { AQZF_OUT_ZERO = 0, AQZF_OUT_FULL = 1, AQZF_ZERO = 2, AQZF_FULL = 3 };
// PendParam values of the two-step write: not started, half done.
inline constexpr std::int32_t AQZF_TWO_STEP_START = 8;
inline constexpr std::int32_t AQZF_TWO_STEP_HALF = 9;

// One step of the write: from the two-step flag and PendParam, the mode to
// send and the PendParam left behind.
struct AqZfStep {
    std::uint8_t mode;
    std::int32_t pendParam;
};
AqZfStep aqZeroFullStep(bool twoStep, std::int32_t pendParam);

QByteArray aqZeroFullWriteBlock(std::uint8_t mode, const std::array<std::int16_t, AQ_CHANNELS>& volt,
                                const std::array<std::int16_t, AQ_CHANNELS>& current);

} // namespace io
