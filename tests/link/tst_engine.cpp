// The command engine against a fake port: stack order and pops, waiting rows,
// time-outs, pauses, the receive checks and the serial reply dispatch.
#include "base/msgbox.h"
#include "link/engine.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "support/fakes.h"

#include "base/errorlog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace serial;

namespace {
QByteArray reply(std::uint8_t fn, int payload = 0, char fill = 0) { return buildFrame(fn, QByteArray(payload, fill)); }
int logLines()
{
    QFile f(QString::fromLatin1(ERROR_LOG_FILE));
    return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) : 0;
}
} // namespace

class TestEngine : public QObject {
    Q_OBJECT
    FakeSerial* port = nullptr;
    FakeView* view = nullptr;
    RecordingNeighbours* nb = nullptr;
    Engine* e = nullptr;
    QList<MsgRequest> boxes;
    QTemporaryDir logDir;

    void tick() { e->Timer1_Timer(); }
    // A request of the function code goes out; its reply is then taken.
    void ask(std::uint8_t fn)
    {
        e->prepareRequest(fn, 7, 7);
        e->SendCommand();
    }
    void answer(const QByteArray& frame)
    {
        ask(std::uint8_t(frame[2]));
        port->event(frame);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The error log is this suite's own: others append to theirs meanwhile.
        QVERIFY(logDir.isValid() && QDir::setCurrent(logDir.path()));
    }
    void init()
    {
        port = new FakeSerial;
        view = new FakeView;
        nb = new RecordingNeighbours;
        e = new Engine(view, nb, port);
        e->openSerial(QStringLiteral("pty"), QStringLiteral("9600,N,8,1"));
        e->timMscon.setInterval(5000);
        e->Timer1.setInterval(300);
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
        delete port;
    }

    void lastInFirstOutAndIdleEntryStays()
    {
        e->Timer1.start();
        e->push(QS_READ_ZERO);
        e->push(QS_READ_FULL);
        tick();
        tick();
        QCOMPARE(port->writtenFns(), (QList<int>{3, 2}));
        QCOMPARE(e->CmdTop, std::int16_t(0));
        // Only the idle entry is left: it runs on every tick and stays.
        e->CmdStack[0] = QS_READ_SYS_INFO;
        tick();
        tick();
        QCOMPARE(port->writtenFns(), (QList<int>{3, 2, 1, 1}));
        QCOMPARE(e->CmdTop, std::int16_t(0));
        // A fast read leaves the dispatcher running and arms no time-out.
        QVERIFY(e->Timer1.isActive());
        QVERIFY(!e->Timer2.isActive());
        QCOMPARE(port->threshold, 111);
    }

    void waitingRowIsPoppedAndNotRetried()
    {
        e->Timer1.start();
        e->push(QS_READ_LAMP);       // below
        e->push(QS_READ_CLOCK);      // waiting read, 2000 ms
        tick();
        QCOMPARE(port->writtenFns(), (QList<int>{19}));
        QVERIFY(!e->Timer1.isActive());
        QVERIFY(e->Timer2.isActive());
        QCOMPARE(e->Timer2.interval(), 2000);
        QCOMPARE(view->text2, QStringLiteral("正在读实时时钟"));
        QCOMPARE(e->CmdTop, std::int16_t(1));
        e->Timer2_Timer();
        QCOMPARE(view->text2, QStringLiteral("通讯超时"));
        QVERIFY(e->Timer1.isActive());
        QVERIFY(!e->Timer2.isActive());
        tick(); // the timed-out read is gone: the entry below runs
        QCOMPARE(port->writtenFns(), (QList<int>{19, 23}));
    }

    void codesWithoutRowAndNoLinkOption()
    {
        e->push(0);
        e->push(20);
        tick();
        QCOMPARE(view->text2, QStringLiteral("无此功能号"));
        QVERIFY(e->StatusText.isEmpty());
        QCOMPARE(e->CmdTop, std::int16_t(1));
        view->option = -1;
        e->push(QS_READ_SYS_INFO);
        tick();
        tick();
        QCOMPARE(e->CmdTop, std::int16_t(0));
        QVERIFY(port->written.isEmpty());
    }

