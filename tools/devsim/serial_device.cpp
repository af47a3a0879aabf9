#include "devsim/serial_device.h"

#include "devsim/bytes.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using namespace sim;

namespace {

constexpr int SAME_AS_REQUEST = -1;
constexpr int DIDO_RULE = -2;
constexpr int VARIABLE = 0;
constexpr int MAX_VARIABLE_FRAME = 1024;
constexpr int STALE_MS = 500;     // a partial frame older than this is thrown away
constexpr int MAX_PENDING = 65536; // unread replies kept for a port nobody reads

struct SerialCommand
{
    quint8 fn;
    int request;  // VARIABLE: ended by AA AA and a valid CRC
    int request2; // second accepted length, 0 when there is none
    int reply;    // SAME_AS_REQUEST, DIDO_RULE or a length
};

// Every command the device knows, with whole-frame lengths.
constexpr SerialCommand COMMANDS[] = {
    {1, 7, 0, 111},   {2, 7, 0, 51},    {3, 7, 0, 51},
    {4, 91, 220, SAME_AS_REQUEST},      {5, 18, 0, 18},   {6, 51, 0, 51},
    {7, 51, 0, 51},   {8, 7, 0, 51},    {9, 7, 0, 29},    {10, 23, 0, 23},
    {11, 8, 0, 14},   {12, 7, 0, 51},   {13, 7, 0, DIDO_RULE},
    {14, 8, 0, 8},    {16, 23, 0, 23},  {17, 29, 0, 29},  {18, 7, 0, 29},
    {19, 7, 0, 15},   {20, 15, 0, 15},  {21, 7, 0, 71},   {22, 71, 0, 71},
    {23, 7, 0, 25},   {24, 25, 0, 25},  {32, 9, 0, 19},   {33, 19, 0, 19},
    {34, 40, 0, 40},  {35, 7, 0, 71},   {36, 13, 0, 13},  {37, 7, 0, 13},
    {38, 15, 0, 15},  {39, 7, 0, 15},   {40, 7, 0, 8},    {41, 8, 0, 8},
    {42, 7, 0, 8},    {43, 7, 0, 7},    {44, 8, 0, 8},    {45, 7, 0, 7},
    {46, 9, 0, 9},    {47, 519, 0, 7},  {49, 8, 0, 8},    {50, 7, 0, 40},
    {51, 39, 0, 39},  {52, 7, 0, 7},    {55, 7, 0, 7},    {56, 7, 10, 7},
    {57, 7, 0, 41},   {60, 9, 0, 9},    {61, 23, 0, 7},   {62, 7, 0, 23},
    {63, 7, 0, 7},    {64, 41, 0, 41},  {65, 7, 0, 9},    {66, 7, 0, 71},
    {67, 71, 0, 7},   {68, 7, 0, 495},  {69, VARIABLE, 0, 7},
    {70, 7, 0, 215},  {71, 215, 0, 7},  {73, 7, 0, 519},  {74, 519, 0, 7},
    {75, 7, 0, 249},  {76, 249, 0, 7},  {77, 7, 0, 15},   {78, 15, 0, 7},
    {79, 7, 0, 8},    {80, 8, 0, 8},
};

const SerialCommand *findCommand(quint8 fn)
{
    for (const auto &c : COMMANDS)
        if (c.fn == fn)
            return &c;
    return nullptr;
}

QByteArray fitted(const QByteArray &b, int size)
{
    QByteArray out = b.left(size);
    if (out.size() < size)
        out.append(QByteArray(size - out.size(), '\0'));
    return out;
}

QByteArray oneByte(quint32 v)
{
    return QByteArray(1, char(v & 0xFF));
}

// A complete frame of length len at the start of buf: end marker and CRC.
bool frameValid(const QByteArray &buf, int len)
{
    if (len < 7 || buf.size() < len)
        return false;
    if (quint8(buf[len - 2]) != 0xAA || quint8(buf[len - 1]) != 0xAA)
        return false;
    // CRC over function code, payload and the CRC itself leaves 0.
    return crc16(buf.constData() + 2, len - 4) == 0;
}

} // namespace

SimSerialDevice::SimSerialDevice(SimDeviceModel *model, QObject *parent)
    : QObject(parent)
{
    if (!model) {
        m_ownModel = std::make_unique<SimDeviceModel>();
        model = m_ownModel.get();
    }
    m_model = model;
}

SimSerialDevice::~SimSerialDevice()
{
    close();
}

bool SimSerialDevice::open()
{
    if (isOpen())
        return true;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        m_error = QStringLiteral("posix_openpt: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    char name[128] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        m_error = QStringLiteral("pty setup: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(master);
        return false;
    }
    // Hold the slave open ourselves: the line then does not hang up while the
    // program closes and reopens its port.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        m_error = QStringLiteral("open %1: %2").arg(QString::fromLocal8Bit(name), QString::fromLocal8Bit(std::strerror(errno)));
        ::close(master);
        return false;
    }
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);

    m_master = master;
    m_slave = slave;
    m_slavePath = QString::fromLocal8Bit(name);
    m_rx.clear();
    m_tx.clear();
    m_readNotifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SimSerialDevice::onReadable);
    m_writeNotifier = new QSocketNotifier(master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &SimSerialDevice::onWritable);
    return true;
}

