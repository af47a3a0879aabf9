// The main window's start-up, link choice, start, stop and pause, against
// stand-ins for the port, the sockets and the image loader.
#include "base/msgbox.h"
#include "pages/form1.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "base/errorlog.h"
#include "support/form_rig.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestForm1Start : public QObject {
    Q_OBJECT
    QList<MsgRequest> boxes;
    QTemporaryDir logDir;

    using Rig = FormRig;

private Q_SLOTS:
    void initTestCase()
    {
        // The error log is this suite's own: others append to theirs meanwhile.
        QVERIFY(logDir.isValid() && QDir::setCurrent(logDir.path()));
        qputenv("RIODESK_PORTS", "/dev/riodesk-no-such-port");
    }
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& q) {
            boxes << q;
            return MsgAnswer::Ok;
        });
    }

    void loadSetsTheStartState()
    {
        Rig r;
        Form1& f = *r.f;
        QCOMPARE(f.windowTitle(),
                 QStringLiteral("MRK7ADQ,MRK7AAQ,MRK7000,MRK6000,TLX7000,VSN70DQ,TLX6000设置软件 V1.3.99 (用户版)"));
        for (QWidget* w : {static_cast<QWidget*>(f.ui.cmd_DownOrderInfo), static_cast<QWidget*>(f.ui.cmd_DownOAPara),
                           static_cast<QWidget*>(f.ui.Cmd_TransPara), static_cast<QWidget*>(f.ui.bt_AQAuto)})
            QVERIFY(w->isHidden());
        QVERIFY(!f.engine().Timer1.isActive() && !f.engine().Timer2.isActive() && !f.engine().timMscon.isActive());
        QVERIFY(f.DisTimer.isActive());
        QVERIFY(!f.ui.Option1->isEnabled() && !f.ui.cmdWriteprj->isEnabled());
        QVERIFY(f.ui.optComm[0]->isChecked() && f.LinkSerial);
        QVERIFY(f.ui.Option1->isChecked());
        QCOMPARE(int(f.engine().DisplayMode), 0);
        QVERIFY(!f.ui.ComboCold->isEnabled());
        QCOMPARE(f.ui.Text2->text(), QStringLiteral("确保接线无误后，选择通信方式，点击“开始”按钮"));
        QCOMPARE(f.ui.Text_ErrorTimeComm2->text(), QStringLiteral("10"));
        QCOMPARE(f.ui.Text_InterTimeComm2->text(), QStringLiteral("100"));
        QCOMPARE(f.ui.Text_WaitTimeComm2->text(), QStringLiteral("1000"));
        QVERIFY(!f.Time2Start.isActive());
        QVERIFY(r.images.applied.isEmpty());
        // Choice lists: exact entries, nothing selected but the port list.
        QCOMPARE(f.ui.ComPort->count(), 0); // the listed port cannot be opened
        QCOMPARE(f.ui.Combo10[1]->itemText(2), QStringLiteral("ModbusASII"));
        QCOMPARE(f.ui.Combo10[0]->itemText(4), QStringLiteral("Panasoic"));
        QCOMPARE(f.ui.ChnlSensor[10]->count(), 24);
        QCOMPARE(f.ui.ChnlSensor[0]->itemText(21), QStringLiteral("空"));
        QCOMPARE(f.ui.Combo_WeekDay->itemText(6), QStringLiteral("日"));
        QCOMPARE(f.ui.ComboADRate1->itemText(7), QStringLiteral("1.88Hz 19.2/22.4s"));
        QCOMPARE(f.ui.Combo9[0]->currentIndex(), -1);
        // Filled from a device's record only.
        QVERIFY(f.ui.txt_RSDataTime[0]->text().isEmpty() && f.ui.txt_RSDataTime[1]->text().isEmpty());
        QVERIFY(f.ui.NowDis->text().contains(QStringLiteral("年")));
    }

    void linkChoice()
    {
        Rig r;
        Form1& f = *r.f;
        f.ui.txtDevID->setText(QStringLiteral("x"));
        f.ui.optComm[1]->setChecked(true);
        QVERIFY(!f.LinkSerial);
        QVERIFY(f.ui.bt_CheckRAM->isHidden() && f.ui.ComPort->isHidden());
        QCOMPARE(f.ui.Text2->text(), QStringLiteral("点击“开始”后，请选择设备IP"));
        QVERIFY(f.ui.txtDevID->text().isEmpty());
        f.ui.optComm[0]->setChecked(true);
        QVERIFY(f.LinkSerial && !f.ui.bt_CheckRAM->isHidden() && !f.ui.ComPort->isHidden());
        QCOMPARE(f.ui.Text2->text(), QStringLiteral("确保接线无误后，选择通信方式，点击“开始”按钮"));
    }

    void serialStartLoadsTheStartUpReads()
    {
        Rig r;
        Form1& f = *r.f;
        Engine& e = f.engine();
        e.push(serial::QS_READ_CLOCK); // whatever the stack held before
        f.StartRun_Click();
        QVERIFY(r.serial.isOpen());
        QCOMPARE(r.serial.settings(), QStringLiteral("9600,N,8,1"));
        QCOMPARE(e.CmdTop, std::int16_t(14));
        QVERIFY(e.Timer1.isActive());
        QCOMPARE(e.Timer1.interval(), 300);
        QCOMPARE(e.timMscon.interval(), 5000);
        QVERIFY(!f.ui.StartRun->isEnabled() && !f.ui.optComm[0]->isEnabled() && f.ui.cmdStop->isEnabled());
        QCOMPARE(f.ui.ComboType2[7]->itemText(2), QStringLiteral("开关量输出"));
        for (auto* c : f.ui.ComboType2)
            QCOMPARE(c->currentIndex(), -1); // no type before the device's are read
        e.Timer1_Timer();
        QCOMPARE(r.serial.writtenFns(), (QList<int>{57}));
        QCOMPARE(f.ui.Text2->text(), QStringLiteral("正在读取zigbee配置参数"));
    }

    void startFailures_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("status");
        QTest::addRow("no such port") << 0 << 8002 << QStringLiteral("无效的端口号,请选择存在的串口号")
                                      << QStringLiteral("请注意串行口错误!") << QStringLiteral("请确认设置正确后,重新开始");
        QTest::addRow("port in use") << 0 << 8005
                                     << QStringLiteral("该端口已经被其他程序打开,请关闭相应的程序或选择其他串口")
                                     << QStringLiteral("请注意串行口错误!") << QStringLiteral("请确认设置正确后,重新开始");
        QTest::addRow("not in the table") << 0 << 8017 << QStringLiteral("fake failure")
                                          << QStringLiteral("请注意串行口错误!") << QStringLiteral("请确认设置正确后,重新开始");
        QTest::addRow("udp port in use") << 1 << 10048 << QStringLiteral("指定的端口被其他程序占用")
                                         << QStringLiteral("请注意Winsock错误!") << QStringLiteral("请排除错误原因后,重新开始");
        QTest::addRow("udp not in the table") << 1 << 10059 << QStringLiteral("fake failure")
                                              << QStringLiteral("请注意Winsock错误!") << QStringLiteral("请排除错误原因后,重新开始");
    }
    void startFailures()
    {
        QFETCH(int, link);
        QFETCH(int, error);
        QFETCH(QString, message);
        QFETCH(QString, title);
        QFETCH(QString, status);
        Rig r;
        Form1& f = *r.f;
        f.ui.optComm[std::size_t(link)]->setChecked(true);
        r.serial.openError = error;
        r.discovery.bindError = error;
        f.StartRun_Click();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, message);
        QCOMPARE(boxes[0].title, title);
        QVERIFY(boxes[0].icon == MsgIcon::Exclamation);
        QCOMPARE(f.ui.Text2->text(), status);
        QVERIFY(f.ui.optComm[0]->isEnabled() && f.ui.optComm[1]->isEnabled() && f.ui.StartRun->isEnabled());
        QVERIFY(!f.ui.cmdStop->isEnabled());
        QVERIFY(!f.engine().Timer1.isActive());
        QCOMPARE(f.engine().CmdTop, std::int16_t(0));
        // Engineering values read before the failure are not offered to the next link.
        f.ui.cmdWriteprj->setEnabled(true);
        r.serial.openError = r.discovery.bindError = 0;
        f.StartRun_Click();
        QVERIFY(!f.ui.cmdWriteprj->isEnabled());
    }

    void realPortThatDoesNotExist()
    {
        // The platform port: the listed path does not exist.
        Form1Options o;
        o.platformPorts = false;
        Form1 f(o);
        f.StartRun_Click();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("无效的端口号,请选择存在的串口号"));
    }

    void commandLineStartsTheLink()
    {
        {
            Rig r(QStringLiteral("   "));
            QVERIFY(!r.f->Time2Start.isActive());
            QVERIFY(r.images.applied.isEmpty());
        }
        Rig r(QStringLiteral("员工编号\x80" "007|"));
        QCOMPARE(r.images.applied.size(), 1);
        QVERIFY(r.f->Time2Start.isActive());
        QCOMPARE(r.f->Time2Start.interval(), 500);
        r.f->Time2Start_Timer();
        QVERIFY(!r.f->Time2Start.isActive());
        QVERIFY(r.serial.isOpen());
        QCOMPARE(r.f->engine().CmdTop, std::int16_t(14));
    }

    void stopAndPause()
    {
        Rig r;
        Form1& f = *r.f;
        f.StartRun_Click();
        f.ui.ChnlDis[5]->setText(QStringLiteral("12.5"));
        f.engine().TimeoutCount = 3;
        f.cmdPause_Click();
        QCOMPARE(f.ui.cmdPause->text(), QStringLiteral("继续"));
        // The system read's answer, come while paused, leaves the caption to the hold.
        r.serialReply(serial::QS_READ_SYS_INFO, QByteArray(104, '\1'));
        QVERIFY(!f.ui.lblVersion->text().isEmpty());
        QCOMPARE(f.ui.cmdPause->text(), QStringLiteral("继续"));
        QVERIFY(!f.engine().Timer1.isActive());
        QCOMPARE(f.engine().CmdTop, std::int16_t(14)); // the stack is left alone
        f.cmdPause_Click();
        QCOMPARE(f.ui.cmdPause->text(), QStringLiteral("暂停"));
        QVERIFY(f.engine().Timer1.isActive());
        f.cmdStop_Click();
        QVERIFY(!r.serial.isOpen());
        QVERIFY(!f.engine().Timer1.isActive() && !f.engine().timCheckDevice.isActive());
        QCOMPARE(f.engine().CmdTop, std::int16_t(0));
        QVERIFY(f.ui.ChnlDis[5]->text().isEmpty());
        QCOMPARE(f.ui.Text3->text(), QStringLiteral("0"));
        QVERIFY(f.ui.optComm[1]->isEnabled() && f.ui.StartRun->isEnabled());
        QVERIFY(f.ui.cmbDevice->isHidden());
    }

    // After a connection's end nothing talks to a device and nothing is
    // logged until the next start, whatever was under way at the end: a
    // pause, the 5 s pause after the device accepted an upgrade's start, a
    // reply time-out (the RAM test's, whose bar ends with it), a reply held
    // while a box was open. 暂停/继续 does nothing while no link runs.
    void nothingTalksAfterTheConnectionsEnd_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("underWay");
        QTest::addColumn<bool>("dropped"); // ended by the watchdog, not by Stop
        QTest::newRow("serial, paused") << 0 << "pause" << false;
        QTest::newRow("ethernet, paused") << 1 << "pause" << false;
        QTest::newRow("ethernet, upgrade's start pause") << 1 << "sleep" << false;
        QTest::newRow("serial, reply time-out") << 0 << "waiting" << false;
        QTest::newRow("ethernet, reply time-out at the device's drop") << 1 << "waiting" << true;
        QTest::newRow("serial, a reply held by a box, the port lost inside it") << 0 << "box" << false;
    }
    void nothingTalksAfterTheConnectionsEnd()
    {
        QFETCH(int, link);
        QFETCH(QString, underWay);
        QFETCH(bool, dropped);
        Rig r;
        Form1& f = *r.f;
        Engine& e = f.engine();
        qint64 now = 0;
        f.clock = [&now] { return now; };
        f.ui.optComm[std::size_t(link)]->setChecked(true);
        f.StartRun_Click();
        if (link == 1) {
            r.discovery.deliver(announcement({127, 0, 0, 2}, 15001));
            f.ui.cmbDevice->setCurrentIndex(0);
            f.cmbDevice_Click();
        }
        QVERIFY(e.linked() && e.Timer1.isActive());
        f.ui.cmdPause->setEnabled(true);
        if (underWay == QLatin1String("pause")) {
            f.ui.cmdPause->click();
        } else if (underWay == QLatin1String("sleep")) {
            e.Sleeping(5000);
        } else {
            e.push(link ? std::int16_t(net::QE_TEST_RAM) : std::int16_t(serial::QS_TEST_RAM), 0);
            e.Timer1_Timer();
            QVERIFY(e.Timer2.isActive());
            f.InitProgress(9, true); // the RAM test's bar (the rig's neighbours only record)
        }
        bool inside = false;
        const auto received = e.RxCount;
        if (underWay == QLatin1String("box")) {
            // 停止并清除程序's question is open; a reply comes, then the port goes.
            setMsgResponder([&](const MsgRequest& q) {
                boxes << q;
                if (!std::exchange(inside, true)) {
                    r.serial.event(serial::buildFrame(serial::FN_READ_CLOCK, QByteArray(8, '\0')));
                    Q_EMIT r.serial.lost(QStringLiteral("gone"));
                }
                return MsgAnswer::No;
            });
            f.ui.cmdClearCode->setEnabled(true);
            f.ui.cmdClearCode->click();
            QVERIFY(!e.linked());
            QCOMPARE(e.RxCount, received + 1); // counted, like any late reply
        } else if (dropped) {
            now = 11000;
            f.timCheckDevice_Timer();
            QCOMPARE(f.ui.Text2->text(), QStringLiteral("当前无在线设备,请检查设备状态"));
        } else {
            f.cmdStop_Click();
        }
        const auto written = r.serial.written.size();
        const auto sent = r.device.sent.size();
        const int binds = r.device.binds;
        const qint64 logged = QFileInfo(QString::fromLatin1(ERROR_LOG_FILE)).size();
        if (!dropped) {
            f.ui.cmdPause->setEnabled(true);
            f.ui.cmdPause->click();
            QCOMPARE(f.ui.cmdPause->text(), QStringLiteral("暂停"));
        }
        // Whatever of the old connection was still due comes now.
        QCoreApplication::processEvents();
        f.ProgressTimer_Timer();
        QVERIFY(f.ui.ProgressBar->isHidden());
        e.Sleep_Timer_Timer();
        e.Timer2_Timer();
        e.timMscon_Timer();
        e.Timer1_Timer();
        for (const QTimer* t : {&e.Timer1, &e.Timer2, &e.timMscon, &e.Sleep_Timer, &e.timCheckDevice})
            QVERIFY2(!t->isActive(), qPrintable(t->objectName()));
        QCOMPARE(r.serial.written.size(), written);
        QCOMPARE(r.device.sent.size(), sent);
        QCOMPARE(r.device.binds, binds);
        QCOMPARE(QFileInfo(QString::fromLatin1(ERROR_LOG_FILE)).size(), logged);
    }

    // 继续 restarts the timers of the link in use: the device watchdog only on
    // Ethernet (on the serial link it would find no device and end the link).
    void resumeStartsTheWatchdogOnEthernetOnly_data()
    {
        QTest::addColumn<int>("link");
        QTest::newRow("serial") << 0;
        QTest::newRow("ethernet") << 1;
    }
    void resumeStartsTheWatchdogOnEthernetOnly()
    {
        QFETCH(int, link);
        Rig r;
        Form1& f = *r.f;
        f.ui.optComm[std::size_t(link)]->setChecked(true);
        f.StartRun_Click();
        if (link == 1)
            r.discovery.deliver(announcement({127, 0, 0, 2}, 9000));
        f.ui.cmdPause->setEnabled(true);
        f.ui.cmdPause->click();
        QVERIFY(!f.engine().timCheckDevice.isActive());
        f.ui.cmdPause->click();
        QCOMPARE(f.ui.cmdPause->text(), QStringLiteral("暂停"));
        QCOMPARE(f.engine().timCheckDevice.isActive(), link == 1);
    }

    // The AQ window takes the link with the pause button. A Stop, or a start
    // (serial start, or Ethernet start and device pick), under the window
    // leaves the main dispatcher paused; closing the window gives back only
    // the link there is.
    void aqWindowGivesBackTheLinkThereIs_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<bool>("restart");
        QTest::addColumn<bool>("openedFirst"); // the window opened before any link ran
        QTest::newRow("serial, stop") << 0 << false << false;
        QTest::newRow("serial, stop and start") << 0 << true << false;
        QTest::newRow("serial, opened before the start") << 0 << true << true;
        QTest::newRow("ethernet, stop") << 1 << false << false;
        QTest::newRow("ethernet, stop, start and pick") << 1 << true << false;
    }
    void aqWindowGivesBackTheLinkThereIs()
    {
        QFETCH(int, link);
        QFETCH(bool, restart);
        QFETCH(bool, openedFirst);
        Rig r;
        Form1& f = *r.f;
        Engine& e = f.engine();
        f.ui.optComm[std::size_t(link)]->setChecked(true);
        const auto start = [&] {
            f.StartRun_Click();
            if (link == 1) {
                QByteArray a(91, '\0'); // 127.0.0.2 announces itself, port 15001
                a[0] = 4;
                a.replace(72, 4, QByteArray::fromHex("7f000002"));
                a.replace(87, 2, QByteArray::fromHex("993a"));
                r.discovery.deliver(a);
                f.ui.cmbDevice->setCurrentIndex(0);
                f.cmbDevice_Click();
            }
        };
        f.TesterIpM = f.TesterIpV = QStringLiteral("127.0.0.1");
        if (!openedFirst) {
            start();
            QVERIFY(e.Timer1.isActive());
        }
        f.ui.btShowAQ->click();
        QCOMPARE(f.ui.cmdPause->text(), QStringLiteral("继续"));
        f.cmdStop_Click();
        if (restart)
            start();
        QVERIFY(!e.Timer1.isActive());
        QCOMPARE(f.ui.cmdPause->text(), QStringLiteral("继续"));
        f.aqcal().form()->close();
        QCOMPARE(f.ui.cmdPause->text(), QStringLiteral("暂停"));
        QCOMPARE(e.Timer1.isActive(), restart);
        if (restart) // the start-up reads run now
            QCOMPARE(int(e.CmdTop), int(Form1::startupList(link == 1).size()) - 1);
    }

    void displayModeOptions()
    {
        Rig r;
        Form1& f = *r.f;
        f.ui.Option2->setChecked(true);
        QCOMPARE(int(f.engine().DisplayMode), 1);
        f.Option3_Click();
        QVERIFY(f.ui.Option3->isChecked());
        QCOMPARE(int(f.engine().DisplayMode), 2);
    }
};

QTEST_MAIN(TestForm1Start)
#include "tst_form1_start.moc"
