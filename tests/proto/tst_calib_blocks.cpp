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
QString gbk16() { return QString(16, QChar(0x4E2D)); } // 16 x "中", D6 D0 each
} // namespace

class TestCalibBlocks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clockWritten_data()
    {
        QTest::addColumn<int>("weekday");
        QTest::addColumn<bool>("withWeekday");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("serial, Tuesday") << 2 << true << hex("e807 03 05 0e 07 09 02");
        QTest::newRow("serial, Sunday is 7") << 7 << true << hex("e807 03 05 0e 07 09 07");
        QTest::newRow("serial, no weekday chosen") << 0 << true << hex("e807 03 05 0e 07 09 00");
        QTest::newRow("Ethernet carries no weekday") << 2 << false << hex("e807 03 05 0e 07 09");
    }
    void clockWritten()
    {
        QFETCH(int, weekday);
        QFETCH(bool, withWeekday);
        QFETCH(QByteArray, wire);
        QCOMPARE(encodeClock({2024, 3, 5, 14, 7, 9, weekday}, withWeekday).toHex(' '), wire.toHex(' '));
    }
    void weekdayWordOnEthernet() { QCOMPARE(weekdayWord(7), hex("0700")); }

    // The block read is checked as a whole before anything of it is shown.
    void clockRead_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<bool>("withWeekday");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("valid serial block") << hex("e807 0305 0e0709 02") << true << true;
        QTest::newRow("29 February of a leap year") << hex("e807 021d 000000 04") << true << true;
        QTest::newRow("29 February of a common year") << hex("e707 021d 000000 04") << true << false;
        QTest::newRow("month 0") << hex("e807 0005 0e0709 02") << true << false;
        QTest::newRow("month 13") << hex("e807 0d05 0e0709 02") << true << false;
        QTest::newRow("31 April") << hex("e807 041f 0e0709 02") << true << false;
        QTest::newRow("day 0") << hex("e807 0300 0e0709 02") << true << false;
        QTest::newRow("hour 24") << hex("e807 0305 180709 02") << true << false;
        QTest::newRow("minute 60") << hex("e807 0305 0e3c09 02") << true << false;
        QTest::newRow("second 60") << hex("e807 0305 0e073c 02") << true << false;
        QTest::newRow("weekday 0") << hex("e807 0305 0e0709 00") << true << false;
        QTest::newRow("weekday 8") << hex("e807 0305 0e0709 08") << true << false;
        QTest::newRow("year 0") << hex("0000 0305 0e0709 02") << true << false;
        QTest::newRow("one byte short") << hex("e807 0305 0e0709") << true << false;
        QTest::newRow("Ethernet block without weekday") << hex("e807 0305 0e0709") << false << true;
    }
    void clockRead()
    {
        QFETCH(QByteArray, block);
        QFETCH(bool, withWeekday);
        QFETCH(bool, accepted);
        const auto c = decodeClock(span(block), withWeekday);
        QCOMPARE(c.has_value(), accepted);
        if (accepted && withWeekday && block[3] == 5)
            QCOMPARE(*c, (DeviceClock{2024, 3, 5, 14, 7, 9, 2}));
    }
    void weekdayFromMemoryArea_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("weekday"); // 0: refused
        QTest::newRow("Sunday") << 7 << 512 << 7;
        QTest::newRow("Monday") << 1 << 118 << 1;
        QTest::newRow("0") << 0 << 512 << 0;
        QTest::newRow("8") << 8 << 512 << 0;
        QTest::newRow("high byte set") << 0x0101 << 512 << 0;
        QTest::newRow("area too short") << 7 << 117 << 0;
    }
    void weekdayFromMemoryArea()
    {
        QFETCH(int, word);
        QFETCH(int, size);
        QFETCH(int, weekday);
        QByteArray area(512, '\0');
        area[MEM_WEEKDAY_AT] = char(word & 0xFF);
        area[MEM_WEEKDAY_AT + 1] = char(word >> 8);
        area.truncate(size);
        QCOMPARE(decodeWeekday(span(area)).value_or(0), weekday);
    }

    void devIdTagWritten_data()
    {
        QTest::addColumn<QString>("deviceId");
        QTest::addColumn<QString>("pdTag");
        QTest::addColumn<QByteArray>("block"); // empty: refused
        const QByteArray spaces30(30, ' ');
        QTest::newRow("five digits padded with 0") << "12345" << "AB"
                                                   << QByteArray("12345").leftJustified(32, '0') + "AB" + spaces30;
        QTest::newRow("40 characters cut to 32") << QString(40, u'7') << ""
                                                 << QByteArray(32, '7') + QByteArray(32, ' ');
        QTest::newRow("GBK D6 D0") << "" << QString(QChar(0x4E2D))
                                   << QByteArray(32, '0') + hex("d6d0") + spaces30;
        QTest::newRow("16 Chinese characters fill it") << "" << gbk16()
                                                       << QByteArray(32, '0') + hex("d6d0").repeated(16);
        QTest::newRow("a letter and 16 Chinese: 33 bytes") << "" << "A" + gbk16() << QByteArray();
    }
    void devIdTagWritten()
    {
        QFETCH(QString, deviceId);
        QFETCH(QString, pdTag);
        QFETCH(QByteArray, block);
        const auto b = blocks::encodeDevIdTag(deviceId, pdTag);
        QCOMPARE(b.has_value(), !block.isEmpty());
        if (b)
            QCOMPARE(b->toHex(' '), block.toHex(' '));
    }

    void macBoxes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte"); // -1: refused
        QTest::newRow("00") << "00" << 0x00;
        QTest::newRow("FC") << "FC" << 0xFC;
        QTest::newRow("3") << "3" << 0x03;
        QTest::newRow("lower case") << "a" << 0x0A;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("no leading digit") << "G1" << 0;
        QTest::newRow("digits before the first other character") << "1G" << 1;
        QTest::newRow("three digits") << "100" << -1;
    }
    void macBoxes()
    {
        QFETCH(QString, text);
        QFETCH(int, byte);
        const auto b = blocks::macByte(text);
        QCOMPARE(b ? int(*b) : -1, byte);
    }

    void calibrationValues()
    {
        const std::int16_t v[] = {2, 4, -32768, -1};
        QCOMPARE(blocks::i16Values(v), hex("0200 0400 0080 ffff"));
        QVERIFY(!blocks::decodeInnerCal(span(QByteArray(15, '\0'))));
        QCOMPARE(blocks::decodeInnerCal(span(hex("ffff 0080") + QByteArray(12, '\0')))->at(1), std::int16_t(-32768));
    }
};

QTEST_MAIN(TestCalibBlocks)
#include "tst_calib_blocks.moc"
