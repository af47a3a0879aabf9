#include "proto/param_blocks.h"

namespace blocks {

namespace {
void putI16(QByteArray& b, int at, std::int16_t v)
{
    b[at] = char(std::uint16_t(v) & 0xFF);
    b[at + 1] = char(std::uint16_t(v) >> 8);
}
} // namespace

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
