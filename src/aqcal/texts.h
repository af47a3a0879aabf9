#pragma once
// Texts of the AQ calibration window.
namespace texts5 {
inline constexpr const char* TITLE = "AQ校准";
inline constexpr const char* TIMEOUT = "通讯超时";
inline constexpr const char* IP_M = "电流测量设备IP";
inline constexpr const char* IP_V = "电压测量设备IP";
inline constexpr const char* CHANNEL = "通道";
inline constexpr const char* TYPE = "类型";
inline constexpr const char* OUTPUT = "输出值";
inline constexpr const char* ZERO_V = "电压零点(V)";
inline constexpr const char* FULL_V = "电压满度(V)";
inline constexpr const char* ZERO_M = "电流零点(mA)";
inline constexpr const char* FULL_M = "电流满度(mA)";
inline constexpr const char* MEAS_V = "电压测量";
inline constexpr const char* MEAS_M = "电流测量";
inline constexpr const char* TYPES[] = {"电压输出", "电流输出", "开关量输出"};
inline constexpr const char* DO = "DO%1";
inline constexpr const char* READ_TYPE = "读类型";
inline constexpr const char* WRITE_TYPE = "写类型";
inline constexpr const char* READ_ZF = "读零点满度";
inline constexpr const char* WRITE_ZERO = "写零点";
inline constexpr const char* WRITE_FULL = "写满度";
inline constexpr const char* WRITE_AO = "输出";
inline constexpr const char* WRITE_DQ = "写DQ";
inline constexpr const char* WRITE_DO = "写DO";
inline constexpr const char* MEASURE = "读测量值";
inline constexpr const char* MEASURE_OK = "读测量值成功";
inline constexpr const char* DO_FAILED = "设置DO值失败";
} // namespace texts5
