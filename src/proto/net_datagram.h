#pragma once
// The Ethernet request/reply datagrams. A request addresses one block of the
// device by index, sub-index and a 16-bit parameter and is a read (service 12)
// or a write (service 13, followed by the data). The device answers each
// request with one datagram echoing the service and the sequence number, with
// the status in the two top bits of byte 0 and the read data from byte 12.
// Every 16-bit field of a request carries the low 16 bits of its source value,
// little-endian.
#include "proto/serial_commands.h"

#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <optional>

namespace net {

// Services (bits 0..5 of byte 0) and status (bits 6..7).
inline constexpr quint8 SVC_READ = 12;
inline constexpr quint8 SVC_WRITE = 13;
inline constexpr quint8 SVC_CODE_MASK = 0x3F;
inline constexpr quint8 SVC_STATUS_MASK = 0xC0;
inline constexpr quint8 SVC_STATUS_OK = 0x40;

// Indices: the blocks of the device.
inline constexpr qint32 IDX_MEM = 107;       // memory area (weekday, SM area); 16-byte write header
inline constexpr qint32 IDX_SYSTEM = 10003;  // system service
inline constexpr qint32 IDX_PDTAG = 10010;   // DeviceID and PD tag
inline constexpr qint32 IDX_CTRL = 11008;    // controller parameters
inline constexpr qint32 IDX_COMM = 14000;    // communication: ZigBee, forwarding, gateway
inline constexpr qint32 IDX_RONGYU = 15000;  // redundancy

// Layout of the datagrams.
inline constexpr int READ_REQUEST_SIZE = 16;
inline constexpr int WRITE_HEADER_SIZE = 18;
inline constexpr int WRITE_HEADER_SIZE_MEM = 16;  // index 107: the payload takes the two reserved bytes
inline constexpr int MAX_DATAGRAM = 32767;        // the length field is a signed 16-bit number
inline constexpr int LENGTH_AT = 4;
inline constexpr int SEQ_AT = 6;
inline constexpr int INDEX_AT = 10;
inline constexpr int SUB_INDEX_AT = 12;
inline constexpr int PARAM_AT = 14;
inline constexpr int REPLY_HEADER_SIZE = 8;       // service/status .. sequence echo
inline constexpr int REPLY_PAYLOAD_AT = 12;

// Device discovery.
inline constexpr quint16 DISCOVERY_PORT = 12000;
inline constexpr int ANNOUNCE_SIZE = 91;
inline constexpr int DEVICE_OFFLINE_SECONDS = 11;

// The read request: 16 bytes. `seq` is the already raised sequence number.
QByteArray NetReadRequest(quint16 seq, qint32 index, qint32 subIndex, qint32 param);

// The write request: an 18-byte header (16 for index 107) followed by all of
// `payload`; the length field holds the whole datagram's length. Empty when
// that length would exceed 32767 bytes: nothing may be sent then.
std::optional<QByteArray> NetWriteRequest(quint16 seq, qint32 index, qint32 subIndex, qint32 param,
                                          const QByteArray& payload);

// The next sequence number: one more, 0 after 65535.
quint16 nextSeq(qint32 current);

// Reply header.
enum class ReplyKind { Read, Write, Other };
struct ReplyHeader {
    ReplyKind kind;  // by bits 0..5 of byte 0
    bool ok;         // bits 6..7 of byte 0 are 01
    bool hasSeq;     // the datagram reaches bytes 6..7
    quint16 seq;     // bytes 6..7, unsigned; 0 without them
};
// The header of a received datagram; nullopt only for an empty one. A failure
// status needs nothing but byte 0; a success is taken only with its sequence
// echo (a datagram of fewer than 8 bytes is then counted and dropped).
std::optional<ReplyHeader> parseReplyHeader(const QByteArray& datagram);

// ---- Payload pieces of replies that no block decoder owns ----

// The ZigBee parameter block of the reply to read 14000/1 (34 bytes from
// offset 12); false and nothing decoded when the reply is too short.
bool decodeZigbeeReply(const QByteArray& reply, serial::ZigbeeBlock& out);

// User-block dump (read 10003/0): the bytes after the first 14 (the header and
// two skipped bytes); empty for a shorter datagram.
inline constexpr int USER_BLOCK_DATA_AT = 14;
QByteArray userBlockData(const QByteArray& reply);

// DeviceID/PD-tag block (read 10010/2): 82 bytes from offset 12.
inline constexpr int DEVID_BLOCK_SIZE = 82;
std::optional<QByteArray> devIdBlock(const QByteArray& reply);

// Weekday (read 107, parameter 0): the 16-bit value at offsets 128..129; the
// weekday list's index is this value minus 1.
inline constexpr int WEEKDAY_AT = 128;
std::optional<quint16> weekdayValue(const QByteArray& reply);

// Internal AI calibration values (read 10003/21): eight signed 16-bit values
// from offset 12.
std::optional<std::array<qint16, 8>> innerCalValues(const QByteArray& reply);

} // namespace net
