// The AQ calibration window against a recording port and socket: it takes the
// link and gives it back, answers only the replies to its own requests, and
// takes a reply only when the whole block is there; its outputs take what
// the main page's take.
#include "aqcal/form_aq.h"
#include "device/device_data.h"
#include "base/msgbox.h"
#include "link/engine.h"
#include "support/fakes.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The main window's side of the hand-over: the answers to the window's
// requests go to the window while it is loaded.
class WindowNeighbours : public Neighbours {
public:
    Form_AQ* form = nullptr;
    bool AQPageOpen() const override { return form; }
    void OnDevReturnFromComm() override { form->OnDevReturnFromComm(); }
    void OnDevReturnFromSock() override { form->OnDevReturnFromSock(); }
};

class TestAqWindow : public QObject {
    Q_OBJECT
    FakeView view;
    WindowNeighbours nb;
    FakeSerial port;
    FakeUdp sock;
    std::unique_ptr<Engine> e;
    bool open = false;
    DeviceData dev;

    std::unique_ptr<Form_AQ> window()
    {
        // Loopback measuring devices: nothing may leave this machine.
        auto w = std::make_unique<Form_AQ>(*e, dev, open, AqCalSetup{QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.1"), 4, 9, {}});
        nb.form = w.get();
        connect(w.get(), &QObject::destroyed, this, [this] { nb.form = nullptr; });
        return w;
    }

private Q_SLOTS:
    void init()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
        port.open_ = true;
        port.written.clear();
        sock.sent.clear();
        e = std::make_unique<Engine>(&view, &nb, &port);
        e->setDeviceSocket(&sock);
        e->openSerial(QStringLiteral("fake"), QStringLiteral("9600,N,8,1")); // a link runs
    }

    // A main command in flight when the window opens keeps its own time-out
    // (its answer is the page's), the window sends nothing until it ends, and
    // its end does not restart the main dispatcher under the window.
    void takesTheLinkAndGivesItBack()
    {
        e->Timer1.setInterval(300);
        e->Timer2.start(100);
        QSignalSpy lost(e.get(), &Engine::replyLost);
        auto aq = window();
        QVERIFY(open);
        QVERIFY(!e->Timer1.isActive() && e->Timer2.isActive());
        QVERIFY(aq->Timer1.isActive());
        QCOMPARE(aq->Timer1.interval(), 500);
        aq->push(AQ_READ_TYPE);
        aq->Timer1_Timer();
        QVERIFY(port.written.isEmpty());
        QTRY_COMPARE(lost.size(), 1); // the page's own time-out
        QVERIFY(!e->Timer1.isActive() && !e->Timer2.isActive());
        aq->Timer1_Timer();
        QCOMPARE(port.writtenFns(), QList<int>{39});
        aq.reset();
        QVERIFY(!open);
        QVERIFY(e->Timer1.isActive());
        QVERIFY(!e->Timer2.isActive());
    }

    void repliesOfItsOwnRequests_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("reply"); // serial: fn + payload; Ethernet: the payload
        QTest::addColumn<QString>("text1");    // empty: the reply is not taken
        QTest::addColumn<int>("timeout");      // 0 none, 1 fired before the reply, 2 fired while a box was open
        const QByteArray zf = QByteArray::fromHex("E803") + QByteArray(62, '\0');
        const QByteArray types = QByteArray::fromHex("0001020500000000");
        QTest::newRow("serial zero/full read") << 0 << int(AQ_READ_ZERO_FULL) << QByteArray(1, char(35)) + zf
                                               << QStringLiteral("读AQ零点满度成功") << 0;
        QTest::newRow("serial short zero/full read") << 0 << int(AQ_READ_ZERO_FULL)
                                                     << QByteArray(1, char(35)) + zf.left(63) << QString() << 0;
        QTest::newRow("serial type read") << 0 << int(AQ_READ_TYPE) << QByteArray(1, char(39)) + types
                                          << QStringLiteral("读AQ通道类型成功") << 0;
        QTest::newRow("serial DO echo differs") << 0 << int(AQ_WRITE_DO) << QByteArray::fromHex("0E01")
                                                << QStringLiteral("设置DO值失败") << 0;
        QTest::newRow("serial foreign reply") << 0 << int(AQ_READ_TYPE) << QByteArray(1, char(19)) + types << QString() << 0;
        QTest::newRow("ethernet zero/full read") << 1 << int(AQ_READ_ZERO_FULL) << zf
                                                 << QStringLiteral("读AQ零点满度成功") << 0;
        QTest::newRow("ethernet short type read") << 1 << int(AQ_READ_TYPE) << types.left(7) << QString() << 0;
        QTest::newRow("ethernet AO write") << 1 << int(AQ_WRITE_AO) << QByteArray() << QStringLiteral("写AO值成功") << 0;
        // A reply is the answer to the command waited for only, before its time-out was reported.
        QTest::newRow("serial reply of another command") << 0 << int(AQ_READ_TYPE) << QByteArray(1, char(35)) + zf
                                                         << QString() << 0;
        QTest::newRow("serial reply after the time-out") << 0 << int(AQ_READ_TYPE) << QByteArray(1, char(39)) + types
                                                         << QString() << 1;
        QTest::newRow("ethernet reply after the time-out") << 1 << int(AQ_WRITE_AO) << QByteArray() << QString() << 1;
        QTest::newRow("serial time-out under a box") << 0 << int(AQ_READ_TYPE) << QByteArray(1, char(39)) + types
                                                     << QStringLiteral("读AQ通道类型成功") << 2;
    }
    void repliesOfItsOwnRequests()
    {
        QFETCH(int, link);
        QFETCH(int, code);
        QFETCH(QByteArray, reply);
        QFETCH(QString, text1);
        QFETCH(int, timeout);
        view.option = link;
        auto aq = window();
        for (auto* b : aq->txtAQOut)
            b->setText(QStringLiteral("1"));
        aq->push(std::int16_t(code));
        aq->Timer1_Timer();
        QVERIFY(aq->Timer2.isActive());
        if (timeout == 1)
            aq->Timer2_Timer();
        if (timeout == 2) {
            setMsgResponder([&](const MsgRequest&) {
                aq->Timer2_Timer();
                return MsgAnswer::Ok;
            });
            MsgBox(QStringLiteral("box"));
        }
        const QString waiting = aq->Text1->text();
        if (link == 0) {
            e->RxBuf = QByteArray::fromHex("5555") + reply + QByteArray::fromHex("0000AAAA");
            aq->OnDevReturnFromComm();
        } else {
            QCOMPARE(sock.sent.size(), 1);
            const bool write = quint8(sock.sent[0][0]) == 13;
            const QByteArray seq = sock.sent[0].mid(6, 2);
            sock.deliver(QByteArray(1, char(write ? 0x4D : 0x4C)) + QByteArray(5, '\0') + seq + QByteArray(4, '\0') + reply);
        }
        QCOMPARE(aq->Text1->text(), text1.isEmpty() ? waiting : text1);
        QCOMPARE(aq->Timer2.isActive(), text1.isEmpty() && timeout != 1);
        if (code == AQ_READ_ZERO_FULL && !text1.isEmpty())
            QCOMPARE(aq->txt_AQV[0]->text(), QStringLiteral("1.000"));
        if (code == AQ_READ_TYPE && !text1.isEmpty())
            QCOMPARE(aq->ComboAQType[3]->currentIndex(), 0); // a code above 2 shows the first type
    }

