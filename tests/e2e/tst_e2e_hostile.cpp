// Hostile and broken input against the real window and the simulated device:
// each fault on each link gives its text, crashes nothing, applies nothing of
// a reply that was not taken, and the link works again once the fault is gone.
//
// The probe is the gateway read (a command that waits for its reply): before
// each row the device's gateway changes, so a reply that was taken shows in
// the gateway boxes and one that was not leaves them as they were.
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "devsim/serial_device.h"
#include "devsim/udp_device.h"
#include "e2e/window_rig.h"
#include "pages/form1.h"
#include "proto/eth_commands.h"
#include "proto/net_datagram.h"
#include "proto/serial_commands.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUdpSocket>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

enum class Fault {
    Drop,            // the reply never comes
    Delay,           // the reply comes after the time-out
    Truncate,        // half the reply
    CorruptCrc,
    CorruptMarkers,
    WrongFunction,   // a function code nobody asked for
    FailureStatus,
    WrongSequence,
    Duplicate,       // the reply datagram twice
    ForeignSender,   // the device is silent; another host sends the awaited reply
    SilentMidWrite,  // the device falls silent with a write outstanding
};

enum class Applied { No, Yes, Unchecked };

const char* const TIMEOUT = "通讯超时";
const char* const READ_OK = "读取网关信息成功";

} // namespace
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Applied)

class TestE2eHostile : public QObject {
    Q_OBJECT
    // One connected window per link, kept over the rows: each row also shows
    // that the window recovers from the fault before it.
    std::unique_ptr<SimSerialDevice> serialSim;
    std::unique_ptr<SimUdpDevice> udpSim;
    std::unique_ptr<Form1> serialWin, ethWin;
    QStringList serialTexts, ethTexts;
    quint8 gatewayByte = 10;
    QList<MsgRequest> boxes;

