#pragma once
// Shared conversion helpers: byte-array copy, hex to bit text, and the one- and
// two-byte field conversions (little-endian, no range checks).
#include <QByteArray>
#include <QString>
#include <cstdint>

QByteArray ChangeDataOrder(const QByteArray& a);
QString Hex2Bin(const QString& hex);
std::int32_t WordToLong(std::int16_t v);
std::int16_t LongToWord(std::int32_t v);
std::int16_t ByteToInt(std::uint8_t v);
std::uint8_t IntToByte(std::int16_t v);
