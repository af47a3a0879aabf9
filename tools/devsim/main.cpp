// riodesk-devsim: the simulated field device as a program of its own.
//
//   riodesk-devsim [--serial|--no-serial] [--udp[=PORT]] [--address=127.0.0.x]
//                  [--announce-port=N] [--announce-interval=MS] [--no-announce]
//                  [--announced-address=A] [--announced-port=N]
//                  [--device-type=N] [--inner-version=N|0xNNNN]
//
// Prints "PTY <path>" for the serial side and "UDP <addr>:<port>" for the UDP
// side, then one line per request ("RX serial fn=.. len=..", "RX udp svc=..
// idx=.. sub=.. param=.. seq=.."). Reads fault commands from stdin, one per
// line (see console.h); end of input only stops the reading.
// SIGTERM and SIGINT end it cleanly.

#include "devsim/console.h"
#include "devsim/measuring_device.h"
#include "devsim/rx_line.h"
#include "devsim/serial_device.h"
#include "devsim/udp_device.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QSocketNotifier>

#include <memory>
#include <vector>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalFd[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalFd[1], &c, 1);
}

void printLine(const QString &s)
{
    const QByteArray b = s.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const QString &s)
{
    std::fprintf(stderr, "riodesk-devsim: %s\n", s.toLocal8Bit().constData());
    std::exit(1);
}

struct Options
{
    bool serial = true;
    bool udp = false;
    quint16 udpPort = SimUdpDevice::DEFAULT_PORT;
    QHostAddress address{QHostAddress::LocalHost};
    quint16 announcePort = SimUdpDevice::DEFAULT_ANNOUNCE_PORT;
    int announceInterval = SimUdpDevice::DEFAULT_ANNOUNCE_INTERVAL_MS;
    bool announce = true;
    QHostAddress announcedAddress;
    quint16 announcedPort = 0;
    int deviceType = -1;
    int innerVersion = -1;
    QList<QHostAddress> meters; // measuring devices for the AQ calibration
    quint16 meterPort = SimMeasuringDevice::DEFAULT_PORT;
};

unsigned parseNumber(const QString &opt, const QString &v, unsigned max)
{
    bool ok = false;
    const unsigned n = v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? v.mid(2).toUInt(&ok, 16)
                                                                               : v.toUInt(&ok, 10);
    if (!ok || n > max)
        fail(QStringLiteral("bad value for %1: %2").arg(opt, v));
    return n;
}

QHostAddress parseLoopback(const QString &opt, const QString &v)
{
    const QHostAddress a(v);
    if (a.protocol() != QAbstractSocket::IPv4Protocol || !a.isLoopback())
        fail(QStringLiteral("%1 must be a 127.x.y.z address, not %2").arg(opt, v));
    return a;
}

void usage()
{
    std::puts("usage: riodesk-devsim [--serial|--no-serial] [--udp[=PORT]] [--address=127.0.0.x]\n"
              "       [--announce-port=N] [--announce-interval=MS] [--no-announce]\n"
              "       [--announced-address=A] [--announced-port=N]\n"
              "       [--device-type=N] [--inner-version=N|0xNNNN]\n"
              "       [--meter=127.0.0.x]... [--meter-port=N]");
}

Options parseArgs(const QStringList &args)
{
    Options o;
    for (int i = 1; i < args.size(); ++i) {
        QString opt = args.at(i);
        QString value;
        bool hasValue = false;
        const int eq = opt.indexOf(QLatin1Char('='));
        if (eq > 0) {
            value = opt.mid(eq + 1);
            opt = opt.left(eq);
            hasValue = true;
        }
        const auto take = [&]() -> QString {
            if (hasValue)
                return value;
            if (i + 1 >= args.size())
                fail(QStringLiteral("%1 needs a value").arg(opt));
            return args.at(++i);
        };
        if (opt == QLatin1String("--help") || opt == QLatin1String("-h")) {
            usage();
            std::exit(0);
        } else if (opt == QLatin1String("--serial")) {
            o.serial = true;
        } else if (opt == QLatin1String("--no-serial")) {
            o.serial = false;
        } else if (opt == QLatin1String("--udp")) {
            o.udp = true;
            if (hasValue)
                o.udpPort = quint16(parseNumber(opt, value, 65535));
        } else if (opt == QLatin1String("--address")) {
            o.address = parseLoopback(opt, take());
        } else if (opt == QLatin1String("--announce-port")) {
            o.announcePort = quint16(parseNumber(opt, take(), 65535));
        } else if (opt == QLatin1String("--announce-interval")) {
            o.announceInterval = int(parseNumber(opt, take(), 3600000));
        } else if (opt == QLatin1String("--no-announce")) {
            o.announce = false;
        } else if (opt == QLatin1String("--announced-address")) {
            o.announcedAddress = QHostAddress(take());
            if (o.announcedAddress.protocol() != QAbstractSocket::IPv4Protocol)
                fail(QStringLiteral("bad value for --announced-address"));
        } else if (opt == QLatin1String("--announced-port")) {
            o.announcedPort = quint16(parseNumber(opt, take(), 65535));
        } else if (opt == QLatin1String("--device-type")) {
            o.deviceType = int(parseNumber(opt, take(), 255));
        } else if (opt == QLatin1String("--inner-version")) {
            o.innerVersion = int(parseNumber(opt, take(), 65535));
        } else if (opt == QLatin1String("--meter")) {
            o.meters << parseLoopback(opt, take());
        } else if (opt == QLatin1String("--meter-port")) {
            o.meterPort = quint16(parseNumber(opt, take(), 65535));
        } else {
            fail(QStringLiteral("unknown option %1 (try --help)").arg(args.at(i)));
        }
    }
    if (!o.serial && !o.udp && o.meters.isEmpty())
        fail(QStringLiteral("nothing to simulate: give --serial or --udp"));
    return o;
}

} // namespace

