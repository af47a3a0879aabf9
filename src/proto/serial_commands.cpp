#include "proto/serial_commands.h"

#include "proto/control_blocks.h"
#include "proto/calib_blocks.h"
#include "proto/serial_frame.h"
#include "proto/sys_param.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace serial {

namespace {

constexpr Build P = Build::Plain;
constexpr Build I = Build::Inline;
constexpr Build B = Build::Builder;
constexpr std::int32_t FAST = 0;

// One row per serial queue code, in code order. Where a row's wait text is the
// status text itself, both columns hold the same string.
// clang-format off
constexpr CommandRow COMMANDS[] = {
    {QS_READ_SYS_INFO, "QS_READ_SYS_INFO", "读系统信息", nullptr, nullptr, nullptr,
     1, 7, 111, FAST, P, "GetSysInfo"},
    {QS_READ_ZERO, "QS_READ_ZERO", "读通道零点数据", nullptr, nullptr, nullptr,
     2, 7, 51, FAST, P, "GetZero"},
    {QS_READ_FULL, "QS_READ_FULL", "读满度数据", nullptr, nullptr, nullptr,
     3, 7, 51, FAST, P, "GetFull"},
    // Short layout by default; the long layout is 220 / 220 (useLongSysLayout).
    {QS_WRITE_SYS_INFO, "QS_WRITE_SYS_INFO", "置系统信息", "置系统信息", nullptr, nullptr,
     4, SYS_INFO_SHORT_LEN, SYS_INFO_SHORT_LEN, 5000, B, "SetSysInfo/SetSysInfoFix"},
    {QS_WRITE_SENSOR_TYPE, "QS_WRITE_SENSOR_TYPE", "写入传感器类型", "正在写入传感器类型，请等待", nullptr, nullptr,
     5, 18, 18, 5000, B, "SetSensorType"},
    {QS_WRITE_ZERO, "QS_WRITE_ZERO", "写零点数据", "正在写入零点数据，请等待", nullptr, nullptr,
     6, 51, 51, 5000, B, "SetZero"},
    {QS_WRITE_FULL, "QS_WRITE_FULL", "写满度数据", "正在写入满度数据，请等待", nullptr, nullptr,
     7, 51, 51, 5000, B, "SetFull"},
    // The idle poll alternates a measurement read (9, 8 or 12 by display mode)
    // with the DI/DO read; the row gives the temperature read, its first phase.
    {QS_REFRESH_LIVE, "QS_REFRESH_LIVE", "读AD转换码", "读AD转换码", nullptr, nullptr,
     FN_READ_TEMP, 7, 29, FAST, B, "ReadData"},
    {QS_READ_PRJ_CAL, "QS_READ_PRJ_CAL", "读工程校准值", "读工程校准值", nullptr, nullptr,
     FN_READ_PRJ_CAL, 7, 29, FAST, P, "GetPrjval"},
    {QS_WRITE_AQ_PRJ_CAL, "QS_WRITE_AQ_PRJ_CAL", "写AQ工程校准值", "正在写入AQ工程校准值", nullptr, nullptr,
     10, 23, 23, 2000, B, "WriteAQJust"},
    {QS_WRITE_SELF_GAIN, "QS_WRITE_SELF_GAIN", "写入自增益校准值", "正在写入自增益校准值，请等待", nullptr, nullptr,
     11, 8, 14, 20000, B, "ExecuteSelfGain"},
    {QS_WRITE_PRJ_CAL, "QS_WRITE_PRJ_CAL", "写工程校准值", "写工程校准值", nullptr, nullptr,
     FN_WRITE_PRJ_CAL, 29, 29, 1000, B, "SetPrjval"},
    // 26 or 27 bytes by device (didoReplyLen).
    {QS_READ_DIDO, "QS_READ_DIDO", "读DIDO", "读DIDO", nullptr, nullptr,
     FN_DIDO, 7, DIDO_REPLY_SHORT, FAST, B, "ReadDIDO"},
    {QS_WRITE_DO, "QS_WRITE_DO", "写DO数据", "正在写入DO数据，请等待", nullptr, nullptr,
     14, 8, 8, 5000, B, "WriteDo"},
    {QS_READ_PDTAG, "QS_READ_PDTAG", "读DeviceID、PDTag", "读DeviceID、PDTag", nullptr, nullptr,
     FN_READ_PDTAG, 7, 71, FAST, P, "GetPdtag"},
    {QS_WRITE_AO, "QS_WRITE_AO", "写AQ数据", "正在写入AO数据，请等待", nullptr, nullptr,
     16, 23, 23, 5000, B, "WriteAO"},
    {QS_WRITE_PDTAG, "QS_WRITE_PDTAG", "写DeviceID、PDTag", "正在写DeviceID、PDTag", nullptr, nullptr,
     FN_WRITE_PDTAG, 71, 71, 2000, B, "SetPdtag"},
    {QS_READ_CLOCK, "QS_READ_CLOCK", "读实时时钟", "正在读实时时钟", nullptr, nullptr,
     FN_READ_CLOCK, 7, 15, 2000, P, "ReadClock_S"},
    {QS_WRITE_CLOCK, "QS_WRITE_CLOCK", "写实时时钟", "正在写实时时钟", nullptr, nullptr,
     FN_WRITE_CLOCK, 15, 15, 2000, B, "WriteClock_S"},
    {QS_READ_LAMP, "QS_READ_LAMP", "读小灯状态", "正在读取小灯状态", nullptr, nullptr,
     23, 7, 25, 2000, P, "ReadLightState"},
    {QS_WRITE_LAMP, "QS_WRITE_LAMP", "写小灯状态", "正在写入小灯状态", nullptr, nullptr,
     24, 25, 25, 2000, B, "WriteLightState"},
    {QS_READ_SLAVE, "QS_READ_SLAVE", "读从设备信息", "正在读从设备信息", nullptr, nullptr,
     32, 9, 19, 2000, B, "ReadSlaveInfo"},
    {QS_WRITE_SLAVE, "QS_WRITE_SLAVE", "写从设备信息", "正在写从设备信息", nullptr, nullptr,
     33, 19, 19, 1000, B, "WriteSlaveInfo"},
    {QS_WRITE_AQ_ZERO_FULL, "QS_WRITE_AQ_ZERO_FULL", "输出或写入AQ零点满度", "输出或写入AQ零点满度信息", nullptr, nullptr,
     34, 40, 40, 2000, B, "WriteAQZeroFull"},
    {QS_READ_AQ_ZERO_FULL, "QS_READ_AQ_ZERO_FULL", "读AQ零点满度", "正在读AQ零点满度信息", nullptr, nullptr,
     35, 7, 71, 1000, P, "ReadAQZeroFull"},
    {QS_WRITE_MAC, "QS_WRITE_MAC", "写MAC地址", "正在写设备MAC地址", nullptr, nullptr,
     36, 13, 13, 1000, B, "WriteMAC"},
    {QS_READ_MAC, "QS_READ_MAC", "读MAC地址", "正在读设备MAC地址", nullptr, nullptr,
     37, 7, 13, 1000, P, "ReadMAC"},
    {QS_WRITE_AQ_TYPE, "QS_WRITE_AQ_TYPE", "写AQ通道类型", "正在写AQ通道类型", nullptr, nullptr,
     38, 15, 15, 5000, B, "WriteAQType"},
    {QS_READ_AQ_TYPE, "QS_READ_AQ_TYPE", "读AQ通道类型", "正在读AQ通道类型", nullptr, nullptr,
     39, 7, 15, 1000, P, "ReadAQType"},
    // A bare 7-byte request; the watchdog and progress bar around it are the engine's.
    {QS_TEST_RAM, "QS_TEST_RAM", "测试扩展RAM", "正在测试扩展RAM", nullptr, nullptr,
     40, 7, 8, 8000, P, "TestExtRAM"},
    {QS_WRITE_AQ_TO_DQ, "QS_WRITE_AQ_TO_DQ", "写AQ转DQ状态信息", "正在写AQ转DQ状态信息", nullptr, nullptr,
     41, 8, 8, 4000, B, "WriteAQToDQ"},
    {QS_READ_AQ_TO_DQ, "QS_READ_AQ_TO_DQ", "读AQ转DQ状态", "正在读AQ转DQ状态", nullptr, nullptr,
     42, 7, 8, 2000, P, "ReadAQToDQ"},
    {QS_STOP_AND_CLEAR, "QS_STOP_AND_CLEAR", "写停止下位机运行并清除下位机指令命令",
     "正在写停止下位机运行并清除下位机指令命令", nullptr, nullptr,
     43, 7, 7, 3000, P, "StopAndClear"},
    // PendParam 1 enables the lamp-board check, 0 stops it (the Alt texts).
    {QS_LAMP_BOARD_CHECK, "QS_LAMP_BOARD_CHECK", "使能灯板检测", "正在写使能灯板自动检测功能",
     "停止灯板检测", "正在写禁止灯板自动检测功能",
     44, 8, 8, 2000, B, "WriteCheckLight"},
    {QS_FLASH_START, "QS_FLASH_START", "启动下位机刷主程序", "正在启动下位机刷主程序", nullptr, nullptr,
     45, 7, 7, 7000, B, "StartFlash"},
    {QS_FLASH_SIZE, "QS_FLASH_SIZE", "通知下位机主程序大小", "正在通知下位机主程序大小", nullptr, nullptr,
     46, 9, 9, 7000, B, "SendFlashSize"},
    {QS_FLASH_BLOCK, "QS_FLASH_BLOCK", "发送主程序", "正在发送主程序", nullptr, nullptr,
     47, 519, 7, 5000, B, "SendFlashBlock"},
    {QS_RUN_STOP, "QS_RUN_STOP", "启动下位机运行或停止状态", "正在启动下位机运行或停止状态", nullptr, nullptr,
     49, 8, 8, 3000, B, "WriteRunStop"},
    {QS_READ_AI_ALARM, "QS_READ_AI_ALARM", "刷新AI报警灯状态", "正在刷新AI报警灯状态", nullptr, nullptr,
     50, 7, 40, 3000, P, "ReadFreshAI"},
    {QS_WRITE_AI_ALARM, "QS_WRITE_AI_ALARM", "写AI报警上下限值", "正在写AI报警上下限值", nullptr, nullptr,
     51, 39, 39, 3000, B, "WriteAIWarning"},
    {QS_SAVE_PARAMS, "QS_SAVE_PARAMS", "保存系统参数", "正在保存系统参数", nullptr, nullptr,
     55, 7, 7, 1000, P, "inline"},
    {QS_RESTORE_PARAMS, "QS_RESTORE_PARAMS", "恢复系统参数", "正在恢复系统参数", nullptr, nullptr,
     56, 7, 7, 1000, P, "inline"},
    {QS_READ_ZIGBEE, "QS_READ_ZIGBEE", "正在读取zigbee配置参数", "正在读取zigbee配置参数", nullptr, nullptr,
     57, 7, 41, 1000, P, "inline"},
    {QS_WRITE_COLD_CAL, "QS_WRITE_COLD_CAL", "正在写入冷端校准值", "正在写入冷端校准值", nullptr, nullptr,
     60, 9, 9, 1000, I, "inline"},
    {QS_WRITE_INNER_CAL, "QS_WRITE_INNER_CAL", "正在写入内部AI工程校准值", "正在写入内部AI工程校准值", nullptr, nullptr,
     61, 23, 7, 1000, I, "inline"},
    {QS_READ_INNER_CAL, "QS_READ_INNER_CAL", "正在读取内部AI工程校准值", "正在读取内部AI工程校准值", nullptr, nullptr,
     62, 7, 23, 1000, P, "inline"},
    {QS_WRITE_ZIGBEE, "QS_WRITE_ZIGBEE", "正在写入zigbee配置参数", "正在写入zigbee配置参数", nullptr, nullptr,
     64, 41, 41, 1000, B, "WriteZigbeeParam"},
    {QS_TEST_ZIGBEE, "QS_TEST_ZIGBEE", "正在进行zigbee通信测试", "正在进行zigbee通信测试", nullptr, nullptr,
     65, 7, 9, 12000, P, "inline"},
    {QS_READ_CTRL, "QS_READ_CTRL", "正在读取控制参数", "正在读取控制参数", nullptr, nullptr,
     FN_READ_CTRL, 7, 249, 10000, P, "inline"},
    {QS_WRITE_CTRL, "QS_WRITE_CTRL", "正在写入控制参数", "正在写入控制参数", nullptr, nullptr,
     FN_WRITE_CTRL, 249, 7, 10000, B, "WriteCtrl"},
    {QS_READ_SM, "QS_READ_SM", "正在读取SM区数据", "正在读取SM区数据", nullptr, nullptr,
     FN_READ_SM, 7, 519, 10000, P, "inline"},
    {QS_WRITE_SM, "QS_WRITE_SM", "正在写入SM区数据", "正在写入SM区数据", nullptr, nullptr,
     FN_WRITE_SM, 519, 7, 10000, B, "WriteSM"},
    {QS_READ_RESEND, "QS_READ_RESEND", "正在读取转发参数", "正在读取转发参数", nullptr, nullptr,
     FN_READ_RESEND, 7, 495, 10000, P, "inline"},
    // entries x 24 + 15 bytes; the builder sets the length for the table it sends.
    {QS_WRITE_RESEND, "QS_WRITE_RESEND", "正在写入转发参数", "正在写入转发参数", nullptr, nullptr,
     FN_WRITE_RESEND, RESEND_WRITE_BASE_LEN, 7, 10000, B, "WriteResend"},
    {QS_CONVERT_DEVICE_TYPE, "QS_CONVERT_DEVICE_TYPE", "正在转换设备类型", "正在转换设备类型", nullptr, nullptr,
     FN_CONVERT_DEVICE_TYPE, 7, 7, 12000, P, "inline"},
    {QS_READ_RONGYU, "QS_READ_RONGYU", "正在读取冗余信息", "正在读取冗余信息", nullptr, nullptr,
     FN_READ_RONGYU, 7, 215, 10000, P, "inline"},
    {QS_WRITE_RONGYU, "QS_WRITE_RONGYU", "正在写入冗余信息", "正在写入冗余信息", nullptr, nullptr,
     FN_WRITE_RONGYU, 215, 7, 10000, B, "WriteRongyu"},
    {QS_READ_GATEWAY, "QS_READ_GATEWAY", "正在读取网关信息", "正在读取网关信息", nullptr, nullptr,
     FN_READ_GATEWAY, 7, 15, 1000, P, "inline"},
    {QS_WRITE_GATEWAY, "QS_WRITE_GATEWAY", "正在写入网关信息", "正在写入网关信息", nullptr, nullptr,
     FN_WRITE_GATEWAY, 15, 7, 3000, B, "WriteNetGate"},
    {QS_READ_RESEND_SLAVE, "QS_READ_RESEND_SLAVE", "正在读取从设备转发信息", "正在读取从设备转发信息", nullptr, nullptr,
     FN_READ_RESEND_SLAVE, 7, 71, 3000, P, "inline"},
    {QS_WRITE_RESEND_SLAVE, "QS_WRITE_RESEND_SLAVE", "正在写入从设备转发信息", "正在写入从设备转发信息", nullptr, nullptr,
     FN_WRITE_RESEND_SLAVE, 71, 7, 3000, B, "WriteSlave"},
    {QS_RESTORE_DEFAULTS, "QS_RESTORE_DEFAULTS", "正在恢复默认参数", "正在恢复默认参数", nullptr, nullptr,
     FN_RESTORE_DEFAULTS, 7, 7, 12000, P, "inline"},
    // Goes out with the function code of QS_RESTORE_PARAMS.
    {QS_RESTORE_SELECTED, "QS_RESTORE_SELECTED", "正在恢复默认参数", "正在恢复默认参数", nullptr, nullptr,
     QS_RESTORE_PARAMS, 10, 7, 12000, I, "inline"},
    {QS_READ_PROFIBUS, "QS_READ_PROFIBUS", "正在读Profibus状态", "正在读Profibus状态", nullptr, nullptr,
     FN_READ_PROFIBUS, 7, 8, 2000, P, "inline"},
    {QS_WRITE_PROFIBUS, "QS_WRITE_PROFIBUS", "正在写Profibus状态", "正在写Profibus状态", nullptr, nullptr,
     FN_WRITE_PROFIBUS, 8, 8, 3000, I, "inline"},
};

constexpr Ending R = Ending::Resume;
constexpr Ending N = Ending::None;

// Reply branches by the reply's function code. The fast reads (1, 2, 3, 13,
// 18, 21) never stopped the dispatcher and so have no ending.
constexpr ReplyRow REPLIES[] = {
    {1, "QS_READ_SYS_INFO", "取系统信息", N, false, false, false},
    {2, "QS_READ_ZERO", "读入零点数据", N, false, false, false},
    {3, "QS_READ_FULL", "读入满度数据", N, false, false, false},
    {4, "QS_WRITE_SYS_INFO", "设置配置信息成功", R, true, false, false},
    {5, "QS_WRITE_SENSOR_TYPE", "设置传感器类型成功", R, false, false, true},
    {6, "QS_WRITE_ZERO", "写零点数据成功", R, false, false, false},
    {7, "QS_WRITE_FULL", "写入满度成功", R, false, false, false},
    {FN_READ_AD, "QS_REFRESH_LIVE", "读A/D测量值成功", R, false, false, false},
    {FN_READ_TEMP, "QS_REFRESH_LIVE", "读温度测量值成功", R, false, false, false},
    {10, "QS_WRITE_AQ_PRJ_CAL", "写AQ工程校准值成功", R, false, true, false},
    {11, "QS_WRITE_SELF_GAIN", "执行自增益校准成功", R, false, true, false},
    {FN_READ_VOLT, "QS_REFRESH_LIVE", "读电压测量值成功", R, false, false, false},
    {FN_DIDO, "QS_REFRESH_LIVE/QS_READ_DIDO", "读入AO/DI/DO数值", N, false, false, false},
    {14, "QS_WRITE_DO", nullptr, R, false, false, false},
    {16, "QS_WRITE_AO", "写AO值成功", R, false, false, false},
    {FN_WRITE_PRJ_CAL, "QS_WRITE_PRJ_CAL", "置工程校准值成功", R, false, false, false},
    {FN_READ_PRJ_CAL, "QS_READ_PRJ_CAL", "读工程校准值成功", N, false, false, false},
    {FN_READ_CLOCK, "QS_READ_CLOCK", "读实时时钟成功", R, false, false, false},
    {FN_WRITE_CLOCK, "QS_WRITE_CLOCK", "写实时时钟成功", R, false, false, false},
    {FN_READ_PDTAG, "QS_READ_PDTAG", "读PDTag、DeviceID成功", N, false, false, false},
    {FN_WRITE_PDTAG, "QS_WRITE_PDTAG", "写PDTag、DeviceID成功", R, false, false, false},
    {23, "QS_READ_LAMP", "读出小灯状态", R, false, false, false},
    {24, "QS_WRITE_LAMP", "写入小灯状态成功", R, false, false, false},
    {32, "QS_READ_SLAVE", "读从设备信息成功", R, false, false, false},
    // The slave window's reply handler takes it as the row's acknowledgement;
    // the write's text follows its last row.
    {33, "QS_WRITE_SLAVE", nullptr, R, false, false, false},
    {34, "QS_WRITE_AQ_ZERO_FULL", "写AQ零点满度成功", R, false, false, false},
    {35, "QS_READ_AQ_ZERO_FULL", "读AQ零点满度成功", R, false, false, false},
    {36, "QS_WRITE_MAC", "写设备MAC地址成功", R, false, false, false},
    {37, "QS_READ_MAC", "读设备MAC地址成功", R, false, false, false},
    {38, "QS_WRITE_AQ_TYPE", "写AQ通道类型成功", R, false, false, false},
    {39, "QS_READ_AQ_TYPE", "读AQ通道类型成功", R, false, false, false},
    {40, "QS_TEST_RAM", "读测试扩展RAM结束", R, false, false, false},
    {41, "QS_WRITE_AQ_TO_DQ", "写AQ转DQ状态成功", R, false, false, false},
    {42, "QS_READ_AQ_TO_DQ", "读取AQ转DQ状态成功", R, false, false, false},
    {43, "QS_STOP_AND_CLEAR", "写停止下位机运行并清空下位机程序命令成功", R, false, false, false},
    {44, "QS_LAMP_BOARD_CHECK", "灯板自动检测通信成功", R, false, false, false},
    {45, "QS_FLASH_START", "开始升级，请等待...", R, false, false, false},
    {46, "QS_FLASH_SIZE", "下载升级包大小成功", R, false, false, false},
    {47, "QS_FLASH_BLOCK", nullptr, R, false, false, false},
    {49, "QS_RUN_STOP", "启动成功", R, false, false, false},
    {50, "QS_READ_AI_ALARM", "读取AI通道报警灯成功", R, false, false, false},
    {51, "QS_WRITE_AI_ALARM", "写入AI通道报警值成功", R, false, false, false},
    {FN_RESTORE_DEFAULTS, "QS_RESTORE_DEFAULTS", "恢复默认参数成功", R, false, false, false},
    {55, "QS_SAVE_PARAMS", "保存系统参数成功", R, false, false, false},
    {56, "QS_RESTORE_PARAMS/QS_RESTORE_SELECTED", "恢复系统参数成功", R, false, false, false},
    {57, "QS_READ_ZIGBEE", "读取zigbee参数成功", R, false, false, false},
    {60, "QS_WRITE_COLD_CAL", "写入冷端校准成功", R, false, false, false},
    {61, "QS_WRITE_INNER_CAL", "写入内部工程校准值成功", R, false, false, false},
    {62, "QS_READ_INNER_CAL", "读取内部工程校准值成功", R, false, false, false},
    {64, "QS_WRITE_ZIGBEE", "写入zigbee参数成功", R, false, false, false},
    {65, "QS_TEST_ZIGBEE", nullptr, R, false, false, false},
    {FN_READ_RESEND_SLAVE, "QS_READ_RESEND_SLAVE", "读取从设备转发参数成功", R, false, false, false},
    {FN_WRITE_RESEND_SLAVE, "QS_WRITE_RESEND_SLAVE", "写从设备转发参数成功", R, false, false, false},
    {FN_READ_RESEND, "QS_READ_RESEND", "读取转发参数成功", R, false, false, false},
    {FN_WRITE_RESEND, "QS_WRITE_RESEND", "写入转发参数成功", R, false, false, false},
    {FN_READ_RONGYU, "QS_READ_RONGYU", "读取冗余信息成功", R, false, false, false},
    {FN_WRITE_RONGYU, "QS_WRITE_RONGYU", "写入冗余信息成功", R, false, false, false},
    {FN_READ_SM, "QS_READ_SM", "读取SM区数据成功", R, false, false, false},
    {FN_WRITE_SM, "QS_WRITE_SM", "写入SM区数据成功", R, false, false, false},
    {FN_READ_CTRL, "QS_READ_CTRL", "读取控制参数成功", R, false, false, false},
    {FN_WRITE_CTRL, "QS_WRITE_CTRL", "写入控制参数成功", R, false, false, false},
    {FN_READ_GATEWAY, "QS_READ_GATEWAY", "读取网关信息成功", R, false, false, false},
    {FN_WRITE_GATEWAY, "QS_WRITE_GATEWAY", "写入网关信息成功", R, false, false, false},
    {FN_READ_PROFIBUS, "QS_READ_PROFIBUS", "读Profibus状态成功", R, false, false, false},
    {FN_WRITE_PROFIBUS, "QS_WRITE_PROFIBUS", "写Profibus状态成功", R, false, false, false},
};
// clang-format on

constexpr bool commandsSorted()
{
    for (std::size_t i = 1; i < std::size(COMMANDS); ++i)
        if (COMMANDS[i - 1].code >= COMMANDS[i].code)
            return false;
    return true;
}
static_assert(commandsSorted(), "command rows must be in strictly ascending code order");

constexpr bool repliesUnique()
{
    for (std::size_t i = 0; i < std::size(REPLIES); ++i)
        for (std::size_t j = i + 1; j < std::size(REPLIES); ++j)
            if (REPLIES[i].fn == REPLIES[j].fn)
                return false;
    return true;
}
static_assert(repliesUnique(), "one reply branch per function code");

// Byte offsets inside the 34-byte ZigBee parameter block.
constexpr int ZB_LOGIC = 0;
constexpr int ZB_NET_TYPE = 1;
constexpr int ZB_DNO_LOW = 2;
constexpr int ZB_CHANNEL_MASK = 4;
constexpr int ZB_MAC = 8;
constexpr int ZB_EXT_PAN = 16;
constexpr int ZB_ENABLE = 24;
constexpr int ZB_CHAIN_ADDR = 25;
constexpr int ZB_ADV1 = 26;
constexpr int ZB_ADV2 = 28;
constexpr int ZB_ADV3 = 30;
constexpr int ZB_ADV_FLAG = 32;

void appendLe16(QByteArray& out, std::int16_t v)
{
    const auto u = static_cast<std::uint16_t>(v);
    out.append(char(u & 0xFF));
    out.append(char(u >> 8));
}

} // namespace

