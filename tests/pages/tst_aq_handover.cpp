// The AQ calibration window and the main page share one picture of the
// device: what the device reports or acknowledges to either is what both show
// and what the next write of either starts from; the page's answers are the
// page's whoever holds the link, and the window leaves the page's pending
// request, stack and marks as it found them. Run on both links against a
// device that answers every request it receives (or holds an answer back).
#include "base/msgbox.h"
#include "device/colors.h"
#include "pages/form1.h"
#include "proto/eth_commands.h"
#include "proto/net_datagram.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "support/form_rig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace serial;

namespace {
// DI 0x05, DO (byte 1), output 0 at 4000, hardware address 7, battery 3.6 V.
const QByteArray DIDO_LONG = QByteArray::fromHex("0502a00f0000000000000000000000000000" "07" "24");

// The device: its outputs, AQ-to-DQ switches, AQ types and zero/full block
// (per channel: voltage zero, voltage full, current zero, current full).
struct Device {
    quint8 dout = 0x02, dq = 0x40;
    QByteArray types = QByteArray::fromHex("0001000100010202");
    std::array<qint16, 32> zf{};
    QList<QByteArray> zfWrites; // every zero/full write payload, mode first
};

QByteArray i16(qint16 v) { return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF); }
qint16 i16At(const QByteArray& b, int at) { return qint16(quint8(b[at]) | (quint8(b[at + 1]) << 8)); }
QString point(qint16 v) { return QString::number(v / 1000.0, 'f', 3); }
} // namespace

class TestAqHandover : public QObject {
    Q_OBJECT
    FakeSerial serial;
    FakeUdp discovery, socket;
    std::unique_ptr<Form1> f;
    Device dev;
    bool eth = false;
    bool holding = false; // the device holds its answers back
    qsizetype seenSerial = 0, seenNet = 0;
    QList<QByteArray> held;
    std::optional<quint8> expectDo, expectDq; // what the next write must carry

    Engine& e() { return f->engine(); }
    Form_AQ* aq() { return f->aqcal().form(); }

