// The AQ calibration window against the simulated device and two simulated
// measuring devices on loopback, one run per link: while the window is open the
// main dispatcher is paused and the window's own requests and replies work;
// closing it gives the link back.
#include "base/msgbox.h"
#include "devsim/measuring_device.h"
#include "devsim/serial_device.h"
#include "devsim/udp_device.h"
#include "e2e/window_rig.h"
#include "pages/form1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestE2eAqCal : public QObject {
    Q_OBJECT
    QStringList texts;

    // `closeWindow`: the window is closed by the user, else unloaded with the main window.
    void exercise(Form1& f, SimDeviceModel& m, const std::function<int()>& requestsSeen, bool closeWindow)
    {
        // The measuring devices on loopback, set before the window can send anything.
        SimMeasuringDevice meterV, meterM;
        const quint16 port = e2e::freePort();
        QVERIFY(meterV.start(QHostAddress(QStringLiteral("127.0.0.3")), port));
        QVERIFY(meterM.start(QHostAddress(QStringLiteral("127.0.0.4")), port));
        meterM.readings[7] = 19.875f;
        f.TesterIpV = QStringLiteral("127.0.0.3");
        f.TesterIpM = QStringLiteral("127.0.0.4");
        f.aqcal().measuringPort = port;

        f.ui.btShowAQ->click();
        Form_AQ* aq = f.aqcal().form();
        QVERIFY(aq && f.aqcal().AQPageOpen);
        texts.clear(); // the start-up's own AQ reads came before the window took the link
        QCOMPARE(aq->txtIpV->text(), QStringLiteral("127.0.0.3"));
        QVERIFY(!f.engine().Timer1.isActive());
        // The main dispatcher is paused: its idle poll stops.
        QTest::qWait(400);
        const int quiet = requestsSeen();
        QTest::qWait(700);
        QCOMPARE(requestsSeen(), quiet);

        const auto button = [aq](const char* n) { return aq->findChild<QPushButton*>(QLatin1String(n)); };
        button("cmdReadZF")->click();
        QTRY_COMPARE_WITH_TIMEOUT(aq->txt_AQM[8 + 1]->text(), QStringLiteral("19.999"), 3000);
        QCOMPARE(aq->txt_AQV[1]->text(), QStringLiteral("0.001"));
        aq->txt_AQV[0]->setText(QStringLiteral("1.2345")); // halves to even: 1234
        button("cmdWriteZero")->click();
        QTRY_COMPARE_WITH_TIMEOUT(m.aqZeroFull[0], qint16(1234), 3000);
        QCOMPARE(m.lastAqZeroFullMode, quint8(2));
        QTRY_COMPARE_WITH_TIMEOUT(aq->txt_AQV[0]->text(), QStringLiteral("1.234"), 3000); // read back
        button("cmdReadType")->click();
        QTRY_COMPARE_WITH_TIMEOUT(aq->ComboAQType[6]->currentIndex(), 2, 3000);
        button("cmdMeasure")->click();
        QTRY_COMPARE_WITH_TIMEOUT(aq->txtMeasV[0]->text(), QStringLiteral("1.500"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(aq->txtMeasM[7]->text(), QStringLiteral("19.875"), 3000);
        QCOMPARE(meterV.received.size(), 1);
        QCOMPARE(meterM.received.size(), 1);
        QCOMPARE(aq->Text1->text(), QStringLiteral("读测量值成功"));
        QVERIFY(!texts.contains(QStringLiteral("读AQ零点满度成功"))); // the main status line saw none of it

        if (closeWindow)
            aq->close();
        else
            f.Form_Unload();
        QVERIFY(!f.aqcal().AQPageOpen);
        QVERIFY(f.engine().Timer1.isActive());
        const int before = requestsSeen();
        QTRY_VERIFY_WITH_TIMEOUT(requestsSeen() > before + 2, 3000); // polling again
    }

private Q_SLOTS:
    void init()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
        texts.clear();
    }

    void serialLink()
    {
        SimSerialDevice sim;
        QVERIFY2(sim.open(), qPrintable(sim.errorString()));
        auto f = e2e::connectedSerialWindow(sim, this, texts);
        QVERIFY(f);
        exercise(*f, *sim.model(), [&sim] { return int(sim.receivedFunctions().size()); }, true);
    }

    void ethernetLink()
    {
        SimUdpDevice sim;
        const quint16 announcePort = e2e::startLoopbackDevice(sim);
        QVERIFY2(announcePort != 0, qPrintable(sim.errorString()));
        auto f = e2e::connectedEthernetWindow(announcePort, this, texts);
        QVERIFY(f);
        exercise(*f, *sim.model(), [&sim] { return int(sim.receivedRequests().size()); }, false);
    }
};

QTEST_MAIN(TestE2eAqCal)
#include "tst_e2e_aqcal.moc"
