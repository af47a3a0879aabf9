// Calibration values, clock, DeviceID/PD tag and MAC on the real window with a
// stand-in port and socket: the checks made before anything is sent, and the
// replies that must change nothing.
#include "base/msgbox.h"
#include "pages/form1.h"
#include "proto/eth_commands.h"
#include "proto/net_datagram.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "support/form_rig.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QtTest>

using namespace serial;

class TestCalibRows : public QObject {
    Q_OBJECT
    std::unique_ptr<FormRig> rig;
    Form1* f = nullptr;
    QStringList boxes; // message boxes shown

    Engine& e() { return f->engine(); }
    void run(std::int16_t code)
    {
        e().push(code);
        e().Timer1_Timer();
    }
    void useEthernet()
    {
        f->ui.optComm[1]->setChecked(true);
        rig->device.bind(15000);
    }
    // A reply to the Ethernet request last sent.
    void ethReply(bool write, const QByteArray& payload = {})
    {
        QByteArray d(12, '\0');
        d[0] = char((write ? net::SVC_WRITE : net::SVC_READ) | net::SVC_STATUS_OK);
        const int seq = write ? e().WriteSeq : e().ReadSeq;
        d[net::SEQ_AT] = char(seq & 0xFF);
        d[net::SEQ_AT + 1] = char(seq >> 8);
        rig->device.deliver(d + payload);
    }

private Q_SLOTS:
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r.text;
            return MsgAnswer::Ok;
        });
        rig = std::make_unique<FormRig>();
        f = rig->f.get();
        rig->serial.open(QStringLiteral("pty"), QStringLiteral("9600,N,8,1"));
    }
    void cleanup() { rig.reset(); }

    void engineeringValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("sent"); // value 0 on the wire; empty: nothing sent
        QTest::addColumn<QString>("message");
        QTest::newRow("2.5 rounds to 2") << "2.5" << QByteArray::fromHex("0200") << "";
        QTest::newRow("3.5 rounds to 4") << "3.5" << QByteArray::fromHex("0400") << "";
        QTest::newRow("-32768") << "-32768" << QByteArray::fromHex("0080") << "";
        QTest::newRow("32768 refused") << "32768" << QByteArray() << "工程校准值超出范围!";
        QTest::newRow("1e9 refused") << "1e9" << QByteArray() << "工程校准值超出范围!";
        QTest::newRow("empty box") << "" << QByteArray() << "工程校准值错误!";
    }
    void engineeringValues()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, sent);
        QFETCH(QString, message);
        for (auto* b : f->ui.prjTxt)
            b->setText(QStringLiteral("1"));
        f->ui.prjTxt[0]->setText(text);
        run(QS_WRITE_PRJ_CAL);
        QCOMPARE(boxes, message.isEmpty() ? QStringList() : QStringList{message});
        if (sent.isEmpty()) {
            QVERIFY(rig->serial.written.isEmpty());
            QVERIFY(e().Timer2.isActive()); // the row's time-out reports the loss
        } else {
            QCOMPARE(rig->serial.written.size(), 1);
            QCOMPARE(rig->serial.written[0].size(), 29);
            QCOMPARE(rig->serial.written[0].mid(3, 4).toHex(' '), (sent + QByteArray::fromHex("0100")).toHex(' '));
        }
    }

    void innerValuesCutTo16BitsOnEthernet()
    {
        useEthernet();
        for (auto* b : f->ui.txt_LeiCkeck)
            b->setText(QStringLiteral("32768"));
        run(net::QE_WRITE_INNER_CAL);
        QVERIFY(boxes.isEmpty());
        QCOMPARE(rig->device.sent.last().mid(18).toHex(), QByteArray("0080").repeated(8));
    }

    void writeprjEnabledOnlyByARead()
    {
        QVERIFY(!f->ui.cmdWriteprj->isEnabled());
        rig->serial.event(buildFrame(FN_READ_PRJ_CAL, QByteArray(20, '\0'))); // one value short
        QVERIFY(!f->ui.cmdWriteprj->isEnabled());
        rig->serial.event(buildFrame(FN_READ_PRJ_CAL, QByteArray(22, '\0')));
        QVERIFY(f->ui.cmdWriteprj->isEnabled());
        f->cmdStop_Click();
        QVERIFY(!f->ui.cmdWriteprj->isEnabled());
    }

    void clockReplyCheckedAsAWhole()
    {
        for (QWidget* b : {static_cast<QWidget*>(f->ui.clkDate), static_cast<QWidget*>(f->ui.clkTime)})
            b->setEnabled(false);
        f->ui.clkDate->setDate(QDate(2020, 1, 1));
        rig->serial.event(buildFrame(FN_READ_CLOCK, QByteArray::fromHex("e807 021e 0e0709 02"))); // 30 February
        QCOMPARE(f->ui.clkDate->date(), QDate(2020, 1, 1));
        QVERIFY(!f->ui.clkDate->isEnabled());
        QCOMPARE(f->ui.Text2->text(), QString()); // refused: no success text either
        rig->serial.event(buildFrame(FN_READ_CLOCK, QByteArray::fromHex("e807 0305 0e0709 07")));
        QCOMPARE(f->ui.clkDate->date(), QDate(2024, 3, 5));
        QCOMPARE(f->ui.clkTime->time(), QTime(14, 7, 9));
        QCOMPARE(f->ui.Combo_WeekDay->currentText(), QStringLiteral("日"));
        QVERIFY(f->ui.clkDate->isEnabled() && f->ui.cmdWrclock->isEnabled());
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("读实时时钟成功"));
    }

    void macBoxesCheckedBeforeAnythingIsSent()
    {
        f->ui.ophandornot[0]->setChecked(true); // typed by hand
        const QStringList typed{"00", "FC", "G8", "3", "5", "A"};
        for (int i = 0; i < 6; ++i)
            f->ui.txt_MAC[std::size_t(i)]->setText(typed[i]);
        const auto top = e().CmdTop;
        f->bt_MAC_Click();
        QCOMPARE(boxes, QStringList{"2号地址书写错误"});
        QCOMPARE(e().CmdTop, top);
        f->ui.txt_MAC[2]->setText(QStringLiteral("18"));
        run(QS_WRITE_MAC);
        QCOMPARE(rig->serial.written.last(), buildFrame(36, QByteArray::fromHex("00fc1803050a")));
    }

    void automaticMacIsTheSystemPagesRule()
    {
        f->ui.ophandornot[1]->setChecked(true);
        f->ui.datePicker->setDate(QDate(2000, 1, 2)); // day 1
        f->ui.txtSeries->setText(QStringLiteral("0042"));
        f->bt_MAC_Click();
        QStringList shown;
        for (auto* b : f->ui.txt_MAC)
            shown << b->text();
        QCOMPARE(shown, QStringList({"00", "FC", "00", "00", "27", "3A"})); // 10042
    }

    void gatewayBytes()
    {
        const QStringList gate{"192", "168", "1", "1"}, mask{"255", "255", "255", "0"};
        for (int i = 0; i < 4; ++i) {
            f->ui.txtGate[std::size_t(i)]->setText(gate[i]);
            f->ui.txtSubNet[std::size_t(i)]->setText(mask[i]);
        }
        run(QS_WRITE_GATEWAY);
        QCOMPARE(rig->serial.written.last().mid(3, 8), QByteArray::fromHex("c0a80101ffffff00"));
    }

    // The Ethernet write sends the device's own block, read just before.
    void devIdWriteNeedsTheBlockJustRead()
    {
        useEthernet();
        f->ui.txtDevID->setText(QStringLiteral("12345"));
        f->ui.txtPD_Tag->setText(QStringLiteral("AB"));
        e().WritePayload = QByteArray(82, 'x'); // some earlier write's payload
        run(net::QE_WRITE_PDTAG);
        QVERIFY(rig->device.sent.isEmpty());

        e().SetParaPending = true;
        run(net::QE_READ_PDTAG);
        const QByteArray tail = QByteArray::fromHex("0102030405060708090a0b0c0d0e0f101112");
        ethReply(false, QByteArray(64, 'z') + tail);
        run(net::QE_WRITE_PDTAG);
        QCOMPARE(rig->device.sent.size(), 2);
        QCOMPARE(rig->device.sent.last().mid(18),
                 QByteArray("12345").leftJustified(32, '0') + QByteArray("AB").leftJustified(32, ' ') + tail);
        // Once sent, the block is spent.
        run(net::QE_WRITE_PDTAG);
        QCOMPARE(rig->device.sent.size(), 2);
    }

    void coldJunctionValue_data()
    {
        QTest::addColumn<QStringList>("channels");
        QTest::addColumn<QString>("compensation");
        QTest::addColumn<int>("value"); // -1: refused with the message
        QTest::newRow("all at 2990") << QStringList(8, "2990") << "5" << 15;
        QTest::newRow("sum over 8 rounds halves to even") << (QStringList(7, "3000") << "2996") << "0" << 0;
        QTest::newRow("a channel above 6000") << (QStringList(7, "3000") << "6001") << "0" << -1;
        QTest::newRow("a channel below 0") << (QStringList(7, "3000") << "-1") << "0" << -1;
    }
    void coldJunctionValue()
    {
        QFETCH(QStringList, channels);
        QFETCH(QString, compensation);
        QFETCH(int, value);
        for (int i = 0; i < 8; ++i)
            f->ui.ChnlDis[std::size_t(i)]->setText(channels[i]);
        f->ui.txtTempComp->setText(compensation);
        const auto top = e().CmdTop;
        f->Cmd_Wtite_Temprature_Click();
        if (value < 0) {
            QCOMPARE(boxes, QStringList{"通道温度值存在问题，请检查"});
            QCOMPARE(e().CmdTop, top);
            return;
        }
        QCOMPARE(int(f->device().TempWriteValue), value);
        QCOMPARE(e().top(), std::int16_t(QS_WRITE_COLD_CAL)); // then the system parameters read back
        QCOMPARE(e().CmdStack[std::size_t(e().CmdTop - 1)], std::int16_t(QS_READ_SYS_INFO));
    }
};

QTEST_MAIN(TestCalibRows)
#include "tst_calib_rows.moc"
