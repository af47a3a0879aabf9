// Calibration values, clock, DeviceID/PD tag, MAC and gateway end to end: the
// real window, offscreen, against the simulated device on a pseudo-terminal and
// on loopback UDP. Each block is edited, written, held by the device and read
// back onto the page, with the status texts of its replies.
#include "e2e/link_suite.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QtTest>
#include <functional>

namespace {

// What differs between the links: the status texts of the replies.
struct LinkTexts {
    const char* prjWritten;
    const char* aqWritten;
    const char* selfCal;
    const char* innerWritten;
    const char* innerRead;
    const char* idRead;
    const char* macWritten;
};
constexpr LinkTexts SERIAL_TEXTS{"置工程校准值成功", "写AQ工程校准值成功", "执行自增益校准成功", "写入内部工程校准值成功",
                                 "读取内部工程校准值成功", "读PDTag、DeviceID成功", "写设备MAC地址成功"};
constexpr LinkTexts ETHERNET_TEXTS{"写工程校准值成功", "写AQ工程校准值成功", "写自增益校准成功", "写内部AI校准值成功",
                                   "读内部AI校准值成功", "读DeviceID、PDTag成功", "写MAC地址成功"};

void setTexts(const auto& boxes, const QStringList& values)
{
    for (int i = 0; i < values.size(); ++i)
        boxes[std::size_t(i)]->setText(values[i]);
}
QStringList textsOf(const auto& boxes, int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << boxes[std::size_t(i)]->text();
    return out;
}

} // namespace

class TestE2eCalib : public e2e::LinkSuite {
    Q_OBJECT
    QList<int> sent; // serial function codes; Ethernet: index x 100 + sub-index, plus 100000000 for a write

    void step() override
    {
        LinkSuite::step();
        sent.clear();
    }
    void recordRequests()
    {
        if (serialSim)
            connect(serialSim.get(), &SimSerialDevice::requestReceived, this, [this](quint8 fn, const QByteArray&) { sent << fn; });
        if (udpSim)
            connect(udpSim.get(), &SimUdpDevice::requestReceived, this,
                    [this](quint8 svc, quint16 index, quint16 sub, quint16, quint16, const QByteArray&) {
                        sent << (svc == 13 ? 100000000 : 0) + index * 100 + sub;
                    });
    }

