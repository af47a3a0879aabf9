#include "device/io_rows.h"

#include "base/errorlog.h"
#include "base/numbers.h"
#include "device/colors.h"
#include "device/controls.h"
#include "device/device_data.h"
#include "device/shared_rows.h"
#include "device/texts.h"
#include "link/engine.h"
#include "proto/eth_commands.h"
#include "proto/io_blocks.h"
#include "proto/serial_commands.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace serial;
using namespace net;

namespace {

using Payload = std::span<const std::uint8_t>;

const QString CHNL_DIS = QStringLiteral("ChnlDis");
constexpr int ZERO_CELLS = 11; // ChnlDis 11..21
constexpr int FULL_CELLS = 22; // ChnlDis 22..32

// ---------------------------------------------------------------- analog inputs

template <class Array>
void showCells(const Controls& c, int first, const Array& v)
{
    for (int i = 0; i < io::AI_CHANNELS; ++i)
        c.setText(CHNL_DIS, first + i, QString::number(v[std::size_t(i)]));
}

// The zero or full-scale cells as the values to write; a cell that does not
// fit refuses the write before anything is sent.
io::AiI32 cellValues(const Controls& c, int first) { return aiCellValues(c, first); }

void showSensorTypes(const Controls& c, DeviceData& d, Payload p)
{
    const auto t = need(io::decodeSensorTypes(p));
    for (int i = 0; i < io::AI_CHANNELS; ++i) {
        d.SysInfo.SensorType[std::size_t(i)] = t[std::size_t(i)];
        // A code the list does not hold shows no sensor rather than a wrong one.
        if (auto* box = c.get<QComboBox>(QStringLiteral("ChnlSensor"), i))
            box->setCurrentIndex(t[std::size_t(i)] < box->count() ? int(t[std::size_t(i)]) : -1);
    }
}

void showVolts(const Controls& c, DeviceData& d, Payload p)
{
    d.VoltVal = need(io::decodeAiVolt(p));
    for (int i = 0; i < io::AI_CHANNELS; ++i)
        c.setText(CHNL_DIS, i, io::voltageText(d.VoltVal[std::size_t(i)]));
}

// ---------------------------------------------------------------- digital I/O, outputs, LEDs

bool longDido(const DeviceData& d)
{
    return didoReplyLen(d.SysInfo.DeviceType, d.SysInfo.InnerVersion) == DIDO_REPLY_LONG;
}

void paintOn(QWidget* w, bool on)
{
    if (on)
        colors::paint(w, colors::ON);
    else
        colors::paintFace(w);
}

// ---- the switch banks: each face shows the device's last known state with
// the clicks on their way applied (SwitchClicks)

void paintDo(const Controls& c, const DeviceData& d)
{
    for (int i = 0; i < 2; ++i)
        paintOn(c.widget(QStringLiteral("cmdDO_%1").arg(i)), d.DOClicks.shown(d.DOState, std::size_t(i)) == 1);
}

void paintLeds(const Controls& c, const DeviceData& d, bool serialLink)
{
    for (int i = 0; i < io::LED_COUNT; ++i) {
        const auto v = d.LedClicks.shown(d.LedState, std::size_t(i));
        // On Ethernet a state other than 0 and 1 leaves the lamp as it was.
        if (serialLink || v <= 1)
            paintOn(c.widget(QStringLiteral("LightState_%1").arg(i)), v == 1);
    }
}

void paintDq(const Controls& c, const DeviceData& d)
{
    for (int i = 0; i < io::AQ_CHANNELS; ++i) {
        const auto v = d.DQClicks.shown(d.AQtoDQState, std::size_t(i));
        if (v <= 1)
            colors::paint(c.widget(QStringLiteral("cmdDQ3_%1").arg(i)), v == 1 ? colors::ON : colors::DQ_OFF);
    }
}

bool serialLinkOf(const Engine& e) { return e.view()->linkOption() == 0; }

void paintBank(const Engine& e, const Controls& c, const DeviceData& d, SwitchBank bank)
{
    switch (bank) {
    case SwitchBank::DO: paintDo(c, d); break;
    case SwitchBank::Leds: paintLeds(c, d, serialLinkOf(e)); break;
    case SwitchBank::DQ: paintDq(c, d); break;
    }
}

constexpr SwitchBank BANKS[] = {SwitchBank::DO, SwitchBank::Leds, SwitchBank::DQ};

// The queue codes of a bank's write and of the read-back pushed under it (0: none).
std::int16_t writeCode(const Engine& e, SwitchBank bank)
{
    switch (bank) {
    case SwitchBank::DO: return QS_WRITE_DO; // the same code on both links
    case SwitchBank::Leds: return QS_WRITE_LAMP; // the same code on both links
    case SwitchBank::DQ: return serialLinkOf(e) ? std::int16_t(QS_WRITE_AQ_TO_DQ) : std::int16_t(QE_WRITE_AQ_TO_DQ);
    }
    return 0;
}

std::int16_t readBackCode(SwitchBank bank)
{
    // The DQ write has no read-back: its acknowledgement is its word.
    return bank == SwitchBank::DO ? std::int16_t(QS_READ_DIDO) : bank == SwitchBank::Leds ? std::int16_t(QS_READ_LAMP) : 0;
}

// Applies f to the bank's clicks (a SwitchClicks of its size).
template <class F>
auto withClicks(DeviceData& d, SwitchBank bank, F f)
{
    switch (bank) {
    case SwitchBank::DO: return f(d.DOClicks);
    case SwitchBank::Leds: return f(d.LedClicks);
    default: return f(d.DQClicks);
    }
}

// The clicks follow the stack: one whose write is no longer queued is
// forgotten, and its switch shows the device's state at once.
void followStack(const Engine& e, const Controls& c, DeviceData& d)
{
    for (auto bank : BANKS)
        if (withClicks(d, bank, [&](auto& k) { return k.keep(std::size_t(e.queuedCount(writeCode(e, bank)))); }))
            paintBank(e, c, d, bank);
}

// A write's answer will not come: its switches show what the device last said.
void settleSwitches(const Engine& e, const Controls& c, DeviceData& d, std::int16_t lostCode)
{
    for (auto bank : BANKS)
        if (writeCode(e, bank) == lostCode && withClicks(d, bank, [](auto& k) { return k.settle(); }))
            paintBank(e, c, d, bank);
}

void showDido(const Controls& c, DeviceData& d, Payload p, bool serialLink)
{
    const auto b = need(io::decodeDido(p, longDido(d)));
    if (serialLink) {
        d.DIByte = b.di;
        d.DOByte = b.dout;
        d.AOValInt = b.ao;
    }
    for (int i = 0; i < io::AO_CHANNELS; ++i)
        c.setText(QStringLiteral("txtAQ"), i, QString::number(b.ao[std::size_t(i)] / 1000.0));
    d.SysInfo.HardAddr = b.hardAddr;
    c.setText(QStringLiteral("txt_HardAddr"), QString::number(b.hardAddr));
    c.setEnabled(QStringLiteral("cmdSetAO"), true);
    // Firmware 0x2604 sends no battery byte although its model may have a battery.
    c.setText(QStringLiteral("txtCellPressure"), b.battery ? QString::number(*b.battery / 10.0) : QString());
    // The outputs a DO write starts from, on either link (the clicks on
    // their way stay as they are, and show).
    for (int i = 0; i < 2; ++i) {
        d.DOState[std::size_t(i)] = (b.dout >> i) & 1;
        c.widget(QStringLiteral("cmdDO_%1").arg(i))->setEnabled(true);
    }
    paintDo(c, d);
    for (int i = 0; i < 4; ++i) {
        d.DIState[std::size_t(i)] = (b.di >> i) & 1;
        paintOn(c.widget(QStringLiteral("shpDI_%1").arg(i)), d.DIState[std::size_t(i)]);
    }
}

std::uint8_t nextDoByte(DeviceData& d) { return io::doByte(d.DOClicks.next(d.DOState)); }

void showLeds(const Controls& c, DeviceData& d, Payload p, bool serialLink)
{
    d.LedState = need(io::decodeLeds(p));
    paintLeds(c, d, serialLink);
}

std::array<std::int16_t, io::AO_CHANNELS> aoWire(DeviceData& d)
{
    const auto v = io::aoWireValues(d.AOVal);
    if (!v)
        throw RuntimeError(QStringLiteral("溢出"));
    d.AOValInt = *v;
    return *v;
}

// ---------------------------------------------------------------- AQ channels

void showAqZeroFull(const Engine& e, const Controls& c, DeviceData& d, Payload p)
{
    d.AQZeroFullRead = need(io::decodeAqZeroFull(p));
    d.AQZeroFullConnection = e.connection();
    showAqZeroFullBoxes(c, d);
}

// Only a channel whose DQ button is enabled (a switching channel) can be on.
void showAqToDq(const Controls& c, DeviceData& d, Payload p)
{
    const auto state = need(io::decodeAqToDq(p));
    for (int i = 0; i < io::AQ_CHANNELS; ++i) {
        const bool on = ((state >> i) & 1) && c.widget(QStringLiteral("cmdDQ3_%1").arg(i))->isEnabled();
        d.AQtoDQState[std::size_t(i)] = on ? 1 : 0;
    }
    paintDq(c, d);
}

// The write form of the AQ zero/full block. PendParam moves on before the
// boxes are read, so a box that fails still leaves the next step in place.
QByteArray aqZeroFullWrite(Engine& e, const Controls& c, const DeviceData& d)
{
    const auto step = io::aqZeroFullStep(e.AQZFTwoStep, e.PendParam);
    e.PendParam = step.pendParam;
    const auto points = aqZeroFullPoints(e, c, d, step.mode == io::AQZF_FULL);
    return io::aqZeroFullWriteBlock(step.mode, points.volt, points.current);
}

// Sends one AQ zero/full write. The first of a download's two writes sends the
// zero values; whatever becomes of it (answered, lost, not built), the second
// sends the full-scale values: the step moves on when the first is sent, not
// when its reply comes.
template <class Send>
void sendAqZeroFull(Engine& e, Send send)
{
    struct NextStep {
        Engine& e;
        bool firstOfTwo;
        ~NextStep()
        {
            if (firstOfTwo) {
                e.AQZFTwoStep = false;
                e.PendParam = io::AQZF_FULL;
            }
        }
    } next{e, e.AQZFTwoStep};
    send();
}

} // namespace

