#pragma once
// What the end-to-end suites that run the window once per link share: the
// simulated device on the link, the window connected to it, the status texts
// and message boxes it showed, and the check between two steps.
#include "e2e/window_rig.h"
#include "base/msgbox.h"
#include "devsim/serial_device.h"
#include "devsim/udp_device.h"
#include "pages/form1.h"

#include <QComboBox>
#include <QtTest>
#include <functional>
#include <initializer_list>
#include <memory>

namespace e2e {

class LinkSuite : public QObject {
protected:
    static constexpr int STARTUP_READS = 14;

    std::unique_ptr<SimSerialDevice> serialSim;
    std::unique_ptr<SimUdpDevice> udpSim;
    std::unique_ptr<Form1> f;
    SimDeviceModel* model = nullptr;
    QStringList texts; // every status text since the last step
    QStringList boxes; // every message box text

    bool ethernet() const { return udpSim != nullptr; }
    Engine& e() { return f->engine(); }
    std::int16_t code(std::int16_t serialCode, std::int16_t ethernetCode) const
    {
        return ethernet() ? ethernetCode : serialCode;
    }
    // Waits for a status text.
    bool shown(const char* text, int ms = 5000)
    {
        const QString t = QString::fromUtf8(text);
        return QTest::qWaitFor([&] { return texts.contains(t); }, ms);
    }
    // The next step: what the last one showed holds no lost reply.
    virtual void step()
    {
        QVERIFY2(!texts.contains(QStringLiteral("通讯超时")), qPrintable(texts.join(u' ')));
        texts.clear();
    }

    // Every message box is recorded and answered Yes or OK.
    void beginCase()
    {
        boxes.clear();
        texts.clear();
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r.text;
            return r.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
        });
    }
    void endCase()
    {
        f.reset();
        serialSim.reset();
        udpSim.reset();
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
    }

    // `prepare` sets the device up before the window reads it.
    void startSerial(const std::function<void(SimDeviceModel&)>& prepare = {})
    {
        serialSim = std::make_unique<SimSerialDevice>();
        QVERIFY2(serialSim->open(), qPrintable(serialSim->errorString()));
        model = serialSim->model();
        if (prepare)
            prepare(*model);
        f = serialWindow(*serialSim, this, texts);
        QTRY_VERIFY_WITH_TIMEOUT(serialSim->receivedFunctions().size() > STARTUP_READS, 15000);
    }
    void startEthernet(const std::function<void(SimDeviceModel&)>& prepare = {})
    {
        udpSim = std::make_unique<SimUdpDevice>();
        if (prepare)
            prepare(*udpSim->model());
        const quint16 announcePort = startLoopbackDevice(*udpSim);
        QVERIFY2(announcePort != 0, qPrintable(udpSim->errorString()));
        model = udpSim->model();
        f = ethernetWindow(announcePort, this, texts);
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000);
        f->ui.cmbDevice->setCurrentIndex(0);
        f->cmbDevice_Click();
        QTRY_VERIFY_WITH_TIMEOUT(udpSim->receivedRequests().size() > STARTUP_READS, 15000);
    }

    // Runs the parts in order up to the first that fails, then checks the last step.
    void runParts(std::initializer_list<std::function<void()>> parts)
    {
        if (QTest::currentTestFailed())
            return;
        for (const auto& part : parts) {
            part();
            if (QTest::currentTestFailed())
                return;
        }
        step();
    }
};

} // namespace e2e