    QByteArray serialAnswer(const QByteArray& frame)
    {
        const auto fn = quint8(frame[2]);
        const auto fnOf = [](std::int16_t code) { return int(findCommand(code)->fn); };
        // Each serial code as the service and sub-index of the same block on Ethernet.
        const std::tuple<int, bool, int> blocks[] = {
            {fnOf(QS_WRITE_DO), true, 14},           {fnOf(QS_WRITE_AQ_TO_DQ), true, 21},
            {fnOf(QS_WRITE_AQ_TYPE), true, 20},      {fnOf(QS_READ_AQ_TYPE), false, 17},
            {fnOf(QS_WRITE_AQ_ZERO_FULL), true, 18}, {fnOf(QS_READ_AQ_ZERO_FULL), false, 15},
            {FN_DIDO, false, 13},                    {fnOf(QS_READ_AQ_TO_DQ), false, 19}};
        for (const auto& [code, write, sub] : blocks)
            if (code == fn)
                return buildFrame(fn, answer(write, sub, frame.mid(PAYLOAD_AT, frame.size() - PAYLOAD_AT - 4)));
        return {};
    }
    // What the device does with a request of the service and sub-index, and
    // the payload it answers with.
    QByteArray answer(bool write, int sub, const QByteArray& p)
    {
        if (write && sub == 20) {
            dev.types = p.left(8);
            return dev.types;
        }
        if (write && sub == 18) {
            dev.zfWrites << p;
            const int mode = quint8(p[0]);
            for (int c = 0; c < 8 && (mode == 2 || mode == 3); ++c) {
                dev.zf[std::size_t(4 * c + (mode == 3 ? 1 : 0))] = i16At(p, 1 + 4 * c);
                dev.zf[std::size_t(4 * c + (mode == 3 ? 3 : 2))] = i16At(p, 3 + 4 * c);
            }
            return p;
        }
        if (write && (sub == 14 || sub == 21)) { // the serial reply echoes what the device now holds
            switched(sub == 14, p);
            return QByteArray(1, char(sub == 14 ? dev.dout : dev.dq));
        }
        QByteArray out;
        switch (sub) {
        case 17: return dev.types;
        case 15:
            for (auto v : dev.zf)
                out += i16(v);
            return out;
        case 13:
            out = DIDO_LONG;
            out[1] = char(dev.dout);
            return out;
        case 19: return QByteArray(1, char(dev.dq));
        default: return QByteArray(); // not this device's business here
        }
    }
    void switched(bool outputs, const QByteArray& p)
    {
        auto& expect = outputs ? expectDo : expectDq;
        (outputs ? dev.dout : dev.dq) = quint8(p[0]);
        const auto wanted = std::exchange(expect, std::nullopt);
        if (wanted)
            QCOMPARE(quint8(p[0]), *wanted); // the last known state with the user's own change
    }
    // Answers every request sent since the last call (or holds the answers back).
    void pump()
    {
        QList<QByteArray> out;
        for (; seenSerial < serial.written.size(); ++seenSerial)
            if (const QByteArray a = serialAnswer(serial.written[seenSerial]); !a.isEmpty())
                out << a;
        for (; seenNet < socket.sent.size(); ++seenNet) {
            const QByteArray& d = socket.sent[seenNet];
            const bool w = quint8(d[0]) == net::SVC_WRITE;
            const int sub = quint8(d[net::SUB_INDEX_AT]);
            const QByteArray p = answer(w, sub, w ? d.mid(18) : QByteArray());
            if (w || !p.isEmpty())
                out << QByteArray(1, char(w ? 0x4D : 0x4C)) + QByteArray(5, '\0') + d.mid(net::SEQ_AT, 2)
                        + QByteArray(4, '\0') + (w ? QByteArray() : p);
        }
        held += out;
        if (holding)
            return;
        for (const QByteArray& a : std::exchange(held, {}))
            eth ? socket.deliver(a) : serial.event(a);
    }
    // The page's dispatcher runs its stack down to the idle poll; `once`: one entry only.
    void tick(bool once = false)
    {
        for (int n = 0; n < 40 && e().CmdTop > 0 && !e().Timer2.isActive(); ++n) {
            e().Timer1_Timer();
            pump();
            if (once)
                return;
        }
    }
    void windowRuns()
    {
        for (int n = 0; n < 40 && (aq()->AQCmdStack.size() > 1 || aq()->Timer2.isActive()); ++n) {
            aq()->Timer1_Timer();
            pump();
        }
    }
    void click(const char* name) { aq()->findChild<QPushButton*>(QLatin1String(name))->click(); }

