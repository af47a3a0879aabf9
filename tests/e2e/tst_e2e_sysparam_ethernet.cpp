// The system-parameter page end to end on the Ethernet link: the real window,
// offscreen, against the simulated device on loopback UDP. The page shows the
// device's record after the start-up reads, the set-parameter command sends the
// edited page in the layout the device takes (long, 232 bytes; short, 84 bytes
// after its companion writes), the device holds the new values, and a fresh
// read shows them again. The expected datagrams are written out by hand here,
// field by field.
#include "base/msgbox.h"
#include "pages/form1.h"
#include "sim/udp_device.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUdpSocket>
#include <QtTest>

namespace {

// A free UDP port on loopback for this run.
quint16 freePort()
{
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}

constexpr int STARTUP_READS = 14;
constexpr int SVC_READ = 12;
constexpr int SVC_WRITE = 13;
constexpr int READ_SYS_INFO = 1; // the read's queue code

const QString NUMBER = QStringLiteral("95202306151234"); // "95", 2023-06-15, series 1234
const QString HARDWARE = QStringLiteral("20240101000777");
// Hardware number and device number, each padded with "0" to 16.
const QByteArray DEVICE_ID = "0020240101000777" "0095202306151234";
// What the device announces and the page shows as PD tag.
const QByteArray PD_TAG = QByteArray("SIM MRK7000").leftJustified(32, ' ');

QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v)
        b.append(char(quint8(x)));
    return b;
}

void put16(QByteArray& b, int at, int v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

struct Request {
    int service, index, sub;
    QByteArray datagram;
};
using Key = std::tuple<int, int, int>; // service, index, sub-index

} // namespace

class TestE2eSysParamEthernet : public QObject {
    Q_OBJECT
    std::unique_ptr<SimUdpDevice> sim;
    std::unique_ptr<Form1> f;
    QStringList texts;
    QList<MsgRequest> boxes;
    QList<Request> wire;

    void startWindow()
    {
        const quint16 announcePort = freePort();
        sim->setAddress(QHostAddress(QStringLiteral("127.0.0.2")));
        sim->setPort(freePort());
        sim->setAnnounceTarget(QHostAddress::LocalHost);
        sim->setAnnouncePort(announcePort);
        sim->setAnnounceInterval(300);
        QVERIFY2(sim->start(), qPrintable(sim->errorString()));
        connect(sim.get(), &SimUdpDevice::requestReceived, this,
                [this](quint8 svc, quint16 index, quint16 sub, quint16, quint16, const QByteArray& d) {
                    wire.append({svc, index, sub, d});
                });
        Form1Options o;
        o.platformPorts = false;
        o.discoveryPort = announcePort;
        f = std::make_unique<Form1>(o);
        connect(f->ui.Text2, &QLineEdit::textChanged, this, [this](const QString& t) {
            if (!t.isEmpty())
                texts << t;
        });
        f->ui.optComm[1]->setChecked(true);
        f->StartRun_Click();
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000);
        f->ui.cmbDevice->setCurrentIndex(0);
        f->cmbDevice_Click();
        QTRY_VERIFY_WITH_TIMEOUT(wire.size() > STARTUP_READS, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.lblNUM->text(), NUMBER, 2000);
    }

    QList<Key> keys() const
    {
        QList<Key> out;
        for (const auto& r : wire)
            out << Key(r.service, r.index, r.sub);
        return out;
    }
    QByteArray requestOf(const Key& k) const
    {
        for (const auto& r : wire)
            if (Key(r.service, r.index, r.sub) == k)
                return r.datagram;
        return {};
    }
    void clearWire()
    {
        wire.clear();
        sim->clearLog();
    }

    // The 18-byte header of a write: service, whole length, index, sub-index.
    static void checkWriteHeader(const QByteArray& d, int index, int sub)
    {
        QVERIFY(d.size() >= 18);
        QCOMPARE(int(quint8(d[0])), SVC_WRITE);
        QCOMPARE(int(quint8(d[4]) | quint8(d[5]) << 8), int(d.size()));
        QCOMPARE(int(quint8(d[10]) | quint8(d[11]) << 8), index);
        QCOMPARE(int(quint8(d[12]) | quint8(d[13]) << 8), sub);
        QCOMPARE(int(quint8(d[14]) | quint8(d[15]) << 8), 0);
    }

    // What the user types into the boxes the set-parameter command reads.
    void typeCommonEntries()
    {
        auto& u = f->ui;
        u.txthardwarenum->setText(HARDWARE);
        for (int i = 0; i < 11; ++i)
            u.prjTxt[i]->setText(QString::number(100 + i));
        for (int i = 0; i < 8; ++i) {
            u.txt_AIUp[i]->setText(QString::number(1000 + 10 * i));
            u.txt_AIDown[i]->setText(QString::number(-5 * (i + 1)));
            u.ComboType2[i]->setCurrentIndex(i % 3);
        }
        for (int i = 0; i < 6; ++i)
            u.txt_MAC[i]->setText(QStringLiteral("11"));
        for (int i = 0; i < 4; ++i) {
            u.txtGate[i]->setText(QString::number(i == 3 ? 200 : i == 0 ? 127 : 0));
            u.txtSubNet[i]->setText(QString::number(i < 2 ? 255 : 0));
        }
    }

