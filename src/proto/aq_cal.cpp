#include "proto/aq_cal.h"

#include "proto/net_datagram.h"

#include <cstring>

namespace aqcal {

std::optional<std::array<float, MEASURE_READINGS>> decodeMeasurements(const QByteArray& reply)
{
    if (reply.size() < net::REPLY_PAYLOAD_AT + 4 * MEASURE_READINGS)
        return std::nullopt;
    std::array<float, MEASURE_READINGS> out{};
    for (int i = 0; i < MEASURE_READINGS; ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(reply.constData()) + net::REPLY_PAYLOAD_AT + 4 * i;
        const quint32 u = quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
        std::memcpy(&out[std::size_t(i)], &u, sizeof u);
    }
    return out;
}

} // namespace aqcal
