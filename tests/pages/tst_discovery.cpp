// Device discovery, device selection and the device watchdog of the main
// window, with stand-in sockets and a clock the test moves.
#include "base/msgbox.h"
#include "pages/form1.h"
#include "proto/eth_commands.h"
#include "support/form_rig.h"

#include <QComboBox>
#include <QRadioButton>
#include <QLineEdit>
#include <QtTest>

namespace {
QByteArray announce(const QList<int>& addr, quint16 port, const QByteArray& devId = QByteArray(32, '0'),
                    const QByteArray& tag = QByteArray(32, ' '), int size = 91, char kind = 4)
{
    QByteArray d(size, '\0');
    d[0] = kind;
    if (size < 91)
        return d;
    d.replace(8, 32, devId.leftJustified(32, '\0', true));
    d.replace(40, 32, tag.leftJustified(32, '\0', true));
    for (int i = 0; i < 4; ++i)
        d[72 + i] = char(addr[i]);
    d[87] = char(port & 0xFF);
    d[88] = char(port >> 8);
    return d;
}
} // namespace

class TestDiscovery : public QObject {
    Q_OBJECT
    std::unique_ptr<FormRig> rig;
    Form1* f = nullptr;
    FakeUdp* discovery = nullptr;
    FakeUdp* device = nullptr;
    qint64 now = 1000000;

