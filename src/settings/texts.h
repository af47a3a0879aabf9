#pragma once
// Texts of the settings windows.
namespace texts6 {
inline constexpr const char* READ_FIRST = "请先读取参数，再修改写入";
inline constexpr const char* BAD_VALUE = "数值错误，请检查";
inline constexpr const char* READ = "读取";
inline constexpr const char* WRITE = "写入";
inline constexpr const char* HEAD_ROW = "头";

inline constexpr const char* CTRL_TITLE = "控制参数";
inline constexpr const char* SM_TITLE = "SM区数据";
inline constexpr const char* RESEND_TITLE = "转发参数";
inline constexpr const char* RESEND_SLAVE_TITLE = "从设备转发信息";
inline constexpr const char* RONGYU_TITLE = "冗余信息";
inline constexpr const char* RESEND_SLAVE_START = "起始";
inline constexpr const char* RESEND_SLAVE_END = "结束";

inline constexpr const char* ZIGBEE_TITLE = "ZigBee参数设置";
inline constexpr const char* ZIGBEE_ADVANCE_TITLE = "ZigBee高级参数";
inline constexpr const char* ZB_LOGIC = "设备类型";
inline constexpr const char* ZB_LOGICS[] = {"协调器", "路由器", "终端设备"};
inline constexpr const char* ZB_NET_TYPE = "网络类型";
inline constexpr const char* ZB_NET_TYPES[] = {"星型", "链型1", "链型2", "链型3", "链型4", "网状"};
inline constexpr const char* ZB_DNO = "网络号";
inline constexpr const char* ZB_CHANNELS = "信道";
inline constexpr const char* ZB_MAC = "MAC地址";
inline constexpr const char* ZB_EXT_PAN = "扩展PAN ID";
inline constexpr const char* ZB_ENABLE = "启用ZigBee";
inline constexpr const char* ZB_CHAIN_ADDR = "链地址";
inline constexpr const char* ZB_TEST = "通信测试";
inline constexpr const char* ZB_ADVANCE = "高级参数";
inline constexpr const char* ZB_ADV_PARAM = "高级参数%1";
inline constexpr const char* ZB_ADV_FLAG = "高级参数标志";
} // namespace texts6