    void fullStackRefusesThePush()
    {
        e->CmdTop = Engine::STACK_TOP_MAX;
        e->CmdStack[Engine::STACK_TOP_MAX] = QS_READ_ZERO;
        QVERIFY_THROWS_EXCEPTION(std::exception, e->push(QS_READ_FULL));
        QCOMPARE(e->CmdTop, std::int16_t(Engine::STACK_TOP_MAX));
        QCOMPARE(e->top(), std::int16_t(QS_READ_ZERO));
        tick();
        QCOMPARE(port->writtenFns(), (QList<int>{2}));
        QCOMPARE(e->CmdTop, std::int16_t(Engine::STACK_TOP_MAX - 1));
    }

    void writeWithoutBuilderSendsNothingAndTimesOut()
    {
        e->push(QS_WRITE_LAMP);
        tick();
        QVERIFY(port->written.isEmpty());
        QCOMPARE(view->text2, QStringLiteral("正在写入小灯状态"));
        QVERIFY(e->Timer2.isActive());
        e->Timer2_Timer();
        QCOMPARE(view->text2, QStringLiteral("通讯超时"));
    }

    void lampBoardTextsFollowTheParameter()
    {
        e->setSerialBuilder(QS_LAMP_BOARD_CHECK, [] {});
        e->PendParam = 1;
        e->push(QS_LAMP_BOARD_CHECK);
        tick();
        QCOMPARE(view->text2, QStringLiteral("正在写使能灯板自动检测功能"));
        QCOMPARE(e->StatusText, QStringLiteral("使能灯板检测"));
        e->PendParam = 0;
        e->push(QS_LAMP_BOARD_CHECK);
        tick();
        QCOMPARE(view->text2, QStringLiteral("正在写禁止灯板自动检测功能"));
        QCOMPARE(e->StatusText, QStringLiteral("停止灯板检测"));
    }

    void lostReplyTimingAndPause()
    {
        // The RAM test stretches the lost-reply counter; writes 4, 10, 11 restore it.
        e->push(QS_TEST_RAM);
        tick();
        QCOMPARE(e->timMscon.interval(), 8000);
        QCOMPARE(e->Timer2.interval(), 8000);
        QVERIFY(e->timMscon.isActive() && e->Timer2.isActive() && !e->Timer1.isActive());
        QCOMPARE(view->text2, QStringLiteral("正在测试扩展RAM"));
        QVERIFY(nb->calls.contains(QStringLiteral("InitProgress 9 1")));
        e->prepareRequest(2, 7, 51);
        e->SendCommand();
        QCOMPARE(e->timMscon.interval(), 8000);
        for (std::uint8_t fn : {4, 10, 11}) {
            e->timMscon.setInterval(8000);
            e->prepareRequest(fn, 7, 7);
            e->SendCommand();
            QCOMPARE(e->timMscon.interval(), 5000);
        }
        // A lost reply is counted and the input flushed.
        const int clears = port->clears;
        e->timMscon_Timer();
        e->timMscon_Timer();
        QCOMPARE(e->TimeoutCount, 2);
        QCOMPARE(view->text3, QStringLiteral("2"));
        QCOMPARE(port->clears, clears + 2);
        QVERIFY(!e->timMscon.isActive());
        // A pause stops the dispatcher and the watchdog and brings both back.
        e->Timer1.start();
        e->timCheckDevice.start();
        QVERIFY(e->Sleeping(5000));
        QVERIFY(!e->Timer1.isActive() && !e->timCheckDevice.isActive() && e->Sleep_Timer.isActive());
        QCOMPARE(e->Sleep_Timer.interval(), 5000);
        e->Sleep_Timer_Timer();
        QVERIFY(e->Timer1.isActive() && !e->Sleep_Timer.isActive() && !e->Timer2.isActive());
        QVERIFY(!e->timCheckDevice.isActive()); // the watchdog is the listening Ethernet link's
    }