    void deliver(const QByteArray& d) { discovery->deliver(d); }

private Q_SLOTS:
    void init()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
        rig = std::make_unique<FormRig>();
        f = rig->f.get();
        discovery = &rig->discovery;
        device = &rig->device;
        f->clock = [this] { return now; };
        f->ui.optComm[1]->setChecked(true);
        f->StartRun_Click();
    }
    void cleanup()
    {
        rig.reset();
    }

    void startListensAndSendsNothing()
    {
        QVERIFY(discovery->bound);
        QCOMPARE(discovery->localPort, quint16(12000));
        QVERIFY(discovery->sent.isEmpty());
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("正在查询设备，请稍候"));
        QVERIFY(!f->engine().Timer1.isActive());
        QCOMPARE(f->devices.size(), 1);
        QVERIFY(f->devices.at(0).isPlaceholder());
    }

    void announcementsFillTheTableAndTheList()
    {
        for (const auto& bad : {announce({127, 0, 0, 2}, 15001, {}, {}, 90), announce({127, 0, 0, 2}, 15001, {}, {}, 92),
                                announce({127, 0, 0, 2}, 15001, QByteArray(32, '0'), {}, 91, 5)})
            deliver(bad);
        QCOMPARE(f->ui.cmbDevice->count(), 0);
        QVERIFY(f->ui.cmbDevice->isHidden());
        // The first device fills the placeholder and shows the list.
        deliver(announce({127, 0, 0, 2}, 15001, "012345678901234500000000000000077", "PT-1"));
        QCOMPARE(f->devices.size(), 1);
        QCOMPARE(f->ui.cmbDevice->count(), 1);
        QCOMPARE(f->ui.cmbDevice->itemText(0), QStringLiteral("127.0.0.2"));
        QVERIFY(!f->ui.cmbDevice->isHidden());
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("当前有设备在线,请选择设备IP"));
        QVERIFY(f->engine().timCheckDevice.isActive());
        // A zero octet is an ordinary address; the next device comes after it.
        deliver(announce({127, 0, 0, 0}, 15002));
        deliver(announce({127, 0, 9, 3}, 15003));
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("有新设备上线"));
        QCOMPARE(f->devices.size(), 3);
        QCOMPARE(f->ui.cmbDevice->itemText(2), QStringLiteral("127.0.9.3"));
        // A known device announcing a new port keeps its DeviceID and PD tag.
        deliver(announce({127, 0, 0, 2}, 40000, QByteArray(32, '9'), "other"));
        QCOMPARE(f->devices.at(0).port(), quint16(40000));
        QVERIFY(f->devices.at(0).PdTag.startsWith("PT-1"));
        QCOMPARE(f->ui.cmbDevice->count(), 3);
    }

    void selectingADeviceAimsTheSocketAndLoadsTheReads()
    {
        deliver(announce({127, 0, 0, 2}, 40001, "00123456789012340000000000000077", "PD-TAG"));
        f->ui.cmbDevice->setCurrentIndex(0);
        f->engine().TimeoutCount = 5;
        f->ui.txtAQ_Set[3]->setText(QStringLiteral("2"));
        f->cmbDevice_Click();
        QCOMPARE(f->ui.txtIp[3]->text(), QStringLiteral("2"));
        QCOMPARE(f->ui.txthardwarenum->text(), QStringLiteral("12345678901234"));
        QCOMPARE(f->ui.txtPD_Tag->text().left(6), QStringLiteral("PD-TAG"));
        QCOMPARE(f->device().PdTagRead.left(6), QByteArray("PD-TAG"));
        QVERIFY(f->ui.txtDevID->isReadOnly()); // the page composes it
        QCOMPARE(device->host, QStringLiteral("127.0.0.2"));
        QCOMPARE(device->remotePort, quint16(40001)); // above 32767, unsigned
        QCOMPARE(device->localPort, quint16(40001));
        QCOMPARE(f->ui.Text3->text(), QStringLiteral("0"));
        QCOMPARE(f->ui.txtAQ_Set[3]->text(), QStringLiteral("10"));
        QCOMPARE(f->engine().CmdTop, std::int16_t(14));
        QCOMPARE(f->engine().top(), std::int16_t(net::QE_READ_ZIGBEE));
        QVERIFY(f->engine().Timer1.isActive());
        f->engine().Timer1_Timer();
        QCOMPARE(device->sent.size(), 1);
        QCOMPARE(device->sent[0].toHex(), QByteArray("0c000000100001000000b03601000000"));
    }

    void watchdogDropsSilentDevices()
    {
        deliver(announce({127, 0, 0, 2}, 15001));
        deliver(announce({127, 0, 0, 3}, 15001));
        deliver(announce({127, 0, 0, 4}, 15001));
        f->ui.cmbDevice->setCurrentIndex(1);
        f->cmbDevice_Click();
        // The user types a new address for the device: the connected device
        // is still the one the link is aimed at.
        for (auto* e : f->ui.txtIp)
            e->setText(QStringLiteral("9"));
        // Exactly 10 s keeps every device.
        now += 10000;
        f->timCheckDevice_Timer();
        QCOMPARE(f->devices.size(), 3);
        // Devices 2 and 4 keep announcing; device 3 (the chosen one) falls silent.
        now += 1000;
        deliver(announce({127, 0, 0, 2}, 15001));
        deliver(announce({127, 0, 0, 4}, 15001));
        f->timCheckDevice_Timer();
        QCOMPARE(f->devices.size(), 2);
        QCOMPARE(f->ui.cmbDevice->count(), 2);
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("当前设备下线"));
        QVERIFY(!f->engine().Timer1.isActive());
        QVERIFY(f->ui.txtIp[0]->text().isEmpty());
        // Another device dropped while nothing is chosen any more.
        now += 11000;
        deliver(announce({127, 0, 0, 4}, 15001));
        f->timCheckDevice_Timer();
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("有设备下线"));
        QCOMPARE(f->ui.cmbDevice->itemText(0), QStringLiteral("127.0.0.4"));
        // The last one.
        now += 11000;
        f->timCheckDevice_Timer();
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("当前无在线设备,请检查设备状态"));
        QCOMPARE(f->ui.cmbDevice->count(), 0);
        QVERIFY(f->ui.cmbDevice->isHidden());
        QVERIFY(!f->engine().timCheckDevice.isActive());
        QVERIFY(f->devices.at(0).isPlaceholder());
    }

    // A pick refused while an operation owns the stack leaves the link on
    // its device, and the list shows that device again.
    void refusedPickSetsTheListBack()
    {
        QList<MsgRequest> boxes;
        setMsgResponder([&boxes](const MsgRequest& r) {
            boxes << r;
            return MsgAnswer::Ok;
        });
        deliver(announce({127, 0, 0, 2}, 15001));
        deliver(announce({127, 0, 0, 3}, 15001));
        f->ui.cmbDevice->setCurrentIndex(0);
        f->cmbDevice_Click();
        const std::int16_t owned[] = {net::QE_REFRESH_LIVE, net::QE_REFRESH_LIVE};
        f->engine().loadOwnedList(owned);
        f->ui.cmbDevice->setCurrentIndex(1); // the user's pick
        Q_EMIT f->ui.cmbDevice->activated(1);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(f->ui.cmbDevice->currentIndex(), 0);
        QCOMPARE(f->engine().connectedDevice(), QStringLiteral("127.0.0.2"));
        QCOMPARE(device->host, QStringLiteral("127.0.0.2"));
        QVERIFY(f->engine().stackOwned());
    }

    void neighboursExpiringTogetherGoOneTickApart()
    {
        deliver(announce({127, 0, 0, 2}, 15001));
        deliver(announce({127, 0, 0, 3}, 15001));
        deliver(announce({127, 0, 0, 4}, 15001));
        now += 12000;
        deliver(announce({127, 0, 0, 4}, 15001));
        f->timCheckDevice_Timer();
        QCOMPARE(f->ui.cmbDevice->count(), 2); // the second moved into place 0
        f->timCheckDevice_Timer();
        QCOMPARE(f->ui.cmbDevice->count(), 1);
        QCOMPARE(f->ui.cmbDevice->itemText(0), QStringLiteral("127.0.0.4"));
    }
};

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
