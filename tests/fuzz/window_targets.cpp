// The receive paths of the real main window, with stand-ins for the port and
// the sockets: the serial receive handler with its frame check and reply
// dispatch, the UDP reply checks and dispatch, and device discovery. Each
// window is built once and lives for the whole run, as it does in the program.
//
// Inputs of the two reply targets: byte 0 flags, byte 1 picks the command whose
// request goes out first (so the reply meets the engine in the state that
// request left), the rest is the reply.
#include "fuzz/targets.h"

#include "base/ansi.h"
#include "imagefile/image_file.h"
#include "pages/form1.h"
#include "proto/eth_commands.h"
#include "proto/net_datagram.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "support/form_rig.h"

#include <QComboBox>
#include <QRadioButton>
#include <memory>

namespace fuzzing {

namespace {

QByteArray bytes(Bytes b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }

// Sends the request of `code` the way the dispatcher does.
void sendRequest(Engine& e, std::int16_t code)
{
    e.CmdTop = 0;
    e.push(code);
    e.Timer1_Timer();
}

// After the reply: whatever time-out is armed fires, then everything stops
// (no event loop runs here, so the timers would never fire by themselves).
void settle(Engine& e)
{
    if (e.Timer2.isActive())
        e.Timer2_Timer();
    if (e.timMscon.isActive())
        e.timMscon_Timer();
    for (QTimer* t : {&e.Timer1, &e.Timer2, &e.timMscon, &e.Sleep_Timer, &e.timCheckDevice})
        t->stop();
}

FormRig& serialRig()
{
    static FormRig* rig = [] {
        auto* r = new FormRig;
        r->openPort();
        return r;
    }();
    return *rig;
}

FormRig& ethernetRig()
{
    static FormRig* rig = [] {
        auto* r = new FormRig;
        r->f->ui.optComm[1]->setChecked(true);
        r->f->StartRun_Click();
        r->discovery.deliver(announcement({127, 0, 0, 2}, 15001));
        r->f->ui.cmbDevice->setCurrentIndex(0);
        r->f->cmbDevice_Click();
        return r;
    }();
    return *rig;
}

} // namespace

// Flags: bit 0 wraps the rest as function code + payload in a sound frame;
// bits 1..2 the delivery: 0 one burst, 1 byte by byte, 2 bursts of (bits 3..7)
// + 1 bytes, 3 one port event whatever the count (a line error, say).
void serialReceive(Bytes input)
{
    if (input.size() < 2)
        return;
    FormRig& rig = serialRig();
    Engine& e = rig.f->engine();
    rig.nb.calls.clear();
    rig.serial.written.clear();
    const std::uint8_t flags = input[0];
    int count = 0;
    const serial::CommandRow* rows = serial::commandRows(&count);
    Bytes rest = input.subspan(2);
    // A built frame answers a request of its own code, so that its branch is
    // reached whatever the row; with bit 5 set nothing asked for it.
    if ((flags & 1) && !rest.empty() && !(flags & 0x20))
        rig.askSerial(rest[0]);
    sendRequest(e, rows[input[1] % count].code);

    QByteArray reply = bytes(rest);
    if ((flags & 1) && !rest.empty())
        reply = serial::buildFrame(rest[0], bytes(rest.subspan(1)));
    switch ((flags >> 1) & 3) {
    case 0:
        rig.serial.inject(reply);
        break;
    case 1:
        for (char c : reply)
            rig.serial.inject(QByteArray(1, c));
        break;
    case 2: {
        const int step = (flags >> 3) + 1;
        for (qsizetype at = 0; at < reply.size(); at += step)
            rig.serial.inject(reply.mid(at, step));
        break;
    }
    default:
        rig.serial.event(reply);
        break;
    }
    settle(e);
}

// Flags: bit 0 puts the sequence number the engine waits for into the reply,
// bit 1 sets the success status, bit 2 delivers the datagram twice, bit 3
// lets a datagram of another sender arrive first.
void udpReceive(Bytes input)
{
    if (input.size() < 2)
        return;
    FormRig& rig = ethernetRig();
    Engine& e = rig.f->engine();
    rig.nb.calls.clear();
    rig.device.sent.clear();
    const std::uint8_t flags = input[0];
    int count = 0;
    const net::EthRow* rows = net::ethRows(&count);
    sendRequest(e, rows[input[1] % count].code);

    QByteArray d = bytes(input.subspan(2));
    if ((flags & 2) && !d.isEmpty())
        d[0] = char((quint8(d[0]) & net::SVC_CODE_MASK) | net::SVC_STATUS_OK);
    if ((flags & 1) && d.size() >= net::REPLY_HEADER_SIZE) {
        const bool write = (quint8(d[0]) & net::SVC_CODE_MASK) == net::SVC_WRITE;
        const auto seq = quint16(write ? e.WriteSeq : e.ReadSeq);
        d[net::SEQ_AT] = char(seq & 0xFF);
        d[net::SEQ_AT + 1] = char(seq >> 8);
    }
    if (flags & 8)
        Q_EMIT rig.device.foreignDatagram();
    rig.device.deliver(d);
    if (flags & 4)
        rig.device.deliver(d);
    settle(e);
}

// A sequence of steps, each led by one byte: 0 an announcement built from the
// next bytes (address, port, texts), 1 a raw datagram of the length in the
// next byte, 2 the clock moves on by the next byte x 100 ms and the watchdog
// ticks, 3 the user picks the device in the list position of the next byte.
void announcements(Bytes input)
{
    static qint64 now = 1'000'000;
    static FormRig* rig = [] {
        auto* r = new FormRig;
        r->f->clock = [] { return now; };
        r->f->ui.optComm[1]->setChecked(true);
        r->f->StartRun_Click();
        return r;
    }();
    // A long list is emptied the way the window empties it: the devices fall
    // silent and the watchdog drops them.
    if (rig->f->devices.size() > 32) {
        now += 60'000;
        for (int i = 0; i < 100 && rig->f->devices.size() > 1; ++i)
            rig->f->timCheckDevice_Timer();
    }
    Form1& f = *rig->f;
    rig->nb.calls.clear();
    rig->device.sent.clear();
    std::size_t at = 0;
    const auto next = [&]() -> int { return at < input.size() ? input[at++] : -1; };
    for (int op = next(); op >= 0; op = next()) {
        switch (op & 3) {
        case 0: {
            QByteArray d(net::ANNOUNCE_SIZE, '\0');
            d[0] = char(net::ANNOUNCE_KIND);
            for (int i = 1; i < d.size() && at < input.size(); ++i)
                d[i] = char(input[at++]);
            rig->discovery.deliver(d);
            break;
        }
        case 1: {
            const int n = next();
            if (n < 0)
                return;
            const std::size_t take = std::min<std::size_t>(std::size_t(n), input.size() - at);
            rig->discovery.deliver(bytes(input.subspan(at, take)));
            at += take;
            break;
        }
        case 2:
            now += qint64(std::max(next(), 0)) * 100;
            f.timCheckDevice_Timer();
            break;
        default:
            if (f.ui.cmbDevice->count() > 0) {
                f.ui.cmbDevice->setCurrentIndex(std::max(next(), 0) % f.ui.cmbDevice->count());
                f.cmbDevice_Click();
            }
            break;
        }
    }
    settle(f.engine());
}

// An image file as the loader reads it: GBK text of records applied to the
// pages. Setting a control runs its handler, which may queue commands; the
// stack is emptied after each input.
void imageRecords(Bytes input)
{
    static FormRig* rig = new FormRig;
    QString text = fromAnsi(bytes(input));
    rig->f->imageFile().AnalysisParam(text);
    rig->nb.calls.clear();
    rig->f->engine().CmdTop = 0;
    settle(rig->f->engine());
}

} // namespace fuzzing