std::optional<double> outputValue(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || !isNumeric(t))
        return std::nullopt;
    const double v = strictNumber(t);
    if (v < 0 || v > 20)
        return std::nullopt;
    return v;
}

void registerIoRows(Engine& engine, DeviceData& dev, const Controls& controls)
{
    Engine* e = &engine;
    DeviceData* d = &dev;
    const Controls* c = &controls;
    const auto serialPayload = [e] { return e->replyPayload(true); };
    const auto ethPayload = [e] { return e->replyPayload(false); };

    // ---- builders, serial then Ethernet ----
    e->setSerialBuilder(QS_WRITE_ZERO, [e, d, c] {
        d->ZeroVal = cellValues(*c, ZERO_CELLS);
        sendSerialPayload(*e, QS_WRITE_ZERO, io::aiI32Block(d->ZeroVal), 51);
    });
    e->setSerialBuilder(QS_WRITE_FULL, [e, d, c] {
        d->FullVal = cellValues(*c, FULL_CELLS);
        sendSerialPayload(*e, QS_WRITE_FULL, io::aiI32Block(d->FullVal), 51);
    });
    e->setSerialBuilder(QS_WRITE_DO, [e, d] {
        d->DOByte = nextDoByte(*d);
        sendSerialPayload(*e, QS_WRITE_DO, QByteArray(1, char(d->DOByte)), 8);
    });
    e->setSerialBuilder(QS_WRITE_AO, [e, d] { sendSerialPayload(*e, QS_WRITE_AO, io::aoBlock(aoWire(*d)), 23); });
    e->setSerialBuilder(QS_WRITE_LAMP, [e, d] { sendSerialPayload(*e, QS_WRITE_LAMP, bytes(d->LedClicks.next(d->LedState)), 25); });
    e->setSerialBuilder(QS_WRITE_AQ_TO_DQ, [e, d] {
        sendSerialPayload(*e, QS_WRITE_AQ_TO_DQ, QByteArray(1, char(io::aqToDqByte(d->DQClicks.next(d->AQtoDQState)))), 8);
    });
    e->setSerialBuilder(QS_WRITE_AQ_ZERO_FULL, [e, c, d] {
        sendAqZeroFull(*e, [e, c, d] { sendSerialPayload(*e, QS_WRITE_AQ_ZERO_FULL, aqZeroFullWrite(*e, *c, *d), 40); });
    });

    e->setEthBuilder(QE_WRITE_ZERO, [e, d, c] {
        d->ZeroVal = cellValues(*c, ZERO_CELLS);
        e->WritePayload = io::aiI32Block(d->ZeroVal);
    });
    e->setEthBuilder(QE_WRITE_FULL, [e, d, c] {
        d->FullVal = cellValues(*c, FULL_CELLS);
        e->WritePayload = io::aiI32Block(d->FullVal);
    });
    e->setEthBuilder(QE_WRITE_DO, [e, d] { e->WritePayload = QByteArray(1, char(nextDoByte(*d))); });
    e->setEthBuilder(QE_WRITE_AO, [e, d] { e->WritePayload = io::aoBlock(aoWire(*d)); });
    e->setEthBuilder(QE_WRITE_LAMP, [e, d] { e->WritePayload = bytes(d->LedClicks.next(d->LedState)); });
    e->setEthBuilder(QE_WRITE_AQ_TO_DQ, [e, d] {
        e->WritePayload = QByteArray(1, char(io::aqToDqByte(d->DQClicks.next(d->AQtoDQState))));
        e->WriteCmd();
    });
    e->setEthBuilder(QE_WRITE_AQ_ZERO_FULL, [e, c, d] {
        sendAqZeroFull(*e, [e, c, d] {
            e->WritePayload = aqZeroFullWrite(*e, *c, *d);
            e->WriteCmd();
        });
    });

    // ---- reply branches ----
    const auto i32 = Engine::decodes(io::decodeAiI32);
    const auto temp = Engine::decodes(io::decodeAiTemp);
    const auto dido = [d](Payload p) { return io::decodeDido(p, longDido(*d)).has_value(); };
    const auto leds = Engine::decodes(io::decodeLeds);
    const auto aqZeroFull = Engine::decodes(io::decodeAqZeroFull);
    const auto aqToDq = Engine::decodes(io::decodeAqToDq);

    e->setSerialDecoder(QS_READ_ZERO, [c, d, serialPayload] {
        d->ZeroVal = need(io::decodeAiI32(serialPayload()));
        showCells(*c, ZERO_CELLS, d->ZeroVal);
    }, i32);
    e->setSerialDecoder(QS_READ_FULL, [c, d, serialPayload] {
        d->FullVal = need(io::decodeAiI32(serialPayload()));
        showCells(*c, FULL_CELLS, d->FullVal);
    }, i32);
    // The sensor types the device now holds, not the ones sent.
    e->setSerialDecoder(QS_WRITE_SENSOR_TYPE, [c, d, serialPayload] { showSensorTypes(*c, *d, serialPayload()); },
                        Engine::decodes(io::decodeSensorTypes));
    e->setSerialDecoder(FN_READ_AD, [c, d, serialPayload] {
        d->ADVal = need(io::decodeAiI32(serialPayload()));
        showCells(*c, 0, d->ADVal);
    }, i32);
    e->setSerialDecoder(FN_READ_VOLT, [c, d, serialPayload] { showVolts(*c, *d, serialPayload()); },
                        Engine::decodes(io::decodeAiVolt));
    e->setSerialDecoder(FN_READ_TEMP, [c, d, serialPayload] {
        d->TempVal = need(io::decodeAiTemp(serialPayload()));
        showCells(*c, 0, d->TempVal);
        const auto average = io::coldJunctionAverage(d->TempVal);
        c->setText(QStringLiteral("Text_Average"), average ? QString::number(*average) : QStringLiteral("Error"));
    }, temp);
    e->setSerialDecoder(FN_DIDO, [c, d, serialPayload] { showDido(*c, *d, serialPayload(), true); }, dido);
    e->setSerialDecoder(QS_READ_LAMP, [c, d, serialPayload] { showLeds(*c, *d, serialPayload(), true); }, leds);
    e->setSerialDecoder(QS_READ_AQ_ZERO_FULL, [e, c, d, serialPayload] { showAqZeroFull(*e, *c, *d, serialPayload()); },
                        aqZeroFull);
    e->setSerialDecoder(QS_READ_AQ_TO_DQ, [c, d, serialPayload] { showAqToDq(*c, *d, serialPayload()); }, aqToDq);

    setTrappedEthAction(*e, "DistributeZero", [c, d, ethPayload] {
        d->ZeroVal = need(io::decodeAiI32(ethPayload()));
        showCells(*c, ZERO_CELLS, d->ZeroVal);
    }, i32);
    setTrappedEthAction(*e, "DistributeFull", [c, d, ethPayload] {
        d->FullVal = need(io::decodeAiI32(ethPayload()));
        showCells(*c, FULL_CELLS, d->FullVal);
    }, i32);
    setTrappedEthAction(*e, "DistributeADMeas", [c, d, ethPayload] {
        d->ADVal = need(io::decodeAiI32(ethPayload()));
        showCells(*c, 0, d->ADVal);
    }, i32);
    setTrappedEthAction(*e, "DistributeTemMeas", [c, d, ethPayload] {
        d->TempVal = need(io::decodeAiTemp(ethPayload()));
        showCells(*c, 0, d->TempVal);
    }, temp);
    setTrappedEthAction(*e, "DistributeVoltMeas", [c, d, ethPayload] { showVolts(*c, *d, ethPayload()); },
                        Engine::decodes(io::decodeAiVolt));
    setTrappedEthAction(*e, "DistributeDIDO", [c, d, ethPayload] { showDido(*c, *d, ethPayload(), false); }, dido);
    setTrappedEthAction(*e, "DistributeLightState", [c, d, ethPayload] { showLeds(*c, *d, ethPayload(), false); }, leds);
    setTrappedEthAction(*e, "DistributeAQZeroFull", [e, c, d, ethPayload] { showAqZeroFull(*e, *c, *d, ethPayload()); },
                        aqZeroFull);
    setTrappedEthAction(*e, "DistributeAQToDQ", [c, d, ethPayload] { showAqToDq(*c, *d, ethPayload()); }, aqToDq);

    // ---- the switches' writes answered, lost or dropped ----
    // The device's DO write reply carries the outputs it now holds.
    const auto fnOf = [](std::int16_t code) { return findCommand(code)->fn; };
    e->setSerialDecoder(fnOf(QS_WRITE_DO), [e, c, d] {
        const auto p = e->replyPayload(true);
        if (p.empty())
            throw RuntimeError(QStringLiteral("应答长度不足"));
        e->view()->setStatus(p[0] == d->DOByte ? QStringLiteral("设置DO值成功") : QStringLiteral("设置DO值失败"));
        d->DOClicks.sent.reset();
        for (std::size_t i = 0; i < 2; ++i)
            d->DOState[i] = (p[0] >> i) & 1;
        paintDo(*c, *d);
    }, Engine::atLeast(1));
    const auto acknowledged = [e, c, d](SwitchBank bank, auto& clicks, auto& known) {
        clicks.acknowledged(known);
        paintBank(*e, *c, *d, bank);
    };
    e->setSerialDecoder(fnOf(QS_WRITE_LAMP), [d, acknowledged] { acknowledged(SwitchBank::Leds, d->LedClicks, d->LedState); });
    e->setSerialDecoder(fnOf(QS_WRITE_AQ_TO_DQ), [d, acknowledged] { acknowledged(SwitchBank::DQ, d->DQClicks, d->AQtoDQState); });
    e->setEthAction(QStringLiteral("doWritten"), [d, acknowledged] { acknowledged(SwitchBank::DO, d->DOClicks, d->DOState); });
    e->setEthAction(QStringLiteral("lampsWritten"), [d, acknowledged] { acknowledged(SwitchBank::Leds, d->LedClicks, d->LedState); });
    e->setEthAction(QStringLiteral("aqToDqColours"), [d, acknowledged] { acknowledged(SwitchBank::DQ, d->DQClicks, d->AQtoDQState); });
    QObject::connect(e, &Engine::queueDropped, e, [e, c, d] { followStack(*e, *c, *d); });
    QObject::connect(e, &Engine::replyLost, e, [e, c, d](std::int16_t code) { settleSwitches(*e, *c, *d, code); });
}

