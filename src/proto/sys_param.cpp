#include "proto/sys_param.h"

#include <algorithm>

#include "base/ansi.h"
#include "base/errorlog.h"

namespace sysparam {

namespace {

// ---- reply offsets (payload) ----
constexpr int R_SERIAL_NO = 0;
constexpr int R_IP = 4;
constexpr int R_MODULE_ADDR = 8;
constexpr int R_SENSOR_0_6 = 9;
constexpr int R_PORT = 16;           // line 0, proto 0, line 1, proto 1
constexpr int R_AD_MODE = 20;
constexpr int R_DI_DEBOUNCE = 21;
constexpr int R_COLD_CAL = 23;
constexpr int R_TEMP_COMP = 25;
constexpr int R_SCAN_CTRL = 26;
constexpr int R_SCAN_INTERVAL = 28;
constexpr int R_DEVICE_TYPE = 30;
constexpr int R_AQ_ADJUST_0_1 = 31;
constexpr int R_INNER_VERSION = 35;
constexpr int R_SENSOR_7 = 37;
constexpr int R_VERSION_BYTE = 38;
constexpr int R_PROD_YEAR = 43;
constexpr int R_PROD_MONTH = 45;     // month, day, hour, minute, second
constexpr int R_MASTER_SLAVE = 50;
constexpr int R_ENABLE_0_7 = 52;
constexpr int R_UDP_PORT = 53;
constexpr int R_CPU_TYPE = 55;
constexpr int R_SUB_MAX_ERR = 57;
constexpr int R_SUB_COMM_INTV = 58;
constexpr int R_SUB_WAIT_TIME = 60;
constexpr int R_RS_DATA_TIME = 62;
constexpr int R_RUN_STATE = 66;
constexpr int R_SENSOR_8_10 = 67;
constexpr int R_AQ_ADJUST_2_7 = 70;
constexpr int R_ENABLE_8_10 = 82;

// Reply-only tail: the serial reply packs it right after the record, the
// Ethernet reply leaves a gap before the status mask.
struct ReplyTail {
    int errTime, interTime, waitTime, statusMask;
};
constexpr ReplyTail TAIL_SERIAL{85, 86, 88, 90};
constexpr ReplyTail TAIL_ETHERNET{87, 88, 90, 100};

// ---- short write layout ----
constexpr int W_SERIAL_NO = 0;
constexpr int W_IP = 4;
constexpr int W_MODULE_ADDR = 8;
constexpr int W_PORT = 9;            // line 0, proto 0, line 1, proto 1
constexpr int W_AD_MODE = 13;
constexpr int W_DI_DEBOUNCE = 14;
constexpr int W_COLD_CAL = 16;
constexpr int W_TEMP_COMP = 18;
constexpr int W_PROD_YEAR = 19;
constexpr int W_PROD_MONTH = 21;     // month, day, hour, minute, second
constexpr int W_MASTER_SLAVE = 26;
constexpr int W_ENABLE_0_7 = 28;
constexpr int W_UDP_PORT = 29;
constexpr int W_CPU_TYPE = 31;
constexpr int W_SUB_MAX_ERR = 33;
constexpr int W_SUB_COMM_INTV = 34;
constexpr int W_SUB_WAIT_TIME = 36;
constexpr int W_SCAN_CTRL = 38;
constexpr int W_SCAN_INTERVAL = 40;
constexpr int W_RS_DATA_TIME = 42;
constexpr int W_ENABLE_8_10 = 44;
constexpr int W_SHORT_MARK = 45;     // 0x55 0xAA
constexpr int W_COMM_ERR_TIME = 47;
constexpr int W_COMM_INTER_TIME = 48;
constexpr int W_COMM_WAIT_TIME = 50;
constexpr int W_COMMON_END = 52;     // bytes shared by both layouts

// ---- long write layout, behind the common bytes ----
constexpr int W_FIX_MARK = 52;       // 0x55 0xAA
constexpr int W_MAC = 54;
constexpr int W_SENSOR = 60;
constexpr int W_PRJ_CAL = 71;
constexpr int W_AQ_TYPE = 93;
constexpr int W_AQ_ADJUST = 101;
constexpr int W_AI_UP = 117;
constexpr int W_AI_DOWN = 133;
constexpr int W_DEVICE_ID = 149;
constexpr int W_PD_TAG = 181;

constexpr std::uint8_t MARK_A = 0x55;
constexpr std::uint8_t MARK_B = 0xAA;

constexpr std::uint8_t DEVICE_ID_FILL = '0';
constexpr int FIELD_TEXT_SIZE = 32;

// ---- bit fields ----
constexpr int PARITY_SHIFT = 6;
constexpr int DATA_BITS_SHIFT = 5;
constexpr int STOP_BITS_SHIFT = 4;
constexpr std::uint8_t BAUD_MASK = 0x0F;
constexpr std::uint8_t PROTO_MASK = 0x0F;
constexpr std::uint8_t MARK_FLAG = 0x10;
constexpr int PARITY_SPACE = 3;
constexpr int PARITY_MARK = 4;

constexpr std::uint8_t AD_FILTER_ON = 0x10;
constexpr std::uint8_t AD_RATE_DEFAULT = 4;

// Little-endian readers over a payload already checked for length.
struct Reader {
    std::span<const std::uint8_t> p;
    std::uint8_t u8(int o) const { return p[std::size_t(o)]; }
    std::uint16_t u16(int o) const { return std::uint16_t(u8(o) | (u8(o + 1) << 8)); }
    std::int16_t i16(int o) const { return std::int16_t(u16(o)); }
    std::int32_t i32(int o) const
    {
        return std::int32_t(std::uint32_t(u16(o)) | (std::uint32_t(u16(o + 2)) << 16));
    }
};

// Little-endian writers into a buffer already sized.
struct Writer {
    QByteArray& b;
    void u8(int o, std::uint8_t v) { b[o] = char(v); }
    void u16(int o, std::uint16_t v)
    {
        u8(o, std::uint8_t(v & 0xFF));
        u8(o + 1, std::uint8_t(v >> 8));
    }
    void i16(int o, std::int16_t v) { u16(o, std::uint16_t(v)); }
    void u32(int o, std::uint32_t v)
    {
        u16(o, std::uint16_t(v & 0xFFFF));
        u16(o + 2, std::uint16_t(v >> 16));
    }
    template <std::size_t N>
    void bytes(int o, const std::array<std::uint8_t, N>& a)
    {
        for (std::size_t i = 0; i < N; ++i)
            u8(o + int(i), a[i]);
    }
    template <std::size_t N>
    void words(int o, const std::array<std::int16_t, N>& a)
    {
        for (std::size_t i = 0; i < N; ++i)
            i16(o + 2 * int(i), a[i]);
    }
};

QString hexDigits(unsigned v, int width)
{
    return QStringLiteral("%1").arg(v, width, 16, QLatin1Char('0')).toUpper();
}

// Fills bytes 0..51, the part both layouts share.
void writeCommon(Writer& w, const SysParamRecord& r, const CommTimes& t)
{
    w.u32(W_SERIAL_NO, std::uint32_t(r.SerialNo));
    w.bytes(W_IP, r.IpAddr);
    w.u8(W_MODULE_ADDR, r.ModuleAddr);
    for (int p = 0; p < 2; ++p) {
        w.u8(W_PORT + 2 * p, r.PortLine[std::size_t(p)]);
        w.u8(W_PORT + 2 * p + 1, r.PortProto[std::size_t(p)]);
    }
    w.u8(W_AD_MODE, r.AdMode);
    w.u16(W_DI_DEBOUNCE, r.DiDebounce);
    w.i16(W_COLD_CAL, r.ColdCal);
    w.u8(W_TEMP_COMP, r.TempCompFlags);
    w.u16(W_PROD_YEAR, r.ProdYear);
    w.u8(W_PROD_MONTH, r.ProdMonth);
    w.u8(W_PROD_MONTH + 1, r.ProdDay);
    w.u8(W_PROD_MONTH + 2, r.ProdHour);
    w.u8(W_PROD_MONTH + 3, r.ProdMinute);
    w.u8(W_PROD_MONTH + 4, r.ProdSecond);
    w.bytes(W_MASTER_SLAVE, r.MasterSlave);
    const auto enable = channelEnableBytes(r.ChnlEnable);
    w.u8(W_ENABLE_0_7, enable[0]);
    w.u16(W_UDP_PORT, r.UdpPort);
    w.u16(W_CPU_TYPE, r.CpuType);
    w.u8(W_SUB_MAX_ERR, r.SubMaxErr);
    w.u16(W_SUB_COMM_INTV, r.SubCommIntv);
    w.u16(W_SUB_WAIT_TIME, r.SubWaitTime);
    w.u16(W_SCAN_CTRL, r.SubScanCtrl);
    w.u16(W_SCAN_INTERVAL, r.SubScanInterval);
    w.bytes(W_RS_DATA_TIME, r.RsDataTime);
    w.u8(W_ENABLE_8_10, enable[1]);
    w.u8(W_SHORT_MARK, MARK_A);
    w.u8(W_SHORT_MARK + 1, MARK_B);
    w.u8(W_COMM_ERR_TIME, t.errTime);
    w.u16(W_COMM_INTER_TIME, t.interTime);
    w.u16(W_COMM_WAIT_TIME, t.waitTime);
}

} // namespace

// ---- the reply -------------------------------------------------------------

std::optional<ReplyExtras> decodeSysParamReply(std::span<const std::uint8_t> payload, Link link,
                                               SysParamRecord& record)
{
    const bool serialLink = link == Link::Serial;
    if (payload.size() < std::size_t(serialLink ? REPLY_MIN_SERIAL : REPLY_MIN_ETHERNET))
        return std::nullopt;

    const Reader p{payload};
    SysParamRecord& r = record;

    r.SerialNo = p.i32(R_SERIAL_NO);
    for (int i = 0; i < 4; ++i)
        r.IpAddr[std::size_t(i)] = p.u8(R_IP + i);
    r.ModuleAddr = p.u8(R_MODULE_ADDR);
    for (int i = 0; i < 7; ++i)
        r.SensorType[std::size_t(i)] = p.u8(R_SENSOR_0_6 + i);
    r.SensorType[7] = p.u8(R_SENSOR_7);
    for (int i = 0; i < 3; ++i)
        r.SensorType[std::size_t(8 + i)] = p.u8(R_SENSOR_8_10 + i);
    for (int port = 0; port < 2; ++port) {
        r.PortLine[std::size_t(port)] = p.u8(R_PORT + 2 * port);
        r.PortProto[std::size_t(port)] = p.u8(R_PORT + 2 * port + 1);
    }
    r.AdMode = p.u8(R_AD_MODE);
    r.DiDebounce = p.u16(R_DI_DEBOUNCE);
    r.ColdCal = p.i16(R_COLD_CAL);
    r.TempCompFlags = p.u8(R_TEMP_COMP);
    r.SubScanCtrl = p.u16(R_SCAN_CTRL);
    r.SubScanInterval = p.u16(R_SCAN_INTERVAL);
    r.DeviceType = p.u8(R_DEVICE_TYPE);

    for (int i = 0; i < 2; ++i)
        r.AqAdjust[std::size_t(i)] = p.i16(R_AQ_ADJUST_0_1 + 2 * i);
    for (int i = 0; i < 6; ++i)
        r.AqAdjust[std::size_t(2 + i)] = p.i16(R_AQ_ADJUST_2_7 + 2 * i);
    r.InnerVersion = p.u16(R_INNER_VERSION);
    if (serialLink)
        r.VersionByte = p.u8(R_VERSION_BYTE);
    r.ProdYear = p.u16(R_PROD_YEAR);
    r.ProdMonth = p.u8(R_PROD_MONTH);
    r.ProdDay = p.u8(R_PROD_MONTH + 1);
    r.ProdHour = p.u8(R_PROD_MONTH + 2);
    r.ProdMinute = p.u8(R_PROD_MONTH + 3);
    r.ProdSecond = p.u8(R_PROD_MONTH + 4);
    r.MasterSlave[0] = p.u8(R_MASTER_SLAVE);
    r.MasterSlave[1] = p.u8(R_MASTER_SLAVE + 1);

    const std::uint8_t en0 = p.u8(R_ENABLE_0_7);
    const std::uint8_t en1 = p.u8(R_ENABLE_8_10);
    for (int i = 0; i < 8; ++i)
        r.ChnlEnable[std::size_t(i)] = std::uint8_t((en0 >> i) & 1);
    for (int i = 0; i < 3; ++i)
        r.ChnlEnable[std::size_t(8 + i)] = std::uint8_t((en1 >> i) & 1);

    r.UdpPort = p.u16(R_UDP_PORT);
    r.CpuType = p.u16(R_CPU_TYPE);
    r.SubMaxErr = p.u8(R_SUB_MAX_ERR);
    r.SubCommIntv = p.u16(R_SUB_COMM_INTV);
    r.SubWaitTime = p.u16(R_SUB_WAIT_TIME);
    r.RsDataTime[0] = p.u8(R_RS_DATA_TIME);
    r.RsDataTime[1] = p.u8(R_RS_DATA_TIME + 1);
    r.RunState = p.u8(R_RUN_STATE);

    const ReplyTail& tail = serialLink ? TAIL_SERIAL : TAIL_ETHERNET;
    ReplyExtras x;
    x.noUserProgram = p.u8(REPLY_NO_USER_PROGRAM);
    x.bootVersion = p.u8(REPLY_BOOT_VERSION);
    x.commErrTime = p.u8(tail.errTime);
    x.commInterTime = p.u16(tail.interTime);
    x.commWaitTime = p.u16(tail.waitTime);
    x.statusMask = p.u16(tail.statusMask);
    return x;
}

QString bootVersionText(std::uint8_t b)
{
    return QStringLiteral("%1.%2").arg(b >> 4).arg(b & 0x0F);
}

QString innerVersionText(std::uint16_t v)
{
    const QString hi = hexDigits(v >> 8, 2);
    return hi.left(1) + QLatin1Char('.') + hi.mid(1) + hexDigits(v & 0xFF, 2);
}

QString innerVersionDigits(std::uint16_t v)
{
    return hexDigits(v, 4);
}

int diDebounceShown(std::uint16_t word) { return (word >> 8) * 10 + (word & 0xFF); }

std::optional<std::uint16_t> diDebounceWord(int shown)
{
    if (shown < 0 || shown > DI_DEBOUNCE_SHOWN_MAX)
        return std::nullopt;
    if (shown <= 0xFF)
        return std::uint16_t(shown);
    const int tens = std::min(shown / 10, 0xFF);
    return std::uint16_t(tens << 8 | (shown - tens * 10));
}

QString versionByteText(std::uint8_t b)
{
    const QString d = hexDigits(b, 2);
    return d.left(1) + QLatin1Char('.') + d.mid(1);
}

// ---- the write layouts -----------------------------------------------------

QByteArray encodeSysParamShort(const SysParamRecord& r, const CommTimes& t)
{
    QByteArray b(SHORT_PAYLOAD, '\0');
    Writer w{b};
    writeCommon(w, r, t);
    return b;
}

QByteArray encodeSysParamFix(const SysParamRecord& r, const CommTimes& t, const FixExtras& x, Link link)
{
    QByteArray b(link == Link::Serial ? FIX_PAYLOAD_SERIAL : FIX_PAYLOAD_ETHERNET, '\0');
    Writer w{b};
    writeCommon(w, r, t);
    static_assert(W_FIX_MARK == W_COMMON_END);
    w.u8(W_FIX_MARK, MARK_A);
    w.u8(W_FIX_MARK + 1, MARK_B);
    w.bytes(W_MAC, x.mac);
    w.bytes(W_SENSOR, r.SensorType);
    w.words(W_PRJ_CAL, x.prjCal);
    w.bytes(W_AQ_TYPE, x.aqType);
    w.words(W_AQ_ADJUST, r.AqAdjust);
    w.words(W_AI_UP, x.aiUp);
    w.words(W_AI_DOWN, x.aiDown);
    w.bytes(W_DEVICE_ID, x.deviceId);
    w.bytes(W_PD_TAG, x.pdTag);
    static_assert(W_PD_TAG + FIELD_TEXT_SIZE == FIX_PAYLOAD_SERIAL);
    return b;
}

bool useLongLayout(std::uint8_t deviceType, std::uint16_t innerVersion)
{
    // The two analog-output models always take the long layout. Otherwise the
    // firmware decides: 0x1107..0x1FFF and 0x2554 up take it, 0x2000..0x2553
    // and everything up to 0x1106 do not.
    if (deviceType == 29 || deviceType == 33)
        return true;
    if (innerVersion >= 0x2554)
        return true;
    if (innerVersion >= 0x2000)
        return false;
    return innerVersion >= 0x1107;
}

std::array<std::uint8_t, 32> deviceIdField(const QString& text)
{
    std::array<std::uint8_t, 32> f;
    f.fill(DEVICE_ID_FILL);
    const int n = std::min<int>(int(text.size()), FIELD_TEXT_SIZE);
    for (int i = 0; i < n; ++i)
        f[std::size_t(i)] = std::uint8_t(text.at(i).unicode() & 0xFF);
    return f;
}

std::optional<QByteArray> pdTagBytes(const QString& text, TagFault* fault)
{
    const auto bytes = toAnsiExact(text);
    const auto fail = [&](TagFault why) {
        if (fault)
            *fault = why;
        return std::nullopt;
    };
    if (!bytes)
        return fail(TagFault::NotAnsi);
    if (bytes->size() > FIELD_TEXT_SIZE)
        return fail(TagFault::TooLong);
    return bytes;
}

std::optional<std::array<std::uint8_t, 32>> pdTagField(const QByteArray& bytes, std::uint8_t pad)
{
    if (bytes.size() > FIELD_TEXT_SIZE)
        return std::nullopt;
    std::array<std::uint8_t, 32> f;
    f.fill(pad);
    std::copy(bytes.cbegin(), bytes.cend(), f.begin());
    return f;
}

std::optional<std::array<std::uint8_t, 32>> pdTagField(const QString& text, std::uint8_t pad, TagFault* fault)
{
    const auto bytes = pdTagBytes(text, fault);
    return bytes ? pdTagField(*bytes, pad) : std::nullopt;
}

// ---- bit fields of the page ------------------------------------------------

void packPort(const PortChoice& c, std::uint8_t& line, std::uint8_t& proto)
{
    auto check = [](int pos, int max, const char* what) {
        if (pos > max)
            throw RuntimeError(QStringLiteral("%1 position %2 out of range").arg(QLatin1String(what)).arg(pos));
    };
    check(c.parity, PARITY_MARK, "parity");
    check(c.dataBits, 1, "data bits");
    check(c.stopBits, 1, "stop bits");
    check(c.baud, BAUD_MASK, "baud rate");
    check(c.protocol, PROTO_MASK, "protocol");

    std::uint8_t l = line;
    if (c.parity >= 0)
        l = std::uint8_t(std::min(c.parity, PARITY_SPACE) << PARITY_SHIFT);
    if (c.dataBits >= 0)
        l |= std::uint8_t(c.dataBits << DATA_BITS_SHIFT);
    if (c.stopBits >= 0)
        l |= std::uint8_t(c.stopBits << STOP_BITS_SHIFT);
    if (c.baud >= 0)
        l |= std::uint8_t(c.baud);
    line = l;
    if (c.protocol >= 0)
        proto = std::uint8_t(c.protocol | (c.parity == PARITY_MARK ? MARK_FLAG : 0));
}

PortChoice unpackPort(std::uint8_t line, std::uint8_t proto)
{
    PortChoice c;
    c.parity = line >> PARITY_SHIFT;
    if (c.parity == PARITY_SPACE && (proto & MARK_FLAG))
        c.parity = PARITY_MARK;
    c.dataBits = (line >> DATA_BITS_SHIFT) & 1;
    c.stopBits = (line >> STOP_BITS_SHIFT) & 1;
    c.baud = line & BAUD_MASK;
    c.protocol = proto & PROTO_MASK;
    return c;
}

std::uint8_t packAdMode(int filter, int rate, int rateFiltered)
{
    if (filter < 0)
        return AD_FILTER_ON | AD_RATE_DEFAULT;
    if (filter == 0)
        return rate < 0 ? AD_RATE_DEFAULT : std::uint8_t(rate);
    return AD_FILTER_ON | (rateFiltered < 0 ? AD_RATE_DEFAULT : std::uint8_t(rateFiltered));
}

std::array<std::uint8_t, 2> channelEnableBytes(const std::array<std::uint8_t, 11>& enable)
{
    std::array<std::uint8_t, 2> b{};
    for (int i = 0; i < 11; ++i)
        if (enable[std::size_t(i)])
            b[std::size_t(i / 8)] |= std::uint8_t(1u << (i % 8));
    return b;
}

} // namespace sysparam
