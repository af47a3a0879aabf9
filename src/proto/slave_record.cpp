#include "proto/slave_record.h"

#include "proto/eth_commands.h"
#include "proto/net_datagram.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"

#include <iterator>

namespace slave {

namespace {

constexpr int AT_ROW = 0;
constexpr int AT_COUNT = 1;
constexpr int AT_ADDRESS = 4;
constexpr int AT_COMM_TYPE = 5;
constexpr int AT_DEVICE_TYPE = 6;
constexpr int AT_SCAN_TIME = 8;
constexpr int AT_SCAN_NO = 10;

constexpr SlaveType TYPES[SLAVE_TYPE_COUNT] = {
    {"ORV8000", 1},  {"KWY3000", 2},  {"HBW8000", 3},  {"KWY2000", 4},     {"RQD3000", 5},
    {"KWY4000", 6},  {"MRK4000", 7},  {"MRK9000", 8},  {"MRK1000", 9},     {"MRK4600", 10},
    {"MRK4400", 11}, {"MRK7000", 12}, {"TLX7000", 13}, {"KWY4600", 14},    {"GZF3000", 15},
    {"其它设备", 254}, {"未配置设备", 255}, {"VSN70DQ", 21}, {"MRK6000", 27}, {"MRK7ADQ", 33},
    {"MRK7AAQ", 29},
};

std::uint16_t u16(std::span<const std::uint8_t> b, int at) { return std::uint16_t(b[at] | (b[at + 1] << 8)); }

void putU16(QByteArray& b, int at, std::uint16_t v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

} // namespace

std::optional<SlaveRecord> decodeSlaveRecord(std::span<const std::uint8_t> b)
{
    if (b.size() < std::size_t(RECORD_SIZE))
        return std::nullopt;
    SlaveRecord r;
    r.row = b[AT_ROW];
    r.address = b[AT_ADDRESS];
    r.commType = b[AT_COMM_TYPE];
    r.deviceType = u16(b, AT_DEVICE_TYPE);
    r.scanTime = u16(b, AT_SCAN_TIME);
    r.scanNo = b[AT_SCAN_NO];
    return r;
}

QByteArray encodeSlaveRecord(const SlaveRecord& r)
{
    QByteArray b(RECORD_SIZE, '\0');
    b[AT_ROW] = char(r.row);
    b[AT_COUNT] = 1;
    b[AT_ADDRESS] = char(r.address);
    b[AT_COMM_TYPE] = char(r.commType);
    putU16(b, AT_DEVICE_TYPE, r.deviceType);
    putU16(b, AT_SCAN_TIME, r.scanTime);
    b[AT_SCAN_NO] = char(r.scanNo);
    return b;
}

QByteArray slaveReadRequest(std::uint8_t row)
{
    QByteArray b(READ_REQUEST_SIZE, '\0');
    b[AT_ROW] = char(row);
    b[AT_COUNT] = 1;
    return b;
}

std::optional<int> slaveReadRowOfFrame(const QByteArray& frame)
{
    if (frame.size() <= serial::PAYLOAD_AT || std::uint8_t(frame[2]) != serial::QS_READ_SLAVE)
        return std::nullopt;
    return std::uint8_t(frame[serial::PAYLOAD_AT + AT_ROW]);
}

std::optional<int> slaveReadRowOfDatagram(const QByteArray& datagram)
{
    if (datagram.size() < net::READ_REQUEST_SIZE || (std::uint8_t(datagram[0]) & net::SVC_CODE_MASK) != net::SVC_READ)
        return std::nullopt;
    const auto u16at = [&](int at) { return int(std::uint8_t(datagram[at]) | (std::uint8_t(datagram[at + 1]) << 8)); };
    if (u16at(net::INDEX_AT) != net::IDX_SYSTEM || u16at(net::SUB_INDEX_AT) != net::SUB_SLAVE_READ)
        return std::nullopt;
    return std::uint8_t(datagram[net::PARAM_AT]); // 256 + row: the row in the low byte
}

std::span<const SlaveType> SlaveTypeTable() { return TYPES; }

int slaveTypePosition(std::uint16_t code)
{
    for (int i = 0; i < SLAVE_TYPE_COUNT; ++i)
        if (TYPES[i].code == code)
            return i;
    return -1;
}

std::optional<std::uint16_t> slaveTypeCode(const QString& text)
{
    for (const auto& t : TYPES)
        if (text == QString::fromUtf8(t.text))
            return t.code;
    return std::nullopt;
}

} // namespace slave