    // After every step: the page and the window show what the device holds.
    void faces(const QString& trail)
    {
        const auto on = [](QWidget* w) { return colors::background(w) == colors::ON; };
        if (!aq() && !holding && e().CmdTop == 0) {
            for (int i = 0; i < 2; ++i)
                QVERIFY2(on(f->ui.cmdDO[std::size_t(i)]) == bool((dev.dout >> i) & 1), qPrintable(trail));
            for (int i = 0; i < 8; ++i) {
                QVERIFY2(f->ui.ComboType2[std::size_t(i)]->currentIndex() == dev.types[i], qPrintable(trail));
                if (f->ui.cmdDQ3[std::size_t(i)]->isEnabled())
                    QVERIFY2(on(f->ui.cmdDQ3[std::size_t(i)]) == bool((dev.dq >> i) & 1), qPrintable(trail));
                if (dev.types[i] != 2) {
                    QVERIFY2(f->ui.txt_AQV[std::size_t(i)]->text() == point(dev.zf[std::size_t(4 * i)]), qPrintable(trail));
                    QVERIFY2(f->ui.txt_AQM[std::size_t(8 + i)]->text() == point(dev.zf[std::size_t(4 * i + 3)]), qPrintable(trail));
                }
            }
        }
        if (aq() && !holding && aq()->AQCmdStack.size() == 1 && !aq()->Timer2.isActive()) {
            aq()->Timer1_Timer(); // a tick of its own, as comes within half a second
            for (int i = 0; i < 2; ++i)
                QVERIFY2(aq()->ckDO[std::size_t(i)]->isChecked() == bool((dev.dout >> i) & 1), qPrintable(trail));
            for (int i = 0; i < 8; ++i) {
                QVERIFY2(aq()->ckDQ[std::size_t(i)]->isChecked() == bool((dev.dq >> i) & 1), qPrintable(trail));
                QVERIFY2(aq()->ComboAQType[std::size_t(i)]->currentIndex() == dev.types[i], qPrintable(trail));
            }
        }
    }

private Q_SLOTS:
    void init()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
        serial.written.clear();
        serial.input.clear();
        socket.sent.clear();
        socket.bound = false;
        Form1Options o;
        o.serial = &serial;
        o.discovery = &discovery;
        o.deviceSocket = &socket;
        o.platformPorts = false;
        f = std::make_unique<Form1>(o);
        f->TesterIpV = f->TesterIpM = QStringLiteral("127.0.0.1"); // nothing leaves this machine
        f->aqcal().measuringPort = 9;
        dev = {};
        for (int k = 0; k < 32; ++k)
            dev.zf[std::size_t(k)] = qint16(1000 * (k % 4) + 10 * k + 1);
        holding = false;
        seenSerial = seenNet = 0;
        held.clear();
        expectDo.reset();
        expectDq.reset();
    }
    void cleanup() { f.reset(); }

    // Steps: "open"/"close" the window; "wDO1"/"wDQ7" a window box switched
    // and written; "wType6" channel 6 made a voltage output and the types
    // written; "wZero" zero points typed and written; "wMeasure" the
    // measuring devices read; "pDO0"/"pDQ6" page clicks; "pZero" the page's
    // 写零点; "twoStep" a download's two zero/full writes queued; "tick"
    // the page's stack run down, "tick1" one entry; "hold"/"answer" the
    // device holds its answers back, then gives them.
    void oneDevicePicture_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::addColumn<QStringList>("steps");
        const auto row = [](const char* name, const char* steps) {
            for (bool link : {false, true})
                QTest::addRow("%s, %s", link ? "Ethernet" : "serial", name)
                    << link << QString::fromLatin1(steps).split(u' ');
        };
        row("the window's DO and DQ writes, then the page's clicks", "open wDO1 wDQ7 close pDQ6 tick pDO0 tick");
        row("the window's types, then the page", "open wType6 close tick");
        row("the window's zero points, then the page's zero write", "open wZero close tick pZero tick");
        row("a page write answered as the window opens", "pDQ6 hold tick1 open answer close tick");
        row("a download's second zero/full write around the window", "twoStep tick1 open wMeasure wDO1 close tick");
    }
    void oneDevicePicture()
    {
        QFETCH(bool, ethernet);
        QFETCH(QStringList, steps);
        eth = ethernet;
        f->device().SysInfo.DeviceType = 29; // the long DI/DO block
        f->engine().openSerial(QStringLiteral("pty"), QStringLiteral("9600,N,8,1"));
        f->engine().timMscon.setInterval(5000);
        if (eth) {
            f->ui.optComm[1]->setChecked(true);
            socket.bound = true;
        }
        // The page has read the device: its outputs, types, switches and points.
        e().push(eth ? std::int16_t(net::QE_READ_DIDO) : std::int16_t(QS_READ_DIDO));
        f->bt_ReadAQType_Click();
        tick();
        QString trail = QStringLiteral("start");
        faces(trail);
        struct Pending {
            int index, sub, param, top;
            bool twoStep;
            bool operator==(const Pending&) const = default;
        };
        const auto pending = [this] { return Pending{e().PendIndex, e().PendSubIndex, e().PendParam, e().CmdTop, e().AQZFTwoStep}; };
        std::optional<Pending> atOpen;
        for (const QString& st : steps) {
            trail += u' ' + st;
            if (st == QLatin1String("open")) {
                atOpen = pending();
                f->ui.btShowAQ->click();
            } else if (st == QLatin1String("close")) {
                // The window leaves the page's pending request, stack and marks as it found them.
                QVERIFY2(pending() == *atOpen, qPrintable(trail));
                aq()->close();
                QTRY_VERIFY(!aq());
            } else if (st == QLatin1String("wDO1") || st == QLatin1String("wDQ7")) {
                const bool outputs = st == QLatin1String("wDO1");
                (outputs ? expectDo : expectDq) = outputs ? dev.dout ^ 0x02 : dev.dq ^ 0x80;
                (outputs ? aq()->ckDO[1] : aq()->ckDQ[7])->click();
                click(outputs ? "cmdWriteDO" : "cmdWriteDQ");
                windowRuns();
                QVERIFY2(!(outputs ? expectDo : expectDq), qPrintable(trail)); // written
            } else if (st == QLatin1String("wType6")) {
                aq()->ComboAQType[6]->setCurrentIndex(0);
                click("cmdWriteType");
                windowRuns();
                QCOMPARE(dev.types[6], char(0));
            } else if (st == QLatin1String("wZero")) {
                aq()->txt_AQV[0]->setText(QStringLiteral("1.111"));
                aq()->txt_AQM[0]->setText(QStringLiteral("4.111"));
                click("cmdWriteZero");
                windowRuns();
                QCOMPARE(dev.zf[0], qint16(1111));
            } else if (st == QLatin1String("wMeasure")) {
                click("cmdMeasure");
                aq()->Timer1_Timer(); // the current read goes out; nobody answers on this port
                aq()->Timer2_Timer();
                aq()->Timer1_Timer(); // the voltage read
                aq()->Timer2_Timer();
            } else if (st == QLatin1String("pDO0")) {
                expectDo = dev.dout ^ 0x01;
                f->cmdDO_Click(0);
            } else if (st == QLatin1String("pDQ6")) {
                expectDq = dev.dq ^ 0x40;
                f->cmdDQ3_Click(6);
            } else if (st == QLatin1String("pZero")) {
                const int before = int(dev.zfWrites.size());
                f->bt_WriteOrOut_Click(2);
                tick();
                QCOMPARE(dev.zfWrites.size(), before + 1);
                QCOMPARE(i16At(dev.zfWrites.last(), 1), qint16(1111)); // what the window wrote, not the old point
            } else if (st == QLatin1String("twoStep")) {
                const auto code = eth ? std::int16_t(net::QE_WRITE_AQ_ZERO_FULL) : std::int16_t(QS_WRITE_AQ_ZERO_FULL);
                e().push(code);
                e().push(code);
                e().AQZFTwoStep = true;
                e().setParam(8);
            } else if (st == QLatin1String("tick") || st == QLatin1String("tick1")) {
                tick(st == QLatin1String("tick1"));
            } else if (st == QLatin1String("hold") || st == QLatin1String("answer")) {
                holding = st == QLatin1String("hold");
                pump();
            }
            faces(trail);
        }
        QVERIFY(!expectDo && !expectDq);
        if (steps.contains(QStringLiteral("twoStep"))) {
            // The zero points, then the full-scale points: both halves written.
            QCOMPARE(dev.zfWrites.size(), 2);
            QCOMPARE(int(quint8(dev.zfWrites[0][0])), 2);
            QCOMPARE(int(quint8(dev.zfWrites[1][0])), 3);
        }
    }
};

QTEST_MAIN(TestAqHandover)
#include "tst_aq_handover.moc"
