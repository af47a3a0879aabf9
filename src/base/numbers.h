#pragma once
// Text-to-number rules of the page input: rounding to nearest with halves to
// even; a leading-number parse where a text without a number gives 0; strict
// parses and range checks that throw RuntimeError.
#include <QString>
#include <cstdint>
#include <optional>

double leadingNumber(const QString& text);          // "12abc" -> 12, "abc" -> 0
bool isNumeric(const QString& text);                 // whole text is a finite number ("nan", "inf" are not)
bool isHexText(const QString& text);                 // only 0-9, A-F, a-f (an empty text passes)
double strictNumber(const QString& text);            // throws when not numeric
std::int64_t roundHalfEven(double v);
// The rounded value when it lies in lo..hi; nothing otherwise (also for nan, inf).
std::optional<std::int64_t> roundedIn(double v, std::int64_t lo, std::int64_t hi);
std::int16_t toInt16(double v);                      // rounds, throws outside -32768..32767
std::uint16_t toUInt16(double v);                    // rounds, throws outside 0..65535
std::int32_t toInt32(double v);                      // rounds, throws outside the 32-bit range
std::uint8_t toByte(double v);                       // rounds, throws outside 0..255