void showAqZeroFullBoxes(const Controls& c, const DeviceData& d)
{
    const auto& z = d.AQZeroFullRead;
    for (int ch = 0; ch < io::AQ_CHANNELS; ++ch) {
        const auto k = std::size_t(ch);
        c.setText(QStringLiteral("txt_AQV"), ch, aqPointText(z.voltZero[k]));
        c.setText(QStringLiteral("txt_AQV"), 8 + ch, aqPointText(z.voltFull[k]));
        c.setText(QStringLiteral("txt_AQM"), ch, aqPointText(z.currentZero[k]));
        c.setText(QStringLiteral("txt_AQM"), 8 + ch, aqPointText(z.currentFull[k]));
    }
}

QString aqPointText(std::int16_t milli) { return QString::number(milli / 1000.0, 'f', 3); }

void showSwitches(const Engine& e, const Controls& c, const DeviceData& d)
{
    for (auto bank : BANKS)
        paintBank(e, c, d, bank);
}

void clickSwitch(Engine& e, DeviceData& d, const Controls& c, SwitchBank bank, int index)
{
    followStack(e, c, d);
    if (const auto read = readBackCode(bank))
        e.push(read); // the read-back runs after the write
    e.push(writeCode(e, bank));
    withClicks(d, bank, [index](auto& k) { k.pending.push_back(std::uint8_t(index)); });
    paintBank(e, c, d, bank);
}