    void calibrationValues(const LinkTexts& t)
    {
        auto& u = f->ui;
        // Engineering values: the button waits for the values read in this connection.
        QTRY_VERIFY_WITH_TIMEOUT(u.cmdWriteprj->isEnabled(), 5000);
        setTexts(u.prjTxt, {"2.5", "3.5", "-32768", "32767", "-1", "0", "1", "2", "3", "4", "5"});
        step();
        u.cmdWriteprj->click();
        QVERIFY2(shown(t.prjWritten), t.prjWritten);
        QVERIFY2(shown("读工程校准值成功"), "读工程校准值成功");
        QCOMPARE(model->prjCal, (std::array<qint16, 11>{2, 4, -32768, 32767, -1, 0, 1, 2, 3, 4, 5}));
        QTRY_COMPARE_WITH_TIMEOUT(u.prjTxt[0]->text(), QStringLiteral("2"), 2000);
        QCOMPARE(u.prjTxt[1]->text(), QStringLiteral("4"));

        // AQ engineering values, read back with the system parameters.
        setTexts(u.txt_AQjust, {"10", "-20", "30", "-40", "50", "-60", "70", "-80"});
        step();
        u.bt_AQAdjust->click();
        QVERIFY2(shown(t.aqWritten), t.aqWritten);
        QCOMPARE(model->aqAdjust, (std::array<qint16, 8>{10, -20, 30, -40, 50, -60, 70, -80}));
        setTexts(u.txt_AQjust, QStringList(8, "0"));
        e().push(code(serial::QS_READ_SYS_INFO, net::QE_READ_SYS_INFO));
        QTRY_COMPARE_WITH_TIMEOUT(u.txt_AQjust[7]->text(), QStringLiteral("-80"), 3000);

        // Self calibration: the offset kind after the question is answered.
        step();
        f->CmdGainD_Click();
        QCOMPARE(boxes.last(), QStringLiteral("确定要执行自偏移校准？"));
        QVERIFY2(shown(t.selfCal), t.selfCal);
        QCOMPARE(int(model->selfCalKind), 1);
        if (ethernet()) // the record is read again after it
            QVERIFY(shown("读系统参数成功"));

        // The guarded commands below need the maintenance mode.
        u.chkMaintenance->click();
        QVERIFY(u.Cmd_LeiCheck->isEnabled());

        // Inner values: cut to 16 bits, no question.
        setTexts(u.txt_LeiCkeck, {"32768", "-1", "2", "3", "4", "5", "6", "7"});
        step();
        u.Cmd_LeiCheck->click();
        QVERIFY2(shown(t.innerWritten), t.innerWritten);
        QCOMPARE(model->innerCal, (std::array<qint16, 8>{-32768, -1, 2, 3, 4, 5, 6, 7}));
        setTexts(u.txt_LeiCkeck, QStringList(8, ""));
        e().push(code(serial::QS_READ_INNER_CAL, net::QE_READ_INNER_CAL));
        QVERIFY2(shown(t.innerRead), t.innerRead);
        QCOMPARE(textsOf(u.txt_LeiCkeck, 2), (QStringList{"-32768", "-1"}));

        // Cold junction: written on the serial link only, then the record read again.
        setTexts(u.ChnlDis, QStringList(8, "2990"));
        u.txtTempComp->setText(QStringLiteral("5"));
        step();
        u.Cmd_Wtite_Temprature->click();
        if (ethernet()) {
            QCOMPARE(e().queued(net::QE_READ_SYS_INFO), false);
        } else {
            QVERIFY2(shown("写入冷端校准成功"), "写入冷端校准成功");
            QCOMPARE(int(model->coldCal), 15);
            QTRY_VERIFY_WITH_TIMEOUT(sent.contains(serial::QS_READ_SYS_INFO), 3000);
        }
    }

    void clock()
    {
        auto& u = f->ui;
        u.clkDate->setDate(QDate(2024, 3, 5));
        u.clkTime->setTime(QTime(14, 7, 9));
        u.Combo_WeekDay->setCurrentIndex(6); // 日
        step();
        u.cmdWrclock->click();
        QVERIFY2(shown("写实时时钟成功"), "写实时时钟成功");
        QVERIFY2(shown("读实时时钟成功"), "读实时时钟成功");
        if (ethernet()) // the weekday first, the clock, then both read back
            QTRY_COMPARE_WITH_TIMEOUT(sent.mid(0, 4), (QList<int>{100010759, 101000309, 10700, 1000305}), 3000);
        QCOMPARE(model->clock().date(), QDate(2024, 3, 5));
        QCOMPARE(model->weekday(), 7);
        u.Combo_WeekDay->setCurrentIndex(0);
        u.clkDate->setDate(QDate(2020, 1, 1));
        step();
        u.cmdReclock->click();
        QVERIFY2(shown("读实时时钟成功"), "读实时时钟成功");
        QTRY_COMPARE_WITH_TIMEOUT(u.clkDate->date(), QDate(2024, 3, 5), 3000);
        QVERIFY(qAbs(u.clkTime->time().secsTo(QTime(14, 7, 9))) < 30); // the device's clock runs on
        QTRY_COMPARE_WITH_TIMEOUT(u.Combo_WeekDay->currentText(), QStringLiteral("日"), 3000);
    }

