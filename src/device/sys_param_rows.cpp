#include "device/sys_param_rows.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "base/numbers.h"
#include "device/calib_rows.h"
#include "device/colors.h"
#include "device/controls.h"
#include "device/device_data.h"
#include "device/param_write_rows.h"
#include "device/shared_rows.h"
#include "device/texts.h"
#include "device/typed_values.h"
#include "link/engine.h"
#include "link/view.h"
#include "proto/device_types.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"

#include <QLabel>
#include <QLineEdit>

using sysparam::Link;
using serial::QS_READ_SYS_INFO;
using serial::QS_WRITE_SYS_INFO;
using net::QE_WRITE_SYS_INFO;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

void hideChannels(const Controls& c, std::initializer_list<int> channels, bool withCaption, bool withInnerCal)
{
    for (int i : channels) {
        if (withCaption)
            c.setVisible(QStringLiteral("chanl_%1").arg(i), false);
        c.setVisible(QStringLiteral("ChnlSensor_%1").arg(i), false);
        c.setVisible(QStringLiteral("prjTxt_%1").arg(i), false);
        for (int cell : {i, 11 + i, 22 + i})
            c.setVisible(QStringLiteral("ChnlDis_%1").arg(cell), false);
        if (withInnerCal)
            c.setVisible(QStringLiteral("txt_LeiCkeck_%1").arg(i), false);
        c.setVisible(QStringLiteral("cmdChnlEnable_%1").arg(i), false);
    }
}

// A message box of a failed check, then the builder ends without a log line.
[[noreturn]] void refuse(const QString& text, const QString& title = {}, MsgIcon icon = MsgIcon::None)
{
    MsgBox(text, MsgButtons::Ok, title, icon);
    throw Abandoned{};
}

sysparam::CommTimes readCommTimes(const Controls& c)
{
    sysparam::CommTimes t;
    t.errTime = std::uint8_t(boxValue(c, QStringLiteral("Text_ErrorTimeComm2"), -1, 0, 255));
    // Shown as 0..65535, so written as unsigned 16-bit values.
    t.interTime = std::uint16_t(boxValue(c, QStringLiteral("Text_InterTimeComm2"), -1, 0, 65535));
    t.waitTime = std::uint16_t(boxValue(c, QStringLiteral("Text_WaitTimeComm2"), -1, 0, 65535));
    return t;
}

// The page values of the long layout, checked in the order the device's
// fields follow; the first failure ends the capture.
sysparam::FixExtras readFixExtras(const Controls& c, const DeviceData& d)
{
    sysparam::FixExtras x;
    for (int i = 0; i < 6; ++i) {
        auto* box = c.get<QLineEdit>(QStringLiteral("txt_MAC"), i);
        if (!isHexText(c.text(QStringLiteral("txt_MAC"), i))) {
            if (box) {
                box->setFocus();
                box->selectAll();
            }
            refuse(QStringLiteral(" %1").arg(i) + u(texts2::MAC_BOX_WRONG));
        }
        x.mac[std::size_t(i)] = macBoxByte(c, i);
    }
    x.prjCal = prjCalValues(c);
    for (int i = 0; i < 8; ++i) {
        const int pos = c.position(QStringLiteral("ComboType2"), i);
        if (pos < 0 || pos > 255)
            refuseBox(c, QStringLiteral("ComboType2"), i);
        x.aqType[std::size_t(i)] = std::uint8_t(pos);
    }
    const auto alarms = alarmLimits(c);
    x.aiUp = alarms.up;
    x.aiDown = alarms.down;
    x.deviceId = sysparam::deviceIdField(deviceIdText(c));
    x.pdTag = *sysparam::pdTagField(pdTagOnWire(c, d));
    return x;
}

} // namespace

void applyModelEffects(std::uint8_t type, const Controls& c, Link link)
{
    const QString ram = QStringLiteral("bt_CheckRAM");
    if (link == Link::Serial)
        c.setEnabled(ram, true);
    if (type == 1 || type == 2)
        c.setEnabled(ram, false);
    else if (link == Link::Ethernet && models::knownType(type))
        c.setEnabled(ram, true);
    if (type == 13)
        hideChannels(c, {9, 10}, true, false);
    else if (type == 29 && link == Link::Serial)
        hideChannels(c, {4, 5, 6, 7}, false, true);
}

