// The system-parameter page end to end on the serial link: the real window,
// offscreen, against the simulated device on a pseudo-terminal. The page shows
// the device's record after the start-up reads, the set-parameter command puts
// the edited page on the wire in the layout the device takes (long with the
// MAC, calibration, alarm limits and identity; short with its companion
// writes), the device holds the new values, and a fresh read shows them again.
// The expected frames are written out by hand here, field by field.
#include "base/msgbox.h"
#include "pages/form1.h"
#include "sim/serial_device.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

// Function codes the start-up reads put on the wire.
constexpr int STARTUP_READS = 14;
constexpr quint8 FN_READ_SYS = 1;
constexpr quint8 FN_WRITE_SYS = 4;
constexpr quint8 FN_WRITE_MAC = 36;

const QString NUMBER = QStringLiteral("95202306151234"); // "95", 2023-06-15, series 1234
const QString HARDWARE = QStringLiteral("20240101000777");
// Hardware number and device number, each padded with "0" to 16.
const QByteArray DEVICE_ID = "0020240101000777" "0095202306151234";

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

// CRC-16 of the serial frames: reflected polynomial 0xA001, start 0xFFFF.
quint16 crc(const QByteArray& b)
{
    quint16 c = 0xFFFF;
    for (char ch : b) {
        c ^= quint8(ch);
        for (int i = 0; i < 8; ++i)
            c = (c & 1) ? quint16((c >> 1) ^ 0xA001) : quint16(c >> 1);
    }
    return c;
}

// 55 55, function code, payload, CRC low byte first, AA AA.
QByteArray frame(quint8 fn, const QByteArray& payload)
{
    QByteArray body = QByteArray(1, char(fn)) + payload;
    const quint16 c = crc(body);
    return bytes({0x55, 0x55}) + body + bytes({c & 0xFF, c >> 8, 0xAA, 0xAA});
}

struct Wire {
    quint8 fn;
    QByteArray frame;
};

} // namespace

class TestE2eSysParamSerial : public QObject {
    Q_OBJECT
    std::unique_ptr<SimSerialDevice> sim;
    std::unique_ptr<Form1> f;
    QStringList texts;       // every text the status line showed
    QList<MsgRequest> boxes; // every message box
    QList<Wire> wire;        // requests as they arrived, from the last clear

    void startWindow()
    {
        qputenv("RIODESK_PORTS", sim->slavePath().toLocal8Bit());
        Form1Options o;
        o.commandLine = QStringLiteral("设备演示");
        o.platformPorts = false;
        f = std::make_unique<Form1>(o);
        connect(f->ui.Text2, &QLineEdit::textChanged, this, [this](const QString& t) {
            if (!t.isEmpty())
                texts << t;
        });
        connect(sim.get(), &SimSerialDevice::requestReceived, this,
                [this](quint8 fn, const QByteArray& fr) { wire.append({fn, fr}); });
    }

