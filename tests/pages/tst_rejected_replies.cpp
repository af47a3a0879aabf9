// A reply that its branch cannot take (too short for its block) is handled as
// if it had not come: no success text, nothing shown, the waiting command's
// time-out still armed, and one line in the error log. One table per link over
// the branches that decode a block.
#include "base/errorlog.h"
#include "proto/net_datagram.h"
#include "proto/serial_frame.h"
#include "support/form_rig.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

namespace {
int logLines()
{
    QFile f(QString::fromLatin1(ERROR_LOG_FILE));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return int(f.readAll().count('\n'));
}
} // namespace

class TestRejectedReplies : public QObject {
    Q_OBJECT
    std::unique_ptr<FormRig> rig;
    Form1* f = nullptr;

    // The state of a command that waits for its reply.
    void waiting()
    {
        f->engine().Timer1.stop();
        f->engine().Timer2.setInterval(5000);
        f->engine().Timer2.start();
        f->ui.Text2->clear();
        f->ui.txt_MAC[0]->setText(QStringLiteral("7E"));
    }
    void verifyIgnored(int logBefore)
    {
        QVERIFY(f->ui.Text2->text().isEmpty());
        QVERIFY(!f->engine().Timer1.isActive());
        QVERIFY(f->engine().Timer2.isActive());
        QCOMPARE(f->ui.txt_MAC[0]->text(), QStringLiteral("7E"));
        QCOMPARE(f->engine().Zigbee.ZbLogic, std::uint8_t(0));
        QCOMPARE(logLines(), logBefore + 1);
    }

private Q_SLOTS:
    void init()
    {
        rig = std::make_unique<FormRig>();
        f = rig->f.get();
    }
    void cleanup() { rig.reset(); }

    void serialShortBlock_data()
    {
        QTest::addColumn<int>("fn");
        QTest::newRow("system parameters") << 1;
        QTest::newRow("DO written") << 14;
        QTest::newRow("engineering values") << 18;
        QTest::newRow("PD tag") << 21;
        QTest::newRow("MAC") << 37;
        QTest::newRow("AQ types") << 39;
        QTest::newRow("AI alarm") << 50;
        QTest::newRow("slave record") << 32;
        QTest::newRow("RAM test") << 40;
        QTest::newRow("Profibus state") << 79;
        QTest::newRow("ZigBee block, trailer not taken as data") << 57;
        QTest::newRow("gateway") << 77;
        QTest::newRow("zero points") << 2;
        QTest::newRow("full-scale values") << 3;
        QTest::newRow("sensor types written") << 5;
        QTest::newRow("A/D codes") << 8;
        QTest::newRow("temperatures") << 9;
        QTest::newRow("voltages") << 12;
        QTest::newRow("DI/DO") << 13;
        QTest::newRow("LEDs") << 23;
        QTest::newRow("AQ zero/full") << 35;
        QTest::newRow("AQ-to-DQ") << 42;
    }
    void serialShortBlock()
    {
        QFETCH(int, fn);
        rig->openPort();
        waiting();
        const int before = logLines();
        // Empty, or one byte short of the ZigBee block: its CRC and markers
        // would otherwise fill the last fields.
        rig->serialReply(std::uint8_t(fn), fn == 57 ? QByteArray(33, '\1') : QByteArray());
        verifyIgnored(before);
    }

    void ethernetShortBlock_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sub");
        QTest::newRow("system parameters") << int(net::IDX_SYSTEM) << 1;
        QTest::newRow("engineering values") << int(net::IDX_SYSTEM) << 4;
        QTest::newRow("slave record") << int(net::IDX_SYSTEM) << 14;
        QTest::newRow("MAC") << int(net::IDX_SYSTEM) << 16;
        QTest::newRow("AQ types") << int(net::IDX_SYSTEM) << 17;
        QTest::newRow("AI alarm") << int(net::IDX_SYSTEM) << 20;
        QTest::newRow("inner calibration") << int(net::IDX_SYSTEM) << 21;
        QTest::newRow("DeviceID and PD tag") << int(net::IDX_PDTAG) << 2;
        QTest::newRow("weekday") << int(net::IDX_MEM) << 0;
        QTest::newRow("ZigBee block") << int(net::IDX_COMM) << 1;
        QTest::newRow("gateway") << int(net::IDX_COMM) << 5;
        QTest::newRow("zero points") << int(net::IDX_SYSTEM) << 2;
        QTest::newRow("full-scale values") << int(net::IDX_SYSTEM) << 3;
        QTest::newRow("A/D codes") << int(net::IDX_SYSTEM) << 8;
        QTest::newRow("temperatures") << int(net::IDX_SYSTEM) << 9;
        QTest::newRow("LEDs") << int(net::IDX_SYSTEM) << 10;
        QTest::newRow("voltages") << int(net::IDX_SYSTEM) << 12;
        QTest::newRow("DI/DO") << int(net::IDX_SYSTEM) << 13;
        QTest::newRow("AQ zero/full") << int(net::IDX_SYSTEM) << 15;
    }
    void ethernetShortBlock()
    {
        QFETCH(int, index);
        QFETCH(int, sub);
        f->ui.optComm[1]->setChecked(true);
        auto& e = f->engine();
        e.aimDevice(QStringLiteral("127.0.0.2"), 9000);
        e.PendIndex = index;
        e.PendSubIndex = sub;
        e.PendParam = 0;
        waiting();
        const int before = logLines();
        rig->device.deliver(freshReadReply(e, QByteArray(3, '\1')));
        verifyIgnored(before);
    }
};

QTEST_MAIN(TestRejectedReplies)
#include "tst_rejected_replies.moc"