    void firmwareRowsAndUpgradeTimeout()
    {
        e->setSerialBuilder(QS_FLASH_BLOCK, [this] {
            e->prepareRequest(47, 519, 7);
            e->SendCommand();
        });
        e->loadList({QS_REFRESH_LIVE, QS_FLASH_BLOCK, QS_FLASH_BLOCK, QS_FLASH_SIZE, QS_FLASH_START});
        tick();
        QCOMPARE(e->UpgradeTimeout, 1);
        QCOMPARE(e->Timer2.interval(), 7000);
        e->replyDone();
        tick(); // size
        QCOMPARE(e->Timer1.interval(), 100);
        port->settings_ = QStringLiteral("9600,N,8,1");
        tick(); // first block reopens the port fast
        QCOMPARE(port->settings_, QStringLiteral("115200,N,8,1"));
        QCOMPARE(e->Timer1.interval(), 10);
        QCOMPARE(e->Timer2.interval(), 5000);
        QCOMPARE(nb->calls.count(QStringLiteral("StepProgress 1")), 3);
        nb->blockIndex = 1;
        port->settings_ = QStringLiteral("x");
        tick(); // a later block does not
        QCOMPARE(port->settings_, QStringLiteral("x"));
        // The transfer times out: one box, everything queued dropped, normal pace.
        e->push(QS_READ_ZERO);
        e->Timer2.start();
        e->Timer2_Timer();
        QCOMPARE(view->text2, QStringLiteral("系统升级超时"));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("通讯超时，系统升级失败！"));
        QCOMPARE(e->CmdTop, std::int16_t(0));
        QCOMPARE(e->Timer1.interval(), 300);
        QCOMPARE(port->settings_, QStringLiteral("9600,N,8,1"));
        QVERIFY(nb->calls.contains(QStringLiteral("resetFirmwareBlocks")));
        QVERIFY(e->Timer1.isActive() && !e->Timer2.isActive());
    }

    // A port that cannot be opened again at the upgrade's change of speed,
    // or that refuses the speed back, is a lost port: the link ends in the
    // engine's one end and the window is told once; nothing runs on.
    void portThatWillNotOpenAgainIsLost_data()
    {
        QTest::addColumn<bool>("atReopen");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("reopen at 115200 fails") << true << QStringList{QStringLiteral("通讯超时，系统升级失败！")};
        QTest::newRow("9600 refused after the last block") << false << QStringList{};
    }
    void portThatWillNotOpenAgainIsLost()
    {
        QFETCH(bool, atReopen);
        QFETCH(QStringList, texts);
        QStringList lost;
        connect(e, &Engine::portLost, this, [&](const QString& why) { lost << why; });
        int ended = 0;
        connect(e, &Engine::connectionEnded, this, [&] { ++ended; });
        e->setSerialBuilder(QS_FLASH_BLOCK, [this] {
            e->prepareRequest(47, 519, 7);
            e->SendCommand();
        });
        const std::int16_t list[] = {QS_REFRESH_LIVE, QS_READ_ZERO, QS_FLASH_BLOCK};
        e->loadOwnedList(list);
        e->Timer1.start();
        if (atReopen) {
            port->openError = 8002;
            tick();
        } else {
            tick();
            port->settingsError = 380;
            nb->atMax = true;
            port->event(reply(47));
        }
        QCOMPARE(lost.size(), 1);
        QVERIFY(!lost[0].isEmpty());
        QCOMPARE(ended, 1);
        QVERIFY(!e->linked() && !e->stackOwned() && !port->isOpen());
        QStringList shown;
        for (const auto& b : boxes)
            shown << b.text;
        QCOMPARE(shown, texts);
        const auto written = port->written.size();
        tick();
        e->Timer2_Timer();
        for (const QTimer* t : {&e->Timer1, &e->Timer2, &e->timMscon, &e->Sleep_Timer})
            QVERIFY2(!t->isActive(), qPrintable(t->objectName()));
        QCOMPARE(port->written.size(), written);
        QCOMPARE(e->CmdTop, std::int16_t(0));
    }

    void slaveWriteEntryStaysWhileRowsAreMarked()
    {
        e->setSerialBuilder(QS_WRITE_SLAVE, [this] { --nb->marked; });
        nb->marked = 2;
        e->push(QS_WRITE_SLAVE);
        tick();
        QCOMPARE(e->CmdTop, std::int16_t(1));
        tick();
        QCOMPARE(e->CmdTop, std::int16_t(0));
        QVERIFY(nb->calls.contains(QStringLiteral("slaveWindowSwitch 1")));
    }

    void receiveChecks()
    {
        e->Timer1.stop();
        e->Timer2.start();
        // Fewer than 3 bytes: only the counter moves.
        port->event(QByteArray::fromHex("5555"));
        QCOMPARE(e->RxCount, 1);
        QCOMPARE(view->text4, QStringLiteral("1"));
        QVERIFY(view->text2.isEmpty());
        // 297 bytes with a bad CRC: shown and dropped, not dispatched.
        QByteArray f = reply(FN_READ_SM, 290);
        f[100] = 1;
        port->event(f);
        QCOMPARE(view->text2, QStringLiteral("CRC 校验错误"));
        QVERIFY(!e->Timer1.isActive());
        // 298 bytes are taken without a CRC check.
        f = reply(FN_READ_SM, 291);
        f[100] = 1;
        answer(f);
        QCOMPARE(view->text2, QStringLiteral("读取SM区数据成功"));
        QVERIFY(nb->calls.contains(QStringLiteral("OnReadSM")));
        QVERIFY(e->Timer1.isActive());
        // Right CRC, wrong end markers: dropped silently.
        view->text2 = QStringLiteral("before");
        f = reply(FN_READ_CLOCK, 8);
        f[f.size() - 1] = 0;
        port->event(f);
        QCOMPARE(view->text2, QStringLiteral("before"));
        QCOMPARE(e->RxCount, 4);
    }

    // The frame has no sequence number: a reply is taken only for a request of
    // this connection that has had none yet, within its own time-out; any
    // other frame is counted and goes nowhere, and the requests waiting run
    // on. On one line the device answers in order: a request an ended
    // connection left waiting may still be answered within its time-out, and
    // the first reply after the change settles it.
    // Each request ends by its own time only: the lost-reply time of a page's
    // request, the window's own time-out of the AQ window's; what the window
    // asked is answered to the window, and once it is closed to nobody.
    // Steps: "aC"/"aS" ask Form_Ctrl/SM as the page, "AC"/"AS" as the AQ
    // window (its own time: three times the lost-reply time), "n" a new
    // connection, "p" one on another port, "w" the wait past the lost-reply
    // time, "x" a wait of three fifths of it, "h"/"u" the window opened and
    // closed; "rC+" a reply taken by the page, "rC*" by the window, "rC-" one
    // dropped unseen, "rC!" one dropped and logged as not asked.
    void replyAnswersAnOpenRequestOfThisConnection_data()
    {
        QTest::addColumn<QStringList>("steps");
        const auto row = [](const char* name, const char* steps) {
            QTest::newRow(name) << QString::fromLatin1(steps).split(QLatin1Char(' '));
        };
        row("late reply of the request left waiting", "aC n rC- aC rC+");
        row("the same code asked again: its first reply is the earlier one's", "aC n aC rC- rC+");
        row("every request left waiting is settled by the first reply", "aC aS n rC- rS! aS rS+");
        row("an answered request leaves nothing behind", "aC rC+ n aC rC+");
        row("a reply of another code settles the earlier request", "aC n aS rS+ aC rC+");
        row("a dropped reply carries nothing into the next start", "aC n rC- n aC rC+ n aC rC+");
        row("the device off: quick restarts take the first reply", "aC n aC n aC rC- rC+ n aC rC+");
        row("after its own time-out the reply is the new request's", "aC w n aC rC+");
        row("a request left on one port is not answered on another", "aC p aC rC+");
        row("the same port opened again after another", "aC p n aC rC+");
        row("nothing asked: a reply goes nowhere", "rC!");
        row("a code not asked goes nowhere, the request's own reply lands", "aC rS! rC+");
        row("a request is answered once", "aC rC+ rC!");
        row("two requests waiting are answered each", "aC aS rS+ rC+");
        row("after its own time-out a request is answered no more", "aC w rC!");
        row("the AQ window's request is not the page's once the window is closed", "aC h AS u rS- rC+");
        row("the page's answer is the page's while the window holds the link", "aC h AS rC+ rS* u");
        row("a lost-reply time-out forgets only what it timed", "aC x aS x rS+ rC!");
        row("the window's request lives its own time", "h aC x AS x rS* rC! u");
        row("a lost-reply time-out started by the window's earlier request", "h AC x AS w rS* u");
        row("the window's request after its own time", "h AS w w w rS! u");
    }
    void replyAnswersAnOpenRequestOfThisConnection()
    {
        QFETCH(QStringList, steps);
        constexpr int LOST_MS = 300;
        e->timMscon.setInterval(LOST_MS); // the waiting read's own time-out
        for (const QString& st : steps) {
            const auto fn = std::uint8_t(st.size() > 1 && st[1] == QLatin1Char('S') ? FN_READ_SM : FN_READ_CTRL);
            const QString call = fn == FN_READ_SM ? QStringLiteral("OnReadSM") : QStringLiteral("OnReadCtrl");
            const QString windowCall = QStringLiteral("OnDevReturnFromComm");
            if (st == QLatin1String("n") || st == QLatin1String("p")) {
                e->openSerial(st == QLatin1String("n") ? QStringLiteral("pty") : QStringLiteral("pty2"),
                              QStringLiteral("9600,N,8,1"));
            } else if (st == QLatin1String("w") || st == QLatin1String("x")) {
                QTest::qWait(st == QLatin1String("w") ? LOST_MS + 60 : LOST_MS * 3 / 5);
            } else if (st == QLatin1String("h") || st == QLatin1String("u")) {
                nb->aqOpen = st == QLatin1String("h");
                st == QLatin1String("h") ? e->pause(Engine::Hold::AqWindow) : e->resume(Engine::Hold::AqWindow);
            } else if (st[0] == QLatin1Char('a') || st[0] == QLatin1Char('A')) {
                const auto send = [&] {
                    e->prepareRequest(fn, 7, 60);
                    e->SendCommand();
                };
                st[0] == QLatin1Char('A') ? e->windowRequest(3 * LOST_MS, send) : send();
            } else {
                const int before = int(nb->calls.count(call));
                const int beforeWindow = int(nb->calls.count(windowCall));
                const int received = e->RxCount;
                const bool counting = e->timMscon.isActive();
                const int logged = logLines();
                port->event(reply(fn, fn == FN_READ_SM ? 291 : 60));
                QVERIFY2(nb->calls.count(call) == before + (st.endsWith(QLatin1Char('+')) ? 1 : 0), qPrintable(st));
                QVERIFY2(nb->calls.count(windowCall) == beforeWindow + (st.endsWith(QLatin1Char('*')) ? 1 : 0), qPrintable(st));
                QCOMPARE(e->RxCount, received + 1);
                QCOMPARE(logLines(), logged + (st.endsWith(QLatin1Char('!')) ? 1 : 0));
                // A dropped reply leaves the lost-reply count of this connection's request running.
                if (!st.endsWith(QLatin1Char('+')) && !st.endsWith(QLatin1Char('*')))
                    QCOMPARE(e->timMscon.isActive(), counting);
            }
        }
    }

    void replyDispatch_data()
    {
        QTest::addColumn<int>("fn");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("resumes");
        int n = 0;
        const auto* rows = commandRows(&n);
        QSet<int> seen;
        for (int i = 0; i < n; ++i) {
            const int fn = rows[i].fn;
            if (seen.contains(fn) || fn == 47 || fn == 52 || fn == 65 || fn == 14 || fn == FN_CONVERT_DEVICE_TYPE)
                continue;
            seen << fn;
            const auto* r = findReply(std::uint8_t(fn));
            QVERIFY(r);
            QTest::addRow("fn %d", fn) << fn << true << QString::fromUtf8(r->text) << (r->ending == Ending::Resume);
        }
        QTest::addRow("fn 8 (A/D)") << 8 << true << QStringLiteral("读A/D测量值成功") << true;
        QTest::addRow("fn 12 (voltage)") << 12 << true << QStringLiteral("读电压测量值成功") << true;
        QTest::addRow("fn 63 no branch") << 63 << true << QStringLiteral("无此功能号") << true;
        QTest::addRow("fn 200 no branch") << 200 << true << QStringLiteral("无此功能号") << true;
        // A write never made is not acknowledged: the request waiting runs on.
        QTest::addRow("fn 17 never asked") << 17 << false << QString() << false;
    }
    void replyDispatch()
    {
        QFETCH(int, fn);
        QFETCH(bool, asked);
        QFETCH(QString, text);
        QFETCH(bool, resumes);
        ask(asked ? std::uint8_t(fn) : std::uint8_t(QS_SAVE_PARAMS));
        e->Timer1.stop();
        e->Timer2.start();
        port->event(reply(std::uint8_t(fn), 60));
        QCOMPARE(view->text2, text);
        QCOMPARE(e->Timer1.isActive(), resumes);
        QCOMPARE(e->Timer2.isActive(), !resumes);
    }

    void replyBranchEffects()
    {
        e->Timer1.setInterval(10);
        answer(reply(4, 84));
        QCOMPARE(e->Timer1.interval(), 300);
        ask(11);
        e->timMscon.setInterval(10000);
        port->event(reply(11, 7));
        QCOMPARE(e->timMscon.interval(), 5000);
        e->AQZFTwoStep = true;
        answer(reply(34, 33));
        QCOMPARE(e->PendParam, 3);
        QVERIFY(!e->AQZFTwoStep);
        e->AQTypeChanged = true;
        answer(reply(38, 8));
        QVERIFY(!e->AQTypeChanged);
        QVERIFY(!nb->calls.contains(QStringLiteral("SetAQDQChange")));
        // The marks live with the list that set them: replaced, it takes them along.
        e->loadList({QS_REFRESH_LIVE, QS_WRITE_AQ_ZERO_FULL, QS_WRITE_AQ_ZERO_FULL});
        e->AQZFTwoStep = e->AQTypeChanged = e->SetParaPending = true;
        e->loadList({QS_REFRESH_LIVE, QS_WRITE_AQ_TYPE});
        QVERIFY(!e->AQZFTwoStep && !e->AQTypeChanged && !e->SetParaPending);
        answer(reply(38, 8));
        QVERIFY(nb->calls.contains(QStringLiteral("SetAQDQChange")));
        e->PendParam = 7;
        answer(reply(44, 1));
        QCOMPARE(e->PendParam, 0);
        answer(reply(32, 12));
        QCOMPARE(nb->calls.last(), QStringLiteral("stopSlaveCheckTimer"));
        // The decode of a data block is called with the reply in RxBuf.
        QByteArray seen;
        e->setSerialDecoder(5, [&] {
            seen = e->RxBuf;
            view->setStatus(QStringLiteral("decoded"));
        });
        answer(reply(5, 11, 3));
        QCOMPARE(seen, reply(5, 11, 3));
        QCOMPARE(view->text2, QStringLiteral("设置传感器类型成功")); // the text follows the decode
    }

    void zigbeeReplies()
    {
        e->Zigbee.ZbDNO = 0x12340000;
        QByteArray p(34, 0);
        p[0] = 1;
        p[2] = char(0x78);
        p[3] = char(0x56);
        p[4] = char(0xFF);
        p[5] = char(0xFF);
        p[32] = char(0xFE);
        p[33] = char(0xFF);
        answer(buildFrame(57, p));
        QCOMPARE(view->text2, QStringLiteral("读取zigbee参数成功"));
        QCOMPARE(e->Zigbee.ZbLogic, std::uint8_t(1));
        QCOMPARE(e->Zigbee.ZbDNO, 0x12345678);
        QCOMPARE(e->Zigbee.ZbChannelMask, 0xFFFF);
        QCOMPARE(e->Zigbee.ZbAdvFlag, std::int16_t(-2));
        QCOMPARE(nb->calls.last(), QStringLiteral("DistributeZigbeeParam"));
        // A short block is rejected: nothing applied.
        e->Zigbee.ZbLogic = 9;
        answer(buildFrame(57, QByteArray(10, 1)));
        QCOMPARE(e->Zigbee.ZbLogic, std::uint8_t(9));
        const QStringList texts{QStringLiteral("测试zigbee成功"), QStringLiteral("测试zigbee失败:  设备未上线"),
                                QStringLiteral("测试zigbee失败:  设备不通信"), QStringLiteral("测试zigbee失败:  未知错误")};
        const char results[] = {0, 1, 2, 7};
        for (int i = 0; i < 4; ++i) {
            answer(buildFrame(65, QByteArray(1, results[i]) + QByteArray(1, 0)));
            QCOMPARE(view->text2, texts[i]);
        }
    }

    void aqWindowTakesTheAnswersToItsOwnRequests()
    {
        nb->aqOpen = true;
        e->pause(Engine::Hold::AqWindow);
        e->windowRequest(1000, [this] { ask(FN_READ_CLOCK); });
        port->event(reply(FN_READ_CLOCK, 8));
        QCOMPARE(nb->calls, QStringList{QStringLiteral("OnDevReturnFromComm")});
        QVERIFY(view->text2.isEmpty());
        QVERIFY(!e->Timer1.isActive());
    }

    void firmwareStages_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("boxCount");
        QTest::addColumn<QString>("call");
        QTest::addRow("file") << 0 << QStringLiteral("升级下位机成功") << 0 << QStringLiteral("StartRun_Click");
        QTest::addRow("server") << 2 << QStringLiteral("升级下位机成功") << 1 << QStringLiteral("Cmd_SetDefault_Click");
        QTest::addRow("boot") << 3 << QStringLiteral("升级Boot成功") << 1 << QStringLiteral("DownBin");
        QTest::addRow("iap") << 4 << QStringLiteral("升级IAP成功") << 0 << QStringLiteral("DownBoot");
    }
    void firmwareStages()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(int, boxCount);
        QFETCH(QString, call);
        nb->mode = mode;
        e->PendParam = 5;
        // An earlier block only resumes.
        answer(reply(47));
        QCOMPARE(e->PendParam, 0);
        QVERIFY(e->Timer1.isActive());
        QVERIFY(view->text2.isEmpty());
        QVERIFY(!nb->calls.contains(call));
        // The last one ends the stage.
        nb->atMax = true;
        e->Timer1.setInterval(10);
        port->settings_ = QStringLiteral("115200,N,8,1");
        answer(reply(47));
        QCOMPARE(view->text2, text);
        QCOMPARE(boxes.size(), boxCount);
        QVERIFY(nb->calls.contains(call));
        QVERIFY(nb->calls.contains(QStringLiteral("endProgress")));
        QCOMPARE(e->Timer1.interval(), 300);
        QCOMPARE(port->settings_, QStringLiteral("9600,N,8,1"));
        QVERIFY(e->Timer1.isActive());
        if (mode == 2)
            QCOMPARE(nb->mode, 5);
    }

    void restoreDefaultsMovesStageFiveOn()
    {
        answer(reply(52));
        QCOMPARE(view->text2, QStringLiteral("恢复默认参数成功"));
        QVERIFY(!nb->calls.contains(QStringLiteral("DownParaAndOrder")));
        nb->mode = 5;
        answer(reply(52));
        QCOMPARE(nb->mode, 1);
        QVERIFY(nb->calls.contains(QStringLiteral("DownParaAndOrder")));
        QVERIFY(e->Timer1.isActive());
    }

    void openBoxHoldsTheDispatcherAndTheReceiver()
    {
        // A box opened inside a reply: the dispatcher, the time-out and the
        // port event must not run while it is open.
        e->push(QS_READ_ZERO);
        e->push(QS_READ_FULL);
        int written = -1;
        bool pendingSeen = false;
        setMsgResponder([&](const MsgRequest& q) {
            boxes << q;
            e->Timer1_Timer();
            e->Timer2.start();
            e->Timer2_Timer();
            port->event(reply(FN_READ_CLOCK, 8));
            pendingSeen = view->text2 != QStringLiteral("读实时时钟成功");
            written = port->written.size();
            return MsgAnswer::Ok;
        });
        nb->mode = 3;
        nb->atMax = true;
        ask(FN_READ_CLOCK);
        answer(reply(47));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(written, 2); // the two requests answered
        QVERIFY(pendingSeen);
        QCOMPARE(e->CmdTop, std::int16_t(2));
        // Once the box is closed the held receive event runs.
        QTRY_COMPARE(view->text2, QStringLiteral("读实时时钟成功"));
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
