// The settings windows and the ZigBee window against the simulated device, one
// run per link: each block is read, edited, written and read back, and the
// device holds the edit.
#include "base/msgbox.h"
#include "devsim/bytes.h"
#include "devsim/serial_device.h"
#include "devsim/udp_device.h"
#include "e2e/window_rig.h"
#include "pages/form1.h"
#include "proto/serial_commands.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {
using Get = BlockForm& (SettingsWindows::*)();
struct WindowCase {
    Get get;
    QByteArray SimDeviceModel::*block;
    const char* written; // the write's success text on the serial link, then on Ethernet
    const char* writtenEth;
};
const WindowCase WINDOWS[] = {
    {&SettingsWindows::Form_Ctrl, &SimDeviceModel::ctrl, "写入控制参数成功", "写入控制参数成功"},
    {&SettingsWindows::Form_SM, &SimDeviceModel::sm, "写入SM区数据成功", "写SM区信息成功"},
    {&SettingsWindows::Form_Resend, &SimDeviceModel::resend, "写入转发参数成功", "写入转发信息成功"},
    {&SettingsWindows::Form_Resend_Slave, &SimDeviceModel::resendSlave, "写从设备转发参数成功",
     "写入从设备转发信息成功"},
    {&SettingsWindows::Form_Rongyu, &SimDeviceModel::rongyu, "写入冗余信息成功", "写入冗余信息成功"},
};
} // namespace

class TestE2eSettings : public QObject {
    Q_OBJECT
    QStringList texts;

    // Every window: read, edit cell 1, write, read back; then the ZigBee block.
    void exercise(Form1& f, SimDeviceModel& m, bool ethernet)
    {
        for (const auto& c : WINDOWS) {
            BlockForm& w = (f.settings().*c.get)();
            QVERIFY(!w.isVisible()); // loaded by the test, not shown
            const QByteArray before = m.*c.block;
            w.cmdRead->click();
            QTRY_VERIFY2_WITH_TIMEOUT(w.blockRead(), qPrintable(texts.mid(texts.size() - 8).join(QLatin1Char(' '))), 5000);
            const int cellBytes = blocks::cellBytes(w.spec().cell);
            const auto cell = [&](int i) { return w.grdBlock->item(w.rowOf(i), w.columnOf(i)); };
            // The grid shows the device's block as read, cell by cell.
            QCOMPARE(cell(1)->text().toLongLong(),
                     cellBytes == 1 ? qint64(quint8(before[1]))
                                    : cellBytes == 2 ? qint64(sim::getI16(before, 2)) : qint64(qint32(sim::getU32(before, 4))));
            cell(1)->setText(QStringLiteral("77"));
            texts.clear();
            w.cmdWrite->click();
            const QByteArray expected = before.left(cellBytes) + char(77) + QByteArray(cellBytes - 1, '\0')
                + before.mid(2 * cellBytes);
            QTRY_COMPARE_WITH_TIMEOUT(m.*c.block, expected, 5000);
            QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QString::fromUtf8(ethernet ? c.writtenEth : c.written)), 5000);
            QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
        }
        // The ZigBee block, shown by the start-up read.
        ZigbeeForm& z = f.settings().ZigBee();
        QTRY_COMPARE_WITH_TIMEOUT(z.txtZbDNO->text(), QStringLiteral("4660"), 10000);
        QCOMPARE(z.cmbZbNetType->currentIndex(), 5);
        z.txtZbDNO->setText(QStringLiteral("4661"));
        z.txtZbChainAddr->setText(QStringLiteral("9"));
        z.cmdZbWrite->click();
        QTRY_COMPARE_WITH_TIMEOUT(sim::getU16(m.zigbee, 2), quint16(4661), 5000);
        QCOMPARE(m.zigbee.size(), 34);
        QCOMPARE(sim::u8(m.zigbee, 25), quint8(9));
        QCOMPARE(sim::u8(m.zigbee, 1), quint8(5)); // the rest as read
        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("写入zigbee参数成功")), 5000);
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
        exercise(*f, *sim.model(), false);
        // The communication test of the ZigBee window, on the serial link only.
        sim.model()->zigbeeTestResult = 2;
        f->settings().ZigBee().Cmd_TestZigbee->click();
        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("测试zigbee失败:  设备不通信")), 5000);
    }

    // A reply held by the device past 停止通讯 and 通讯开始 answers a request
    // of the earlier connection: nothing of it is taken as read in the new one.
    void lateReplyOfAnEarlierConnection()
    {
        SimSerialDevice sim;
        QVERIFY2(sim.open(), qPrintable(sim.errorString()));
        auto f = e2e::connectedSerialWindow(sim, this, texts);
        QVERIFY(f);
        QStringList boxes;
        setMsgResponder([&boxes](const MsgRequest& r) {
            boxes << r.text;
            return MsgAnswer::Ok;
        });
        BlockForm& w = f->settings().Form_Ctrl();
        sim.setReplyDelay(1000);
        w.cmdRead->click();
        QTRY_VERIFY_WITH_TIMEOUT(sim.receivedFunctions().contains(quint8(serial::FN_READ_CTRL)), 5000);
        f->cmdStop_Click();
        f->StartRun_Click();
        QTest::qWait(1500); // the reply arrives in the new connection
        sim.setReplyDelay(0);
        QVERIFY(!w.blockRead());
        w.cmdWrite->click();
        QCOMPARE(boxes, QStringList{QStringLiteral("请先读取参数，再修改写入")});
        QTest::qWait(700);
        QVERIFY(!sim.receivedFunctions().contains(quint8(serial::FN_WRITE_CTRL)));
    }

    void ethernetLink()
    {
        SimUdpDevice sim;
        const quint16 announcePort = e2e::startLoopbackDevice(sim);
        QVERIFY2(announcePort != 0, qPrintable(sim.errorString()));
        auto f = e2e::connectedEthernetWindow(announcePort, this, texts);
        QVERIFY(f);
        QVERIFY(f->settings().ZigBee().Cmd_TestZigbee->isHidden());
        exercise(*f, *sim.model(), true);
    }
};

QTEST_MAIN(TestE2eSettings)
#include "tst_e2e_settings.moc"
