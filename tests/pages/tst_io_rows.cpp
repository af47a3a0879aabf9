// The input/output replies on the real window and the requests its builders
// send, with a stand-in port and socket.
#include "base/msgbox.h"
#include "device/colors.h"
#include "pages/form1.h"
#include "proto/eth_commands.h"
#include "proto/net_datagram.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "support/form_rig.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QtTest>

using namespace serial;

namespace {
QByteArray i16s(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v) {
        b.append(char(x & 0xFF));
        b.append(char((x >> 8) & 0xFF));
    }
    return b;
}
// DI 0x05, DO 0x02, output 0 at 4000, hardware address 7, battery 3.6 V.
const QByteArray DIDO_LONG = QByteArray::fromHex("0502a00f0000000000000000000000000000" "07" "24");
} // namespace

class TestIoRows : public QObject {
    Q_OBJECT
    std::unique_ptr<FormRig> rig;
    Form1* f = nullptr;

    Engine& e() { return f->engine(); }
    void run(std::int16_t code)
    {
        e().push(code);
        e().Timer1_Timer();
    }
    void ethernet()
    {
        f->ui.optComm[1]->setChecked(true);
        rig->device.bound = true;
    }
    void ethReply(int sub, const QByteArray& payload) { rig->ethernetRead(net::IDX_SYSTEM, sub, payload); }
    QString cell(int i) const { return f->ui.ChnlDis[std::size_t(i)]->text(); }
    // The AQ type lists filled as at Start, channel i showing type(i).
    void aqTypes(const std::function<int(int)>& type)
    {
        for (int i = 0; i < 8; ++i) {
            auto* types = f->ui.ComboType2[std::size_t(i)];
            types->addItems({QStringLiteral("电压输出"), QStringLiteral("电流输出"), QStringLiteral("开关量输出")});
            types->setCurrentIndex(type(i));
        }
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

    // An output value must be a number from 0 to 20: anything else is named
    // at once, with the focus on its box, and nothing is queued.
    void outputValueOutsideZeroToTwenty_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("nan") << "nan";
        QTest::newRow("inf") << "inf";
        QTest::newRow("1e12") << "1e12";
    }
    void outputValueOutsideZeroToTwenty()
    {
        QFETCH(QString, text);
        QStringList shown;
        setMsgResponder([&](const MsgRequest& r) {
            shown << r.text;
            return MsgAnswer::Ok;
        });
        for (auto* b : f->ui.txtAQ_Set)
            b->setText(QStringLiteral("10"));
        f->ui.txtAQ_Set[5]->setText(text);
        const auto top = e().CmdTop;
        f->cmdSetAO_Click();
        QCOMPARE(shown, QStringList{QStringLiteral("数值范围为0～20之间")});
        QCOMPARE(f->focusWidget(), f->ui.txtAQ_Set[5]);
        QCOMPARE(e().CmdTop, top);
    }

    void temperaturesAndTheirAverage()
    {
        QByteArray t = i16s({2996, 2996, 2996, 2996, 2996, 2996, 2996, 2996, 5000, -1, 0});
        rig->serialReply(FN_READ_TEMP, t);
        QCOMPARE(cell(0), QStringLiteral("2996"));
        QCOMPARE(cell(9), QStringLiteral("-1"));
        QCOMPARE(f->ui.Text_Average->text(), QStringLiteral("4"));
        t.replace(6, 2, i16s({1999}));
        rig->serialReply(FN_READ_TEMP, t);
        QCOMPARE(f->ui.Text_Average->text(), QStringLiteral("Error"));
        QCOMPARE(cell(3), QStringLiteral("1999")); // the grid still shows every reading
        QCOMPARE(cell(8), QStringLiteral("5000"));
        // Ethernet fills the grid and leaves the average alone.
        ethernet();
        ethReply(9, i16s({2990, 2990, 2990, 2990, 2990, 2990, 2990, 2990, 0, 0, 0}));
        QCOMPARE(cell(0), QStringLiteral("2990"));
        QCOMPARE(f->ui.Text_Average->text(), QStringLiteral("Error"));
    }

