// The device image file end to end on the serial link: saved from one
// simulated device, loaded into a fresh window (which saves the same bytes
// again), then loaded and downloaded into a second device, which ends up
// holding the first one's system parameters.
#include "base/msgbox.h"
#include "devsim/serial_device.h"
#include "e2e/window_rig.h"
#include "imagefile/image_file.h"
#include "pages/form1.h"

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

class TestE2eImageFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QStringList texts, boxes;

private Q_SLOTS:
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
