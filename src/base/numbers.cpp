#include "base/numbers.h"

#include "base/errorlog.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>
#include <optional>

double leadingNumber(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)"));
    const auto m = re.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

namespace {
// The whole text as a number. The C locale also reads "nan", "inf" and
// "-inf", which are no values a technician can mean: they do not count.
std::optional<double> wholeNumber(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}
} // namespace

bool isNumeric(const QString& text) { return wholeNumber(text).has_value(); }

double strictNumber(const QString& text)
{
    const auto v = wholeNumber(text);
    if (!v)
        throw RuntimeError(QStringLiteral("类型不匹配"));
    return *v;
}

std::int64_t roundHalfEven(double v)
{
    if (!std::isfinite(v) || std::fabs(v) >= 9.2e18)
        throw RuntimeError(QStringLiteral("溢出"));
    return static_cast<std::int64_t>(std::nearbyint(v)); // default rounding mode: to nearest, ties to even
}

std::optional<std::int64_t> roundedIn(double v, std::int64_t lo, std::int64_t hi)
{
    if (!std::isfinite(v) || v < double(lo) - 0.5 || v > double(hi) + 0.5)
        return std::nullopt;
    const auto r = roundHalfEven(v);
    if (r < lo || r > hi)
        return std::nullopt;
    return r;
}

namespace {
std::int64_t inRange(double v, std::int64_t lo, std::int64_t hi)
{
    const auto r = roundedIn(v, lo, hi);
    if (!r)
        throw RuntimeError(QStringLiteral("溢出"));
    return *r;
}
} // namespace

std::int16_t toInt16(double v) { return static_cast<std::int16_t>(inRange(v, -32768, 32767)); }
std::uint16_t toUInt16(double v) { return static_cast<std::uint16_t>(inRange(v, 0, 65535)); }
std::int32_t toInt32(double v)
{
    return static_cast<std::int32_t>(inRange(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}
std::uint8_t toByte(double v) { return static_cast<std::uint8_t>(inRange(v, 0, 255)); }

bool isHexText(const QString& text)
{
    for (QChar ch : text)
        if (!((ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'F') || (ch >= u'a' && ch <= u'f')))
            return false;
    return true;
}
