// The slave-device window with the main window and a stand-in port: the read
// of a table, a second read, a read ended by Stop, marked rows written in
// order (also after the window is closed), the rows of unknown type, and the
// boxes that refuse a write.
#include "base/msgbox.h"
#include "device/colors.h"
#include "imagefile/image_file.h"
#include "pages/form1.h"
#include "upgrade/firmware_upgrade.h"
#include "proto/serial_frame.h"
#include "proto/slave_record.h"
#include "support/fakes.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using serial::buildFrame;

namespace {
QByteArray record(int address, int commType, int type, int scanTime = 1000, int scanNo = 3)
{
    slave::SlaveRecord r;
    r.address = std::uint8_t(address);
    r.commType = std::uint8_t(commType);
    r.deviceType = std::uint16_t(type);
    r.scanTime = std::uint16_t(scanTime);
    r.scanNo = std::uint8_t(scanNo);
    return slave::encodeSlaveRecord(r);
}
} // namespace

class TestSlaveWindow : public QObject {
    Q_OBJECT
    FakeSerial serial;
    FakeUdp discovery, device;
    std::unique_ptr<Form1> f;

    Engine& e() { return f->engine(); }
    SlaveInfoForm& w() { return f->slaves().form(); }
    QStringList boxes;
    void reply(const QByteArray& rec) { serial.event(buildFrame(32, rec)); }
    // Runs the read on top of the stack and answers it.
    void readRow(const QByteArray& rec)
    {
        e().Timer1_Timer();
        reply(rec);
    }
    // The table read with rows of the given type codes (the rest not configured).
    void readTable(std::initializer_list<int> types)
    {
        f->btSlaveShow_Click();
        std::vector<int> t(types);
        for (int r = 0; r < slave::ROWS; ++r)
            readRow(record(r + 1, 1, r < int(t.size()) ? t[std::size_t(r)] : 255));
        QCOMPARE(e().CmdTop, std::int16_t(0));
    }
    // A user's edit of a row's address.
    void editAddress(int row, const QString& text)
    {
        auto* box = w().txtAddr[std::size_t(row)];
        box->clear();
        QTest::keyClicks(box, text);
    }
    // Runs the write entry on top and answers it; returns the record sent, or
    // an empty array when nothing went out.
    QByteArray writeTick()
    {
        const int before = int(serial.written.size());
        e().Timer1_Timer();
        if (serial.written.size() == before)
            return {};
        const QByteArray frame = serial.written.last();
        serial.event(buildFrame(33, frame.mid(3, slave::RECORD_SIZE)));
        return frame.mid(3, slave::RECORD_SIZE);
    }

private Q_SLOTS:
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r.text;
            return MsgAnswer::Ok;
        });
        Form1Options o;
        o.serial = &serial;
        o.discovery = &discovery;
        o.deviceSocket = &device;
        o.platformPorts = false;
        f = std::make_unique<Form1>(o);
        e().openSerial(QStringLiteral("pty"), QStringLiteral("9600,N,8,1"));
        serial.written.clear();
        e().timMscon.setInterval(5000);
    }
    void cleanup() { f.reset(); }

    void windowWaitsForTheLastReadAndDropsUnaskedReplies()
    {
        f->btSlaveShow_Click();
        QVERIFY(!w().isEnabled());
        // Communication type 0 leaves the list without a choice.
        readRow(record(8, 0, 12));
        QCOMPARE(w().ComboCommType[0]->currentIndex(), -1);
        for (int r = 1; r < 15; ++r)
            readRow(record(r + 1, 1, 12));
        // A reply while no read is in flight answers nothing.
        reply(record(99, 1, 1));
        for (int r = 0; r < slave::ROWS; ++r)
            QVERIFY(w().txtAddr[std::size_t(r)]->text() != QStringLiteral("99"));
        // The last read times out: the window waits until the next request
        // has gone out, then is usable with that row empty.
        e().Timer1_Timer();
        e().Timer2_Timer();
        QVERIFY(!w().isEnabled());
        e().Timer1_Timer();
        QVERIFY(w().isEnabled());
        QVERIFY(w().txtAddr[15]->text().isEmpty());
        QCOMPARE(w().txtAddr[14]->text(), QStringLiteral("15"));
    }

    void secondReadStartsFromEmptyRows()
    {
        readTable({300});
        editAddress(3, QStringLiteral("33"));
        f->btSlaveShow_Click();
        for (int r = 0; r < slave::ROWS; ++r) {
            const auto i = std::size_t(r);
            QVERIFY(w().txtAddr[i]->text().isEmpty());
            QCOMPARE(w().ComboSlave[i]->currentText(), QString());
            QCOMPARE(w().ComboCommType[i]->currentIndex(), -1);
            QCOMPARE(colors::background(w().Label6[i]), QColor(212, 208, 200));
        }
        QVERIFY(!w().anyRowMarked());
    }

    void stopEndsTheTableReadOrWrite_data()
    {
        QTest::addColumn<bool>("duringWrite");
        QTest::newRow("read") << false;
        QTest::newRow("write") << true;
    }
    void stopEndsTheTableReadOrWrite()
    {
        QFETCH(bool, duringWrite);
        f->btSlaveShow_Click();
        readRow(record(1, 1, 12));
        readRow(record(2, 1, 12));
        if (duringWrite) {
            while (e().CmdTop > 0)
                readRow(record(9, 1, 12));
            editAddress(0, QStringLiteral("9"));
            editAddress(1, QStringLiteral("8"));
            w().Command1_Click(); // and Stop before the first record goes out
        }
        f->cmdStop_Click();
        QVERIFY(w().isEnabled());
        QVERIFY(!w().CheckTimer.isActive());
        // The rows the device filled are empty: nothing of it is left to write.
        for (int r = 0; r < 3; ++r)
            QVERIFY(w().txtAddr[std::size_t(r)]->text().isEmpty() && w().ComboSlave[std::size_t(r)]->currentIndex() < 0);
        QVERIFY(!w().Command1->isEnabled());
        QVERIFY(!e().stackOwned());
        // The rows read before the Stop belong to the connection that ended.
        e().openSerial(QStringLiteral("pty"), QStringLiteral("9600,N,8,1"));
        editAddress(1, QStringLiteral("5"));
        w().Command1_Click();
        QVERIFY(boxes.contains(QStringLiteral("请先读取参数，再修改写入")));
        QCOMPARE(e().CmdTop, std::int16_t(0));
        QVERIFY(w().isEnabled());
    }

    void markedRowsWrittenInOrder()
    {
        readTable({});
        editAddress(7, QStringLiteral("77"));
        editAddress(3, QStringLiteral("33"));
        QVERIFY(w().Command1->isEnabled());
        QCOMPARE(colors::background(w().Label6[3]), colors::ON);
        w().Command1_Click();
        QVERIFY(!w().isEnabled());
        QCOMPARE(e().CmdTop, std::int16_t(2)); // one entry per marked row

        const QByteArray first = writeTick();
        QCOMPARE(int(first[0]), 3);
        QCOMPARE(int(std::uint8_t(first[4])), 33);
        QCOMPARE(e().CmdTop, std::int16_t(2)); // row 7 is still marked: the entry stays
        QVERIFY(f->ui.Text2->text() != QStringLiteral("写从设备信息成功")); // only once every row is
        QCOMPARE(colors::background(w().Label6[3]), QColor(212, 208, 200));
        QCOMPARE(colors::background(w().Label6[7]), colors::ON);
        const QByteArray second = writeTick();
        QCOMPARE(int(second[0]), 7);
        QCOMPARE(int(std::uint8_t(second[4])), 77);
        QVERIFY(!w().anyRowMarked());
        QCOMPARE(colors::background(w().Label6[7]), QColor(212, 208, 200));
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("写从设备信息成功"));
        QCOMPARE(e().CmdTop, std::int16_t(1));
        // The entry left over sends nothing and does not wait.
        QVERIFY(writeTick().isEmpty());
        QVERIFY(!e().Timer2.isActive());
        QCOMPARE(e().CmdTop, std::int16_t(0));
        QVERIFY(w().isEnabled());
    }

    void deviceTypeAsWritten_data()
    {
        QTest::addColumn<int>("readCode");
        QTest::addColumn<QString>("typeEdit"); // empty: only the address is edited
        QTest::addColumn<int>("writtenCode");
        QTest::newRow("unknown code kept") << 300 << "" << 300;
        QTest::newRow("known code kept") << 254 << "" << 254;
        QTest::newRow("type picked from the list") << 300 << "MRK7000" << 12;
    }
    void deviceTypeAsWritten()
    {
        QFETCH(int, readCode);
        QFETCH(QString, typeEdit);
        readTable({readCode});
        editAddress(0, QStringLiteral("5"));
        auto* type = w().ComboSlave[0];
        if (typeEdit == QStringLiteral("MRK7000")) {
            type->setCurrentIndex(slave::slaveTypePosition(12));
            Q_EMIT type->activated(type->currentIndex());
        } else if (!typeEdit.isEmpty()) {
            type->lineEdit()->clear();
            QTest::keyClicks(type->lineEdit(), typeEdit);
        }
        w().Command1_Click();
        const QByteArray rec = writeTick();
        QCOMPARE(rec.size(), slave::RECORD_SIZE);
        QTEST(int(std::uint8_t(rec[6]) | (std::uint8_t(rec[7]) << 8)), "writtenCode");
    }

    // A box that does not fit its field refuses the whole write with a word
    // naming the row and the box: nothing is queued, every row stays marked.
    void boxThatDoesNotFitRefusesTheWrite_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("heading");
        QTest::newRow("address abc") << "txtAddr" << "abc" << "地址";
        QTest::newRow("address 256") << "txtAddr" << "256" << "地址";
        QTest::newRow("type with a trailing blank") << "ComboSlave" << "MRK7000 " << "设备类型";
        QTest::newRow("type not in the list") << "ComboSlave" << "未知型号" << "设备类型";
        QTest::newRow("scan time 65536") << "txtScanTime" << "65536" << "扫描时间";
        QTest::newRow("scan number in full-width digits") << "txtScanNo" << "１２" << "扫描个数";
    }
    void boxThatDoesNotFitRefusesTheWrite()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, heading);
        readTable({});
        editAddress(5, QStringLiteral("55"));
        auto* edit = box == QLatin1String("ComboSlave") ? w().ComboSlave[2]->lineEdit()
                                                         : w().findChild<QLineEdit*>(box + QStringLiteral("_2"));
        edit->clear();
        for (QChar ch : text) // as typed, beyond ASCII too
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QCOMPARE(edit->text(), text);
        w().Command1_Click();
        QCOMPARE(boxes, QStringList{QStringLiteral("从设备3的%1填写错误，请检查").arg(heading)});
        QCOMPARE(e().CmdTop, std::int16_t(0));
        QVERIFY(!e().stackOwned());
        QVERIFY(w().isEnabled() && w().Command1->isEnabled());
        for (int r : {2, 5}) {
            QVERIFY(w().SlaveChanged[std::size_t(r)]);
            QCOMPARE(colors::background(w().Label6[std::size_t(r)]), colors::ON);
        }
    }

    void rowsTakenByTheWriteGoOutAfterTheWindowCloses()
    {
        readTable({});
        editAddress(7, QStringLiteral("77"));
        editAddress(3, QStringLiteral("33"));
        w().Command1_Click();
        w().close();
        QCOMPARE(writeTick().left(1), QByteArray(1, 3));
        const QByteArray second = writeTick();
        QCOMPARE(second.size(), slave::RECORD_SIZE);
        QCOMPARE(int(second[0]), 7);
        QCOMPARE(int(std::uint8_t(second[4])), 77);
    }

    // Until its last row is answered the write owns the stack: a command that
    // would load or push requests is refused with the word, what sends
    // nothing stays free, and every row taken is still written.
    void commandDuringTheWriteIsRefused_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("refused"); // false: it sends nothing and stays free
        QTest::newRow("设置参数") << "cmdSetPara" << true;
        QTest::newRow("从设备信息") << "btSlaveShow" << true;
        QTest::newRow("开始升级") << "bt_Updata" << true;
        QTest::newRow("控制参数 only shows its window") << "btShowCtrl" << false;
        QTest::newRow("读取设备文件 only fills the pages") << "cmdRead" << false;
        QTest::newRow("选择升级文件 only picks a file") << "bt_FindUpdataFile" << false;
    }
    void commandDuringTheWriteIsRefused()
    {
        QFETCH(QString, button);
        QFETCH(bool, refused);
        readTable({});
        // Pages that 设置参数 would take as they are.
        for (auto* box : f->findChildren<QLineEdit*>())
            if (box->text().isEmpty())
                box->setText(QStringLiteral("1"));
        f->ui.txthardwarenum->setText(QStringLiteral("12345678901234"));
        f->ui.ComboCold->setCurrentIndex(0);
        QTemporaryDir dir;
        const QString image = dir.filePath(QStringLiteral("a.txt"));
        QVERIFY(f->imageFile().saveFile(image));
        f->imageFile().chooseFile = [image](bool, const QString&) { return image; };
        f->upgrade().chooseFile = [image] { return image; };
        for (int r : {3, 7, 9})
            editAddress(r, QString::number(10 * r + 1));
        w().Command1->click();
        QCOMPARE(int(writeTick()[0]), 3);
        auto* b = f->findChild<QPushButton*>(button);
        QVERIFY(b);
        QVERIFY(b->parentWidget()->isEnabled()); // a slave write leaves the upgrade group on
        b->setEnabled(true);
        b->click();
        QCOMPARE(boxes, refused ? QStringList{QStringLiteral("从设备信息写入进行中，请等待写入结束或停止通讯")}
                                : QStringList());
        if (button == QLatin1String("btShowCtrl"))
            QVERIFY(f->settings().Form_Ctrl().isVisible());
        if (button == QLatin1String("bt_FindUpdataFile"))
            QCOMPARE(f->upgrade().chosenFile, image);
        QCOMPARE(int(writeTick()[0]), 7);
        QCOMPARE(int(writeTick()[0]), 9);
        QVERIFY(!w().anyRowMarked());
        QCOMPARE(w().txtAddr[9]->text(), QStringLiteral("91")); // the rows were not read again
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("写从设备信息成功"));
        QVERIFY(!e().stackOwned());
    }

    // While another operation owns the stack 写入 is refused before it
    // touches the window: the row stays marked and the window usable.
    void writeRefusedWhileTheStackIsOwned()
    {
        readTable({});
        editAddress(3, QStringLiteral("33"));
        const std::int16_t owned[] = {0, 0};
        e().loadOwnedList(owned);
        w().Command1_Click();
        QVERIFY(w().isEnabled() && w().Command1->isEnabled());
        QCOMPARE(w().SlaveChanged[3], std::int16_t(1));
        QCOMPARE(boxes.size(), 1);
    }
};

QTEST_MAIN(TestSlaveWindow)
#include "tst_slave_window.moc"
