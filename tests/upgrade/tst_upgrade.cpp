// The firmware upgrade's refusals, its stages' failure texts, the production
// server's parameters and the progress bar an upgrade owns, on the main window
// with a stand-in port.
#include "base/msgbox.h"
#include "imagefile/image_file.h"
#include "pages/form1.h"
#include "support/fakes.h"
#include "upgrade/firmware_upgrade.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A production server that knows one device's final-tuning parameters.
class OneDeviceServer : public OrderServer {
public:
    QString number, params;
    bool UploadParamSheet(const QString&, const QString&) override { return false; }
    std::optional<QByteArray> GetDeviceProgram(const QString&) override { return std::nullopt; }
    std::optional<QString> GetTuneParam(const QString& n) override
    {
        if (n == number)
            return params;
        return std::nullopt;
    }
};

} // namespace

class TestUpgrade : public QObject {
    Q_OBJECT
    FakeSerial serial;
    FakeUdp discovery, device;
    OneDeviceServer server;
    std::unique_ptr<Form1> f;
    QStringList boxes;
    QTemporaryDir dir;

    // A file of that size, its bytes never written (so a huge one costs nothing).
    QString file(const QString& name, qint64 size)
    {
        QFile out(dir.filePath(name));
        if (!out.open(QIODevice::WriteOnly) || !out.resize(size))
            return {};
        return out.fileName();
    }

