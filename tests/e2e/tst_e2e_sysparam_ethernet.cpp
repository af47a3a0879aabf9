// The system-parameter page end to end on the Ethernet link: the real window,
// offscreen, against the simulated device on loopback UDP. The page shows the
// device's record after the start-up reads, the set-parameter command sends the
// edited page in the layout the device takes (long, 232 bytes; short, 84 bytes
// after its companion writes), the device holds the new values, and a fresh
// read shows them again. The expected records come from sysparam_expected.h;
// the datagram headers around them are checked here.
#include "e2e/sysparam_expected.h"
#include "pages/form1.h"
#include "e2e/window_rig.h"
#include "devsim/udp_device.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUdpSocket>
#include <QtTest>

using namespace sysparam;

namespace {

constexpr int STARTUP_READS = 16; // with the two reads the AQ type read queues
constexpr int SVC_READ = 12;
constexpr int SVC_WRITE = 13;
constexpr int READ_SYS_INFO = 1; // the read's queue code

// What the device announces and the page shows as PD tag.
const QByteArray PD_TAG = QByteArray("SIM MRK7000").leftJustified(32, ' ');

struct Request {
    int service, index, sub;
    QByteArray datagram;
};
using Key = std::tuple<int, int, int>; // service, index, sub-index

} // namespace

class TestE2eSysParamEthernet : public QObject {
    Q_OBJECT
    std::unique_ptr<SimUdpDevice> sim;
    std::unique_ptr<Form1> f;
    QStringList texts;
    QList<MsgRequest> boxes;
    QList<Request> wire;

    void startWindow()
    {
        const quint16 announcePort = e2e::startLoopbackDevice(*sim);
        QVERIFY2(announcePort != 0, qPrintable(sim->errorString()));
        connect(sim.get(), &SimUdpDevice::requestReceived, this,
                [this](quint8 svc, quint16 index, quint16 sub, quint16, quint16, const QByteArray& d) {
                    wire.append({svc, index, sub, d});
                });
        f = e2e::ethernetWindow(announcePort, this, texts);
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000);
        f->ui.cmbDevice->setCurrentIndex(0);
        f->cmbDevice_Click();
        QTRY_VERIFY_WITH_TIMEOUT(wire.size() > STARTUP_READS, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.lblNUM->text(), NUMBER, 2000);
    }

    QList<Key> keys() const
    {
        QList<Key> out;
        for (const auto& r : wire)
            out << Key(r.service, r.index, r.sub);
        return out;
    }
    QByteArray requestOf(const Key& k) const
    {
        for (const auto& r : wire)
            if (Key(r.service, r.index, r.sub) == k)
                return r.datagram;
        return {};
    }
    void clearWire()
    {
        wire.clear();
        sim->clearLog();
    }

    // The 18-byte header of a write: service, whole length, index, sub-index.
    static void checkWriteHeader(const QByteArray& d, int index, int sub)
    {
        QVERIFY(d.size() >= 18);
        QCOMPARE(int(quint8(d[0])), SVC_WRITE);
        QCOMPARE(int(quint8(d[4]) | quint8(d[5]) << 8), int(d.size()));
        QCOMPARE(int(quint8(d[10]) | quint8(d[11]) << 8), index);
        QCOMPARE(int(quint8(d[12]) | quint8(d[13]) << 8), sub);
        QCOMPARE(int(quint8(d[14]) | quint8(d[15]) << 8), 0);
    }

