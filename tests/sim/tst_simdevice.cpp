// The simulated device answers on the wire as a real device would: right
// lengths, CRC and markers on the pseudo-terminal, sequence echo over UDP,
// announcements by unicast; and its fault modes do what they say.

// The simulator's library collects every .cpp of this folder, this one too;
// it is compiled there without Qt Test and then comes out empty.
#if defined(QT_TESTLIB_LIB)

#include "devsim/bytes.h"
#include "devsim/console.h"
#include "devsim/serial_device.h"
#include "devsim/udp_device.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTest>
#include <QUdpSocket>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Request frames are built here, not with the simulator's own framing.
QByteArray request(quint8 fn, const QByteArray &payload = {})
{
    QByteArray f = QByteArray("\x55\x55", 2) + char(fn) + payload;
    const quint16 crc = sim::crc16(f.constData() + 2, f.size() - 2);
    f += char(crc & 0xFF);
    f += char(crc >> 8);
    f += QByteArray("\xAA\xAA", 2);
    return f;
}

bool crcOk(const QByteArray &f)
{
    return f.size() >= 7 && sim::crc16(f.constData() + 2, f.size() - 4) == 0;
}

bool markersOk(const QByteArray &f)
{
    return f.size() >= 7 && f.startsWith("\x55\x55") && f.endsWith("\xAA\xAA");
}

// The program's side of the line, opened with plain POSIX calls.
class Line
{
public:
    explicit Line(const QString &path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios t{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~Line()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    void write(const QByteArray &b) { QCOMPARE(::write(m_fd, b.constData(), size_t(b.size())), ssize_t(b.size())); }

    // Collects what arrives until `want` bytes are in or the time is up; then
    // waits a little longer to catch bytes beyond the expected length.
    QByteArray read(int want, int timeoutMs = 2000)
    {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        auto drain = [&] {
            char buf[1024];
            ssize_t n;
            while ((n = ::read(m_fd, buf, sizeof buf)) > 0)
                got.append(buf, int(n));
        };
        while (got.size() < want && t.elapsed() < timeoutMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            drain();
        }
        QTest::qWait(50);
        drain();
        return got;
    }

private:
    int m_fd = -1;
};

QByteArray readRequest(quint16 seq, quint16 index, quint16 sub, quint16 param)
{
    QByteArray d(16, '\0');
    sim::putU8(d, 0, 12);
    sim::putU16(d, 4, 16);
    sim::putU16(d, 6, seq);
    sim::putU16(d, 10, index);
    sim::putU16(d, 12, sub);
    sim::putU16(d, 14, param);
    return d;
}

QByteArray writeRequest(quint16 seq, quint16 index, quint16 sub, const QByteArray &payload)
{
    const int header = index == 107 ? 16 : 18;
    QByteArray d(header, '\0');
    sim::putU8(d, 0, 13);
    sim::putU16(d, 4, quint32(header + payload.size()));
    sim::putU16(d, 6, seq);
    sim::putU16(d, 10, index);
    sim::putU16(d, 12, sub);
    return d + payload;
}

} // namespace

class TstSimDevice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void crcAndFrame();
    void serialReplyLengths_data();
    void serialReplyLengths();
    void serialReassemblesAndSkipsBadFrames();
    void serialWriteReadsBack();
    void systemParameters();
    void serialFaults_data();
    void serialFaults();
    void udpReplies_data();
    void udpReplies();
    void udpWriteAndFaults();
    void announcement();
    void console();
    void executable();
};

void TstSimDevice::crcAndFrame()
{
    QCOMPARE(sim::crc16("123456789", 9), quint16(0x4B37));
    QCOMPARE(SimSerialDevice::frame(0x01, {}), QByteArray::fromHex("5555017e80aaaa"));
    QCOMPARE(request(0x01), QByteArray::fromHex("5555017e80aaaa"));
}

