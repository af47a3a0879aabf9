// What the system-parameter end-to-end tests type into the page, what the
// device must then receive as its record, and what it must hold and show
// afterwards. The serial and Ethernet suites share all of it; only the frame
// or datagram around the record, and what differs by link, stay in each suite.
// The expected records are written out here field by field.
#pragma once

#include "base/msgbox.h"
#include "pages/form1_ui.h"
#include "devsim/device_model.h"

#include <QByteArray>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <QtTest>
#include <initializer_list>

// Runs a checking helper and ends the calling test function when a check in
// it failed, as that check would have done in the test function itself.
#define SYSPARAM_CHECK(call)                                                                       \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

namespace sysparam {

inline const QString NUMBER = QStringLiteral("95202306151234"); // "95", 2023-06-15, series 1234
inline const QString HARDWARE = QStringLiteral("20240101000777");
// Hardware number and device number, each padded with "0" to 16.
inline const QByteArray DEVICE_ID = "0020240101000777" "0095202306151234";

// The record without anything a link adds: long layout 213 bytes, short 84.
constexpr int LONG_RECORD_SIZE = 213;
constexpr int SHORT_RECORD_SIZE = 84;

inline QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v)
        b.append(char(quint8(x)));
    return b;
}

// A 16-bit value, low byte first, at byte `at`.
inline void put16(QByteArray& b, int at, int v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

// ---- the page -----------------------------------------------------------

inline QStringList ipShown(const Form1Ui& u)
{
    return {u.txtIp[0]->text(), u.txtIp[1]->text(), u.txtIp[2]->text(), u.txtIp[3]->text()};
}

// The device's record as both links show it after the start-up reads.
inline void checkRecordShown(const Form1Ui& u)
{
    QCOMPARE(u.txtDeviceType->text(), QStringLiteral("MRK7000"));
    QCOMPARE(u.txtSeries->text(), QStringLiteral("1234"));
    QCOMPARE(u.txtModuleAddr->text(), QStringLiteral("1"));
    QCOMPARE(u.txtSubErr->text(), QStringLiteral("3"));
    QCOMPARE(u.txtSubWaitTime->text(), QStringLiteral("500"));
    QCOMPARE(u.txtInnerVersion->text(), QStringLiteral("3.301"));
    QCOMPARE(u.txtDevID->text(), QString(18, u'0') + NUMBER);
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
}

// The reads of the other blocks filled the boxes the write takes back.
inline void checkFilledFromOtherBlocks(const Form1Ui& u)
{
    QCOMPARE(u.txthardwarenum->text(), QStringLiteral("20230615000042"));
    QCOMPARE(u.txt_MAC[1]->text() + u.txt_MAC[5]->text(), QStringLiteral("1A5E"));
    QCOMPARE(u.txt_MAC[0]->text(), QStringLiteral("0"));
    QCOMPARE(u.prjTxt[10]->text(), QStringLiteral("110"));
    QCOMPARE(u.txt_AIUp[7]->text(), QStringLiteral("1070"));
    QCOMPARE(u.txt_AIDown[0]->text(), QStringLiteral("-100"));
    QCOMPARE(u.txtGate[3]->text(), QStringLiteral("254"));
    QCOMPARE(u.txtSubNet[0]->text(), QStringLiteral("255"));
}

// What the user types into the boxes the set-parameter command reads.
inline void typeCommonEntries(Form1Ui& u)
{
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

// The edits ahead of the long write, on top of the common entries.
inline void editForLongWrite(Form1Ui& u)
{
    u.txtModuleAddr->setText(QStringLiteral("9"));
    u.txtIp[3]->setText(QStringLiteral("77"));
    u.txtDIPrevent->setText(QStringLiteral("300"));
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
}

// The edits ahead of the short write, on top of the common entries.
inline void editForShortWrite(Form1Ui& u)
{
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
}

// A calibration value that is no number, among otherwise sound entries.
inline void editBadCalibration(Form1Ui& u)
{
    typeCommonEntries(u);
    u.txtModuleAddr->setText(QStringLiteral("9"));
    u.prjTxt[4]->setText(QStringLiteral("abc"));
}

// The one message box the bad calibration value raises.
inline void checkBadCalibrationBox(const QList<MsgRequest>& boxes)
{
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("工程校准值错误！"));
    QCOMPARE(boxes[0].title, QStringLiteral("提示"));
    QCOMPARE(boxes[0].icon, MsgIcon::Exclamation);
}

// The automatic MAC the long write put into the boxes, into `mac`.
inline void readAutomaticMac(const Form1Ui& u, QByteArray& mac)
{
    mac.clear();
    for (auto* b : u.txt_MAC) {
        bool ok = false;
        mac.append(char(b->text().toUInt(&ok, 16)));
        QVERIFY2(ok, qPrintable(b->text()));
    }
    QCOMPARE(mac.left(2), bytes({0x00, 0xFC}));
    QVERIFY(mac != QByteArray(6, char(0x11)));
}

// Puts other values into the boxes the long write changed, so the read-back
// has to bring them back.
inline void spoilLongEdits(Form1Ui& u)
{
    u.txtModuleAddr->setText(QStringLiteral("0"));
    u.txtIp[3]->setText(QStringLiteral("0"));
    u.txtDIPrevent->setText(QStringLiteral("0"));
    u.uPortTxt->setText(QStringLiteral("0"));
    u.txtSubWaitTime->setText(QStringLiteral("0"));
    u.Text_InterTimeComm2->setText(QStringLiteral("0"));
    u.Combo9[1]->setCurrentIndex(0);
    u.ComboMS[1]->setCurrentIndex(0);
    u.ChnlSensor[10]->setCurrentIndex(0);
    u.txt_AQjust[3]->setText(QStringLiteral("0"));
}

// The page after reading back the long write (the module address is
// waited for by the caller).
inline void checkLongReadBack(const Form1Ui& u)
{
    QCOMPARE(u.txtIp[3]->text(), QStringLiteral("77"));
    QCOMPARE(u.txtDIPrevent->text(), QStringLiteral("300"));
    QCOMPARE(u.uPortTxt->text(), QStringLiteral("16001"));
    QCOMPARE(u.txtSubWaitTime->text(), QStringLiteral("750"));
    QCOMPARE(u.Text_InterTimeComm2->text(), QStringLiteral("250"));
    QCOMPARE(u.Combo9[1]->currentIndex(), 6);
    QCOMPARE(u.txt_RSDataTime[1]->text(), QStringLiteral("2"));
    QCOMPARE(u.ComboMS[1]->currentIndex(), 1);
    QCOMPARE(u.ChnlSensor[10]->currentIndex(), 22);
    QCOMPARE(u.txt_AQjust[3]->text(), QStringLiteral("33"));
    QCOMPARE(u.lblNUM->text(), NUMBER);
}

// As spoilLongEdits, for the short write.
inline void spoilShortEdits(Form1Ui& u)
{
    u.txtModuleAddr->setText(QStringLiteral("0"));
    u.uPortTxt->setText(QStringLiteral("0"));
    u.Text_WaitTimeComm2->setText(QStringLiteral("0"));
    u.Combo9[0]->setCurrentIndex(0);
    u.ChnlSensor[9]->setCurrentIndex(0);
}

// As checkLongReadBack, for the short write.
inline void checkShortReadBack(const Form1Ui& u)
{
    QCOMPARE(u.txtIp[3]->text(), QStringLiteral("88"));
    QCOMPARE(u.uPortTxt->text(), QStringLiteral("15555"));
    QCOMPARE(u.txtSubErr->text(), QStringLiteral("7"));
    QCOMPARE(u.Text_ErrorTimeComm2->text(), QStringLiteral("6"));
    QCOMPARE(u.Text_WaitTimeComm2->text(), QStringLiteral("2000"));
    QCOMPARE(u.Combo9[0]->currentIndex(), 5);
    QCOMPARE(u.ComboMS[0]->currentIndex(), 0);
    QCOMPARE(u.ChnlSensor[9]->currentIndex(), 3);
}

// ---- the record on the wire ----------------------------------------------

// The head fields the edits change; every other head byte is what the
// simulated device holds. Both ports run 8N1 with Modbus RTU; the baud code
// goes into the port's line byte.
struct HeadFields {
    int ipLast, moduleAddr;
    int baud1, baud2;
    int master1, master2; // 1 master, 0 slave
    int udpPort;
    int subErr, subWait;
    int gap1, gap2;       // frame gaps of ports 1 and 2
    int commErr, commInterval, commWait;
    int diDebounce = 0x0002; // the word on the wire
};

// The 52 bytes every layout starts with.
inline QByteArray recordHead(const HeadFields& h)
{
    return bytes({
        0xD2, 0x04, 0x00, 0x00,                      // series 1234
        127, 0, 0, h.ipLast,                         // IP address
        h.moduleAddr,                                // module address
        h.baud1, 0x01,                               // port 1: line, protocol
        h.baud2, 0x01,                               // port 2: line, protocol
        0x13,                                        // A/D: filter on, rate 3
        h.diDebounce & 0xFF, h.diDebounce >> 8,      // DI debounce
        0x00, 0x00,                                  // cold-junction calibration
        0x44,                                        // cold-junction compensation on
        0xE7, 0x07, 6, 15, 10, 20, 30,               // production date and time
        h.master1, h.master2,                        // port roles
        0xFF,                                        // channels 0..7 enabled
        h.udpPort & 0xFF, h.udpPort >> 8,            // UDP port
        0x01, 0x00,                                  // CPU type
        h.subErr,                                    // slave error limit
        0x64, 0x00,                                  // slave poll interval 100
        h.subWait & 0xFF, h.subWait >> 8,            // slave wait time
        0x01, 0x00,                                  // scan control
        0xE8, 0x03,                                  // scan interval 1000
        h.gap1, h.gap2,                              // frame gaps
        0x07,                                        // channels 8..10 enabled
        0x55, 0xAA,
        h.commErr,                                   // communication error time
        h.commInterval & 0xFF, h.commInterval >> 8,  // communication interval
        h.commWait & 0xFF, h.commWait >> 8,          // communication wait time
    });
}

// The first 54 bytes of the long write: the head after the long edits and
// the 55 AA that marks the long layout.
inline QByteArray expectedLongHead()
{
    const QByteArray head = recordHead({
        .ipLast = 77, .moduleAddr = 9,
        .baud1 = 0x03, .baud2 = 0x06, // 9600, 57600 baud
        .master1 = 1, .master2 = 1,
        .udpPort = 16001,
        .subErr = 3, .subWait = 750,
        .gap1 = 5, .gap2 = 2,
        .commErr = 3, .commInterval = 250, .commWait = 1000,
        .diDebounce = 0x1E00, // 300: 30 tens, so that the page reads it back
    });
    return head + bytes({0x55, 0xAA});
}

// Fills the long record after its head, up to LONG_RECORD_SIZE: the MAC,
// sensor types, calibration values, AQ types, AQ adjustments, AI alarm upper
// and lower limits, DeviceID and PD tag, as the common entries and the long
// edits leave them.
inline void completeLongRecord(QByteArray& expected, const QByteArray& mac, const QByteArray& pdTag)
{
    expected.resize(LONG_RECORD_SIZE, '\0');
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
    expected.replace(181, 32, pdTag);
}

// The 52 bytes of the short write that carry values; the record is padded
// with zeros to SHORT_RECORD_SIZE.
inline QByteArray expectedShortHead()
{
    return recordHead({
        .ipLast = 88, .moduleAddr = 23,
        .baud1 = 0x05, .baud2 = 0x04, // 38400, 19200 baud
        .master1 = 0, .master2 = 0,
        .udpPort = 15555,
        .subErr = 7, .subWait = 500,
        .gap1 = 2, .gap2 = 5,
        .commErr = 6, .commInterval = 100, .commWait = 2000,
    });
}

// ---- the device after the write -------------------------------------------

// What the device holds after the long write.
inline void checkLongWriteInModel(const SimDeviceModel& m, const QByteArray& mac)
{
    QCOMPARE(int(m.moduleAddr), 9);
    QCOMPARE(int(m.ip[3]), 77);
    QCOMPARE(int(m.diDebounce), 0x1E00);
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
}

// The record fields of the short write, as the device holds them.
inline void checkShortRecordInModel(const SimDeviceModel& m)
{
    QCOMPARE(int(m.moduleAddr), 23);
    QCOMPARE(int(m.ip[3]), 88);
    QCOMPARE(int(m.udpPort), 15555);
    QCOMPARE(int(m.subMaxErr), 7);
    QCOMPARE(int(m.commErrTime), 6);
    QCOMPARE(int(m.commWaitTime), 2000);
    QCOMPARE(int(m.portLine[0]), 0x05);
    QCOMPARE(int(m.rsDataTime[0]), 2);
    QCOMPARE(int(m.masterSlave[0]), 0);
}

// The companions of the short write carried what the short layout lacks.
inline void checkShortCompanionsInModel(const SimDeviceModel& m)
{
    QCOMPARE(int(m.sensorType[9]), 3);
    QCOMPARE(int(m.aiAlarmUp[0]), 1000);
    QCOMPARE(int(m.aiAlarmUp[7]), -40);
    QCOMPARE(int(m.aiAlarmDown[7]), -40);
    QCOMPARE(int(m.aqType[1]), 1);
    QCOMPARE(int(m.aqType[5]), 2);
    QCOMPARE(int(m.gateway[3]), 200);
    QCOMPARE(int(m.subnet[1]), 255);
    QCOMPARE(int(m.subnet[2]), 0);
}

} // namespace sysparam
