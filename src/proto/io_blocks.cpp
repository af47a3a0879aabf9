#include "proto/io_blocks.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace io {

namespace {

std::int16_t i16At(Bytes b, std::size_t at) { return std::int16_t(b[at] | (b[at + 1] << 8)); }

std::uint32_t u32At(Bytes b, std::size_t at)
{
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16
           | std::uint32_t(b[at + 3]) << 24;
}

void putI16(QByteArray& out, std::int16_t v)
{
    out.append(char(std::uint16_t(v) & 0xFF));
    out.append(char(std::uint16_t(v) >> 8));
}

template <class T, std::size_t N, class Read>
std::optional<std::array<T, N>> eachOf(Bytes b, std::size_t width, Read read)
{
    if (b.size() < N * width)
        return std::nullopt;
    std::array<T, N> out{};
    for (std::size_t i = 0; i < N; ++i)
        out[i] = read(b, i * width);
    return out;
}

} // namespace

// ---------------------------------------------------------------- analog inputs

std::optional<std::array<std::uint8_t, AI_CHANNELS>> decodeSensorTypes(Bytes b)
{
    return eachOf<std::uint8_t, AI_CHANNELS>(b, 1, [](Bytes p, std::size_t at) { return p[at]; });
}

std::optional<AiI32> decodeAiI32(Bytes b)
{
    return eachOf<std::int32_t, AI_CHANNELS>(b, 4, [](Bytes p, std::size_t at) { return std::int32_t(u32At(p, at)); });
}

std::optional<AiTemp> decodeAiTemp(Bytes b) { return eachOf<std::int16_t, AI_CHANNELS>(b, 2, i16At); }

std::optional<AiVolt> decodeAiVolt(Bytes b)
{
    return eachOf<float, AI_CHANNELS>(b, 4, [](Bytes p, std::size_t at) { return std::bit_cast<float>(u32At(p, at)); });
}

QByteArray aiI32Block(const AiI32& v)
{
    QByteArray out;
    for (auto x : v) {
        const auto u = std::uint32_t(x);
        for (int k = 0; k < 4; ++k)
            out.append(char((u >> (8 * k)) & 0xFF));
    }
    return out;
}

std::optional<std::int32_t> coldJunctionAverage(const AiTemp& t)
{
    std::int32_t sum = 0;
    for (std::size_t c = 0; c < 8; ++c) {
        if (t[c] < 2000 || t[c] > 4000)
            return std::nullopt;
        sum += 3000 - t[c];
    }
    // sum / 8 to the nearest whole number, halves to even: exact in integers.
    std::int32_t q = sum / 8, r = sum % 8;
    if (r < 0) {
        q -= 1;
        r += 8;
    }
    if (r > 4 || (r == 4 && (q & 1)))
        q += 1;
    return q;
}

QString voltageText(float v)
{
    if (v == 0.0f)
        return QStringLiteral("0"); // minus zero too
    // 'g' drops trailing zeros and always writes a point, whatever the locale.
    return QString::number(double(v), 'g', 7);
}

// ---------------------------------------------------------------- digital I/O, outputs, LEDs

std::optional<Dido> decodeDido(Bytes b, bool longForm)
{
    if (b.size() < std::size_t(longForm ? DIDO_LONG_SIZE : DIDO_SHORT_SIZE))
        return std::nullopt;
    Dido d;
    d.di = b[0];
    d.dout = b[1];
    for (std::size_t i = 0; i < AO_CHANNELS; ++i)
        d.ao[i] = i16At(b, 2 + 2 * i);
    d.hardAddr = b[18];
    if (longForm)
        d.battery = b[19];
    return d;
}

std::uint8_t doByte(const std::array<std::uint8_t, 2>& out) { return std::uint8_t(out[0] + 2 * out[1]); }

std::optional<std::array<std::int16_t, AO_CHANNELS>> aoWireValues(const std::array<double, AO_CHANNELS>& v)
{
    std::array<std::int16_t, AO_CHANNELS> out{};
    for (std::size_t i = 0; i < AO_CHANNELS; ++i) {
        const double x = std::nearbyint(v[i] * 1000.0); // the default rounding: halves to even
        if (!(x >= -32768.0 && x <= 32767.0))
            return std::nullopt;
        out[i] = std::int16_t(x);
    }
    return out;
}

QByteArray aoBlock(const std::array<std::int16_t, AO_CHANNELS>& v)
{
    QByteArray out;
    for (auto x : v)
        putI16(out, x);
    return out;
}

std::optional<std::array<std::uint8_t, LED_COUNT>> decodeLeds(Bytes b)
{
    return eachOf<std::uint8_t, LED_COUNT>(b, 1, [](Bytes p, std::size_t at) { return p[at]; });
}

// ---------------------------------------------------------------- AQ channels

std::uint8_t aqToDqByte(const std::array<std::uint8_t, AQ_CHANNELS>& state)
{
    std::uint8_t out = 0;
    for (std::size_t i = 0; i < AQ_CHANNELS; ++i)
        if (state[i] == 1)
            out |= std::uint8_t(1u << i);
    return out;
}

std::optional<std::uint8_t> decodeAqToDq(Bytes b)
{
    if (b.size() < std::size_t(AQ_TO_DQ_SIZE))
        return std::nullopt;
    return b[0];
}

std::optional<AqZeroFull> decodeAqZeroFull(Bytes b)
{
    if (b.size() < std::size_t(AQ_ZF_READ_SIZE))
        return std::nullopt;
    AqZeroFull z;
    for (std::size_t c = 0; c < AQ_CHANNELS; ++c) {
        z.voltZero[c] = i16At(b, 8 * c);
        z.voltFull[c] = i16At(b, 8 * c + 2);
        z.currentZero[c] = i16At(b, 8 * c + 4);
        z.currentFull[c] = i16At(b, 8 * c + 6);
    }
    return z;
}

AqZfStep aqZeroFullStep(bool twoStep, std::int32_t pendParam)
{
    if (twoStep)
        pendParam = AQZF_ZERO;
    if (pendParam == AQZF_TWO_STEP_START)
        return {AQZF_ZERO, AQZF_TWO_STEP_HALF};
    if (pendParam == AQZF_TWO_STEP_HALF)
        return {AQZF_FULL, 0};
    return {std::uint8_t(pendParam & 0xFF), pendParam};
}

QByteArray aqZeroFullWriteBlock(std::uint8_t mode, const std::array<std::int16_t, AQ_CHANNELS>& volt,
                                const std::array<std::int16_t, AQ_CHANNELS>& current)
{
    QByteArray out(1, char(mode));
    for (std::size_t c = 0; c < AQ_CHANNELS; ++c) {
        putI16(out, volt[c]);
        putI16(out, current[c]);
    }
    return out;
}

} // namespace io
