// The AQ calibration window against a recording port and socket: it takes the
// link and gives it back, answers only the replies to its own requests, and
// takes a reply only when the whole block is there; its outputs take what
// the main page's take.
#include "aqcal/form_aq.h"
#include "base/msgbox.h"
#include "link/engine.h"
#include "support/fakes.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestAqWindow : public QObject {
    Q_OBJECT
    FakeView view;
    Neighbours nb;
    FakeSerial port;
    FakeUdp sock;
    std::unique_ptr<Engine> e;
    bool open = false;

    std::unique_ptr<Form_AQ> window()
    {
        // Loopback measuring devices: nothing may leave this machine.
        return std::make_unique<Form_AQ>(*e, open, AqCalSetup{QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.1"), 4, 9});
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

    // A main command in flight when the window opens: its time-out must not
    // restart the main dispatcher under the window.
    void takesTheLinkAndGivesItBack()
    {
        e->Timer1.setInterval(300);
        e->Timer2.start(1000);
        auto aq = window();
        QVERIFY(open);
        QVERIFY(!e->Timer1.isActive() && !e->Timer2.isActive());
        QVERIFY(aq->Timer1.isActive());
        QCOMPARE(aq->Timer1.interval(), 500);
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
        const QByteArray zf = QByteArray::fromHex("E803") + QByteArray(62, '\0');
        const QByteArray types = QByteArray::fromHex("0001020500000000");
        QTest::newRow("serial zero/full read") << 0 << int(AQ_READ_ZERO_FULL) << QByteArray(1, char(35)) + zf
                                               << QStringLiteral("读AQ零点满度成功");
        QTest::newRow("serial short zero/full read") << 0 << int(AQ_READ_ZERO_FULL)
                                                     << QByteArray(1, char(35)) + zf.left(63) << QString();
        QTest::newRow("serial type read") << 0 << int(AQ_READ_TYPE) << QByteArray(1, char(39)) + types
                                          << QStringLiteral("读AQ通道类型成功");
        QTest::newRow("serial DO echo differs") << 0 << int(AQ_WRITE_DO) << QByteArray::fromHex("0E01")
                                                << QStringLiteral("设置DO值失败");
        QTest::newRow("serial foreign reply") << 0 << int(AQ_READ_TYPE) << QByteArray(1, char(19)) + types << QString();
        QTest::newRow("ethernet zero/full read") << 1 << int(AQ_READ_ZERO_FULL) << zf
                                                 << QStringLiteral("读AQ零点满度成功");
        QTest::newRow("ethernet short type read") << 1 << int(AQ_READ_TYPE) << types.left(7) << QString();
        QTest::newRow("ethernet AO write") << 1 << int(AQ_WRITE_AO) << QByteArray() << QStringLiteral("写AO值成功");
    }
    void repliesOfItsOwnRequests()
    {
        QFETCH(int, link);
        QFETCH(int, code);
        QFETCH(QByteArray, reply);
        QFETCH(QString, text1);
        view.option = link;
        auto aq = window();
        for (auto* b : aq->txtAQOut)
            b->setText(QStringLiteral("1"));
        aq->push(std::int16_t(code));
        aq->Timer1_Timer();
        QVERIFY(aq->Timer2.isActive());
        const QString waiting = aq->Text1->text();
        if (link == 0) {
            e->RxBuf = QByteArray::fromHex("5555") + reply + QByteArray::fromHex("0000AAAA");
            aq->OnDevReturnFromComm();
        } else {
            QCOMPARE(sock.sent.size(), 1);
            const bool write = quint8(sock.sent[0][0]) == 13;
            const QByteArray seq = sock.sent[0].mid(6, 2);
            e->NetRxBuf = QByteArray(1, char(write ? 0x4D : 0x4C)) + QByteArray(5, '\0') + seq
                + QByteArray(4, '\0') + reply;
            aq->OnDevReturnFromSock();
        }
        QCOMPARE(aq->Text1->text(), text1.isEmpty() ? waiting : text1);
        QCOMPARE(aq->Timer2.isActive(), text1.isEmpty());
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

    // A measuring reply is taken only as the answer to the last read.
    void measuringReplyMatchesTheLastRead()
    {
        auto aq = window();
        e->ReadSeq = 7;
        e->PendIndex = 110;
        QByteArray reply = QByteArray::fromHex("4C0000000000070000006E00") + QByteArray(32, '\0');
        reply.replace(12, 4, QByteArray::fromHex("0000C03F")); // 1.5
        reply[6] = 6;
        aq->wsckMeasure_DataArrival(true, reply);
        QVERIFY(aq->txtMeasV[0]->text().isEmpty());
        reply[6] = 7;
        aq->wsckMeasure_DataArrival(true, reply);
        QCOMPARE(aq->txtMeasV[0]->text(), QStringLiteral("1.500"));
        QVERIFY(aq->txtMeasM[0]->text().isEmpty());
    }
};

QTEST_MAIN(TestAqWindow)
#include "tst_aq_window.moc"