    Form1* window(bool eth)
    {
        if (eth && !ethWin) {
            udpSim = std::make_unique<SimUdpDevice>();
            const quint16 port = e2e::startLoopbackDevice(*udpSim);
            if (port)
                ethWin = e2e::connectedEthernetWindow(port, this, ethTexts);
        } else if (!eth && !serialWin) {
            serialSim = std::make_unique<SimSerialDevice>();
            if (serialSim->open())
                serialWin = e2e::connectedSerialWindow(*serialSim, this, serialTexts);
        }
        return eth ? ethWin.get() : serialWin.get();
    }
    SimFaults& faults(bool eth) { return eth ? udpSim->faults() : serialSim->faults(); }
    SimDeviceModel& model(bool eth) { return eth ? *udpSim->model() : *serialSim->model(); }
    // The window is idle: nothing queued, the dispatcher running.
    static bool idle(Form1* f) { return f->engine().CmdTop == 0 && f->engine().Timer1.isActive(); }
    // The probe request has reached the device.
    bool probeSent(bool eth) const
    {
        if (!eth)
            return serialSim->receivedFunctions().contains(quint8(serial::FN_READ_GATEWAY));
        for (const auto& r : udpSim->receivedRequests())
            if (r.index == net::IDX_COMM && r.subIndex == 5)
                return true;
        return false;
    }
    void clearLog(bool eth) { eth ? udpSim->clearLog() : serialSim->clearLog(); }
    // Runs `arm` once, as the device receives the next gateway request (read or
    // write) and before it answers: the fault hits that reply and no reply of
    // the idle poll.
    void armOnGatewayRequest(bool eth, std::function<void()> arm)
    {
        auto once = std::make_shared<QMetaObject::Connection>();
        auto fire = [once, arm] {
            QObject::disconnect(*once);
            arm();
        };
        if (eth)
            *once = connect(udpSim.get(), &SimUdpDevice::requestReceived, this,
                            [fire](quint8, quint16 index, quint16 sub, quint16, quint16, const QByteArray&) {
                                if (index == net::IDX_COMM && (sub == 5 || sub == 7))
                                    fire();
                            });
        else
            *once = connect(serialSim.get(), &SimSerialDevice::requestReceived, this, [fire](quint8 fn, const QByteArray&) {
                if (fn == serial::FN_READ_GATEWAY || fn == serial::FN_WRITE_GATEWAY)
                    fire();
            });
    }

private Q_SLOTS:
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& q) {
            boxes << q;
            return MsgAnswer::Ok;
        });
    }

    void faultyReplies_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Applied>("applied");
        const QString timeout = QString::fromUtf8(TIMEOUT);
        // A late serial reply meets the next request's threshold; what it does
        // then is the next reply's business, so only its text is checked.
        QTest::newRow("serial drop") << false << Fault::Drop << timeout << Applied::No;
        QTest::newRow("serial delay") << false << Fault::Delay << timeout << Applied::Unchecked;
        QTest::newRow("serial truncate") << false << Fault::Truncate << timeout << Applied::No;
        QTest::newRow("serial corrupted CRC") << false << Fault::CorruptCrc << QStringLiteral("CRC 校验错误") << Applied::No;
        QTest::newRow("serial corrupted end marker") << false << Fault::CorruptMarkers << timeout << Applied::No;
        QTest::newRow("serial wrong function code") << false << Fault::WrongFunction << QStringLiteral("无此功能号") << Applied::No;
        QTest::newRow("serial silent mid-write") << false << Fault::SilentMidWrite << timeout << Applied::No;
        QTest::newRow("ethernet drop") << true << Fault::Drop << timeout << Applied::No;
        QTest::newRow("ethernet delay") << true << Fault::Delay << timeout << Applied::No;
        QTest::newRow("ethernet failure status") << true << Fault::FailureStatus << QStringLiteral("读服务响应错误") << Applied::No;
        QTest::newRow("ethernet wrong sequence") << true << Fault::WrongSequence << timeout << Applied::No;
        QTest::newRow("ethernet duplicate datagram") << true << Fault::Duplicate << QString::fromUtf8(READ_OK) << Applied::Yes;
        QTest::newRow("ethernet foreign sender") << true << Fault::ForeignSender << timeout << Applied::No;
        QTest::newRow("ethernet silent mid-write") << true << Fault::SilentMidWrite << timeout << Applied::No;
    }
    void faultyReplies()
    {
        QFETCH(bool, ethernet);
        QFETCH(Fault, fault);
        QFETCH(QString, text);
        QFETCH(Applied, applied);
        Form1* f = window(ethernet);
        QVERIFY2(f, "the window did not connect to the simulated device");
        QStringList& texts = ethernet ? ethTexts : serialTexts;
        faults(ethernet).clear();
        QTRY_VERIFY_WITH_TIMEOUT(idle(f), 10000);

        // The device's gateway changes; the boxes still show the old one.
        const QString before = f->controls().text(QStringLiteral("txtGate"), 3);
        const quint8 next = ++gatewayByte;
        model(ethernet).gateway[3] = next;
        texts.clear();
        clearLog(ethernet);

        SimFaults& fx = faults(ethernet);
        armOnGatewayRequest(ethernet, [&fx, fault, ethernet] {
            switch (fault) {
            case Fault::Drop: fx.dropNext = 1; break;
            case Fault::Delay: fx.delayMs = ethernet ? 3600 : 1600; break;
            case Fault::Truncate: fx.truncateNext = 1; break;
            case Fault::CorruptCrc: fx.corruptCrcNext = 1; break;
            case Fault::CorruptMarkers: fx.corruptMarkersNext = 1; break;
            case Fault::WrongFunction: fx.wrongFnNext = 1; break;
            case Fault::FailureStatus: fx.failNext = 1; break;
            case Fault::WrongSequence: fx.wrongSeqNext = 1; break;
            case Fault::Duplicate: fx.duplicateNext = 1; break;
            case Fault::ForeignSender:
            case Fault::SilentMidWrite: fx.silent = true; break;
            }
        });

        if (fault == Fault::SilentMidWrite) {
            // The user's gateway goes out; the device never answers it.
            f->controls().setText(QStringLiteral("txtGate"), 3, QStringLiteral("77"));
            f->bt_NetGate_Click();
            QTRY_VERIFY_WITH_TIMEOUT(texts.contains(text), 8000);
            QVERIFY(!texts.contains(QStringLiteral("写入网关信息成功")));
            QVERIFY(!texts.contains(QString::fromUtf8(READ_OK)));
            QCOMPARE(f->controls().text(QStringLiteral("txtGate"), 3), QStringLiteral("77"));
            faults(ethernet).clear();
        } else {
            f->engine().push(ethernet ? std::int16_t(net::QE_READ_GATEWAY) : std::int16_t(serial::QS_READ_GATEWAY));
            QTRY_VERIFY_WITH_TIMEOUT(probeSent(ethernet), 5000);
            if (fault == Fault::ForeignSender) {
                // Another host on the network answers in the device's place,
                // with the sequence number the window waits for.
                QUdpSocket other;
                QVERIFY(other.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0));
                QByteArray d(12, '\0');
                d[0] = char(0x4C);
                d[6] = char(f->engine().ReadSeq & 0xFF);
                d[7] = char(f->engine().ReadSeq >> 8);
                d += QByteArray::fromHex("7f0000ddff000000");
                other.writeDatagram(d, QHostAddress::LocalHost, udpSim->port());
            }
            QTRY_VERIFY2_WITH_TIMEOUT(texts.contains(text), qPrintable(texts.join(QLatin1Char('|'))), 8000);
            faults(ethernet).clear();
            if (fault == Fault::Delay)
                QTest::qWait(1500); // the late reply lands before anything else is asked
            QTRY_VERIFY_WITH_TIMEOUT(idle(f), 10000);
            const QString shown = f->controls().text(QStringLiteral("txtGate"), 3);
            if (applied == Applied::No) {
                QCOMPARE(shown, before);
                QVERIFY(!texts.contains(QString::fromUtf8(READ_OK)));
            } else if (applied == Applied::Yes) {
                QCOMPARE(shown, QString::number(next));
                QCOMPARE(texts.count(QString::fromUtf8(READ_OK)), 1); // the copy was not taken again
            }
        }
        QVERIFY(boxes.isEmpty());

        // The fault is gone: the next read is taken.
        QTRY_VERIFY_WITH_TIMEOUT(idle(f), 10000);
        model(ethernet).gateway[3] = ++gatewayByte;
        texts.clear();
        f->engine().push(ethernet ? std::int16_t(net::QE_READ_GATEWAY) : std::int16_t(serial::QS_READ_GATEWAY));
        QTRY_COMPARE_WITH_TIMEOUT(f->controls().text(QStringLiteral("txtGate"), 3), QString::number(gatewayByte), 5000);
        QVERIFY(texts.contains(QString::fromUtf8(READ_OK)));
    }

    // A reply the device sent at once, held back by a message box the user
    // reads for longer than the request's time-out, is the request's answer
    // when the box closes: taken, not logged as unasked, no time-out.
    void serialReplyHeldBehindABoxIsTaken()
    {
        Form1* f = window(false);
        QVERIFY2(f, "the window did not connect to the simulated device");
        faults(false).clear();
        QTRY_VERIFY_WITH_TIMEOUT(idle(f), 10000);
        model(false).gateway[3] = ++gatewayByte;
        QFile log(QString::fromLatin1(ERROR_LOG_FILE));
        const auto unasked = [&log] {
            if (!log.open(QIODevice::ReadOnly))
                return 0;
            const int n = int(QString::fromUtf8(log.readAll()).count(QStringLiteral("未请求的应答")));
            log.close();
            return n;
        };
        const int unaskedBefore = unasked();
        bool replied = false;
        setMsgResponder([&](const MsgRequest& q) {
            boxes << q;
            for (int waited = 0; !replied && waited < 1000; waited += 10)
                QTest::qWait(10); // the reply is in while the box is open ...
            QTest::qWait(2500);   // ... and the box stays open past the 1000 ms time-out
            return MsgAnswer::Ok;
        });
        QObject context;
        connect(serialSim.get(), &SimSerialDevice::replySent, &context, [&](quint8 fn, const QByteArray&) {
            replied = replied || fn == serial::FN_READ_GATEWAY;
        });
        armOnGatewayRequest(false, [] { QTimer::singleShot(0, [] { MsgBox(QStringLiteral("用户正在阅读的提示")); }); });
        serialTexts.clear();
        f->engine().push(serial::QS_READ_GATEWAY);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(f->controls().text(QStringLiteral("txtGate"), 3), QString::number(gatewayByte), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(idle(f), 5000);
        QVERIFY2(serialTexts.contains(QString::fromUtf8(READ_OK)), qPrintable(serialTexts.join(QLatin1Char('|'))));
        QVERIFY(!serialTexts.contains(QString::fromUtf8(TIMEOUT)));
        QCOMPARE(unasked(), unaskedBefore);
    }

    // A well-formed frame of another code answers the temperature poll with
    // engineering values: nobody asked for them, so the boxes keep what the
    // device's own read filled, and the next 校准 writes that back.
    void serialFrameOfAnotherCodeGoesNowhere()
    {
        Form1* f = window(false);
        QVERIFY2(f, "the window did not connect to the simulated device");
        faults(false).clear();
        QTRY_VERIFY_WITH_TIMEOUT(idle(f), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(f->ui.cmdWriteprj->isEnabled(), 5000); // read in this connection
        const auto shown = [f] {
            QStringList out;
            for (auto* box : f->ui.prjTxt)
                out << box->text();
            return out;
        };
        const QStringList read = shown();
        const auto held = model(false).prjCal;
        QByteArray other;
        for (int i = 0; i < 11; ++i)
            other.append(char((1000 + i) & 0xFF)).append(char((1000 + i) >> 8));

        int receivedThen = -1;
        QObject context;
        connect(serialSim.get(), &SimSerialDevice::replySent, &context, [&](quint8 fn, const QByteArray&) {
            if (fn == serial::FN_READ_PRJ_CAL && receivedThen < 0)
                receivedThen = f->engine().RxCount;
        });
        serialTexts.clear();
        serialSim->answerWithOtherCode(serial::FN_READ_TEMP, serial::FN_READ_PRJ_CAL, other);
        QTRY_VERIFY_WITH_TIMEOUT(receivedThen >= 0, 5000);
        // The frame and the poll's next reply have come in: counted, nothing shown.
        QTRY_VERIFY_WITH_TIMEOUT(f->engine().RxCount > receivedThen + 1, 5000);
        QCOMPARE(shown(), read);
        QVERIFY(!serialTexts.contains(QStringLiteral("读工程校准值成功")));

        f->ui.cmdWriteprj->click();
        QTRY_VERIFY_WITH_TIMEOUT(serialTexts.contains(QStringLiteral("置工程校准值成功")), 5000);
        QCOMPARE(model(false).prjCal, held);
        QTRY_VERIFY_WITH_TIMEOUT(serialTexts.contains(QStringLiteral("读工程校准值成功")), 5000);
        QCOMPARE(shown(), read);
    }

    void serialPortVanishes()
    {
        Form1* f = window(false);
        QVERIFY(f);
        QTRY_VERIFY_WITH_TIMEOUT(idle(f), 10000);
        serialSim->close(); // the pseudo-terminal goes away under the open link
        QTRY_COMPARE_WITH_TIMEOUT(boxes.size(), 1, 5000);
        QCOMPARE(boxes[0].title, QStringLiteral("请注意串行口错误!"));
        QVERIFY(boxes[0].text.contains(QStringLiteral("读 comm 设备错误")));
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("请确认设置正确后,重新开始"));
        QVERIFY(!f->engine().Timer1.isActive() && !f->engine().Timer2.isActive());
        QVERIFY(f->ui.StartRun->isEnabled());
        QTest::qWait(1500);
        QCOMPARE(boxes.size(), 1); // told once
        serialWin.reset();
        serialSim.reset();
    }

    void discoveryPortInUse()
    {
        // Another program holds the discovery port exclusively.
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::DontShareAddress));
        Form1Options o;
        o.platformPorts = false;
        o.discoveryPort = holder.localPort();
        Form1 f(o);
        f.ui.optComm[1]->setChecked(true);
        f.StartRun_Click();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("请注意Winsock错误!"));
        QVERIFY(boxes[0].text.contains(QStringLiteral("指定的端口被其他程序占用")));
        QCOMPARE(f.ui.Text2->text(), QStringLiteral("请排除错误原因后,重新开始"));
        QVERIFY(f.ui.StartRun->isEnabled());
        QVERIFY(!f.engine().Timer1.isActive());
    }

    void fullCommandStack()
    {
        Form1* f = window(true);
        QVERIFY(f);
        QTRY_VERIFY_WITH_TIMEOUT(idle(f), 10000);
        Engine& e = f->engine();
        // The stack is full of idle polls; the dispatcher is held meanwhile.
        e.Timer1.stop();
        std::vector<std::int16_t> full(Engine::STACK_TOP_MAX + 1, std::int16_t(net::QE_REFRESH_LIVE));
        e.loadList(full);
        const QString before = f->controls().text(QStringLiteral("txtGate"), 3);
        f->bt_NetGate_Click(); // refused: the stack stays as it was
        QCOMPARE(int(e.CmdTop), Engine::STACK_TOP_MAX);
        QCOMPARE(e.top(), std::int16_t(net::QE_REFRESH_LIVE));
        QVERIFY(boxes.isEmpty());
        // The dispatcher goes on with what is queued.
        e.Timer1_Timer();
        QCOMPARE(int(e.CmdTop), Engine::STACK_TOP_MAX - 1);
        e.CmdTop = 0;
        e.replyDone();
        QCOMPARE(f->controls().text(QStringLiteral("txtGate"), 3), before);
        // And the link works.
        model(true).gateway[3] = ++gatewayByte;
        f->engine().push(std::int16_t(net::QE_READ_GATEWAY));
        QTRY_COMPARE_WITH_TIMEOUT(f->controls().text(QStringLiteral("txtGate"), 3), QString::number(gatewayByte), 5000);
    }

    void cleanupTestCase()
    {
        serialWin.reset();
        ethWin.reset();
        serialSim.reset();
        udpSim.reset();
    }
};

QTEST_MAIN(TestE2eHostile)
#include "tst_e2e_hostile.moc"
