// Serial frame: CRC-16/MODBUS, request framing and the receive checks.
#include "proto/serial_frame.h"

#include <QTest>
#include <array>

namespace {

// An independent table-driven CRC-16/MODBUS, to build reference frames without
// calling the code under test.
constexpr std::array<std::uint16_t, 256> makeTable()
{
    std::array<std::uint16_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        std::uint16_t c = std::uint16_t(i);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? std::uint16_t((c >> 1) ^ 0xA001) : std::uint16_t(c >> 1);
        t[std::size_t(i)] = c;
    }
    return t;
}
constexpr auto TABLE = makeTable();

std::uint16_t refCrc(const QByteArray& bytes)
{
    std::uint16_t crc = 0xFFFF;
    for (char ch : bytes)
        crc = std::uint16_t((crc >> 8) ^ TABLE[(crc ^ std::uint8_t(ch)) & 0xFF]);
    return crc;
}

// A sound frame of `total` bytes with a deterministic payload.
QByteArray refFrame(std::uint8_t fn, int total)
{
    QByteArray body(1, char(fn));
    for (int i = 0; i < total - 7; ++i)
        body.append(char((i * 37 + 11) & 0xFF));
    const auto crc = refCrc(body);
    QByteArray f = QByteArray::fromHex("5555") + body;
    f.append(char(crc & 0xFF));
    f.append(char(crc >> 8));
    f.append(QByteArray::fromHex("AAAA"));
    return f;
}

} // namespace

class TstSerialFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void crcCheckValue()
    {
        QCOMPARE(serial::crc16(QByteArray("123456789")), std::uint16_t(0x4B37));
        QCOMPARE(serial::crc16(QByteArray()), std::uint16_t(0xFFFF));
    }

    void crcMatchesReference()
    {
        for (int total : {7, 8, 41, 297, 519}) {
            const QByteArray body = refFrame(0x30, total).mid(2, total - 6);
            QCOMPARE(serial::crc16(body), refCrc(body));
        }
    }

    void buildFrame_data()
    {
        QTest::addColumn<int>("fn");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("expected");
        // Worked by hand: CRC-16/MODBUS of the single byte 01 is 0x807E.
        QTest::newRow("read sys info") << 1 << QByteArray() << QByteArray::fromHex("5555017E80AAAA");
        QTest::newRow("read zigbee") << 57 << QByteArray() << QByteArray::fromHex("5555397F52AAAA");
        QTest::newRow("dido") << 13 << QByteArray() << QByteArray::fromHex("55550D7E85AAAA");
        QTest::newRow("profibus on") << 80 << QByteArray(1, '\1') << QByteArray::fromHex("55555001FC70AAAA");
    }
    void buildFrame()
    {
        QFETCH(int, fn);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, expected);
        QCOMPARE(serial::buildFrame(std::uint8_t(fn), payload).toHex(' '), expected.toHex(' '));
    }

    void buildFrameAgreesWithReference()
    {
        for (int total : {7, 9, 23, 71, 249, 519}) {
            const QByteArray ref = refFrame(0x45, total);
            QCOMPARE(serial::buildFrame(0x45, ref.mid(3, total - 7)), ref);
        }
    }

    void finishFrameLeavesShortBufferAlone()
    {
        QByteArray b = QByteArray::fromHex("000001");
        serial::finishFrame(b);
        QCOMPARE(b, QByteArray::fromHex("000001"));
    }

    void checkFrame_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("expected");
        const int ok = int(serial::Check::Ok);
        const int bad = int(serial::Check::BadCrc);
        const int markers = int(serial::Check::BadMarkers);
        const int shortF = int(serial::Check::TooShort);

        QTest::newRow("empty") << QByteArray() << shortF;
        QTest::newRow("1 byte") << QByteArray::fromHex("55") << shortF;
        QTest::newRow("2 bytes") << QByteArray::fromHex("5555") << shortF;
        // Three bytes leave an empty CRC range (0xFFFF): a CRC error.
        QTest::newRow("3 bytes") << QByteArray::fromHex("555501") << bad;

        for (int n : {7, 8, 26, 27, 111, 297})
            QTest::addRow("sound %d", n) << refFrame(std::uint8_t(n & 0x7F), n) << ok;

        QByteArray f297 = refFrame(73, 297);
        f297[293] = char(f297[293] ^ 0x01);
        QTest::newRow("297 bad crc") << f297 << bad;

        // From 298 bytes on the CRC is not looked at, only the markers.
        QByteArray f298 = refFrame(73, 298);
        f298[294] = '\x12';
        f298[295] = '\x34';
        QTest::newRow("298 garbage crc") << f298 << ok;
        QByteArray f519 = refFrame(73, 519);
        f519[515] = char(~f519[515]);
        QTest::newRow("519 garbage crc") << f519 << ok;
        QByteArray f298m = refFrame(73, 298);
        f298m[297] = '\x00';
        QTest::newRow("298 bad end marker") << f298m << markers;

        QByteArray tail = refFrame(1, 111);
        tail[110] = '\xAB';
        QTest::newRow("right crc, bad last byte") << tail << markers;
        QByteArray tail2 = refFrame(1, 7);
        tail2[5] = '\x00';
        tail2[6] = '\x00';
        QTest::newRow("right crc, no end marker") << tail2 << markers;
        QByteArray head = refFrame(1, 7);
        head[0] = '\x56';
        QTest::newRow("right crc, bad head") << head << markers;

        QByteArray payloadFlip = refFrame(2, 51);
        payloadFlip[10] = char(payloadFlip[10] ^ 0x80);
        QTest::newRow("corrupted payload") << payloadFlip << bad;
        QByteArray crcFlip = refFrame(2, 51);
        crcFlip[48] = char(crcFlip[48] ^ 0x01);
        QTest::newRow("corrupted crc high byte") << crcFlip << bad;
        // CRC comes first: a frame wrong in both is reported as a CRC error.
        QByteArray both = refFrame(2, 51);
        both[5] = char(both[5] ^ 0x01);
        both[50] = '\x00';
        QTest::newRow("bad crc and markers") << both << bad;
    }
    void checkFrame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(int, expected);
        QCOMPARE(int(serial::checkFrame(frame)), expected);
    }
};

QTEST_GUILESS_MAIN(TstSerialFrame)
#include "tst_serial_frame.moc"