void SimSerialDevice::close()
{
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
}

void SimSerialDevice::clearLog()
{
    m_log.clear();
    m_badFrames = 0;
    m_repliesSent = 0;
}

QList<int> SimSerialDevice::requestLengths(quint8 fn)
{
    const SerialCommand *c = findCommand(fn);
    if (!c)
        return {};
    if (c->request == VARIABLE)
        return {0};
    if (c->request2)
        return {c->request, c->request2};
    return {c->request};
}

int SimSerialDevice::replyLength(quint8 fn, int requestLength) const
{
    const SerialCommand *c = findCommand(fn);
    if (!c)
        return 0;
    if (c->reply == SAME_AS_REQUEST)
        return requestLength;
    if (c->reply == DIDO_RULE)
        return m_model->didoReplyLength();
    return c->reply;
}

QByteArray SimSerialDevice::frame(quint8 fn, const QByteArray &payload)
{
    QByteArray f;
    f.reserve(payload.size() + 7);
    f.append(char(0x55)).append(char(0x55)).append(char(fn)).append(payload);
    const quint16 crc = crc16(f.constData() + 2, f.size() - 2);
    f.append(char(crc & 0xFF)).append(char(crc >> 8));
    f.append(char(0xAA)).append(char(0xAA));
    return f;
}

void SimSerialDevice::onReadable()
{
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            if (!m_rx.isEmpty() && m_lastRx.isValid() && m_lastRx.elapsed() > STALE_MS) {
                m_rx.clear();
                ++m_badFrames;
            }
            m_rx.append(buf, int(n));
            m_lastRx.start();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN, or EIO while no one holds the line
    }
    parse();
}

void SimSerialDevice::parse()
{
    for (;;) {
        const int start = m_rx.indexOf(QByteArrayLiteral("\x55\x55"));
        if (start < 0) {
            // Keep a lone trailing 0x55: it may begin the next frame.
            const bool keep = !m_rx.isEmpty() && quint8(m_rx.back()) == 0x55;
            if (m_rx.size() > (keep ? 1 : 0))
                ++m_badFrames;
            m_rx = keep ? QByteArray(1, char(0x55)) : QByteArray();
            return;
        }
        if (start > 0) {
            m_rx.remove(0, start);
            ++m_badFrames;
        }
        if (m_rx.size() < 3)
            return;

        const quint8 fn = quint8(m_rx[2]);
        const QList<int> lengths = requestLengths(fn);
        int found = 0;
        bool waiting = false;
        if (lengths.isEmpty()) {
            // Unknown function code: not a frame start for this device.
        } else if (lengths.front() == 0) {
            const int limit = std::min<int>(m_rx.size(), MAX_VARIABLE_FRAME);
            for (int len = 7; len <= limit && !found; ++len)
                if (frameValid(m_rx, len))
                    found = len;
            waiting = !found && m_rx.size() < MAX_VARIABLE_FRAME;
        } else {
            for (int len : lengths) {
                if (m_rx.size() < len) {
                    waiting = true;
                    break;
                }
                if (frameValid(m_rx, len)) {
                    found = len;
                    break;
                }
            }
        }

        if (found) {
            const QByteArray request = m_rx.left(found);
            m_rx.remove(0, found);
            handle(request);
            continue;
        }
        if (waiting)
            return;
        // Bad CRC, bad marker or unknown code: skip this 55 55 and look again.
        m_rx.remove(0, 2);
        ++m_badFrames;
    }
}

void SimSerialDevice::handle(const QByteArray &request)
{
    const quint8 fn = quint8(request[2]);
    m_log.append(fn);
    Q_EMIT requestReceived(fn, request);
    if (m_faults.silent)
        return;
    if (fn == 32 && request.size() > 3 && quint8(request[3]) == m_faults.lostSlaveRow)
        return;
    if (fn == m_faults.otherCodeOn) {
        m_faults.otherCodeOn = -1;
        send(frame(m_faults.otherCode, m_faults.otherPayload));
        return;
    }

    const int flashStep = fn == 45 ? SimFaults::FLASH_START
                          : fn == 46 ? SimFaults::FLASH_SIZE
                          : fn == 47 ? m_model->flashBlocksReceived
                                     : SimFaults::NO_FLASH_STEP;
    const bool refused = (flashStep != SimFaults::NO_FLASH_STEP && m_faults.takeFlashStep(flashStep))
                         || (fn == 33 && request.size() > 3 && quint8(request[3]) == m_faults.refuseSlaveRow);
    const int len = replyLength(fn, request.size());
    QByteArray payload = refused ? QByteArray() : replyPayload(fn, request);
    if (len < 7)
        return;
    payload = fitted(payload, len - 7);

    if (SimFaults::take(m_faults.dropNext))
        return;
    quint8 replyFn = fn;
    if (SimFaults::take(m_faults.wrongFnNext) || refused)
        replyFn = fn ^ 0x80; // a code the program never asks for
    QByteArray out = frame(replyFn, payload);
    if (SimFaults::take(m_faults.corruptCrcNext))
        out[len - 4] = char(quint8(out[len - 4]) ^ 0x5A);
    if (SimFaults::take(m_faults.corruptMarkersNext)) {
        out[len - 2] = char(0xA5);
        out[len - 1] = char(0xA5);
    }
    if (SimFaults::take(m_faults.truncateNext))
        out.truncate(out.size() / 2);

    if (m_faults.delayMs > 0)
        QTimer::singleShot(m_faults.delayMs, this, [this, out] { send(out); });
    else
        send(out);
}

