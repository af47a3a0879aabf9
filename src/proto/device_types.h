#pragma once
// The model table: the device-type byte of the system parameters names the
// model and the code that begins its device number. The device number is the
// code, the production date (YYYYMMDD) and the last four characters of the
// series number; the DeviceID is the device number padded to 32 characters.
#include <QString>
#include <cstdint>
#include <optional>

namespace models {

// "MRK7000" for type 7; "未编制设备,无法识别" for a type outside the table.
QString modelText(std::uint8_t deviceType);
// Whether the type is in the table.
bool knownType(std::uint8_t deviceType);
// "95" for type 7, "188" for 29; "87" for a type outside the table.
QString numberCode(std::uint8_t deviceType);

// code + YYYY + MM + DD + the last four characters of `series`, left-padded
// with "0" to four. Year, month and day are written with at least 4, 2 and 2
// digits.
QString deviceNumber(std::uint8_t deviceType, int year, int month, int day, const QString& series);

// The DeviceID shown after a read: for types 3, 4 and 5 "02" and zeros before
// the number, for the others zeros before it; 32 characters when the number
// is at most 30 characters long.
QString shownDeviceId(std::uint8_t deviceType, const QString& number);
// The DeviceID composed for a write: the hardware number and the device
// number, each left-padded with "0" to 16; for types 3, 4 and 5 the same as
// shownDeviceId.
QString composedDeviceId(std::uint8_t deviceType, const QString& hardwareNumber, const QString& number);

// A device number read back into its parts.
struct NumberParts {
    QString model;  // model text of the code, or "未编制设备,无法识别"
    int year = 0, month = 0, day = 0; // as written; not checked
    QString series; // the last four characters
};
// 14 characters: a two-character code; 15: a three-character code. Nothing
// for other lengths. The model texts of this direction are the number's own
// ("90" reads "MRK4600/MRK4000").
std::optional<NumberParts> parseDeviceNumber(const QString& number);

} // namespace models
