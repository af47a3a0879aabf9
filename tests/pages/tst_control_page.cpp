// The device control page on the window with a stand-in port: the questions
// asked first, the alarm limits as written, the RAM lamps, run/stop
// following the replies, and the serial-only commands on Ethernet.
#include "base/msgbox.h"
#include "device/colors.h"
#include "proto/serial_frame.h"
#include "support/form_rig.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using serial::buildFrame;

class TestControlPage : public QObject {
    Q_OBJECT
    std::unique_ptr<FormRig> rig;
    Form1* f = nullptr;
    QList<MsgRequest> boxes;

    Engine& e() { return f->engine(); }
    // One dispatcher tick on the entry on top.
    void tick() { e().Timer1_Timer(); }

private Q_SLOTS:
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r;
            return r.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
        });
        rig = std::make_unique<FormRig>();
        f = rig->f.get();
        rig->openPort();
        e().timMscon.setInterval(5000);
    }
    void cleanup() { rig.reset(); }

    void askedCommandsNeedAYes()
    {
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r;
            return r.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
        });
        f->cmdClearCode_Click();
        f->Cmd_ResumeParam_Click();
        f->Cmd_SetDefault_Click();
        QCOMPARE(e().CmdTop, std::int16_t(0));
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(boxes[0].text, QStringLiteral("停止下位机运行并清除下位机指令"));
        QCOMPARE(boxes[1].text, QStringLiteral("是否要恢复选中参数？"));
        QCOMPARE(boxes[2].text, QStringLiteral("是否确定要恢复默认参数？"));
        // After the main program of an upgrade nobody is asked.
        rig->nb.mode = 5;
        f->Cmd_SetDefault_Click();
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(e().top(), std::int16_t(serial::QS_RESTORE_DEFAULTS));
    }

    // On Ethernet a serial-only command is refused with a word before it
    // asks or changes anything: nothing queued, the Profibus box as it was.
    void serialOnlyCommandRefusedOnEthernet_data()
    {
        QTest::addColumn<QString>("control");
        for (const char* c : {"ckProfibus", "btReadProfibus", "Cmd_SetDefault", "Command_Store", "Command_Resume"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }
    void serialOnlyCommandRefusedOnEthernet()
    {
        QFETCH(QString, control);
        f->ui.optComm[1]->setChecked(true);
        boxes.clear();
        auto* c = f->findChild<QAbstractButton*>(control);
        c->setEnabled(true);
        c->click();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("以太网通讯不支持此功能，请使用串口通讯"));
        QCOMPARE(e().CmdTop, std::int16_t(0));
        QVERIFY(!f->ui.ckProfibus->isChecked());
        QCOMPARE(f->ui.ckProfibus->text(), QStringLiteral("关闭"));
    }

    void restoreSelectedMask_data()
    {
        QTest::addColumn<QList<int>>("checked");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("nothing checked") << QList<int>{} << QByteArray::fromHex("55aa00");
        QTest::newRow("control and redundancy") << QList<int>{0, 7} << QByteArray::fromHex("55aa81");
        QTest::newRow("slave devices") << QList<int>{2} << QByteArray::fromHex("55aa04");
    }
    void restoreSelectedMask()
    {
        QFETCH(QList<int>, checked);
        for (int i : checked)
            f->ui.Check_SysParam[std::size_t(i)]->setChecked(true);
        f->Cmd_ResumeParam_Click();
        tick();
        QCOMPARE(rig->serial.written.size(), 1);
        QTEST(rig->serial.written[0].mid(3, 3), "payload");
    }

    void alarmLimitsAsWritten_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QByteArray>("sent"); // the first upper limit, or empty when nothing is sent
        QTest::newRow("12.5 down to even") << "12.5" << QByteArray::fromHex("0c00");
        QTest::newRow("13.5 up to even") << "13.5" << QByteArray::fromHex("0e00");
        QTest::newRow("a number with a unit refused") << "-7.2℃" << QByteArray();
        QTest::newRow("no number refused") << "abc" << QByteArray();
        QTest::newRow("32767") << "32767" << QByteArray::fromHex("ff7f");
        QTest::newRow("above 32767 refused") << "32768" << QByteArray();
    }
    void alarmLimitsAsWritten()
    {
        QFETCH(QString, box);
        QFETCH(QByteArray, sent);
        for (int i = 0; i < 8; ++i) {
            f->ui.txt_AIUp[std::size_t(i)]->setText(i == 0 ? box : QStringLiteral("100"));
            f->ui.txt_AIDown[std::size_t(i)]->setText(QStringLiteral("-100"));
        }
        f->cmd_WriteAIWarning_Click();
        if (sent.isEmpty()) { // refused at the click: nothing queued
            QCOMPARE(e().CmdTop, std::int16_t(0));
            return;
        }
        // The write runs first, its read-back after.
        QCOMPARE(e().CmdTop, std::int16_t(2));
        QCOMPARE(e().top(), std::int16_t(serial::QS_WRITE_AI_ALARM));
        tick();
        QCOMPARE(rig->serial.written.size(), 1);
        const QByteArray frame = rig->serial.written[0];
        QCOMPARE(frame.size(), 39);
        QCOMPARE(frame.mid(3, 2).toHex(), sent.toHex());
        QCOMPARE(frame.mid(5, 2).toHex(), QByteArray("9cff")); // lower limit of channel 0
    }

    void ramLamps_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("failedMask");
        QTest::newRow("all passed") << 0x00 << 0x00;
        QTest::newRow("parts 0 and 7 failed") << 0x81 << 0x81;
        QTest::newRow("all failed") << 0xFF << 0xFF;
    }
    void ramLamps()
    {
        QFETCH(int, result);
        QFETCH(int, failedMask);
        f->bt_CheckRAM_Click();
        tick();
        // The test takes long: 8 s for the reply and the watchdog, a nine-step bar.
        QCOMPARE(e().Timer2.interval(), 8000);
        QCOMPARE(e().timMscon.interval(), 8000);
        QVERIFY(rig->nb.calls.contains(QStringLiteral("InitProgress 9 1")));
        rig->serialReply(40, QByteArray(1, char(result)));
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("读测试扩展RAM结束"));
        QCOMPARE(e().timMscon.interval(), 5000);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(colors::background(f->ui.ram_sap[std::size_t(i)]),
                     (failedMask >> i) & 1 ? colors::ALARM : colors::ON);
    }

    void runStopFollowsTheReplies()
    {
        QByteArray sent;
        for (int round = 0; round < 2; ++round) {
            f->bt_RunStop_Click();
            tick();
            sent += rig->serial.written.last().at(3);
            // A lost reply leaves the colour.
            const QColor before = colors::background(f->ui.bt_RunStop);
            e().Timer2_Timer();
            QCOMPARE(colors::background(f->ui.bt_RunStop), before);
            rig->serialReply(49, QByteArray(1, sent.back()));
            QCOMPARE(f->ui.Text2->text(), QStringLiteral("启动成功"));
            QCOMPARE(colors::isFace(f->ui.bt_RunStop), round == 1);
        }
        QCOMPARE(sent.toHex(), QByteArray("0100")); // run, then stop
    }

    // What device A's replies put on the control faces is not B's: at the
    // connection's end each face goes back to its start-up state, so the
    // first 运行/停止 on B sends "run" as on a fresh start.
    void connectionEndGivesBackTheStartFaces_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("stop") << "stop";
        QTest::newRow("lost port") << "lost";
        QTest::newRow("reopen") << "reopen";
    }
    void connectionEndGivesBackTheStartFaces()
    {
        QFETCH(QString, end);
        const QDate startDate = f->ui.datePicker->date();
        f->bt_RunStop_Click();
        tick();
        rig->serialReply(49, QByteArray(1, 1)); // A runs: the button turns green
        QVERIFY(!colors::isFace(f->ui.bt_RunStop));
        f->bt_CheckRAM_Click();
        tick();
        rig->serialReply(40, QByteArray(1, char(0x81)));
        f->ui.ckProfibus->setChecked(true);
        f->ui.datePicker->setDate(QDate(2021, 3, 4));
        f->ui.shpFlash[2]->setAutoFillBackground(true);
        colors::paint(f->ui.shpFlash[2], colors::ALARM);
        e().Zigbee.ZbLogic = 2;

        if (end == QLatin1String("stop"))
            f->cmdStop_Click();
        else if (end == QLatin1String("lost"))
            Q_EMIT rig->serial.lost(QStringLiteral("gone"));
        rig->openPort(); // device B
        for (QWidget* w : {static_cast<QWidget*>(f->ui.bt_RunStop), static_cast<QWidget*>(f->ui.ram_sap[0]),
                           static_cast<QWidget*>(f->ui.ram_sap[7]), static_cast<QWidget*>(f->ui.shpFlash[2])})
            QVERIFY2(colors::isFace(w), qPrintable(w->objectName()));
        QVERIFY(!f->ui.ckProfibus->isChecked());
        QCOMPARE(f->ui.ckProfibus->text(), QStringLiteral("关闭"));
        QCOMPARE(f->ui.datePicker->date(), startDate);
        QCOMPARE(e().Zigbee.ZbLogic, std::uint8_t(0));
        rig->serial.written.clear();
        f->bt_RunStop_Click();
        tick();
        QCOMPARE(rig->serial.written.last().at(3), char(1)); // run
    }
};

QTEST_MAIN(TestControlPage)
#include "tst_control_page.moc"
