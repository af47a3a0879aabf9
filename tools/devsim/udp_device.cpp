#include "devsim/udp_device.h"

#include "devsim/bytes.h"

#include <QNetworkDatagram>
#include <QTimer>
#include <utility>
#include <QUdpSocket>

using namespace sim;

namespace {

constexpr quint8 SVC_READ = 12;
constexpr quint8 SVC_WRITE = 13;
constexpr quint8 STATUS_OK = 0x40;

constexpr quint16 IDX_MEM = 107;
constexpr quint16 IDX_SYSTEM = 10003;
constexpr quint16 IDX_PDTAG = 10010;
constexpr quint16 IDX_CTRL = 11008;
constexpr quint16 IDX_COMM = 14000;
constexpr quint16 IDX_RONGYU = 15000;

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

bool isLoopbackV4(const QHostAddress &a)
{
    return a.protocol() == QAbstractSocket::IPv4Protocol && a.isLoopback();
}

} // namespace

SimUdpDevice::SimUdpDevice(SimDeviceModel *model, QObject *parent)
    : QObject(parent)
{
    if (!model) {
        m_ownModel = std::make_unique<SimDeviceModel>();
        model = m_ownModel.get();
    }
    m_model = model;
    m_announceTimer = new QTimer(this);
    m_announceTimer->setInterval(m_announceIntervalMs);
    connect(m_announceTimer, &QTimer::timeout, this, &SimUdpDevice::announceNow);
}

SimUdpDevice::~SimUdpDevice()
{
    stop();
}

void SimUdpDevice::setAnnounceInterval(int ms)
{
    m_announceIntervalMs = ms > 0 ? ms : DEFAULT_ANNOUNCE_INTERVAL_MS;
    m_announceTimer->setInterval(m_announceIntervalMs);
}

