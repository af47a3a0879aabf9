// riodesk-bench: the figures of scripts/bench, each against its aim, as one
// table. The program under measure runs as its own process (build/riodesk, or
// this program in its discovery-window role) against simulated devices that
// live in this process, on a pseudo-terminal and on 127.0.0.0/8 only.
//
//   riodesk-bench --riodesk=PATH [--bare=PATH] [--devices=1000] [--seconds=20]
//   riodesk-bench --discovery-window=PORT   (the window on the Ethernet link,
//                                            printing each watchdog tick's time)
#include "base/msgbox.h"
#include "bench/figures.h"
#include "devsim/serial_device.h"
#include "devsim/udp_device.h"
#include "pages/form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

// Waits in the event loop until `done` holds or `ms` have passed.
bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

void pause(int ms)
{
    waitFor([] { return false; }, ms);
}

// CPU seconds a process has used so far: the scheduler's nanosecond count of
// each of its threads (clock ticks would be too coarse for an idle window).
double cpuSeconds(qint64 pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    double ns = 0;
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (f.open(QIODevice::ReadOnly))
            ns += f.readAll().split(' ').value(0).toDouble();
    }
    return ns / 1e9;
}

// Resident memory in MB.
double rssMb(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// CPU of a process as a share of one core over `ms`.
double cpuShare(qint64 pid, int ms)
{
    const double c0 = cpuSeconds(pid);
    QElapsedTimer t;
    t.start();
    pause(ms);
    return (cpuSeconds(pid) - c0) / (double(t.elapsed()) / 1000.0) * 100.0;
}

quint16 freePort()
{
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}

QString num(double v, int decimals) { return QString::number(v, 'f', decimals); }

QProcessEnvironment windowEnvironment()
{
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

// One start of `program` to its first event-loop turn (RIODESK_BENCH_READY):
// the wall time from the start of the process to its READY line and the CPU
// time it reports, in ms; false when no line came.
bool startOnce(const QString& program, double& wallMs, double& cpuMs)
{
    QProcess p;
    auto env = windowEnvironment();
    env.insert(QStringLiteral("RIODESK_BENCH_READY"), QStringLiteral("1"));
    env.remove(QStringLiteral("RIODESK_PORTS"));
    p.setProcessEnvironment(env);
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, {});
    bool ready = false;
    while (!ready && p.waitForReadyRead(10000)) {
        while (p.canReadLine()) {
            const QList<QByteArray> v = p.readLine().trimmed().split(' ');
            if (v.size() == 2 && v[0] == "READY") {
                wallMs = double(t.nsecsElapsed()) / 1e6;
                cpuMs = v[1].toDouble() / 1000.0;
                ready = true;
            }
        }
    }
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(1000);
    }
    return ready;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Start-up to the running event loop, riodesk against the bare window, in
// alternating runs (one unmeasured start of each first, to warm the caches).
void startUp(const QString& riodesk, const QString& bare, std::vector<Figure>& out)
{
    constexpr int RUNS = 10;
    const QString name = QStringLiteral("start-up to the event loop, riodesk / bare Qt window");
    const QString aim = QStringLiteral("<= 2x");
    std::vector<double> rWall, rCpu, bWall, bCpu, pairs;
    double w = 0, c = 0;
    startOnce(bare, w, c);
    startOnce(riodesk, w, c);
    for (int run = 0; run < RUNS; ++run) {
        double bw = 0, bc = 0, rw = 0, rc = 0;
        if (!startOnce(bare, bw, bc) || !startOnce(riodesk, rw, rc))
            continue;
        bWall.push_back(bw);
        bCpu.push_back(bc);
        rWall.push_back(rw);
        rCpu.push_back(rc);
        pairs.push_back(rw / bw);
    }
    if (pairs.empty()) {
        out.push_back({name, QStringLiteral("no READY line from %1 or %2").arg(riodesk, bare), aim, false});
        return;
    }
    std::sort(pairs.begin(), pairs.end());
    const double ratio = median(rWall) / median(bWall);
    out.push_back({name,
                   QStringLiteral("%1x (pairs %2-%3x); riodesk %4 ms wall, %5 ms CPU; bare %6 ms wall, %7 ms CPU "
                                  "(medians of %8)")
                       .arg(num(ratio, 2), num(pairs.front(), 1), num(pairs.back(), 1), num(median(rWall), 1),
                            num(median(rCpu), 1), num(median(bWall), 1), num(median(bCpu), 1))
                       .arg(pairs.size()),
                   aim, ratio <= 2.0});
}

// Load to the first request: the command-line start of the window against the
// device on a pseudo-terminal, from the process start to the first request
// frame the device receives. The last run's window stays for the idle figures.
void startAndIdle(const QString& riodesk, int seconds, std::vector<Figure>& out)
{
    constexpr int RUNS = 5;
    std::vector<double> loads;
    double cpu = -1, rss = -1;
    for (int run = 0; run < RUNS; ++run) {
        SimSerialDevice sim;
        if (!sim.open()) {
            out.push_back({QStringLiteral("load to first request"), QStringLiteral("no pseudo-terminal: ") + sim.errorString(),
                           QStringLiteral("<= 0.85 s"), false});
            return;
        }
        bool first = false;
        QElapsedTimer t;
        double load = -1;
        QObject::connect(&sim, &SimSerialDevice::requestReceived, [&] {
            if (!first) {
                first = true;
                load = double(t.nsecsElapsed()) / 1e9;
            }
        });
        QProcess p;
        auto env = windowEnvironment();
        env.insert(QStringLiteral("RIODESK_PORTS"), sim.slavePath());
        p.setProcessEnvironment(env);
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        t.start();
        p.start(riodesk, {QStringLiteral("设备演示")});
        waitFor([&] { return first; }, 10000);
        if (load >= 0)
            loads.push_back(load);
        if (run == RUNS - 1 && first) {
            // The start-up reads are done within a few seconds; then only the idle poll runs.
            pause(8000);
            cpu = cpuShare(p.processId(), seconds * 1000);
            rss = rssMb(p.processId());
        }
        p.terminate();
        p.waitForFinished(5000);
    }
    std::sort(loads.begin(), loads.end());
    if (loads.empty()) {
        out.push_back({QStringLiteral("load to first request"), QStringLiteral("no request came"), QStringLiteral("<= 0.85 s"), false});
        return;
    }
    const double median = loads[loads.size() / 2];
    out.push_back({QStringLiteral("load to first request (command line, serial)"),
                   QStringLiteral("%1 s (median of %2, %3-%4)")
                       .arg(num(median, 3)).arg(loads.size()).arg(num(loads.front(), 3), num(loads.back(), 3)),
                   QStringLiteral("<= 0.85 s"), median <= 0.85});
    if (cpu >= 0) {
        out.push_back({QStringLiteral("idle polling (300 ms tick): CPU"),
                       QStringLiteral("%1 % of one core over %2 s").arg(num(cpu, 2)).arg(seconds),
                       QStringLiteral("<= 0.25 %"), cpu <= 0.25});
        out.push_back({QStringLiteral("idle polling: resident memory"), QStringLiteral("%1 MB").arg(num(rss, 1)),
                       QStringLiteral("<= 45 MB"), rss <= 45});
    }
}

// Discovery: `count` simulated devices on their own loopback addresses
// announcing every second to the window's discovery port.
void discovery(int count, int seconds, std::vector<Figure>& out)
{
    const quint16 port = freePort();
    QProcess p;
    p.setProcessEnvironment(windowEnvironment());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--discovery-window=%1").arg(port)});
    QByteArray lines;
    std::vector<double> ticks; // ms, with the whole list in place
    int listed = count;        // the shortest device list a measured tick saw
    bool measuring = false;
    QObject::connect(&p, &QProcess::readyReadStandardOutput, [&] {
        lines += p.readAllStandardOutput();
        int nl;
        while ((nl = lines.indexOf('\n')) >= 0) {
            const QByteArray line = lines.left(nl);
            lines.remove(0, nl + 1);
            const QList<QByteArray> v = line.split(' ');
            if (v.size() == 3 && v[0] == "TICK" && measuring) {
                ticks.push_back(v[1].toDouble() / 1000.0);
                listed = std::min(listed, v[2].toInt());
            }
        }
    });
    if (!waitFor([&] { return p.state() == QProcess::Running; }, 5000)) {
        out.push_back({QStringLiteral("discovery: CPU"), QStringLiteral("window did not start"), QStringLiteral("<= 5 %"), false});
        return;
    }
    pause(1500);

    std::vector<std::unique_ptr<SimUdpDevice>> devices;
    int started = 0;
    for (int i = 0; i < count; ++i) {
        auto d = std::make_unique<SimUdpDevice>();
        // 127.0.1.1 onwards, 250 to a /24.
        d->setAddress(QHostAddress(QStringLiteral("127.0.%1.%2").arg(1 + i / 250).arg(1 + i % 250)));
        d->setPort(0);
        d->setAnnounceTarget(QHostAddress::LocalHost);
        d->setAnnouncePort(port);
        d->setAnnounceInterval(1000);
        devices.push_back(std::move(d));
    }
    // Started over one second, so the announcements spread as real devices' do.
    for (int i = 0; i < count; ++i)
        QTimer::singleShot(i * 1000 / count, [&, i] {
            if (devices[std::size_t(i)]->start())
                ++started;
        });
    pause(12000); // every device listed, and the watchdog has ticked once
    measuring = true;
    const double cpu = cpuShare(p.processId(), seconds * 1000);
    measuring = false;
    for (auto& d : devices)
        d->stop();
    p.terminate();
    p.waitForFinished(5000);

    out.push_back({QStringLiteral("discovery, %1 devices announcing every 1 s: CPU").arg(started),
                   QStringLiteral("%1 % of one core over %2 s").arg(num(cpu, 2)).arg(seconds), QStringLiteral("<= 5 %"),
                   started == count && cpu <= 5});
    const double worst = ticks.empty() ? -1 : *std::max_element(ticks.begin(), ticks.end());
    out.push_back({QStringLiteral("discovery: watchdog tick"),
                   ticks.empty() ? QStringLiteral("no tick")
                                 : QStringLiteral("%1 ms (worst of %2 ticks over %3 listed devices)")
                                       .arg(num(worst, 3)).arg(ticks.size()).arg(listed),
                   QStringLiteral("<= 5 ms"), !ticks.empty() && worst <= 5 && listed == count});
}

// The window on the Ethernet link, listening on `port`; each watchdog tick is
// timed and printed as "TICK <microseconds>".
int discoveryWindow(quint16 port)
{
    setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
    Form1Options o;
    o.discoveryPort = port;
    o.platformPorts = false;
    Form1 f(o);
    f.show();
    f.ui.optComm[1]->setChecked(true);
    f.StartRun_Click();
    QTimer& watchdog = f.engine().timCheckDevice;
    QObject::disconnect(&watchdog, &QTimer::timeout, nullptr, nullptr);
    QObject::connect(&watchdog, &QTimer::timeout, &f, [&f] {
        QElapsedTimer t;
        t.start();
        f.timCheckDevice_Timer();
        std::printf("TICK %lld %d\n", t.nsecsElapsed() / 1000, f.devices.size());
        std::fflush(stdout);
    });
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    // A thousand devices need a thousand sockets.
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) == 0) {
        lim.rlim_cur = lim.rlim_max;
        setrlimit(RLIMIT_NOFILE, &lim);
    }
    // Every window of the measure runs offscreen, with or without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString riodesk;
    QString bare = QCoreApplication::applicationDirPath() + QStringLiteral("/riodesk-bare");
    int devices = 1000, seconds = 20;
    for (const QString& a : QApplication::arguments().mid(1)) {
        if (a.startsWith(QLatin1String("--discovery-window=")))
            return discoveryWindow(quint16(a.section(QLatin1Char('='), 1).toUInt()));
        if (a.startsWith(QLatin1String("--riodesk=")))
            riodesk = a.section(QLatin1Char('='), 1);
        else if (a.startsWith(QLatin1String("--bare=")))
            bare = a.section(QLatin1Char('='), 1);
        else if (a.startsWith(QLatin1String("--devices=")))
            devices = a.section(QLatin1Char('='), 1).toInt();
        else if (a.startsWith(QLatin1String("--seconds=")))
            seconds = a.section(QLatin1Char('='), 1).toInt();
    }
    if (riodesk.isEmpty()) {
        std::fprintf(stderr, "usage: riodesk-bench --riodesk=PATH [--bare=PATH] [--devices=N] [--seconds=S]\n");
        return 2;
    }

    std::vector<Figure> figures;
    startUp(riodesk, bare, figures);
    startAndIdle(riodesk, seconds, figures);
    figures.push_back(recordsLoadFigure());
    discovery(devices, seconds, figures);
    if (auto fw = firmwareUploadFigure())
        figures.push_back(*fw);
    else
        figures.push_back({QStringLiteral("firmware upload ratio"), QStringLiteral("not measured yet"), QStringLiteral("-"), false});

    std::printf("riodesk benchmarks: %d cores (%s)\n\n", QThread::idealThreadCount(), qPrintable(QSysInfo::prettyProductName()));
    std::printf("| figure | measured | aim | met |\n|---|---|---|---|\n");
    for (const auto& f : figures)
        std::printf("| %s | %s | %s | %s |\n", qPrintable(f.name), qPrintable(f.measured), qPrintable(f.aim),
                    f.aim == QLatin1String("-") ? "-" : (f.met ? "yes" : "no"));
    return 0;
}
