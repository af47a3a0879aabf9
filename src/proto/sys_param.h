#pragma once
// The system-parameter block: the record the tool keeps of it, the device's
// reply (the same on both links but for the fields only a reply carries), the
// two write layouts, and the pure helpers of the page that packs and unpacks
// its bit fields.
//
// The reply decoder reads nothing past its input: given too few bytes it
// returns nothing and changes nothing. The encoders never fail; the values
// they are given have already been checked and converted.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The device's system parameters as last read (or as captured from the page
// before a write). Multi-byte fields hold the little-endian value of the wire.
struct SysParamRecord {
    std::int32_t SerialNo = 0;
    std::array<std::uint8_t, 4> IpAddr{};       // a.b.c.d, a first
    std::uint8_t ModuleAddr = 0;
    std::uint8_t HardAddr = 0;                  // from the DI/DO reply, not from this block
    std::array<std::uint8_t, 11> SensorType{};  // list position per AI channel
    std::array<std::uint8_t, 2> PortLine{};     // parity<<6 | 7 bits<<5 | 2 stop<<4 | baud
    std::array<std::uint8_t, 2> PortProto{};    // protocol | mark<<4
    std::uint8_t AdMode = 0;                    // filter in the high nibble, rate in the low
    std::uint16_t DiDebounce = 0;               // shown as byte1 x 10 + byte0
    std::int16_t ColdCal = 0;
    std::uint8_t TempCompFlags = 0;             // 0x44 on
    std::uint16_t SubScanCtrl = 0;
    std::uint16_t SubScanInterval = 0;
    std::uint8_t DeviceType = 0;
    std::array<std::int16_t, 8> AqAdjust{};
    std::uint16_t InnerVersion = 0;
    std::uint8_t VersionByte = 0;               // serial replies only
    std::uint16_t ProdYear = 0;
    std::uint8_t ProdMonth = 0, ProdDay = 0, ProdHour = 0, ProdMinute = 0, ProdSecond = 0;
    std::array<std::uint8_t, 2> MasterSlave{};  // 0 slave, 1 master
    std::array<std::uint8_t, 11> ChnlEnable{};  // 1 enabled, 0 disabled
    std::uint16_t UdpPort = 0;
    std::uint16_t CpuType = 0;
    std::uint8_t SubMaxErr = 0;
    std::uint16_t SubCommIntv = 0;
    std::uint16_t SubWaitTime = 0;
    std::array<std::uint8_t, 2> RsDataTime{};
    std::uint8_t RunState = 0;                  // 1 running

    bool operator==(const SysParamRecord&) const = default;
};