private Q_SLOTS:
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r;
            return MsgAnswer::Ok;
        });
        sim = std::make_unique<SimUdpDevice>();
        texts.clear();
        wire.clear();
    }
    void cleanup()
    {
        f.reset();
        sim.reset();
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
    }

    void longLayoutShowWriteAndReadBack()
    {
        startWindow();
        if (QTest::currentTestFailed())
            return;
        auto& u = f->ui;

        // The page shows the device's record.
        QCOMPARE(u.txtDeviceType->text(), QStringLiteral("MRK7000"));
        QCOMPARE(u.txtSeries->text(), QStringLiteral("1234"));
        QCOMPARE(u.txtModuleAddr->text(), QStringLiteral("1"));
        const QStringList ip{u.txtIp[0]->text(), u.txtIp[1]->text(), u.txtIp[2]->text(), u.txtIp[3]->text()};
        QCOMPARE(ip, (QStringList{"127", "0", "0", "2"}));
        QCOMPARE(u.uPortTxt->text(), QString::number(sim->port()));
        QCOMPARE(u.txtSubErr->text(), QStringLiteral("3"));
        QCOMPARE(u.txtSubWaitTime->text(), QStringLiteral("500"));
        QCOMPARE(u.txtInnerVersion->text(), QStringLiteral("3.301"));
        QCOMPARE(u.txtDevID->text(), QString(18, u'0') + NUMBER);
        QCOMPARE(u.txthardwarenum->text(), QStringLiteral("20230615000042")); // from the announcement
        QCOMPARE(u.txtPD_Tag->text(), QString::fromLatin1(PD_TAG));
        QCOMPARE(u.lb_BookNo->text(), QStringLiteral("1.2"));
        QCOMPARE(u.Text_ErrorTimeComm2->text(), QStringLiteral("3"));
        QCOMPARE(u.Text_InterTimeComm2->text(), QStringLiteral("100"));
        QCOMPARE(u.Text_WaitTimeComm2->text(), QStringLiteral("1000"));
        QCOMPARE(u.txt_RSDataTime[1]->text(), QStringLiteral("5"));
        QCOMPARE(u.Combo9[1]->currentIndex(), 4);
        QCOMPARE(u.ComboMS[0]->currentIndex(), 1);
        QCOMPARE(u.ComboMS[1]->currentIndex(), 0);
        QCOMPARE(u.ChnlSensor[8]->currentIndex(), 13);
        QCOMPARE(u.datePicker->date(), QDate(2023, 6, 15));
        QVERIFY(u.ophandornot[1]->isChecked()); // automatic MAC

        // The reads of the other blocks filled the boxes the write takes back.
        QCOMPARE(u.txthardwarenum->text(), QStringLiteral("20230615000042"));
        QCOMPARE(u.txt_MAC[1]->text() + u.txt_MAC[5]->text(), QStringLiteral("1A5E"));
        QCOMPARE(u.txt_MAC[0]->text(), QStringLiteral("0"));
        QCOMPARE(u.prjTxt[10]->text(), QStringLiteral("110"));
        QCOMPARE(u.txt_AIUp[7]->text(), QStringLiteral("1070"));
        QCOMPARE(u.txt_AIDown[0]->text(), QStringLiteral("-100"));
        QCOMPARE(u.txtGate[3]->text(), QStringLiteral("254"));
        QCOMPARE(u.txtSubNet[0]->text(), QStringLiteral("255"));
        typeCommonEntries();
        u.txtModuleAddr->setText(QStringLiteral("9"));
        u.txtIp[3]->setText(QStringLiteral("77"));
        u.uPortTxt->setText(QStringLiteral("16001"));
        u.txtSubWaitTime->setText(QStringLiteral("750"));
        u.Text_InterTimeComm2->setText(QStringLiteral("250"));
        u.Combo9[1]->setCurrentIndex(6); // 57600 baud
        QCOMPARE(u.txt_RSDataTime[1]->text(), QStringLiteral("2"));
        u.ComboMS[1]->setCurrentIndex(1);
        u.ChnlSensor[10]->setCurrentIndex(22);
        u.prjTxt[2]->setText(QStringLiteral("-321"));
        u.txt_AIUp[0]->setText(QStringLiteral("1500"));
        u.txt_AQjust[3]->setText(QStringLiteral("33"));

        const Key write{SVC_WRITE, 10003, 4};
        clearWire();
        texts.clear();
        u.cmdSetPara->click();
        QTRY_VERIFY_WITH_TIMEOUT(keys().contains(write), 3000);
        QCOMPARE(keys().first(), write);

        QByteArray mac;
        for (auto* b : u.txt_MAC) {
            bool ok = false;
            mac.append(char(b->text().toUInt(&ok, 16)));
            QVERIFY2(ok, qPrintable(b->text()));
        }
        QCOMPARE(mac.left(2), bytes({0x00, 0xFC}));
        QVERIFY(mac != QByteArray(6, char(0x11)));

        QByteArray expected = bytes({
            0xD2, 0x04, 0x00, 0x00,         // series 1234
            127, 0, 0, 77,                  // IP address
            9,                              // module address
            0x03, 0x01,                     // port 1: 8N1, 9600 baud; Modbus RTU
            0x06, 0x01,                     // port 2: 8N1, 57600 baud; Modbus RTU
            0x13,                           // A/D: filter on, rate 3
            0x02, 0x00,                     // DI debounce
            0x00, 0x00,                     // cold-junction calibration
            0x44,                           // cold-junction compensation on
            0xE7, 0x07, 6, 15, 10, 20, 30,  // production date and time
            1, 1,                           // both ports master
            0xFF,                           // channels 0..7 enabled
            0x81, 0x3E,                     // UDP port 16001
            0x01, 0x00,                     // CPU type
            3,                              // slave error limit
            0x64, 0x00,                     // slave poll interval 100
            0xEE, 0x02,                     // slave wait time 750
            0x01, 0x00,                     // scan control
            0xE8, 0x03,                     // scan interval 1000
            5, 2,                           // frame gaps
            0x07,                           // channels 8..10 enabled
            0x55, 0xAA,
            3,                              // communication error time
            0xFA, 0x00,                     // communication interval 250
            0xE8, 0x03,                     // communication wait time 1000
            0x55, 0xAA,                     // long layout
        });
        QCOMPARE(expected.size(), 54);
        expected.resize(232, '\0'); // the Ethernet layout ends in 19 zero bytes
        expected.replace(54, 6, mac);
        const int sensors[11] = {12, 12, 12, 12, 12, 12, 12, 12, 13, 1, 22};
        for (int i = 0; i < 11; ++i) {
            expected[60 + i] = char(sensors[i]);
            put16(expected, 71 + 2 * i, i == 2 ? -321 : 100 + i);
        }
        for (int i = 0; i < 8; ++i) {
            expected[93 + i] = char(i % 3);
            put16(expected, 101 + 2 * i, i == 3 ? 33 : i);
            put16(expected, 117 + 2 * i, i == 0 ? 1500 : 1000 + 10 * i);
            put16(expected, 133 + 2 * i, -5 * (i + 1));
        }
        expected.replace(149, 32, DEVICE_ID);
        expected.replace(181, 32, PD_TAG);

        const QByteArray sent = requestOf(write);
        QCOMPARE(sent.size(), 250);
        checkWriteHeader(sent, 10003, 4);
        QCOMPARE(sent.mid(18, 54).toHex(' '), expected.left(54).toHex(' '));
        QCOMPARE(sent.mid(18).toHex(' '), expected.toHex(' '));

        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("写系统参数成功")), 3000);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
        // On this link the DeviceID box stays as composed.
        QCOMPARE(u.txtDevID->text(), QString::fromLatin1(DEVICE_ID));
        QVERIFY(!keys().contains(Key(SVC_WRITE, 10003, 19))); // no MAC write of its own
        QVERIFY(boxes.isEmpty());

        SimDeviceModel& m = *sim->model();
        QCOMPARE(int(m.moduleAddr), 9);
        QCOMPARE(int(m.ip[3]), 77);
        QCOMPARE(int(m.udpPort), 16001);
        QCOMPARE(int(m.subWaitTime), 750);
        QCOMPARE(int(m.commInterTime), 250);
        QCOMPARE(int(m.portLine[1]), 0x06);
        QCOMPARE(int(m.rsDataTime[1]), 2);
        QCOMPARE(int(m.masterSlave[1]), 1);
        QCOMPARE(int(m.sensorType[10]), 22);
        QCOMPARE(int(m.prjCal[2]), -321);
        QCOMPARE(int(m.aiAlarmUp[0]), 1500);
        QCOMPARE(int(m.aqAdjust[3]), 33);
        QCOMPARE(int(m.aqType[2]), 2);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(m.mac.data()), 6), mac);
        QCOMPARE(m.deviceId, DEVICE_ID);
        QCOMPARE(m.pdTag, PD_TAG);

        u.txtModuleAddr->setText(QStringLiteral("0"));
        u.txtIp[3]->setText(QStringLiteral("0"));
        u.uPortTxt->setText(QStringLiteral("0"));
        u.txtSubWaitTime->setText(QStringLiteral("0"));
        u.Text_InterTimeComm2->setText(QStringLiteral("0"));
        u.Combo9[1]->setCurrentIndex(0);
        u.ComboMS[1]->setCurrentIndex(0);
        u.ChnlSensor[10]->setCurrentIndex(0);
        u.txt_AQjust[3]->setText(QStringLiteral("0"));
        clearWire();
        f->engine().push(READ_SYS_INFO);
        QTRY_COMPARE_WITH_TIMEOUT(u.txtModuleAddr->text(), QStringLiteral("9"), 3000);
        QVERIFY(keys().contains(Key(SVC_READ, 10003, 1)));
        QCOMPARE(u.txtIp[3]->text(), QStringLiteral("77"));
        QCOMPARE(u.uPortTxt->text(), QStringLiteral("16001"));
        QCOMPARE(u.txtSubWaitTime->text(), QStringLiteral("750"));
        QCOMPARE(u.Text_InterTimeComm2->text(), QStringLiteral("250"));
        QCOMPARE(u.Combo9[1]->currentIndex(), 6);
        QCOMPARE(u.txt_RSDataTime[1]->text(), QStringLiteral("2"));
        QCOMPARE(u.ComboMS[1]->currentIndex(), 1);
        QCOMPARE(u.ChnlSensor[10]->currentIndex(), 22);
        QCOMPARE(u.txt_AQjust[3]->text(), QStringLiteral("33"));
        QCOMPARE(u.lblNUM->text(), NUMBER);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
    }

    void shortLayoutWritesItsCompanionsFirst()
    {
        sim->model()->innerVersion = 0x2000; // firmware that takes the short layout
        startWindow();
        if (QTest::currentTestFailed())
            return;
        auto& u = f->ui;
        QCOMPARE(u.txtInnerVersion->text(), QStringLiteral("2.000"));

        typeCommonEntries();
        u.txtModuleAddr->setText(QStringLiteral("23"));
        u.txtIp[3]->setText(QStringLiteral("88"));
        u.uPortTxt->setText(QStringLiteral("15555"));
        u.txtSubErr->setText(QStringLiteral("7"));
        u.Text_ErrorTimeComm2->setText(QStringLiteral("6"));
        u.Text_WaitTimeComm2->setText(QStringLiteral("2000"));
        u.Combo9[0]->setCurrentIndex(5); // 38400 baud
        QCOMPARE(u.txt_RSDataTime[0]->text(), QStringLiteral("2"));
        u.ComboMS[0]->setCurrentIndex(0);
        u.ChnlSensor[9]->setCurrentIndex(3);
        u.txt_AIUp[7]->setText(QStringLiteral("-40"));

        const Key pdRead{SVC_READ, 10010, 2};
        clearWire();
        texts.clear();
        f->cmdSetPara_Click();
        QTRY_VERIFY_WITH_TIMEOUT(keys().contains(pdRead), 6000);
        // Gateway, sensor types, AI alarm limits, AQ types written and read
        // back, then the record itself, then the DeviceID/PD-tag read. The
        // read-back the sensor-type reply asks for is left out while the
        // record's write waits: it would put the old record over the new one.
        const QList<Key> order = keys();
        const QList<Key> expectedOrder{{SVC_WRITE, 14000, 7}, {SVC_WRITE, 10003, 5}, {SVC_WRITE, 10003, 26},
                                       {SVC_WRITE, 10003, 20}, {SVC_READ, 10003, 17}, {SVC_WRITE, 10003, 4},
                                       pdRead};
        QCOMPARE(order.mid(0, 7), expectedOrder);

        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("写系统参数成功")), 3000);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
        QVERIFY(boxes.isEmpty());

        // The companions carried what the short layout lacks.
        SimDeviceModel& m = *sim->model();
        QCOMPARE(int(m.sensorType[9]), 3);
        QCOMPARE(int(m.aiAlarmUp[0]), 1000);
        QCOMPARE(int(m.aiAlarmUp[7]), -40);
        QCOMPARE(int(m.aiAlarmDown[7]), -40);
        QCOMPARE(int(m.aqType[1]), 1);
        QCOMPARE(int(m.aqType[5]), 2);
        QCOMPARE(int(m.gateway[3]), 200);
        QCOMPARE(int(m.subnet[1]), 255);
        QCOMPARE(int(m.subnet[2]), 0);

        QByteArray expected = bytes({
            0xD2, 0x04, 0x00, 0x00,         // series 1234
            127, 0, 0, 88,                  // IP address
            23,                             // module address
            0x05, 0x01,                     // port 1: 8N1, 38400 baud; Modbus RTU
            0x04, 0x01,                     // port 2: 8N1, 19200 baud; Modbus RTU
            0x13,                           // A/D: filter on, rate 3
            0x02, 0x00,                     // DI debounce
            0x00, 0x00,                     // cold-junction calibration
            0x44,                           // cold-junction compensation on
            0xE7, 0x07, 6, 15, 10, 20, 30,  // production date and time
            0, 0,                           // both ports slave
            0xFF,                           // channels 0..7 enabled
            0xC3, 0x3C,                     // UDP port 15555
            0x01, 0x00,                     // CPU type
            7,                              // slave error limit
            0x64, 0x00,                     // slave poll interval 100
            0xF4, 0x01,                     // slave wait time 500
            0x01, 0x00,                     // scan control
            0xE8, 0x03,                     // scan interval 1000
            2, 5,                           // frame gaps
            0x07,                           // channels 8..10 enabled
            0x55, 0xAA,
            6,                              // communication error time
            0x64, 0x00,                     // communication interval 100
            0xD0, 0x07,                     // communication wait time 2000
        });
        QCOMPARE(expected.size(), 52);
        expected.resize(84, '\0');
        const QByteArray sent = requestOf(Key(SVC_WRITE, 10003, 4));
        QCOMPARE(sent.size(), 18 + 84);
        checkWriteHeader(sent, 10003, 4);
        QCOMPARE(sent.mid(18).toHex(' '), expected.toHex(' '));

        QCOMPARE(int(m.moduleAddr), 23);
        QCOMPARE(int(m.ip[3]), 88);
        QCOMPARE(int(m.udpPort), 15555);
        QCOMPARE(int(m.subMaxErr), 7);
        QCOMPARE(int(m.commErrTime), 6);
        QCOMPARE(int(m.commWaitTime), 2000);
        QCOMPARE(int(m.portLine[0]), 0x05);
        QCOMPARE(int(m.rsDataTime[0]), 2);
        QCOMPARE(int(m.masterSlave[0]), 0);

        u.txtModuleAddr->setText(QStringLiteral("0"));
        u.uPortTxt->setText(QStringLiteral("0"));
        u.Text_WaitTimeComm2->setText(QStringLiteral("0"));
        u.Combo9[0]->setCurrentIndex(0);
        u.ChnlSensor[9]->setCurrentIndex(0);
        f->engine().push(READ_SYS_INFO);
        QTRY_COMPARE_WITH_TIMEOUT(u.txtModuleAddr->text(), QStringLiteral("23"), 3000);
        QCOMPARE(u.txtIp[3]->text(), QStringLiteral("88"));
        QCOMPARE(u.uPortTxt->text(), QStringLiteral("15555"));
        QCOMPARE(u.txtSubErr->text(), QStringLiteral("7"));
        QCOMPARE(u.Text_ErrorTimeComm2->text(), QStringLiteral("6"));
        QCOMPARE(u.Text_WaitTimeComm2->text(), QStringLiteral("2000"));
        QCOMPARE(u.Combo9[0]->currentIndex(), 5);
        QCOMPARE(u.ComboMS[0]->currentIndex(), 0);
        QCOMPARE(u.ChnlSensor[9]->currentIndex(), 3);
    }

    void badCalibrationValueWritesNothing()
    {
        startWindow();
        if (QTest::currentTestFailed())
            return;
        auto& u = f->ui;
        typeCommonEntries();
        u.txtModuleAddr->setText(QStringLiteral("9"));
        u.prjTxt[4]->setText(QStringLiteral("abc"));

        clearWire();
        texts.clear();
        f->cmdSetPara_Click();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("工程校准值错误！"));
        QCOMPARE(boxes[0].title, QStringLiteral("提示"));
        QCOMPARE(boxes[0].icon, MsgIcon::Exclamation);
        QVERIFY(!texts.contains(QStringLiteral("正在设置系统信息，请稍候")));
        // The idle poll goes on; no write among it.
        QTRY_VERIFY_WITH_TIMEOUT(wire.size() >= 5, 3000);
        for (const auto& r : wire)
            QCOMPARE(r.service, SVC_READ);
        QCOMPARE(int(sim->model()->moduleAddr), 1);
    }
};

QTEST_MAIN(TestE2eSysParamEthernet)
#include "tst_e2e_sysparam_ethernet.moc"
