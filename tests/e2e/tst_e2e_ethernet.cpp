// The real window, offscreen, against the simulated device on loopback UDP:
// discovery, device selection, the Ethernet start-up reads, the idle poll, and
// a device that answers with failures or falls silent.
#include "base/msgbox.h"
#include "pages/form1.h"
#include "e2e/upgrade_rig.h"
#include "e2e/window_rig.h"
#include "devsim/udp_device.h"
#include "proto/eth_commands.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QUdpSocket>
#include <QtTest>

namespace {
using Req = QPair<int, int>; // index, sub-index (parameter for index 107 reads)
const QList<Req> STARTUP = {{14000, 1}, {10003, 21}, {10010, 2}, {10003, 1}, {10003, 2}, {107, 0}, {10003, 5},
                            {10003, 10}, {10003, 3}, {14000, 5}, {10003, 16}, {10003, 17},
                            // queued by the AQ type read: AQ zero/full, AQ-to-DQ
                            {10003, 15}, {10003, 19}, {10003, 4}, {10003, 20}};
} // namespace

class TestE2eEthernet : public QObject {
    Q_OBJECT
    std::unique_ptr<SimUdpDevice> sim;
    std::unique_ptr<Form1> f;
    QStringList texts, boxes;
    quint16 announcePort = 0;

    QList<Req> wire() const
    {
        QList<Req> out;
        for (const auto& r : sim->receivedRequests())
            out << Req(r.index, r.subIndex);
        return out;
    }

private Q_SLOTS:
    void init()
    {
        e2e::recordBoxes(boxes);
        boxes.clear();
        sim = std::make_unique<SimUdpDevice>();
        announcePort = e2e::startLoopbackDevice(*sim);
        QVERIFY2(announcePort != 0, qPrintable(sim->errorString()));
        texts.clear();
        f = e2e::ethernetWindow(announcePort, this, texts);
    }
    void cleanup()
    {
        f.reset();
        sim.reset();
    }