void TstSimDevice::serialReplyLengths_data()
{
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<int>("innerVersion");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("replyLength");

    QTest::newRow("sys info") << 7 << 0x3301 << request(1) << 111;
    QTest::newRow("temperatures") << 7 << 0x3301 << request(9) << 29;
    QTest::newRow("short sys write echoes") << 7 << 0x2000 << request(4, QByteArray(84, '\x01')) << 91;
    QTest::newRow("long sys write echoes") << 7 << 0x3301 << request(4, QByteArray(213, '\x02')) << 220;
    QTest::newRow("restore selected") << 7 << 0x3301 << request(56, QByteArray::fromHex("55aa05")) << 7;
    QTest::newRow("flash size") << 7 << 0x3301 << request(46, QByteArray::fromHex("1000")) << 9;
    QTest::newRow("flash block") << 7 << 0x3301 << request(47, QByteArray(512, '\x55')) << 7;
    QTest::newRow("forwarding, 2 entries") << 7 << 0x3301 << request(69, QByteArray(2 * 24 + 8, '\x03')) << 7;
    QTest::newRow("SM area") << 7 << 0x3301 << request(73) << 519;
    QTest::newRow("profibus write") << 7 << 0x3301 << request(80, QByteArray(1, '\x01')) << 8;
    // DI/DO: the battery byte comes with models 29/33 and firmware 0x3238 on.
    QTest::newRow("dido 0x3301") << 7 << 0x3301 << request(13) << 27;
    QTest::newRow("dido 0x3237") << 7 << 0x3237 << request(13) << 26;
    QTest::newRow("dido 0x3238") << 7 << 0x3238 << request(13) << 27;
    QTest::newRow("dido type 29 old fw") << 29 << 0x0100 << request(13) << 27;
    QTest::newRow("dido type 33 fw 0x2604") << 33 << 0x2604 << request(13) << 26;
    QTest::newRow("dido fw 0x8000 is negative") << 7 << 0x8000 << request(13) << 26;
}

void TstSimDevice::serialReplyLengths()
{
    QFETCH(int, deviceType);
    QFETCH(int, innerVersion);
    QFETCH(QByteArray, frame);
    QFETCH(int, replyLength);

    SimSerialDevice dev;
    QVERIFY2(dev.open(), qPrintable(dev.errorString()));
    dev.model()->deviceType = quint8(deviceType);
    dev.model()->innerVersion = quint16(innerVersion);
    Line line(dev.slavePath());
    QVERIFY(line.isOpen());

    line.write(frame);
    const QByteArray reply = line.read(replyLength);
    QCOMPARE(reply.size(), replyLength);
    QVERIFY(markersOk(reply));
    QVERIFY(crcOk(reply));
    QCOMPARE(quint8(reply[2]), quint8(frame[2]));
    QCOMPARE(dev.receivedFunctions(), QList<quint8>{quint8(frame[2])});
    if (quint8(frame[2]) == 4) // the write is echoed
        QCOMPARE(reply.mid(3, reply.size() - 7), frame.mid(3, frame.size() - 7));
}

void TstSimDevice::serialReassemblesAndSkipsBadFrames()
{
    SimSerialDevice dev;
    QVERIFY(dev.open());
    Line line(dev.slavePath());

    QByteArray bad = request(2);
    bad[3] = char(bad[3] ^ 0x01); // spoiled CRC: ignored
    const QByteArray good = request(37);
    line.write(QByteArray("\x00\x13\xAA", 3) + bad + good.left(4));
    QTest::qWait(50);
    line.write(good.mid(4));
    const QByteArray reply = line.read(13);
    QCOMPARE(reply.size(), 13);
    QCOMPARE(quint8(reply[2]), quint8(37));
    QCOMPARE(reply.mid(3, 6), QByteArray::fromHex("001a2b3c4d5e"));
    QCOMPARE(dev.receivedFunctions(), QList<quint8>{37});
    QVERIFY(dev.badFrames() > 0);
}

void TstSimDevice::serialWriteReadsBack()
{
    SimSerialDevice dev;
    QVERIFY(dev.open());
    Line line(dev.slavePath());

    // Clock: 2024-03-05 14:07:09, Tuesday; the write reply echoes the block.
    const QByteArray clock = QByteArray::fromHex("e80703050e070902");
    line.write(request(20, clock));
    QCOMPARE(line.read(15).mid(3, 8), clock);
    line.write(request(19));
    const QByteArray read = line.read(15);
    QCOMPARE(read.mid(3, 5), clock.left(5)); // date, hour and minute
    QCOMPARE(quint8(read[10]), quint8(2));

    // DO: the reply carries the DO byte the device now holds.
    line.write(request(14, QByteArray(1, '\x03')));
    QCOMPARE(quint8(line.read(8).at(3)), quint8(3));
    QCOMPARE(dev.model()->doByte, quint8(3));
    line.write(request(13));
    QCOMPARE(quint8(line.read(27).at(4)), quint8(3));
}

