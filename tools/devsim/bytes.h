// Little byte helpers of the simulated device. Deliberately separate from the
// program's wire code: the simulator must not agree with a codec bug.
#pragma once

#include <QByteArray>
#include <cstdint>

namespace sim {

inline quint8 u8(const QByteArray &b, int at) { return at < b.size() ? quint8(b[at]) : 0; }

inline quint16 getU16(const QByteArray &b, int at)
{
    return quint16(u8(b, at) | (u8(b, at + 1) << 8));
}

inline qint16 getI16(const QByteArray &b, int at) { return qint16(getU16(b, at)); }

inline quint32 getU32(const QByteArray &b, int at)
{
    return quint32(u8(b, at)) | (quint32(u8(b, at + 1)) << 8) | (quint32(u8(b, at + 2)) << 16)
        | (quint32(u8(b, at + 3)) << 24);
}

// The setters grow the array when needed, so a block can be filled in any order.
inline void putU8(QByteArray &b, int at, quint32 v)
{
    if (b.size() < at + 1)
        b.resize(at + 1, '\0');
    b[at] = char(v & 0xFF);
}

inline void putU16(QByteArray &b, int at, quint32 v)
{
    putU8(b, at, v);
    putU8(b, at + 1, v >> 8);
}

inline void putU32(QByteArray &b, int at, quint32 v)
{
    putU16(b, at, v);
    putU16(b, at + 2, v >> 16);
}

// CRC-16 as the device computes it: reflected polynomial 0xA001, start 0xFFFF,
// no final XOR.
inline quint16 crc16(const char *data, int len)
{
    quint16 crc = 0xFFFF;
    for (int i = 0; i < len; ++i) {
        crc ^= quint8(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

} // namespace sim
