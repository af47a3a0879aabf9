#include "device/read_rows.h"

#include "base/errorlog.h"
#include "device/calib_rows.h"
#include "device/colors.h"
#include "device/controls.h"
#include "device/device_data.h"
#include "device/shared_rows.h"
#include "device/texts.h"
#include "link/engine.h"
#include "proto/param_blocks.h"
#include "proto/serial_commands.h"

#include <QComboBox>
#include <QLineEdit>

using namespace serial;

namespace {

using Payload = std::span<const std::uint8_t>;
using ::need;

Payload need(Payload p, std::size_t n)
{
    if (p.size() < n)
        throw RuntimeError(QString::fromUtf8(texts2::SHORT_REPLY));
    return p;
}

void showPrjCal(const Controls& c, Payload p)
{
    const auto v = need(blocks::decodePrjCal(p));
    for (int i = 0; i < 11; ++i)
        c.setText(QStringLiteral("prjTxt"), i, QString::number(v[std::size_t(i)]));
    c.setEnabled(QStringLiteral("cmdWriteprj"), true);
}

void showAiAlarm(const Controls& c, Payload p)
{
    const auto a = need(blocks::decodeAiAlarm(p));
    for (int i = 0; i < 8; ++i) {
        colors::paint(c.widget(QStringLiteral("sapAI_%1").arg(i)), (a.status >> i) & 1 ? colors::ALARM : colors::WHITE);
        c.setText(QStringLiteral("txt_AIUp"), i, QString::number(a.up[std::size_t(i)]));
        c.setText(QStringLiteral("txt_AIDown"), i, QString::number(a.down[std::size_t(i)]));
    }
}

void showMac(const Controls& c, Payload p)
{
    p = need(p, blocks::MAC_SIZE);
    for (int i = 0; i < 6; ++i)
        c.setText(QStringLiteral("txt_MAC"), i, QString::number(p[std::size_t(i)], 16).toUpper());
}

void showNetGate(const Controls& c, Payload p)
{
    p = need(p, blocks::NET_GATE_SIZE);
    for (int i = 0; i < 4; ++i) {
        c.setText(QStringLiteral("txtGate"), i, QString::number(p[std::size_t(i)]));
        c.setText(QStringLiteral("txtSubNet"), i, QString::number(p[std::size_t(4 + i)]));
    }
}

void showAqTypes(Engine& e, DeviceData& d, const Controls& c, Payload p)
{
    p = need(p, blocks::AQ_TYPE_SIZE);
    d.AQTypeConnection = e.connection();
    for (int i = 0; i < 8; ++i) {
        d.AQType[std::size_t(i)] = p[std::size_t(i)];
        if (auto* box = c.get<QComboBox>(QStringLiteral("ComboType2"), i))
            box->setCurrentIndex(p[std::size_t(i)] > 2 ? 0 : p[std::size_t(i)]);
    }
    e.neighbours()->SetAQDQChange();
}

void showDevIdTag(const Controls& c, DeviceData& d, Payload p)
{
    const auto t = need(blocks::decodeDevIdTag(p));
    c.setText(QStringLiteral("txthardwarenum"), t.hardwareNumber);
    showPdTag(c, d, t);
}

Payload devIdBuf(const Engine& e)
{
    return {reinterpret_cast<const std::uint8_t*>(e.DevIdBuf.constData()), std::size_t(e.DevIdBuf.size())};
}

} // namespace

void registerReadRows(Engine& engine, DeviceData& dev, const Controls& controls)
{
    Engine* e = &engine;
    DeviceData* d = &dev;
    const Controls* c = &controls;
    const auto serialPayload = [e] { return replyPayload(*e, true); };
    const auto ethPayload = [e] { return replyPayload(*e, false); };

    const auto prjCal = Engine::decodes(blocks::decodePrjCal);
    const auto aiAlarm = Engine::decodes(blocks::decodeAiAlarm);
    const auto mac = Engine::atLeast(blocks::MAC_SIZE);
    const auto netGate = Engine::atLeast(blocks::NET_GATE_SIZE);
    const auto aqTypes = Engine::atLeast(blocks::AQ_TYPE_SIZE);
    const auto devIdTag = Engine::decodes(blocks::decodeDevIdTag);

    e->setSerialDecoder(FN_READ_PRJ_CAL, [c, serialPayload] { showPrjCal(*c, serialPayload()); }, prjCal);
    e->setSerialDecoder(std::uint8_t(QS_READ_AI_ALARM), [c, serialPayload] { showAiAlarm(*c, serialPayload()); },
                        aiAlarm);
    e->setSerialDecoder(std::uint8_t(QS_READ_MAC), [c, serialPayload] { showMac(*c, serialPayload()); }, mac);
    e->setSerialDecoder(FN_READ_GATEWAY, [c, serialPayload] { showNetGate(*c, serialPayload()); }, netGate);
    e->setSerialDecoder(std::uint8_t(QS_READ_AQ_TYPE),
                        [e, d, c, serialPayload] { showAqTypes(*e, *d, *c, serialPayload()); }, aqTypes);
    e->setSerialDecoder(FN_READ_PDTAG, [c, d, serialPayload] { showDevIdTag(*c, *d, serialPayload()); }, devIdTag);

    // The Ethernet actions run inside the reply handler; each logs under its own name.
    const auto action = [e](const char* name, std::function<void()> f, Engine::Check accept = {}) {
        setTrappedEthAction(*e, name, std::move(f), std::move(accept));
    };
    action("DistriPrj", [c, ethPayload] { showPrjCal(*c, ethPayload()); }, prjCal);
    action("DistributeAIWarning", [c, ethPayload] { showAiAlarm(*c, ethPayload()); }, aiAlarm);
    action("DistributeMAC", [c, ethPayload] { showMac(*c, ethPayload()); }, mac);
    action("DistributeNetGate", [c, ethPayload] { showNetGate(*c, ethPayload()); }, netGate);
    action("DistributeAQType", [e, d, c, ethPayload] { showAqTypes(*e, *d, *c, ethPayload()); }, aqTypes);
    action("DistributePDTagandDeviceID", [e, c, d] { showDevIdTag(*c, *d, devIdBuf(*e)); });
}