    // Start-up done: every read went out and the page shows the record.
    void waitForStartup()
    {
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().size() > STARTUP_READS, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.lblNUM->text(), NUMBER, 2000);
    }

    QList<quint8> functions() const
    {
        QList<quint8> out;
        for (const auto& w : wire)
            out << w.fn;
        return out;
    }
    QByteArray requestOf(quint8 fn) const
    {
        for (const auto& w : wire)
            if (w.fn == fn)
                return w.frame;
        return {};
    }
    void clearWire()
    {
        wire.clear();
        sim->clearLog();
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
        sim = std::make_unique<SimSerialDevice>();
        QVERIFY2(sim->open(), qPrintable(sim->errorString()));
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
        waitForStartup();
        if (QTest::currentTestFailed())
            return;
        auto& u = f->ui;

        // The page shows the device's record.
        QCOMPARE(u.txtDeviceType->text(), QStringLiteral("MRK7000"));
        QCOMPARE(u.txtSeries->text(), QStringLiteral("1234"));
        QCOMPARE(u.txtModuleAddr->text(), QStringLiteral("1"));
        const QStringList ip{u.txtIp[0]->text(), u.txtIp[1]->text(), u.txtIp[2]->text(), u.txtIp[3]->text()};
        QCOMPARE(ip, (QStringList{"127", "0", "0", "1"}));
        QCOMPARE(u.uPortTxt->text(), QStringLiteral("15001"));
        QCOMPARE(u.txtSubErr->text(), QStringLiteral("3"));
        QCOMPARE(u.txtSubcommIntv->text(), QStringLiteral("100"));
        QCOMPARE(u.txtSubWaitTime->text(), QStringLiteral("500"));
        QCOMPARE(u.txtInnerVersion->text(), QStringLiteral("3.301"));
        QCOMPARE(u.lblVersion->text(), QStringLiteral("2.3"));
        QCOMPARE(u.txtDevID->text(), QString(18, u'0') + NUMBER);
        QCOMPARE(u.lb_BookNo->text(), QStringLiteral("BootVer 1.2"));
        QCOMPARE(u.Text_ErrorTimeComm2->text(), QStringLiteral("3"));
        QCOMPARE(u.Text_InterTimeComm2->text(), QStringLiteral("100"));
        QCOMPARE(u.Text_WaitTimeComm2->text(), QStringLiteral("1000"));
        QCOMPARE(u.txt_RSDataTime[0]->text(), QStringLiteral("5"));
        QCOMPARE(u.txt_RSDataTime[1]->text(), QStringLiteral("5"));
        QCOMPARE(u.Combo9[0]->currentIndex(), 3);
        QCOMPARE(u.Combo9[1]->currentIndex(), 4);
        QCOMPARE(u.Combo10[0]->currentIndex(), 1);
        QCOMPARE(u.ComboMS[0]->currentIndex(), 1);
        QCOMPARE(u.ComboMS[1]->currentIndex(), 0);
        QCOMPARE(u.ComboADFilter->currentIndex(), 1);
        QCOMPARE(u.ComboADRate1->currentIndex(), 3);
        QCOMPARE(u.ChnlSensor[8]->currentIndex(), 13);
        QCOMPARE(u.txt_AQjust[5]->text(), QStringLiteral("5"));
        QCOMPARE(u.datePicker->date(), QDate(2023, 6, 15));
        QVERIFY(u.ophandornot[1]->isChecked()); // automatic MAC

        // Edit the page.
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
        QCOMPARE(u.txt_RSDataTime[1]->text(), QStringLiteral("2")); // the frame gap follows the baud rate
        u.ComboMS[1]->setCurrentIndex(1);
        u.ChnlSensor[10]->setCurrentIndex(22);
        u.prjTxt[2]->setText(QStringLiteral("-321"));
        u.txt_AIUp[0]->setText(QStringLiteral("1500"));
        u.txt_AQjust[3]->setText(QStringLiteral("33"));

        clearWire();
        texts.clear();
        u.cmdSetPara->click();
        QTRY_VERIFY_WITH_TIMEOUT(functions().contains(FN_WRITE_SYS), 3000);
        QCOMPARE(int(functions().first()), int(FN_WRITE_SYS));

        // The automatic MAC went into the boxes.
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
        expected.resize(213, '\0');
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
        // The PD tag as read: eleven letters and 21 spaces.
        const QByteArray pdTag = QByteArray("SIM MRK7000").leftJustified(32, ' ');
        QCOMPARE(u.txtPD_Tag->text(), QString::fromLatin1(pdTag));
        expected.replace(181, 32, pdTag);

        const QByteArray sent = requestOf(FN_WRITE_SYS);
        QCOMPARE(sent.size(), 220);
        QCOMPARE(sent.mid(3, 54).toHex(' '), expected.left(54).toHex(' '));
        QCOMPARE(sent.mid(3, 213).toHex(' '), expected.toHex(' '));
        QCOMPARE(sent.toHex(' '), frame(FN_WRITE_SYS, expected).toHex(' '));

        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("设置配置信息成功")), 3000);
        QVERIFY(texts.contains(QStringLiteral("正在设置系统信息，请稍候")));
        // After sending, the DeviceID box keeps only its second half.
        QCOMPARE(u.txtDevID->text(), QString(16, u'0') + QStringLiteral("0095202306151234"));
        // The MAC is part of the record: its own write was not sent.
        QVERIFY(!functions().contains(FN_WRITE_MAC));
        QVERIFY(boxes.isEmpty());

        // The device took it.
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

        // Spoil the page, then read the record back.
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
        f->engine().push(FN_READ_SYS);
        QTRY_COMPARE_WITH_TIMEOUT(u.txtModuleAddr->text(), QStringLiteral("9"), 3000);
        QVERIFY(functions().contains(FN_READ_SYS));
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
        QCOMPARE(u.txtDevID->text(), QString(18, u'0') + NUMBER);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
    }

    void shortLayoutWritesItsCompanionsFirst()
    {
        sim->model()->innerVersion = 0x2000; // firmware that takes the short layout
        startWindow();
        waitForStartup();
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

        clearWire();
        texts.clear();
        f->cmdSetPara_Click();
        QTRY_VERIFY_WITH_TIMEOUT(functions().size() >= 7, 6000);
        // Gateway, sensor types, AI alarm limits, AQ types written and read
        // back, then the record itself, then the DeviceID/PD-tag read.
        QCOMPARE(functions().mid(0, 7), (QList<quint8>{78, 5, 51, 38, 39, FN_WRITE_SYS, 21}));

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
        const QByteArray sent = requestOf(FN_WRITE_SYS);
        QCOMPARE(sent.size(), 91);
        QCOMPARE(sent.mid(3, 84).toHex(' '), expected.toHex(' '));
        QCOMPARE(sent.toHex(' '), frame(FN_WRITE_SYS, expected).toHex(' '));

        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("设置配置信息成功")), 3000);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
        QVERIFY(boxes.isEmpty());
        // The short write leaves the DeviceID box as composed.
        QCOMPARE(u.txtDevID->text(), QString::fromLatin1(DEVICE_ID));

        SimDeviceModel& m = *sim->model();
        QCOMPARE(int(m.moduleAddr), 23);
        QCOMPARE(int(m.ip[3]), 88);
        QCOMPARE(int(m.udpPort), 15555);
        QCOMPARE(int(m.subMaxErr), 7);
        QCOMPARE(int(m.commErrTime), 6);
        QCOMPARE(int(m.commWaitTime), 2000);
        QCOMPARE(int(m.portLine[0]), 0x05);
        QCOMPARE(int(m.rsDataTime[0]), 2);
        QCOMPARE(int(m.masterSlave[0]), 0);
        // The companions carried what the short layout lacks.
        QCOMPARE(int(m.sensorType[9]), 3);
        QCOMPARE(int(m.aiAlarmUp[0]), 1000);
        QCOMPARE(int(m.aiAlarmUp[7]), -40);
        QCOMPARE(int(m.aiAlarmDown[7]), -40);
        QCOMPARE(int(m.aqType[1]), 1);
        QCOMPARE(int(m.aqType[5]), 2);
        QCOMPARE(int(m.gateway[3]), 200);
        QCOMPARE(int(m.subnet[1]), 255);
        QCOMPARE(int(m.subnet[2]), 0);

        u.txtModuleAddr->setText(QStringLiteral("0"));
        u.uPortTxt->setText(QStringLiteral("0"));
        u.Text_WaitTimeComm2->setText(QStringLiteral("0"));
        u.Combo9[0]->setCurrentIndex(0);
        u.ChnlSensor[9]->setCurrentIndex(0);
        f->engine().push(FN_READ_SYS);
        QTRY_COMPARE_WITH_TIMEOUT(u.txtModuleAddr->text(), QStringLiteral("23"), 3000);
        QCOMPARE(u.txtIp[3]->text(), QStringLiteral("88"));
        QCOMPARE(u.uPortTxt->text(), QStringLiteral("15555"));
        QCOMPARE(u.txtSubErr->text(), QStringLiteral("7"));
        QCOMPARE(u.Text_ErrorTimeComm2->text(), QStringLiteral("6"));
        QCOMPARE(u.Text_WaitTimeComm2->text(), QStringLiteral("2000"));
        QCOMPARE(u.Combo9[0]->currentIndex(), 5);
        QCOMPARE(u.ComboMS[0]->currentIndex(), 0);
        QCOMPARE(u.ChnlSensor[9]->currentIndex(), 3);
        QCOMPARE(u.txtInnerVersion->text(), QStringLiteral("2.000"));
    }

    void badCalibrationValueWritesNothing()
    {
        startWindow();
        waitForStartup();
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
        QTRY_VERIFY_WITH_TIMEOUT(functions().size() >= 5, 3000);
        QVERIFY(!functions().contains(FN_WRITE_SYS));
        QCOMPARE(int(sim->model()->moduleAddr), 1);
    }
};

QTEST_MAIN(TestE2eSysParamSerial)
#include "tst_e2e_sysparam_serial.moc"
