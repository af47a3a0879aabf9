#pragma once
// One row of the slave-device table as it travels: 12 bytes, little-endian.
// Read one row per request (serial function code 32, Ethernet 10003/14) and
// written one row per request (serial 33, Ethernet 10003/17).
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>

namespace slave {

inline constexpr int ROWS = 16;
inline constexpr int RECORD_SIZE = 12;
inline constexpr int READ_REQUEST_SIZE = 2; // row index, row count
inline constexpr int READ_PARAM_BASE = 256; // Ethernet read parameter: 256 + row index

// Communication types on the wire; the list position is one less.
inline constexpr std::uint8_t COMM_MODBUS_RTU = 1;
inline constexpr std::uint8_t COMM_MODBUS_ASCII = 2;

struct SlaveRecord {
    std::uint8_t row = 0;        // 0..15; a read reply's row is not used
    std::uint8_t address = 0;
    std::uint8_t commType = 0;   // 1 Modbus RTU, 2 Modbus ASCII, 0 none
    std::uint16_t deviceType = 0; // a code of SlaveTypeTable
    std::uint16_t scanTime = 0;
    std::uint8_t scanNo = 0;
};

// Nothing when fewer than 12 bytes are given.
std::optional<SlaveRecord> decodeSlaveRecord(std::span<const std::uint8_t> b);
// The row count is always 1 and the reserved bytes 0.
QByteArray encodeSlaveRecord(const SlaveRecord& r);
// The serial read request's payload: the row index, then 1.
QByteArray slaveReadRequest(std::uint8_t row);
// The row a request asks for when it is a read of a slave row (a serial frame
// of function code 32, or a read datagram of 10003/14); nothing for any other.
std::optional<int> slaveReadRowOfFrame(const QByteArray& frame);
std::optional<int> slaveReadRowOfDatagram(const QByteArray& datagram);

// The slave device types by their position in the window's type list.
struct SlaveType {
    const char* text;
    std::uint16_t code;
};
inline constexpr int SLAVE_TYPE_COUNT = 21;
std::span<const SlaveType> SlaveTypeTable();
// The list position of a code, or -1 when the table has no such code.
int slaveTypePosition(std::uint16_t code);
// The code of a list text, or nothing when the text names no type.
std::optional<std::uint16_t> slaveTypeCode(const QString& text);

} // namespace slave
