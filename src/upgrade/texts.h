#pragma once
// Texts of the firmware upgrade.
namespace texts7 {
inline constexpr const char* PREPARE_MAIN = "准备升级下位机";
inline constexpr const char* START_MAIN = "开始升级下位机";
inline constexpr const char* FETCH_MAIN_FAILED = "获取下位机升级文件失败：";
inline constexpr const char* PREPARE_BOOT = "准备升级boot";
inline constexpr const char* OPEN_BOOT_FAILED = "打开Boot文件失败:";
inline constexpr const char* PREPARE_IAP = "准备升级IAP";
inline constexpr const char* OPEN_IAP_FAILED = "打开IAP文件失败:";
inline constexpr const char* IAP_FILE = "IAP.bin";
inline constexpr const char* TUNE_NOT_FOUND = "该设备终调参数未找到,请与研发联系或手动下载终调参数,设备编号:";
// The chosen-file upgrade's own refusals: nothing is sent after them.
inline constexpr const char* NO_FILE_CHOSEN = "请先选择升级文件";
inline constexpr const char* OPEN_FILE_FAILED = "打开升级文件失败:";
inline constexpr const char* FILE_EMPTY = "升级文件为空，不能升级:";
inline constexpr const char* FILE_TOO_LARGE = "升级文件过大，不能升级:";
inline constexpr const char* CHOOSE_TITLE = "选择升级文件";
inline constexpr const char* BIN_FILTER = "升级文件 (*.bin)";
} // namespace texts7
