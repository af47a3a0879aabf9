// Calibration values, clock and DeviceID/PD tag on the real window with a
// stand-in port and socket: the checks made before anything is sent, and the
// replies that must change nothing.
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "pages/form1.h"
#include "proto/eth_commands.h"
#include "proto/net_datagram.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "support/form_rig.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
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
    // The reply to the Ethernet read last sent.
    void ethReadReply(const QByteArray& payload)
    {
        QByteArray d(12, '\0');
        d[0] = char(net::SVC_READ | net::SVC_STATUS_OK);
        d[net::SEQ_AT] = char(e().ReadSeq & 0xFF);
        d[net::SEQ_AT + 1] = char(e().ReadSeq >> 8);
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
        rig->openPort();
    }
    void cleanup() { rig.reset(); }

    void engineeringValues_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("sent"); // value 0 on the wire; empty: nothing sent
        QTest::addColumn<QString>("message");
        QTest::newRow("2.5 rounds to 2") << false << "2.5" << QByteArray::fromHex("0200") << "";
        QTest::newRow("3.5 rounds to 4") << false << "3.5" << QByteArray::fromHex("0400") << "";
        QTest::newRow("-32768 ethernet") << true << "-32768" << QByteArray::fromHex("0080") << "";
        QTest::newRow("32768 refused") << false << "32768" << QByteArray() << "工程校准值超出范围!";
        QTest::newRow("empty box") << false << "" << QByteArray() << "工程校准值错误!";
        QTest::newRow("empty box ethernet") << true << "" << QByteArray() << "工程校准值错误!";
        QTest::newRow("nan") << false << "nan" << QByteArray() << "工程校准值错误!";
        QTest::newRow("-inf") << false << "-inf" << QByteArray() << "工程校准值错误!";
    }
    void engineeringValues()
    {
        QFETCH(bool, ethernet);
        QFETCH(QString, text);
        QFETCH(QByteArray, sent);
        QFETCH(QString, message);
        if (ethernet)
            useEthernet();
        for (auto* b : f->ui.prjTxt)
            b->setText(QStringLiteral("1"));
        f->ui.prjTxt[0]->setText(text);
        run(ethernet ? std::int16_t(net::QE_WRITE_PRJ_CAL) : std::int16_t(QS_WRITE_PRJ_CAL));
        QCOMPARE(boxes, message.isEmpty() ? QStringList() : QStringList{message});
        const QList<QByteArray>& written = ethernet ? rig->device.sent : rig->serial.written;
        if (sent.isEmpty()) {
            QVERIFY(written.isEmpty());
            QVERIFY(!e().Timer2.isActive()); // refused with its word: nothing waits
        } else {
            QCOMPARE(written.size(), 1);
            QCOMPARE(written[0].size(), ethernet ? 18 + 22 : 29);
            QCOMPARE(written[0].mid(ethernet ? 18 : 3, 4).toHex(' '), (sent + QByteArray::fromHex("0100")).toHex(' '));
        }
    }

    // A builder that refuses the user's input (a box changed after the click
    // was checked) says so and sends nothing; nothing waits for a reply, so no
    // "通讯超时" follows, and the dispatcher goes on with the read-back.
    void refusedWriteLeavesNothingWaiting_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::newRow("serial") << false;
        QTest::newRow("ethernet") << true;
    }
    void refusedWriteLeavesNothingWaiting()
    {
        QFETCH(bool, ethernet);
        if (ethernet)
            useEthernet();
        e().Timer1.setInterval(300); // as a start sets it
        for (auto* b : f->ui.txt_AIUp)
            b->setText(QStringLiteral("1"));
        for (auto* b : f->ui.txt_AIDown)
            b->setText(QStringLiteral("-1"));
        f->cmd_WriteAIWarning_Click();
        f->ui.txt_AIUp[3]->setText(QStringLiteral("abc"));
        e().Timer1_Timer();
        QCOMPARE(boxes, QStringList{"“通道3 报警上限”的值无法转换，参数未写入！请核查后再操作"});
        QVERIFY(rig->serial.written.isEmpty() && rig->device.sent.isEmpty());
        QVERIFY(!e().Timer2.isActive());
        QVERIFY(e().Timer1.isActive());
        QVERIFY(f->ui.Text2->text().isEmpty());
        e().Timer1_Timer();
        if (ethernet)
            QCOMPARE(rig->device.sent.size(), 1); // the alarm limits read back
        else
            QCOMPARE(rig->serial.writtenFns(), QList<int>{QS_READ_AI_ALARM});
    }

    // 内部校准 takes the 16 bits read signed or unsigned; anything else is
    // refused with the word naming the box, at the click and in the builder,
    // and nothing waits for a reply.
    void innerValues_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("sent"); // box 0 on the wire; empty: refused
        const std::pair<const char*, const char*> values[] = {
            {"32768", "0080"}, {"-1", "ffff"}, {"70000", ""}, {"65537", ""}, {"abc", ""}, {"-32769", ""}};
        for (const auto& [text, wire] : values)
            for (bool ethernet : {false, true})
                QTest::addRow("%s %s", text, ethernet ? "ethernet" : "serial")
                    << ethernet << QString::fromLatin1(text) << QByteArray::fromHex(wire);
    }
    void innerValues()
    {
        QFETCH(bool, ethernet);
        QFETCH(QString, text);
        QFETCH(QByteArray, sent);
        if (ethernet)
            useEthernet();
        for (auto* b : f->ui.txt_LeiCkeck)
            b->setText(QStringLiteral("1"));
        f->ui.txt_LeiCkeck[0]->setText(text);
        const auto top = e().CmdTop;
        f->Cmd_LeiCheck_Click();
        if (sent.isEmpty()) {
            const QString word = QStringLiteral("“通道0 内部校准值”的值无法转换，参数未写入！请核查后再操作");
            QCOMPARE(boxes, QStringList{word});
            QCOMPARE(e().CmdTop, top);
            run(ethernet ? std::int16_t(net::QE_WRITE_INNER_CAL) : std::int16_t(QS_WRITE_INNER_CAL));
            QCOMPARE(boxes, (QStringList{word, word}));
            QVERIFY(rig->serial.written.isEmpty() && rig->device.sent.isEmpty());
            QVERIFY(!e().Timer2.isActive());
        } else {
            e().Timer1_Timer();
            QVERIFY(boxes.isEmpty());
            const QByteArray frame = ethernet ? rig->device.sent.value(0) : rig->serial.written.value(0);
            QCOMPARE(frame.mid(ethernet ? 18 : 3, 4).toHex(' '), (sent + QByteArray::fromHex("0100")).toHex(' '));
        }
    }

    void writeprjEnabledOnlyByARead()
    {
        QVERIFY(!f->ui.cmdWriteprj->isEnabled());
        rig->serialReply(FN_READ_PRJ_CAL, QByteArray(20, '\0')); // one value short
        QVERIFY(!f->ui.cmdWriteprj->isEnabled());
        rig->serialReply(FN_READ_PRJ_CAL, QByteArray(22, '\0'));
        QVERIFY(f->ui.cmdWriteprj->isEnabled());
        f->cmdStop_Click();
        QVERIFY(!f->ui.cmdWriteprj->isEnabled());
    }

    void clockReplyCheckedAsAWhole()
    {
        for (QWidget* b : {static_cast<QWidget*>(f->ui.clkDate), static_cast<QWidget*>(f->ui.clkTime)})
            b->setEnabled(false);
        f->ui.clkDate->setDate(QDate(2020, 1, 1));
        rig->serialReply(FN_READ_CLOCK, QByteArray::fromHex("e807 021e 0e0709 02")); // 30 February
        QCOMPARE(f->ui.clkDate->date(), QDate(2020, 1, 1));
        QVERIFY(!f->ui.clkDate->isEnabled());
        QCOMPARE(f->ui.Text2->text(), QString()); // refused: no success text either
        rig->serialReply(FN_READ_CLOCK, QByteArray::fromHex("e807 0305 0e0709 07"));
        QCOMPARE(f->ui.clkDate->date(), QDate(2024, 3, 5));
        QCOMPARE(f->ui.clkTime->time(), QTime(14, 7, 9));
        QCOMPARE(f->ui.Combo_WeekDay->currentText(), QStringLiteral("日"));
        QVERIFY(f->ui.clkDate->isEnabled() && f->ui.cmdWrclock->isEnabled());
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("读实时时钟成功"));
    }

    // Weekday 0 is a clock without a weekday: the list is left empty, on both links.
    void weekdayZeroLeavesTheListEmpty()
    {
        f->ui.Combo_WeekDay->setCurrentIndex(2);
        rig->serialReply(FN_READ_CLOCK, QByteArray::fromHex("e807 0305 0e0709 00"));
        QCOMPARE(f->ui.clkDate->date(), QDate(2024, 3, 5));
        QCOMPARE(f->ui.clkTime->time(), QTime(14, 7, 9));
        QCOMPARE(f->ui.Combo_WeekDay->currentIndex(), -1);
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("读实时时钟成功"));

        useEthernet();
        f->ui.Combo_WeekDay->setCurrentIndex(2);
        run(net::QE_READ_WEEKDAY);
        QVERIFY(e().Timer2.isActive());
        ethReadReply(QByteArray(512, '\0'));
        QCOMPARE(f->ui.Combo_WeekDay->currentIndex(), -1);
        QVERIFY(!e().Timer2.isActive()); // resumed: no time-out follows
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
        ethReadReply(QByteArray(64, 'z') + tail);
        run(net::QE_WRITE_PDTAG);
        QCOMPARE(rig->device.sent.size(), 2);
        QCOMPARE(rig->device.sent.last().mid(18),
                 QByteArray("12345").leftJustified(32, '0') + QByteArray("AB").leftJustified(32, ' ') + tail);
        // Once sent, the block is spent.
        run(net::QE_WRITE_PDTAG);
        QCOMPARE(rig->device.sent.size(), 2);
    }

    // A click into a full MAC box selects its text, so typing replaces it.
    void macBoxClickedSelectsItsText()
    {
        auto* box = f->ui.txt_MAC[3];
        box->setText(QStringLiteral("3C"));
        for (int i = 0; i < f->ui.tabs->count(); ++i)
            if (f->ui.tabs->widget(i)->isAncestorOf(box))
                f->ui.tabs->setCurrentIndex(i);
        f->show();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        f->ui.txt_MAC[2]->setFocus();
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        QVERIFY(box->hasFocus());
        QTest::keyClicks(box, QStringLiteral("7e"));
        QCOMPARE(box->text(), QStringLiteral("7e"));
    }

    // A self-calibration that fails (here: a full stack) is logged under the
    // button's own procedure.
    void selfCalibrationErrorNamesItsButton()
    {
        const auto logged = [](const char* tag) {
            QFile log(QString::fromLatin1(ERROR_LOG_FILE));
            return log.open(QIODevice::ReadOnly) ? log.readAll().count(QByteArray("\"") + tag + "(Form1)\"") : 0;
        };
        const auto gain = logged("CmdGainE_Click"), offset = logged("CmdGainD_Click");
        e().CmdTop = Engine::STACK_TOP_MAX;
        f->CmdGainE_Click();
        f->CmdGainD_Click();
        QCOMPARE(logged("CmdGainE_Click"), gain + 1);
        QCOMPARE(logged("CmdGainD_Click"), offset + 1);
    }

    // 计算写入 computes only on the serial link, from boxes that hold numbers
    // and a result that fits its 16 bits; anything else is refused with its
    // word before anything is stored or queued.
    void coldJunctionRefusals_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::addColumn<QString>("channel7");
        QTest::addColumn<QString>("compensation");
        QTest::addColumn<QString>("message");
        const QString refused = QStringLiteral("“%1”的值无法转换，参数未写入！请核查后再操作");
        QTest::newRow("channel out of range") << false << "6001" << "0" << "通道温度值存在问题，请检查";
        QTest::newRow("ethernet") << true << "3000" << "0" << "以太网通讯不支持此功能，请使用串口通讯";
        QTest::newRow("channel no number") << false << "" << "0" << refused.arg("通道7 实时值");
        QTest::newRow("compensation no number") << false << "3000" << "abc" << refused.arg("冷端校准值");
        QTest::newRow("sum beyond 16 bits") << false << "3000" << "32768" << refused.arg("冷端校准值");
    }
    void coldJunctionRefusals()
    {
        QFETCH(bool, ethernet);
        QFETCH(QString, channel7);
        QFETCH(QString, compensation);
        QFETCH(QString, message);
        if (ethernet)
            useEthernet();
        for (int i = 0; i < 8; ++i)
            f->ui.ChnlDis[std::size_t(i)]->setText(i == 7 ? channel7 : QStringLiteral("3000"));
        f->ui.txtTempComp->setText(compensation);
        f->device().TempWriteValue = 123;
        const auto top = e().CmdTop;
        f->Cmd_Wtite_Temprature_Click();
        QCOMPARE(boxes, QStringList{message});
        QCOMPARE(e().CmdTop, top);
        QCOMPARE(f->device().TempWriteValue, std::int16_t(123));
    }
};

QTEST_MAIN(TestCalibRows)
#include "tst_calib_rows.moc"
