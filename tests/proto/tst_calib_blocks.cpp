// The clock, DeviceID/PD-tag and MAC blocks as written and read.
#include "proto/calib_blocks.h"
#include "proto/clock_block.h"

#include <QtTest>

using namespace clockblk;

namespace {
QByteArray hex(const char* h) { return QByteArray::fromHex(h); }
std::span<const std::uint8_t> span(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())};
}
} // namespace

class TestCalibBlocks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clockWritten()
    {
        const DeviceClock tuesday{2024, 3, 5, 14, 7, 9, 2};
        QCOMPARE(encodeClock(tuesday, true), hex("e807 03 05 0e 07 09 02"));
        QCOMPARE(encodeClock(tuesday, false), hex("e807 03 05 0e 07 09")); // Ethernet: no weekday
        QCOMPARE(weekdayWord(7), hex("0700"));                               // "日"
    }

    // A block read is taken only as a whole.
    void clockRead_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<bool>("withWeekday");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("valid") << hex("e807 0305 0e0709 02") << true << true;
        QTest::newRow("Ethernet, no weekday") << hex("e807 0305 0e0709") << false << true;
        QTest::newRow("29 February 2024") << hex("e807 021d 000000 04") << true << true;
        QTest::newRow("29 February 2023") << hex("e707 021d 000000 04") << true << false;
        QTest::newRow("month 0") << hex("e807 0005 0e0709 02") << true << false;
        QTest::newRow("month 13") << hex("e807 0d05 0e0709 02") << true << false;
        QTest::newRow("31 April") << hex("e807 041f 0e0709 02") << true << false;
        QTest::newRow("hour 24") << hex("e807 0305 180709 02") << true << false;
        QTest::newRow("minute 60") << hex("e807 0305 0e3c09 02") << true << false;
        QTest::newRow("second 60") << hex("e807 0305 0e073c 02") << true << false;
        QTest::newRow("weekday 0: none") << hex("e807 0305 0e0709 00") << true << true;
        QTest::newRow("weekday 8") << hex("e807 0305 0e0709 08") << true << false;
        QTest::newRow("one byte short") << hex("e807 0305 0e0709") << true << false;
    }
    void clockRead()
    {
        QFETCH(QByteArray, block);
        QFETCH(bool, withWeekday);
        QFETCH(bool, accepted);
        QCOMPARE(decodeClock(span(block), withWeekday).has_value(), accepted);
    }
    void weekdayFromMemoryArea()
    {
        QByteArray area(118, '\0');
        area[MEM_WEEKDAY_AT] = 7;
        QCOMPARE(decodeWeekday(span(area)).value_or(0), 7);
        area[MEM_WEEKDAY_AT + 1] = 1; // 263
        QVERIFY(!decodeWeekday(span(area)));
        QVERIFY(!decodeWeekday(span(area.left(117))));
    }

    void devIdTagWritten_data()
    {
        QTest::addColumn<QString>("deviceId");
        QTest::addColumn<QString>("pdTag");
        QTest::addColumn<QByteArray>("block"); // empty: refused
        const QString zhong(QChar(0x4E2D));     // GBK D6 D0
        QTest::newRow("five digits, two letters") << "12345" << "AB"
                                                  << QByteArray("12345").leftJustified(32, '0') + "AB" + QByteArray(30, ' ');
        QTest::newRow("40 characters cut to 32") << QString(40, u'7') << "" << QByteArray(32, '7') + QByteArray(32, ' ');
        QTest::newRow("GBK D6 D0") << "" << zhong << QByteArray(32, '0') + hex("d6d0") + QByteArray(30, ' ');
        QTest::newRow("16 Chinese characters fit") << "" << zhong.repeated(16) << QByteArray(32, '0') + hex("d6d0").repeated(16);
        QTest::newRow("a letter and 16 Chinese: 33 bytes") << "" << "A" + zhong.repeated(16) << QByteArray();
    }
    void devIdTagWritten()
    {
        QFETCH(QString, deviceId);
        QFETCH(QString, pdTag);
        QFETCH(QByteArray, block);
        QCOMPARE(blocks::encodeDevIdTag(deviceId, pdTag).value_or(QByteArray()).toHex(' '), block.toHex(' '));
    }

    void macBoxes()
    {
        QList<int> bytes;
        for (const char* box : {"00", "FC", "18", "3", "5", "a", "", "G1", "1G", "100"}) {
            const auto b = blocks::macByte(QString::fromLatin1(box));
            bytes << (b ? int(*b) : -1);
        }
        // Read as far as the text is hexadecimal; three digits do not fit a byte.
        QCOMPARE(bytes, (QList<int>{0x00, 0xFC, 0x18, 0x03, 0x05, 0x0A, 0, 0, 1, -1}));
    }
};

QTEST_MAIN(TestCalibBlocks)
#include "tst_calib_blocks.moc"
