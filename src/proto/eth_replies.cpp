#include "proto/eth_replies.h"

#include "proto/net_datagram.h"

#include <iterator>

namespace net {

namespace {

constexpr bool R = false;
constexpr bool W = true;
constexpr bool T = true;
constexpr qint32 SYS = IDX_SYSTEM;

// clang-format off
constexpr EthReplyRow ROWS[] = {
    // write, index, sub (107 reads: param), text, T, T first, action, T before action

    // ---- read replies ----
    // Appends the data after byte 14 to "<DeviceID>.DAT"; the command ends by its time-out.
    {R, SYS, 0, "正在将数据写入文件，请等待……", false, false, "userBlockDump", false},
    {R, SYS, 1, "读系统参数成功", false, false, "DistributeSysParam", false},
    {R, SYS, 2, "读零点数据成功", false, false, "DistributeZero", false},
    {R, SYS, 3, "读满度数据成功", false, false, "DistributeFull", false},
    {R, SYS, 4, "读工程校准值成功", false, false, "DistriPrj", false},
    // Date and time pickers from the reply; the clock buttons enabled.
    {R, SYS, 5, "读实时时钟成功", false, false, "clockRead", false},
    {R, SYS, 8, "读A/D值成功", false, false, "DistributeADMeas", false},
    {R, SYS, 9, "读温度值成功", false, false, "DistributeTemMeas", false},
    {R, SYS, 10, "读小灯状态成功", false, false, "DistributeLightState", false},
    {R, SYS, 12, "读电压值成功", false, false, "DistributeVoltMeas", false},
    {R, SYS, 13, "读AO/DI/DO值成功", false, false, "DistributeDIDO", false},
    // The slave window's read time-out is stopped (interval 0) before the decode.
    {R, SYS, 14, "读从设备配置信息成功", false, false, "DistributeSlaveInfo", false},
    {R, SYS, 15, "读AQ零点满度信息成功", false, false, "DistributeAQZeroFull", false},
    {R, SYS, 16, "读设备MAC地址成功", false, false, "DistributeMAC", false},
    {R, SYS, 17, "读AQ通道类型成功", false, false, "DistributeAQType", false},
    // After the decode the lost-reply watchdog is restarted with 5000 ms.
    {R, SYS, 18, "测试RAM结束", T, false, "DistributeRAMTest", false},
    {R, SYS, 19, "读取AQ转DQ状态成功", false, false, "DistributeAQToDQ", false},
    {R, SYS, 20, "读AI上下限报警状态成功", T, false, "DistributeAIWarning", false},
    // Eight signed 16-bit values into the internal-calibration boxes.
    {R, SYS, 21, "读内部AI校准值成功", T, false, "innerCalRead", false},
    {R, IDX_PDTAG, 1, "写DeviceID、PDTag成功", false, false, nullptr, false},
    // Into the page, or into WritePayload while a system-parameter write is pending;
    // the action shows its text only in the first case.
    {R, IDX_PDTAG, 2, nullptr, false, false, "devIdTagRead", false},
    {R, IDX_MEM, 0, nullptr, T, false, "weekdayRead", false},
    {R, IDX_MEM, 256, nullptr, T, false, "OnReadSM", false},
    {R, IDX_CTRL, 0, "读取控制参数成功", T, false, "OnReadCtrl", false},
    // The ZigBee block decode, then DistributeZigbeeParam.
    {R, IDX_COMM, 1, "读取zigbee参数成功", T, T, "zigbeeRead", false},
    {R, IDX_COMM, 3, "读取从设备转发信息成功", T, false, "OnReadSlave", false},
    {R, IDX_COMM, 4, "读取转发信息成功", T, false, "OnReadResend", false},
    {R, IDX_COMM, 5, "读取网关信息成功", T, false, "DistributeNetGate", false},
    {R, IDX_RONGYU, 0, "读取冗余信息成功", T, false, "OnReadRongyu", false},

    // ---- write replies ----
    // PendParam 0, then a 5000 ms pause of the dispatcher; the timers are the pause's.
    {W, SYS, 0, "开始升级，请等待...", false, false, "firmwareStart", false},
    {W, SYS, 1, "下载升级包大小成功", T, T, "firmwareSize", false},
    // PendParam 0; after the last block the upgrade is finished (TEXT_UPGRADE_DONE).
    {W, SYS, 2, "发送升级数据成功", T, T, "firmwareBlock", false},
    {W, SYS, 4, "写系统参数成功", T, false, nullptr, false},
    // Pushes QE_READ_SYS_INFO so that the system information is read back.
    {W, SYS, 5, "写传感器类型成功", T, false, "pushReadSysInfo", T},
    {W, SYS, 6, "写零点数据成功", T, false, nullptr, false},
    {W, SYS, 7, "写满度数据成功", T, false, nullptr, false},
    {W, SYS, 8, "写工程校准值成功", T, false, nullptr, false},
    {W, SYS, 9, "写实时时钟成功", T, false, nullptr, false},
    {W, SYS, 10, "写AQ工程校准值成功", T, false, nullptr, false},
    {W, SYS, 11, "写自增益校准成功", T, false, nullptr, false},
    // The lamps written are the ones the device holds now.
    {W, SYS, 12, "写小灯成功", T, false, "lampsWritten", false},
    // The outputs written are the ones the device holds now.
    {W, SYS, 14, "写DO值成功", T, false, "doWritten", false},
    {W, SYS, 15, "写零点满度成功", T, false, nullptr, false},
    {W, SYS, 16, "写AO值成功", T, false, nullptr, false},
    // One slave record written: the same ending as on the serial link, so the
    // next marked record follows at once instead of after a time-out. The
    // slave window takes it as that row's acknowledgement; the write's text
    // follows its last row.
    {W, SYS, 17, nullptr, T, false, "slaveRowWritten", false},
    // First step of a two-step AQ zero/full write: PendParam 3 for the second.
    {W, SYS, 18, "写AO值成功", T, false, "aqZeroFullStep", false},
    {W, SYS, 19, "写MAC地址成功", T, false, nullptr, false},
    // Clears a pending image-file download flag, else SetAQDQChange.
    {W, SYS, 20, "写AQ通道类型成功", T, false, "aqTypeWritten", T},
    // The states written are the ones the device holds now: AQtoDQState,
    // which colours the AQ-to-DQ buttons.
    {W, SYS, 21, "写AQ转DQ状态成功", T, false, "aqToDqColours", T},
    // Timer1 back to the normal period before it is enabled again.
    {W, SYS, 22, "写停止下位机运行并清除下位机命令成功", T, false, "restoreTimerInterval", false},
    {W, SYS, 23, "灯板检测通信成功", T, false, "clearPendParam", T},
    // Toggles bt_RunStop between bright green and the button face.
    {W, SYS, 25, "启动成功", T, false, "toggleRunStop", false},
    {W, SYS, 26, "写AI报警值成功", T, false, nullptr, false},
    {W, SYS, 27, "写内部AI校准值成功", T, false, nullptr, false},
    // Restore of selected parameter groups: the same ending as on the serial link.
    {W, SYS, 28, "恢复系统参数成功", T, false, nullptr, false},
    {W, IDX_PDTAG, 2, "写PD_Tag成功", T, false, nullptr, false},
    {W, IDX_PDTAG, ANY_SUB, nullptr, T, false, nullptr, false},
    {W, IDX_MEM, 59, nullptr, T, false, nullptr, false},
    {W, IDX_MEM, 257, "写SM区信息成功", T, false, nullptr, false},
    {W, IDX_CTRL, 0, "写入控制参数成功", T, false, nullptr, false},
    {W, IDX_COMM, 1, "写入zigbee参数成功", T, false, nullptr, false},
    {W, IDX_COMM, 5, "写入从设备转发信息成功", T, false, nullptr, false},
    {W, IDX_COMM, 6, "写入转发信息成功", T, false, nullptr, false},
    {W, IDX_COMM, 7, "写入网关信息成功", T, false, nullptr, false},
    {W, IDX_RONGYU, 0, "写入冗余信息成功", T, false, nullptr, false},
};
// clang-format on

} // namespace

const EthReplyRow* findEthReply(bool write, qint32 index, qint32 subIndex, qint32 param)
{
    // Reads of the memory area always carry sub-index 0; the parameter tells them apart.
    const qint32 key = (!write && index == IDX_MEM) ? param : subIndex;
    const EthReplyRow* any = nullptr;
    for (const auto& r : ROWS) {
        if (r.write != write || r.index != index)
            continue;
        if (r.subIndex == key)
            return &r;
        if (r.subIndex == ANY_SUB)
            any = &r;
    }
    return any;
}

const EthReplyRow* ethReplyRows(int* count)
{
    if (count)
        *count = int(std::size(ROWS));
    return ROWS;
}

} // namespace net
