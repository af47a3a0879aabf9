#include "proto/serial_frame.h"

namespace serial {

std::uint16_t crc16(std::span<const std::uint8_t> bytes)
{
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? std::uint16_t((crc >> 1) ^ 0xA001) : std::uint16_t(crc >> 1);
    }
    return crc;
}

void finishFrame(QByteArray& buf)
{
    const auto n = buf.size();
    if (n < FRAMING)
        return;
    buf[0] = char(HEAD);
    buf[1] = char(HEAD);
    buf[n - 2] = char(TAIL);
    buf[n - 1] = char(TAIL);
    const auto crc = crc16(std::span(reinterpret_cast<const std::uint8_t*>(buf.constData()) + 2, std::size_t(n - 6)));
    buf[n - 4] = char(crc & 0xFF);
    buf[n - 3] = char(crc >> 8);
}

QByteArray buildFrame(std::uint8_t fn, const QByteArray& payload)
{
    QByteArray f(payload.size() + FRAMING, '\0');
    f[2] = char(fn);
    std::copy(payload.begin(), payload.end(), f.begin() + PAYLOAD_AT);
    finishFrame(f);
    return f;
}

Check checkFrame(const QByteArray& frame)
{
    const auto n = frame.size();
    if (n < 3)
        return Check::TooShort;
    if (n < CRC_CHECK_LIMIT) {
        // Function code, payload and both CRC bytes: a sound frame leaves 0.
        // Fewer than 5 bytes leave an empty range, whose CRC is 0xFFFF.
        const auto* p = reinterpret_cast<const std::uint8_t*>(frame.constData());
        const std::size_t len = n >= 5 ? std::size_t(n - 4) : 0;
        if (crc16(std::span(p + 2, len)) != 0)
            return Check::BadCrc;
    }
    if (std::uint8_t(frame[0]) != HEAD || std::uint8_t(frame[1]) != HEAD || std::uint8_t(frame[n - 2]) != TAIL
        || std::uint8_t(frame[n - 1]) != TAIL)
        return Check::BadMarkers;
    return Check::Ok;
}

} // namespace serial
