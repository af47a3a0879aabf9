// The firmware upload figure: a 256 KiB image goes to the simulated device on
// a pseudo-terminal through the real window, block by block. The dispatcher's
// 10 ms block tick bounds the upload at 512 bytes per 10 ms, 51,200 bytes/s;
// the figure is the share of that bound reached from the first block on the
// wire to the last block's reply.
#include "base/msgbox.h"
#include "bench/figures.h"
#include "devsim/serial_device.h"
#include "pages/form1.h"
#include "upgrade/firmware_upgrade.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int IMAGE_BYTES = 256 * 1024;
constexpr double BOUND_BYTES_PER_S = 51200.0;
constexpr double AIM_SHARE = 0.95;

bool waitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

Figure failed(const QString& why)
{
    return {QStringLiteral("firmware upload, 256 KiB over a pty"), why, QStringLiteral(">= 95 % of 51,200 B/s"), false};
}

} // namespace

std::optional<Figure> firmwareUploadFigure()
{
    setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
    SimSerialDevice sim;
    if (!sim.open())
        return failed(QStringLiteral("no pseudo-terminal: ") + sim.errorString());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.bin"));
    {
        QFile f(path);
        QByteArray image(IMAGE_BYTES, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 31 % 253);
        if (!f.open(QIODevice::WriteOnly) || f.write(image) != image.size())
            return failed(QStringLiteral("cannot write the image"));
    }

    qputenv("RIODESK_PORTS", sim.slavePath().toLocal8Bit());
    Form1Options o;
    o.platformPorts = false;
    Form1 window(o);
    window.StartRun_Click();
    if (!waitUntil([&] { return sim.receivedFunctions().size() >= 16; }, 20000))
        return failed(QStringLiteral("the window did not start"));

    QElapsedTimer clock;
    clock.start();
    qint64 first = -1, last = -1;
    int blocks = 0;
    QObject::connect(&sim, &SimSerialDevice::requestReceived, &sim, [&](quint8 fn, const QByteArray&) {
        if (fn == 47 && first < 0)
            first = clock.nsecsElapsed();
    });
    QObject::connect(&sim, &SimSerialDevice::replySent, &sim, [&](quint8 fn, const QByteArray&) {
        if (fn == 47) {
            ++blocks;
            last = clock.nsecsElapsed();
        }
    });
    window.upgrade().chooseFile = [path] { return path; };
    window.upgrade().bt_FindUpdataFile_Click();
    window.upgrade().bt_Updata_Click();
    const int total = IMAGE_BYTES / 512;
    if (!waitUntil([&] { return blocks >= total; }, 60000))
        return failed(QStringLiteral("%1 of %2 blocks sent").arg(blocks).arg(total));

    const double seconds = double(last - first) / 1e9;
    const double rate = IMAGE_BYTES / seconds;
    const double share = rate / BOUND_BYTES_PER_S;
    return Figure{QStringLiteral("firmware upload, 256 KiB over a pty"),
                  QStringLiteral("%1 s, %2 B/s, %3 % of 51,200 B/s")
                      .arg(seconds, 0, 'f', 3)
                      .arg(qRound(rate))
                      .arg(share * 100, 0, 'f', 1),
                  QStringLiteral(">= 95 % of 51,200 B/s"), share >= AIM_SHARE};
}
