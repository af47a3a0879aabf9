#include "proto/announce.h"
#include "proto/net_datagram.h"

#include <QTest>

using namespace net;

namespace {
// An announcement with every unread byte set to 0xEE, so a field read at a
// wrong offset shows.
QByteArray announce(const QByteArray& addr, const QByteArray& port)
{
    QByteArray d(91, char(0xEE));
    d[0] = 4;
    const QByteArray id = "0000000012345678DEV-A          Z";
    const QByteArray tag = "PD tag of the pump station  #17 ";
    d.replace(8, 32, id);
    d.replace(40, 32, tag);
    d.replace(72, 4, addr);
    d.replace(87, 2, port);
    return d;
}
}

class TstAnnounce : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fieldsAtTheirOffsets();
    void rejected_data();
    void rejected();
    void port_readUnsigned_data();
    void port_readUnsigned();
    void addrText_data();
    void addrText();
};

void TstAnnounce::fieldsAtTheirOffsets()
{
    const auto a = parseAnnounce(announce(QByteArray::fromHex("c0a80114"), QByteArray::fromHex("e02e")));
    QVERIFY(a.has_value());
    QCOMPARE(int(a->addr[0]), 192);
    QCOMPARE(int(a->addr[1]), 168);
    QCOMPARE(int(a->addr[2]), 1);
    QCOMPARE(int(a->addr[3]), 20);
    QCOMPARE(a->deviceId, QByteArray("0000000012345678DEV-A          Z"));
    QCOMPARE(a->pdTag, QByteArray("PD tag of the pump station  #17 "));
    QCOMPARE(int(a->port), 12000);
}

void TstAnnounce::rejected_data()
{
    QTest::addColumn<QByteArray>("datagram");
    const QByteArray good = announce(QByteArray::fromHex("0a000007"), QByteArray::fromHex("f82a"));
    QVERIFY(parseAnnounce(good).has_value());
    QTest::newRow("90 bytes") << good.left(90);
    QTest::newRow("92 bytes") << good + '\0';
    QTest::newRow("empty") << QByteArray();
    QByteArray kind5 = good;
    kind5[0] = 5;
    QTest::newRow("kind 5") << kind5;
    QByteArray kind0x84 = good;
    kind0x84[0] = char(0x84);
    QTest::newRow("kind 0x84") << kind0x84;
    // No device can be reached at 0.0.0.0, the device table's placeholder.
    QTest::newRow("address 0.0.0.0") << announce(QByteArray(4, '\0'), QByteArray::fromHex("f82a"));
}

void TstAnnounce::rejected()
{
    QFETCH(QByteArray, datagram);
    QVERIFY(!parseAnnounce(datagram).has_value());
}

void TstAnnounce::port_readUnsigned_data()
{
    QTest::addColumn<QByteArray>("le");
    QTest::addColumn<int>("port");
    QTest::newRow("32767") << QByteArray::fromHex("ff7f") << 32767;
    QTest::newRow("32768") << QByteArray::fromHex("0080") << 32768;
    QTest::newRow("40000") << QByteArray::fromHex("409c") << 40000;
    QTest::newRow("65535") << QByteArray::fromHex("ffff") << 65535;
    QTest::newRow("0") << QByteArray::fromHex("0000") << 0;
}

void TstAnnounce::port_readUnsigned()
{
    QFETCH(QByteArray, le);
    QFETCH(int, port);
    const auto a = parseAnnounce(announce(QByteArray::fromHex("7f000002"), le));
    QVERIFY(a.has_value());
    QCOMPARE(int(a->port), port);
}

void TstAnnounce::addrText_data()
{
    QTest::addColumn<QByteArray>("addr");
    QTest::addColumn<QString>("text");
    QTest::newRow("ordinary") << QByteArray::fromHex("7fa80114") << "127.168.1.20";
    QTest::newRow("zero octet") << QByteArray::fromHex("7fa80007") << "127.168.0.7";
    QTest::newRow("no leading zeros") << QByteArray::fromHex("7f000009") << "127.0.0.9";
    QTest::newRow("all high") << QByteArray::fromHex("7fffffff") << "127.255.255.255";
}

void TstAnnounce::addrText()
{
    QFETCH(QByteArray, addr);
    QFETCH(QString, text);
    // Through the announcement, so the address bytes come from offset 72.
    const auto a = parseAnnounce(announce(addr, QByteArray::fromHex("e02e")));
    QVERIFY(a.has_value());
    QCOMPARE(net::addrText(a->addr), text);
}

QTEST_GUILESS_MAIN(TstAnnounce)
#include "tst_announce.moc"
