// The slave-table record both ways, the slave device types, the
// restore-selected block and the one-byte results.
#include "proto/control_blocks.h"
#include "proto/slave_record.h"

#include <QTest>

using namespace slave;

namespace {
std::span<const std::uint8_t> bytes(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())};
}
} // namespace

class TstControlBlocks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void slaveRecordBothWays_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("commType");
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<int>("scanTime");
        QTest::addColumn<int>("scanNo");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("scan time 1000") << 0 << 1 << 1 << 12 << 1000 << 3 << QByteArray::fromHex("00010000 01 01 0c00 e803 03 00");
        QTest::newRow("other device 254") << 3 << 247 << 2 << 254 << 500 << 1 << QByteArray::fromHex("03010000 f7 02 fe00 f401 01 00");
        QTest::newRow("row 15, largest fields") << 15 << 255 << 1 << 0xFFFF << 0xFFFF << 255 << QByteArray::fromHex("0f010000 ff 01 ffff ffff ff 00");
    }
    void slaveRecordBothWays()
    {
        QFETCH(QByteArray, wire);
        QFETCH(int, row);
        QFETCH(int, address);
        QFETCH(int, commType);
        QFETCH(int, deviceType);
        QFETCH(int, scanTime);
        QFETCH(int, scanNo);
        SlaveRecord r;
        r.row = std::uint8_t(row);
        r.address = std::uint8_t(address);
        r.commType = std::uint8_t(commType);
        r.deviceType = std::uint16_t(deviceType);
        r.scanTime = std::uint16_t(scanTime);
        r.scanNo = std::uint8_t(scanNo);
        QCOMPARE(encodeSlaveRecord(r).toHex(' '), wire.toHex(' '));

        const auto back = decodeSlaveRecord(bytes(wire));
        QVERIFY(back);
        QCOMPARE(int(back->address), address);
        QCOMPARE(int(back->commType), commType);
        QCOMPARE(int(back->deviceType), deviceType);
        QCOMPARE(int(back->scanTime), scanTime);
        QCOMPARE(int(back->scanNo), scanNo);
    }

    void shortRecordIsRefused()
    {
        QVERIFY(!decodeSlaveRecord(bytes(QByteArray(RECORD_SIZE - 1, '\1'))));
        QVERIFY(decodeSlaveRecord(bytes(QByteArray(RECORD_SIZE, '\1'))));
    }

    void slaveReadRequestNamesTheRow() { QCOMPARE(slaveReadRequest(7), QByteArray::fromHex("0701")); }

    void slaveTypeByCodeAndText_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 1 << 0 << "ORV8000";
        QTest::newRow("other device") << 254 << 15 << "其它设备";
        QTest::newRow("not configured") << 255 << 16 << "未配置设备";
        QTest::newRow("after the gap") << 21 << 17 << "VSN70DQ";
        QTest::newRow("last, out of code order") << 29 << 20 << "MRK7AAQ";
        QTest::newRow("unknown 0") << 0 << -1 << "";
        QTest::newRow("unknown 16") << 16 << -1 << "";
        QTest::newRow("unknown 300") << 300 << -1 << "";
    }
    void slaveTypeByCodeAndText()
    {
        QFETCH(int, code);
        QFETCH(int, position);
        QFETCH(QString, text);
        QCOMPARE(slaveTypePosition(std::uint16_t(code)), position);
        QCOMPARE(int(SlaveTypeTable().size()), SLAVE_TYPE_COUNT);
        if (position >= 0) {
            QCOMPARE(QString::fromUtf8(SlaveTypeTable()[std::size_t(position)].text), text);
            QCOMPARE(slaveTypeCode(text), std::optional<std::uint16_t>(std::uint16_t(code)));
        }
    }

    void textOutsideTheTableHasNoCode()
    {
        QVERIFY(!slaveTypeCode(QStringLiteral("错误！")));
        QVERIFY(!slaveTypeCode(QString()));
        QVERIFY(!slaveTypeCode(QStringLiteral("mrk7000"))); // the list's own spelling only
    }

    void restoreSelectedMask_data()
    {
        QTest::addColumn<QList<int>>("checked");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("nothing checked") << QList<int>{} << QByteArray::fromHex("55aa00");
        QTest::newRow("control and redundancy") << QList<int>{0, 7} << QByteArray::fromHex("55aa81");
        QTest::newRow("slave devices") << QList<int>{2} << QByteArray::fromHex("55aa04");
        QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7} << QByteArray::fromHex("55aaff");
    }
    void restoreSelectedMask()
    {
        QFETCH(QList<int>, checked);
        std::array<bool, control::RESTORE_GROUPS> groups{};
        for (int i : checked)
            groups[std::size_t(i)] = true;
        QTEST(control::restoreSelectedBlock(control::ResumeMask(groups)), "block");
    }

    void oneByteResults()
    {
        QCOMPARE(control::decodeRamResult(bytes(QByteArray::fromHex("81ff"))), std::optional<std::uint8_t>(0x81));
        QVERIFY(!control::decodeRamResult({}));
        QCOMPARE(control::decodeProfibus(bytes(QByteArray::fromHex("02"))), std::optional<bool>(true));
        QCOMPARE(control::decodeProfibus(bytes(QByteArray::fromHex("00"))), std::optional<bool>(false));
        QVERIFY(!control::decodeProfibus({}));
    }
};

QTEST_APPLESS_MAIN(TstControlBlocks)
#include "tst_control_blocks.moc"
