#include "device/calib_rows.h"

#include "base/ansi.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "base/numbers.h"
#include "device/controls.h"
#include "device/device_data.h"
#include "device/shared_rows.h"
#include "device/texts.h"
#include "device/typed_values.h"
#include "link/engine.h"
#include "link/view.h"
#include "proto/calib_blocks.h"
#include "proto/clock_block.h"
#include "proto/eth_commands.h"
#include "proto/net_datagram.h"
#include "proto/param_blocks.h"
#include "proto/serial_commands.h"
#include "proto/sys_param.h"

#include <QComboBox>
#include <QDateEdit>
#include <QTimeEdit>
#include <array>
#include <cmath>

using namespace serial;
using namespace net;

namespace {

using Payload = std::span<const std::uint8_t>;

QString u(const char* s) { return QString::fromUtf8(s); }

template <class T>
T& need(const Controls& c, const char* name)
{
    auto* w = c.get<T>(QString::fromLatin1(name));
    if (!w)
        throw RuntimeError(QStringLiteral("控件 %1 不存在").arg(QLatin1String(name)));
    return *w;
}

// ---- engineering, AQ engineering and self-calibration values ----

QByteArray aqPrjCal(const DeviceData& d) { return blocks::i16Values(d.SysInfo.AqAdjust); }

QByteArray selfCalKind(const DeviceData& d) { return QByteArray(1, char(d.SelfCalKind)); }

// ---- clock ----

clockblk::DeviceClock pageClock(const Controls& c)
{
    const QDate date = need<QDateEdit>(c, "clkDate").date();
    const QTime time = need<QTimeEdit>(c, "clkTime").time();
    clockblk::DeviceClock k{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), 0};
    k.weekday = need<QComboBox>(c, "Combo_WeekDay").currentIndex() + 1; // no selection sends 0
    return k;
}

void showClock(const Controls& c, const clockblk::DeviceClock& k, bool enable, bool weekday)
{
    if (enable) {
        for (const char* n : {"clkDate", "clkTime", "cmdWrclock", "cmdReclock", "cmdNowclock"})
            c.setEnabled(QString::fromLatin1(n), true);
    }
    need<QDateEdit>(c, "clkDate").setDate(QDate(k.year, k.month, k.day));
    need<QTimeEdit>(c, "clkTime").setTime(QTime(k.hour, k.minute, k.second));
    if (weekday)
        need<QComboBox>(c, "Combo_WeekDay").setCurrentIndex(k.weekday - 1);
}

template <class T>
T decoded(const std::optional<T>& v)
{
    if (!v)
        throw RuntimeError(u(texts2::BAD_BLOCK));
    return *v;
}

bool linkChosen(const Engine& e, int option) { return e.view()->linkOption() == option; }

} // namespace

PrjFault prjCalValue(const QString& text, std::int16_t& value)
{
    if (!isNumeric(text))
        return PrjFault::NotNumeric;
    const auto r = roundedIn(strictNumber(text), -32768, 32767);
    if (!r)
        return PrjFault::OutOfRange;
    value = std::int16_t(*r);
    return PrjFault::None;
}

std::array<std::int16_t, blocks::PRJ_CAL_COUNT> prjCalValues(const Controls& c)
{
    std::array<std::int16_t, blocks::PRJ_CAL_COUNT> v{};
    for (int i = 0; i < blocks::PRJ_CAL_COUNT; ++i) {
        const PrjFault f = prjCalValue(c.text(QStringLiteral("prjTxt"), i), v[std::size_t(i)]);
        if (f != PrjFault::None) {
            MsgBox(u(f == PrjFault::NotNumeric ? texts2::PRJ_NOT_NUMERIC : texts2::PRJ_OUT_OF_RANGE), MsgButtons::Ok,
                   u(texts2::HINT_TITLE), MsgIcon::Exclamation);
            throw Abandoned{};
        }
    }
    return v;
}

std::array<std::int16_t, 8> aqAdjustValues(const Controls& c)
{
    std::array<std::int16_t, 8> v{};
    for (int i = 0; i < 8; ++i)
        v[std::size_t(i)] = std::int16_t(boxValue(c, QStringLiteral("txt_AQjust"), i, -32768, 32767));
    return v;
}

