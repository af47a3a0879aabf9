// The slave-table record both ways, with literal bytes, and the slave device
// types by code.
#include "proto/slave_record.h"

#include <QTest>

using namespace slave;

class TstControlBlocks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void slaveRecordBothWays_data()
    {
        QTest::addColumn<QList<int>>("fields"); // row, address, comm type, device type, scan time, scan number
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("scan time 1000") << QList<int>{0, 1, 1, 12, 1000, 3} << QByteArray::fromHex("000100000101 0c00 e803 0300");
        QTest::newRow("other device 254") << QList<int>{3, 247, 2, 254, 500, 1} << QByteArray::fromHex("03010000f702 fe00 f401 0100");
        QTest::newRow("largest fields") << QList<int>{15, 255, 1, 0xFFFF, 0xFFFF, 255} << QByteArray::fromHex("0f010000ff01 ffff ffff ff00");
    }
    void slaveRecordBothWays()
    {
        QFETCH(QList<int>, fields);
        QFETCH(QByteArray, wire);
        const SlaveRecord r{std::uint8_t(fields[0]), std::uint8_t(fields[1]), std::uint8_t(fields[2]),
                            std::uint16_t(fields[3]), std::uint16_t(fields[4]), std::uint8_t(fields[5])};
        QCOMPARE(encodeSlaveRecord(r).toHex(' '), wire.toHex(' '));
        const auto back = decodeSlaveRecord({reinterpret_cast<const std::uint8_t*>(wire.constData()), 12});
        QVERIFY(back);
        QCOMPARE((QList<int>{back->row, back->address, back->commType, back->deviceType, back->scanTime, back->scanNo}),
                 fields);
    }

    void slaveTypeByCode_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("position"); // -1: shown as "错误！"
        QTest::newRow("other device") << 254 << 15;
        QTest::newRow("after the gap") << 21 << 17;
        QTest::newRow("last, out of code order") << 29 << 20;
        QTest::newRow("unknown 0") << 0 << -1;
        QTest::newRow("unknown 300") << 300 << -1;
    }
    void slaveTypeByCode()
    {
        QFETCH(int, code);
        QFETCH(int, position);
        QCOMPARE(slaveTypePosition(std::uint16_t(code)), position);
        if (position >= 0)
            QCOMPARE(slaveTypeCode(QString::fromUtf8(SlaveTypeTable()[std::size_t(position)].text)),
                     std::optional<std::uint16_t>(std::uint16_t(code)));
    }
};

QTEST_APPLESS_MAIN(TstControlBlocks)
#include "tst_control_blocks.moc"
