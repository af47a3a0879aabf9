// The real window, offscreen, against the simulated device on a
// pseudo-terminal: the command-line start, the start-up reads on the wire, the
// idle poll, the counters, and a silent device.
#include "base/msgbox.h"
#include "pages/form1.h"
#include "e2e/window_rig.h"
#include "devsim/serial_device.h"

#include <QComboBox>
#include <sys/resource.h>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

namespace {
// The start-up reads as function codes on the wire, top of the stack first.
// The AQ type read queues the AQ zero/full read (35) and the AQ-to-DQ read (42).
const QList<quint8> STARTUP = {57, 62, 21, 1, 19, 23, 2, 3, 18, 77, 37, 39, 35, 42, 50, 79};
} // namespace

class TestE2eSerial : public QObject {
    Q_OBJECT
    std::unique_ptr<SimSerialDevice> sim;
    std::unique_ptr<Form1> f;
    QStringList texts; // every text the status line showed

    void startWindow()
    {
        f = e2e::serialWindow(*sim, this, texts);
    }

private Q_SLOTS:
    void init()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
        sim = std::make_unique<SimSerialDevice>();
        QVERIFY2(sim->open(), qPrintable(sim->errorString()));
        texts.clear();
    }
    void cleanup()
    {
        f.reset();
        sim.reset();
    }

    void commandLineStartReadsTheDeviceThenPolls()
    {
        startWindow();
        QCOMPARE(f->ui.ComPort->currentText(), sim->slavePath());
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().size() >= STARTUP.size() + 6, 20000);
        const auto wire = sim->receivedFunctions();
        QCOMPARE(wire.mid(0, STARTUP.size()), STARTUP);
        // Then the idle poll: a live read (temperature) and the DI/DO read, one per tick.
        for (int i = STARTUP.size(); i < wire.size(); ++i)
            QCOMPARE(int(wire[i]), (i - STARTUP.size()) % 2 == 0 ? 9 : 13);
        // Every reply was accepted and counted.
        QTRY_VERIFY(f->engine().RxCount >= wire.size() - 1);
        QCOMPARE(f->ui.Text4->text(), QString::number(f->engine().RxCount));
        QCOMPARE(f->engine().TimeoutCount, 0);
        for (const char* t : {"读取zigbee参数成功", "读取内部工程校准值成功", "读PDTag、DeviceID成功", "取系统信息",
                              "读实时时钟成功", "读出小灯状态", "读入零点数据", "读入满度数据", "读工程校准值成功",
                              "读取网关信息成功", "读设备MAC地址成功", "读AQ通道类型成功", "读取AI通道报警灯成功",
                              "读Profibus状态成功", "读温度测量值成功", "读入AO/DI/DO数值"})
            QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
        QVERIFY(!texts.contains(QStringLiteral("CRC 校验错误")));
    }

    void displayModeChangesTheLiveRead()
    {
        startWindow();
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().size() >= STARTUP.size() + 2, 20000);
        f->ui.Option2->setEnabled(true);
        f->ui.Option2->setChecked(true); // A/D
        sim->clearLog();
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().count(8) >= 2, 5000);
        QVERIFY(!sim->receivedFunctions().contains(9));
        QTRY_VERIFY(texts.contains(QStringLiteral("读A/D测量值成功")));
    }

    void silentDeviceTimesOutAndCountsLostReplies()
    {
        sim->setSilent(true);
        startWindow();
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.Text2->text(), QStringLiteral("通讯超时"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(f->engine().TimeoutCount >= 1, 9000);
        QCOMPARE(f->ui.Text3->text(), QString::number(f->engine().TimeoutCount));
        QCOMPARE(f->engine().RxCount, 0);
        // No command is repeated: the reads went out once each, in order.
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().size() >= 6, 5000);
        QCOMPARE(sim->receivedFunctions().mid(0, 6), STARTUP.mid(0, 6));
    }

    // A start on a silent device (switched off, wrong cable) leaves requests
    // unanswered; the device answers again before the next start, a few
    // seconds later. Those requests must not cost the new start its replies.
    void startAfterUnansweredStartFillsThePages_data()
    {
        QTest::addColumn<int>("silentStarts");
        QTest::newRow("one quick restart") << 1;
        QTest::newRow("two quick restarts") << 2;
    }
    void startAfterUnansweredStartFillsThePages()
    {
        QFETCH(int, silentStarts);
        QStringList boxes;
        setMsgResponder([&](const MsgRequest& q) {
            boxes << q.text;
            return MsgAnswer::Ok;
        });
        sim->setSilent(true);
        startWindow();
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().contains(quint8(1)), 10000); // the system read too
        for (int i = 1; i < silentStarts; ++i) {
            f->cmdStop_Click();
            const int sent = sim->receivedFunctions().size();
            f->StartRun_Click();
            QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().size() > sent, 3000);
        }
        f->cmdStop_Click();
        sim->setSilent(false);
        f->StartRun_Click();
        QTRY_VERIFY_WITH_TIMEOUT(f->engine().CmdTop == 0 && !f->ui.txtDevID->text().isEmpty(), 20000);
        QCOMPARE(f->device().SysInfoConnection, f->engine().connection());
        sim->clearLog();
        f->cmdSetPara_Click();
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().contains(quint8(4)), 3000); // the record written
        QCOMPARE(boxes, QStringList());
    }

    void corruptedReplyIsShownAndDropped()
    {
        startWindow();
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().size() >= STARTUP.size() + 2, 20000);
        const int before = f->engine().RxCount;
        sim->corruptNextCrc(1);
        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("CRC 校验错误")), 3000);
        QTRY_VERIFY(f->engine().RxCount > before + 1); // polling goes on
    }

    void portVanishingEndsTheLinkOnce()
    {
        QList<MsgRequest> boxes;
        setMsgResponder([&](const MsgRequest& q) {
            boxes << q;
            return MsgAnswer::Ok;
        });
        startWindow();
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().size() >= STARTUP.size(), 20000);
        sim->close(); // the adapter is unplugged
        QTRY_COMPARE_WITH_TIMEOUT(boxes.size(), 1, 5000);
        QCOMPARE(boxes[0].title, QStringLiteral("请注意串行口错误!"));
        QVERIFY(boxes[0].text.contains(QStringLiteral("读 comm 设备错误")));
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("请确认设置正确后,重新开始"));
        QVERIFY(f->ui.optComm[0]->isEnabled() && f->ui.optComm[1]->isEnabled() && f->ui.ComPort->isEnabled());
        QVERIFY(!f->engine().Timer1.isActive() && !f->engine().Timer2.isActive() && !f->engine().timMscon.isActive());
        // Nothing runs afterwards: the process stays idle.
        const auto cpu = [] {
            rusage r{};
            getrusage(RUSAGE_SELF, &r);
            return r.ru_utime.tv_sec * 1000.0 + r.ru_utime.tv_usec / 1000.0 + r.ru_stime.tv_sec * 1000.0
                + r.ru_stime.tv_usec / 1000.0;
        };
        const double before = cpu();
        QTest::qWait(1000);
        QVERIFY2(cpu() - before < 200, qPrintable(QString::number(cpu() - before)));
        QCOMPARE(boxes.size(), 1);
    }
};

QTEST_MAIN(TestE2eSerial)
#include "tst_e2e_serial.moc"