    // Outputs take 0 to 20 as on the main page, checked at the click and at
    // the send: the same word, nothing goes out and nothing waits.
    void outputOutsideZeroToTwentyIsRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("atSend");
        QTest::newRow("-5") << "-5" << false;
        QTest::newRow("32") << "32" << false;
        QTest::newRow("32 typed after the click") << "32" << true;
    }
    void outputOutsideZeroToTwentyIsRefused()
    {
        QFETCH(QString, text);
        QFETCH(bool, atSend);
        QStringList shown;
        setMsgResponder([&](const MsgRequest& r) {
            shown << r.text;
            return MsgAnswer::Ok;
        });
        auto aq = window();
        for (auto* b : aq->txtAQOut)
            b->setText(QStringLiteral("20"));
        if (!atSend)
            aq->txtAQOut[3]->setText(text);
        aq->findChild<QPushButton*>(QStringLiteral("cmdWriteAO"))->click();
        if (atSend) {
            QCOMPARE(aq->AQCmdStack.size(), std::size_t(2));
            aq->txtAQOut[3]->setText(text);
            aq->Timer1_Timer();
            QVERIFY(!aq->Timer2.isActive() && aq->Timer1.isActive());
            QVERIFY(aq->Text1->text().isEmpty());
        }
        QCOMPARE(shown, QStringList{QStringLiteral("数值范围为0～20之间")});
        QCOMPARE(aq->focusWidget(), aq->txtAQOut[3]);
        QCOMPARE(aq->AQCmdStack.size(), std::size_t(1));
        QVERIFY(port.written.isEmpty());
    }

    // The zero/full and type writes take a box as the main page's AQ boxes do,
    // checked at the click and when the write is built: a box that is no
    // number or does not fit, or a list without a type, is refused with a word
    // that names it; nothing is queued or sent (the read-back neither), no
    // time-out follows, and the other boxes keep what the user typed.
    void zeroFullAndTypeWritesRefuseABoxThatDoesNotFit_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");     // a list is unset instead
        QTest::addColumn<bool>("afterClick");  // typed between the click and the send
        QTest::addColumn<QString>("caption");  // the box as the word names it
        QTest::addColumn<QString>("mended");   // then typed into the box and written
        QTest::addColumn<int>("at");           // where the mended value lies in the payload
        QTest::addColumn<int>("value");
        QTest::newRow("abc") << "cmdWriteZero" << "txt_AQM_3" << "abc" << false << "AQ3 电流零点(mA)" << QString() << 0 << 0;
        QTest::newRow("empty") << "cmdWriteFull" << "txt_AQV_13" << "" << false << "AQ5 电压满度(V)" << QString() << 0 << 0;
        QTest::newRow("40 out of range") << "cmdWriteZero" << "txt_AQV_2" << "40" << false << "AQ2 电压零点(V)" << QString()
                                         << 0 << 0;
        QTest::newRow("type list unset") << "cmdWriteType" << "ComboAQType_6" << "" << false << "AQ6 类型" << QString()
                                         << 0 << 0;
        QTest::newRow("abc typed after the click") << "cmdWriteFull" << "txt_AQM_12" << "abc" << true
                                                   << "AQ4 电流满度(mA)" << QString() << 0 << 0;
        QTest::newRow("measuring address out of range") << "cmdMeasure" << "txtIpV" << "127.0.0.300" << false
                                                        << "电压测量设备IP" << QString() << 0 << 0;
        QTest::newRow("abc refused, then mended") << "cmdWriteZero" << "txt_AQM_3" << "abc" << false
                                                  << "AQ3 电流零点(mA)" << "-0.0625" << 3 + 4 * 3 << -62;
    }
    void zeroFullAndTypeWritesRefuseABoxThatDoesNotFit()
    {
        QFETCH(QString, button);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(bool, afterClick);
        QFETCH(QString, caption);
        QFETCH(QString, mended);
        QFETCH(int, at);
        QFETCH(int, value);
        QStringList shown;
        setMsgResponder([&](const MsgRequest& r) {
            shown << r.text;
            return MsgAnswer::Ok;
        });
        view.option = 0;
        auto aq = window();
        for (int i = 0; i < 16; ++i) {
            aq->txt_AQV[std::size_t(i)]->setText(QStringLiteral("%1.5").arg(i));
            aq->txt_AQM[std::size_t(i)]->setText(QStringLiteral("4.%1").arg(i));
        }
        for (int i = 0; i < 8; ++i)
            aq->ComboAQType[std::size_t(i)]->setCurrentIndex(i % 3);
        const auto screen = [&aq] {
            QStringList s;
            for (auto* b : aq->findChildren<QLineEdit*>())
                s << b->objectName() + u'=' + b->text();
            for (auto* c : aq->ComboAQType)
                s << c->objectName() + u'=' + QString::number(c->currentIndex());
            return s;
        };
        auto* target = aq->findChild<QWidget*>(box);
        QVERIFY(target);
        const auto spoil = [&] {
            if (auto* edit = qobject_cast<QLineEdit*>(target))
                edit->setText(text);
            else
                qobject_cast<QComboBox*>(target)->setCurrentIndex(-1);
        };
        const auto click = [&] { aq->findChild<QPushButton*>(button)->click(); };

        if (!afterClick)
            spoil();
        click();
        if (afterClick) {
            QCOMPARE(aq->AQCmdStack.size(), std::size_t(3)); // the write above its read-back
            spoil();
        }
        const QStringList typed = screen();
        for (int tick = 0; tick < 3; ++tick)
            aq->Timer1_Timer();
        QCOMPARE(shown, QStringList{QStringLiteral("“%1”的值无法转换，参数未写入！请核查后再操作").arg(caption)});
        QCOMPARE(aq->AQCmdStack, std::vector<std::int16_t>{AQ_IDLE});
        QVERIFY(port.written.isEmpty() && sock.sent.isEmpty());
        QVERIFY(!aq->Timer2.isActive() && aq->Timer1.isActive());
        QVERIFY(aq->Text1->text().isEmpty());
        QCOMPARE(screen(), typed);

        if (mended.isEmpty())
            return;
        qobject_cast<QLineEdit*>(target)->setText(mended);
        click();
        QCOMPARE(aq->AQCmdStack, (std::vector<std::int16_t>{AQ_IDLE, AQ_READ_ZERO_FULL, AQ_WRITE_ZERO}));
        aq->Timer1_Timer();
        QCOMPARE(port.writtenFns(), QList<int>{34});
        const QByteArray payload = port.written[0].mid(3, 33);
        QCOMPARE(qint16(quint8(payload[at]) | quint8(payload[at + 1]) << 8), qint16(value));
        QCOMPARE(shown.size(), 1);
    }

    // A measuring reply is taken only as the answer to the last read.
    void measuringReplyMatchesTheLastRead()
    {
        auto aq = window();
        e->ReadSeq = 6;
        aq->push(AQ_MEASURE_V);
        aq->Timer1_Timer(); // read 7 of the voltage-measuring device
        QByteArray reply = QByteArray::fromHex("4C0000000000070000006E00") + QByteArray(32, '\0');
        reply.replace(12, 4, QByteArray::fromHex("0000C03F")); // 1.5
        reply[6] = 6;
        aq->wsckMeasure_DataArrival(true, reply);
        QVERIFY(aq->txtMeasV[0]->text().isEmpty());
        reply[6] = 7;
        aq->wsckMeasure_DataArrival(false, reply); // the other device was not asked
        QVERIFY(aq->txtMeasM[0]->text().isEmpty());
        aq->wsckMeasure_DataArrival(true, reply);
        QCOMPARE(aq->txtMeasV[0]->text(), QStringLiteral("1.500"));
        QVERIFY(aq->txtMeasM[0]->text().isEmpty());
    }
};

QTEST_MAIN(TestAqWindow)
#include "tst_aq_window.moc"
