// System-parameter block: reply decode, the two write layouts, the text
// fields and the page's bit fields.
#include "base/errorlog.h"
#include "proto/sys_param.h"

#include <QTest>

using namespace sysparam;

namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())};
}

// A serial reply payload (104 bytes), field by field.
const QByteArray SERIAL_REPLY = QByteArray::fromHex(
    "78563412"          // 0  SerialNo 0x12345678
    "C0A80114"          // 4  192.168.1.20
    "21"                // 8  module address
    "00010203040506"    // 9  sensor types 0..6
    "C3114702"          // 16 port 0 line/proto, port 1 line/proto
    "13"                // 20 A/D mode
    "0502"              // 21 debounce
    "FEFF"              // 23 cold calibration -2
    "44"                // 25 temperature compensation
    "B2A1"              // 26 scan control
    "0D0C"              // 28 scan interval
    "07"                // 30 device type
    "0A00F6FF"          // 31 AQ adjust 0, 1: 10, -10
    "5425"              // 35 inner version 0x2554
    "07"                // 37 sensor type 7
    "23"                // 38 version byte
    "DEADBEEF"          // 39 not used
    "DF07"              // 43 year 2015
    "03090E1E3B"        // 45 3-9 14:30:59
    "0102"              // 50 master/slave
    "85"                // 52 channels 0..7 enabled: 0, 2, 7
    "409C"              // 53 UDP port 40000
    "0201"              // 55 CPU type
    "05"                // 57 slave max errors
    "F401"              // 58 slave interval 500
    "E803"              // 60 slave wait 1000
    "0802"              // 62 packet gap times
    "01"                // 64 no user program
    "AB"                // 65 boot version
    "01"                // 66 running
    "0D0E17"            // 67 sensor types 8..10
    "02000300FDFF00010000FF7F" // 70 AQ adjust 2..7
    "FE"                // 82 channels 8..10 (bits 3..7 ignored)
    "EEEE"              // 83 not used
    "03"                // 85 comm error time
    "FFFF"              // 86 comm interval 65535
    "0080"              // 88 comm wait 32768
    "1000"              // 90 status mask 0x0010
    "000000000000000000000000");

// The same record in an Ethernet reply: the reply-only tail moves to 87..91
// and 100..101; the bytes at the serial positions hold something else.
const QByteArray ETHERNET_REPLY = SERIAL_REPLY.left(85) + QByteArray::fromHex(
    "5A5A"              // 85 not used
    "03"                // 87 comm error time
    "FFFF"              // 88 comm interval
    "0080"              // 90 comm wait
    "7777777777777777"  // 92 not used
    "1000");            // 100 status mask

// What SERIAL_REPLY decodes to.
SysParamRecord sampleRecord()
{
    SysParamRecord r;
    r.SerialNo = 0x12345678;
    r.IpAddr = {192, 168, 1, 20};
    r.ModuleAddr = 0x21;
    r.SensorType = {0, 1, 2, 3, 4, 5, 6, 7, 13, 14, 23};
    r.PortLine = {0xC3, 0x47};
    r.PortProto = {0x11, 0x02};
    r.AdMode = 0x13;
    r.DiDebounce = 0x0205;
    r.ColdCal = -2;
    r.TempCompFlags = 0x44;
    r.SubScanCtrl = 0xA1B2;
    r.SubScanInterval = 0x0C0D;
    r.DeviceType = 7;
    r.AqAdjust = {10, -10, 2, 3, -3, 0x100, 0, 0x7FFF};
    r.InnerVersion = 0x2554;
    r.VersionByte = 0x23;
    r.ProdYear = 2015;
    r.ProdMonth = 3;
    r.ProdDay = 9;
    r.ProdHour = 14;
    r.ProdMinute = 30;
    r.ProdSecond = 59;
    r.MasterSlave = {1, 2};
    r.ChnlEnable = {1, 0, 1, 0, 0, 0, 0, 1, 0, 1, 1};
    r.UdpPort = 40000;
    r.CpuType = 0x0102;
    r.SubMaxErr = 5;
    r.SubCommIntv = 500;
    r.SubWaitTime = 1000;
    r.RsDataTime = {8, 2};
    r.RunState = 1;
    return r;
}