void TstSimDevice::systemParameters()
{
    SimSerialDevice dev;
    QVERIFY(dev.open());
    dev.model()->statusMask = 0x0010;
    Line line(dev.slavePath());

    // Long write layout: serial number, module address, channel enables, MAC,
    // sensor types and DeviceID come back in the next reads.
    QByteArray w(213, '\0');
    sim::putU32(w, 0, 4321);
    sim::putU8(w, 8, 9);
    sim::putU8(w, 28, 0x05);
    sim::putU8(w, 44, 0x06);
    sim::putU8(w, 45, 0x55);
    sim::putU8(w, 46, 0xAA);
    sim::putU16(w, 48, 0xFFFF); // communication interval
    sim::putU8(w, 52, 0x55);
    sim::putU8(w, 53, 0xAA);
    w.replace(54, 6, QByteArray::fromHex("fc1803050a00"));
    w.replace(60, 11, QByteArray(11, '\x0d'));
    w.replace(149, 32, QByteArray(32, '7'));
    line.write(request(4, w));
    QCOMPARE(line.read(220).size(), 220);

    line.write(request(1));
    const QByteArray p = line.read(111).mid(3);
    QCOMPARE(p.size(), 104 + 4);
    QCOMPARE(sim::getU32(p, 0), quint32(4321));
    QCOMPARE(quint8(p[8]), quint8(9));
    QCOMPARE(quint8(p[9]), quint8(13));  // channel 0 sensor
    QCOMPARE(quint8(p[37]), quint8(13)); // channel 7 sensor
    QCOMPARE(quint8(p[52]), quint8(0x05));
    QCOMPARE(quint8(p[82]), quint8(0x06));
    QCOMPARE(sim::getU16(p, 35), quint16(0x3301));
    QCOMPARE(quint8(p[30]), quint8(7));
    QCOMPARE(sim::getU16(p, 86), quint16(0xFFFF)); // interval, serial place
    QCOMPARE(sim::getU16(p, 90), quint16(0x0010)); // status flags, serial place

    line.write(request(37));
    QCOMPARE(line.read(13).mid(3, 6), QByteArray::fromHex("fc1803050a00"));
    line.write(request(21));
    QCOMPARE(line.read(71).mid(3, 32), QByteArray(32, '7'));

    // On Ethernet the communication times and the flags sit further back.
    const QByteArray e = dev.model()->sysParamBlock(true);
    QCOMPARE(sim::getU16(e, 88), quint16(0xFFFF));
    QCOMPARE(sim::getU16(e, 100), quint16(0x0010));
    QCOMPARE(e.left(83), p.left(83));
}

void TstSimDevice::serialFaults_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("length"); // of the first reply, 0 for none
    QTest::addColumn<bool>("crcGood");
    QTest::addColumn<bool>("markersGood");
    QTest::addColumn<int>("fn");

    QTest::newRow("none") << QString() << 111 << true << true << 1;
    QTest::newRow("silent") << "silent on" << 0 << false << false << 0;
    QTest::newRow("drop") << "drop 1" << 0 << false << false << 0;
    QTest::newRow("corrupt-crc") << "corrupt-crc 1" << 111 << false << true << 1;
    QTest::newRow("corrupt-markers") << "corrupt-markers 1" << 111 << true << false << 1;
    QTest::newRow("truncate") << "truncate 1" << 55 << false << false << 1;
    QTest::newRow("wrong-fn") << "wrong-fn 1" << 111 << true << true << 0x81;
}

void TstSimDevice::serialFaults()
{
    QFETCH(QString, command);
    QFETCH(int, length);
    QFETCH(bool, crcGood);
    QFETCH(bool, markersGood);
    QFETCH(int, fn);

    SimSerialDevice dev;
    QVERIFY(dev.open());
    SimConsole console(&dev, nullptr);
    if (!command.isEmpty())
        QVERIFY(console.execute(command).startsWith(QLatin1String("OK")));
    Line line(dev.slavePath());

    line.write(request(1));
    const QByteArray reply = line.read(111, length ? 2000 : 300);
    QCOMPARE(reply.size(), length);
    QCOMPARE(dev.receivedFunctions().size(), 1); // heard in every mode
    if (length) {
        QCOMPARE(crcOk(reply), crcGood);
        QCOMPARE(markersOk(reply), markersGood);
        QCOMPARE(int(quint8(reply[2])), fn);
    }

    // One-shot modes are spent; silent stays until switched off.
    line.write(request(1));
    QCOMPARE(line.read(111, command == QLatin1String("silent on") ? 300 : 2000).size(),
             command == QLatin1String("silent on") ? 0 : 111);
}