const CommandRow* findCommand(std::int16_t code)
{
    const auto* end = std::end(COMMANDS);
    const auto* it = std::lower_bound(std::begin(COMMANDS), end, code,
                                      [](const CommandRow& r, std::int16_t c) { return r.code < c; });
    return (it != end && it->code == code) ? it : nullptr;
}

const CommandRow* commandRows(int* count)
{
    if (count)
        *count = int(std::size(COMMANDS));
    return COMMANDS;
}

const ReplyRow* findReply(std::uint8_t fn)
{
    for (const auto& r : REPLIES)
        if (r.fn == fn)
            return &r;
    return nullptr;
}

QByteArray plainRequest(std::uint8_t fn)
{
    return buildFrame(fn);
}

QByteArray coldCalRequest(std::int16_t tempWriteValue)
{
    QByteArray p;
    appendLe16(p, tempWriteValue);
    return buildFrame(QS_WRITE_COLD_CAL, p);
}

QByteArray innerCalRequest(const std::int16_t (&values)[8])
{
    return buildFrame(QS_WRITE_INNER_CAL, blocks::i16Values(values));
}

QByteArray restoreSelectedRequest(std::uint8_t resumeMask)
{
    return buildFrame(QS_RESTORE_PARAMS, control::restoreSelectedBlock(resumeMask));
}

