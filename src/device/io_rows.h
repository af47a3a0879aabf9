#pragma once
// The device's inputs and outputs on both links: AI sensor types, zero and
// full-scale values and the live values of the idle poll on the channel grid;
// the DI/DO block, DO, AQ output values and LEDs on the test area; the AQ
// channels' AQ-to-DQ states and zero/full block on the AQ area. Builders read
// the staged values and the page when the dispatcher runs them; reply branches
// fill the device data and the controls.
#include <QString>
#include <cstdint>
#include <optional>

class Engine;
class Controls;
struct DeviceData;

void registerIoRows(Engine& engine, DeviceData& dev, const Controls& controls);

// The switches the user toggles one click at a time: the two DO outputs, the
// 18 LEDs and the 8 AQ channels switched to DQ.
enum class SwitchBank { DO, Leds, DQ };
// A click on switch `index` of the bank: its write queued (above its
// read-back, where it has one) and its face showing the click at once.
void clickSwitch(Engine& e, DeviceData& d, const Controls& c, SwitchBank bank, int index);
// Every switch shows the device's last known state with its clicks on their way.
void showSwitches(const Engine& e, const Controls& c, const DeviceData& d);
// The AQ area's zero/full boxes show the block the device last reported.
void showAqZeroFullBoxes(const Controls& c, const DeviceData& d);
// A zero or full-scale point as a box shows it: the thousandths of V or mA, three decimals.
QString aqPointText(std::int16_t milli);

// An AQ output value as the user typed it, in V or mA: a number from 0 to 20,
// or nothing (texts2::OUTPUT_RANGE says why).
std::optional<double> outputValue(const QString& text);
