#pragma once
// Calibration values, the real-time clock, DeviceID and PD tag, and the MAC
// address: the request builders of both links and the reply branches that are
// not plain reads of the system-parameter page.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

class Engine;
class Controls;
struct DeviceData;
namespace blocks {
struct DevIdTexts;
}

void registerCalibRows(Engine& engine, DeviceData& dev, const Controls& controls);

// An engineering calibration value typed into a box: a number, rounded to the
// nearest whole number (halves to even), within the signed 16-bit range.
enum class PrjFault { None, NotNumeric, OutOfRange };
PrjFault prjCalValue(const QString& text, std::int16_t& value);

// The page's values as their writes carry them, each refused with its word
// (and then Abandoned) when a box does not fit; the write's builder and the
// click that queues it go through the same function.
// The eleven engineering values (the checks above, with their messages).
std::array<std::int16_t, 11> prjCalValues(const Controls& c);
// The eight AQ engineering values of txt_AQjust, signed 16-bit.
std::array<std::int16_t, 8> aqAdjustValues(const Controls& c);
// The PD tag as it goes to the device: the box's text in GBK when GBK holds
// it and it fits the 32 bytes of the field, else the step is refused with a
// word; the device's own bytes while the box shows what the device reported.
QByteArray pdTagOnWire(const Controls& c, const DeviceData& d);
// Shows a PD tag the device reported and keeps its bytes.
void showPdTag(const Controls& c, DeviceData& d, const blocks::DevIdTexts& t);
// The DeviceID box's text when it is ASCII; else the step is refused naming
// the hardware-number box it was composed from.
QString deviceIdText(const Controls& c);
// The DeviceID/PD-tag block of the boxes.
QByteArray devIdTag(const Controls& c, const DeviceData& d);
// MAC box i as its byte: one or two hexadecimal digits.
std::uint8_t macBoxByte(const Controls& c, int i);
// The six MAC boxes as the MAC write's block.
QByteArray macBoxes(const Controls& c);
