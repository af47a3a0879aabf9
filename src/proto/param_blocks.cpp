#include "proto/param_blocks.h"

#include "base/ansi.h"

namespace blocks {

namespace {
void putI16(QByteArray& b, int at, std::int16_t v)
{
    b[at] = char(std::uint16_t(v) & 0xFF);
    b[at + 1] = char(std::uint16_t(v) >> 8);
}
std::int16_t i16(std::span<const std::uint8_t> b, std::size_t at) { return std::int16_t(b[at] | (b[at + 1] << 8)); }
} // namespace

std::optional<AiAlarmRead> decodeAiAlarm(std::span<const std::uint8_t> b)
{
    if (b.size() < std::size_t(AI_ALARM_READ_SIZE))
        return std::nullopt;
    AiAlarmRead r;
    r.status = b[0];
    for (std::size_t i = 0; i < 8; ++i) {
        r.up[i] = i16(b, 1 + 4 * i);
        r.down[i] = i16(b, 3 + 4 * i);
    }
    return r;
}

std::optional<std::array<std::int16_t, 11>> decodePrjCal(std::span<const std::uint8_t> b)
{
    if (b.size() < std::size_t(PRJ_CAL_SIZE))
        return std::nullopt;
    std::array<std::int16_t, 11> v{};
    for (std::size_t i = 0; i < 11; ++i)
        v[i] = i16(b, 2 * i);
    return v;
}

std::optional<DevIdTexts> decodeDevIdTag(std::span<const std::uint8_t> b)
{
    if (b.size() < std::size_t(DEV_ID_TAG_SIZE))
        return std::nullopt;
    const auto* p = reinterpret_cast<const char*>(b.data());
    const QString id = fromAnsi(QByteArray(p, 32));
    DevIdTexts t;
    // One pad zero before a 15-character hardware number, two before a 14-character one.
    t.hardwareNumber = id.mid(1, 15);
    if (t.hardwareNumber.startsWith(u'0'))
        t.hardwareNumber = t.hardwareNumber.mid(1, 14);
    t.pdTagBytes = QByteArray(p + 32, 32);
    t.pdTag = fromAnsi(t.pdTagBytes);
    return t;
}

QByteArray aiAlarmWriteBlock(const std::array<std::int16_t, 8>& up, const std::array<std::int16_t, 8>& down)
{
    QByteArray b(AI_ALARM_WRITE_SIZE, '\0');
    for (int i = 0; i < 8; ++i) {
        putI16(b, 4 * i, up[std::size_t(i)]);
        putI16(b, 4 * i + 2, down[std::size_t(i)]);
    }
    return b;
}

QByteArray netGateBlock(const std::array<std::uint8_t, 4>& gateway, const std::array<std::uint8_t, 4>& mask)
{
    QByteArray b(NET_GATE_SIZE, '\0');
    for (int i = 0; i < 4; ++i) {
        b[i] = char(gateway[std::size_t(i)]);
        b[4 + i] = char(mask[std::size_t(i)]);
    }
    return b;
}

} // namespace blocks
