// The Ethernet side of the engine against a stand-in socket: the rows, the
// idle poll, the two senders, the reply checks and the reply dispatch.
#include "base/msgbox.h"
#include "link/engine.h"
#include "proto/eth_commands.h"
#include "proto/eth_replies.h"
#include "proto/net_datagram.h"
#include "support/fakes.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace net;

namespace {
// A reply datagram: service byte, sequence echo, payload from byte 12.
QByteArray reply(quint8 first, quint16 seq, const QByteArray& payload = {})
{
    QByteArray d(12, '\0');
    d[0] = char(first);
    d[6] = char(seq & 0xFF);
    d[7] = char(seq >> 8);
    return d + payload;
}
int u16(const QByteArray& d, int at) { return quint8(d[at]) | (quint8(d[at + 1]) << 8); }
} // namespace

class TestEngineEth : public QObject {
    Q_OBJECT
    FakeSerial port;
    FakeUdp* sock = nullptr;
    FakeView* view = nullptr;
    RecordingNeighbours* nb = nullptr;
    Engine* e = nullptr;
    QList<MsgRequest> boxes;

    void tick() { e->Timer1_Timer(); }
    // Each answers the newest request of its service, asking the pending
    // request first when that one was answered already (one reply per request is taken).
    int unansweredRead = -1, unansweredWrite = -1;
    void readReply(const QByteArray& payload = QByteArray(100, 0))
    {
        if (std::exchange(unansweredRead, -1) != e->ReadSeq)
            e->ReadCmd();
        unansweredRead = -1;
        sock->deliver(reply(0x4C, quint16(e->ReadSeq), payload));
    }
    void writeReply()
    {
        if (std::exchange(unansweredWrite, -1) != e->WriteSeq)
            e->WriteCmd();
        unansweredWrite = -1;
        sock->deliver(reply(0x4D, quint16(e->WriteSeq)));
    }

private Q_SLOTS:
    void init()
    {
        sock = new FakeUdp;
        view = new FakeView;
        view->option = 1;
        nb = new RecordingNeighbours;
        e = new Engine(view, nb, &port);
        e->setDeviceSocket(sock);
        e->aimDevice(QStringLiteral("127.0.0.2"), 9000);
        unansweredRead = unansweredWrite = -1;
        connect(e, &Engine::datagramSent, e, [this](const QByteArray& d) {
            (quint8(d[0]) == SVC_READ ? unansweredRead : unansweredWrite) = u16(d, 6);
        });
        sock->sent.clear();
        e->timMscon.setInterval(5000);
        e->Timer1.setInterval(300);
        e->CmdStack[0] = QE_REFRESH_LIVE;
        boxes.clear();
        setMsgResponder([this](const MsgRequest& q) {
            boxes << q;
            return MsgAnswer::Ok;
        });
    }
    void cleanup()
    {
        delete e;
        delete nb;
        delete view;
        delete sock;
    }

    void idlePollAlternatesAndRestoresThePace()
    {
        e->Timer1.setInterval(10);
        e->DisplayMode = 1;
        tick();
        tick();
        e->DisplayMode = 2;
        tick();
        QCOMPARE(sock->sent.size(), 3);
        QCOMPARE(u16(sock->sent[0], 12), 8);  // A/D
        QCOMPARE(u16(sock->sent[1], 12), 13); // AO, DI, DO
        QCOMPARE(u16(sock->sent[2], 12), 12); // voltage
        QCOMPARE(u16(sock->sent[0], 10), 10003);
        QCOMPARE(e->Timer1.interval(), 300);
        QCOMPARE(e->CmdTop, std::int16_t(0));
        // A display mode that is none of the three sends nothing but still moves on.
        e->DisplayMode = 7;
        tick(); // DI/DO
        tick(); // nothing
        tick(); // DI/DO
        QCOMPARE(sock->sent.size(), 5);
    }