void showPdTag(const Controls& c, DeviceData& d, const blocks::DevIdTexts& t)
{
    c.setText(QStringLiteral("txtPD_Tag"), t.pdTag);
    d.PdTagRead = t.pdTagBytes;
}

QByteArray pdTagOnWire(const Controls& c, const DeviceData& d)
{
    const QString text = c.text(QStringLiteral("txtPD_Tag"));
    // GBK bytes the page cannot show exactly (half a character) read back as
    // another text: unchanged, they go as the device holds them.
    if (!d.PdTagRead.isEmpty() && text == fromAnsi(d.PdTagRead))
        return d.PdTagRead;
    sysparam::TagFault fault{};
    const auto bytes = sysparam::pdTagBytes(text, &fault);
    if (!bytes) {
        if (fault == sysparam::TagFault::NotAnsi)
            refuseBox(c, QStringLiteral("txtPD_Tag"));
        MsgBox(u(texts2::PD_TAG_TOO_LONG), MsgButtons::Ok, u(texts2::HINT_TITLE), MsgIcon::Exclamation);
        throw Abandoned{};
    }
    return *bytes;
}

QString deviceIdText(const Controls& c)
{
    // The DeviceID goes one byte per character: only ASCII comes back as it
    // was. The page composes it from the hardware number, the box to name.
    const QString id = c.text(QStringLiteral("txtDevID"));
    for (const QChar ch : id)
        if (ch.unicode() > 0x7F)
            refuseBox(c, QStringLiteral("txthardwarenum"));
    return id;
}

QByteArray devIdTag(const Controls& c, const DeviceData& d)
{
    const QString id = deviceIdText(c);
    return *blocks::encodeDevIdTag(id, pdTagOnWire(c, d));
}

std::uint8_t macBoxByte(const Controls& c, int i)
{
    const QString text = c.text(QStringLiteral("txt_MAC"), i);
    const auto v = text.isEmpty() || !isHexText(text) ? std::nullopt : blocks::macByte(text);
    if (!v)
        refuseBox(c, QStringLiteral("txt_MAC"), i);
    return *v;
}

QByteArray macBoxes(const Controls& c)
{
    QByteArray b;
    for (int i = 0; i < blocks::MAC_SIZE; ++i)
        b.append(char(macBoxByte(c, i)));
    return b;
}

