// The system-parameter page end to end on the serial link: the real window,
// offscreen, against the simulated device on a pseudo-terminal. The page shows
// the device's record after the start-up reads, the set-parameter command puts
// the edited page on the wire in the layout the device takes (long with the
// MAC, calibration, alarm limits and identity; short with its companion
// writes), the device holds the new values, and a fresh read shows them again.
// The expected records come from sysparam_expected.h; the frames around them
// are written out here.
#include "e2e/sysparam_expected.h"
#include "pages/form1.h"
#include "e2e/window_rig.h"
#include "devsim/serial_device.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace sysparam;

namespace {

// Function codes the start-up reads put on the wire.
constexpr int STARTUP_READS = 16; // with the two reads the AQ type read queues
constexpr quint8 FN_READ_SYS = 1;
constexpr quint8 FN_WRITE_SYS = 4;
constexpr quint8 FN_WRITE_MAC = 36;

// CRC-16 of the serial frames: reflected polynomial 0xA001, start 0xFFFF.
quint16 crc(const QByteArray& b)
{
    quint16 c = 0xFFFF;
    for (char ch : b) {
        c ^= quint8(ch);
        for (int i = 0; i < 8; ++i)
            c = (c & 1) ? quint16((c >> 1) ^ 0xA001) : quint16(c >> 1);
    }
    return c;
}

// 55 55, function code, payload, CRC low byte first, AA AA.
QByteArray frame(quint8 fn, const QByteArray& payload)
{
    QByteArray body = QByteArray(1, char(fn)) + payload;
    const quint16 c = crc(body);
    return bytes({0x55, 0x55}) + body + bytes({c & 0xFF, c >> 8, 0xAA, 0xAA});
}

struct Wire {
    quint8 fn;
    QByteArray frame;
};

} // namespace

class TestE2eSysParamSerial : public QObject {
    Q_OBJECT
    std::unique_ptr<SimSerialDevice> sim;
    std::unique_ptr<Form1> f;
    QStringList texts;       // every text the status line showed
    QList<MsgRequest> boxes; // every message box
    QList<Wire> wire;        // requests as they arrived, from the last clear

    void startWindow()
    {
        f = e2e::serialWindow(*sim, this, texts);
        connect(sim.get(), &SimSerialDevice::requestReceived, this,
                [this](quint8 fn, const QByteArray& fr) { wire.append({fn, fr}); });
    }