    void readRequestSequenceAndSlaveRows()
    {
        e->ReadSeq = 65534;
        e->push(QE_READ_ZERO);
        tick();
        QCOMPARE(u16(sock->sent.last(), 6), 65535);
        e->push(QE_READ_ZERO);
        tick();
        QCOMPARE(u16(sock->sent.last(), 6), 0);
        QVERIFY(e->timMscon.isActive());
        QVERIFY(e->StatusText.isEmpty());
        // The slave row's parameter is left by its pusher and stepped by each read.
        e->PendParam = 0x0105;
        e->push(QE_READ_SLAVE);
        tick();
        QCOMPARE(sock->sent.last().mid(14, 2), QByteArray::fromHex("0501"));
        QCOMPARE(e->PendParam, 0x0106);
        // The reply echoing 0 is accepted after the wrap.
        e->push(QE_READ_ZERO);
        e->ReadSeq = 65535;
        tick();
        sock->deliver(reply(0x4C, 0, QByteArray(100, 0)));
        QCOMPARE(view->text2, QStringLiteral("读零点数据成功"));
    }

    void writesAndTheirBuilders()
    {
        // A builder that ends early sends nothing; the time-out reports the loss.
        e->setEthBuilder(QE_WRITE_ZERO, [] { throw std::runtime_error("bad input"); });
        e->push(QE_WRITE_ZERO);
        tick();
        QVERIFY(sock->sent.isEmpty());
        QVERIFY(e->Timer2.isActive());
        QCOMPARE(e->Timer2.interval(), 5000);
        e->Timer2_Timer();
        QCOMPARE(view->text2, QStringLiteral("通讯超时"));
        // A complete payload goes out behind the 18-byte header.
        e->setEthBuilder(QE_WRITE_SYS_INFO, [this] { e->WritePayload = QByteArray(84, 7); });
        e->push(QE_WRITE_SYS_INFO);
        tick();
        QCOMPARE(sock->sent.size(), 1);
        QCOMPARE(sock->sent[0].size(), 102);
        QCOMPARE(u16(sock->sent[0], 4), 102);
        QCOMPARE(e->timMscon.interval(), 10000); // sub-index 4
        QCOMPARE(view->text2, QStringLiteral("正在写入系统参数，请等待"));
        writeReply();
        QCOMPARE(view->text2, QStringLiteral("写系统参数成功"));
        QVERIFY(e->Timer1.isActive() && !e->Timer2.isActive());
        // The inner calibration needs its builder registered by the device data.
        e->push(QE_WRITE_INNER_CAL);
        tick();
        QCOMPARE(sock->sent.size(), 1);
    }

    void replyChecks()
    {
        e->push(QE_READ_CLOCK);
        tick();
        e->Timer1.stop();
        e->Timer2.start();
        // Failure status: the text, and the dispatcher goes on.
        sock->deliver(reply(0x0C, quint16(e->ReadSeq)));
        QCOMPARE(view->text2, QStringLiteral("读服务响应错误"));
        QVERIFY(e->Timer1.isActive() && !e->Timer2.isActive());
        e->WriteCmd();
        sock->deliver(reply(0x8D, quint16(e->WriteSeq)));
        QCOMPARE(view->text2, QStringLiteral("写服务失败"));
        // A failure status needs only its byte.
        view->text2.clear();
        e->Timer1.stop();
        e->Timer2.start();
        sock->deliver(QByteArray(1, 0x0D));
        QCOMPARE(view->text2, QStringLiteral("写服务失败"));
        QVERIFY(e->Timer1.isActive() && !e->Timer2.isActive());
        // A wrong sequence number, an unknown service or a stub: counted, nothing else.
        view->text2.clear();
        e->Timer1.stop();
        sock->deliver(reply(0x4C, quint16(e->ReadSeq + 1)));
        sock->deliver(reply(0x4E, quint16(e->ReadSeq)));
        sock->deliver(QByteArray(3, 0x4C));
        e->WriteSeq = 9;
        sock->deliver(reply(0x4D, quint16(e->ReadSeq))); // echoes the read's number
        QVERIFY(view->text2.isEmpty());
        QVERIFY(!e->Timer1.isActive());
        // Another sender than the chosen device: counted, nothing else.
        Q_EMIT sock->foreignDatagram();
        QVERIFY(!e->Timer1.isActive());
        QCOMPARE(e->NetRxCount, 8);
        QCOMPARE(view->text4, QStringLiteral("8"));
        // While the AQ window is open, the answers to its own requests are its own.
        nb->aqOpen = true;
        e->windowRequest(1000, [this] { e->sendRead(10003, 17, 0); });
        sock->deliver(reply(0x0C, quint16(e->ReadSeq)));
        QCOMPARE(nb->calls, QStringList{QStringLiteral("OnDevReturnFromSock")});
        QCOMPARE(e->answered().subIndex, 17);
        QCOMPARE(e->NetRxCount, 9);
    }