void registerCalibRows(Engine& engine, DeviceData& dev, const Controls& controls)
{
    Engine* e = &engine;
    DeviceData* d = &dev;
    const Controls* c = &controls;
    const auto serialPayload = [e] { return replyPayload(*e, true); };
    const auto ethPayload = [e] { return replyPayload(*e, false); };
    // An Ethernet builder that sends by itself.
    const auto ethWrite = [e](QByteArray payload) {
        e->WritePayload = std::move(payload);
        e->WriteCmd();
    };

    // ---- builders ----
    e->setSerialBuilder(QS_WRITE_PRJ_CAL,
                        [e, c] { sendSerialPayload(*e, FN_WRITE_PRJ_CAL, blocks::i16Values(prjCalValues(*c)), 29); });
    e->setEthBuilder(QE_WRITE_PRJ_CAL, [c, ethWrite] { ethWrite(blocks::i16Values(prjCalValues(*c))); });
    e->setSerialBuilder(QS_WRITE_AQ_PRJ_CAL, [e, d] { sendSerialPayload(*e, QS_WRITE_AQ_PRJ_CAL, aqPrjCal(*d), 23); });
    e->setEthBuilder(QE_WRITE_AQ_PRJ_CAL, [d, ethWrite] { ethWrite(aqPrjCal(*d)); });
    e->setSerialBuilder(QS_WRITE_SELF_GAIN, [e, d] { sendSerialPayload(*e, QS_WRITE_SELF_GAIN, selfCalKind(*d), 14); });
    e->setEthBuilder(QE_WRITE_SELF_GAIN, [e, d] { e->WritePayload = selfCalKind(*d); }); // the dispatcher sends

    e->setSerialBuilder(QS_WRITE_CLOCK, [e, c] {
        sendSerialPayload(*e, FN_WRITE_CLOCK, clockblk::encodeClock(pageClock(*c), true), 15);
    });
    e->setEthBuilder(QE_WRITE_CLOCK, [c, ethWrite] { ethWrite(clockblk::encodeClock(pageClock(*c), false)); });
    e->setEthBuilder(QE_WRITE_WEEKDAY, [e, c, ethWrite] {
        if (linkChosen(*e, 1))
            ethWrite(clockblk::weekdayWord(pageClock(*c).weekday));
    });

    e->setSerialBuilder(QS_WRITE_PDTAG, [e, c, d] { sendSerialPayload(*e, FN_WRITE_PDTAG, devIdTag(*c, *d), 71); });
    // The dispatcher sends WritePayload whole: it must be the device's own
    // 82-byte block, read just before, with DeviceID and PD tag replaced.
    e->setEthBuilder(QE_WRITE_PDTAG, [e, c, d] {
        const QByteArray tag = devIdTag(*c, *d);
        if (e->StagedDevIdBlock.size() != DEVID_BLOCK_SIZE || e->WritePayload != e->StagedDevIdBlock)
            throw RuntimeError(u(texts2::NO_DEVID_BASE));
        e->StagedDevIdBlock.clear();
        e->WritePayload.replace(0, tag.size(), tag);
    });

    e->setSerialBuilder(QS_WRITE_MAC, [e, c] {
        if (linkChosen(*e, 0))
            sendSerialPayload(*e, QS_WRITE_MAC, macBoxes(*c), 13);
    });
    e->setEthBuilder(QE_WRITE_MAC, [e, c, ethWrite] {
        if (linkChosen(*e, 1))
            ethWrite(macBoxes(*c));
    });

    // ---- reply branches: each reply is checked whole before anything of it is shown ----
    const auto clockOk = [](bool weekday) {
        return Engine::decodes([weekday](Payload p) { return clockblk::decodeClock(p, weekday); });
    };
    e->setSerialDecoder(
        FN_READ_CLOCK,
        [c, serialPayload] { showClock(*c, decoded(clockblk::decodeClock(serialPayload(), true)), true, true); },
        clockOk(true));
    // The echo of a write: date and time only, the controls' state untouched.
    e->setSerialDecoder(
        FN_WRITE_CLOCK,
        [c, serialPayload] { showClock(*c, decoded(clockblk::decodeClock(serialPayload(), false)), false, false); },
        clockOk(false));
    e->setEthAction(
        QStringLiteral("clockRead"),
        [c, ethPayload] { showClock(*c, decoded(clockblk::decodeClock(ethPayload(), false)), true, false); },
        clockOk(false));
    e->setEthAction(
        QStringLiteral("weekdayRead"),
        [c, ethPayload] {
            need<QComboBox>(*c, "Combo_WeekDay").setCurrentIndex(decoded(clockblk::decodeWeekday(ethPayload())) - 1);
        },
        Engine::decodes(clockblk::decodeWeekday));

    // The echo of a DeviceID/PD-tag write: the PD tag only.
    e->setSerialDecoder(
        FN_WRITE_PDTAG,
        [c, d, serialPayload] { showPdTag(*c, *d, decoded(blocks::decodeDevIdTag(serialPayload()))); },
        Engine::decodes(blocks::decodeDevIdTag));

    const auto showInner = [c](Payload p) {
        const auto v = decoded(blocks::decodeInnerCal(p));
        qint16 a[blocks::INNER_CAL_COUNT];
        std::copy(v.begin(), v.end(), a);
        showInnerCal(*c, a);
    };
    const auto innerOk = Engine::decodes(blocks::decodeInnerCal);
    e->setSerialDecoder(
        std::uint8_t(QS_READ_INNER_CAL), [showInner, serialPayload] { showInner(serialPayload()); }, innerOk);
    e->setEthAction(QStringLiteral("innerCalRead"), [showInner, ethPayload] { showInner(ethPayload()); }, innerOk);
}
