#pragma once
// The main window with stand-ins for its port, its two sockets and its
// neighbours, listing only the ports the test names.
#include "pages/form1.h"
#include "proto/announce.h"
#include "proto/net_datagram.h"
#include "proto/serial_frame.h"
#include "support/fakes.h"

#include <QRadioButton>
#include <memory>

// Records the image records the start-up applies.
class RecordingImages : public ImageService {
public:
    QStringList applied;
    void AnalysisParam(QString& records) override { applied << records; }
};

// The read of the pending request goes out, and this is its reply (its own
// sequence number, so that it is not taken for a copy of the reply before),
// payload from byte 12.
inline QByteArray freshReadReply(Engine& e, const QByteArray& payload)
{
    if (!e.linked())
        e.aimDevice(QStringLiteral("127.0.0.2"), 9000); // a device to ask
    e.ReadCmd();
    QByteArray d(12, 0);
    d[0] = 0x4C;
    d[6] = char(e.ReadSeq & 0xFF);
    d[7] = char(e.ReadSeq >> 8);
    return d + payload;
}

// A device announcement from addr:port (the rest zero).
inline QByteArray announcement(const std::uint8_t (&addr)[4], quint16 port)
{
    QByteArray d(net::ANNOUNCE_SIZE, '\0');
    d[0] = char(net::ANNOUNCE_KIND);
    for (int i = 0; i < 4; ++i)
        d[net::ANNOUNCE_ADDR_AT + i] = char(addr[i]);
    d[net::ANNOUNCE_PORT_AT] = char(port & 0xFF);
    d[net::ANNOUNCE_PORT_AT + 1] = char(port >> 8);
    return d;
}

struct FormRig {
    FakeSerial serial;
    FakeUdp discovery, device;
    RecordingNeighbours nb;
    RecordingImages images;
    std::unique_ptr<Form1> f;

    explicit FormRig(const QString& commandLine = {})
    {
        Form1Options o;
        o.commandLine = commandLine;
        o.serial = &serial;
        o.neighbours = &nb;
        o.images = &images;
        o.discovery = &discovery;
        o.deviceSocket = &device;
        o.platformPorts = false;
        f = std::make_unique<Form1>(o);
    }

    // The port open as after Start, for tests that run rows and inject replies.
    void openPort()
    {
        f->engine().openSerial(QStringLiteral("pty"), QStringLiteral("9600,N,8,1"));
        f->engine().timMscon.setInterval(5000);
    }
    // A serial request of the function code goes out, as a row would send it:
    // a reply is taken only for a request that waits for one.
    void askSerial(std::uint8_t fn)
    {
        f->engine().prepareRequest(fn, 7, 7);
        f->engine().SendCommand();
    }
    // The reply to such a request, payload from byte 3.
    void serialReply(std::uint8_t fn, const QByteArray& payload)
    {
        askSerial(fn);
        serial.event(serial::buildFrame(fn, payload));
    }
    // A read reply on the Ethernet link to the request index/sub-index.
    void ethernetRead(int index, int sub, const QByteArray& payload)
    {
        f->ui.optComm[1]->setChecked(true);
        f->engine().PendIndex = index;
        f->engine().PendSubIndex = sub;
        f->engine().PendParam = 0;
        device.deliver(freshReadReply(f->engine(), payload));
    }
};
