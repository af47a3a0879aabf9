// Device control commands and the slave-device table end to end: the real
// window, offscreen, against the simulated device on a pseudo-terminal and on
// loopback UDP. Each command shows its reply text and takes effect in the
// device; the slave table is read, two rows are written, a row whose read is
// never answered stays empty without moving the others, a row whose write the
// device refuses stays marked, and a device that stays silent during the read
// ends in the window's own message.
#include "e2e/link_suite.h"
#include "device/colors.h"
#include "settings/slave_info_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

namespace {

// What differs between the links: the status texts of the replies.
struct LinkTexts {
    const char* ram;
    const char* clear;
    const char* lampBoard;
    const char* alarmWritten;
    const char* alarmRead;
    const char* slaveRead;
};
constexpr LinkTexts SERIAL_TEXTS{"读测试扩展RAM结束", "写停止下位机运行并清空下位机程序命令成功", "灯板自动检测通信成功",
                                 "写入AI通道报警值成功", "读取AI通道报警灯成功", "读从设备信息成功"};
constexpr LinkTexts ETHERNET_TEXTS{"测试RAM结束", "写停止下位机运行并清除下位机命令成功", "灯板检测通信成功",
                                   "写AI报警值成功", "读AI上下限报警状态成功", "读从设备配置信息成功"};

int u16(const QByteArray& b, int at) { return std::uint8_t(b[at]) | (std::uint8_t(b[at + 1]) << 8); }

} // namespace

class TestE2eControl : public e2e::LinkSuite {
    Q_OBJECT

    SlaveInfoForm& slaves() { return f->slaves().form(); }

    void controlCommands(const LinkTexts& t)
    {
        auto& u = f->ui;
        // RAM test: the failed parts come back red.
        model->ramTestResult = 0x81;
        step();
        f->bt_CheckRAM_Click();
        QVERIFY2(shown(t.ram, 9000), t.ram);
        QCOMPARE(colors::background(u.ram_sap[0]), colors::ALARM);
        QCOMPARE(colors::background(u.ram_sap[3]), colors::ON);
        QCOMPARE(colors::background(u.ram_sap[7]), colors::ALARM);

        // Stop and clear, after the question; on Ethernet with no data.
        step();
        u.cmdClearCode->click();
        QVERIFY2(shown(t.clear), t.clear);
        QCOMPARE(model->stopAndClearCount, 1);
        if (ethernet())
            QCOMPARE(udpSim->receivedRequests().last().payload.size(), 0);

        // Lamp-board check on and off.
        step();
        u.cmdCheckLight->click();
        QVERIFY2(shown(t.lampBoard), t.lampBoard);
        QCOMPARE(int(model->lampBoardCheck), 1);
        step();
        u.cmdStopCheck->click();
        QVERIFY2(shown(t.lampBoard), t.lampBoard);
        QCOMPARE(int(model->lampBoardCheck), 0);
        QCOMPARE(f->engine().PendParam, 0);

        // Run and stop: a button face starts the program, green stops it, and
        // the button then shows what the device was told.
        for (int round = 0; round < 2; ++round) {
            const bool wasFace = colors::isFace(u.bt_RunStop);
            step();
            u.bt_RunStop->click();
            QVERIFY(shown("启动成功"));
            QCOMPARE(int(model->runState), wasFace ? 1 : 0);
            QCOMPARE(colors::isFace(u.bt_RunStop), !wasFace);
        }

        // Alarm limits written, then read back with the lamps.
        model->aiAlarmStatus = 0x02;
        for (int i = 0; i < 8; ++i) {
            u.txt_AIUp[std::size_t(i)]->setText(QString::number(100 * i) + QStringLiteral(".5"));
            u.txt_AIDown[std::size_t(i)]->setText(QString::number(-i));
        }
        step();
        u.cmd_WriteAIWarning->click();
        QVERIFY2(shown(t.alarmWritten), t.alarmWritten);
        QVERIFY2(shown(t.alarmRead), t.alarmRead);
        QCOMPARE(model->aiAlarmUp[1], qint16(100)); // 100.5 to even
        QCOMPARE(model->aiAlarmUp[3], qint16(300));
        QCOMPARE(model->aiAlarmDown[7], qint16(-7));
        QCOMPARE(colors::background(u.sapAI[1]), colors::ALARM);
        QCOMPARE(colors::background(u.sapAI[0]), colors::WHITE);

        // Restore of the checked groups.
        u.Check_SysParam[1]->setChecked(true);
        u.Check_SysParam[6]->setChecked(true);
        step();
        u.Cmd_ResumeParam->click();
        QVERIFY(shown("恢复系统参数成功"));
        QCOMPARE(int(model->lastRestoreMask), 0x42);
        if (ethernet())
            return;

        // The serial link's own commands; store, restore and defaults are guarded.
        u.chkMaintenance->click();
        QVERIFY(u.Command_Store->isEnabled());
        step();
        u.Command_Store->click();
        QVERIFY(shown("保存系统参数成功"));
        QCOMPARE(model->saveCount, 1);
        step();
        u.Cmd_SetDefault->click();
        QCOMPARE(boxes.last(), QStringLiteral("是否确定要恢复默认参数？"));
        QVERIFY(shown("恢复默认参数成功"));
        QCOMPARE(model->restoreDefaultsCount, 1);
        step();
        u.Command_Resume->click();
        QVERIFY(shown("恢复系统参数成功"));
        QVERIFY(shown("取系统信息")); // the pages read again after it, which ends the maintenance mode
        QCOMPARE(model->restoreCount, 2);

        model->profibus = 1;
        step();
        u.btReadProfibus->click();
        QVERIFY(shown("读Profibus状态成功"));
        QVERIFY(u.ckProfibus->isChecked());
        QCOMPARE(u.ckProfibus->text(), QStringLiteral("开启"));
        step();
        u.ckProfibus->click();
        QVERIFY(shown("写Profibus状态成功"));
        QCOMPARE(int(model->profibus), 0);
        QCOMPARE(u.ckProfibus->text(), QStringLiteral("关闭"));
    }