bool SimUdpDevice::start()
{
    stop();
    if (!isLoopbackV4(m_address)) {
        m_error = QStringLiteral("refusing to bind %1: only 127.0.0.0/8 is allowed").arg(m_address.toString());
        return false;
    }
    m_socket = new QUdpSocket(this);
    if (!m_socket->bind(m_address, m_port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        m_error = m_socket->errorString();
        delete m_socket;
        m_socket = nullptr;
        return false;
    }
    if (m_port == 0)
        m_port = m_socket->localPort();
    connect(m_socket, &QUdpSocket::readyRead, this, &SimUdpDevice::onReadyRead);

    const quint32 a = m_address.toIPv4Address();
    m_model->ip = {quint8(a >> 24), quint8(a >> 16), quint8(a >> 8), quint8(a)};
    m_model->udpPort = m_port;

    if (m_announcing) {
        m_announceTimer->start();
        announceNow();
    }
    return true;
}

void SimUdpDevice::stop()
{
    m_announceTimer->stop();
    delete m_socket;
    m_socket = nullptr;
}

bool SimUdpDevice::isRunning() const
{
    return m_socket != nullptr;
}

void SimUdpDevice::setAnnouncing(bool on)
{
    m_announcing = on;
    if (!isRunning())
        return;
    if (on) {
        m_announceTimer->start();
        announceNow();
    } else {
        m_announceTimer->stop();
    }
}

void SimUdpDevice::clearLog()
{
    m_log.clear();
    m_announcementsSent = 0;
}

QByteArray SimUdpDevice::announcement() const
{
    QByteArray d(ANNOUNCE_SIZE, '\0');
    putU8(d, 0, 4);
    putU8(d, 1, m_model->deviceType);
    putU16(d, 2, m_model->innerVersion);
    d.replace(8, 32, fitted(m_model->deviceId, 32));
    d.replace(40, 32, fitted(m_model->pdTag, 32));
    const QHostAddress shown = m_announcedAddress.isNull() ? m_address : m_announcedAddress;
    const quint32 a = shown.toIPv4Address();
    putU8(d, 72, a >> 24);
    putU8(d, 73, a >> 16);
    putU8(d, 74, a >> 8);
    putU8(d, 75, a);
    for (int i = 0; i < 6; ++i)
        putU8(d, 76 + i, m_model->mac[i]);
    putU16(d, 87, m_announcedPort ? m_announcedPort : m_port);
    return d;
}

void SimUdpDevice::announceNow()
{
    if (!m_socket || !isLoopbackV4(m_announceTarget))
        return;
    const QByteArray d = announcement();
    m_socket->writeDatagram(d, m_announceTarget, m_announcePort);
    ++m_announcementsSent;
    Q_EMIT announced(d);
}

void SimUdpDevice::onReadyRead()
{
    while (m_socket && m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram dg = m_socket->receiveDatagram();
        handle(dg.data(), dg.senderAddress(), quint16(dg.senderPort()));
    }
}

void SimUdpDevice::handle(const QByteArray &d, const QHostAddress &from, quint16 fromPort)
{
    // Our own datagrams can loop back when another socket shares our port.
    if (fromPort == m_port && QHostAddress(from.toIPv4Address()) == m_address)
        return;
    if (d.size() < 16)
        return;
    const quint8 svc = u8(d, 0);
    if (svc != SVC_READ && svc != SVC_WRITE)
        return;

    SimUdpRequest r;
    r.service = svc;
    r.seq = getU16(d, 6);
    r.index = getU16(d, 10);
    r.subIndex = getU16(d, 12);
    r.param = getU16(d, 14);
    if (svc == SVC_WRITE)
        r.payload = d.mid(r.index == IDX_MEM ? 16 : 18);
    m_log.append(r);
    Q_EMIT requestReceived(svc, r.index, r.subIndex, r.param, r.seq, d);
    if (m_faults.silent)
        return;
    if (svc == SVC_READ && r.index == IDX_SYSTEM && r.subIndex == 14 && (r.param & 0xFF) == m_faults.lostSlaveRow)
        return;

    const bool dropped = SimFaults::take(m_faults.dropNext);
    const int flashStep = svc != SVC_WRITE || r.index != IDX_SYSTEM || r.subIndex > 2 ? SimFaults::NO_FLASH_STEP
                          : r.subIndex == 0                                            ? SimFaults::FLASH_START
                          : r.subIndex == 1                                            ? SimFaults::FLASH_SIZE
                                                                                       : m_model->flashBlocksReceived;
    const bool refusedStep = !dropped && flashStep != SimFaults::NO_FLASH_STEP && m_faults.takeFlashStep(flashStep);
    const bool slaveRefused = svc == SVC_WRITE && r.index == IDX_SYSTEM && r.subIndex == 17 && !r.payload.isEmpty()
                              && quint8(r.payload[0]) == m_faults.refuseSlaveRow;
    const bool failed = refusedStep || (!dropped && (slaveRefused || SimFaults::take(m_faults.failNext)));

    // The whole user block does not fit one datagram: it goes out in chunks,
    // each echoing the request's sequence number.
    QList<QByteArray> payloads;
    bool ok = false;
    if (!failed) {
        if (svc == SVC_READ && r.index == IDX_SYSTEM && r.subIndex == 0) {
            ok = true;
            const int chunks = m_model->userBlock.size() / USER_BLOCK_CHUNK;
            for (int c = 0; c < chunks; ++c) {
                QByteArray p(2, '\0');
                putU16(p, 0, quint32(c));
                payloads.append(p + m_model->userBlock.mid(c * USER_BLOCK_CHUNK, USER_BLOCK_CHUNK));
            }
        } else if (svc == SVC_READ) {
            QByteArray p;
            ok = readBlock(r.index, r.subIndex, r.param, &p);
            payloads.append(p);
        } else {
            ok = writeBlock(r.index, r.subIndex, r.param, r.payload);
        }
    }
    if (dropped)
        return;
    if (!ok || svc == SVC_WRITE)
        payloads = {QByteArray()};

    const quint16 seq = SimFaults::take(m_faults.wrongSeqNext)                  ? quint16(r.seq + 1)
                        : refusedStep && std::exchange(m_faults.refuseWithOldSeq, false) ? quint16(r.seq - 1)
                                                                                         : r.seq;
    const int copies = SimFaults::take(m_faults.duplicateNext) ? 2 : 1;
    for (const QByteArray &p : payloads) {
        const QByteArray out = reply(svc, ok, seq, r.index, r.subIndex, r.param, p);
        for (int i = 0; i < copies; ++i) {
            if (m_faults.delayMs > 0)
                QTimer::singleShot(m_faults.delayMs, this, [this, out, from, fromPort] { sendTo(out, from, fromPort); });
            else
                sendTo(out, from, fromPort);
        }
    }
}

QByteArray SimUdpDevice::reply(quint8 service, bool ok, quint16 seq, quint16 index, quint16 subIndex,
                               quint16 param, const QByteArray &payload) const
{
    QByteArray d;
    if (service == SVC_READ && ok) {
        // Read reply: 12-byte header, the block from byte 12.
        d = QByteArray(12, '\0') + payload;
        putU16(d, 10, index);
    } else {
        // Write replies and refusals echo the request header.
        d = QByteArray(16, '\0');
        putU16(d, 10, index);
        putU16(d, 12, subIndex);
        putU16(d, 14, param);
    }
    putU8(d, 0, quint32(service) | (ok ? STATUS_OK : 0));
    putU16(d, 4, quint32(d.size()));
    putU16(d, 6, seq);
    return d;
}

void SimUdpDevice::sendTo(const QByteArray &datagram, const QHostAddress &to, quint16 port)
{
    if (!m_socket || !isLoopbackV4(QHostAddress(to.toIPv4Address())))
        return;
    m_socket->writeDatagram(datagram, QHostAddress(to.toIPv4Address()), port);
    Q_EMIT replySent(datagram);
}

bool SimUdpDevice::readBlock(quint16 index, quint16 sub, quint16 param, QByteArray *out)
{
    SimDeviceModel &m = *m_model;
    QByteArray &p = *out;
    switch (index) {
    case IDX_SYSTEM:
        switch (sub) {
        case 1: p = m.sysParamBlock(true); return true;
        case 2: p = m.zeroBlock(); return true;
        case 3: p = m.fullBlock(); return true;
        case 4: p = m.prjCalBlock(); return true;
        case 5: p = m.clockBlock(false); return true;
        case 8: p = m.adBlock(); return true;
        case 9: p = m.tempBlock(); return true;
        case 10: p = m.ledBlock(); return true;
        case 12: p = m.voltBlock(); return true;
        case 13: p = m.didoBlock(); return true;
        case 14: p = m.slaveRecord(param & 0xFF); return true; // 256 + row
        case 15: p = m.aqZeroFullBlock(); return true;
        case 16: p = m.macBlock(); return true;
        case 17: p = m.aqTypeBlock(); return true;
        case 18: p = oneByte(m.ramTestResult); return true;
        case 19: p = oneByte(m.aqToDq); return true;
        case 20: p = m.aiAlarmBlock(); return true;
        case 21: p = m.innerCalBlock(); return true;
        default: return false;
        }
    case IDX_PDTAG:
        if (sub == 1 || sub == 2) {
            p = m.devIdBlock(true);
            return true;
        }
        return false;
    case IDX_MEM:
        p = (param == 256) ? m.sm : m.memAreaBlock();
        return true;
    case IDX_CTRL:
        if (sub != 0)
            return false;
        p = m.ctrl;
        return true;
    case IDX_COMM:
        switch (sub) {
        case 1: p = m.zigbee; return true;
        case 3: p = m.resendSlave; return true;
        case 4: p = m.resend; return true;
        case 5: p = m.netGateBlock(); return true;
        default: return false;
        }
    case IDX_RONGYU:
        if (sub != 0)
            return false;
        p = m.rongyu;
        return true;
    default:
        return false;
    }
}

bool SimUdpDevice::writeBlock(quint16 index, quint16 sub, quint16 param, const QByteArray &p)
{
    SimDeviceModel &m = *m_model;
    switch (index) {
    case IDX_SYSTEM:
        switch (sub) {
        case 0: m.flashStart(); return true;
        case 1: m.flashSize(getU16(p, 0)); return true;
        case 2: m.flashBlock(p); return true;
        case 4: m.applySysParam(p); return true;
        case 5: m.applySensorTypes(p); return true;
        case 6: m.applyZero(p); return true;
        case 7: m.applyFull(p); return true;
        case 8: m.applyPrjCal(p); return true;
        case 9: m.applyClock(p, false); return true;
        case 10: m.applyAqAdjust(p); return true;
        case 11: m.selfCalKind = u8(p, 0); return true;
        case 12: m.applyLeds(p); return true;
        case 14: m.applyDo(u8(p, 0)); return true;
        case 15:
        case 18: m.applyAqZeroFull(p); return true;
        case 16: m.applyAo(p); return true;
        case 17: m.applySlaveRecord(p); return true;
        case 19: m.applyMac(p); return true;
        case 20: m.applyAqTypes(p); return true;
        case 21: m.aqToDq = u8(p, 0); return true;
        case 22: m.stopAndClear(); return true;
        case 23: m.lampBoardCheck = u8(p, 0); return true;
        case 25: m.runState = u8(p, 0); return true;
        case 26: m.applyAiAlarm(p); return true;
        case 27: m.applyInnerCal(p); return true;
        case 28: m.restoreParams(p); return true;
        default: return false;
        }
    case IDX_PDTAG:
        if (sub != 1 && sub != 2)
            return false;
        m.applyDevId(p);
        return true;
    case IDX_MEM:
        if (sub == 59) {
            m.setWeekday(getU16(p, 0));
            return true;
        }
        if (sub == 257) {
            m.sm = fitted(p, 512);
            return true;
        }
        return false;
    case IDX_CTRL:
        if (sub != 0)
            return false;
        m.ctrl = fitted(p, 242);
        return true;
    case IDX_COMM:
        switch (sub) {
        case 1: m.zigbee = fitted(p, 34); return true;
        case 5: m.resendSlave = fitted(p, 64); return true;
        case 6: m.applyResend(p); return true;
        case 7: m.applyNetGate(p); return true;
        default: return false;
        }
    case IDX_RONGYU:
        if (sub != 0)
            return false;
        m.rongyu = fitted(p, 208);
        return true;
    default:
        Q_UNUSED(param);
        return false;
    }
}