namespace sysparam {

enum class Link { Serial, Ethernet };

// ---- the reply -------------------------------------------------------------

// Payload bytes a reply must hold: the serial reply's last field ends at
// offset 91, the Ethernet reply's at 101.
inline constexpr int REPLY_MIN_SERIAL = 92;
inline constexpr int REPLY_MIN_ETHERNET = 102;
inline constexpr int REPLY_NO_USER_PROGRAM = 64; // payload offset of the flag
inline constexpr int REPLY_BOOT_VERSION = 65;

// What only a reply carries, beside the record's fields.
struct ReplyExtras {
    std::uint8_t noUserProgram = 0;   // 1: the device holds no user program
    std::uint8_t bootVersion = 0;     // major in the high nibble, minor in the low
    std::uint8_t commErrTime = 0;
    std::uint16_t commInterTime = 0;
    std::uint16_t commWaitTime = 0;
    std::uint16_t statusMask = 0;     // bit i: device status flag i
};

// Decodes a reply payload (serial: the frame from byte 3; Ethernet: the
// datagram from byte 12) into `record`, overwriting the fields the reply
// carries and leaving the others (HardAddr; VersionByte on Ethernet). Returns
// nothing, and leaves `record` untouched, when the payload is too short.
std::optional<ReplyExtras> decodeSysParamReply(std::span<const std::uint8_t> payload, Link link,
                                               SysParamRecord& record);

// "1.2" for 0x12, "10.11" for 0xAB: major and minor in decimal.
QString bootVersionText(std::uint8_t b);
// "2.554" for 0x2554: high byte's two hex digits, ".", low byte's two.
QString innerVersionText(std::uint16_t v);
// "2554" for 0x2554, upper-case hex with leading zeros.
QString innerVersionDigits(std::uint16_t v);
// "2.3" for 0x23: the byte's two hex digits joined by ".".
QString versionByteText(std::uint8_t b);

// ---- the write layouts -----------------------------------------------------

inline constexpr int SHORT_PAYLOAD = 84;
inline constexpr int FIX_PAYLOAD_SERIAL = 213;
inline constexpr int FIX_PAYLOAD_ETHERNET = 232;

// The three communication times of the page, carried by both layouts.
struct CommTimes {
    std::uint8_t errTime = 0;
    std::uint16_t interTime = 0;
    std::uint16_t waitTime = 0;
};

// The page values that only the long layout carries.
struct FixExtras {
    std::array<std::uint8_t, 6> mac{};
    std::array<std::int16_t, 11> prjCal{};
    std::array<std::uint8_t, 8> aqType{};
    std::array<std::int16_t, 8> aiUp{};
    std::array<std::int16_t, 8> aiDown{};
    std::array<std::uint8_t, 32> deviceId{};
    std::array<std::uint8_t, 32> pdTag{};
};

// The 84-byte short payload.
QByteArray encodeSysParamShort(const SysParamRecord& r, const CommTimes& t);
// The long payload: 213 bytes on the serial link, 232 on Ethernet (the last
// 19 zero).
QByteArray encodeSysParamFix(const SysParamRecord& r, const CommTimes& t, const FixExtras& x, Link link);

// Which layout the device takes: by model first, then by firmware version.
// Versions 0x1007 to 0x1106 get the short layout.
bool useLongLayout(std::uint8_t deviceType, std::uint16_t innerVersion);

// DeviceID field: 32 bytes of "0", the first 32 characters of the text over
// them, each as the low byte of its UTF-16 code.
std::array<std::uint8_t, 32> deviceIdField(const QString& text);
// A PD tag's bytes: the text in GBK (ASCII as itself, any other character
// as its two bytes, so that a GBK device reads back what was typed). Nothing,
// and why in `fault`, when GBK lacks a character or the text needs more than
// 32 bytes: it is neither cut nor substituted.
enum class TagFault { TooLong, NotAnsi };
std::optional<QByteArray> pdTagBytes(const QString& text, TagFault* fault = nullptr);
// PD-tag field: 32 bytes of the pad (0x1F in the system-parameter record),
// the bytes over them; nothing for more than 32 bytes.
std::optional<std::array<std::uint8_t, 32>> pdTagField(const QByteArray& bytes, std::uint8_t pad = 0x1F);
// The same from a text, as pdTagBytes encodes it.
std::optional<std::array<std::uint8_t, 32>> pdTagField(const QString& text, std::uint8_t pad = 0x1F,
                                                       TagFault* fault = nullptr);

// ---- bit fields of the page ------------------------------------------------

// List positions of one device serial port's settings; -1 for no selection.
struct PortChoice {
    int parity = -1;    // 0 none, 1 odd, 2 even, 3 space, 4 mark
    int dataBits = -1;  // 0 eight, 1 seven
    int stopBits = -1;  // 0 one, 1 two
    int baud = -1;      // 0 1200 .. 9 (index into the baud list)
    int protocol = -1;

    bool operator==(const PortChoice&) const = default;
};
// Packs the choice into the line and protocol bytes. A list without selection
// leaves its part as it was: no parity selection keeps the former line byte
// (the other fields are OR-ed into it), no protocol keeps the protocol byte
// and adds no mark bit. Positions that do not fit their bits throw RuntimeError.
void packPort(const PortChoice& c, std::uint8_t& line, std::uint8_t& proto);
// Unpacks them into list positions (parity 4 for space-or-mark with the mark bit).
PortChoice unpackPort(std::uint8_t line, std::uint8_t proto);

// A/D mode from the filter list and the two rate lists (-1 for no selection).
std::uint8_t packAdMode(int filter, int rate, int rateFiltered);

// DI debounce time: the page shows byte1 x 10 + byte0 of the word, so it
// shows 0 to 2805. The word that shows `shown`: byte1 0 up to 255 (the
// plain number), above that the tens in byte1 (at most 255) and the rest in
// byte0. Nothing for a value no word shows.
constexpr int DI_DEBOUNCE_SHOWN_MAX = 255 * 10 + 255;
int diDebounceShown(std::uint16_t word);
std::optional<std::uint16_t> diDebounceWord(int shown);

// Channel-enable bytes: channels 0..7 as bits 0..7, channels 8..10 as bits 0..2.
std::array<std::uint8_t, 2> channelEnableBytes(const std::array<std::uint8_t, 11>& enable);

} // namespace sysparam