void distributeSysParam(Engine& e, DeviceData& dev, const Controls& c, Link link,
                        const std::function<void()>& showSysInfo)
{
    SysParamRecord next = dev.SysInfo;
    const auto extras = sysparam::decodeSysParamReply(replyPayload(e, link == Link::Serial), link, next);
    if (!extras)
        throw RuntimeError(u(texts2::SHORT_REPLY));

    const QString boot = sysparam::bootVersionText(extras->bootVersion);
    if (link == Link::Serial) {
        c.setText(QStringLiteral("lb_BookNo"), u(texts2::BOOT_VER) + boot);
        dev.DeviceBootVer = boot;
    } else {
        c.setText(QStringLiteral("lb_BookNo"), boot);
    }
    if (extras->noUserProgram == 1)
        MsgBox(u(texts2::NO_USER_PROGRAM));

    dev.SysInfo = next;
    dev.SysInfoConnection = e.connection();
    c.setText(QStringLiteral("txtDeviceType"), models::modelText(next.DeviceType));
    applyModelEffects(next.DeviceType, c, link);

    // The communication times go to the page only.
    c.setText(QStringLiteral("Text_ErrorTimeComm2"), QString::number(extras->commErrTime));
    c.setText(QStringLiteral("Text_InterTimeComm2"), QString::number(extras->commInterTime));
    c.setText(QStringLiteral("Text_WaitTimeComm2"), QString::number(extras->commWaitTime));

    for (int i = 0; i < 16; ++i)
        colors::paint(c.widget(QStringLiteral("shpFlash_%1").arg(i)),
                      (extras->statusMask >> i) & 1 ? colors::ALARM : colors::ON);
    if ((extras->statusMask >> 4) & 1)
        MsgBox(u(texts2::PARAMETER_ERROR));

    if (showSysInfo)
        showSysInfo();
}

QByteArray sysParamPayload(const DeviceData& dev, const Controls& c, Link link)
{
    const auto times = readCommTimes(c);
    if (!sysparam::useLongLayout(dev.SysInfo.DeviceType, dev.SysInfo.InnerVersion))
        return sysparam::encodeSysParamShort(dev.SysInfo, times);
    return sysparam::encodeSysParamFix(dev.SysInfo, times, readFixExtras(c, dev), link);
}

void registerSysParamRows(Engine& engine, DeviceData& dev, const Controls& controls,
                          std::function<void()> showSysInfo)
{
    Engine* e = &engine;
    DeviceData* d = &dev;
    const Controls* c = &controls;

    const auto accept = [](Link link) -> Engine::Check {
        return [link](std::span<const std::uint8_t> p) {
            SysParamRecord r;
            return sysparam::decodeSysParamReply(p, link, r).has_value();
        };
    };
    e->setSerialDecoder(std::uint8_t(QS_READ_SYS_INFO), [e, d, c, showSysInfo] {
        distributeSysParam(*e, *d, *c, Link::Serial, showSysInfo);
    }, accept(Link::Serial));
    e->setEthAction(QStringLiteral("DistributeSysParam"), [e, d, c, showSysInfo] {
        trap(QStringLiteral("DistributeSysParam(Form1)"),
             [&] { distributeSysParam(*e, *d, *c, Link::Ethernet, showSysInfo); });
    }, accept(Link::Ethernet));

    // SetSysInfo / SetSysInfoFix: the frame is sent only when the whole payload was built.
    e->setSerialBuilder(QS_WRITE_SYS_INFO, [e, d, c] {
        const QByteArray payload = sysParamPayload(*d, *c, Link::Serial);
        const int len = int(payload.size()) + serial::PAYLOAD_AT + 4;
        e->prepareRequest(std::uint8_t(QS_WRITE_SYS_INFO), len, len);
        e->RxBuf.replace(serial::PAYLOAD_AT, payload.size(), payload);
        if (payload.size() == sysparam::FIX_PAYLOAD_SERIAL) {
            // The long write leaves the DeviceID box with its first half zeroed.
            const QString id = c->text(QStringLiteral("txtDevID"));
            c->setText(QStringLiteral("txtDevID"), QString(16, u'0') + id.mid(16, 16));
        }
        e->SendCommand();
    });
    // StoreSysInfo / StoreSysInfoFix: the dispatcher sends the payload.
    e->setEthBuilder(QE_WRITE_SYS_INFO, [e, d, c] { e->WritePayload = sysParamPayload(*d, *c, Link::Ethernet); });
}