void TstSimDevice::udpReplies_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("sub");
    QTest::addColumn<int>("param");
    QTest::addColumn<int>("payload");

    QTest::newRow("system params") << 10003 << 1 << 0 << 104;
    QTest::newRow("zero") << 10003 << 2 << 0 << 44;
    QTest::newRow("dido, long form") << 10003 << 13 << 0 << 20;
    QTest::newRow("slave row 3") << 10003 << 14 << 259 << 12;
    QTest::newRow("DeviceID/PD tag") << 10010 << 2 << 0 << 82;
    QTest::newRow("weekday area") << 107 << 0 << 0 << 512;
    QTest::newRow("zigbee") << 14000 << 1 << 0 << 34;
    QTest::newRow("gateway") << 14000 << 5 << 0 << 8;
    QTest::newRow("redundancy") << 15000 << 0 << 0 << 208;
    QTest::newRow("unknown sub-index refused") << 10003 << 7 << 0 << -1;
}

void TstSimDevice::udpReplies()
{
    QFETCH(int, index);
    QFETCH(int, sub);
    QFETCH(int, param);
    QFETCH(int, payload);

    SimUdpDevice dev;
    dev.setPort(0);
    dev.setAnnouncing(false);
    QVERIFY2(dev.start(), qPrintable(dev.errorString()));
    QUdpSocket client;
    QVERIFY(client.bind(QHostAddress::LocalHost, 0));

    client.writeDatagram(readRequest(0xBEEF, quint16(index), quint16(sub), quint16(param)), QHostAddress::LocalHost,
                         dev.port());
    QTRY_VERIFY_WITH_TIMEOUT(client.hasPendingDatagrams(), 2000);
    const QByteArray r = client.receiveDatagram().data();
    QCOMPARE(sim::getU16(r, 6), quint16(0xBEEF));
    if (payload < 0) {
        QCOMPARE(quint8(r[0]), quint8(0x0C));
        return;
    }
    QCOMPARE(quint8(r[0]), quint8(0x4C));
    QCOMPARE(r.size(), 12 + payload);
    QCOMPARE(int(sim::getU16(r, 4)), r.size());
    if (index == 107)
        QCOMPARE(int(sim::getU16(r, 128)), dev.model()->weekday());
    if (index == 10003 && sub == 1) {
        QCOMPARE(r.mid(12 + 4, 4), QByteArray::fromHex("7f000001")); // the address it serves on
        QCOMPARE(sim::getU16(r, 12 + 53), dev.port());
    }
    if (index == 10003 && sub == 14)
        QCOMPARE(quint8(r[12]), quint8(3));
}

void TstSimDevice::udpWriteAndFaults()
{
    SimUdpDevice dev;
    dev.setPort(0);
    dev.setAnnouncing(false);
    QVERIFY(dev.start());
    QUdpSocket client;
    QVERIFY(client.bind(QHostAddress::LocalHost, 0));
    auto exchange = [&](const QByteArray &d) {
        client.writeDatagram(d, QHostAddress::LocalHost, dev.port());
        QByteArray r;
        QElapsedTimer t;
        t.start();
        while (!client.hasPendingDatagrams() && t.elapsed() < 500)
            QTest::qWait(10);
        if (client.hasPendingDatagrams())
            r = client.receiveDatagram().data();
        return r;
    };

    // A write is acknowledged and read back.
    QByteArray r = exchange(writeRequest(7, 10003, 19, QByteArray::fromHex("0a0b0c0d0e0f")));
    QCOMPARE(quint8(r[0]), quint8(0x4D));
    QCOMPARE(sim::getU16(r, 6), quint16(7));
    r = exchange(readRequest(8, 10003, 16, 0));
    QCOMPARE(r.mid(12), QByteArray::fromHex("0a0b0c0d0e0f"));

    // Weekday write to the memory area (16-byte header).
    r = exchange(writeRequest(9, 107, 59, QByteArray::fromHex("0700")));
    QCOMPARE(quint8(r[0]), quint8(0x4D));
    QCOMPARE(dev.model()->weekday(), 7);

    dev.failNext(1);
    QCOMPARE(quint8(exchange(readRequest(10, 10003, 1, 0)).at(0)), quint8(0x0C));
    dev.wrongSeqNext(1);
    QCOMPARE(sim::getU16(exchange(readRequest(11, 10003, 1, 0)), 6), quint16(12));
    dev.dropReplies(1);
    QVERIFY(exchange(readRequest(12, 10003, 1, 0)).isEmpty());
    QCOMPARE(quint8(exchange(readRequest(13, 10003, 1, 0)).at(0)), quint8(0x4C));
    QCOMPARE(dev.receivedRequests().size(), 7);
}