    // Starts the link and an upgrade of four blocks, and sends its start.
    void upgradeUnderWay()
    {
        f->StartRun_Click();
        const QString path = file(QStringLiteral("main.bin"), 4 * 512);
        f->upgrade().chooseFile = [path] { return path; };
        f->upgrade().bt_FindUpdataFile_Click();
        f->upgrade().bt_Updata_Click();
        f->engine().Timer1_Timer();
        QVERIFY(f->engine().Timer2.isActive());
    }

private Q_SLOTS:
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r.text;
            return MsgAnswer::Ok;
        });
        serial.written.clear();
        Form1Options o;
        o.serial = &serial;
        o.discovery = &discovery;
        o.deviceSocket = &device;
        o.platformPorts = false;
        o.orderServer = &server;
        f = std::make_unique<Form1>(o);
        f->upgrade().programDir = dir.path();
    }
    void cleanup() { f.reset(); }

    void refusedImagesSendNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size"); // -1: no such file
        QTest::addColumn<QString>("box");
        QTest::newRow("no file chosen") << QString() << qint64(0) << QStringLiteral("请先选择升级文件");
        QTest::newRow("missing file") << QStringLiteral("gone.bin") << qint64(-1) << QStringLiteral("打开升级文件失败:");
        QTest::newRow("empty file") << QStringLiteral("empty.bin") << qint64(0) << QStringLiteral("升级文件为空，不能升级:");
        // One stack entry per block: beside the idle poll, the size and the start,
        // 9998 blocks fit the 10001 entries.
        QTest::newRow("more blocks than the stack holds")
            << QStringLiteral("big.bin") << qint64(9999) * 512 << QStringLiteral("升级文件过大，不能升级:");
        // Refused by its size alone: reading it would not even fit the memory.
        QTest::newRow("a terabyte, never read")
            << QStringLiteral("huge.bin") << (qint64(1) << 40) << QStringLiteral("升级文件过大，不能升级:");
    }
    void refusedImagesSendNothing()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(QString, box);
        QString path;
        if (!name.isEmpty())
            path = size >= 0 ? file(name, size) : dir.filePath(name);
        f->upgrade().chooseFile = [path] { return path; };
        f->upgrade().bt_FindUpdataFile_Click();
        f->StartRun_Click();
        const int top = f->engine().CmdTop;
        f->upgrade().bt_Updata_Click();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(box), qPrintable(boxes[0]));
        QCOMPARE(f->engine().CmdTop, top);
        QVERIFY(f->ui.ProgressBar->isHidden());
        QVERIFY(!f->engine().queued(serial::QS_FLASH_START));
    }

    void largestImageTheStackHoldsIsQueued()
    {
        f->StartRun_Click();
        const QString path = file(QStringLiteral("max.bin"), qint64(9998) * 512);
        f->upgrade().chooseFile = [path] { return path; };
        f->upgrade().bt_FindUpdataFile_Click();
        f->upgrade().bt_Updata_Click();
        QVERIFY(boxes.isEmpty());
        QCOMPARE(int(f->engine().CmdTop), 10000); // the whole stack
        QCOMPARE(f->engine().top(), std::int16_t(serial::QS_FLASH_START));
        QCOMPARE(f->ui.ProgressBar->maximum(), 9998 + 3);
    }

    void stageFailures_data()
    {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("mode");
        QTest::newRow("IAP image missing") << "DownIAP" << "打开IAP文件失败:%1/IAP.bin" << 255;
        QTest::newRow("boot loader missing") << "DownBoot" << "打开Boot文件失败:%1/B7.bin" << 255;
        QTest::newRow("server has no main program") << "DownBin" << "获取下位机升级文件失败：M9" << 255;
        QTest::newRow("server has no parameters")
            << "DownParaAndOrder" << "该设备终调参数未找到,请与研发联系或手动下载终调参数,设备编号:95202306151234" << 1;
    }
    void stageFailures()
    {
        QFETCH(QString, stage);
        QFETCH(QString, box);
        QFETCH(int, mode);
        f->BootVersion = QStringLiteral("B7");
        f->BinFileName = QStringLiteral("M9");
        f->ui.lblNUM->setText(QStringLiteral("95202306151234"));
        f->upgrade().UpgradeMode = 1;
        auto& u = f->upgrade();
        const QHash<QString, std::function<void()>> stages{{"DownIAP", [&] { u.DownIAP(); }},
                                                            {"DownBoot", [&] { u.DownBoot(); }},
                                                            {"DownBin", [&] { u.DownBin(); }},
                                                            {"DownParaAndOrder", [&] { u.DownParaAndOrder(); }}};
        stages[stage]();
        QCOMPARE(boxes, QStringList{box.contains(QLatin1String("%1")) ? box.arg(dir.path()) : box});
        QCOMPARE(f->upgrade().UpgradeMode, mode);
        QCOMPARE(int(f->engine().CmdTop), 0);
    }

    void iapImageFromTheProgramDirectoryIsQueued()
    {
        f->StartRun_Click();
        file(QStringLiteral("IAP.bin"), 1000);
        f->upgrade().DownIAP();
        QVERIFY(boxes.isEmpty());
        QCOMPARE(f->upgrade().UpgradeMode, 4);
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("准备升级IAP"));
        QCOMPARE(f->upgrade().FwBlockCount, 2);
        QCOMPARE(int(f->engine().CmdTop), 2 + 2);
    }

    void serverParametersAreAppliedAndQueued()
    {
        f->ui.lblNUM->setText(QStringLiteral("95202306151234"));
        server.number = f->ui.lblNUM->text();
        // A page that holds a device's values, then the two the server changes.
        for (auto* box : f->ui.tabs->findChildren<QLineEdit*>())
            if (box->text().isEmpty())
                box->setText(QStringLiteral("1"));
        for (auto* list : f->ui.ComboType2) { // the lists a start fills, a type chosen
            list->addItem(QStringLiteral("电压输出"));
            list->setCurrentIndex(0);
        }
        server.params = QStringLiteral("txtModuleAddr€7|\r\ntxtSubErr€4|\r\n");
        f->upgrade().UpgradeMode = 1;
        f->upgrade().DownParaAndOrder();
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('\n'))));
        QCOMPARE(f->ui.txtModuleAddr->text(), QStringLiteral("7"));
        QCOMPARE(f->TuneParamText, server.params);
        QCOMPARE(f->upgrade().UpgradeMode, 0);
        QCOMPARE(f->engine().PendParam, 8);
        QVERIFY(f->engine().queued(serial::QS_WRITE_SYS_INFO));
        QVERIFY(!f->engine().AQTypeChanged);
    }

    // From its first request to its end the upgrade owns the command stack:
    // its buttons are off, and whatever else would load, reset or push onto
    // the stack, or close the window, is refused with one box and changes nothing.
    void upgradeOwnsTheStackUntilItEnds_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* c : {"开始升级", "设置参数", "读取全部", "读取并下载", "启动灯板检测", "关闭窗口"})
            QTest::newRow(c) << QString::fromUtf8(c);
    }
    void upgradeOwnsTheStackUntilItEnds()
    {
        QFETCH(QString, command);
        // Pages that a write would take as they are.
        for (auto* box : f->findChildren<QLineEdit*>())
            if (box->text().isEmpty())
                box->setText(QStringLiteral("1"));
        f->ui.txthardwarenum->setText(QStringLiteral("12345678901234"));
        f->ui.ComboCold->setCurrentIndex(0);
        const QString image = dir.filePath(QStringLiteral("image.txt"));
        QVERIFY(f->imageFile().saveFile(image));
        f->imageFile().chooseFile = [image](bool, const QString&) { return image; };
        upgradeUnderWay();
        QVERIFY(!f->ui.bt_Updata->isEnabled());
        QVERIFY(!f->ui.bt_FindUpdataFile->isEnabled());
        const auto stack = f->engine().CmdStack;
        const int top = f->engine().CmdTop;
        const auto param = f->engine().PendParam; // the upgrade's requests carry it

        const QHash<QString, std::function<void()>> commands{
            {QStringLiteral("开始升级"), [&] { f->upgrade().bt_Updata_Click(); }},
            {QStringLiteral("设置参数"), [&] {
                 f->ui.cmdSetPara->setEnabled(true);
                 f->ui.cmdSetPara->click();
             }},
            {QStringLiteral("读取全部"), [&] { f->cmdGetSys_Click(); }},
            {QStringLiteral("读取并下载"), [&] {
                 f->ui.ReadTxtAndDown->setEnabled(true);
                 f->ui.ReadTxtAndDown->click();
             }},
            {QStringLiteral("启动灯板检测"), [&] { f->cmdCheckLight_Click(); }},
            {QStringLiteral("关闭窗口"), [&] {
                 f->show();
                 QVERIFY(!f->close());
                 QVERIFY(f->isVisible());
             }}};
        commands[command]();
        QCOMPARE(int(f->engine().CmdTop), top);
        QCOMPARE(f->engine().PendParam, param);
        QVERIFY(f->engine().CmdStack == stack);
        QCOMPARE(f->upgrade().FwBlockCount, 4);
        QCOMPARE(f->upgrade().FwBlockIndex, 0);
        QCOMPARE(f->ui.ProgressBar->value(), 2);
        QCOMPARE(boxes, QStringList{QStringLiteral("固件升级进行中，请等待升级结束或停止通讯")});
    }

    // A click refused while the upgrade owns the stack is refused before its
    // handler runs: one box, the button painted and the device state as they
    // were, nothing queued, no window opened (the AQ window would take every reply).
    void refusedClickChangesNothing_data()
    {
        QTest::addColumn<QString>("button");
        for (const char* b : {"LightState_0", "cmdDO_0", "cmdDQ3_0", "btShowAQ"})
            QTest::newRow(b) << QString::fromLatin1(b);
    }
    void refusedClickChangesNothing()
    {
        QFETCH(QString, button);
        f->TesterIpM = f->TesterIpV = QStringLiteral("127.0.0.1"); // the AQ window's measuring devices
        upgradeUnderWay();
        auto* b = f->findChild<QPushButton*>(button);
        QVERIFY(b);
        b->setEnabled(true);
        const auto stack = f->engine().CmdStack;
        const int top = f->engine().CmdTop;
        const auto& d = f->device();
        const auto leds = d.LedState;
        const auto clicks = d.DOClicks.pending.size() + d.LedClicks.pending.size() + d.DQClicks.pending.size();
        const auto dqs = d.AQtoDQState;
        const QPalette paint = b->palette();
        b->click();
        QCOMPARE(boxes, QStringList{QStringLiteral("固件升级进行中，请等待升级结束或停止通讯")});
        QVERIFY(d.LedState == leds && d.AQtoDQState == dqs);
        QCOMPARE(d.DOClicks.pending.size() + d.LedClicks.pending.size() + d.DQClicks.pending.size(), clicks);
        QCOMPARE(b->palette(), paint);
        QCOMPARE(int(f->engine().CmdTop), top);
        QVERIFY(f->engine().CmdStack == stack);
        QVERIFY(!f->aqcal().AQPageOpen && !f->aqcal().form());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // A lost port closes what maintenance mode opened, as Stop does; without
    // a running link no upgrade starts, and the link can start again.
    void lostPortLeavesNoUpgradeToStart()
    {
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r.text;
            return r.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
        });
        f->StartRun_Click();
        f->ui.bt_Updata->setEnabled(false); // as a system read leaves them
        f->ui.bt_FindUpdataFile->setEnabled(false);
        f->ui.chkMaintenance->setEnabled(true);
        f->ui.chkMaintenance->click();
        QVERIFY(f->ui.bt_Updata->isEnabled() && f->ui.bt_FindUpdataFile->isEnabled());
        Q_EMIT serial.lost(QStringLiteral("gone"));
        QVERIFY(!f->ui.bt_Updata->isEnabled() && !f->ui.bt_FindUpdataFile->isEnabled());
        boxes.clear();
        const QString path = file(QStringLiteral("main.bin"), 4 * 512);
        f->upgrade().chooseFile = [path] { return path; };
        f->upgrade().bt_FindUpdataFile_Click();
        f->upgrade().bt_Updata_Click();
        QCOMPARE(boxes, QStringList{QStringLiteral("请先开始通讯")});
        QVERIFY(!f->engine().stackOwned());
        QVERIFY(f->ui.ProgressBar->isHidden());
        f->ui.StartRun->click();
        QVERIFY(f->engine().queued(serial::QS_READ_SYS_INFO));
    }

    // An upgrade owns the stack only with something to carry its blocks:
    // while the link is paused or held by the AQ window 开始升级 is refused
    // with a word, and every other command stays free.
    void upgradeWantsARunningDispatcher_data()
    {
        QTest::addColumn<QString>("hold");
        QTest::newRow("暂停") << "pause";
        QTest::newRow("AQ校准 window open") << "aq";
    }
    void upgradeWantsARunningDispatcher()
    {
        QFETCH(QString, hold);
        f->StartRun_Click();
        if (hold == QLatin1String("pause")) {
            f->ui.cmdPause->setEnabled(true);
            f->ui.cmdPause->click();
        } else {
            f->TesterIpM = f->TesterIpV = QStringLiteral("127.0.0.1"); // the AQ window's measuring devices
            f->ui.btShowAQ->setEnabled(true);
            f->ui.btShowAQ->click();
        }
        QVERIFY(f->engine().held());
        boxes.clear();
        const QString path = file(QStringLiteral("main.bin"), 4 * 512);
        f->upgrade().chooseFile = [path] { return path; };
        f->upgrade().bt_FindUpdataFile_Click();
        f->ui.bt_Updata->setEnabled(true);
        f->ui.bt_Updata->click();
        QCOMPARE(boxes, QStringList{QStringLiteral("通讯已暂停，请先点击继续或关闭AQ校准窗口")});
        QVERIFY(!f->engine().stackOwned());
        QVERIFY(f->ui.ProgressBar->isHidden());
    }

    // Stop (and a port that is lost) ends a running upgrade: the bar is hidden
    // and free for the next user, the image forgotten, the link can start
    // again. Stop says nothing; a lost port says that the upgrade failed.
    void stopEndsTheUpgrade_data()
    {
        QTest::addColumn<bool>("portLost");
        QTest::newRow("停止通讯") << false;
        QTest::newRow("port lost") << true;
    }
    void stopEndsTheUpgrade()
    {
        QFETCH(bool, portLost);
        upgradeUnderWay();
        if (portLost) {
            Q_EMIT serial.lost(QStringLiteral("gone"));
            QCOMPARE(boxes, QStringList({QStringLiteral("通讯超时，系统升级失败！"),
                                         QStringLiteral("读 comm 设备错误")})); // then the port's own message
            boxes.clear();
        } else {
            f->cmdStop_Click();
        }
        QVERIFY(f->ui.ProgressBar->isHidden());
        QVERIFY(f->ui.lb_ProgProc->isHidden());
        QCOMPARE(f->upgrade().FwBlockCount, 0);
        QVERIFY(f->upgrade().chosenFile.isEmpty());
        QVERIFY(f->ui.bt_Updata->isEnabled() && f->ui.bt_FindUpdataFile->isEnabled());
        QVERIFY(boxes.isEmpty());
        // The link starts again with its start-up reads, and a RAM test's bar moves.
        f->StartRun_Click();
        QVERIFY(f->engine().queued(serial::QS_READ_SYS_INFO));
        f->engine().neighbours()->InitProgress(9, true);
        f->ProgressTimer_Timer();
        QCOMPARE(f->ui.ProgressBar->maximum(), 9);
        QCOMPARE(f->ui.ProgressBar->value(), 2);
        // Nothing holds the window any more.
        f->show();
        QVERIFY(f->close());
        QVERIFY(boxes.isEmpty());
    }

    // A RAM test's bar that still steps when an upgrade starts stops stepping:
    // the upgrade's bar moves with its requests only.
    void upgradeStopsTheStepsOfAnEarlierBar()
    {
        f->StartRun_Click();
        f->engine().neighbours()->InitProgress(9, true);
        const QString path = file(QStringLiteral("main.bin"), 4 * 512);
        f->upgrade().chooseFile = [path] { return path; };
        f->upgrade().bt_FindUpdataFile_Click();
        f->upgrade().bt_Updata_Click();
        f->ProgressTimer_Timer();
        QCOMPARE(f->ui.ProgressBar->maximum(), 7);
        QCOMPARE(f->ui.ProgressBar->value(), 1);
    }
};

QTEST_MAIN(TestUpgrade)
#include "tst_upgrade.moc"