// The short payload of sampleRecord() with SAMPLE_TIMES, written out.
const QByteArray SHORT_EXPECTED = QByteArray::fromHex(
    "78563412" "C0A80114" "21"
    "C3114702"          // 9  ports
    "13" "0502" "FEFF" "44"
    "DF07" "03090E1E3B" // 19 production date and time
    "0102"              // 26 master/slave
    "85"                // 28 channels 0..7
    "409C" "0201" "05" "F401" "E803"
    "B2A1" "0D0C"       // 38 scan control, interval
    "0802"              // 42 packet gap times
    "06"                // 44 channels 8..10
    "55AA"              // 45 marker
    "03" "2C01" "FEFF"  // 47 comm times
    "0000000000000000000000000000000000000000000000000000000000000000");

const CommTimes SAMPLE_TIMES{3, 300, 65534};

FixExtras sampleExtras()
{
    FixExtras x;
    x.mac = {0x00, 0xFC, 0x15, 0x03, 0x09, 0x0C};
    x.prjCal = {1, -1, 32767, -32768, 0, 2, 0x100, 0, 0, 0, 10};
    x.aqType = {0, 1, 2, 0, 1, 2, 0, 1};
    x.aiUp = {std::int16_t(0x9C40), 1, 2, 3, 4, 5, 6, 7};
    x.aiDown = {-1, 0, 0, 0, 0, 0, 0, -100};
    for (int i = 0; i < 32; ++i) {
        x.deviceId[std::size_t(i)] = std::uint8_t(0x40 + i);
        x.pdTag[std::size_t(i)] = std::uint8_t(0x60 + i);
    }
    return x;
}

const QByteArray FIX_TAIL_EXPECTED = QByteArray::fromHex(
    "55AA"                                      // 52 marker
    "00FC1503090C"                              // 54 MAC
    "00010203040506070D0E17"                    // 60 sensor types
    "0100FFFFFF7F00800000020000010000000000000A00" // 71 AI calibration
    "0001020001020001"                          // 93 AQ types
    "0A00F6FF02000300FDFF00010000FF7F"          // 101 AQ adjust
    "409C0100020003000400050006000700"          // 117 alarm up
    "FFFF0000000000000000000000009CFF"          // 133 alarm down
    "404142434445464748494A4B4C4D4E4F505152535455565758595A5B5C5D5E5F" // 149 DeviceID
    "606162636465666768696A6B6C6D6E6F707172737475767778797A7B7C7D7E7F"); // 181 PD tag

QByteArray arrayBytes(const std::array<std::uint8_t, 32>& a)
{
    return QByteArray(reinterpret_cast<const char*>(a.data()), int(a.size()));
}

} // namespace