    void zeroCellsGoOutRoundedOrNotAtAll()
    {
        for (int i = 0; i < 11; ++i)
            f->ui.ChnlDis[std::size_t(11 + i)]->setText(QStringLiteral("0"));
        f->ui.ChnlDis[11]->setText(QStringLiteral("-3"));
        f->ui.ChnlDis[12]->setText(QStringLiteral("12.5"));
        f->ui.ChnlDis[13]->setText(QStringLiteral(" 13.5 "));
        run(QS_WRITE_ZERO);
        QCOMPARE(rig->serial.written.size(), 1);
        QCOMPARE(rig->serial.written[0].mid(3, 12).toHex(), QByteArray("fdffffff0c0000000e000000"));
        QCOMPARE(rig->serial.threshold, 51);
        f->ui.ChnlDis[20]->setText(QStringLiteral("abc"));
        run(QS_WRITE_ZERO);
        QCOMPARE(rig->serial.written.size(), 1); // refused with a word: nothing sent, nothing waits
        QVERIFY(!e().Timer2.isActive());
    }

    void sensorTypeReplyTakesTheDevicesCodes()
    {
        QByteArray codes(11, '\0');
        codes[0] = 3;
        codes[1] = 30; // beyond the list
        rig->serialReply(QS_WRITE_SENSOR_TYPE, codes);
        QCOMPARE(f->ui.ChnlSensor[0]->currentIndex(), 3);
        QCOMPARE(f->ui.ChnlSensor[1]->currentIndex(), -1);
        QCOMPARE(f->device().SysInfo.SensorType[1], std::uint8_t(30));
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("设置传感器类型成功"));
    }

    void didoByDevice_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("replyLen");
        QTest::addColumn<QString>("battery");
        QTest::newRow("type 7, 12855") << 7 << 12855 << 26 << "";
        QTest::newRow("type 7, 12856") << 7 << 12856 << 27 << "3.6";
        QTest::newRow("type 29, old firmware") << 29 << 0x1000 << 27 << "3.6";
        QTest::newRow("type 33, 0x2604: no battery byte") << 33 << 0x2604 << 26 << "";
        QTest::newRow("version from 0x8000 counts negative") << 7 << 0x8001 << 26 << "";
    }
    void didoByDevice()
    {
        QFETCH(int, type);
        QFETCH(int, version);
        QFETCH(int, replyLen);
        QFETCH(QString, battery);
        f->device().SysInfo.DeviceType = std::uint8_t(type);
        f->device().SysInfo.InnerVersion = std::uint16_t(version);
        f->device().DOClicks.pending = {0}; // a click not yet written
        f->ui.txtCellPressure->setText(QStringLiteral("old"));
        run(QS_READ_DIDO);
        QCOMPARE(rig->serial.threshold, replyLen);
        rig->serial.inject(buildFrame(FN_DIDO, DIDO_LONG.left(replyLen - 7)));
        QCOMPARE(f->ui.txtCellPressure->text(), battery);
        QCOMPARE(f->ui.txtAQ[0]->text(), QStringLiteral("4"));
        QCOMPARE(f->ui.txt_HardAddr->text(), QStringLiteral("7"));
        QCOMPARE(colors::background(f->ui.shpDI[0]), colors::ON);
        QVERIFY(colors::isFace(f->ui.shpDI[1]));
        QCOMPARE(colors::background(f->ui.shpDI[2]), colors::ON);
        QCOMPARE(colors::background(f->ui.cmdDO[0]), colors::ON); // off, with the click on its way
        QCOMPARE(colors::background(f->ui.cmdDO[1]), colors::ON);
        QVERIFY(f->ui.cmdDO[1]->isEnabled());
        QCOMPARE(f->device().DOState, (std::array<std::uint8_t, 2>{0, 1}));
        QCOMPARE(f->device().DOClicks.pending, std::deque<std::uint8_t>{0}); // the click stays the user's
    }

    // A DO click starts from the outputs as the device last reported them
    // (DO 1 on, whatever was sent before) and toggles its own output only; a
    // DI/DO reply between the click and the write moves the base, not the click.
    void doClickTogglesItsOwnOutputFromTheDevicesReport_data()
    {
        QTest::addColumn<bool>("eth");
        QTest::addColumn<int>("click");
        QTest::addColumn<int>("between"); // DO byte of a DI/DO reply after the click (-1: none)
        QTest::addColumn<int>("sent");
        QTest::addColumn<bool>("replaced"); // an earlier click on the other DO lost its write to a loaded list
        QTest::newRow("serial, DO 0") << false << 0 << -1 << 0x03 << false;
        QTest::newRow("serial, DO 1") << false << 1 << -1 << 0x00 << false;
        QTest::newRow("Ethernet, DO 0") << true << 0 << -1 << 0x03 << false;
        QTest::newRow("serial, a poll reply before the write") << false << 0 << 0x02 << 0x03 << false;
        QTest::newRow("Ethernet, a poll reply before the write") << true << 1 << 0x03 << 0x01 << false;
        QTest::newRow("serial, an earlier click's write replaced") << false << 0 << -1 << 0x03 << true;
    }
    void doClickTogglesItsOwnOutputFromTheDevicesReport()
    {
        QFETCH(bool, eth);
        QFETCH(int, click);
        QFETCH(int, between);
        f->device().SysInfo.DeviceType = 29;
        const auto report = [&](int dout) {
            QByteArray dido = DIDO_LONG;
            dido[1] = char(dout);
            if (eth)
                ethReply(13, dido);
            else
                rig->serialReply(FN_DIDO, dido);
        };
        if (eth)
            ethernet();
        report(0x02);
        QFETCH(bool, replaced);
        if (replaced) {
            f->cmdDO_Click(1 - click);
            e().loadList({QS_REFRESH_LIVE});
        }
        f->cmdDO_Click(click);
        if (between >= 0)
            report(between);
        QCOMPARE(e().top(), std::int16_t(14));
        e().Timer1_Timer();
        const QByteArray sent = eth ? rig->device.sent.last().mid(18) : rig->serial.written.last().mid(3, 1);
        QTEST(int(std::uint8_t(sent.at(0))), "sent");
        QVERIFY(f->device().DOClicks.pending.empty());
    }

    void ledsByLink()
    {
        QByteArray leds(18, '\0');
        leds[0] = 1;
        leds[2] = 2;
        colors::paint(f->ui.LightState[2], colors::ON);
        rig->serialReply(QS_READ_LAMP, leds);
        QCOMPARE(colors::background(f->ui.LightState[0]), colors::ON);
        QVERIFY(colors::isFace(f->ui.LightState[2])); // serial: anything but 1 is dark
        ethernet();
        colors::paint(f->ui.LightState[2], colors::ON);
        ethReply(10, leds);
        QCOMPARE(colors::background(f->ui.LightState[2]), colors::ON); // Ethernet: 2 leaves it
        f->LightState_Click(2);
        QCOMPARE(colors::background(f->ui.LightState[2]), colors::ON);
        e().Timer1_Timer();
        QCOMPARE(rig->device.sent.last().mid(18), leds.replace(2, 1, QByteArray(1, 1)));
    }

    // An LED click is written from the lamps the device last reported: a lamp
    // reply between the click and the write (the read-back of an earlier
    // click's write) moves the base, not the click, and the lamp shows it.
    void ledClickSurvivesAReplyBeforeItsWrite_data()
    {
        QTest::addColumn<bool>("eth");
        QTest::newRow("serial") << false;
        QTest::newRow("Ethernet") << true;
    }
    void ledClickSurvivesAReplyBeforeItsWrite()
    {
        QFETCH(bool, eth);
        if (eth)
            ethernet();
        QByteArray leds(18, '\0');
        const auto report = [&] { eth ? ethReply(10, leds) : rig->serialReply(QS_READ_LAMP, leds); };
        report();
        f->LightState_Click(1);
        leds[0] = 1;
        report();
        QCOMPARE(colors::background(f->ui.LightState[1]), colors::ON);
        QCOMPARE(e().top(), std::int16_t(QS_WRITE_LAMP));
        e().Timer1_Timer();
        const QByteArray sent = eth ? rig->device.sent.last().mid(18) : rig->serial.written.last().mid(3, 18);
        QCOMPARE(sent.toHex(), leds.replace(1, 1, QByteArray(1, 1)).toHex());
    }

    // The family of the switches (DO, LEDs, AQ-to-DQ), as a seeded random run
    // of clicks, device reports, dispatcher ticks whose writes are answered or
    // time out, loaded lists and Stop on each link: after every step each
    // switch shows the device's last known state (its report, or a write it
    // acknowledged) with the clicks whose writes are still queued applied, and
    // each write carries that state with its own click flipped.
    void switchesShowTheDeviceWithTheClicksStillQueued_data()
    {
        QTest::addColumn<bool>("eth");
        QTest::addColumn<int>("seed");
        for (int seed : {1, 2, 3}) {
            QTest::addRow("serial, seed %d", seed) << false << seed;
            QTest::addRow("Ethernet, seed %d", seed) << true << seed;
        }
    }
    void switchesShowTheDeviceWithTheClicksStillQueued()
    {
        QFETCH(bool, eth);
        QFETCH(int, seed);
        QRandomGenerator rnd{quint32(seed)};
        f->device().SysInfo.DeviceType = 29; // the long DI/DO block
        // The device that never answers a write: each ends by the engine's own
        // time (a short lost-reply time, or its reply time-out made short).
        constexpr int LOST_MS = 20;
        const auto start = [&] {
            if (eth)
                ethernet();
            e().timMscon.setInterval(LOST_MS);
            for (auto* b : f->ui.cmdDQ3)
                b->setEnabled(true); // switching channels
        };
        QSignalSpy ended(&e(), &Engine::replyLost);
        start();
        // Per bank: its buttons and codes, the device's states, the last known
        // ones and the clicks queued, oldest first.
        struct Bank {
            QList<QPushButton*> buttons;
            std::int16_t write, read;
            QByteArray device, known;
            QList<int> queued;
        };
        const auto bank = [](const auto& b, std::int16_t write, std::int16_t read) {
            return Bank{QList<QPushButton*>(b.begin(), b.end()), write, read, QByteArray(int(b.size()), 0), QByteArray(int(b.size()), 0), {}};
        };
        Bank banks[] = {bank(f->ui.cmdDO, QS_WRITE_DO, QS_READ_DIDO), bank(f->ui.LightState, QS_WRITE_LAMP, QS_READ_LAMP),
                        eth ? bank(f->ui.cmdDQ3, net::QE_WRITE_AQ_TO_DQ, net::QE_READ_AQ_TO_DQ)
                            : bank(f->ui.cmdDQ3, QS_WRITE_AQ_TO_DQ, QS_READ_AQ_TO_DQ)};
        const auto flip = [](QByteArray s, int i) {
            s[i] = char(s[i] ? 0 : 1);
            return s;
        };
        // The block a bank's read or write carries: the lamps byte by byte, else a bit per switch.
        const auto block = [](int k, const QByteArray& s, bool read) {
            int bits = 0;
            for (int i = 0; i < s.size(); ++i)
                bits |= s[i] ? 1 << i : 0;
            QByteArray b = k == 1 ? s : k == 0 && read ? DIDO_LONG : QByteArray(1, 0);
            if (k != 1)
                b[k == 0 && read ? 1 : 0] = char(bits);
            return b;
        };
        const auto answer = [&](std::int16_t code, bool write, const QByteArray& payload) {
            if (!eth)
                return rig->serial.event(buildFrame(findCommand(code)->fn, payload));
            const int seq = write ? e().WriteSeq : e().ReadSeq;
            QByteArray d(12, '\0');
            d[0] = char(write ? 0x4D : 0x4C);
            d[6] = char(seq & 0xFF);
            d[7] = char(seq >> 8);
            rig->device.deliver(write ? d : d + payload);
        };
        QString trail;
        for (int step = 0; step < 400 && !QTest::currentTestFailed(); ++step) {
            const int k = rnd.bounded(3);
            Bank& b = banks[k];
            const int what = rnd.bounded(20);
            if (what < 6) { // a click
                const int i = rnd.bounded(int(b.buttons.size()));
                trail += QStringLiteral(" click%1.%2").arg(k).arg(i);
                k == 0 ? f->cmdDO_Click(i) : k == 1 ? f->LightState_Click(i) : f->cmdDQ3_Click(i);
                b.queued << i;
            } else if (what < 8) { // the device changes on its own; a read of it is queued
                b.device[rnd.bounded(int(b.device.size()))] = char(rnd.bounded(2));
                e().push(b.read);
            } else if (what == 8) { // 设置参数's list takes the stack
                trail += QStringLiteral(" load");
                e().loadList({eth ? std::int16_t(net::QE_REFRESH_LIVE) : std::int16_t(QS_REFRESH_LIVE)});
                for (Bank& x : banks)
                    x.queued.clear();
            } else if (what == 9) { // 停止通讯, then a new start
                trail += QStringLiteral(" stop");
                e().closeLink();
                rig->openPort();
                start();
                for (Bank& x : banks) {
                    x.queued.clear();
                    x.known.fill(0);
                }
            } else if (e().CmdTop > 0) { // the dispatcher runs the top entry, answered or not
                const auto code = e().top();
                const auto x = std::find_if(std::begin(banks), std::end(banks), [code](const Bank& y) { return y.write == code || y.read == code; });
                QVERIFY(x != std::end(banks));
                const int n = int(x - std::begin(banks));
                const int sentBefore = eth ? int(rig->device.sent.size()) : int(rig->serial.written.size());
                e().Timer1_Timer();
                if (code == x->read) {
                    trail += QStringLiteral(" read%1").arg(n);
                    x->known = x->device;
                    answer(code, false, block(n, x->device, true));
                } else {
                    QVERIFY(!x->queued.isEmpty());
                    const QByteArray state = flip(x->known, x->queued.takeFirst());
                    const QByteArray out = block(n, state, false);
                    QCOMPARE(eth ? int(rig->device.sent.size()) : int(rig->serial.written.size()), sentBefore + 1);
                    const QByteArray sent = eth ? rig->device.sent.last().mid(18) : rig->serial.written.last().mid(3, out.size());
                    QVERIFY2(sent == out, qPrintable(trail));
                    const bool lost = rnd.bounded(4) == 0;
                    trail += QStringLiteral(" write%1%2").arg(n).arg(lost ? QStringLiteral(" timeout") : QString());
                    if (lost) {
                        const auto before = ended.size();
                        if (e().Timer2.isActive())
                            e().Timer2.start(LOST_MS);
                        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), before + 1, 2000);
                    } else {
                        x->device = x->known = state;
                        answer(code, true, out);
                    }
                }
            }
            for (const Bank& x : banks) {
                QByteArray shown = x.known;
                for (int i : x.queued)
                    shown = flip(shown, i);
                for (int i = 0; i < x.buttons.size(); ++i)
                    QVERIFY2((colors::background(x.buttons[i]) == colors::ON) == bool(shown[i]),
                             qPrintable(x.buttons[i]->objectName() + trail));
            }
        }
    }

    void aqAreaFollowsTheTypes()
    {
        aqTypes([](int i) { return i == 2 || i == 5 ? 2 : i == 1 ? 1 : 0; });
        f->ui.txt_AQV[2]->setText(QStringLiteral("1.000"));
        e().CmdTop = 0;
        f->SetAQDQChange();
        QCOMPARE(f->ui.lbl_unit0[0]->text(), QStringLiteral("V"));
        QCOMPARE(f->ui.lbl_unit0[1]->text(), QStringLiteral("mA"));
        QCOMPARE(f->ui.lbl_unit0[2]->text(), QString());
        QVERIFY(f->ui.txt_AQV[2]->text().isEmpty());
        QVERIFY(!f->ui.txt_AQM[10]->isEnabled());
        QVERIFY(f->ui.bt_FreshDQ->isEnabled());
        QVERIFY(f->ui.bt_WriteOrOut[3]->isEnabled());
        // The AQ-to-DQ read, then the zero/full read on top: it runs first.
        QCOMPARE(e().CmdTop, std::int16_t(2));
        QCOMPARE(e().CmdStack[1], std::int16_t(QS_READ_AQ_TO_DQ));
        QCOMPARE(e().CmdStack[2], std::int16_t(QS_READ_AQ_ZERO_FULL));

        // Only the switching channels can be switched on.
        rig->serialReply(QS_READ_AQ_TO_DQ, QByteArray(1, char(0xFF)));
        for (int i = 0; i < 8; ++i) {
            const bool dq = i == 2 || i == 5;
            QCOMPARE(f->device().AQtoDQState[std::size_t(i)], std::uint8_t(dq));
            QCOMPARE(colors::background(f->ui.cmdDQ3[std::size_t(i)]), dq ? colors::ON : colors::DQ_OFF);
        }
        f->cmdDQ3_Click(5);
        e().Timer1_Timer();
        QCOMPARE(rig->serial.written.last().mid(3, 1), QByteArray(1, 0x04));
    }

    void aqZeroFullShownWithThreeDecimals()
    {
        QByteArray b(64, '\0');
        b.replace(0, 2, i16s({1000}));
        b.replace(6, 2, i16s({20000}));
        b.replace(10, 2, i16s({-500}));
        rig->serialReply(QS_READ_AQ_ZERO_FULL, b);
        QCOMPARE(f->ui.txt_AQV[0]->text(), QStringLiteral("1.000"));
        QCOMPARE(f->ui.txt_AQM[8]->text(), QStringLiteral("20.000"));
        QCOMPARE(f->ui.txt_AQV[9]->text(), QStringLiteral("-0.500"));
    }

    // A switching channel's blank boxes go out as the points read from the
    // device on this link; without such a read, or with a blank box of an
    // output channel, the write stops.
    void aqZeroFullWriteWithSwitchingChannels()
    {
        aqTypes([](int i) { return i == 2 ? 2 : 0; });
        QByteArray b(64, '\0');
        b.replace(16, 8, i16s({111, 222, 333, 444})); // channel 2
        // The read fills the boxes; the switching channel's are then blank.
        const auto read = [&] {
            rig->serialReply(QS_READ_AQ_ZERO_FULL, b);
            for (int i = 0; i < 8; ++i) {
                const QString v = i == 2 ? QString() : QStringLiteral("2.5");
                f->ui.txt_AQV[std::size_t(i)]->setText(v);
                f->ui.txt_AQM[std::size_t(i)]->setText(v);
            }
        };
        read();
        const auto write = [this] {
            f->bt_WriteOrOut_Click(2);
            e().Timer1_Timer();
            return rig->serial.writtenFns().count(QS_WRITE_AQ_ZERO_FULL);
        };
        QCOMPARE(write(), 1);
        const QByteArray sent = rig->serial.written.last();
        QCOMPARE(sent.mid(3, 5).toHex(), QByteArray("02c409c409"));
        QCOMPARE(sent.mid(3 + 1 + 8, 4).toHex(), QByteArray("6f004d01")); // channel 2: 111, 333
        // Neither a new connection nor the AQ window (which writes the points
        // itself) leaves the block read before as the device's.
        for (bool aqWindow : {false, true}) {
            read();
            if (aqWindow) {
                f->TesterIpM = f->TesterIpV = QStringLiteral("127.0.0.1");
                f->ui.btShowAQ->click();
                f->aqcal().form()->close();
            } else {
                e().openSerial(e().port()->portName(), QStringLiteral("9600,N,8,1")); // a new connection
            }
            QCOMPARE(write(), 1);
        }
        rig->serialReply(QS_READ_AQ_ZERO_FULL, b);
        for (auto* box : {f->ui.txt_AQV[2], f->ui.txt_AQM[2]})
            box->clear();
        f->ui.txt_AQM[3]->clear();
        QCOMPARE(write(), 1);
    }

    // Each zero/full click writes the mode of its own button, whatever is
    // clicked after it before it goes out (-1: 读零点满度).
    void queuedZeroFullClicksKeepTheirMode_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QByteArray>("modes"); // as they go out, the last click first
        QTest::newRow("写满度, then 读零点满度") << QList<int>{3, -1} << QByteArray::fromHex("03");
        QTest::newRow("写零点, then 写满度") << QList<int>{2, 3} << QByteArray::fromHex("0302");
        QTest::newRow("输出满度, then 写零点") << QList<int>{1, 2} << QByteArray::fromHex("0201");
    }
    void queuedZeroFullClicksKeepTheirMode()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QByteArray, modes);
        aqTypes([](int) { return 0; });
        for (std::size_t i = 0; i < 16; ++i) {
            f->ui.txt_AQV[i]->setText(QStringLiteral("1.5"));
            f->ui.txt_AQM[i]->setText(QStringLiteral("4"));
        }
        for (int c : clicks)
            c < 0 ? f->bt_ReadAQZeroFull_Click() : f->bt_WriteOrOut_Click(c);
        QByteArray sent;
        for (int i = 0; i < clicks.size(); ++i) {
            e().Timer1_Timer();
            e().Timer2.stop();
            if (rig->serial.writtenFns().last() == QS_WRITE_AQ_ZERO_FULL)
                sent += rig->serial.written.last().at(3);
        }
        QCOMPARE(sent.toHex(), modes.toHex());
    }

    void aqZeroFullTwoStepWrites_data()
    {
        QTest::addColumn<bool>("viaFlag"); // the download's flag, else PendParam 8
        QTest::addColumn<bool>("answered"); // the first write's reply comes, else it is lost
        QTest::newRow("PendParam 8") << false << true;
        QTest::newRow("two-step flag") << true << true;
        QTest::newRow("two-step flag, first reply lost") << true << false;
    }
    void aqZeroFullTwoStepWrites()
    {
        QFETCH(bool, viaFlag);
        QFETCH(bool, answered);
        ethernet();
        for (int i = 0; i < 16; ++i) {
            f->ui.txt_AQV[std::size_t(i)]->setText(i < 8 ? QStringLiteral("1.5") : QStringLiteral("10.0005"));
            f->ui.txt_AQM[std::size_t(i)]->setText(QStringLiteral("4"));
        }
        e().AQZFTwoStep = viaFlag;
        e().PendParam = viaFlag ? 0 : 8;
        e().push(net::QE_WRITE_AQ_ZERO_FULL);
        e().push(net::QE_WRITE_AQ_ZERO_FULL);
        e().Timer1_Timer();
        const QByteArray first = rig->device.sent.last();
        QCOMPARE(first.mid(18, 3), QByteArray::fromHex("02dc05")); // zero values: 1500
        QCOMPARE(int(quint8(first[14])), viaFlag ? 2 : 9);
        // Answered or not, the second write sends the full-scale values.
        if (answered) {
            e().PendSubIndex = 18;
            QByteArray ack(12, '\0');
            ack[0] = 0x4D;
            ack[6] = char(e().WriteSeq & 0xFF);
            ack[7] = char(e().WriteSeq >> 8);
            rig->device.deliver(ack);
        } else {
            e().Timer2_Timer();
        }
        QVERIFY(!e().AQZFTwoStep);
        e().Timer1_Timer();
        const QByteArray second = rig->device.sent.last();
        QCOMPARE(second.mid(18, 3), QByteArray::fromHex("031027")); // full scale: 10000
        QCOMPARE(int(quint8(second[14])), viaFlag ? 3 : 0);
    }
};

QTEST_MAIN(TestIoRows)
#include "tst_io_rows.moc"