    // A reply is the answer to the request whose number it carries, read by
    // that request's own sub-index; a write no time-out waits for (the
    // lamps) still ends once: by its answer, its lost-reply time, or the
    // device's answer to a request sent after it, and its end is told once.
    // Steps: "L" the lamp write goes out, "P" the idle poll's live read,
    // "rL"/"rP" their answers, "w" a wait past the lost-reply time.
    void writeEndsOnceByItsAnswerOrItsTime_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("lost");
        const auto row = [](const char* name, const char* steps, QStringList shown, int lost) {
            QTest::newRow(name) << QString::fromLatin1(steps).split(QLatin1Char(' ')) << shown << lost;
        };
        const QString lamps = QStringLiteral("写小灯成功"), poll = QStringLiteral("读温度值成功");
        row("answered in time", "L rL", {lamps}, 0);
        row("answered after a read went out", "L P rL rP", {lamps, poll}, 0);
        row("never answered", "L w", {}, 1);
        row("a later request answered first", "L P rP rL", {poll}, 1);
        row("answered after its time", "L w rL", {}, 1);
    }
    void writeEndsOnceByItsAnswerOrItsTime()
    {
        QFETCH(QStringList, steps);
        constexpr int LOST_MS = 100;
        e->timMscon.setInterval(LOST_MS);
        e->setEthBuilder(QE_WRITE_LAMP, [this] { e->WritePayload = QByteArray(18, 1); });
        QSignalSpy lost(e, &Engine::replyLost);
        quint16 lampSeq = 0, pollSeq = 0;
        for (const QString& st : steps) {
            if (st == QLatin1String("L")) {
                e->push(QE_WRITE_LAMP);
                tick();
                lampSeq = quint16(e->WriteSeq);
                view->history.clear(); // its wait text
            } else if (st == QLatin1String("P")) {
                tick();
                pollSeq = quint16(e->ReadSeq);
            } else if (st == QLatin1String("w")) {
                QTest::qWait(LOST_MS + 60);
            } else {
                const bool lamp = st == QLatin1String("rL");
                sock->deliver(lamp ? reply(0x4D, lampSeq) : reply(0x4C, pollSeq, QByteArray(22, 0)));
            }
        }
        QTEST(view->history, "shown");
        QTEST(int(lost.size()), "lost");
        for (const auto& args : lost)
            QCOMPARE(args.at(0).value<std::int16_t>(), std::int16_t(QE_WRITE_LAMP));
    }

    // A write the device refused keeps its verdict: the read-back queued
    // under it shows no success text; a read queued after the idle poll does.
    // The refusal belongs to the list it came from: its read-backs show it,
    // an entry the user pushes or loads meanwhile shows its own reply.
    void refusedWriteKeepsItsVerdict_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("then"); // what the user does around the read-back
        QTest::addColumn<QString>("shown"); // by the last reply
        QTest::newRow("accepted") << false << "" << "读实时时钟成功";
        QTest::newRow("refused") << true << "" << "写服务失败";
        QTest::newRow("refused, then the idle poll") << true << "poll" << "读实时时钟成功";
        QTest::newRow("refused, then a read pushed before the idle poll") << true << "push" << "读实时时钟成功";
        QTest::newRow("refused, then a list loaded before the read-back") << true << "load" << "读实时时钟成功";
        QTest::newRow("refused, a read pushed while the write waited") << true << "wait" << "写服务失败";
    }
    void refusedWriteKeepsItsVerdict()
    {
        QFETCH(bool, refused);
        QFETCH(QString, then);
        e->setEthBuilder(QE_WRITE_CLOCK, [this] {
            e->WritePayload = QByteArray(7, 0);
            e->WriteCmd();
        });
        const auto readReplied = [this] { sock->deliver(reply(0x4C, quint16(e->ReadSeq), QByteArray(7, 1))); };
        e->push(QE_READ_CLOCK);
        e->push(QE_WRITE_CLOCK);
        tick();
        if (then == QLatin1String("wait"))
            e->push(QE_READ_CLOCK); // over the read-back
        sock->deliver(reply(refused ? 0x0D : 0x4D, quint16(e->WriteSeq)));
        if (then == QLatin1String("wait")) {
            tick();
            readReplied();
            QCOMPARE(view->text2, QStringLiteral("读实时时钟成功"));
        }
        if (then == QLatin1String("load"))
            e->loadList({QE_REFRESH_LIVE, QE_READ_CLOCK});
        tick(); // the read-back
        readReplied();
        if (then == QLatin1String("poll") || then == QLatin1String("push")) {
            QCOMPARE(view->text2, QStringLiteral("写服务失败"));
            if (then == QLatin1String("poll"))
                tick();
            e->push(QE_READ_CLOCK);
            tick();
            readReplied();
        }
        QTEST(view->text2, "shown");
    }

    void readBranches_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sub");
        int n = 0;
        const auto* rows = ethReplyRows(&n);
        for (int i = 0; i < n; ++i) {
            const auto& r = rows[i];
            const QString a = QString::fromLatin1(r.action ? r.action : "");
            if (a == QLatin1String("userBlockDump") || a == QLatin1String("firmwareStart") || r.subIndex == ANY_SUB)
                continue;
            QTest::addRow("%s %d/%d", r.write ? "write" : "read", r.index, r.subIndex) << r.write << r.index << r.subIndex;
        }
    }
    void readBranches()
    {
        QFETCH(bool, write);
        QFETCH(int, index);
        QFETCH(int, sub);
        const auto* row = findEthReply(write, index, sub, sub);
        QVERIFY(row);
        e->PendIndex = index;
        e->PendSubIndex = index == IDX_MEM && !write ? 0 : sub;
        e->PendParam = sub;
        write ? e->WriteCmd() : e->ReadCmd();
        e->Timer1.stop();
        e->Timer2.start();
        sock->deliver(reply(write ? 0x4D : 0x4C, quint16(write ? e->WriteSeq : e->ReadSeq), QByteArray(140, 1)));
        if (row->text)
            QVERIFY(view->history.contains(QString::fromUtf8(row->text)));
        QCOMPARE(e->Timer1.isActive(), row->timers);
        QCOMPARE(e->Timer2.isActive(), !row->timers);
    }

    void branchEffects()
    {
        // Sensor types written: the system information is read back next,
        // once, however often the device repeats its reply.
        e->PendIndex = IDX_SYSTEM;
        e->PendSubIndex = 5;
        writeReply();
        sock->deliver(reply(0x4D, quint16(e->WriteSeq)));
        QCOMPARE(e->top(), std::int16_t(QE_READ_SYS_INFO));
        QCOMPARE(e->CmdTop, std::int16_t(1));
        // ...unless the record's own write still waits: the read would run
        // first and put the old record over the one to be written.
        e->loadList({QE_REFRESH_LIVE, QE_WRITE_SYS_INFO, QE_WRITE_AI_ALARM});
        e->PendSubIndex = 5;
        writeReply();
        QCOMPARE(e->CmdTop, std::int16_t(2));
        QCOMPARE(e->top(), std::int16_t(QE_WRITE_AI_ALARM));
        // Two-step AQ zero/full write.
        e->AQZFTwoStep = true;
        e->PendSubIndex = 18;
        writeReply();
        QCOMPARE(e->PendParam, 3);
        QVERIFY(!e->AQZFTwoStep);
        // AQ type written after an image download, then again.
        e->AQTypeChanged = true;
        e->PendSubIndex = 20;
        writeReply();
        QVERIFY(!nb->calls.contains(QStringLiteral("SetAQDQChange")));
        writeReply();
        QVERIFY(nb->calls.contains(QStringLiteral("SetAQDQChange")));
        // Stop and clear puts the normal pace back.
        e->Timer1.setInterval(10);
        e->PendSubIndex = 22;
        writeReply();
        QCOMPARE(e->Timer1.interval(), 300);
        // ZigBee read: the block from offset 12.
        e->PendIndex = IDX_COMM;
        e->PendSubIndex = 1;
        QByteArray z(34, 0);
        z[0] = 2;
        z[25] = 77; // chain address
        readReply(z);
        QCOMPARE(e->Zigbee.ZbLogic, std::uint8_t(2));
        QCOMPARE(e->Zigbee.ZbChainAddr, std::uint8_t(77));
        QCOMPARE(nb->calls.last(), QStringLiteral("DistributeZigbeeParam"));
        // The RAM test puts the lost-reply counter back to 5000 ms.
        e->timMscon.setInterval(8000);
        e->PendIndex = IDX_SYSTEM;
        e->PendSubIndex = 18;
        readReply();
        QCOMPARE(e->timMscon.interval(), 5000);
        QCOMPARE(view->text2, QStringLiteral("测试RAM结束"));
    }

    // The read a parameter write queued as its base feeds that write; any
    // other read of the block, or one after the base read's list was dropped
    // or its answer lost, goes to the page.
    void devIdTagReadGoesToThePageOrToTheNextWrite_data()
    {
        QTest::addColumn<QString>("before"); // what happens to the base read's list
        QTest::addColumn<bool>("base");
        QTest::newRow("the base read answered") << QString() << true;
        QTest::newRow("no write queued it") << QStringLiteral("plain") << false;
        QTest::newRow("its list replaced") << QStringLiteral("load") << false;
        QTest::newRow("its answer lost") << QStringLiteral("lost") << false;
    }
    void devIdTagReadGoesToThePageOrToTheNextWrite()
    {
        QFETCH(QString, before);
        QFETCH(bool, base);
        QByteArray block(82, 0);
        for (int i = 0; i < 82; ++i)
            block[i] = char('A' + i % 26);
        int shown = 0;
        e->setEthAction(QStringLiteral("DistributePDTagandDeviceID"), [&] { ++shown; });
        e->loadList({QE_REFRESH_LIVE, QE_READ_PDTAG});
        e->SetParaPending = before != QLatin1String("plain");
        if (before == QLatin1String("load"))
            e->loadList({QE_REFRESH_LIVE, QE_READ_PDTAG});
        tick();
        if (before == QLatin1String("lost")) {
            e->Timer2_Timer();
            e->push(QE_READ_PDTAG);
            tick();
        }
        sock->deliver(reply(0x4C, quint16(e->ReadSeq), block));
        QCOMPARE(e->WritePayload == block, base);
        QCOMPARE(e->DevIdBuf == block, !base);
        QCOMPARE(view->text2 == QStringLiteral("读DeviceID、PDTag成功"), !base);
        QCOMPARE(shown, base ? 0 : 1);
        QVERIFY(!e->SetParaPending);
        // Too short: nothing taken.
        const QByteArray kept = e->DevIdBuf;
        e->push(QE_READ_PDTAG);
        tick();
        sock->deliver(reply(0x4C, quint16(e->ReadSeq), QByteArray(10, 1)));
        QCOMPARE(e->DevIdBuf, kept);
    }

    void userBlockDumpAppends_data()
    {
        // The DeviceID names the file; what the device sent cannot leave the
        // current directory or cut the name.
        QTest::addColumn<QString>("deviceId");
        QTest::addColumn<QString>("file");
        QTest::newRow("plain") << QStringLiteral("0012345678901234") << QStringLiteral("0012345678901234.DAT");
        QTest::newRow("path") << QStringLiteral("../x/y") << QStringLiteral("xy.DAT");
        QTest::newRow("NUL inside") << QStringLiteral("AB") + QChar(0) + QStringLiteral("CD") << QStringLiteral("ABCD.DAT");
        QTest::newRow("nothing left") << QStringLiteral("/\\..\n") << QStringLiteral("DEVICE.DAT");
    }
    void userBlockDumpAppends()
    {
        QFETCH(QString, deviceId);
        QFETCH(QString, file);
        view->deviceId = deviceId;
        QTemporaryDir dir;
        const QString was = QDir::currentPath();
        QDir::setCurrent(dir.path());
        e->push(QE_READ_USER_BLOCK);
        tick();
        QVERIFY(e->Timer2.isActive());
        QCOMPARE(e->Timer2.interval(), 10000);
        sock->deliver(reply(0x4C, quint16(e->ReadSeq), QByteArray("xxABC")));
        sock->deliver(reply(0x4C, quint16(e->ReadSeq), QByteArray("yyDEF")));
        QCOMPARE(view->text2, QStringLiteral("正在将数据写入文件，请等待……"));
        QVERIFY(e->Timer2.isActive()); // the command ends by its time-out
        QDir::setCurrent(was);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{file});
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("ABCDEF"));
    }

    // A reply, success or refusal, to a request sent before the device socket
    // was aimed again goes no further than the counter.
    void replyToAnEarlierConnectionIsDropped()
    {
        e->PendIndex = 10003;
        e->PendSubIndex = 1;
        e->ReadCmd();
        const auto old = quint16(e->ReadSeq);
        QCOMPARE(e->aimDevice(QStringLiteral("127.0.0.2"), 5000), 0);
        e->Timer2.start();
        sock->deliver(reply(0x4C, old, QByteArray(100, 0)));
        sock->deliver(reply(0x0C, old));
        QCOMPARE(e->NetRxCount, 2);
        QVERIFY(view->history.isEmpty());
        QVERIFY(e->Timer2.isActive() && !e->Timer1.isActive());
        e->ReadCmd();
        sock->deliver(reply(0x4C, quint16(e->ReadSeq), QByteArray(100, 0)));
        QVERIFY(!view->history.isEmpty());
    }

    // A request the AQ window sent is its own: once it gives the link back,
    // its answer is nobody's, and the page's own request is answered to the page.
    void aqWindowsRequestsDieWithItsHold_data()
    {
        QTest::addColumn<bool>("windowSent");
        QTest::newRow("the window wrote") << true;
        QTest::newRow("the window sent nothing") << false;
    }
    void aqWindowsRequestsDieWithItsHold()
    {
        QFETCH(bool, windowSent);
        e->push(QE_READ_ZERO);
        tick();
        const auto pageRead = quint16(e->ReadSeq);
        const auto pending = std::tuple(e->PendIndex, e->PendSubIndex, e->PendParam, e->WritePayload);
        e->pause(Engine::Hold::AqWindow);
        if (windowSent)
            e->windowRequest(5000, [this] { e->sendWrite(10003, 14, 0, QByteArray(1, '\1')); });
        // The page's pending request stays as it was.
        QVERIFY(std::tuple(e->PendIndex, e->PendSubIndex, e->PendParam, e->WritePayload) == pending);
        e->resume(Engine::Hold::AqWindow);
        sock->deliver(reply(0x4D, quint16(e->WriteSeq)));
        QVERIFY(view->history.isEmpty()); // the closed window's answer is nobody's
        sock->deliver(reply(0x4C, pageRead, QByteArray(100, 0)));
        QCOMPARE(view->history, QStringList{QStringLiteral("读零点数据成功")});
    }

    void firmwareTransfer()
    {
        // The firmware builders send their payloads themselves.
        for (auto [code, size] : {std::pair{QE_FLASH_START, 1}, {QE_FLASH_SIZE, 2}, {QE_FLASH_BLOCK, 512}})
            e->setEthBuilder(code, [this, size = size] {
                e->WritePayload = QByteArray(size, 0);
                e->WriteCmd();
            });
        e->loadList({QE_REFRESH_LIVE, QE_FLASH_BLOCK, QE_FLASH_SIZE, QE_FLASH_START});
        e->PendParam = 9;
        tick();
        QCOMPARE(sock->sent.size(), 1);
        QCOMPARE(e->timMscon.interval(), 10000);
        QCOMPARE(e->Timer2.interval(), 9000);
        QVERIFY(!e->Timer1.isActive() && e->Timer2.isActive() && e->timMscon.isActive());
        FakeUdp discovery;
        e->setDiscoverySocket(&discovery);
        e->listen(12000);
        e->watch(true);
        QVERIFY(e->timCheckDevice.isActive());
        writeReply();
        QCOMPARE(view->text2, QStringLiteral("开始升级，请等待..."));
        QCOMPARE(e->PendParam, 0);
        QVERIFY(e->Sleep_Timer.isActive() && !e->Timer1.isActive() && !e->timCheckDevice.isActive());
        e->Sleep_Timer_Timer();
        tick();
        QCOMPARE(e->Timer1.interval(), 10);
        writeReply();
        QCOMPARE(view->text2, QStringLiteral("下载升级包大小成功"));
        tick();
        QCOMPARE(sock->sent.last().size(), 530);
        nb->atMax = true;
        writeReply();
        QCOMPARE(view->text2, QStringLiteral("发送升级数据成功"));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("升级成功！"));
        QCOMPARE(e->Timer1.interval(), 300);
        QCOMPARE(e->timCheckDevice.interval(), 7000);
        QVERIFY(e->timCheckDevice.isActive() && e->Timer1.isActive());
        QCOMPARE(nb->calls.count(QStringLiteral("StepProgress 1")), 3);
    }
};

QTEST_MAIN(TestEngineEth)
#include "tst_engine_eth.moc"