QByteArray profibusWriteRequest(bool on)
{
    return buildFrame(FN_WRITE_PROFIBUS, control::oneByte(on ? 1 : 0));
}

int didoReplyLen(std::uint8_t deviceType, std::uint16_t innerVersion)
{
    // The version is compared as a signed word here: versions from 0x8000 up
    // count as negative and get the short reply.
    const auto v = static_cast<std::int16_t>(innerVersion);
    if (v == 9732)
        return DIDO_REPLY_SHORT;
    if (deviceType == 29 || deviceType == 33 || v >= 12856)
        return DIDO_REPLY_LONG;
    return DIDO_REPLY_SHORT;
}

bool useLongSysLayout(std::uint8_t deviceType, std::uint16_t innerVersion)
{
    return sysparam::useLongLayout(deviceType, innerVersion);
}

bool decodeZigbee(std::span<const std::uint8_t> payload, ZigbeeBlock& out)
{
    if (payload.size() < std::size_t(ZIGBEE_BLOCK_SIZE))
        return false;
    const auto* p = payload.data();
    auto u16 = [p](int o) { return std::uint16_t(p[o] | (p[o + 1] << 8)); };

    ZigbeeBlock z;
    z.logic = p[ZB_LOGIC];
    z.netType = p[ZB_NET_TYPE];
    z.dnoLow = u16(ZB_DNO_LOW);
    z.channelMask = std::int32_t(std::uint32_t(p[ZB_CHANNEL_MASK]) | (std::uint32_t(p[ZB_CHANNEL_MASK + 1]) << 8)
                                 | (std::uint32_t(p[ZB_CHANNEL_MASK + 2]) << 16)
                                 | (std::uint32_t(p[ZB_CHANNEL_MASK + 3]) << 24));
    std::copy(p + ZB_MAC, p + ZB_MAC + 8, z.mac);
    std::copy(p + ZB_EXT_PAN, p + ZB_EXT_PAN + 8, z.extPan);
    z.enable = p[ZB_ENABLE];
    z.chainAddr = p[ZB_CHAIN_ADDR];
    z.adv1 = std::int16_t(u16(ZB_ADV1));
    z.adv2 = std::int16_t(u16(ZB_ADV2));
    z.adv3 = std::int16_t(u16(ZB_ADV3));
    z.advFlag = std::int16_t(u16(ZB_ADV_FLAG));
    out = z;
    return true;
}

