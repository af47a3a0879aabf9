#pragma once
// Starting the real window against the simulated device, the same for every
// end-to-end suite: the serial device on its pseudo-terminal, the UDP device on
// its own loopback address announcing itself to 127.0.0.1 only.
#include "pages/form1.h"
#include "devsim/serial_device.h"
#include "devsim/udp_device.h"

#include <QComboBox>
#include <QHostAddress>
#include <QTest>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QUdpSocket>
#include <memory>

namespace e2e {

// A free UDP port on loopback for this run.
inline quint16 freePort()
{
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}

// Collects every non-empty text the status line shows.
inline void recordStatus(Form1& f, QObject* context, QStringList& texts)
{
    QObject::connect(f.ui.Text2, &QLineEdit::textChanged, context, [&texts](const QString& t) {
        if (!t.isEmpty())
            texts << t;
    });
}

// The window, started from the command line on the device's pseudo-terminal
// (or on `port`, a path that leads to it); `texts` collects the status line
// from the first moment.
inline std::unique_ptr<Form1> serialWindow(const SimSerialDevice& sim, QObject* context, QStringList& texts,
                                           const QString& port = {})
{
    qputenv("RIODESK_PORTS", (port.isEmpty() ? sim.slavePath() : port).toLocal8Bit());
    Form1Options o;
    o.commandLine = QStringLiteral("设备演示");
    o.platformPorts = false;
    auto f = std::make_unique<Form1>(o);
    recordStatus(*f, context, texts);
    return f;
}

// Puts the device on 127.0.0.2 (so the window may bind the same port number
// for its device socket) and lets it announce itself to 127.0.0.1 on a free
// port; returns that port, or 0 when the device could not start.
inline quint16 startLoopbackDevice(SimUdpDevice& sim)
{
    const quint16 announcePort = freePort();
    sim.setAddress(QHostAddress(QStringLiteral("127.0.0.2")));
    sim.setPort(freePort());
    sim.setAnnounceTarget(QHostAddress::LocalHost);
    sim.setAnnouncePort(announcePort);
    sim.setAnnounceInterval(300);
    return sim.start() ? announcePort : 0;
}

// The window on the Ethernet link, started and listening for announcements;
// `texts` collects the status line from the first moment.
inline std::unique_ptr<Form1> ethernetWindow(quint16 announcePort, QObject* context, QStringList& texts)
{
    Form1Options o;
    o.platformPorts = false;
    o.discoveryPort = announcePort;
    auto f = std::make_unique<Form1>(o);
    recordStatus(*f, context, texts);
    f->ui.optComm[1]->setChecked(true);
    f->StartRun_Click();
    return f;
}

// The window on the Ethernet link with the device picked and its start-up
// reads answered.
inline std::unique_ptr<Form1> connectedEthernetWindow(quint16 announcePort, QObject* context, QStringList& texts)
{
    auto f = ethernetWindow(announcePort, context, texts);
    if (!QTest::qWaitFor([&] { return f->ui.cmbDevice->count() == 1; }, 5000))
        return nullptr;
    f->ui.cmbDevice->setCurrentIndex(0);
    f->cmbDevice_Click();
    if (!QTest::qWaitFor([&] { return f->engine().NetRxCount > 14 && f->engine().CmdTop == 0; }, 20000))
        return nullptr;
    return f;
}

// The window on the serial link with its start-up reads answered.
inline std::unique_ptr<Form1> connectedSerialWindow(const SimSerialDevice& sim, QObject* context, QStringList& texts)
{
    auto f = serialWindow(sim, context, texts);
    if (!QTest::qWaitFor([&] { return f->engine().RxCount > 14 && f->engine().CmdTop == 0; }, 20000))
        return nullptr;
    return f;
}

} // namespace e2e
