#include "proto/net_datagram.h"

#include <QTest>

using namespace net;

namespace {
QByteArray hex(const char* s) { return QByteArray::fromHex(s); }
}

class TstNetDatagram : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readRequest_data();
    void readRequest();
    void writeRequest_data();
    void writeRequest();
    void writeRequest_lengthFieldMatchesSize_data();
    void writeRequest_lengthFieldMatchesSize();
    void writeRequest_tooLong_refused();
    void nextSeq_data();
    void nextSeq();
    void replyHeader_data();
    void replyHeader();
    void replyPieces_shortReplies_giveNothing();
    void zigbeeReply_decodedFromOffset12();
    void weekdayAndInnerCal_decoded();
};

void TstNetDatagram::readRequest_data()
{
    QTest::addColumn<int>("seq");
    QTest::addColumn<qint32>("index");
    QTest::addColumn<qint32>("sub");
    QTest::addColumn<qint32>("param");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("system info, first read")
        << 1 << 10003 << 1 << 0 << hex("0c000000 1000 0100 0000 1327 0100 0000");
    QTest::newRow("slave row 0x0105")
        << 0x1234 << 10003 << 14 << 0x0105 << hex("0c000000 1000 3412 0000 1327 0e00 0501");
    QTest::newRow("SM read, seq 65535")
        << 65535 << 107 << 0 << 256 << hex("0c000000 1000 ffff 0000 6b00 0000 0001");
    QTest::newRow("values cut to their low 16 bits")
        << 0 << 0x12345 << 65536 << -1 << hex("0c000000 1000 0000 0000 4523 0000 ffff");
    QTest::newRow("negative sub-index")
        << 7 << 15000 << -2 << -32768 << hex("0c000000 1000 0700 0000 983a feff 0080");
}

void TstNetDatagram::readRequest()
{
    QFETCH(int, seq);
    QFETCH(qint32, index);
    QFETCH(qint32, sub);
    QFETCH(qint32, param);
    QFETCH(QByteArray, bytes);
    QCOMPARE(NetReadRequest(quint16(seq), index, sub, param).toHex(' '), bytes.toHex(' '));
}

void TstNetDatagram::writeRequest_data()
{
    QTest::addColumn<int>("seq");
    QTest::addColumn<qint32>("index");
    QTest::addColumn<qint32>("sub");
    QTest::addColumn<qint32>("param");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("bytes");

    // Index 107: 16-byte header, the payload in place of the reserved bytes.
    QTest::newRow("107, 1-byte payload, 17 bytes")
        << 7 << 107 << 59 << 0 << hex("aa") << hex("0d000000 1100 0700 0000 6b00 3b00 0000 aa");
    QTest::newRow("14000, 1-byte payload, 19 bytes")
        << 7 << 14000 << 1 << 0 << hex("aa") << hex("0d000000 1300 0700 0000 b036 0100 0000 0000 aa");
    QTest::newRow("10003, empty payload")
        << 0 << 10003 << 22 << 0 << QByteArray() << hex("0d000000 1200 0000 0000 1327 1600 0000 0000");
    QTest::newRow("107, empty payload")
        << 1 << 107 << 257 << 0 << QByteArray() << hex("0d000000 1000 0100 0000 6b00 0101 0000");
    QTest::newRow("param as left, negative")
        << 0xfffe << 10003 << 18 << -2 << hex("0102") << hex("0d000000 1400 feff 0000 1327 1200 feff 0000 0102");
}

void TstNetDatagram::writeRequest()
{
    QFETCH(int, seq);
    QFETCH(qint32, index);
    QFETCH(qint32, sub);
    QFETCH(qint32, param);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, bytes);
    const auto got = NetWriteRequest(quint16(seq), index, sub, param, payload);
    QVERIFY(got.has_value());
    QCOMPARE(got->toHex(' '), bytes.toHex(' '));
}

void TstNetDatagram::writeRequest_lengthFieldMatchesSize_data()
{
    QTest::addColumn<qint32>("index");
    QTest::addColumn<int>("payloadSize");
    QTest::addColumn<int>("total");

    QTest::newRow("107 with a 512-byte block") << 107 << 512 << 528;
    QTest::newRow("10003 with 64 bytes") << 10003 << 64 << 82;
    QTest::newRow("10003 at the limit") << 10003 << 32767 - 18 << 32767;
    QTest::newRow("107 at the limit") << 107 << 32767 - 16 << 32767;
}

void TstNetDatagram::writeRequest_lengthFieldMatchesSize()
{
    QFETCH(qint32, index);
    QFETCH(int, payloadSize);
    QFETCH(int, total);
    QByteArray payload(payloadSize, '\0');
    for (int i = 0; i < payloadSize; ++i)
        payload[i] = char(i * 7 + 1);
    const auto got = NetWriteRequest(3, index, 2, 0, payload);
    QVERIFY(got.has_value());
    QCOMPARE(int(got->size()), total);
    QCOMPARE(quint8(got->at(4)) | (quint8(got->at(5)) << 8), total);
    QCOMPARE(got->right(payloadSize), payload);
}

void TstNetDatagram::writeRequest_tooLong_refused()
{
    QVERIFY(!NetWriteRequest(1, 10003, 2, 0, QByteArray(32767 - 18 + 1, 'x')).has_value());
    QVERIFY(!NetWriteRequest(1, 107, 257, 0, QByteArray(32767 - 16 + 1, 'x')).has_value());
    QVERIFY(!NetWriteRequest(1, 14000, 6, 0, QByteArray(70000, 'x')).has_value());
}

