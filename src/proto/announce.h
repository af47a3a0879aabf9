#pragma once
// The device announcement: a 91-byte datagram that every device sends to the
// discovery port. Only kind, DeviceID, PD tag, address and port are read.
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace net {

inline constexpr quint8 ANNOUNCE_KIND = 4;
inline constexpr int ANNOUNCE_DEVICE_ID_AT = 8;
inline constexpr int ANNOUNCE_PD_TAG_AT = 40;
inline constexpr int ANNOUNCE_ADDR_AT = 72;
inline constexpr int ANNOUNCE_PORT_AT = 87;  // 16-bit little-endian
inline constexpr int ANNOUNCE_TEXT_SIZE = 32;

struct DeviceAnnounce {
    quint8 addr[4];       // IPv4 address, first octet first
    QByteArray deviceId;  // 32 bytes of ANSI text as sent, not terminated
    QByteArray pdTag;     // 32 bytes
    quint16 port;         // port of the device's request service
};

// nullopt unless the datagram is exactly 91 bytes long, byte 0 is 4 and the
// address is not 0.0.0.0.
std::optional<DeviceAnnounce> parseAnnounce(const QByteArray& datagram);

// "192.168.1.20": four decimal numbers without leading zeros, joined by ".".
QString addrText(const quint8 (&a)[4]);

} // namespace net