private Q_SLOTS:
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r;
            return MsgAnswer::Ok;
        });
        sim = std::make_unique<SimUdpDevice>();
        texts.clear();
        wire.clear();
    }
    void cleanup()
    {
        f.reset();
        sim.reset();
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
    }

    void longLayoutShowWriteAndReadBack()
    {
        startWindow();
        if (QTest::currentTestFailed())
            return;
        auto& u = f->ui;

        // The page shows the device's record.
        SYSPARAM_CHECK(checkRecordShown(u));
        QCOMPARE(ipShown(u), (QStringList{"127", "0", "0", "2"}));
        QCOMPARE(u.uPortTxt->text(), QString::number(sim->port()));
        QCOMPARE(u.txthardwarenum->text(), QStringLiteral("20230615000042")); // from the announcement
        QCOMPARE(u.txtPD_Tag->text(), QString::fromLatin1(PD_TAG));
        QCOMPARE(u.lb_BookNo->text(), QStringLiteral("1.2"));

        SYSPARAM_CHECK(checkFilledFromOtherBlocks(u));
        typeCommonEntries(u);
        SYSPARAM_CHECK(editForLongWrite(u));

        const Key write{SVC_WRITE, 10003, 4};
        clearWire();
        texts.clear();
        u.cmdSetPara->click();
        QTRY_VERIFY_WITH_TIMEOUT(keys().contains(write), 3000);
        QCOMPARE(keys().first(), write);

        QByteArray mac;
        SYSPARAM_CHECK(readAutomaticMac(u, mac));

        QByteArray expected = expectedLongHead();
        QCOMPARE(expected.size(), 54);
        completeLongRecord(expected, mac, PD_TAG);
        expected.append(QByteArray(19, '\0')); // the Ethernet layout ends in 19 zero bytes

        const QByteArray sent = requestOf(write);
        QCOMPARE(sent.size(), 250);
        checkWriteHeader(sent, 10003, 4);
        QCOMPARE(sent.mid(18, 54).toHex(' '), expected.left(54).toHex(' '));
        QCOMPARE(sent.mid(18).toHex(' '), expected.toHex(' '));

        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("写系统参数成功")), 3000);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
        // On this link the DeviceID box stays as composed.
        QCOMPARE(u.txtDevID->text(), QString::fromLatin1(DEVICE_ID));
        QVERIFY(!keys().contains(Key(SVC_WRITE, 10003, 19))); // no MAC write of its own
        QVERIFY(boxes.isEmpty());

        SYSPARAM_CHECK(checkLongWriteInModel(*sim->model(), mac));
        QCOMPARE(sim->model()->pdTag, PD_TAG);

        spoilLongEdits(u);
        clearWire();
        f->engine().push(READ_SYS_INFO);
        QTRY_COMPARE_WITH_TIMEOUT(u.txtModuleAddr->text(), QStringLiteral("9"), 3000);
        QVERIFY(keys().contains(Key(SVC_READ, 10003, 1)));
        SYSPARAM_CHECK(checkLongReadBack(u));
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
    }

    void shortLayoutWritesItsCompanionsFirst()
    {
        sim->model()->innerVersion = 0x2000; // firmware that takes the short layout
        startWindow();
        if (QTest::currentTestFailed())
            return;
        auto& u = f->ui;
        QCOMPARE(u.txtInnerVersion->text(), QStringLiteral("2.000"));

        typeCommonEntries(u);
        SYSPARAM_CHECK(editForShortWrite(u));

        const Key pdRead{SVC_READ, 10010, 2};
        clearWire();
        texts.clear();
        f->cmdSetPara_Click();
        QTRY_VERIFY_WITH_TIMEOUT(keys().contains(pdRead), 6000);
        // Gateway, sensor types, AI alarm limits, AQ types written and read
        // back (each reply refreshing the AQ area: AQ zero/full and AQ-to-DQ
        // read), then the record itself, then the DeviceID/PD-tag read. The
        // read-back the sensor-type reply asks for is left out while the
        // record's write waits: it would put the old record over the new one.
        const QList<Key> order = keys();
        const QList<Key> expectedOrder{{SVC_WRITE, 14000, 7}, {SVC_WRITE, 10003, 5}, {SVC_WRITE, 10003, 26},
                                       {SVC_WRITE, 10003, 20}, {SVC_READ, 10003, 15}, {SVC_READ, 10003, 19},
                                       {SVC_READ, 10003, 17}, {SVC_READ, 10003, 15}, {SVC_READ, 10003, 19},
                                       {SVC_WRITE, 10003, 4},  pdRead};
        QCOMPARE(order.mid(0, 11), expectedOrder);

        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("写系统参数成功")), 3000);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
        QVERIFY(boxes.isEmpty());

        SYSPARAM_CHECK(checkShortCompanionsInModel(*sim->model()));

        QByteArray expected = expectedShortHead();
        QCOMPARE(expected.size(), 52);
        expected.resize(SHORT_RECORD_SIZE, '\0');
        const QByteArray sent = requestOf(Key(SVC_WRITE, 10003, 4));
        QCOMPARE(sent.size(), 18 + SHORT_RECORD_SIZE);
        checkWriteHeader(sent, 10003, 4);
        QCOMPARE(sent.mid(18).toHex(' '), expected.toHex(' '));

        SYSPARAM_CHECK(checkShortRecordInModel(*sim->model()));

        spoilShortEdits(u);
        f->engine().push(READ_SYS_INFO);
        QTRY_COMPARE_WITH_TIMEOUT(u.txtModuleAddr->text(), QStringLiteral("23"), 3000);
        SYSPARAM_CHECK(checkShortReadBack(u));
    }

    void badCalibrationValueWritesNothing()
    {
        startWindow();
        if (QTest::currentTestFailed())
            return;
        editBadCalibration(f->ui);

        clearWire();
        texts.clear();
        f->cmdSetPara_Click();
        SYSPARAM_CHECK(checkBadCalibrationBox(boxes));
        QVERIFY(!texts.contains(QStringLiteral("正在设置系统信息，请稍候")));
        // The idle poll goes on; no write among it.
        QTRY_VERIFY_WITH_TIMEOUT(wire.size() >= 5, 3000);
        for (const auto& r : wire)
            QCOMPARE(r.service, SVC_READ);
        QCOMPARE(int(sim->model()->moduleAddr), 1);
    }
};

QTEST_MAIN(TestE2eSysParamEthernet)
#include "tst_e2e_sysparam_ethernet.moc"