class TstSysParam : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decodeSerialReply()
    {
        SysParamRecord rec;
        rec.HardAddr = 0x42;
        const auto x = decodeSysParamReply(bytesOf(SERIAL_REPLY), Link::Serial, rec);
        QVERIFY(x);
        SysParamRecord expected = sampleRecord();
        expected.HardAddr = 0x42;
        QCOMPARE(rec.SerialNo, expected.SerialNo);
        QCOMPARE(rec.SensorType, expected.SensorType);
        QCOMPARE(rec.AqAdjust, expected.AqAdjust);
        QCOMPARE(rec.ChnlEnable, expected.ChnlEnable);
        QVERIFY(rec == expected);
        QCOMPARE(x->noUserProgram, std::uint8_t(1));
        QCOMPARE(x->bootVersion, std::uint8_t(0xAB));
        QCOMPARE(x->commErrTime, std::uint8_t(3));
        QCOMPARE(x->commInterTime, std::uint16_t(65535));
        QCOMPARE(x->commWaitTime, std::uint16_t(32768));
        QCOMPARE(x->statusMask, std::uint16_t(0x0010));
    }

    void ethernetReplyGivesSameRecordButVersionByte()
    {
        SysParamRecord ser, eth;
        eth.VersionByte = 0x99;
        const auto xs = decodeSysParamReply(bytesOf(SERIAL_REPLY), Link::Serial, ser);
        const auto xe = decodeSysParamReply(bytesOf(ETHERNET_REPLY), Link::Ethernet, eth);
        QVERIFY(xs && xe);
        QCOMPARE(eth.VersionByte, std::uint8_t(0x99));
        eth.VersionByte = ser.VersionByte;
        QVERIFY(eth == ser);
        QCOMPARE(xe->commErrTime, xs->commErrTime);
        QCOMPARE(xe->commInterTime, xs->commInterTime);
        QCOMPARE(xe->commWaitTime, xs->commWaitTime);
        QCOMPARE(xe->statusMask, xs->statusMask);
    }

    void replyLengthLimits_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("decoded");
        QTest::newRow("serial 91") << true << 91 << false;
        QTest::newRow("serial 92") << true << 92 << true;
        QTest::newRow("ethernet 101") << false << 101 << false;
        QTest::newRow("ethernet 102") << false << 102 << true;
        QTest::newRow("ethernet 92") << false << 92 << false;
        QTest::newRow("empty") << true << 0 << false;
    }
    void replyLengthLimits()
    {
        QFETCH(bool, serial);
        QFETCH(int, size);
        QFETCH(bool, decoded);
        const QByteArray payload = (serial ? SERIAL_REPLY : ETHERNET_REPLY).left(size);
        SysParamRecord rec;
        rec.SerialNo = -7;
        rec.DeviceType = 99;
        const SysParamRecord before = rec;
        const auto x = decodeSysParamReply(bytesOf(payload), serial ? Link::Serial : Link::Ethernet, rec);
        QCOMPARE(bool(x), decoded);
        if (!decoded)
            QVERIFY(rec == before);
        else
            QCOMPARE(rec.SerialNo, 0x12345678);
    }

    // Both directions of the two channel-enable bytes.
    void channelEnable_data()
    {
        QTest::addColumn<int>("p52");
        QTest::addColumn<int>("p82");
        QTest::addColumn<QString>("channels");
        QTest::newRow("05 06") << 0x05 << 0x06 << "10100000011";
        QTest::newRow("all") << 0xFF << 0x07 << "11111111111";
        QTest::newRow("only 9") << 0x00 << 0x02 << "00000000010";
        QTest::newRow("none") << 0x00 << 0x00 << "00000000000";
        QTest::newRow("7 and 8") << 0x80 << 0x01 << "00000001100";
    }
    void channelEnable()
    {
        QFETCH(int, p52);
        QFETCH(int, p82);
        QFETCH(QString, channels);
        QByteArray payload = SERIAL_REPLY;
        payload[52] = char(p52);
        payload[82] = char(p82 | 0xF8); // the unused high bits are not channels
        SysParamRecord rec;
        QVERIFY(decodeSysParamReply(bytesOf(payload), Link::Serial, rec));
        std::array<std::uint8_t, 11> expected{};
        for (int i = 0; i < 11; ++i)
            expected[std::size_t(i)] = channels.at(i) == QLatin1Char('1') ? 1 : 0;
        QCOMPARE(rec.ChnlEnable, expected);
        const auto bytes = channelEnableBytes(expected);
        QCOMPARE(int(bytes[0]), p52);
        QCOMPARE(int(bytes[1]), p82);
    }

    void versionTexts()
    {
        QCOMPARE(bootVersionText(0x12), QStringLiteral("1.2"));
        QCOMPARE(bootVersionText(0xAB), QStringLiteral("10.11"));
        QCOMPARE(bootVersionText(0x00), QStringLiteral("0.0"));
        QCOMPARE(innerVersionText(0x2554), QStringLiteral("2.554"));
        QCOMPARE(innerVersionText(0x1107), QStringLiteral("1.107"));
        QCOMPARE(innerVersionText(0x0A0B), QStringLiteral("0.A0B"));
        QCOMPARE(innerVersionDigits(0x2554), QStringLiteral("2554"));
        QCOMPARE(innerVersionDigits(0x00AF), QStringLiteral("00AF"));
        QCOMPARE(versionByteText(0x23), QStringLiteral("2.3"));
        QCOMPARE(versionByteText(0x05), QStringLiteral("0.5"));
        QCOMPARE(versionByteText(0xBC), QStringLiteral("B.C"));
    }

    void shortPayload()
    {
        SysParamRecord r = sampleRecord();
        r.HardAddr = 0x42;
        const QByteArray b = encodeSysParamShort(r, SAMPLE_TIMES);
        QCOMPARE(b.size(), SHORT_PAYLOAD);
        QCOMPARE(b.toHex(' '), SHORT_EXPECTED.toHex(' '));
    }

    void fixPayload()
    {
        const QByteArray ser = encodeSysParamFix(sampleRecord(), SAMPLE_TIMES, sampleExtras(), Link::Serial);
        QCOMPARE(ser.size(), FIX_PAYLOAD_SERIAL);
        QCOMPARE(ser.toHex(' '), (SHORT_EXPECTED.left(52) + FIX_TAIL_EXPECTED).toHex(' '));

        const QByteArray eth = encodeSysParamFix(sampleRecord(), SAMPLE_TIMES, sampleExtras(), Link::Ethernet);
        QCOMPARE(eth.size(), FIX_PAYLOAD_ETHERNET);
        QCOMPARE(eth.toHex(' '), (ser + QByteArray(19, '\0')).toHex(' '));
    }

    void layoutChoice_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("isLong");
        QTest::newRow("33 old firmware") << 33 << 0x0100 << true;
        QTest::newRow("29 short range") << 29 << 0x2000 << true;
        QTest::newRow("7 0x2553") << 7 << 0x2553 << false;
        QTest::newRow("7 0x2554") << 7 << 0x2554 << true;
        QTest::newRow("7 0x1FFF") << 7 << 0x1FFF << true;
        QTest::newRow("7 0x2000") << 7 << 0x2000 << false;
        QTest::newRow("7 0x1006") << 7 << 0x1006 << false;
        QTest::newRow("7 0x1007") << 7 << 0x1007 << false;
        QTest::newRow("7 0x1106") << 7 << 0x1106 << false;
        QTest::newRow("7 0x1107") << 7 << 0x1107 << true;
        QTest::newRow("7 0xFFFF") << 7 << 0xFFFF << true;
    }
    void layoutChoice()
    {
        QFETCH(int, type);
        QFETCH(int, version);
        QTEST(useLongLayout(std::uint8_t(type), std::uint16_t(version)), "isLong");
    }

    void deviceIdText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("field");
        const QByteArray zeros(32, '0');
        QTest::newRow("empty") << QString() << zeros;
        QTest::newRow("short") << QStringLiteral("AB1") << QByteArray("AB1") + zeros.left(29);
        QTest::newRow("40 chars") << QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyzABCD")
                                  << QByteArray("0123456789abcdefghijklmnopqrstuv");
        // Low byte of the UTF-16 code: U+4E2D gives 0x2D, U+00E9 gives 0xE9.
        QTest::newRow("wide") << QString::fromUtf8("中é") << QByteArray::fromHex("2DE9") + zeros.left(30);
    }
    void deviceIdText()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, field);
        QCOMPARE(arrayBytes(deviceIdField(text)).toHex(' '), field.toHex(' '));
    }

    void pdTagText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<QByteArray>("field");
        const QByteArray fill(32, '\x1F');
        QTest::newRow("empty") << QString() << true << fill;
        QTest::newRow("AB") << QStringLiteral("AB") << true << QByteArray("AB") + fill.left(30);
        // Every character beyond ASCII in GBK, so that the device reads it back;
        // one GBK lacks is no PD tag.
        QTest::newRow("degree sign") << QString::fromUtf8("°C") << true << QByteArray::fromHex("A1E343") + fill.left(29);
        QTest::newRow("micro sign") << QString::fromUtf8("µ") << false << QByteArray();
        QTest::newRow("GBK") << QString::fromUtf8("中A") << true << QByteArray::fromHex("D6D041") + fill.left(29);
        QTest::newRow("32 ASCII fill it") << QStringLiteral("0123456789abcdefghijklmnopqrstuv") << true
                                          << QByteArray("0123456789abcdefghijklmnopqrstuv");
        QTest::newRow("40 ASCII") << QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyzABCD") << false
                                  << QByteArray();
        QTest::newRow("16 wide fill it") << QString(16, QChar(0x4E2D)) << true
                                         << QByteArray::fromHex("D6D0").repeated(16);
        QTest::newRow("17 wide") << QString(17, QChar(0x4E2D)) << false << QByteArray();
        QTest::newRow("31 ASCII + wide") << QString(31, QLatin1Char('x')) + QChar(0x4E2D) << false
                                         << QByteArray();
        // The whole text counts: nothing is cut.
        QTest::newRow("32 ASCII + wide") << QString(32, QLatin1Char('x')) + QChar(0x4E2D) << false
                                         << QByteArray();
    }
    void pdTagText()
    {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        QFETCH(QByteArray, field);
        const auto f = pdTagField(text);
        QCOMPARE(bool(f), fits);
        if (fits)
            QCOMPARE(arrayBytes(*f).toHex(' '), field.toHex(' '));
    }

    void packPortBytes_data()
    {
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("lineBefore");
        QTest::addColumn<int>("protoBefore");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("proto");
        QTest::newRow("mark RTU 9600") << 4 << 0 << 0 << 3 << 1 << 0x2F << 0x1F << 0xC3 << 0x11;
        QTest::newRow("space RTU 9600") << 3 << 0 << 0 << 3 << 1 << 0x00 << 0x00 << 0xC3 << 0x01;
        QTest::newRow("odd 7 2 1M OMRON") << 1 << 1 << 1 << 9 << 6 << 0xFF << 0xFF << 0x79 << 0x06;
        QTest::newRow("even 8 1 1200 Debug") << 2 << 0 << 0 << 0 << 0 << 0x7F << 0x1F << 0x80 << 0x00;
        // No parity selection: the former byte stays and the rest is OR-ed in.
        QTest::newRow("no parity, 7 bits") << -1 << 1 << -1 << -1 << 2 << 0x43 << 0x00 << 0x63 << 0x02;
        QTest::newRow("no parity, stop 0") << -1 << 0 << 0 << 0 << 2 << 0x7F << 0x00 << 0x7F << 0x02;
        // No protocol: the protocol byte stays, mark adds nothing.
        QTest::newRow("mark, no protocol") << 4 << 0 << 0 << 3 << -1 << 0x00 << 0x05 << 0xC3 << 0x05;
        QTest::newRow("nothing chosen") << -1 << -1 << -1 << -1 << -1 << 0x5A << 0x13 << 0x5A << 0x13;
    }
    void packPortBytes()
    {
        QFETCH(int, parity);
        QFETCH(int, dataBits);
        QFETCH(int, stopBits);
        QFETCH(int, baud);
        QFETCH(int, protocol);
        QFETCH(int, lineBefore);
        QFETCH(int, protoBefore);
        std::uint8_t line = std::uint8_t(lineBefore), proto = std::uint8_t(protoBefore);
        packPort({parity, dataBits, stopBits, baud, protocol}, line, proto);
        QTEST(int(line), "line");
        QTEST(int(proto), "proto");
    }

    void packPortRejectsImpossiblePositions()
    {
        const PortChoice bad[] = {
            {5, 0, 0, 0, 0}, {0, 2, 0, 0, 0}, {0, 0, 2, 0, 0}, {0, 0, 0, 16, 0}, {0, 0, 0, 0, 16},
        };
        for (const auto& c : bad) {
            std::uint8_t line = 0x12, proto = 0x34;
            QVERIFY_THROWS_EXCEPTION(RuntimeError, packPort(c, line, proto));
            QCOMPARE(line, std::uint8_t(0x12));
            QCOMPARE(proto, std::uint8_t(0x34));
        }
    }

    void unpackPortPositions_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("proto");
        QTest::addColumn<QList<int>>("positions"); // parity, data, stop, baud, protocol
        QTest::newRow("C3 11") << 0xC3 << 0x11 << QList<int>{4, 0, 0, 3, 1};
        QTest::newRow("C3 01") << 0xC3 << 0x01 << QList<int>{3, 0, 0, 3, 1};
        QTest::newRow("mark flag without space") << 0x83 << 0x11 << QList<int>{2, 0, 0, 3, 1};
        QTest::newRow("7 bits 2 stop") << 0x79 << 0x06 << QList<int>{1, 1, 1, 9, 6};
    }
    void unpackPortPositions()
    {
        QFETCH(int, line);
        QFETCH(int, proto);
        QFETCH(QList<int>, positions);
        const PortChoice c = unpackPort(std::uint8_t(line), std::uint8_t(proto));
        QCOMPARE((QList<int>{c.parity, c.dataBits, c.stopBits, c.baud, c.protocol}), positions);
    }

    void portRoundTrip()
    {
        for (int parity = 0; parity <= 4; ++parity)
            for (int data = 0; data <= 1; ++data)
                for (int stop = 0; stop <= 1; ++stop)
                    for (int baud = 0; baud <= 9; ++baud)
                        for (int protocol = 0; protocol <= 6; ++protocol) {
                            const PortChoice c{parity, data, stop, baud, protocol};
                            std::uint8_t line = 0xFF, proto = 0xFF;
                            packPort(c, line, proto);
                            QVERIFY2(unpackPort(line, proto) == c,
                                     qPrintable(QStringLiteral("%1 %2").arg(line, 2, 16).arg(proto, 2, 16)));
                        }
    }

    void adMode_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("rateFiltered");
        QTest::addColumn<int>("mode");
        QTest::newRow("no filter selection") << -1 << 2 << 3 << 0x14;
        QTest::newRow("filter, rate 2") << 1 << 5 << 2 << 0x12;
        QTest::newRow("filter, no rate") << 1 << 5 << -1 << 0x14;
        QTest::newRow("no filter, rate 7") << 0 << 7 << 2 << 0x07;
        QTest::newRow("no filter, no rate") << 0 << -1 << 2 << 0x04;
    }
    void adMode()
    {
        QFETCH(int, filter);
        QFETCH(int, rate);
        QFETCH(int, rateFiltered);
        QTEST(int(packAdMode(filter, rate, rateFiltered)), "mode");
    }
};

QTEST_GUILESS_MAIN(TstSysParam)
#include "tst_sys_param.moc"