QByteArray encodeZigbee(const ZigbeeBlock& z)
{
    QByteArray b(ZIGBEE_BLOCK_SIZE, '\0');
    const auto put16 = [&b](int at, std::uint16_t v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char(v >> 8);
    };
    b[ZB_LOGIC] = char(z.logic);
    b[ZB_NET_TYPE] = char(z.netType);
    put16(ZB_DNO_LOW, z.dnoLow);
    put16(ZB_CHANNEL_MASK, std::uint16_t(std::uint32_t(z.channelMask) & 0xFFFF));
    put16(ZB_CHANNEL_MASK + 2, std::uint16_t(std::uint32_t(z.channelMask) >> 16));
    for (int i = 0; i < 8; ++i) {
        b[ZB_MAC + i] = char(z.mac[i]);
        b[ZB_EXT_PAN + i] = char(z.extPan[i]);
    }
    b[ZB_ENABLE] = char(z.enable);
    b[ZB_CHAIN_ADDR] = char(z.chainAddr);
    put16(ZB_ADV1, std::uint16_t(z.adv1));
    put16(ZB_ADV2, std::uint16_t(z.adv2));
    put16(ZB_ADV3, std::uint16_t(z.adv3));
    put16(ZB_ADV_FLAG, std::uint16_t(z.advFlag));
    return b;
}

const char* zigbeeTestText(std::uint8_t result)
{
    switch (result) {
    case 0:
        return "测试zigbee成功";
    case 1:
        return "测试zigbee失败:  设备未上线";
    case 2:
        return "测试zigbee失败:  设备不通信";
    default:
        return "测试zigbee失败:  未知错误";
    }
}

} // namespace serial
