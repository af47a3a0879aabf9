#include "proto/settings_blocks.h"

#include <limits>

namespace blocks {

int cellBytes(Cell c)
{
    switch (c) {
    case Cell::U8: return 1;
    case Cell::I16: return 2;
    case Cell::I32: return 4;
    }
    return 1;
}

std::optional<std::vector<std::int32_t>> decodeCells(std::span<const std::uint8_t> payload, int size, Cell cell)
{
    const int w = cellBytes(cell);
    if (size < 0 || size % w != 0 || payload.size() < std::size_t(size))
        return std::nullopt;
    std::vector<std::int32_t> out;
    out.reserve(std::size_t(size / w));
    for (int at = 0; at < size; at += w) {
        std::uint32_t u = 0;
        for (int k = w - 1; k >= 0; --k)
            u = (u << 8) | payload[std::size_t(at + k)];
        switch (cell) {
        case Cell::U8: out.push_back(std::int32_t(u)); break;
        case Cell::I16: out.push_back(std::int16_t(std::uint16_t(u))); break;
        case Cell::I32: out.push_back(std::int32_t(u)); break;
        }
    }
    return out;
}

std::optional<QByteArray> encodeCells(const std::vector<std::int32_t>& values, Cell cell)
{
    const int w = cellBytes(cell);
    std::int32_t lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    if (cell == Cell::U8) {
        lo = 0;
        hi = 255;
    } else if (cell == Cell::I16) {
        lo = -32768;
        hi = 32767;
    }
    QByteArray out;
    out.reserve(qsizetype(values.size()) * w);
    for (auto v : values) {
        if (v < lo || v > hi)
            return std::nullopt;
        const auto u = std::uint32_t(v);
        for (int k = 0; k < w; ++k)
            out.append(char((u >> (8 * k)) & 0xFF));
    }
    return out;
}

} // namespace blocks
