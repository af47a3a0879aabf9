#include "proto/announce.h"

#include "proto/net_datagram.h"

namespace net {

std::optional<DeviceAnnounce> parseAnnounce(const QByteArray& datagram)
{
    if (datagram.size() != ANNOUNCE_SIZE || quint8(datagram[0]) != ANNOUNCE_KIND)
        return std::nullopt;
    DeviceAnnounce a;
    for (int i = 0; i < 4; ++i)
        a.addr[i] = quint8(datagram[ANNOUNCE_ADDR_AT + i]);
    a.deviceId = datagram.mid(ANNOUNCE_DEVICE_ID_AT, ANNOUNCE_TEXT_SIZE);
    a.pdTag = datagram.mid(ANNOUNCE_PD_TAG_AT, ANNOUNCE_TEXT_SIZE);
    a.port = quint16(quint8(datagram[ANNOUNCE_PORT_AT]) | (quint8(datagram[ANNOUNCE_PORT_AT + 1]) << 8));
    // No device can be reached at 0.0.0.0; it would also match the device
    // table's placeholder record.
    if ((a.addr[0] | a.addr[1] | a.addr[2] | a.addr[3]) == 0)
        return std::nullopt;
    return a;
}

QString addrText(const quint8 (&a)[4])
{
    return QStringLiteral("%1.%2.%3.%4").arg(a[0]).arg(a[1]).arg(a[2]).arg(a[3]);
}

} // namespace net
