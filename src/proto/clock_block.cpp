#include "proto/clock_block.h"

#include <QDate>

namespace clockblk {

QByteArray encodeClock(const DeviceClock& c, bool withWeekday)
{
    QByteArray b(withWeekday ? SERIAL_CLOCK_SIZE : ETH_CLOCK_SIZE, '\0');
    b[0] = char(c.year & 0xFF);
    b[1] = char((c.year >> 8) & 0xFF);
    b[2] = char(c.month);
    b[3] = char(c.day);
    b[4] = char(c.hour);
    b[5] = char(c.minute);
    b[6] = char(c.second);
    if (withWeekday)
        b[7] = char(c.weekday);
    return b;
}

QByteArray weekdayWord(int weekday)
{
    QByteArray b(WEEKDAY_WORD_SIZE, '\0');
    b[0] = char(weekday & 0xFF);
    b[1] = char((weekday >> 8) & 0xFF);
    return b;
}

std::optional<DeviceClock> decodeClock(std::span<const std::uint8_t> b, bool withWeekday)
{
    if (b.size() < std::size_t(withWeekday ? SERIAL_CLOCK_SIZE : ETH_CLOCK_SIZE))
        return std::nullopt;
    DeviceClock c;
    c.year = b[0] | (b[1] << 8);
    c.month = b[2];
    c.day = b[3];
    c.hour = b[4];
    c.minute = b[5];
    c.second = b[6];
    c.weekday = withWeekday ? b[7] : 0;
    if (c.year < YEAR_MIN || c.year > YEAR_MAX || !QDate::isValid(c.year, c.month, c.day))
        return std::nullopt;
    if (c.hour > 23 || c.minute > 59 || c.second > 59)
        return std::nullopt;
    if (withWeekday && c.weekday > 7) // 0: no weekday set
        return std::nullopt;
    return c;
}

std::optional<int> decodeWeekday(std::span<const std::uint8_t> memArea)
{
    if (memArea.size() < std::size_t(MEM_WEEKDAY_AT + WEEKDAY_WORD_SIZE))
        return std::nullopt;
    const int w = memArea[MEM_WEEKDAY_AT] | (memArea[MEM_WEEKDAY_AT + 1] << 8);
    if (w > 7)
        return std::nullopt;
    return w;
}

} // namespace clockblk
