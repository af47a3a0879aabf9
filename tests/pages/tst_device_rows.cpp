// The device data's builders and reply effects on the real window, with a
// stand-in port and socket: what goes on the wire, and what the controls show.
#include "base/msgbox.h"
#include "device/colors.h"
#include "pages/form1.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "support/form_rig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace serial;

class TestDeviceRows : public QObject {
    Q_OBJECT
    std::unique_ptr<FormRig> rig;
    Form1* f = nullptr;

    Engine& e() { return f->engine(); }
    void run(std::int16_t code)
    {
        e().push(code);
        e().Timer1_Timer();
    }

private Q_SLOTS:
    void init()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
        rig = std::make_unique<FormRig>();
        f = rig->f.get();
        rig->openPort();
    }
    void cleanup() { rig.reset(); }

    void idlePollAndDidoLength()
    {
        e().Timer1_Timer();
        QCOMPARE(rig->serial.written.last(), buildFrame(9));
        QCOMPARE(rig->serial.threshold, 29);
        e().Timer1_Timer();
        QCOMPARE(rig->serial.written.last(), buildFrame(13));
        QCOMPARE(rig->serial.threshold, 26);
        f->device().SysInfo.DeviceType = 29;
        run(QS_READ_DIDO);
        QCOMPARE(rig->serial.threshold, 27);
    }

    void inlineFramesFromThePage()
    {
        for (int i = 0; i < 8; ++i)
            f->ui.txt_LeiCkeck[std::size_t(i)]->setText(QString::number(i == 7 ? 40000 : -i));
        run(QS_WRITE_INNER_CAL);
        QCOMPARE(rig->serial.written.size(), 1);
        QCOMPARE(rig->serial.written[0].mid(3, 16).toHex(), QByteArray("0000ffff feff fdff fcff fbff faff 409c").replace(" ", ""));
        // A box that is not a number: the builder refuses it and nothing goes out.
        f->ui.txt_LeiCkeck[3]->setText(QStringLiteral("abc"));
        run(QS_WRITE_INNER_CAL);
        QCOMPARE(rig->serial.written.size(), 1);
        QVERIFY(!e().Timer2.isActive()); // refused with its word: nothing waits
        f->ui.ckProfibus->setChecked(true);
        run(QS_WRITE_PROFIBUS);
        QCOMPARE(rig->serial.written.last(), buildFrame(80, QByteArray(1, 1)));
        f->device().TempWriteValue = -2;
        run(QS_WRITE_COLD_CAL);
        QCOMPARE(rig->serial.written.last(), buildFrame(60, QByteArray::fromHex("feff")));
    }

    void doReplyAndRunStop()
    {
        f->device().DOByte = 2;
        rig->serialReply(14, QByteArray(1, 2));
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("设置DO值成功"));
        rig->serialReply(14, QByteArray(1, 3));
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("设置DO值失败"));
        QVERIFY(colors::isFace(f->ui.bt_RunStop));
        rig->serialReply(49, QByteArray(1, 0));
        QCOMPARE(colors::background(f->ui.bt_RunStop), colors::ON);
        rig->serialReply(49, QByteArray(1, 0));
        QVERIFY(colors::isFace(f->ui.bt_RunStop));
    }

    void ethernetInnerCalAndWeekday()
    {
        f->ui.optComm[1]->setChecked(true);
        e().PendIndex = 10003;
        e().PendSubIndex = 21;
        QByteArray d;
        for (int i = 0; i < 8; ++i)
            d += QByteArray::fromHex(i == 0 ? "feff" : "0100");
        rig->device.deliver(freshReadReply(e(), d));
        QCOMPARE(f->ui.txt_LeiCkeck[0]->text(), QStringLiteral("-2"));
        QCOMPARE(f->ui.txt_LeiCkeck[7]->text(), QStringLiteral("1"));
        // Weekday: the word at 128..129, 1 selects the first day.
        e().PendIndex = 107;
        e().PendSubIndex = 0;
        e().PendParam = 0;
        QByteArray w(128, 0);
        w[116] = 3;
        rig->device.deliver(freshReadReply(e(), w));
        QCOMPARE(f->ui.Combo_WeekDay->currentText(), QStringLiteral("三"));
        // Inner calibration write: 16 bytes from the boxes.
        rig->device.bound = true;
        rig->device.sent.clear();
        run(net::QE_WRITE_INNER_CAL);
        QCOMPARE(rig->device.sent.size(), 1);
        QCOMPARE(rig->device.sent[0].size(), 18 + 16);
        QCOMPARE(rig->device.sent[0].mid(18, 4).toHex(), QByteArray("feff0100"));
    }
};

QTEST_MAIN(TestDeviceRows)
#include "tst_device_rows.moc"
