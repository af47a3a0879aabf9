// The AQ calibration window against the simulated device and two simulated
// measuring devices on loopback, one run per link: while the window is open the
// main dispatcher is paused and the window's own requests and replies work;
// closing it gives the link back.
#include "base/msgbox.h"
#include "devsim/measuring_device.h"
#include "devsim/serial_device.h"
#include "devsim/udp_device.h"
#include "e2e/window_rig.h"
#include "pages/form1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestE2eAqCal : public QObject {
    Q_OBJECT
    QStringList texts;

    // `closeWindow`: the window is closed by the user, else unloaded with the main window.
    void exercise(Form1& f, SimDeviceModel& m, const std::function<int()>& requestsSeen, bool closeWindow)
    {
        // The measuring devices on loopback, set before the window can send anything.
        SimMeasuringDevice meterV, meterM;
        const quint16 port = e2e::freePort();
        QVERIFY(meterV.start(QHostAddress(QStringLiteral("127.0.0.3")), port));
        QVERIFY(meterM.start(QHostAddress(QStringLiteral("127.0.0.4")), port));
        meterM.readings[7] = 19.875f;
        f.TesterIpV = QStringLiteral("127.0.0.3");
        f.TesterIpM = QStringLiteral("127.0.0.4");
        f.aqcal().measuringPort = port;

        f.ui.btShowAQ->click();
        Form_AQ* aq = f.aqcal().form();
        QVERIFY(aq && f.aqcal().AQPageOpen);
        texts.clear(); // the start-up's own AQ reads came before the window took the link
        QCOMPARE(aq->txtIpV->text(), QStringLiteral("127.0.0.3"));
        QVERIFY(!f.engine().Timer1.isActive());
        // The main dispatcher is paused: its idle poll stops.
        QTest::qWait(400);
        const int quiet = requestsSeen();
        QTest::qWait(700);
        QCOMPARE(requestsSeen(), quiet);

        const auto button = [aq](const char* n) { return aq->findChild<QPushButton*>(QLatin1String(n)); };
        button("cmdReadZF")->click();
        QTRY_COMPARE_WITH_TIMEOUT(aq->txt_AQM[8 + 1]->text(), QStringLiteral("19.999"), 3000);
        QCOMPARE(aq->txt_AQV[1]->text(), QStringLiteral("0.001"));
        aq->txt_AQV[0]->setText(QStringLiteral("1.2345")); // halves to even: 1234
        button("cmdWriteZero")->click();
        QTRY_COMPARE_WITH_TIMEOUT(m.aqZeroFull[0], qint16(1234), 3000);
        QCOMPARE(m.lastAqZeroFullMode, quint8(2));
        QTRY_COMPARE_WITH_TIMEOUT(aq->txt_AQV[0]->text(), QStringLiteral("1.234"), 3000); // read back
        // Zero and full written at once: the full write and its read-back run
        // first, and that read-back must not put the device's old zero points
        // into the boxes the zero write still has to send.
        aq->txt_AQV[0]->setText(QStringLiteral("1.111"));
        aq->txt_AQM[0]->setText(QStringLiteral("4.111"));
        aq->txt_AQV[8]->setText(QStringLiteral("9.111"));
        aq->txt_AQM[8]->setText(QStringLiteral("19.111"));
        button("cmdWriteZero")->click();
        button("cmdWriteFull")->click();
        QTRY_VERIFY_WITH_TIMEOUT(aq->AQCmdStack.size() == 1 && !aq->Timer2.isActive(), 5000); // both read-backs in
        QCOMPARE(m.aqZeroFull[0], qint16(1111)); // voltage zero
        QCOMPARE(m.aqZeroFull[2], qint16(4111)); // current zero
        QCOMPARE(m.aqZeroFull[1], qint16(9111)); // voltage full
        QCOMPARE(m.aqZeroFull[3], qint16(19111)); // current full
        QCOMPARE(aq->txt_AQV[0]->text(), QStringLiteral("1.111"));
        QCOMPARE(aq->txt_AQM[0]->text(), QStringLiteral("4.111"));
        QCOMPARE(aq->txt_AQV[8]->text(), QStringLiteral("9.111"));
        QCOMPARE(aq->txt_AQM[8]->text(), QStringLiteral("19.111"));
        button("cmdReadType")->click();
        QTRY_COMPARE_WITH_TIMEOUT(aq->ComboAQType[6]->currentIndex(), 2, 3000);
        button("cmdMeasure")->click();
        QTRY_COMPARE_WITH_TIMEOUT(aq->txtMeasV[0]->text(), QStringLiteral("1.500"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(aq->txtMeasM[7]->text(), QStringLiteral("19.875"), 3000);
        QCOMPARE(meterV.received.size(), 1);
        QCOMPARE(meterM.received.size(), 1);
        QCOMPARE(aq->Text1->text(), QStringLiteral("读测量值成功"));
        QVERIFY(!texts.contains(QStringLiteral("读AQ零点满度成功"))); // the main status line saw none of it

        if (closeWindow)
            aq->close();
        else
            f.Form_Unload();
        QVERIFY(!f.aqcal().AQPageOpen);
        QVERIFY(f.engine().Timer1.isActive());
        const int before = requestsSeen();
        QTRY_VERIFY_WITH_TIMEOUT(requestsSeen() > before + 2, 3000); // polling again
    }

private Q_SLOTS:
    void init()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
        texts.clear();
    }

    void serialLink()
    {
        SimSerialDevice sim;
        QVERIFY2(sim.open(), qPrintable(sim.errorString()));
        auto f = e2e::connectedSerialWindow(sim, this, texts);
        QVERIFY(f);
        exercise(*f, *sim.model(), [&sim] { return int(sim.receivedFunctions().size()); }, true);
    }

    void ethernetLink()
    {
        SimUdpDevice sim;
        const quint16 announcePort = e2e::startLoopbackDevice(sim);
        QVERIFY2(announcePort != 0, qPrintable(sim.errorString()));
        auto f = e2e::connectedEthernetWindow(announcePort, this, texts);
        QVERIFY(f);
        exercise(*f, *sim.model(), [&sim] { return int(sim.receivedRequests().size()); }, false);
    }

    // Device A's points and types are forgotten when its connection ends:
    // after Stop a press sends nothing; after a start on device B (the same
    // simulated device, holding other values) with the window still open the
    // zero-point and type writes send nothing of A (refused at the click), and
    // after a read of B they send B's.
    void forgetsDeviceAAtTheConnectionsEnd_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::newRow("serial") << false;
        QTest::newRow("ethernet") << true;
    }
    void forgetsDeviceAAtTheConnectionsEnd()
    {
        QFETCH(bool, ethernet);
        SimSerialDevice serialSim;
        SimUdpDevice udpSim;
        std::unique_ptr<Form1> f;
        if (ethernet) {
            const quint16 announcePort = e2e::startLoopbackDevice(udpSim);
            QVERIFY2(announcePort != 0, qPrintable(udpSim.errorString()));
            f = e2e::connectedEthernetWindow(announcePort, this, texts);
        } else {
            QVERIFY2(serialSim.open(), qPrintable(serialSim.errorString()));
            f = e2e::connectedSerialWindow(serialSim, this, texts);
        }
        QVERIFY(f);
        SimDeviceModel& m = ethernet ? *udpSim.model() : *serialSim.model();
        f->TesterIpV = f->TesterIpM = QStringLiteral("127.0.0.3");
        f->aqcal().measuringPort = e2e::freePort();
        f->ui.btShowAQ->click();
        Form_AQ* aq = f->aqcal().form();
        QVERIFY(aq);
        const auto press = [aq](const char* n) { aq->findChild<QPushButton*>(QLatin1String(n))->click(); };
        const auto forgotten = [aq] {
            for (std::size_t i = 0; i < 16; ++i)
                if (!aq->txt_AQV[i]->text().isEmpty() || !aq->txt_AQM[i]->text().isEmpty())
                    return false;
            for (auto* c : aq->ComboAQType)
                if (c->currentIndex() != -1)
                    return false;
            return true;
        };

        press("cmdReadZF");
        press("cmdReadType");
        QTRY_COMPARE_WITH_TIMEOUT(aq->txt_AQM[1]->text(), QStringLiteral("4.001"), 5000); // the last pushed runs first
        QCOMPARE(aq->ComboAQType[6]->currentIndex(), 2);

        f->cmdStop_Click();
        QVERIFY(forgotten());
        QStringList shown;
        connect(aq->Text1, &QLineEdit::textChanged, this, [&shown](const QString& t) {
            if (!t.isEmpty())
                shown << t;
        });
        press("cmdReadType");
        press("cmdWriteZero");
        QTest::qWait(1200);
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join(u' '))); // nothing tried on the closed link

        // Device B.
        for (std::size_t c = 0; c < 8; ++c) {
            m.aqZeroFull[4 * c] = qint16(300 + c);
            m.aqZeroFull[4 * c + 2] = qint16(2300 + c);
        }
        m.aqType = {1, 1, 1, 1, 0, 0, 0, 0};
        auto zfB = m.aqZeroFull;
        const auto typesB = m.aqType;
        f->StartRun_Click();
        if (ethernet) {
            QTRY_COMPARE_WITH_TIMEOUT(f->ui.cmbDevice->count(), 1, 5000);
            f->ui.cmbDevice->setCurrentIndex(0);
            f->cmbDevice_Click();
        }
        QVERIFY(f->engine().linked() && f->aqcal().AQPageOpen);
        QVERIFY(forgotten());
        // The writes hold nothing of A: their emptied boxes and unset lists are
        // refused at the click and queue nothing; the reads show B.
        press("cmdWriteType");
        press("cmdWriteZero");
        QCOMPARE(aq->AQCmdStack.size(), std::size_t(1));
        press("cmdReadType");
        press("cmdReadZF"); // runs first
        QTRY_COMPARE_WITH_TIMEOUT(aq->ComboAQType[0]->currentIndex(), 1, 12000);
        QCOMPARE(aq->txt_AQV[1]->text(), QStringLiteral("0.301"));
        QVERIFY(m.aqZeroFull == zfB && m.aqType == typesB);

        aq->txt_AQV[0]->setText(QStringLiteral("0.5"));
        aq->ComboAQType[7]->setCurrentIndex(1);
        press("cmdWriteType");
        press("cmdWriteZero");
        QTRY_COMPARE_WITH_TIMEOUT(m.aqType[7], quint8(1), 8000);
        zfB[0] = 500;
        QVERIFY(m.aqZeroFull == zfB);
        QCOMPARE(m.aqType[6], quint8(0));
    }
};

QTEST_MAIN(TestE2eAqCal)
#include "tst_e2e_aqcal.moc"
