// Firmware upgrade on the serial link against the simulated device on a
// pseudo-terminal: a chosen image block by block at 115200 baud, a device that
// falls silent mid-transfer, and the IAP and boot stages from the program's
// directory.
#include "e2e/upgrade_rig.h"
#include "e2e/window_rig.h"
#include "devsim/serial_device.h"
#include "base/errorlog.h"
#include "link/serial_transport.h"
#include "pages/form1.h"
#include "upgrade/firmware_upgrade.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {
const int STARTUP_READS = 14;
} // namespace

class TestE2eUpgradeSerial : public QObject {
    Q_OBJECT
    std::unique_ptr<SimSerialDevice> sim;
    std::unique_ptr<Form1> f;
    QStringList texts, boxes;
    QList<QPair<int, int>> wire; // function code and line speed of every request
    QTemporaryDir dir;

    void startAndSettle()
    {
        f = e2e::serialWindow(*sim, this, texts);
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().size() >= STARTUP_READS + 2, 20000);
        wire.clear();
    }
    QList<int> speedsOf(int fn) const
    {
        QList<int> out;
        for (const auto& [code, speed] : wire)
            if (code == fn)
                out << speed;
        return out;
    }

private Q_SLOTS:
    void init()
    {
        e2e::recordBoxes(boxes);
        boxes.clear();
        texts.clear();
        sim = std::make_unique<SimSerialDevice>();
        QVERIFY2(sim->open(), qPrintable(sim->errorString()));
        connect(sim.get(), &SimSerialDevice::requestReceived, this,
                [this](quint8 fn, const QByteArray&) { wire << qMakePair(int(fn), sim->lineSpeed()); });
    }
    void cleanup()
    {
        f.reset();
        sim.reset();
    }

    void chosenImageGoesBlockByBlockAt115200()
    {
        startAndSettle();
        const QByteArray image = e2e::testImage();
        const QString path = e2e::writeFile(dir, QStringLiteral("main.bin"), image);
        e2e::upgradeFrom(*f, path);
        QCOMPARE(f->ui.ProgressBar->maximum(), 512 + 3);
        QTRY_VERIFY_WITH_TIMEOUT(sim->model()->flashBlocksReceived > 100, 10000);
        QVERIFY(!f->ui.ProgressBar->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("升级下位机成功")), 30000);

        QCOMPARE(sim->model()->flashBlockCount, quint16(512));
        QCOMPARE(sim->model()->flashImage, e2e::padded(image));
        // Start and size at 9600, every block at 115200, and 9600 again after the last.
        QCOMPARE(speedsOf(45), QList<int>{9600});
        QCOMPARE(speedsOf(46), QList<int>{9600});
        QCOMPARE(speedsOf(47), QList<int>(512, 115200));
        QTRY_VERIFY_WITH_TIMEOUT(wire.size() > 2 + 512 + 2, 5000);
        QCOMPARE(wire.last().second, 9600);
        QCOMPARE(f->engine().port()->settings(), QStringLiteral("9600,N,8,1"));
        QVERIFY(f->ui.ProgressBar->isHidden());
        QVERIFY(f->ui.lb_ProgProc->isHidden());
        QCOMPARE(f->ui.ProgressBar->value(), 0);
        QCOMPARE(f->engine().Timer1.interval(), 300);
        for (const char* t : {"正在启动下位机刷主程序", "开始升级，请等待...", "下载升级包大小成功"})
            QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
        // The link starts again: the start-up reads follow the transfer.
        QTRY_VERIFY_WITH_TIMEOUT(speedsOf(1).size() >= 1, 10000);
        QVERIFY(boxes.isEmpty());
    }

    void silentDeviceEndsTheUpgradeAndLeavesNoImage()
    {
        startAndSettle();
        const QString path = e2e::writeFile(dir, QStringLiteral("main.bin"), e2e::testImage(64 * 1024));
        e2e::upgradeFrom(*f, path);
        QTRY_VERIFY_WITH_TIMEOUT(sim->model()->flashBlocksReceived >= 20, 10000);
        sim->setSilent(true);
        QTRY_VERIFY_WITH_TIMEOUT(boxes.contains(QStringLiteral("通讯超时，系统升级失败！")), 10000);
        QVERIFY(texts.contains(QStringLiteral("系统升级超时")));
        QCOMPARE(boxes.count(QStringLiteral("通讯超时，系统升级失败！")), 1);
        QCOMPARE(f->engine().CmdTop, 0);
        QCOMPARE(f->engine().Timer1.interval(), 300);
        QCOMPARE(f->engine().port()->settings(), QStringLiteral("9600,N,8,1"));
        QVERIFY(f->ui.ProgressBar->isHidden());
        QCOMPARE(f->upgrade().FwBlockCount, 0);

        // Pressing the button again without choosing a file sends nothing and says so.
        sim->setSilent(false);
        wire.clear();
        f->upgrade().bt_Updata_Click();
        QCOMPARE(boxes.last(), QStringLiteral("请先选择升级文件"));
        QTRY_VERIFY_WITH_TIMEOUT(wire.size() >= 4, 5000);
        QVERIFY(speedsOf(45).isEmpty() && speedsOf(47).isEmpty());
    }

    // A step the device answers with another function code ends the upgrade
    // as its time-out does: no further block, never a success.
    void refusedStepEndsTheUpgrade_data() { e2e::refusedStepRows(); }
    void refusedStepEndsTheUpgrade()
    {
        QFETCH(int, step);
        QFETCH(int, blocksSent);
        startAndSettle();
        sim->refuseFlashStep(step);
        e2e::upgradeFrom(*f, e2e::writeFile(dir, QStringLiteral("main.bin"), e2e::testImage(16 * 512)));
        QTRY_VERIFY_WITH_TIMEOUT(boxes.contains(QStringLiteral("通讯超时，系统升级失败！")), 10000);
        QVERIFY(texts.contains(QStringLiteral("系统升级超时")));
        // Polling goes on at 9600, and no block follows the refused step.
        const int before = wire.size();
        QTRY_VERIFY_WITH_TIMEOUT(wire.size() > before + 2, 5000);
        QCOMPARE(wire.last().second, 9600);
        QCOMPARE(speedsOf(47).size(), blocksSent);
        QCOMPARE(boxes.size(), 1);
        QVERIFY(!texts.contains(QStringLiteral("升级下位机成功")));
        QCOMPARE(f->upgrade().FwBlockCount, 0);
    }

    // The port's path is gone when the first block opens it again at 115200
    // (an adapter pulled at that moment): a lost port. The upgrade fails with
    // its box, the port's message follows, the link stops and the window can
    // start again; nothing is sent or logged afterwards.
    void portGoneAtTheReopenIsALostPort()
    {
        QTemporaryDir links;
        const QString path = links.filePath(QStringLiteral("ttyRIO0"));
        QVERIFY(QFile::link(sim->slavePath(), path));
        f = e2e::serialWindow(*sim, this, texts, path);
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().size() >= STARTUP_READS + 2, 20000);
        QVERIFY(QFile::remove(path));
        wire.clear();
        const QFileInfo log(QString::fromLatin1(ERROR_LOG_FILE));
        e2e::upgradeFrom(*f, e2e::writeFile(dir, QStringLiteral("main.bin"), e2e::testImage(16 * 512)));
        QTRY_COMPARE_WITH_TIMEOUT(boxes.size(), 2, 10000);
        QCOMPARE(boxes[0], QStringLiteral("通讯超时，系统升级失败！"));
        QCOMPARE(boxes[1], QStringLiteral("读 comm 设备错误"));
        QVERIFY(!f->engine().linked() && !f->engine().stackOwned());
        QVERIFY(f->ui.StartRun->isEnabled() && !f->ui.cmdStop->isEnabled());
        QVERIFY(f->ui.ProgressBar->isHidden());
        QVERIFY(!texts.contains(QStringLiteral("升级下位机成功")));
        const auto requests = sim->receivedFunctions().size();
        const qint64 logged = QFileInfo(log.filePath()).size();
        QTest::qWait(1500);
        QCOMPARE(sim->receivedFunctions().size(), requests);
        QCOMPARE(speedsOf(47).size(), 0);
        QCOMPARE(QFileInfo(log.filePath()).size(), logged);
    }

    void iapAndBootStagesRunFromTheProgramDirectory()
    {
        startAndSettle();
        const QByteArray iap = e2e::testImage(700), boot = e2e::testImage(1500);
        QVERIFY(!e2e::writeFile(dir, QStringLiteral("IAP.bin"), iap).isEmpty());
        QVERIFY(!e2e::writeFile(dir, QStringLiteral("BOOT12.bin"), boot).isEmpty());
        f->BootVersion = QStringLiteral("BOOT12");
        f->BinFileName = QStringLiteral("MAIN33");
        f->upgrade().programDir = dir.path();
        QByteArray iapStored;
        connect(sim.get(), &SimSerialDevice::requestReceived, this, [&](quint8 fn, const QByteArray&) {
            if (fn == 45 && iapStored.isEmpty() && !sim->model()->flashImage.isEmpty())
                iapStored = sim->model()->flashImage; // the boot stage starts over
        });
        f->upgrade().DownIAP();
        QCOMPARE(f->upgrade().UpgradeMode, 4);
        // IAP, then the boot loader, then the main program from the server, which is not available.
        QTRY_VERIFY_WITH_TIMEOUT(boxes.contains(QStringLiteral("获取下位机升级文件失败：MAIN33")), 20000);
        QCOMPARE(iapStored, e2e::padded(iap));
        QCOMPARE(sim->model()->flashImage, e2e::padded(boot));
        QCOMPARE(boxes.first(), QStringLiteral("请为设备重新上电，重新上完电后再点我！"));
        for (const char* t : {"准备升级IAP", "升级IAP成功", "准备升级boot", "升级Boot成功", "准备升级下位机"})
            QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
        QCOMPARE(f->upgrade().UpgradeMode, 255);
        QCOMPARE(speedsOf(45).size(), 2);
    }
};

QTEST_MAIN(TestE2eUpgradeSerial)
#include "tst_e2e_upgrade_serial.moc"