QByteArray SimSerialDevice::replyPayload(quint8 fn, const QByteArray &request)
{
    SimDeviceModel &m = *m_model;
    const QByteArray req = request.mid(3, request.size() - 7);
    switch (fn) {
    case 1: return m.sysParamBlock(false);
    case 2: return m.zeroBlock();
    case 3: return m.fullBlock();
    case 4: m.applySysParam(req); return req;
    case 5: m.applySensorTypes(req); return m.sensorTypeBlock();
    case 6: m.applyZero(req); return req;
    case 7: m.applyFull(req); return req;
    case 8: return m.adBlock();
    case 9: return m.tempBlock();
    case 10: m.applyAqAdjust(req); return req;
    case 11: m.selfCalKind = u8(req, 0); return oneByte(m.selfCalKind);
    case 12: return m.voltBlock();
    case 13: return m.didoBlock();
    case 14: m.applyDo(u8(req, 0)); return oneByte(m.doByte);
    case 16: m.applyAo(req); return req;
    case 17: m.applyPrjCal(req); return req;
    case 18: return m.prjCalBlock();
    case 19: return m.clockBlock(true);
    case 20: m.applyClock(req, true); return req;
    case 21: return m.devIdBlock(false);
    case 22: m.applyDevId(req); return m.devIdBlock(false);
    case 23: return m.ledBlock();
    case 24: m.applyLeds(req); return m.ledBlock();
    case 32: return m.slaveRecord(u8(req, 0));
    case 33: m.applySlaveRecord(req); return req;
    case 34: m.applyAqZeroFull(req); return req;
    case 35: return m.aqZeroFullBlock();
    case 36: m.applyMac(req); return m.macBlock();
    case 37: return m.macBlock();
    case 38: m.applyAqTypes(req); return m.aqTypeBlock();
    case 39: return m.aqTypeBlock();
    case 40: return oneByte(m.ramTestResult);
    case 41: m.aqToDq = u8(req, 0); return oneByte(m.aqToDq);
    case 42: return oneByte(m.aqToDq);
    case 43: m.stopAndClear(); return {};
    case 44: m.lampBoardCheck = u8(req, 0); return oneByte(m.lampBoardCheck);
    case 45: m.flashStart(); return {};
    case 46: m.flashSize(getU16(req, 0)); return req;
    case 47: m.flashBlock(req); return {};
    case 49: m.runState = u8(req, 0); return oneByte(m.runState);
    case 50: return m.aiAlarmBlock();
    case 51: m.applyAiAlarm(req); return req;
    case 52: m.restoreDefaults(); return {};
    case 55: m.saveParams(); return {};
    case 56: m.restoreParams(req); return {};
    case 57: return m.zigbee;
    case 60: m.coldCal = getI16(req, 0); return req;
    case 61: m.applyInnerCal(req); return {};
    case 62: return m.innerCalBlock();
    case 63: ++m.convertCount; return {};
    case 64: m.zigbee = fitted(req, 34); return m.zigbee;
    case 65: return QByteArray(1, char(m.zigbeeTestResult)) + QByteArray(1, '\0');
    case 66: return m.resendSlave;
    case 67: m.resendSlave = fitted(req, 64); return {};
    case 68: return m.resend;
    case 69: m.applyResend(req); return {};
    case 70: return m.rongyu;
    case 71: m.rongyu = fitted(req, 208); return {};
    case 73: return m.sm;
    case 74: m.sm = fitted(req, 512); return {};
    case 75: return m.ctrl;
    case 76: m.ctrl = fitted(req, 242); return {};
    case 77: return m.netGateBlock();
    case 78: m.applyNetGate(req); return {};
    case 79: return oneByte(m.profibus);
    case 80: m.profibus = u8(req, 0); return oneByte(m.profibus);
    default: return {};
    }
}

void SimSerialDevice::send(const QByteArray &bytes)
{
    if (m_master < 0)
        return;
    ++m_repliesSent;
    Q_EMIT replySent(bytes.size() > 2 ? quint8(bytes[2]) : 0, bytes);
    m_tx.append(bytes);
    if (m_tx.size() > MAX_PENDING)
        m_tx.remove(0, m_tx.size() - MAX_PENDING);
    writePending();
}

void SimSerialDevice::onWritable()
{
    writePending();
}

void SimSerialDevice::writePending()
{
    while (!m_tx.isEmpty()) {
        const ssize_t n = ::write(m_master, m_tx.constData(), size_t(m_tx.size()));
        if (n > 0) {
            m_tx.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_tx.isEmpty());
}