    // Start-up done: every read went out and the page shows the record.
    void waitForStartup()
    {
        QTRY_VERIFY_WITH_TIMEOUT(sim->receivedFunctions().size() > STARTUP_READS, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(f->ui.lblNUM->text(), NUMBER, 2000);
    }

    QList<quint8> functions() const
    {
        QList<quint8> out;
        for (const auto& w : wire)
            out << w.fn;
        return out;
    }
    QByteArray requestOf(quint8 fn) const
    {
        for (const auto& w : wire)
            if (w.fn == fn)
                return w.frame;
        return {};
    }
    void clearWire()
    {
        wire.clear();
        sim->clearLog();
    }

private Q_SLOTS:
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r;
            return MsgAnswer::Ok;
        });
        sim = std::make_unique<SimSerialDevice>();
        QVERIFY2(sim->open(), qPrintable(sim->errorString()));
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
        waitForStartup();
        if (QTest::currentTestFailed())
            return;
        auto& u = f->ui;

        // The page shows the device's record.
        SYSPARAM_CHECK(checkRecordShown(u));
        QCOMPARE(ipShown(u), (QStringList{"127", "0", "0", "1"}));
        QCOMPARE(u.uPortTxt->text(), QStringLiteral("15001"));
        QCOMPARE(u.txtSubcommIntv->text(), QStringLiteral("100"));
        QCOMPARE(u.lblVersion->text(), QStringLiteral("2.3"));
        QCOMPARE(u.lb_BookNo->text(), QStringLiteral("BootVer 1.2"));
        QCOMPARE(u.txt_RSDataTime[0]->text(), QStringLiteral("5"));
        QCOMPARE(u.Combo9[0]->currentIndex(), 3);
        QCOMPARE(u.Combo10[0]->currentIndex(), 1);
        QCOMPARE(u.ComboADFilter->currentIndex(), 1);
        QCOMPARE(u.ComboADRate1->currentIndex(), 3);
        QCOMPARE(u.txt_AQjust[5]->text(), QStringLiteral("5"));

        // Edit the page.
        SYSPARAM_CHECK(checkFilledFromOtherBlocks(u));
        typeCommonEntries(u);
        SYSPARAM_CHECK(editForLongWrite(u));

        clearWire();
        texts.clear();
        u.cmdSetPara->click();
        QTRY_VERIFY_WITH_TIMEOUT(functions().contains(FN_WRITE_SYS), 3000);
        QCOMPARE(int(functions().first()), int(FN_WRITE_SYS));

        // The automatic MAC went into the boxes.
        QByteArray mac;
        SYSPARAM_CHECK(readAutomaticMac(u, mac));

        QByteArray expected = expectedLongHead();
        QCOMPARE(expected.size(), 54);
        // The PD tag as read: eleven letters and 21 spaces.
        const QByteArray pdTag = QByteArray("SIM MRK7000").leftJustified(32, ' ');
        QCOMPARE(u.txtPD_Tag->text(), QString::fromLatin1(pdTag));
        completeLongRecord(expected, mac, pdTag);

        const QByteArray sent = requestOf(FN_WRITE_SYS);
        QCOMPARE(sent.size(), 220);
        QCOMPARE(sent.mid(3, 54).toHex(' '), expected.left(54).toHex(' '));
        QCOMPARE(sent.mid(3, LONG_RECORD_SIZE).toHex(' '), expected.toHex(' '));
        QCOMPARE(sent.toHex(' '), frame(FN_WRITE_SYS, expected).toHex(' '));

        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("设置配置信息成功")), 3000);
        QVERIFY(texts.contains(QStringLiteral("正在设置系统信息，请稍候")));
        // After sending, the DeviceID box keeps only its second half.
        QCOMPARE(u.txtDevID->text(), QString(16, u'0') + QStringLiteral("0095202306151234"));
        // The MAC is part of the record: its own write was not sent.
        QVERIFY(!functions().contains(FN_WRITE_MAC));
        QVERIFY(boxes.isEmpty());

        // The device took it.
        SYSPARAM_CHECK(checkLongWriteInModel(*sim->model(), mac));

        // Spoil the page, then read the record back.
        spoilLongEdits(u);
        clearWire();
        f->engine().push(FN_READ_SYS);
        QTRY_COMPARE_WITH_TIMEOUT(u.txtModuleAddr->text(), QStringLiteral("9"), 3000);
        QVERIFY(functions().contains(FN_READ_SYS));
        SYSPARAM_CHECK(checkLongReadBack(u));
        QCOMPARE(u.txtDevID->text(), QString(18, u'0') + NUMBER);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
    }

    void shortLayoutWritesItsCompanionsFirst()
    {
        sim->model()->innerVersion = 0x2000; // firmware that takes the short layout
        startWindow();
        waitForStartup();
        if (QTest::currentTestFailed())
            return;
        auto& u = f->ui;
        QCOMPARE(u.txtInnerVersion->text(), QStringLiteral("2.000"));

        typeCommonEntries(u);
        SYSPARAM_CHECK(editForShortWrite(u));

        clearWire();
        texts.clear();
        f->cmdSetPara_Click();
        QTRY_VERIFY_WITH_TIMEOUT(functions().size() >= 11, 6000);
        // Gateway, sensor types, AI alarm limits, AQ types written and read
        // back (each reply refreshing the AQ area: AQ zero/full and AQ-to-DQ
        // read), then the record itself, then the DeviceID/PD-tag read.
        QCOMPARE(functions().mid(0, 11), (QList<quint8>{78, 5, 51, 38, 35, 42, 39, 35, 42, FN_WRITE_SYS, 21}));

        QByteArray expected = expectedShortHead();
        QCOMPARE(expected.size(), 52);
        expected.resize(SHORT_RECORD_SIZE, '\0');
        const QByteArray sent = requestOf(FN_WRITE_SYS);
        QCOMPARE(sent.size(), 91);
        QCOMPARE(sent.mid(3, SHORT_RECORD_SIZE).toHex(' '), expected.toHex(' '));
        QCOMPARE(sent.toHex(' '), frame(FN_WRITE_SYS, expected).toHex(' '));

        QTRY_VERIFY_WITH_TIMEOUT(texts.contains(QStringLiteral("设置配置信息成功")), 3000);
        QVERIFY(!texts.contains(QStringLiteral("通讯超时")));
        QVERIFY(boxes.isEmpty());
        // The short write leaves the DeviceID box as composed.
        QCOMPARE(u.txtDevID->text(), QString::fromLatin1(DEVICE_ID));

        SYSPARAM_CHECK(checkShortRecordInModel(*sim->model()));
        SYSPARAM_CHECK(checkShortCompanionsInModel(*sim->model()));

        spoilShortEdits(u);
        f->engine().push(FN_READ_SYS);
        QTRY_COMPARE_WITH_TIMEOUT(u.txtModuleAddr->text(), QStringLiteral("23"), 3000);
        SYSPARAM_CHECK(checkShortReadBack(u));
        QCOMPARE(u.txtInnerVersion->text(), QStringLiteral("2.000"));
    }

    void badCalibrationValueWritesNothing()
    {
        startWindow();
        waitForStartup();
        if (QTest::currentTestFailed())
            return;
        editBadCalibration(f->ui);

        clearWire();
        texts.clear();
        f->cmdSetPara_Click();
        SYSPARAM_CHECK(checkBadCalibrationBox(boxes));
        QVERIFY(!texts.contains(QStringLiteral("正在设置系统信息，请稍候")));
        // The idle poll goes on; no write among it.
        QTRY_VERIFY_WITH_TIMEOUT(functions().size() >= 5, 3000);
        QVERIFY(!functions().contains(FN_WRITE_SYS));
        QCOMPARE(int(sim->model()->moduleAddr), 1);
    }
};

QTEST_MAIN(TestE2eSysParamSerial)
#include "tst_e2e_sysparam_serial.moc"