    void identity(const LinkTexts& t)
    {
        auto& u = f->ui;
        const QString id = QStringLiteral("00201501010000420095202403051234");
        u.txtDevID->setText(id);
        u.txtPD_Tag->setText(QString(QChar(0x4E2D)) + QStringLiteral("A"));
        const QByteArray tail = QByteArray::fromHex("a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2");
        model->idTail = tail;
        step();
        if (ethernet()) {
            // As the parameter download queues it: the write built on the block read just before.
            for (auto c : {net::QE_READ_PDTAG, net::QE_WRITE_PDTAG, net::QE_READ_PDTAG})
                e().push(c);
            e().SetParaPending = true;
        } else {
            e().push(serial::QS_READ_PDTAG);
            e().push(serial::QS_WRITE_PDTAG);
            QVERIFY2(shown("写PDTag、DeviceID成功"), "写PDTag、DeviceID成功");
        }
        QVERIFY2(shown(t.idRead), t.idRead);
        QCOMPARE(model->deviceId, id.toLatin1());
        QCOMPARE(model->pdTag.toHex(' '), (QByteArray::fromHex("d6d041") + QByteArray(29, ' ')).toHex(' '));
        QCOMPARE(model->idTail, tail);
        QCOMPARE(u.txtPD_Tag->text(), QString(QChar(0x4E2D)) + QStringLiteral("A") + QString(29, u' '));
        QCOMPARE(u.txthardwarenum->text(), QStringLiteral("20150101000042"));
    }

    void macAndGateway(const LinkTexts& t)
    {
        auto& u = f->ui;
        u.ophandornot[0]->setChecked(true); // typed by hand
        setTexts(u.txt_MAC, {"00", "FC", "18", "3", "5", "G"});
        step();
        f->bt_MAC_Click();
        QCOMPARE(boxes.last(), QStringLiteral("5号地址书写错误"));
        u.txt_MAC[5]->setText(QStringLiteral("A"));
        f->bt_MAC_Click();
        QVERIFY2(shown(t.macWritten), t.macWritten);
        QCOMPARE(sent.size(), 1); // the refused box sent nothing
        QCOMPARE(model->mac, (std::array<quint8, 6>{0x00, 0xFC, 0x18, 0x03, 0x05, 0x0A}));
        setTexts(u.txt_MAC, QStringList(6, ""));
        e().push(code(serial::QS_READ_MAC, net::QE_READ_MAC));
        QVERIFY2(shown("读设备MAC地址成功"), "读设备MAC地址成功");
        QCOMPARE(textsOf(u.txt_MAC, 6), (QStringList{"0", "FC", "18", "3", "5", "A"}));

        setTexts(u.txtGate, {"192", "168", "1", "1"});
        setTexts(u.txtSubNet, {"255", "255", "255", "0"});
        step();
        f->bt_NetGate_Click();
        QVERIFY2(shown("写入网关信息成功"), "写入网关信息成功");
        QCOMPARE(model->gateway, (std::array<quint8, 4>{192, 168, 1, 1}));
        QCOMPARE(model->subnet, (std::array<quint8, 4>{255, 255, 255, 0}));
        setTexts(u.txtGate, QStringList(4, ""));
        e().push(code(serial::QS_READ_GATEWAY, net::QE_READ_GATEWAY));
        QVERIFY2(shown("读取网关信息成功"), "读取网关信息成功");
        QCOMPARE(textsOf(u.txtGate, 4), (QStringList{"192", "168", "1", "1"}));
    }

    void allBlocks(const LinkTexts& t)
    {
        recordRequests();
        runParts({[&] { calibrationValues(t); }, [&] { clock(); }, [&] { identity(t); }, [&] { macAndGateway(t); }});
    }

private Q_SLOTS:
    void init()
    {
        beginCase();
        sent.clear();
    }
    void cleanup() { endCase(); }

    void serialLink()
    {
        startSerial();
        allBlocks(SERIAL_TEXTS);
    }
    void ethernetLink()
    {
        startEthernet();
        allBlocks(ETHERNET_TEXTS);
    }
};

QTEST_MAIN(TestE2eCalib)
#include "tst_e2e_calib.moc"
