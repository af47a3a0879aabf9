#pragma once
// The serial message set: one row per serial queue code, and the reply branches
// keyed by the reply's function code. Data only; the engine runs the rows.
#include <QByteArray>
#include <cstdint>
#include <span>

namespace serial {

// Serial queue codes (the values pushed on the command stack on the serial link).
enum QsCode : std::int16_t {
    QS_READ_SYS_INFO = 1,
    QS_READ_ZERO = 2,
    QS_READ_FULL = 3,
    QS_WRITE_SYS_INFO = 4,
    QS_WRITE_SENSOR_TYPE = 5,
    QS_WRITE_ZERO = 6,
    QS_WRITE_FULL = 7,
    QS_REFRESH_LIVE = 8,
    QS_READ_PRJ_CAL = 9,
    QS_WRITE_AQ_PRJ_CAL = 10,
    QS_WRITE_SELF_GAIN = 11,
    QS_WRITE_PRJ_CAL = 12,
    QS_READ_DIDO = 13,
    QS_WRITE_DO = 14,
    QS_READ_PDTAG = 15,
    QS_WRITE_AO = 16,
    QS_WRITE_PDTAG = 17,
    QS_READ_CLOCK = 18,
    QS_WRITE_CLOCK = 19,
    QS_READ_LAMP = 23,
    QS_WRITE_LAMP = 24,
    QS_READ_SLAVE = 32,
    QS_WRITE_SLAVE = 33,
    QS_WRITE_AQ_ZERO_FULL = 34,
    QS_READ_AQ_ZERO_FULL = 35,
    QS_WRITE_MAC = 36,
    QS_READ_MAC = 37,
    QS_WRITE_AQ_TYPE = 38,
    QS_READ_AQ_TYPE = 39,
    QS_TEST_RAM = 40,
    QS_WRITE_AQ_TO_DQ = 41,
    QS_READ_AQ_TO_DQ = 42,
    QS_STOP_AND_CLEAR = 43,
    QS_LAMP_BOARD_CHECK = 44,
    QS_FLASH_START = 45,
    QS_FLASH_SIZE = 46,
    QS_FLASH_BLOCK = 47,
    QS_RUN_STOP = 49,
    QS_READ_AI_ALARM = 50,
    QS_WRITE_AI_ALARM = 51,
    QS_SAVE_PARAMS = 55,
    QS_RESTORE_PARAMS = 56,
    QS_READ_ZIGBEE = 57,
    QS_WRITE_COLD_CAL = 60,
    QS_WRITE_INNER_CAL = 61,
    QS_READ_INNER_CAL = 62,
    QS_WRITE_ZIGBEE = 64,
    QS_TEST_ZIGBEE = 65,
    QS_READ_CTRL = 66,
    QS_WRITE_CTRL = 67,
    QS_READ_SM = 68,
    QS_WRITE_SM = 69,
    QS_READ_RESEND = 70,
    QS_WRITE_RESEND = 71,
    QS_CONVERT_DEVICE_TYPE = 72,
    QS_READ_RONGYU = 73,
    QS_WRITE_RONGYU = 74,
    QS_READ_GATEWAY = 75,
    QS_WRITE_GATEWAY = 76,
    QS_READ_RESEND_SLAVE = 77,
    QS_WRITE_RESEND_SLAVE = 78,
    QS_RESTORE_DEFAULTS = 80,
    QS_RESTORE_SELECTED = 81,
    QS_READ_PROFIBUS = 82,
    QS_WRITE_PROFIBUS = 83,
};

// Function codes on the wire where they differ from the queue code.
enum FnCode : std::uint8_t {
    FN_READ_AD = 8,
    FN_READ_TEMP = 9,
    FN_READ_VOLT = 12,
    FN_WRITE_PRJ_CAL = 17,
    FN_READ_PRJ_CAL = 18,
    FN_READ_CLOCK = 19,
    FN_WRITE_CLOCK = 20,
    FN_READ_PDTAG = 21,
    FN_WRITE_PDTAG = 22,
    FN_RESTORE_DEFAULTS = 52,
    FN_CONVERT_DEVICE_TYPE = 63,
    FN_READ_RESEND_SLAVE = 66,
    FN_WRITE_RESEND_SLAVE = 67,
    FN_READ_RESEND = 68,
    FN_WRITE_RESEND = 69,
    FN_READ_RONGYU = 70,
    FN_WRITE_RONGYU = 71,
    FN_READ_SM = 73,
    FN_WRITE_SM = 74,
    FN_READ_CTRL = 75,
    FN_WRITE_CTRL = 76,
    FN_READ_GATEWAY = 77,
    FN_WRITE_GATEWAY = 78,
    FN_READ_PROFIBUS = 79,
    FN_WRITE_PROFIBUS = 80,
    FN_DIDO = 13,
};

// Who builds the request of a row.
enum class Build : std::uint8_t {
    Plain,    // a 7-byte request with no payload; the dispatcher builds it
    Inline,   // the dispatcher builds a payload (cold/inner calibration, restore selected, Profibus)
    Builder,  // a named builder of the device data or of a neighbouring window
};

struct CommandRow {
    std::int16_t code;
    const char* name;        // "QS_READ_SYS_INFO"
    const char* status;      // StatusText
    const char* wait;        // wait text for Text2, nullptr when the row sets none
    const char* statusAlt;   // QS_LAMP_BOARD_CHECK with PendParam 0, else nullptr
    const char* waitAlt;
    std::uint8_t fn;         // function code on the wire (first phase for the idle poll)
    std::int16_t frameLen;   // request bytes (default layout; builders may set other lengths)
    std::int16_t replyLen;   // expected reply bytes
    std::int32_t timeoutMs;  // Timer2 interval of a waiting row; 0 = fast
    Build build;
    const char* builder;     // name of the builder, for the log and the docs
};

// nullptr for a code without a row ("无此功能号").
const CommandRow* findCommand(std::int16_t code);
// All rows, in code order.
const CommandRow* commandRows(int* count);

// Ending of a reply branch.
enum class Ending : std::uint8_t {
    None,    // fast reads: no timer is touched
    Resume,  // Timer2 off, Timer1 on
};

struct ReplyRow {
    std::uint8_t fn;
    const char* request;       // "QS_READ_SYS_INFO", for the log and the docs
    const char* text;          // Text2, nullptr when the text depends on the reply (14, 47, 65)
    Ending ending;
    bool restoreInterval;      // Timer1 interval := TimerInterval (4)
    bool msconTo5000;          // timMscon interval := 5000 (10, 11)
    bool textAfterDecode;      // 5: the text follows the decode
};

// nullptr for a function code without a branch.
const ReplyRow* findReply(std::uint8_t fn);

inline constexpr const char* TEXT_NO_SUCH_FUNCTION = "无此功能号";
inline constexpr const char* TEXT_CRC_ERROR = "CRC 校验错误";

// Inline payloads (whole frames, markers and CRC included).
QByteArray plainRequest(std::uint8_t fn);                                  // 7 bytes
QByteArray coldCalRequest(std::int16_t tempWriteValue);                    // fn 60, 9 bytes
QByteArray innerCalRequest(const std::int16_t (&values)[8]);               // fn 61, 23 bytes
QByteArray restoreSelectedRequest(std::uint8_t resumeMask);                // fn 56, 10 bytes
QByteArray profibusWriteRequest(bool on);                                  // fn 80, 8 bytes

// Reply lengths of the DI/DO read: without and with the battery byte.
inline constexpr int DIDO_REPLY_SHORT = 26;
inline constexpr int DIDO_REPLY_LONG = 27;
// Request (and echo) lengths of the system-parameter write by layout.
inline constexpr int SYS_INFO_SHORT_LEN = 91;
inline constexpr int SYS_INFO_LONG_LEN = 220;
// Forwarding-table write: RESEND_WRITE_BASE_LEN + entries x RESEND_ENTRY_LEN bytes.
inline constexpr int RESEND_WRITE_BASE_LEN = 15;
inline constexpr int RESEND_ENTRY_LEN = 24;

// Reply length of the DI/DO read (26 or 27 bytes) for the connected device.
int didoReplyLen(std::uint8_t deviceType, std::uint16_t innerVersion);
// Whether the system-parameter write uses the long layout.
bool useLongSysLayout(std::uint8_t deviceType, std::uint16_t innerVersion);

// ZigBee parameter block (34 bytes) as carried in the read replies.
struct ZigbeeBlock {
    std::uint8_t logic = 0;
    std::uint8_t netType = 0;
    std::uint16_t dnoLow = 0;
    std::int32_t channelMask = 0;
    std::uint8_t mac[8] = {};
    std::uint8_t extPan[8] = {};
    std::uint8_t enable = 0;
    std::uint8_t chainAddr = 0;
    std::int16_t adv1 = 0, adv2 = 0, adv3 = 0, advFlag = 0;
};
inline constexpr int ZIGBEE_BLOCK_SIZE = 34;
// Decodes the 34-byte block at the start of a reply payload; false (and
// nothing decoded) when the payload is shorter than the block.
bool decodeZigbee(std::span<const std::uint8_t> payload, ZigbeeBlock& out);
// The 34-byte block written back (the same layout as read).
QByteArray encodeZigbee(const ZigbeeBlock& z);

// Text of the ZigBee communication test reply (byte 3 of the reply).
const char* zigbeeTestText(std::uint8_t result);

} // namespace serial
