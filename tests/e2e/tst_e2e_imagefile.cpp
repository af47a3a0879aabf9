// The device image file end to end: saved from one simulated device on the
// serial link, loaded into a fresh window (which saves the same bytes again),
// then loaded and downloaded into a second device, which ends up holding the
// first one's system parameters; and, on both links, a hand-edited file whose
// values do not convert, of which nothing is written.
#include "base/msgbox.h"
#include "devsim/serial_device.h"
#include "e2e/link_suite.h"
#include "imagefile/image_file.h"
#include "pages/form1.h"
#include "proto/net_datagram.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestE2eImageFile : public e2e::LinkSuite {
    Q_OBJECT
    QTemporaryDir dir;

private Q_SLOTS:
    void init() { beginCase(); }
    void cleanup() { endCase(); }

    // The window's own file with a module address, an alarm limit and an AQ
    // point edited by hand: the download stops at the first before anything
    // of it is queued, and the device hears nothing but the idle poll.
    void editedFileWritesNothing_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::newRow("serial") << false;
        QTest::newRow("ethernet") << true;
    }
    void editedFileWritesNothing()
    {
        QFETCH(bool, ethernet);
        ethernet ? startEthernet() : startSerial();
        if (QTest::currentTestFailed())
            return;
        QTRY_COMPARE_WITH_TIMEOUT(int(e().CmdTop), 0, 15000);
        const QString path = dir.filePath(QStringLiteral("edited.txt"));
        QVERIFY(f->imageFile().saveFile(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write("txtModuleAddr\x80" "300|\r\ntxt_AIUp_0\x80" "abc|\r\ntxt_AQV_0\x80" "abc|\r\n");
        file.close();
        QList<bool> writes; // per request heard from now on: a write?
        if (serialSim)
            connect(serialSim.get(), &SimSerialDevice::requestReceived, this,
                    [&writes](quint8 fn, const QByteArray&) { writes << !(fn == 9 || fn == 13); }); // the idle poll
        else
            connect(udpSim.get(), &SimUdpDevice::requestReceived, this,
                    [&writes](quint8 service, quint16, quint16, quint16, quint16, const QByteArray&) {
                        writes << (service == net::SVC_WRITE);
                    });
        f->imageFile().chooseFile = [path](bool, const QString&) { return path; };
        f->imageFile().ReadTxtAndDown_Click();
        QCOMPARE(f->ui.txtModuleAddr->text(), QStringLiteral("300")); // loaded
        QCOMPARE(boxes, QStringList{QStringLiteral("“模块地址”的值无法转换，参数未写入！请核查后再操作")});
        QCOMPARE(int(e().CmdTop), 0);
        QTest::qWait(1500);
        QVERIFY(!writes.isEmpty() && !writes.contains(true)); // the link went on, writing nothing
        step();
    }

    // A device whose AQ channels all switch: its AQ zero/full block is never
    // read, so those boxes stay blank. Its own image, saved and downloaded
    // straight back, is written without them and without a word.
    void ownImageOfASwitchingOnlyDeviceGoesBack_data() { editedFileWritesNothing_data(); }
    void ownImageOfASwitchingOnlyDeviceGoesBack()
    {
        QFETCH(bool, ethernet);
        const auto switching = [](SimDeviceModel& m) { m.aqType.fill(2); };
        ethernet ? startEthernet(switching) : startSerial(switching);
        if (QTest::currentTestFailed())
            return;
        QTRY_COMPARE_WITH_TIMEOUT(int(e().CmdTop), 0, 15000);
        QVERIFY(f->ui.txt_AQV[0]->text().isEmpty());
        const QString path = dir.filePath(QStringLiteral("own.txt"));
        QVERIFY(f->imageFile().saveFile(path));
        QStringList writes; // serial function codes, or Ethernet write sub-indexes
        if (serialSim) {
            serialSim->clearLog();
        } else {
            connect(udpSim.get(), &SimUdpDevice::requestReceived, this,
                    [&writes](quint8 service, quint16, quint16 sub, quint16, quint16, const QByteArray&) {
                        if (service == net::SVC_WRITE)
                            writes << QString::number(sub);
                    });
        }
        f->imageFile().chooseFile = [path](bool, const QString&) { return path; };
        f->imageFile().ReadTxtAndDown_Click();
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(u' ')));
        QTRY_COMPARE_WITH_TIMEOUT(int(e().CmdTop), 0, 20000);
        if (serialSim)
            for (auto fn : serialSim->receivedFunctions())
                writes << QString::number(fn);
        QVERIFY2(writes.contains(QStringLiteral("4")), qPrintable(writes.join(u' '))); // the system parameters
        const QString aqZeroFull = ethernet ? QStringLiteral("18") : QStringLiteral("34");
        QVERIFY2(!writes.contains(aqZeroFull), qPrintable(writes.join(u' ')));
        step();
    }

    void savedFromOneDeviceDownloadedIntoAnother()
    {
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r.text;
            return MsgAnswer::Ok;
        });
        SimSerialDevice first, second;
        QVERIFY2(first.open(), qPrintable(first.errorString()));
        QVERIFY2(second.open(), qPrintable(second.errorString()));
        auto& m = *first.model();
        m.serialNo = 4321;
        m.moduleAddr = 9;
        m.diDebounce = 5;
        m.subMaxErr = 5;
        m.subCommIntv = 250;
        m.subWaitTime = 700;
        m.subScanInterval = 2000;
        m.commInterTime = 150;
        m.rsDataTime = {7, 6};
        m.prodDay = 20;
        m.composeDeviceId();
        QVERIFY(m.sysParamBlock(false) != second.model()->sysParamBlock(false));

        const QString saved = dir.filePath(QStringLiteral("device.txt"));
        {
            auto w = e2e::serialWindow(first, this, texts);
            QTRY_COMPARE_WITH_TIMEOUT(w->ui.txtModuleAddr->text(), QStringLiteral("9"), 20000);
            QTRY_VERIFY_WITH_TIMEOUT(first.receivedFunctions().size() >= 16, 20000);
            QString suggested;
            w->imageFile().chooseFile = [&](bool, const QString& s) {
                suggested = s;
                return saved;
            };
            w->imageFile().cmdSave_Click();
            QCOMPARE(suggested, w->ui.lblNUM->text() + QStringLiteral(".txt"));
        }
        const QByteArray bytes = readAll(saved);
        QVERIFY(bytes.contains("txtModuleAddr\x80" "9|\r\n"));

        auto w = e2e::serialWindow(second, this, texts);
        // A fresh window loads the file and saves the same bytes.
        const QString again = dir.filePath(QStringLiteral("again.txt"));
        QVERIFY(w->imageFile().loadFile(saved));
        QVERIFY(w->imageFile().saveFile(again));
        QCOMPARE(readAll(again), bytes);

        // Once it has read the second device, the file goes down into it.
        QTRY_VERIFY_WITH_TIMEOUT(second.receivedFunctions().size() >= 16, 20000);
        QCOMPARE(w->ui.txtModuleAddr->text(), QStringLiteral("1"));
        w->imageFile().chooseFile = [&](bool, const QString&) { return saved; };
        w->imageFile().ReadTxtAndDown_Click();
        QTRY_VERIFY_WITH_TIMEOUT(second.receivedFunctions().contains(4), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(int(w->engine().CmdTop), 0, 20000);
        QCOMPARE(second.model()->sysParamBlock(false).toHex(' '), m.sysParamBlock(false).toHex(' '));
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestE2eImageFile)
#include "tst_e2e_imagefile.moc"