    void discoverSelectReadThenPoll()
    {
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000);
        QCOMPARE(f->ui.cmbDevice->itemText(0), QStringLiteral("127.0.0.2"));
        QVERIFY(!f->ui.cmbDevice->isHidden());
        QVERIFY(texts.contains(QStringLiteral("当前有设备在线,请选择设备IP")));
        f->ui.cmbDevice->setCurrentIndex(0);
        f->cmbDevice_Click();
        QTRY_VERIFY_WITH_TIMEOUT(wire().size() >= STARTUP.size() + 4, 15000);
        const auto w = wire();
        QCOMPARE(w.mid(0, STARTUP.size()), STARTUP);
        for (int i = STARTUP.size(); i < w.size(); ++i)
            QCOMPARE(w[i], Req(10003, (i - STARTUP.size()) % 2 == 0 ? 9 : 13));
        // Sequence numbers climb by one per read.
        const auto reqs = sim->receivedRequests();
        for (int i = 1; i < reqs.size(); ++i)
            if (reqs[i].service == 12 && reqs[i - 1].service == 12)
                QCOMPARE(int(reqs[i].seq), int(reqs[i - 1].seq) + 1);
        QTRY_VERIFY(f->engine().NetRxCount >= w.size() - 1);
        QCOMPARE(f->ui.Text4->text(), QString::number(f->engine().NetRxCount));
        for (const char* t : {"读取zigbee参数成功", "读内部AI校准值成功", "读DeviceID、PDTag成功", "读系统参数成功",
                              "读零点数据成功", "读实时时钟成功", "读小灯状态成功", "读满度数据成功", "读取网关信息成功",
                              "读设备MAC地址成功", "读AQ通道类型成功", "读工程校准值成功", "读AI上下限报警状态成功",
                              "读温度值成功", "读AO/DI/DO值成功"})
            QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
        QCOMPARE(f->ui.txtIp[0]->text(), QStringLiteral("127"));
        QVERIFY(!f->ui.Combo_WeekDay->currentText().isEmpty());
    }

    void failureStatusAndSilence()
    {
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000);
        sim->failNext(1);
        f->ui.cmbDevice->setCurrentIndex(0);
        f->cmbDevice_Click();
        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("读服务响应错误")), 3000);
        // The ZigBee read failed: the dispatcher went on at once, no time-out.
        QTRY_VERIFY_WITH_TIMEOUT(wire().size() >= 3, 3000);
        sim->setSilent(true);
        QTRY_VERIFY_WITH_TIMEOUT(f->engine().TimeoutCount >= 1, 9000);
        QCOMPARE(f->ui.Text3->text(), QString::number(f->engine().TimeoutCount));
    }

    void onlyTheChosenDeviceIsHeardOncePerRequest()
    {
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000);
        f->ui.cmbDevice->setCurrentIndex(0);
        f->cmbDevice_Click();
        QTRY_VERIFY_WITH_TIMEOUT(wire().size() >= STARTUP.size() + 2, 15000);
        QTRY_VERIFY(!f->ui.txtModuleAddr->text().isEmpty());
        const QString address = f->ui.txtModuleAddr->text();
        QVERIFY(address != QStringLiteral("99"));

        // Another host on loopback answers every system read first, with the
        // right sequence number and a record saying module address 99.
        QUdpSocket impostor;
        QVERIFY(impostor.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0));
        sim->setReplyDelay(60);
        int forged = 0;
        int lastSeq = -1;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            auto& e = f->engine();
            if (e.PendIndex != 10003 || e.PendSubIndex != 1 || e.ReadSeq == lastSeq)
                return;
            lastSeq = e.ReadSeq;
            QByteArray d(12 + 104, '\0');
            d[0] = 0x4C;
            d[6] = char(e.ReadSeq & 0xFF);
            d[7] = char(e.ReadSeq >> 8);
            d[12 + 8] = 99;
            impostor.writeDatagram(d, QHostAddress::LocalHost, sim->port());
            ++forged;
        });
        watch.start(1);
        texts.clear();
        f->engine().push(net::QE_READ_SYS_INFO);
        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("读系统参数成功")), 5000);
        watch.stop();
        QVERIFY(forged >= 1);
        QCOMPARE(f->ui.txtModuleAddr->text(), address);
        QTRY_COMPARE(f->ui.Text4->text(), QString::number(f->engine().NetRxCount));

        // A device that sends its replies twice: the sensor types written are
        // read back once.
        sim->setReplyDelay(0);
        sim->duplicateNext(1000);
        sim->clearLog();
        f->Command3_Click();
        QTest::qWait(1500);
        int writes = 0, reads = 0;
        for (const auto& r : sim->receivedRequests()) {
            writes += r.service == 13 && r.index == 10003 && r.subIndex == 5;
            reads += r.service == 12 && r.index == 10003 && r.subIndex == 1;
        }
        QCOMPARE(writes, 1);
        QCOMPARE(reads, 1);
    }

    void deviceThatStopsAnnouncingIsDropped()
    {
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000);
        f->ui.cmbDevice->setCurrentIndex(0);
        f->cmbDevice_Click();
        sim->setAnnouncing(false);
        // The watchdog, moved on by 12 s.
        const auto real = f->clock;
        f->clock = [real] { return real() + 12000; };
        f->timCheckDevice_Timer();
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("当前无在线设备,请检查设备状态"));
        QVERIFY(!f->engine().Timer1.isActive());
        QVERIFY(f->ui.cmbDevice->isHidden());
    }

    // Two devices announce; the user has typed another address into the boxes
    // (to readdress the connected device) when that device falls silent. It is
    // dropped as the connected one: the link is aimed at it, whatever the boxes say.
    void connectedDeviceDropIsTheLinksNotTheBoxes_data()
    {
        QTest::addColumn<bool>("upgrading");
        QTest::newRow("polling") << false;
        QTest::newRow("upgrade in its start pause") << true;
    }
    void connectedDeviceDropIsTheLinksNotTheBoxes()
    {
        QFETCH(bool, upgrading);
        QTemporaryDir dir;
        SimUdpDevice other;
        other.setAddress(QHostAddress(QStringLiteral("127.0.0.3")));
        other.setPort(e2e::freePort());
        other.setAnnouncePort(announcePort);
        other.setAnnounceInterval(300);
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000); // ours comes first
        QVERIFY2(other.start(), qPrintable(other.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 2, 5000);
        f->ui.cmbDevice->setCurrentIndex(0);
        f->cmbDevice_Click();
        QTRY_VERIFY_WITH_TIMEOUT(f->engine().CmdTop == 0 && !f->ui.txtDevID->text().isEmpty(), 15000);
        const QStringList typed{QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("9")};
        for (int i = 0; i < 4; ++i)
            f->ui.txtIp[std::size_t(i)]->setText(typed[i]);
        if (upgrading) {
            e2e::upgradeFrom(*f, e2e::writeFile(dir, QStringLiteral("main.bin"), e2e::testImage(16 * 512)));
            QTRY_VERIFY_WITH_TIMEOUT(f->engine().Sleep_Timer.isActive(), 5000);
        }
        // Ours falls silent for 12 s; the other one goes on announcing.
        sim->setAnnouncing(false);
        const auto real = f->clock;
        f->clock = [real] { return real() + 12000; };
        const qint64 shifted = f->clock();
        QTRY_VERIFY_WITH_TIMEOUT(f->devices.at(1).LastSeen >= shifted, 2000);
        texts.clear();
        f->timCheckDevice_Timer();
        QCOMPARE(texts.value(0), QStringLiteral("当前设备下线"));
        QCOMPARE(f->ui.cmbDevice->count(), 1);
        QCOMPARE(f->ui.cmbDevice->itemText(0), QStringLiteral("127.0.0.3"));
        QVERIFY(!f->engine().linked());
        QVERIFY(f->ui.txtDevID->text().isEmpty());
        QCOMPARE(boxes, upgrading ? QStringList{QStringLiteral("通讯超时，系统升级失败！")} : QStringList());
        const int sent = sim->receivedRequests().size();
        QTest::qWait(1000);
        QCOMPARE(sim->receivedRequests().size(), sent);
        QVERIFY(!f->engine().Sleep_Timer.isActive()); // the pause does not wake the link either
    }
};

QTEST_MAIN(TestE2eEthernet)
#include "tst_e2e_ethernet.moc"
