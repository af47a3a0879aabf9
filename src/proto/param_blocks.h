#pragma once
// Small parameter blocks with write commands of their own: the AI alarm
// limits and the gateway with its subnet mask. The same bytes travel on both
// links (serial from frame byte 3, Ethernet as the write payload).
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace blocks {

inline constexpr int AI_ALARM_WRITE_SIZE = 32; // per channel: upper, lower limit (i16)
inline constexpr int NET_GATE_SIZE = 8;        // gateway a.b.c.d, then the mask

// ---- blocks as read (each decoder returns nothing when given too few bytes) ----

inline constexpr int AI_ALARM_READ_SIZE = 33;  // status byte, then per channel upper and lower limit
inline constexpr int PRJ_CAL_SIZE = 22;        // 11 engineering calibration values (i16)
inline constexpr int MAC_SIZE = 6;
inline constexpr int AQ_TYPE_SIZE = 8;
inline constexpr int DEV_ID_TAG_SIZE = 64;     // DeviceID (32), PD tag (32)

struct AiAlarmRead {
    std::uint8_t status = 0; // bit i: AI channel i in alarm
    std::array<std::int16_t, 8> up{}, down{};
};
std::optional<AiAlarmRead> decodeAiAlarm(std::span<const std::uint8_t> b);
std::optional<std::array<std::int16_t, 11>> decodePrjCal(std::span<const std::uint8_t> b);

// The DeviceID/PD-tag block as the page shows it.
struct DevIdTexts {
    QString hardwareNumber; // 15 characters, or 14 when the DeviceID has two pad zeros
    QString pdTag;          // the 32 bytes as GBK text, padding included
    QByteArray pdTagBytes;  // the 32 bytes themselves
};
std::optional<DevIdTexts> decodeDevIdTag(std::span<const std::uint8_t> b);

QByteArray aiAlarmWriteBlock(const std::array<std::int16_t, 8>& up, const std::array<std::int16_t, 8>& down);
QByteArray netGateBlock(const std::array<std::uint8_t, 4>& gateway, const std::array<std::uint8_t, 4>& mask);

} // namespace blocks
