#pragma once
// Texts of the main window.
namespace texts1 {
inline constexpr const char* CAPTION = "MRK7ADQ,MRK7AAQ,MRK7000,MRK6000,TLX7000,VSN70DQ,TLX6000设置软件 V";
inline constexpr const char* CAPTION_EDITION = " (用户版)";
inline constexpr const char* PROMPT_SERIAL = "确保接线无误后，选择通信方式，点击“开始”按钮";
inline constexpr const char* PROMPT_ETHERNET = "点击“开始”后，请选择设备IP";
inline constexpr const char* RUN_START = "运行开始................";
inline constexpr const char* QUERYING = "正在查询设备，请稍候";
inline constexpr const char* SERIAL_ERROR_TITLE = "请注意串行口错误!";
inline constexpr const char* WINSOCK_ERROR_TITLE = "请注意Winsock错误!";
inline constexpr const char* SERIAL_RETRY = "请确认设置正确后,重新开始";
inline constexpr const char* WINSOCK_RETRY = "请排除错误原因后,重新开始";
inline constexpr const char* PAUSE = "暂停";
inline constexpr const char* RESUME = "继续";
// A command the device offers on the serial link only, tried on Ethernet.
inline constexpr const char* SERIAL_ONLY = "以太网通讯不支持此功能，请使用串口通讯";
inline constexpr const char* CLOCK_FORMAT = "yyyy年MM月dd日    hh:mm:ss";
inline constexpr const char* AQ_TYPES[3] = {"电压输出", "电流输出", "开关量输出"};
inline constexpr const char* HARDWARE_NUMBER_WRONG = "硬件版号位数不正确";
// The page's own check ends in a full-width "！"; the builder's in "!".
inline constexpr const char* PRJ_NOT_NUMERIC = "工程校准值错误！";
inline constexpr const char* PARAMS_EMPTY = "部分参数为空，不能写入！请核查后再操作";
inline constexpr const char* SETTING_SYS_INFO = "正在设置系统信息，请稍候";
inline constexpr const char* ASK_SELF_GAIN = "确定要执行自增益校准？";
inline constexpr const char* ASK_SELF_OFFSET = "确定要执行自偏移校准？";
inline constexpr const char* CHANNEL_TEMPERATURE_WRONG = "通道温度值存在问题，请检查";
inline constexpr const char* MAINTENANCE_ASK = "维护模式可标定、升级固件和恢复参数，是否继续？";
inline constexpr const char* SAVE_ZERO_ASK = "确实要保存零点？";
inline constexpr const char* SAVE_FULL_ASK = "确实要保存满度？";
} // namespace texts1
