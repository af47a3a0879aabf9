// The settings windows against a recording port and socket: a block read from
// a reply fills the window; a write goes out with the block's lengths on each
// link; a block never read, a bad cell or a short reply sends nothing.
#include "base/msgbox.h"
#include "link/engine.h"
#include "proto/serial_frame.h"
#include "settings/settings_windows.h"
#include "support/fakes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {
using Get = BlockForm& (SettingsWindows::*)();

QByteArray replyFrame(std::uint8_t fn, const QByteArray& payload)
{
    QByteArray f = QByteArray::fromHex("5555") + char(fn) + payload + QByteArray::fromHex("0000AAAA");
    return f;
}

QByteArray pattern(int n)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 5 + 1) & 0x7F); // every cell positive and in range
    return b;
}
} // namespace

class TestSettingsWindows : public QObject {
    Q_OBJECT
    FakeView view;
    // The reply branches reach the windows as the main window's neighbours do.
    struct Nb : Neighbours {
        SettingsWindows* w = nullptr;
        void DistributeZigbeeParam() override { w->DistributeZigbeeParam(); }
        void OnReadSM() override { w->OnReadSM(); }
    } nb;
    FakeSerial port;
    FakeUdp sock;
    std::unique_ptr<Engine> e;
    std::unique_ptr<SettingsWindows> w;
    QList<MsgRequest> boxes;