void TstSimDevice::announcement()
{
    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress::LocalHost, 0));

    SimUdpDevice dev;
    dev.setPort(0);
    dev.setAnnouncePort(listener.localPort());
    dev.setAnnounceInterval(100);
    QVERIFY(dev.start());

    QTRY_VERIFY_WITH_TIMEOUT(listener.hasPendingDatagrams(), 2000);
    const QNetworkDatagram dg = listener.receiveDatagram();
    const QByteArray a = dg.data();
    QCOMPARE(a.size(), 91);
    QCOMPARE(quint8(a[0]), quint8(4));
    QCOMPARE(a.mid(8, 32), QByteArray("0020230615000042" "0095202306151234"));
    QCOMPARE(a.mid(40, 32), dev.model()->pdTag);
    QCOMPARE(a.mid(72, 4), QByteArray::fromHex("7f000001"));
    QCOMPARE(sim::getU16(a, 87), dev.port());

    // Announcing again every interval, until told to stop.
    QTRY_VERIFY_WITH_TIMEOUT(listener.hasPendingDatagrams(), 1000);
    dev.setAnnouncing(false);
    QTest::qWait(50);
    while (listener.hasPendingDatagrams())
        listener.receiveDatagram();
    QTest::qWait(300);
    QVERIFY(!listener.hasPendingDatagrams());
}

void TstSimDevice::console()
{
    SimSerialDevice serial;
    SimUdpDevice udp;
    SimConsole c(&serial, &udp);

    QCOMPARE(c.execute("drop 2"), QStringLiteral("OK drop 2"));
    QCOMPARE(serial.faults().dropNext, 2);
    QCOMPARE(udp.faults().dropNext, 2);
    QVERIFY(c.execute("udp delay 500").startsWith("OK"));
    QCOMPARE(udp.faults().delayMs, 500);
    QCOMPARE(serial.faults().delayMs, 0);
    QVERIFY(c.execute("wrong-seq 3").startsWith("OK"));
    QCOMPARE(udp.faults().wrongSeqNext, 3);
    QVERIFY(c.execute("serial fail 1").startsWith("ERR"));
    QVERIFY(c.execute("drop lots").startsWith("ERR"));
    QVERIFY(c.execute("announce off").startsWith("OK"));
    QVERIFY(!udp.isAnnouncing());
    QVERIFY(c.execute("clear").startsWith("OK"));
    QCOMPARE(serial.faults().dropNext, 0);
    QVERIFY(!c.quitRequested());
    QVERIFY(c.execute("quit").startsWith("OK"));
    QVERIFY(c.quitRequested());
}

void TstSimDevice::executable()
{
    const QString exe = qEnvironmentVariable("RIODESK_DEVSIM");
    if (exe.isEmpty())
        QSKIP("RIODESK_DEVSIM is not set");

    QUdpSocket listener;
    QVERIFY(listener.bind(QHostAddress::LocalHost, 0));
    QProcess p;
    p.start(exe, {"--udp=0", "--announce-interval=100",
                  QStringLiteral("--announce-port=%1").arg(listener.localPort())});
    QVERIFY(p.waitForStarted());
    auto nextLine = [&p] {
        QElapsedTimer t;
        t.start();
        while (!p.canReadLine() && t.elapsed() < 5000)
            p.waitForReadyRead(100);
        return QString::fromUtf8(p.readLine()).trimmed();
    };

    const QString pty = nextLine();
    QVERIFY2(pty.startsWith("PTY /dev/pts/"), qPrintable(pty));
    const QString udpLine = nextLine();
    QVERIFY2(udpLine.startsWith("UDP 127.0.0.1:"), qPrintable(udpLine));
    QTRY_VERIFY_WITH_TIMEOUT(listener.hasPendingDatagrams(), 2000);

    Line line(pty.mid(4));
    line.write(request(1));
    QCOMPARE(line.read(111).size(), 111);
    QCOMPARE(nextLine(), QStringLiteral("RX serial fn=1 len=7"));

    QUdpSocket client;
    QVERIFY(client.bind(QHostAddress::LocalHost, 0));
    client.writeDatagram(readRequest(5, 10010, 2, 0), QHostAddress::LocalHost,
                         quint16(udpLine.section(':', 1).toUInt()));
    QCOMPARE(nextLine(), QStringLiteral("RX udp svc=12 idx=10010 sub=2 param=0 seq=5"));

    p.write("silent on\n");
    QCOMPARE(nextLine(), QStringLiteral("OK silent on"));
    p.closeWriteChannel(); // end of input does not end the device
    QTest::qWait(200);
    QCOMPARE(p.state(), QProcess::Running);

    p.terminate();
    QVERIFY(p.waitForFinished(3000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TstSimDevice)
#include "tst_simdevice.moc"

#endif // QT_TESTLIB_LIB
