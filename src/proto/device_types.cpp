#include "proto/device_types.h"

#include <array>

namespace models {

namespace {

constexpr const char* TEXT_UNKNOWN_MODEL = "未编制设备,无法识别";

struct ModelRow {
    std::uint8_t type;
    const char* model;
    const char* code;
};

// Device-type byte, model text, device-number code.
constexpr std::array<ModelRow, 13> MODELS{{
    {1, "MRK9000", "87"},
    {2, "ORV9000", "85"},
    {3, "MRK1000", "92"},
    {4, "MRK4600", "90"},
    {5, "MRK4400", "90"},
    {6, "TLX7000", "96"},
    {7, "MRK7000", "95"},
    {12, "TLX6000", "196"},
    {13, "VSN70DQ", "195"},
    {14, "TLX6000", "196"},
    {16, "MRK6000", "129"},
    {29, "MRK7AAQ", "188"},
    {33, "MRK7ADQ", "181"},
}};

// The code of a type outside the table.
constexpr const char* DEFAULT_CODE = "87";

struct CodeRow {
    const char* code;
    const char* model;
};

// Reading a number back: the codes' own model texts. Codes 4 and 5 share
// "90", so that code names both models.
constexpr std::array<CodeRow, 6> CODES_2{{
    {"87", "MRK9000"},
    {"85", "ORV9000"},
    {"92", "MRK1000"},
    {"90", "MRK4600/MRK4000"},
    {"96", "TLX7000"},
    {"95", "MRK7000"},
}};
constexpr std::array<CodeRow, 7> CODES_3{{
    {"196", "TLX6000"},
    {"096", "TLX7000"},
    {"095", "MRK7000"},
    {"181", "MRK7ADQ"},
    {"188", "MRK7AAQ"},
    {"195", "VSN70DQ"},
    {"129", "MRK6000"},
}};

constexpr int NUMBER_LEN_2 = 14;
constexpr int NUMBER_LEN_3 = 15;
constexpr int SERIES_LEN = 4;
constexpr int DEVICE_ID_LEN = 32;
constexpr int DEVICE_ID_HALF = 16;

const ModelRow* findModel(std::uint8_t type)
{
    for (const auto& m : MODELS)
        if (m.type == type)
            return &m;
    return nullptr;
}

template <std::size_t N>
QString codeModel(const std::array<CodeRow, N>& table, const QString& code)
{
    for (const auto& c : table)
        if (code == QLatin1String(c.code))
            return QString::fromUtf8(c.model);
    return QString::fromUtf8(TEXT_UNKNOWN_MODEL);
}

bool startsWithZeroTwo(std::uint8_t type)
{
    return type == 3 || type == 4 || type == 5;
}

QString zeros(qsizetype n)
{
    return QString(std::max<qsizetype>(n, 0), QLatin1Char('0'));
}

} // namespace

QString modelText(std::uint8_t deviceType)
{
    const ModelRow* m = findModel(deviceType);
    return QString::fromUtf8(m ? m->model : TEXT_UNKNOWN_MODEL);
}

bool knownType(std::uint8_t deviceType)
{
    return findModel(deviceType) != nullptr;
}

QString numberCode(std::uint8_t deviceType)
{
    const ModelRow* m = findModel(deviceType);
    return QLatin1String(m ? m->code : DEFAULT_CODE);
}

QString deviceNumber(std::uint8_t deviceType, int year, int month, int day, const QString& series)
{
    const QChar z = QLatin1Char('0');
    return numberCode(deviceType) + QStringLiteral("%1").arg(year, 4, 10, z)
        + QStringLiteral("%1").arg(month, 2, 10, z) + QStringLiteral("%1").arg(day, 2, 10, z)
        + series.right(SERIES_LEN).rightJustified(SERIES_LEN, z);
}

QString shownDeviceId(std::uint8_t deviceType, const QString& number)
{
    if (startsWithZeroTwo(deviceType))
        return QStringLiteral("02") + zeros(DEVICE_ID_LEN - 2 - number.size()) + number;
    return zeros(DEVICE_ID_LEN - number.size()) + number;
}

QString composedDeviceId(std::uint8_t deviceType, const QString& hardwareNumber, const QString& number)
{
    if (startsWithZeroTwo(deviceType))
        return shownDeviceId(deviceType, number);
    const QChar z = QLatin1Char('0');
    return hardwareNumber.rightJustified(DEVICE_ID_HALF, z) + number.rightJustified(DEVICE_ID_HALF, z);
}

std::optional<NumberParts> parseDeviceNumber(const QString& number)
{
    int codeLen = 0;
    if (number.size() == NUMBER_LEN_2)
        codeLen = 2;
    else if (number.size() == NUMBER_LEN_3)
        codeLen = 3;
    else
        return std::nullopt;

    const QString code = number.left(codeLen);
    NumberParts parts;
    parts.model = codeLen == 2 ? codeModel(CODES_2, code) : codeModel(CODES_3, code);
    parts.year = number.mid(codeLen, 4).toInt();
    parts.month = number.mid(codeLen + 4, 2).toInt();
    parts.day = number.mid(codeLen + 6, 2).toInt();
    parts.series = number.right(SERIES_LEN);
    return parts;
}

} // namespace models