    void slaveTable(const LinkTexts& t)
    {
        // Row 2 holds a device type the window does not know.
        model->slaves[2][6] = char(44);
        model->slaves[2][7] = char(1);
        step();
        f->ui.btSlaveShow->click();
        QTRY_VERIFY_WITH_TIMEOUT(slaves().isEnabled(), 10000);
        QVERIFY2(shown(t.slaveRead), t.slaveRead);
        auto& w = slaves();
        for (int r = 0; r < 16; ++r)
            QCOMPARE(w.txtAddr[std::size_t(r)]->text(), QString::number(std::uint8_t(model->slaves[std::size_t(r)][4])));
        QCOMPARE(w.ComboCommType[0]->currentText(), QStringLiteral("ModbusRTU"));
        QCOMPARE(w.ComboSlave[0]->currentText(), QStringLiteral("MRK7000"));
        QCOMPARE(w.txtScanTime[0]->text(), QStringLiteral("1000"));
        QCOMPARE(w.ComboCommType[1]->currentText(), QStringLiteral("ModbusASCII"));
        QCOMPARE(w.ComboSlave[1]->currentText(), QStringLiteral("其它设备"));
        QCOMPARE(w.txtScanNo[1]->text(), QStringLiteral("1"));
        QCOMPARE(w.ComboSlave[2]->currentText(), QStringLiteral("错误！"));

        // Two rows edited and written; the unknown type stays as it was.
        w.txtScanNo[2]->clear();
        QTest::keyClicks(w.txtScanNo[2], QStringLiteral("9"));
        w.txtAddr[7]->clear();
        QTest::keyClicks(w.txtAddr[7], QStringLiteral("77"));
        step();
        w.Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(int(std::uint8_t(model->slaves[7][4])), 77, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 3000);
        QCOMPARE(int(model->slaves[2][10]), 9);
        QCOMPARE(u16(model->slaves[2], 6), 300);
        QCOMPARE(texts.count(QStringLiteral("写从设备信息成功")), 1); // once both rows are acknowledged
        QTRY_COMPARE(f->engine().CmdTop, std::int16_t(0)); // the second entry sends nothing
        w.close();
    }

