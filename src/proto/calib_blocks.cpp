#include "proto/calib_blocks.h"

#include "proto/sys_param.h"

namespace blocks {

QByteArray i16Values(std::span<const std::int16_t> v)
{
    QByteArray b;
    b.reserve(qsizetype(2 * v.size()));
    for (const std::int16_t x : v) {
        b.append(char(std::uint16_t(x) & 0xFF));
        b.append(char(std::uint16_t(x) >> 8));
    }
    return b;
}

std::optional<std::array<std::int16_t, INNER_CAL_COUNT>> decodeInnerCal(std::span<const std::uint8_t> b)
{
    if (b.size() < std::size_t(INNER_CAL_SIZE))
        return std::nullopt;
    std::array<std::int16_t, INNER_CAL_COUNT> v{};
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = std::int16_t(b[2 * i] | (b[2 * i + 1] << 8));
    return v;
}

std::optional<QByteArray> encodeDevIdTag(const QString& deviceId, const QString& pdTag)
{
    const auto bytes = sysparam::pdTagBytes(pdTag);
    return bytes ? encodeDevIdTag(deviceId, *bytes) : std::nullopt;
}

std::optional<QByteArray> encodeDevIdTag(const QString& deviceId, const QByteArray& pdTag)
{
    constexpr std::uint8_t PD_TAG_PAD = 0x20;
    const auto tag = sysparam::pdTagField(pdTag, PD_TAG_PAD);
    if (!tag)
        return std::nullopt;
    const auto id = sysparam::deviceIdField(deviceId);
    QByteArray b;
    b.append(reinterpret_cast<const char*>(id.data()), qsizetype(id.size()));
    b.append(reinterpret_cast<const char*>(tag->data()), qsizetype(tag->size()));
    return b;
}

std::optional<std::uint8_t> macByte(const QString& text)
{
    unsigned value = 0;
    for (const QChar ch : text) {
        const int d = QString(ch).toInt(nullptr, 16);
        if (d == 0 && ch != u'0')
            break; // not a hexadecimal digit
        value = value * 16 + unsigned(d);
        if (value > 0xFF)
            return std::nullopt;
    }
    return std::uint8_t(value);
}

} // namespace blocks