void TstNetDatagram::nextSeq_data()
{
    QTest::addColumn<qint32>("current");
    QTest::addColumn<int>("next");
    QTest::newRow("start") << 0 << 1;
    QTest::newRow("ordinary") << 4660 << 4661;
    QTest::newRow("last before wrap") << 65534 << 65535;
    QTest::newRow("wrap") << 65535 << 0;
}

void TstNetDatagram::nextSeq()
{
    QFETCH(qint32, current);
    QFETCH(int, next);
    QCOMPARE(int(net::nextSeq(current)), next);
}

void TstNetDatagram::replyHeader_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("seq");

    const int rd = int(ReplyKind::Read), wr = int(ReplyKind::Write), other = int(ReplyKind::Other);
    QTest::newRow("read ok") << hex("4c0000001000 0500 0000 1327 0100 aabb") << true << rd << true << 5;
    QTest::newRow("read failed, status 00") << hex("0c0000001000 0500") << true << rd << false << 5;
    QTest::newRow("read failed, status 11") << hex("cc0000001000 0500") << true << rd << false << 5;
    QTest::newRow("write ok, seq unsigned") << hex("4d0000001200 feff") << true << wr << true << 0xfffe;
    QTest::newRow("write failed, status 10") << hex("8d0000001200 0000") << true << wr << false << 0;
    QTest::newRow("other service") << hex("4e0000001000 0100") << true << other << true << 1;
    QTest::newRow("seven bytes: no sequence echo") << hex("4c00000010 0005") << true << rd << true << 0;
    QTest::newRow("one byte, failure status") << hex("0d") << true << wr << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0 << false << 0;
}

void TstNetDatagram::replyHeader()
{
    QFETCH(QByteArray, datagram);
    QFETCH(bool, valid);
    const auto h = parseReplyHeader(datagram);
    QCOMPARE(h.has_value(), valid);
    if (!valid)
        return;
    QFETCH(int, kind);
    QFETCH(bool, ok);
    QFETCH(int, seq);
    QCOMPARE(int(h->kind), kind);
    QCOMPARE(h->ok, ok);
    QCOMPARE(int(h->seq), seq);
    QCOMPARE(h->hasSeq, datagram.size() >= 8);
}

void TstNetDatagram::replyPieces_shortReplies_giveNothing()
{
    // User-block dump: everything after byte 14.
    QVERIFY(userBlockData(QByteArray(14, 'h')).isEmpty());
    QVERIFY(userBlockData(QByteArray(3, 'h')).isEmpty());
    QCOMPARE(userBlockData(QByteArray(14, 'h') + "ab"), QByteArray("ab"));

    // DeviceID/PD-tag block: 82 bytes from offset 12.
    QByteArray r(12, 'h');
    for (int i = 0; i < 82; ++i)
        r += char(i);
    QVERIFY(!devIdBlock(r.left(93)).has_value());
    const auto blk = devIdBlock(r + "tail");
    QVERIFY(blk.has_value());
    QCOMPARE(blk->size(), 82);
    QCOMPARE(*blk, r.mid(12));

    QVERIFY(!weekdayValue(QByteArray(129, '\0')).has_value());
    QVERIFY(!innerCalValues(QByteArray(27, '\0')).has_value());
}

void TstNetDatagram::zigbeeReply_decodedFromOffset12()
{
    const QByteArray reply = hex("4c0000002e00 0900 00000000"
                                 "02 05 3412 0f000080 0102030405060708 1112131415161718"
                                 "01 fe ffff 0200 0300 0100");
    QCOMPARE(reply.size(), 12 + 34);
    serial::ZigbeeBlock z;
    QVERIFY(decodeZigbeeReply(reply, z));
    QCOMPARE(int(z.logic), 2);
    QCOMPARE(int(z.netType), 5);
    QCOMPARE(int(z.dnoLow), 0x1234);
    QCOMPARE(quint32(z.channelMask), 0x8000000fu);
    QCOMPARE(int(z.mac[0]), 1);
    QCOMPARE(int(z.mac[7]), 8);
    QCOMPARE(int(z.extPan[0]), 0x11);
    QCOMPARE(int(z.extPan[7]), 0x18);
    QCOMPARE(int(z.enable), 1);
    QCOMPARE(int(z.chainAddr), 0xfe);
    QCOMPARE(int(z.adv1), -1);
    QCOMPARE(int(z.adv2), 2);
    QCOMPARE(int(z.adv3), 3);
    QCOMPARE(int(z.advFlag), 1);

    serial::ZigbeeBlock untouched;
    untouched.logic = 9;
    QVERIFY(!decodeZigbeeReply(reply.chopped(1), untouched));
    QCOMPARE(int(untouched.logic), 9);
}

void TstNetDatagram::weekdayAndInnerCal_decoded()
{
    QByteArray r(130, '\0');
    r[128] = 3;
    QCOMPARE(weekdayValue(r).value(), quint16(3));
    r[128] = char(0x01);
    r[129] = char(0x80);
    QCOMPARE(weekdayValue(r).value(), quint16(0x8001));

    const QByteArray cal = hex("4c0000001c00 0200 00001327" "0100 ffff 0080 ff7f 3412 0000 feff 0001");
    const auto v = innerCalValues(cal);
    QVERIFY(v.has_value());
    const std::array<qint16, 8> want{1, -1, -32768, 32767, 0x1234, 0, -2, 256};
    QCOMPARE(*v, want);
}

QTEST_GUILESS_MAIN(TstNetDatagram)
#include "tst_net_datagram.moc"