    void lostSlaveRow()
    {
        for (int r = 0; r < 16; ++r)
            model->slaves[std::size_t(r)][4] = char(60 + r);
        SimFaults& faults = ethernet() ? udpSim->faults() : serialSim->faults();
        faults.lostSlaveRow = 4;
        step();
        f->ui.btSlaveShow->click();
        QTRY_VERIFY_WITH_TIMEOUT(slaves().isEnabled(), 15000);
        faults.lostSlaveRow = -1;
        auto& w = slaves();
        QVERIFY(w.txtAddr[4]->text().isEmpty());
        QCOMPARE(w.txtAddr[5]->text(), QStringLiteral("65"));
        QCOMPARE(w.txtAddr[15]->text(), QStringLiteral("75"));

        // Row 5 goes back as row 5; row 4 of the device is left alone.
        w.txtScanNo[5]->clear();
        QTest::keyClicks(w.txtScanNo[5], QStringLiteral("7"));
        w.Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(int(model->slaves[5][10]), 7, 5000);
        QCOMPARE(int(std::uint8_t(model->slaves[5][4])), 65);
        QCOMPARE(int(std::uint8_t(model->slaves[4][4])), 64);
        QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 3000);
        w.close();
        texts.clear(); // the lost read's time-out
    }

    // The device refuses row 3 and accepts row 6: only row 6 turns grey and
    // loses its mark, and the status line names the failure, not the success.
    void refusedSlaveRow()
    {
        step();
        f->ui.btSlaveShow->click();
        QTRY_VERIFY_WITH_TIMEOUT(slaves().isEnabled(), 10000);
        auto& w = slaves();
        const int before = std::uint8_t(model->slaves[3][4]);
        SimFaults& faults = ethernet() ? udpSim->faults() : serialSim->faults();
        faults.refuseSlaveRow = 3;
        for (int r : {3, 6}) {
            w.txtAddr[std::size_t(r)]->clear();
            QTest::keyClicks(w.txtAddr[std::size_t(r)], QString::number(30 + r));
        }
        step();
        w.Command1->click();
        QVERIFY(shown("写从设备信息失败"));
        faults.refuseSlaveRow = -1;
        QCOMPARE(int(std::uint8_t(model->slaves[6][4])), 36);
        QCOMPARE(int(std::uint8_t(model->slaves[3][4])), before);
        QCOMPARE(colors::background(w.Label6[6]), QColor(212, 208, 200));
        QCOMPARE(colors::background(w.Label6[3]), colors::ON);
        QVERIFY(w.SlaveChanged[3] && !w.SlaveChanged[6]);
        QVERIFY(!texts.contains(QStringLiteral("写从设备信息成功")));
        QVERIFY(w.Command1->isEnabled());
        w.close();
    }

    void silentTableRead()
    {
        if (ethernet())
            udpSim->setSilent(true);
        else
            serialSim->setSilent(true);
        step();
        f->ui.btSlaveShow->click();
        QTRY_VERIFY_WITH_TIMEOUT(boxes.contains(QStringLiteral("读取从设备信息失败")), 8000);
        QVERIFY(slaves().isEnabled());
        QVERIFY(slaves().txtAddr[0]->text().isEmpty());
        texts.clear(); // the silent device's time-outs
    }

    void allParts(const LinkTexts& t)
    {
        runParts({[&] { controlCommands(t); }, [&] { slaveTable(t); }, [&] { lostSlaveRow(); },
                  [&] { refusedSlaveRow(); }, [&] { silentTableRead(); }});
    }

private Q_SLOTS:
    void init() { beginCase(); }
    void cleanup() { endCase(); }

    void serialLink()
    {
        startSerial();
        allParts(SERIAL_TEXTS);
    }
    void ethernetLink()
    {
        startEthernet();
        allParts(ETHERNET_TEXTS);
    }
};

QTEST_MAIN(TestE2eControl)
#include "tst_e2e_control.moc"
