#pragma once
// Texts of the device data's builders and reply effects.
namespace texts2 {
inline constexpr const char* NO_USER_PROGRAM = "无用户程序，请升级用户程序";
inline constexpr const char* PARAMETER_ERROR = "设备参数错误，请恢复默认参数";
inline constexpr const char* BOOT_VER = "BootVer ";
// An AQ output value outside what the outputs take (main page and AQ window alike).
inline constexpr const char* OUTPUT_RANGE = "数值范围为0～20之间";
inline constexpr const char* MAC_BOX_WRONG = "号地址书写错误";
inline constexpr const char* PRJ_NOT_NUMERIC = "工程校准值错误!";
inline constexpr const char* PRJ_OUT_OF_RANGE = "工程校准值超出范围!";
inline constexpr const char* HINT_TITLE = "提示";
// A PD tag whose GBK text does not fit its 32 bytes is not cut.
inline constexpr const char* PD_TAG_TOO_LONG = "PD Tag 超过32字节，不能写入！请核查后再操作";
inline constexpr const char* SHORT_REPLY = "应答长度不足";
// A block whose fields cannot be what the device holds (a clock on 30 February).
inline constexpr const char* BAD_BLOCK = "应答数据无效";
// The Ethernet DeviceID/PD-tag write sends the device's block as read just before.
inline constexpr const char* NO_DEVID_BASE = "未先读取DeviceID、PDTag数据块，不能写入";
// A box whose text does not fit its field, named by its caption: nothing of the step is written.
inline constexpr const char* PARAM_NOT_CONVERTED = "“%1”的值无法转换，参数未写入！请核查后再操作";
} // namespace texts2
