#pragma once
// Texts of the slave-device window.
namespace slavetexts {
inline constexpr const char* CAPTION = "从设备信息";
inline constexpr const char* HEADERS[5] = {"地址", "通讯类型", "设备类型", "扫描时间", "扫描个数"};
inline constexpr const char* ROW_CAPTION = "从设备%1";
inline constexpr const char* WRITE = "写入";
inline constexpr const char* COMM_TYPES[2] = {"ModbusRTU", "ModbusASCII"};
inline constexpr const char* TYPE_UNKNOWN = "错误！";
inline constexpr const char* READ_FAILED = "读取从设备信息失败";
// The end of a table write: every row taken acknowledged, or not.
inline constexpr const char* WRITE_DONE = "写从设备信息成功";
inline constexpr const char* WRITE_FAILED = "写从设备信息失败";
inline constexpr const char* SYSTEM_HINT = "系统提示";
// 写入 refused: the row (its caption) and the box (its column heading) that
// does not hold a value the record can carry.
inline constexpr const char* ROW_BOX_WRONG = "%1的%2填写错误，请检查";
} // namespace slavetexts
