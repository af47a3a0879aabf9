// Firmware upgrade on the Ethernet link against the simulated device on
// loopback UDP: a chosen image, block by block, with the progress bar.
#include "e2e/upgrade_rig.h"
#include "e2e/window_rig.h"
#include "devsim/udp_device.h"
#include "pages/form1.h"
#include "upgrade/firmware_upgrade.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

class TestE2eUpgradeEthernet : public QObject {
    Q_OBJECT
    std::unique_ptr<SimUdpDevice> sim;
    std::unique_ptr<Form1> f;
    QStringList texts, boxes;
    QTemporaryDir dir;

    int writesTo(int sub) const
    {
        int n = 0;
        for (const auto& r : sim->receivedRequests())
            n += r.service == 13 && r.index == 10003 && r.subIndex == sub;
        return n;
    }

private Q_SLOTS:
    void init()
    {
        e2e::recordBoxes(boxes);
        boxes.clear();
        texts.clear();
        sim = std::make_unique<SimUdpDevice>();
        const quint16 announcePort = e2e::startLoopbackDevice(*sim);
        QVERIFY2(announcePort != 0, qPrintable(sim->errorString()));
        f = e2e::ethernetWindow(announcePort, this, texts);
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000);
        f->ui.cmbDevice->setCurrentIndex(0);
        f->cmbDevice_Click();
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedRequests().size() >= 16, 15000);
    }
    void cleanup()
    {
        f.reset();
        sim.reset();
    }

    void chosenImageGoesBlockByBlock()
    {
        const QByteArray image = e2e::testImage();
        const QString path = e2e::writeFile(dir, QStringLiteral("main.bin"), image);
        e2e::upgradeFrom(*f, path);
        QCOMPARE(f->ui.ProgressBar->maximum(), 512 + 3);
        QTRY_VERIFY_WITH_TIMEOUT(sim->model()->flashBlocksReceived > 100, 15000);
        QVERIFY(!f->ui.ProgressBar->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(boxes.contains(QStringLiteral("升级成功！")), 30000);

        QCOMPARE(writesTo(0), 1);
        QCOMPARE(writesTo(1), 1);
        QCOMPARE(writesTo(2), 512);
        QCOMPARE(sim->model()->flashBlockCount, quint16(512));
        QCOMPARE(sim->model()->flashImage, e2e::padded(image));
        for (const char* t : {"开始升级，请等待...", "下载升级包大小成功", "发送升级数据成功"})
            QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
        QVERIFY(f->ui.ProgressBar->isHidden());
        QVERIFY(f->ui.lb_ProgProc->isHidden());
        QCOMPARE(f->engine().Timer1.interval(), 300);
        QCOMPARE(boxes, QStringList{QStringLiteral("升级成功！")});
        // Polling goes on.
        const int before = sim->receivedRequests().size();
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedRequests().size() > before + 2, 5000);
    }

    // A step the device answers with a failure status ends the upgrade as its
    // time-out does: no further block, never a success.
    void refusedStepEndsTheUpgrade_data() { e2e::refusedStepRows(); }
    void refusedStepEndsTheUpgrade()
    {
        QFETCH(int, step);
        QFETCH(int, blocksSent);
        // The refusal of the middle block echoes an earlier sequence number:
        // while the upgrade runs, any refusal ends it.
        sim->refuseFlashStep(step, step >= 0);
        e2e::upgradeFrom(*f, e2e::writeFile(dir, QStringLiteral("main.bin"), e2e::testImage(16 * 512)));
        QTRY_VERIFY_WITH_TIMEOUT(boxes.contains(QStringLiteral("通讯超时，系统升级失败！")), 15000);
        for (const char* t : {"写服务失败", "系统升级超时"})
            QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
        // Polling goes on, and no block follows the refused step.
        const int before = sim->receivedRequests().size();
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedRequests().size() > before + 2, 5000);
        QCOMPARE(writesTo(2), blocksSent);
        QCOMPARE(boxes, QStringList{QStringLiteral("通讯超时，系统升级失败！")});
        QCOMPARE(f->upgrade().FwBlockCount, 0);
    }

    // Stop while the device pauses after accepting the start: when the pause
    // would have ended, nothing wakes up to talk to the device again.
    void stopInsideTheStartPause()
    {
        e2e::upgradeFrom(*f, e2e::writeFile(dir, QStringLiteral("main.bin"), e2e::testImage(16 * 512)));
        Engine& e = f->engine();
        QTRY_VERIFY_WITH_TIMEOUT(e.Sleep_Timer.isActive(), 5000);
        f->cmdStop_Click();
        const int sent = sim->receivedRequests().size();
        QTest::qWait(6000); // past the end of the 5 s pause
        QCOMPARE(sim->receivedRequests().size(), sent);
        for (const QTimer* t : {&e.Timer1, &e.Timer2, &e.timMscon, &e.Sleep_Timer, &e.timCheckDevice})
            QVERIFY2(!t->isActive(), qPrintable(t->objectName()));
        QVERIFY(f->ui.txtDevID->text().isEmpty());
        QVERIFY(boxes.isEmpty()); // the user's Stop is no failure
    }

    // The device stops announcing in the middle of the transfer and is
    // dropped: the upgrade ends as failed with it, and once the device is
    // back it can be picked again.
    void droppedDeviceEndsTheUpgrade()
    {
        e2e::upgradeFrom(*f, e2e::writeFile(dir, QStringLiteral("main.bin"), e2e::testImage()));
        QTRY_VERIFY_WITH_TIMEOUT(sim->model()->flashBlocksReceived > 20, 15000);
        sim->setAnnouncing(false);
        const auto now = f->clock;
        f->clock = [now] { return now() + 20000; }; // 20 s without an announcement
        f->timCheckDevice_Timer();
        QCOMPARE(boxes, QStringList{QStringLiteral("通讯超时，系统升级失败！")});
        QVERIFY(texts.contains(QStringLiteral("系统升级超时")));
        QVERIFY(f->ui.ProgressBar->isHidden());
        QVERIFY(!f->engine().stackOwned());
        QTest::qWait(300);
        const int blocks = writesTo(2);
        QTest::qWait(500);
        QCOMPARE(writesTo(2), blocks); // no block follows
        f->clock = now;
        sim->announceNow();
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000);
        f->ui.cmbDevice->setCurrentIndex(0);
        const int before = sim->receivedRequests().size();
        f->cmbDevice_Click();
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedRequests().size() > before + 3, 5000);
        QCOMPARE(boxes.size(), 1); // the pick is not refused
    }
};

QTEST_MAIN(TestE2eUpgradeEthernet)
#include "tst_e2e_upgrade_ethernet.moc"
