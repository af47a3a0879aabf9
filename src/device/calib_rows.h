#pragma once
// Calibration values, the real-time clock, DeviceID and PD tag, and the MAC
// address: the request builders of both links and the reply branches that are
// not plain reads of the system-parameter page.
#include <QString>
#include <cstdint>

class Engine;
class Controls;
struct DeviceData;

void registerCalibRows(Engine& engine, DeviceData& dev, const Controls& controls);

// An engineering calibration value typed into a box: a number, rounded to the
// nearest whole number (halves to even), within the signed 16-bit range.
enum class PrjFault { None, NotNumeric, OutOfRange };
PrjFault prjCalValue(const QString& text, std::int16_t& value);