    // The reply of a read on the chosen link, as the receive handler leaves it.
    void putReply(std::uint8_t fn, const QByteArray& payload)
    {
        if (view.option == 0)
            e->RxBuf = replyFrame(fn, payload);
        else
            e->NetRxBuf = QByteArray::fromHex("4C0000000000000000000000") + payload;
    }
    BlockForm& formNamed(const QString& name)
    {
        for (Get g : {&SettingsWindows::Form_Ctrl, &SettingsWindows::Form_SM, &SettingsWindows::Form_Resend,
                      &SettingsWindows::Form_Resend_Slave, &SettingsWindows::Form_Rongyu})
            if ((w.get()->*g)().objectName() == name)
                return (w.get()->*g)();
        throw std::logic_error("no such window");
    }
    // One dispatcher tick with the code on top of the stack.
    void tick(std::int16_t code)
    {
        e->push(code);
        e->Timer1_Timer();
    }

private Q_SLOTS:
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r;
            return MsgAnswer::Ok;
        });
        view.option = 0;
        port.written.clear();
        port.open_ = true;
        sock.sent.clear();
        e = std::make_unique<Engine>(&view, &nb, &port);
        e->setDeviceSocket(&sock);
        e->openSerial(QStringLiteral("fake"), QStringLiteral("9600,N,8,1")); // a link runs
        w = std::make_unique<SettingsWindows>(*e);
        nb.w = w.get();
        registerSettingsRows(*e, *w);
    }
    void cleanup()
    {
        w.reset();
        e.reset();
    }

    void blockTravelsWithItsLengths_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("readFn");
        QTest::addColumn<int>("writeCode");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("wireLen"); // serial frame, or Ethernet datagram
        const struct {
            const char* name;
            int readFn, writeCode, size, header;
        } rows[] = {
            {"Form_Ctrl", 75, 67, 242, 18},
            {"Form_SM", 73, 69, 512, 16},
            {"Form_Resend", 68, 71, 488, 18},
            {"Form_Resend_Slave", 66, 78, 64, 18},
            {"Form_Rongyu", 70, 74, 208, 18},
        };
        for (const auto& r : rows) {
            const QString n = QString::fromLatin1(r.name);
            QTest::addRow("serial %s", r.name) << 0 << n << r.readFn << r.writeCode << r.size << r.size + 7;
            QTest::addRow("ethernet %s", r.name) << 1 << n << r.readFn << r.writeCode << r.size << r.size + r.header;
        }
    }
    void blockTravelsWithItsLengths()
    {
        QFETCH(int, link);
        QFETCH(QString, window);
        QFETCH(int, readFn);
        QFETCH(int, writeCode);
        QFETCH(int, size);
        QFETCH(int, wireLen);
        view.option = link;
        BlockForm& form = formNamed(window);
        putReply(std::uint8_t(readFn), pattern(size) + QByteArray(3, '\x7F')); // a longer reply is cut
        form.OnRead();
        QVERIFY(form.blockRead());
        // The last cell edited to a value of its own, then written.
        auto* last = form.grdBlock->item(form.rowOf(form.cellCount() - 1), form.columnOf(form.cellCount() - 1));
        last->setText(QStringLiteral("99"));
        tick(std::int16_t(writeCode));
        QByteArray expected = pattern(size);
        const int w = blocks::cellBytes(form.spec().cell);
        expected.replace(size - w, w, QByteArray(1, char(99)) + QByteArray(w - 1, '\0'));
        if (link == 0) {
            QCOMPARE(port.written.size(), 1);
            const QByteArray f = port.written.last();
            QCOMPARE(f.size(), wireLen);
            QCOMPARE(int(std::uint8_t(f[2])), int(form.spec().writeFn));
            QCOMPARE(f.mid(3, size), expected);
            QCOMPARE(port.threshold, 7);
        } else {
            QCOMPARE(sock.sent.size(), 1);
            const QByteArray d = sock.sent.last();
            QCOMPARE(d.size(), wireLen);
            QCOMPARE(d.right(size), expected);
        }
    }

    // The ZigBee block: the window shows what the reply filled, and its write
    // is the 34-byte block on the serial link and 42 bytes on Ethernet.
    void zigbeeBlockRoundTrip_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("wireLen");
        QTest::newRow("serial") << 0 << 41;
        QTest::newRow("ethernet") << 1 << 42 + 18;
    }
    void zigbeeBlockRoundTrip()
    {
        QFETCH(int, link);
        QFETCH(int, wireLen);
        view.option = link;
        const QByteArray block = QByteArray::fromHex("0105341211800000" "00124B0001020304" "1112131415161718"
                                                     "0107" "0300" "0A00" "FFFF" "0100");
        // The read reply, through the receive handler of the link.
        if (link == 0) {
            tick(serial::QS_READ_ZIGBEE);
            port.written.clear();
            QByteArray f = replyFrame(57, block);
            serial::finishFrame(f);
            port.event(f);
        } else {
            e->PendIndex = 14000;
            e->PendSubIndex = 1;
            e->ReadSeq = 4;
            e->ReadCmd(); // number 5
            sock.sent.clear();
            sock.deliver(QByteArray::fromHex("4C0000000000050000000000") + block);
        }
        ZigbeeForm& f = w->ZigBee();
        QCOMPARE(f.cmbZbNetType->currentIndex(), 5);
        QCOMPARE(f.txtZbDNO->text(), QStringLiteral("4660"));
        QVERIFY(f.ckZbChannel[0]->isChecked() && f.ckZbChannel[4]->isChecked() && !f.ckZbChannel[1]->isChecked());
        QCOMPARE(f.txtZbMAC->text(), QStringLiteral("00124B0001020304"));
        tick(link == 0 ? std::int16_t(serial::QS_WRITE_ZIGBEE) : std::int16_t(177));
        const QByteArray out = link == 0 ? port.written.value(0) : sock.sent.value(0);
        QCOMPARE(out.size(), wireLen);
        if (link == 0)
            QCOMPARE(out.mid(3, 34), block);
        else
            QCOMPARE(out.mid(18), block + QByteArray(8, '\0'));
    }

    // Writing a block that was never read, or read in an earlier connection
    // (another device, or before a Stop): the button says so and pushes
    // nothing; the dispatcher's row sends nothing either.
    void writeOfABlockNeverReadIsRefused_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("writeCode");
        QTest::addColumn<bool>("readBefore");
        for (const auto& [n, c] : {std::pair{"Form_Ctrl", 67}, {"Form_SM", 69}, {"Form_Resend", 71},
                                   {"Form_Resend_Slave", 78}, {"Form_Rongyu", 74}, {"ZigBee", 64}}) {
            QTest::addRow("%s never read", n) << QString::fromLatin1(n) << c << false;
            QTest::addRow("%s read before", n) << QString::fromLatin1(n) << c << true;
        }
    }
    void writeOfABlockNeverReadIsRefused()
    {
        QFETCH(QString, window);
        QFETCH(int, writeCode);
        QFETCH(bool, readBefore);
        const bool zigbee = window == QLatin1String("ZigBee");
        QWidget* form = zigbee ? static_cast<QWidget*>(&w->ZigBee()) : &formNamed(window);
        if (readBefore) {
            e->openSerial(e->port()->portName(), QStringLiteral("9600,N,8,1"));
            putReply(0, pattern(512));
            if (zigbee)
                w->DistributeZigbeeParam();
            else
                formNamed(window).OnRead();
            e->openSerial(e->port()->portName(), QStringLiteral("9600,N,8,1")); // a new connection
            // and the window shows nothing of the device read before
            QVERIFY((zigbee ? w->ZigBee().txtZbDNO->text() : formNamed(window).grdBlock->item(0, 0)->text()).isEmpty());
        }
        auto* write = form->findChild<QPushButton*>(zigbee ? QStringLiteral("cmdZbWrite") : QStringLiteral("cmdWrite"));
        write->click();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("请先读取参数，再修改写入"));
        QCOMPARE(e->CmdTop, std::int16_t(0));
        tick(std::int16_t(writeCode));
        QVERIFY(port.written.isEmpty());
        QVERIFY(e->Timer2.isActive()); // the time-out reports the loss
    }

    // A cell that does not fit its block is refused before anything is queued.
    void cellOutOfRangeIsRefused()
    {
        BlockForm& f = w->Form_Ctrl();
        putReply(75, pattern(242));
        f.OnRead();
        f.grdBlock->item(3, 4)->setText(QStringLiteral("256"));
        f.cmdWrite->click();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("数值错误，请检查"));
        QCOMPARE(f.grdBlock->currentRow(), 3);
        QCOMPARE(e->CmdTop, std::int16_t(0));
    }

    // A read reply shorter than its block is refused by its branch: no
    // success text, the window is not filled.
    void shortReplyIsRefused_data()
    {
        QTest::addColumn<int>("link");
        QTest::newRow("serial") << 0;
        QTest::newRow("ethernet") << 1;
    }
    void shortReplyIsRefused()
    {
        QFETCH(int, link);
        view.option = link;
        view.history.clear();
        BlockForm& f = w->Form_SM();
        if (link == 0) {
            tick(serial::QS_READ_SM);
            QByteArray frame = replyFrame(73, pattern(511));
            serial::finishFrame(frame);
            port.event(frame);
        } else {
            e->PendIndex = 107;
            e->PendParam = 256;
            e->ReadSeq = 3;
            sock.deliver(QByteArray::fromHex("4C0000000000030000000000") + pattern(511));
        }
        QVERIFY(!f.blockRead());
        QVERIFY(f.grdBlock->item(0, 0)->text().isEmpty());
        for (const QString& t : view.history)
            QVERIFY2(!t.contains(QStringLiteral("成功")), qPrintable(t));
    }

    void unloadDropsEveryWindow()
    {
        w->Form_Ctrl();
        w->Form_Rongyu();
        w->ZigBee().cmdZbAdvance->click();
        QVERIFY(w->loaded(QStringLiteral("ZigbeeAdvanceParam")));
        w->unload();
        for (const char* n : {"Form_Ctrl", "Form_Rongyu", "ZigBee", "ZigbeeAdvanceParam"})
            QVERIFY2(!w->loaded(QString::fromLatin1(n)), n);
    }
};

QTEST_MAIN(TestSettingsWindows)
#include "tst_settings_windows.moc"
