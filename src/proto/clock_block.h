#pragma once
// The device's real-time clock on the wire. The serial block carries date,
// time and weekday (8 bytes); the Ethernet block date and time only (7 bytes),
// the weekday travelling as a word of the memory area.
#include <QByteArray>
#include <cstdint>
#include <optional>
#include <span>

namespace clockblk {

inline constexpr int SERIAL_CLOCK_SIZE = 8; // year (u16), month, day, hour, minute, second, weekday
inline constexpr int ETH_CLOCK_SIZE = 7;    // the same without the weekday
inline constexpr int WEEKDAY_WORD_SIZE = 2;
inline constexpr int MEM_WEEKDAY_AT = 116;  // weekday word in the memory area's payload
// The years the date picker can show.
inline constexpr int YEAR_MIN = 1753;
inline constexpr int YEAR_MAX = 9999;

struct DeviceClock {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    int weekday = 0; // 1 Monday .. 7 Sunday; 0 none
    bool operator==(const DeviceClock&) const = default;
};

// Wire forms of a clock to write; each field as its low byte (the year as its
// low 16 bits), unchecked: the pickers only hold valid values.
QByteArray encodeClock(const DeviceClock& c, bool withWeekday);
QByteArray weekdayWord(int weekday);

// A clock block read: nothing when it is short or any field is impossible
// (month 1..12, a day the month has, hour 0..23, minute and second 0..59, the
// year inside the picker's range, and with the weekday 0..7, 0 meaning none).
std::optional<DeviceClock> decodeClock(std::span<const std::uint8_t> b, bool withWeekday);
// The weekday from the memory area's payload: 0 (none) to 7, else nothing.
std::optional<int> decodeWeekday(std::span<const std::uint8_t> memArea);

} // namespace clockblk
