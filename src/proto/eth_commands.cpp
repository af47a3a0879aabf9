#include "proto/eth_commands.h"

#include "proto/calib_blocks.h"
#include "proto/net_datagram.h"

#include <algorithm>
#include <iterator>

namespace net {

namespace {

// Rows whose wait text is their status text share one string.
constexpr char READ_CTRL[] = "正在读取控制参数";
constexpr char WRITE_CTRL[] = "正在写入控制参数";
constexpr char READ_SM[] = "正在读取SM区信息";
constexpr char WRITE_SM[] = "正在写入SM区信息";
constexpr char READ_RESEND[] = "正在读取转发信息";
constexpr char WRITE_RESEND[] = "正在写入转发信息";
constexpr char READ_RONGYU[] = "正在读取冗余信息";
constexpr char WRITE_RONGYU[] = "正在写入冗余信息";
constexpr char READ_GATEWAY[] = "正在读取网关信息";
constexpr char WRITE_GATEWAY[] = "正在写入网关信息";
constexpr char READ_RESEND_SLAVE[] = "正在读取从设备转发信息";
constexpr char WRITE_RESEND_SLAVE[] = "正在写入从设备转发信息";
constexpr char READ_ZIGBEE[] = "读取以太网zigbee参数";
constexpr char WRITE_ZIGBEE[] = "写入以太网zigbee参数";
constexpr char WRITE_INNER_CAL[] = "正在写入内部AI参数校准值";
constexpr char READ_INNER_CAL[] = "正在读取内部AI参数校准值";
constexpr char READ_PRJ_CAL[] = "读工程校准值";
constexpr char WRITE_PRJ_CAL[] = "写工程校准值";
constexpr char READ_CLOCK[] = "读实时时钟";
constexpr char WRITE_CLOCK[] = "写实时时钟";
constexpr char WRITE_AQ_ZERO_FULL[] = "输出或写入AQ零点满度信息";
constexpr char WRITE_WEEKDAY[] = "正在写实时时钟星期";
constexpr char EMPTY[] = "";

constexpr bool R = false; // read
constexpr bool W = true;  // write
constexpr bool LEFT = true;
constexpr bool THEN_WRITE = true;
constexpr qint32 FAST = 0;
constexpr qint32 VARIABLE = -1;
constexpr qint32 SYS = IDX_SYSTEM;

// clang-format off
constexpr EthRow ROWS[] = {
    // code, name, status, wait, statusAlt, waitAlt, write, index, sub, param, asLeft, payload, timeout, builder, thenWriteCmd
    {QE_READ_USER_BLOCK, "QE_READ_USER_BLOCK", "读整个UserBlock，64k", nullptr, nullptr, nullptr, R, SYS, 0, 0, false, 0, 10000, nullptr, false},
    {QE_READ_SYS_INFO, "QE_READ_SYS_INFO", "读系统参数", nullptr, nullptr, nullptr, R, SYS, 1, 0, false, 0, FAST, nullptr, false},
    {QE_READ_ZERO, "QE_READ_ZERO", "读零点", nullptr, nullptr, nullptr, R, SYS, 2, 0, false, 0, FAST, nullptr, false},
    {QE_READ_FULL, "QE_READ_FULL", "读满度", nullptr, nullptr, nullptr, R, SYS, 3, 0, false, 0, FAST, nullptr, false},
    // 84 bytes (StoreSysInfo) or 232 (StoreSysInfoFix), by the connected model and firmware.
    {QE_WRITE_SYS_INFO, "QE_WRITE_SYS_INFO", "写系统参数", "正在写入系统参数，请等待", nullptr, nullptr, W, SYS, 4, 0, false, VARIABLE, 10000, "StoreSysInfo", THEN_WRITE},
    {QE_WRITE_SENSOR_TYPE, "QE_WRITE_SENSOR_TYPE", "写传感器类型", "正在写入传感器类型，请等待", nullptr, nullptr, W, SYS, 5, 0, false, 11, 5000, "StoreSensortype", THEN_WRITE},
    {QE_WRITE_ZERO, "QE_WRITE_ZERO", "写零点数据", "正在写入零点数据，请等待", nullptr, nullptr, W, SYS, 6, 0, false, 44, 5000, "StoreZeroPoint", THEN_WRITE},
    {QE_WRITE_FULL, "QE_WRITE_FULL", "写满度数据", "正在写入满度数据，请等待", nullptr, nullptr, W, SYS, 7, 0, false, 44, 5000, "StoreFullPoint", THEN_WRITE},
    {QE_READ_PRJ_CAL, "QE_READ_PRJ_CAL", READ_PRJ_CAL, READ_PRJ_CAL, nullptr, nullptr, R, SYS, 4, 0, false, 0, FAST, nullptr, false},
    {QE_WRITE_PRJ_CAL, "QE_WRITE_PRJ_CAL", WRITE_PRJ_CAL, WRITE_PRJ_CAL, nullptr, nullptr, W, SYS, 8, 0, false, 22, 1000, "StorPrj", false},
    {QE_WRITE_AQ_PRJ_CAL, "QE_WRITE_AQ_PRJ_CAL", "写AQ工程校准值", "正在写入AQ工程校准值", nullptr, nullptr, W, SYS, 10, 0, false, 16, 2000, "StorAQPrj", false},
    {QE_WRITE_SELF_GAIN, "QE_WRITE_SELF_GAIN", "写自增益校准值", "正在写入自增益校准值，请等待", nullptr, nullptr, W, SYS, 11, 0, false, 1, 20000, "StoreSelfGain", THEN_WRITE},
    {QE_READ_CLOCK, "QE_READ_CLOCK", READ_CLOCK, READ_CLOCK, nullptr, nullptr, R, SYS, 5, 0, false, 0, FAST, nullptr, false},
    {QE_READ_DIDO, "QE_READ_DIDO", "读DIDO数据", nullptr, nullptr, nullptr, R, SYS, 13, 0, false, 0, FAST, nullptr, false},
    {QE_WRITE_DO, "QE_WRITE_DO", "写DQ数据", "正在写入DO数据，请等待", nullptr, nullptr, W, SYS, 14, 0, false, 1, 5000, "StoreDOstate", THEN_WRITE},
    {QE_READ_AQ_ZERO_FULL, "QE_READ_AQ_ZERO_FULL", "读AQ零点满度信息", "读取AQ零点满度信息", nullptr, nullptr, R, SYS, 15, 0, LEFT, 0, FAST, nullptr, false},
    {QE_WRITE_AO, "QE_WRITE_AO", "写AQ数据", "正在写入AO数据，请等待", nullptr, nullptr, W, SYS, 16, 0, false, 16, 5000, "StoreAO", THEN_WRITE},
    {QE_WRITE_CLOCK, "QE_WRITE_CLOCK", WRITE_CLOCK, WRITE_CLOCK, nullptr, nullptr, W, SYS, 9, 0, false, 7, FAST, "WriteClock_E", false},
    {QE_WRITE_AQ_ZERO_FULL, "QE_WRITE_AQ_ZERO_FULL", WRITE_AQ_ZERO_FULL, WRITE_AQ_ZERO_FULL, nullptr, nullptr, W, SYS, 18, 0, LEFT, 33, 2000, "WriteAQZeroFull", false},
    {QE_READ_SLAVE, "QE_READ_SLAVE", "读从设备信息", nullptr, nullptr, nullptr, R, SYS, SUB_SLAVE_READ, 0, LEFT, 0, FAST, nullptr, false},
    // The entry stays on the stack while slave rows are marked for writing.
    {QE_WRITE_SLAVE, "QE_WRITE_SLAVE", "写从设备信息", "正在写从设备信息，请等待", nullptr, nullptr, W, SYS, 17, 0, false, 12, 1000, "StoreSlaveInfo", THEN_WRITE},
    {QE_READ_LAMP, "QE_READ_LAMP", "读小灯状态", nullptr, nullptr, nullptr, R, SYS, 10, 0, false, 0, FAST, nullptr, false},
    {QE_WRITE_LAMP, "QE_WRITE_LAMP", "写小灯状态", "正在写小灯状态", nullptr, nullptr, W, SYS, 12, 0, false, 18, FAST, "StoreLightState", THEN_WRITE},
    {QE_READ_MAC, "QE_READ_MAC", "读MAC地址", "正在读MAC地址", nullptr, nullptr, R, SYS, 16, 0, false, 0, FAST, nullptr, false},
    {QE_WRITE_MAC, "QE_WRITE_MAC", "写MAC地址", "正在写MAC地址", nullptr, nullptr, W, SYS, 19, 0, false, 6, 2000, "WriteMAC", false},
    {QE_TEST_RAM, "QE_TEST_RAM", "测试扩展RAM", "正在测试扩展RAM", nullptr, nullptr, R, SYS, 18, 0, false, 0, 8000, nullptr, false},
    {QE_READ_AQ_TYPE, "QE_READ_AQ_TYPE", "读AQ通道类型", "正在读AQ通道类型", nullptr, nullptr, R, SYS, 17, 0, false, 0, FAST, nullptr, false},
    {QE_WRITE_AQ_TYPE, "QE_WRITE_AQ_TYPE", "写AQ通道类型", "正在写AQ通道类型", nullptr, nullptr, W, SYS, 20, 0, LEFT, 8, 5000, "WriteAQType", false},
    {QE_READ_AQ_TO_DQ, "QE_READ_AQ_TO_DQ", "读AQ转DQ状态", "正在读AQ转DQ状态", nullptr, nullptr, R, SYS, 19, 0, false, 0, FAST, nullptr, false},
    {QE_WRITE_AQ_TO_DQ, "QE_WRITE_AQ_TO_DQ", "写AQ转DQ状态", "正在写AQ转DQ状态信息", nullptr, nullptr, W, SYS, 21, 0, false, 1, 3000, "WriteAQToDQ", false},
    // The request carries no data of its own.
    {QE_STOP_AND_CLEAR, "QE_STOP_AND_CLEAR", "写停止下位机指令运行并清除指令命令", "正在写停止下位机指令运行并清除指令命令", nullptr, nullptr, W, SYS, 22, 0, false, 0, 3000, "StopAndClear", false},
    // PendParam 1 enables the lamp-board check, 0 stops it (the Alt texts).
    {QE_LAMP_BOARD_CHECK, "QE_LAMP_BOARD_CHECK", "使能灯板自动检测", "正在写使能灯板自动检测功能", "停止灯板自动检测", "正在写禁止灯板自动检测功能", W, SYS, 23, 0, LEFT, 1, 2000, "WriteCheckLight", false},
    {QE_FLASH_START, "QE_FLASH_START", "启动下位机刷主程序", "正在启动下位机刷主程序", nullptr, nullptr, W, SYS, 0, 0, LEFT, 1, 9000, "StartFlash", false},
    {QE_FLASH_SIZE, "QE_FLASH_SIZE", "通知下位机主程序大小", "正在通知下位机主程序大小", nullptr, nullptr, W, SYS, 1, 0, LEFT, 2, 3000, "SendFlashSize", false},
    {QE_FLASH_BLOCK, "QE_FLASH_BLOCK", nullptr, "正在发送主程序", nullptr, nullptr, W, SYS, 2, 0, LEFT, 512, 5000, "SendFlashBlock", false},
    {QE_RUN_STOP, "QE_RUN_STOP", "启动下位机运行或停止状态", "正在启动下位机运行或停止状态", nullptr, nullptr, W, SYS, 25, 0, LEFT, 1, 3000, "WriteRunStop", false},
    {QE_READ_AI_ALARM, "QE_READ_AI_ALARM", "刷新AI报警灯状态", "正在刷新AI报警灯状态", nullptr, nullptr, R, SYS, 20, 0, LEFT, 0, 3000, nullptr, false},
    {QE_WRITE_AI_ALARM, "QE_WRITE_AI_ALARM", "写AI上下报警值", "正在写AI上下限报警值", nullptr, nullptr, W, SYS, 26, 0, LEFT, 32, 3000, "WriteAIWarning", false},
    {QE_READ_WEEKDAY, "QE_READ_WEEKDAY", "读实时时钟星期", "正在读实时时钟星期", nullptr, nullptr, R, IDX_MEM, 0, 0, false, 0, 3000, nullptr, false},
    {QE_WRITE_WEEKDAY, "QE_WRITE_WEEKDAY", WRITE_WEEKDAY, WRITE_WEEKDAY, nullptr, nullptr, W, IDX_MEM, 59, 0, false, 2, 5000, "WriteWeekDay_E", false},
    {QE_RESTORE_SELECTED, "QE_RESTORE_SELECTED", EMPTY, EMPTY, nullptr, nullptr, W, SYS, 28, 0, LEFT, 3, 5000, "ResumeParam_E", false},
    {QE_READ_CTRL, "QE_READ_CTRL", READ_CTRL, READ_CTRL, nullptr, nullptr, R, IDX_CTRL, 0, 0, false, 0, 10000, nullptr, false},
    {QE_WRITE_CTRL, "QE_WRITE_CTRL", WRITE_CTRL, WRITE_CTRL, nullptr, nullptr, W, IDX_CTRL, 0, 0, false, 242, 10000, "WriteCtrl", false},
    {QE_READ_SM, "QE_READ_SM", READ_SM, READ_SM, nullptr, nullptr, R, IDX_MEM, 0, 256, false, 0, 10000, nullptr, false},
    {QE_WRITE_SM, "QE_WRITE_SM", WRITE_SM, WRITE_SM, nullptr, nullptr, W, IDX_MEM, 257, 0, false, 512, 10000, "WriteSM", false},
    {QE_READ_RESEND, "QE_READ_RESEND", READ_RESEND, READ_RESEND, nullptr, nullptr, R, IDX_COMM, 4, 0, false, 0, 10000, nullptr, false},
    // entries x 24 + 8 bytes
    {QE_WRITE_RESEND, "QE_WRITE_RESEND", WRITE_RESEND, WRITE_RESEND, nullptr, nullptr, W, IDX_COMM, 6, 0, false, VARIABLE, 10000, "WriteResend", false},
    {QE_READ_RONGYU, "QE_READ_RONGYU", READ_RONGYU, READ_RONGYU, nullptr, nullptr, R, IDX_RONGYU, 0, 0, false, 0, 10000, nullptr, false},
    {QE_WRITE_RONGYU, "QE_WRITE_RONGYU", WRITE_RONGYU, WRITE_RONGYU, nullptr, nullptr, W, IDX_RONGYU, 0, 0, false, 208, 10000, "WriteRongyu", false},
    {QE_READ_GATEWAY, "QE_READ_GATEWAY", READ_GATEWAY, READ_GATEWAY, nullptr, nullptr, R, IDX_COMM, 5, 0, false, 0, 3000, nullptr, false},
    {QE_WRITE_GATEWAY, "QE_WRITE_GATEWAY", WRITE_GATEWAY, WRITE_GATEWAY, nullptr, nullptr, W, IDX_COMM, 7, 0, false, 8, 3000, "WriteNetGate", false},
    {QE_READ_RESEND_SLAVE, "QE_READ_RESEND_SLAVE", READ_RESEND_SLAVE, READ_RESEND_SLAVE, nullptr, nullptr, R, IDX_COMM, 3, 0, false, 0, 3000, nullptr, false},
    {QE_WRITE_RESEND_SLAVE, "QE_WRITE_RESEND_SLAVE", WRITE_RESEND_SLAVE, WRITE_RESEND_SLAVE, nullptr, nullptr, W, IDX_COMM, 5, 0, false, 64, 3000, "WriteSlave", false},
    // The idle poll: CircularRead chooses index and sub-index on every run, and
    // first puts the normal dispatcher period back.
    {QE_REFRESH_LIVE, "QE_REFRESH_LIVE", "读DIDO实时数据", nullptr, nullptr, nullptr, R, 0, 0, 0, false, 0, FAST, "CircularRead", false},
    {QE_READ_PDTAG, "QE_READ_PDTAG", "读DeviceID、PDTag", nullptr, nullptr, nullptr, R, IDX_PDTAG, 2, 0, false, 0, FAST, nullptr, false},
    // The whole of WritePayload (the block as last read); the builder fills its first 64 bytes.
    {QE_WRITE_PDTAG, "QE_WRITE_PDTAG", "写DeviceID、PDTag", nullptr, nullptr, nullptr, W, IDX_PDTAG, 1, 0, false, VARIABLE, 5000, "StorePDTag", THEN_WRITE},
    {QE_READ_ZIGBEE, "QE_READ_ZIGBEE", READ_ZIGBEE, READ_ZIGBEE, nullptr, nullptr, R, IDX_COMM, 1, 0, false, 0, 1000, nullptr, false},
    {QE_WRITE_ZIGBEE, "QE_WRITE_ZIGBEE", WRITE_ZIGBEE, WRITE_ZIGBEE, nullptr, nullptr, W, IDX_COMM, 1, 0, false, 42, 1000, "WriteZigbeeParam", false},
    {QE_WRITE_INNER_CAL, "QE_WRITE_INNER_CAL", WRITE_INNER_CAL, WRITE_INNER_CAL, nullptr, nullptr, W, SYS, 27, 0, false, INNER_CAL_PAYLOAD_SIZE, 1000, "innerCalPayload", THEN_WRITE},
    {QE_READ_INNER_CAL, "QE_READ_INNER_CAL", READ_INNER_CAL, READ_INNER_CAL, nullptr, nullptr, R, SYS, 21, 0, false, 0, 1000, nullptr, false},
};
// clang-format on

constexpr bool inCodeOrder()
{
    for (std::size_t i = 1; i < std::size(ROWS); ++i)
        if (ROWS[i - 1].code >= ROWS[i].code)
            return false;
    return true;
}
static_assert(inCodeOrder(), "rows must stand in ascending code order");

} // namespace

const EthRow* findEthCommand(qint16 code)
{
    const auto* end = std::end(ROWS);
    const auto* it = std::lower_bound(std::begin(ROWS), end, code,
                                      [](const EthRow& r, qint16 c) { return r.code < c; });
    return it != end && it->code == code ? it : nullptr;
}

const EthRow* ethRows(int* count)
{
    if (count)
        *count = int(std::size(ROWS));
    return ROWS;
}

std::optional<qint32> liveSubIndex(int displayMode)
{
    switch (displayMode) {
    case 0: return SUB_LIVE_TEMP;
    case 1: return SUB_LIVE_AD;
    case 2: return SUB_LIVE_VOLT;
    default: return std::nullopt;
    }
}

QByteArray innerCalPayload(const qint16 (&v)[8])
{
    return blocks::i16Values(v);
}

} // namespace net
