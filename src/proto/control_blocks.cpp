#include "proto/control_blocks.h"

namespace control {

namespace {
constexpr std::uint8_t RESTORE_KEY0 = 0x55;
constexpr std::uint8_t RESTORE_KEY1 = 0xAA;
} // namespace

std::optional<std::uint8_t> decodeRamResult(std::span<const std::uint8_t> b)
{
    if (b.empty())
        return std::nullopt;
    return b[0];
}

std::optional<bool> decodeProfibus(std::span<const std::uint8_t> b)
{
    if (b.empty())
        return std::nullopt;
    return b[0] != 0;
}

QByteArray oneByte(std::uint8_t v) { return QByteArray(1, char(v)); }

std::uint8_t ResumeMask(const std::array<bool, RESTORE_GROUPS>& groups)
{
    std::uint8_t mask = 0;
    for (int i = 0; i < RESTORE_GROUPS; ++i)
        if (groups[std::size_t(i)])
            mask = std::uint8_t(mask | (1u << i));
    return mask;
}

QByteArray restoreSelectedBlock(std::uint8_t mask)
{
    QByteArray b;
    b.append(char(RESTORE_KEY0));
    b.append(char(RESTORE_KEY1));
    b.append(char(mask));
    return b;
}

} // namespace control
