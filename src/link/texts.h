#pragma once
// Status texts of the command engine that are not part of a command row.
namespace texts {
inline constexpr const char* TIMEOUT = "通讯超时";
inline constexpr const char* UPGRADE_TIMEOUT = "系统升级超时";
inline constexpr const char* UPGRADE_FAILED_BOX = "通讯超时，系统升级失败！";
// Refusal of anything that would touch the command stack while an upgrade owns it.
inline constexpr const char* UPGRADE_OWNS_STACK = "固件升级进行中，请等待升级结束或停止通讯";
// The same while a slave-table write owns it.
inline constexpr const char* SLAVE_WRITE_OWNS_STACK = "从设备信息写入进行中，请等待写入结束或停止通讯";
// Refusal of an operation that would own the stack with nothing to carry its requests.
inline constexpr const char* LINK_NOT_STARTED = "请先开始通讯";
inline constexpr const char* LINK_HELD = "通讯已暂停，请先点击继续或关闭AQ校准窗口";
inline constexpr const char* RAM_TEST_WAIT = "正在测试扩展RAM";
inline constexpr const char* UPGRADE_MAIN_OK = "升级下位机成功";
inline constexpr const char* UPGRADE_WAIT_INIT_BOX = "等待下位机初始化结束";
inline constexpr const char* UPGRADE_BOOT_OK = "升级Boot成功";
inline constexpr const char* UPGRADE_POWER_CYCLE_BOX = "请为设备重新上电，重新上完电后再点我！";
inline constexpr const char* UPGRADE_IAP_OK = "升级IAP成功";
inline constexpr const char* SETTINGS_9600 = "9600,N,8,1";
inline constexpr const char* SETTINGS_115200 = "115200,N,8,1";
// The error-log description of a port that refuses a line setting.
inline constexpr const char* PORT_REFUSES_SETTINGS = "串行口不接受设置 %1";
// The error-log description of a serial frame that answers no request waiting.
inline constexpr const char* REPLY_NOT_ASKED = "未请求的应答（功能号 %1），已丢弃";
inline constexpr const char* READ_SERVICE_ERROR = "读服务响应错误";
inline constexpr const char* WRITE_SERVICE_FAILED = "写服务失败";
} // namespace texts
