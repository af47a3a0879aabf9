#pragma once
// The Ethernet message set: one row per Ethernet queue code (a code space of
// its own, 0..181) and the idle poll. Data only; the engine runs the rows.
// A row stores its index, sub-index and parameter as the pending request
// before the request is built; the read and write sub-index spaces of one index
// are separate (read 10003/4 is the engineering calibration, write 10003/4 the
// system parameters).
#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace net {

// Ethernet queue codes (the values pushed on the command stack on Ethernet).
enum QeCode : qint16 {
    QE_READ_USER_BLOCK = 0,
    QE_READ_SYS_INFO = 1,
    QE_READ_ZERO = 2,
    QE_READ_FULL = 3,
    QE_WRITE_SYS_INFO = 4,
    QE_WRITE_SENSOR_TYPE = 5,
    QE_WRITE_ZERO = 6,
    QE_WRITE_FULL = 7,
    QE_READ_PRJ_CAL = 8,
    QE_WRITE_PRJ_CAL = 9,
    QE_WRITE_AQ_PRJ_CAL = 10,
    QE_WRITE_SELF_GAIN = 11,
    QE_READ_CLOCK = 12,
    QE_READ_DIDO = 13,
    QE_WRITE_DO = 14,
    QE_READ_AQ_ZERO_FULL = 15,
    QE_WRITE_AO = 16,
    QE_WRITE_CLOCK = 17,
    QE_WRITE_AQ_ZERO_FULL = 18,
    QE_READ_SLAVE = 19,
    QE_WRITE_SLAVE = 20,
    QE_READ_LAMP = 23,
    QE_WRITE_LAMP = 24,
    QE_READ_MAC = 25,
    QE_WRITE_MAC = 26,
    QE_TEST_RAM = 27,
    QE_READ_AQ_TYPE = 28,
    QE_WRITE_AQ_TYPE = 29,
    QE_READ_AQ_TO_DQ = 30,
    QE_WRITE_AQ_TO_DQ = 31,
    QE_STOP_AND_CLEAR = 32,
    QE_LAMP_BOARD_CHECK = 33,
    QE_FLASH_START = 34,
    QE_FLASH_SIZE = 35,
    QE_FLASH_BLOCK = 36,
    QE_RUN_STOP = 49,
    QE_READ_AI_ALARM = 50,
    QE_WRITE_AI_ALARM = 51,
    QE_READ_WEEKDAY = 63,
    QE_WRITE_WEEKDAY = 64,
    QE_RESTORE_SELECTED = 65,
    QE_READ_CTRL = 66,
    QE_WRITE_CTRL = 67,
    QE_READ_SM = 68,
    QE_WRITE_SM = 69,
    QE_READ_RESEND = 70,
    QE_WRITE_RESEND = 71,
    QE_READ_RONGYU = 73,
    QE_WRITE_RONGYU = 74,
    QE_READ_GATEWAY = 75,
    QE_WRITE_GATEWAY = 76,
    QE_READ_RESEND_SLAVE = 77,
    QE_WRITE_RESEND_SLAVE = 78,
    QE_REFRESH_LIVE = 100,
    QE_READ_PDTAG = 101,
    QE_WRITE_PDTAG = 102,
    QE_READ_ZIGBEE = 176,
    QE_WRITE_ZIGBEE = 177,
    QE_WRITE_INNER_CAL = 180,
    QE_READ_INNER_CAL = 181,
};

struct EthRow {
    qint16 code;
    const char* name;       // "QE_READ_SYS_INFO"
    const char* status;     // StatusText; nullptr: the row leaves StatusText alone (QE_FLASH_BLOCK)
    const char* wait;       // wait text for Text2, nullptr when the row sets none
    const char* statusAlt;  // QE_LAMP_BOARD_CHECK with PendParam 0, else nullptr
    const char* waitAlt;
    bool write;             // SVC_WRITE through WriteCmd, else SVC_READ through ReadCmd
    qint32 index;
    qint32 subIndex;
    qint32 param;           // PendParam, unless paramAsLeft
    bool paramAsLeft;       // the row keeps the PendParam stored by the pusher
    qint32 payloadSize;     // WritePayload bytes; -1 variable; 0 for reads
    qint32 timeoutMs;       // Timer2 interval of a waiting row; 0 = fast
    const char* builder;    // payload builder (or the idle poll), nullptr for plain reads
    bool builderThenWriteCmd; // the dispatcher calls WriteCmd after the builder completed;
                              // otherwise the builder sends by itself
};

// nullptr for a code without a row ("无此功能号").
const EthRow* findEthCommand(qint16 code);
// All rows, in code order.
const EthRow* ethRows(int* count);

// The idle poll (QE_REFRESH_LIVE) alternates two reads of the system index:
// the live AI values in the representation of the display mode, then the
// AO, DI and DO values.
inline constexpr qint32 SUB_LIVE_AD = 8;
inline constexpr qint32 SUB_LIVE_TEMP = 9;
inline constexpr qint32 SUB_LIVE_VOLT = 12;
inline constexpr qint32 SUB_LIVE_DIDO = 13;
// Display mode 0 temperature, 1 A/D code, 2 voltage; nullopt for any other
// mode (then nothing is sent on that turn).
std::optional<qint32> liveSubIndex(int displayMode);

// The read request that raises the pending parameter after sending it, so that
// successive reads fetch slave rows 0, 1, 2, ...
inline constexpr qint32 SUB_SLAVE_READ = 14;

// Payload of QE_WRITE_INNER_CAL: eight values, 16 bits little-endian each.
inline constexpr int INNER_CAL_PAYLOAD_SIZE = 16;
QByteArray innerCalPayload(const qint16 (&v)[8]);

} // namespace net
