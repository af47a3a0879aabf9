#pragma once
// Texts of the device image file.
namespace texts4 {
// Header records: the texts an image file carries besides the controls.
inline constexpr const char* KEY_EMPLOYEE_NO = "员工编号";
inline constexpr const char* KEY_BIN_FILE = "程序文件";
inline constexpr const char* KEY_BIN_VERSION = "程序版本";
inline constexpr const char* KEY_BOOT_VERSION = "Boot版本";
inline constexpr const char* KEY_DEVICE_SERIAL = "设备序列号";
inline constexpr const char* SAVE_TITLE = "保存设备文件";
inline constexpr const char* OPEN_TITLE = "读取设备文件";
inline constexpr const char* TXT_FILTER = "设备文件 (*.txt);;所有文件 (*)";
inline constexpr const char* TXT_SUFFIX = ".txt";
inline constexpr const char* SKIPPED = "未识别或无效的记录已跳过: %1 条";
inline constexpr const char* OPEN_FAILED = "无法打开文件: ";
inline constexpr const char* SAVE_FAILED = "无法保存文件: ";
inline constexpr const char* SAVED = "设备文件已保存: ";
// Values the file cannot carry as they are: left out of the saved file.
inline constexpr const char* LEFT_OUT = "下列控件的值无法存入设备文件，未保存: %1";
inline constexpr const char* LOADED = "设备文件已读入: ";
} // namespace texts4
