// The slave-device window with the main window and a stand-in port: the read
// of a full table, marked rows written in order, the rows of unknown type, and
// the rows that cannot be written.
#include "base/msgbox.h"
#include "device/colors.h"
#include "pages/form1.h"
#include "proto/serial_frame.h"
#include "proto/slave_record.h"
#include "support/fakes.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    void reply(const QByteArray& rec) { serial.event(buildFrame(32, rec)); }
    // The table read with rows of the given type codes (the rest not configured).
    void readTable(std::initializer_list<int> types)
    {
        f->btSlaveShow_Click();
        std::vector<int> t(types);
        for (int r = 0; r < slave::ROWS; ++r)
            reply(record(r + 1, 1, r < int(t.size()) ? t[std::size_t(r)] : 255));
        e().CmdTop = 0; // as if the reads had gone out
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
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
        Form1Options o;
        o.serial = &serial;
        o.discovery = &discovery;
        o.deviceSocket = &device;
        o.platformPorts = false;
        f = std::make_unique<Form1>(o);
        serial.open(QStringLiteral("pty"), QStringLiteral("9600,N,8,1"));
        serial.written.clear();
        e().timMscon.setInterval(5000);
    }
    void cleanup() { f.reset(); }

    void windowWaitsForTheLastRowAndAFullTableDropsReplies()
    {
        f->btSlaveShow_Click();
        QVERIFY(!w().isEnabled());
        // Communication type 0 leaves the list without a choice.
        reply(record(8, 0, 12));
        QCOMPARE(w().ComboCommType[0]->currentIndex(), -1);
        for (int r = 1; r < 15; ++r)
            reply(record(r + 1, 1, 12));
        QVERIFY(!w().isEnabled());
        reply(record(16, 1, 12));
        QVERIFY(w().isEnabled());
        reply(record(99, 1, 1));
        for (int r = 0; r < slave::ROWS; ++r)
            QVERIFY(w().txtAddr[std::size_t(r)]->text() != QStringLiteral("99"));
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
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("写从设备信息成功"));
        QCOMPARE(colors::background(w().Label6[7]), colors::ON);
        const QByteArray second = writeTick();
        QCOMPARE(int(second[0]), 7);
        QCOMPARE(int(std::uint8_t(second[4])), 77);
        QVERIFY(!w().anyRowMarked());
        QCOMPARE(colors::background(w().Label6[7]), QColor(212, 208, 200));
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
        QTest::newRow("typed text of no type") << 12 << "XYZ" << 0;
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

    void rowThatCannotBeWrittenIsLeftOut()
    {
        readTable({});
        editAddress(2, QStringLiteral("abc"));
        editAddress(5, QStringLiteral("55"));
        w().Command1_Click();
        // Row 2 does not convert: nothing goes out, its time-out follows, and
        // the write goes on with row 5 instead of trying row 2 again.
        QVERIFY(writeTick().isEmpty());
        QVERIFY(e().Timer2.isActive());
        QCOMPARE(colors::background(w().Label6[2]), colors::ON);
        e().Timer2_Timer();
        const QByteArray rec = writeTick();
        QCOMPARE(int(rec[0]), 5);
        QVERIFY(!w().anyRowMarked());
    }
};

QTEST_MAIN(TestSlaveWindow)
#include "tst_slave_window.moc"