int main(int argc, char **argv)
{
    // Scripts may start us with stdin (or stdout) closed; hold those numbers
    // with /dev/null so that no socket or terminal we open later takes them.
    const bool stdinOpen = ::fcntl(0, F_GETFD) != -1;
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1) {
            const int nul = ::open("/dev/null", O_RDWR);
            if (nul >= 0 && nul != fd) {
                ::dup2(nul, fd);
                ::close(nul);
            }
        }
    }

    QCoreApplication app(argc, argv);
    const Options opt = parseArgs(app.arguments());

    SimDeviceModel model;
    if (opt.deviceType >= 0)
        model.deviceType = quint8(opt.deviceType);
    if (opt.innerVersion >= 0)
        model.innerVersion = quint16(opt.innerVersion);
    model.composeDeviceId(); // the device number begins with the model code

    // Clean exit on SIGTERM/SIGINT through a self-pipe.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalFd) != 0)
        fail(QStringLiteral("socketpair failed"));
    QSocketNotifier signalNotifier(g_signalFd[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&] {
        char c;
        [[maybe_unused]] ssize_t n = ::read(g_signalFd[0], &c, 1);
        app.quit();
    });
    struct sigaction sa{};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGTTIN, SIG_IGN); // reading a terminal from the background gives EIO, not a stop
    std::signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<SimSerialDevice> serial;
    std::unique_ptr<SimUdpDevice> udp;

    if (opt.serial) {
        serial = std::make_unique<SimSerialDevice>(&model);
        if (!serial->open())
            fail(serial->errorString());
        QObject::connect(serial.get(), &SimSerialDevice::requestReceived, [](quint8 fn, const QByteArray &f) {
            printLine(QStringLiteral("RX serial fn=%1 len=%2").arg(fn).arg(f.size()) + rxData(serialPayload(f)));
        });
        printLine(QStringLiteral("PTY ") + serial->slavePath());
    }
    if (opt.udp) {
        udp = std::make_unique<SimUdpDevice>(&model);
        udp->setAddress(opt.address);
        udp->setPort(opt.udpPort);
        udp->setAnnouncePort(opt.announcePort);
        udp->setAnnounceInterval(opt.announceInterval);
        if (!opt.announcedAddress.isNull())
            udp->setAnnouncedAddress(opt.announcedAddress);
        if (opt.announcedPort)
            udp->setAnnouncedPort(opt.announcedPort);
        udp->setAnnouncing(opt.announce);
        QObject::connect(udp.get(), &SimUdpDevice::requestReceived,
                         [](quint8 svc, quint16 idx, quint16 sub, quint16 param, quint16 seq, const QByteArray &d) {
                             printLine(QStringLiteral("RX udp svc=%1 idx=%2 sub=%3 param=%4 seq=%5")
                                           .arg(svc)
                                           .arg(idx)
                                           .arg(sub)
                                           .arg(param)
                                           .arg(seq)
                                       + rxData(udpWritePayload(d)));
                         });
        if (!udp->start())
            fail(udp->errorString());
        printLine(QStringLiteral("UDP %1:%2").arg(udp->address().toString()).arg(udp->port()));
    }

    std::vector<std::unique_ptr<SimMeasuringDevice>> meters;
    for (const auto &a : opt.meters) {
        meters.push_back(std::make_unique<SimMeasuringDevice>());
        if (!meters.back()->start(a, opt.meterPort))
            fail(QStringLiteral("cannot bind the measuring device to %1:%2").arg(a.toString()).arg(opt.meterPort));
        printLine(QStringLiteral("METER %1:%2").arg(a.toString()).arg(meters.back()->port()));
    }

    // Fault commands from stdin.
    SimConsole console(serial.get(), udp.get());
    QByteArray pending;
    std::unique_ptr<QSocketNotifier> stdinNotifier;
    if (stdinOpen) {
        stdinNotifier = std::make_unique<QSocketNotifier>(0, QSocketNotifier::Read);
        QObject::connect(stdinNotifier.get(), &QSocketNotifier::activated, &app, [&] {
            char buf[1024];
            const ssize_t n = ::read(0, buf, sizeof buf);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                return;
            if (n <= 0) {
                stdinNotifier->setEnabled(false); // end of input: keep simulating
                return;
            }
            pending.append(buf, int(n));
            int nl;
            while ((nl = pending.indexOf('\n')) >= 0) {
                const QString line = QString::fromUtf8(pending.left(nl)).trimmed();
                pending.remove(0, nl + 1);
                const QString answer = console.execute(line);
                if (!answer.isEmpty())
                    printLine(answer);
                if (console.quitRequested()) {
                    app.quit();
                    return;
                }
            }
        });
    }

    const int rc = app.exec();
    stdinNotifier.reset();
    meters.clear();
    udp.reset();
    serial.reset();
    return rc;
}
