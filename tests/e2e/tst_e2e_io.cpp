// The inputs and outputs end to end on each link against the simulated device:
// the live values of every display mode beside the DI/DO block on the pages, a
// zero save through the editor, a DO click beside a DO the device holds on,
// an output write, an LED, the AQ types and the AQ zero/full block, each
// written and read back.
#include "base/msgbox.h"
#include "device/colors.h"
#include "e2e/window_rig.h"
#include "pages/form1.h"
#include "proto/net_datagram.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TestE2eIo : public QObject {
    Q_OBJECT
    QStringList texts;
    QList<int> doWrites;            // the DO bytes the device was sent, oldest first
    std::function<void()> onDidoRead; // runs once when the device hears the next DI/DO read
    std::function<void(int)> holdReplies; // holds the device's replies back by this many ms

    // A DI/DO read the device heard, or a DO write it took.
    void heard(bool didoRead, int doWrite)
    {
        if (didoRead && onDidoRead)
            QTimer::singleShot(0, this, std::exchange(onDidoRead, nullptr));
        if (doWrite >= 0)
            doWrites << doWrite;
    }

    static void prepare(SimDeviceModel& m)
    {
        m.liveJitter = false;
        m.innerVersion = 0x3301; // the long DI/DO block, with the battery byte
        m.diByte = 0x06;
        m.doByte = 0x02; // DO 1 on
        m.aqType = {0, 0, 0, 0, 0, 0, 0, 0};
    }

    // Everything after the start-up; `wire` says which requests the device
    // took, newest last, as one text each ("2", "10003/6").
    void exercise(Form1& f, SimDeviceModel& m, const std::function<QStringList()>& wire,
                  const std::function<void()>& clearWire)
    {
        auto& u = f.ui;
        // Live values in each display mode, the DI/DO block beside them.
        const struct {
            Qt::Key key;
            QString first;
        } modes[] = {{Qt::Key_F5, QStringLiteral("400000")}, {Qt::Key_F6, QStringLiteral("1.25")},
                     {Qt::Key_F4, QStringLiteral("2990")}};
        for (const auto& mode : modes) {
            QTest::keyClick(&f, mode.key);
            QTRY_COMPARE_WITH_TIMEOUT(u.ChnlDis[0]->text(), mode.first, 3000);
        }
        QCOMPARE(u.ChnlDis[10]->text(), QStringLiteral("3000"));
        QVERIFY(colors::isFace(u.shpDI[0]));
        QCOMPARE(colors::background(u.shpDI[1]), colors::ON);
        QCOMPARE(u.txtCellPressure->text(), QStringLiteral("3.6"));

        // A zero save through the editor: the live value of channel 1 is written, then read back.
        u.chkMaintenance->click();
        QVERIFY(u.cmdSetZero->isEnabled());
        clearWire();
        QTest::keyClick(&f, Qt::Key_F7);
        QTest::keyClick(&f, Qt::Key_Right);
        QTest::keyClick(&f, Qt::Key_Return);
        QCOMPARE(u.ChnlDis[12]->text(), QStringLiteral("2991"));
        QTest::keyClick(&f, Qt::Key_F9);
        QTRY_COMPARE_WITH_TIMEOUT(m.zero[1], 2991, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("写零点数据成功")), 3000);
        const auto readAfterWrite = [&] {
            const QStringList w = wire();
            const auto written = w.indexOf(QRegularExpression(QStringLiteral("(\\d+/)?6")));
            return written >= 0 && w.indexOf(QRegularExpression(QStringLiteral("(\\d+/)?2")), written) > written;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(readAfterWrite(), qPrintable(wire().join(QLatin1Char(' '))), 3000);

        // A DO click: the device takes it and the lamp follows the read-back.
        // DO 1 is on as the device reports it, and stays on.
        QTRY_COMPARE_WITH_TIMEOUT(colors::background(u.cmdDO[1]), colors::ON, 3000);
        u.cmdDO[0]->click();
        QTRY_COMPARE_WITH_TIMEOUT(m.doByte, quint8(3), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(colors::background(u.cmdDO[0]), colors::ON, 3000);

        // Clicks while a DI/DO read is on its way: its reply, held back by the
        // device, lands before the write and moves the base, not the click.
        // One click turns DO 1 off; two clicks flip it twice.
        holdReplies(120);
        const auto clicksOnARead = [&](int clicks, const QList<int>& sent) {
            QTRY_COMPARE_WITH_TIMEOUT(int(f.engine().CmdTop), 0, 5000);
            doWrites.clear();
            onDidoRead = [&u, clicks] {
                for (int i = 0; i < clicks; ++i)
                    u.cmdDO[1]->click();
            };
            QTRY_COMPARE_WITH_TIMEOUT(doWrites.size(), sent.size(), 5000);
            QTRY_COMPARE_WITH_TIMEOUT(int(f.engine().CmdTop), 0, 5000);
            QCOMPARE(doWrites, sent);
        };
        clicksOnARead(1, {0x01});
        clicksOnARead(2, {0x03, 0x01});
        holdReplies(0);
        QCOMPARE(m.doByte, quint8(1));

        // Output values: 12.3456 goes out as 12346 and comes back as 12.346.
        for (auto* box : u.txtAQ_Set)
            box->setText(QStringLiteral("12.3456"));
        u.cmdSetAO->click();
        QTRY_COMPARE_WITH_TIMEOUT(m.aoValue[7], qint16(12346), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(u.txtAQ[7]->text(), QStringLiteral("12.346"), 3000);

        // An LED toggles on the device and on the page.
        u.LightState[3]->click();
        QTRY_COMPARE_WITH_TIMEOUT(m.leds[3], quint8(1), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(colors::background(u.LightState[3]), colors::ON, 3000);

        // AQ types written and read back drive the AQ area.
        u.ComboType2[1]->setCurrentIndex(1);
        u.ComboType2[2]->setCurrentIndex(2);
        u.bt_WriteAQType->click();
        QTRY_COMPARE_WITH_TIMEOUT(m.aqType[2], quint8(2), 5000);
        QCOMPARE(m.aqType[1], quint8(1));
        QTRY_COMPARE_WITH_TIMEOUT(u.lbl_unit0[1]->text(), QStringLiteral("mA"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(u.cmdDQ3[2]->isEnabled(), 3000);
        QVERIFY(!u.cmdDQ3[0]->isEnabled());
        QVERIFY(u.txt_AQV[2]->text().isEmpty());

        // The AQ zero points written, then read back.
        QTRY_VERIFY_WITH_TIMEOUT(f.engine().CmdTop == 0, 5000);
        u.txt_AQV[0]->setText(QStringLiteral("1.5"));
        u.bt_WriteOrOut[2]->click();
        QTRY_COMPARE_WITH_TIMEOUT(m.aqZeroFull[0], qint16(1500), 5000);
        QCOMPARE(m.lastAqZeroFullMode, quint8(2));
        m.aqZeroFull[0] = 1499; // the read-back shows the device's value
        u.bt_ReadAQZeroFull->click();
        QTRY_COMPARE_WITH_TIMEOUT(u.txt_AQV[0]->text(), QStringLiteral("1.499"), 5000);

        QVERIFY2(!texts.contains(QStringLiteral("通讯超时")), qPrintable(texts.join(QLatin1Char(' '))));
    }

private Q_SLOTS:
    void init()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Yes; });
        texts.clear();
    }

    void serialLink()
    {
        SimSerialDevice sim;
        prepare(*sim.model());
        QVERIFY2(sim.open(), qPrintable(sim.errorString()));
        auto f = e2e::connectedSerialWindow(sim, this, texts);
        QVERIFY(f);
        connect(&sim, &SimSerialDevice::requestReceived, this, [this](quint8 fn, const QByteArray& frame) {
            heard(fn == 13, fn == 14 ? quint8(frame.at(3)) : -1);
        });
        holdReplies = [&sim](int ms) { sim.setReplyDelay(ms); };
        // The idle poll alternates the live read with the DI/DO read.
        sim.clearLog();
        QTRY_VERIFY_WITH_TIMEOUT(sim.receivedFunctions().size() >= 5, 3000);
        QString poll;
        for (auto fn : sim.receivedFunctions().mid(1, 4)) // the first may still be a start-up read
            poll += QString::number(fn) + QLatin1Char(' ');
        QVERIFY2(poll == QLatin1String("9 13 9 13 ") || poll == QLatin1String("13 9 13 9 "), qPrintable(poll));
        exercise(
            *f, *sim.model(),
            [&] {
                QStringList out;
                for (auto fn : sim.receivedFunctions())
                    out << QString::number(fn);
                return out;
            },
            [&] { sim.clearLog(); });
    }

    void ethernetLink()
    {
        SimUdpDevice sim;
        prepare(*sim.model());
        const quint16 announcePort = e2e::startLoopbackDevice(sim);
        QVERIFY2(announcePort != 0, qPrintable(sim.errorString()));
        auto f = e2e::connectedEthernetWindow(announcePort, this, texts);
        QVERIFY(f);
        connect(&sim, &SimUdpDevice::requestReceived, this,
                [this](quint8 service, quint16 index, quint16 sub, quint16, quint16, const QByteArray& d) {
                    const bool system = index == net::IDX_SYSTEM;
                    const bool doWrite = system && sub == 14 && service == net::SVC_WRITE;
                    heard(system && sub == 13 && service == net::SVC_READ, doWrite ? quint8(d.at(18)) : -1);
                });
        holdReplies = [&sim](int ms) { sim.setReplyDelay(ms); };
        exercise(
            *f, *sim.model(),
            [&] {
                QStringList out;
                for (const auto& r : sim.receivedRequests())
                    out << QStringLiteral("%1/%2").arg(r.index).arg(r.subIndex);
                return out;
            },
            [&] { sim.clearLog(); });
    }
};

QTEST_MAIN(TestE2eIo)
#include "tst_e2e_io.moc"
