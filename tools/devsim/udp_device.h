// The simulated device on loopback UDP: it answers read (service 12) and write
// (service 13) requests on its request port and announces itself by unicast to
// the discovery port. Only 127.0.0.0/8 addresses are accepted.
#pragma once

#include "devsim/device_model.h"
#include "devsim/faults.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class QTimer;
class QUdpSocket;

struct SimUdpRequest
{
    quint8 service = 0;
    quint16 index = 0;
    quint16 subIndex = 0;
    quint16 param = 0;
    quint16 seq = 0;
    QByteArray payload; // write data (after the 18- or 16-byte header)
};

class SimUdpDevice : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 DEFAULT_PORT = 15001;
    static constexpr quint16 DEFAULT_ANNOUNCE_PORT = 12000;
    static constexpr int DEFAULT_ANNOUNCE_INTERVAL_MS = 2000;
    static constexpr int ANNOUNCE_SIZE = 91;

    explicit SimUdpDevice(SimDeviceModel *model = nullptr, QObject *parent = nullptr);
    ~SimUdpDevice() override;

    // Settings; take effect at start() (the announce settings at once).
    void setAddress(const QHostAddress &a) { m_address = a; }
    void setPort(quint16 p) { m_port = p; }
    void setAnnouncePort(quint16 p) { m_announcePort = p; }
    void setAnnounceTarget(const QHostAddress &a) { m_announceTarget = a; }
    void setAnnounceInterval(int ms);
    // What the announcement says (defaults: the bound address and port).
    void setAnnouncedAddress(const QHostAddress &a) { m_announcedAddress = a; }
    void setAnnouncedPort(quint16 p) { m_announcedPort = p; }

    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    quint16 announcePort() const { return m_announcePort; }
    int announceInterval() const { return m_announceIntervalMs; }

    // Binds the request socket and, when announcing is on, starts announcing
    // (the first announcement goes out at once). Also puts the address and port
    // into the model's system parameters.
    bool start();
    void stop();
    bool isRunning() const;
    QString errorString() const { return m_error; }

    void setAnnouncing(bool on);
    bool isAnnouncing() const { return m_announcing; }
    void announceNow();
    QByteArray announcement() const;

    SimDeviceModel *model() { return m_model; }
    SimFaults &faults() { return m_faults; }

    void setSilent(bool on) { m_faults.silent = on; }
    void dropReplies(int n) { m_faults.dropNext = n; }
    void setReplyDelay(int ms) { m_faults.delayMs = ms; }
    void failNext(int n = 1) { m_faults.failNext = n; }
    void wrongSeqNext(int n = 1) { m_faults.wrongSeqNext = n; }
    void duplicateNext(int n = 1) { m_faults.duplicateNext = n; }
    void refuseFlashStep(int step, bool oldSeq = false)
    {
        m_faults.refuseFlashStep = step;
        m_faults.refuseWithOldSeq = oldSeq;
    }
    void clearFaults() { m_faults.clear(); }

    QList<SimUdpRequest> receivedRequests() const { return m_log; }
    int announcementsSent() const { return m_announcementsSent; }
    void clearLog();

    static constexpr int USER_BLOCK_CHUNK = 1024;

Q_SIGNALS:
    void requestReceived(quint8 service, quint16 index, quint16 subIndex, quint16 param, quint16 seq,
                         QByteArray datagram);
    void replySent(QByteArray datagram);
    void announced(QByteArray datagram);

private:
    void onReadyRead();
    void handle(const QByteArray &datagram, const QHostAddress &from, quint16 fromPort);
    bool readBlock(quint16 index, quint16 subIndex, quint16 param, QByteArray *payload);
    bool writeBlock(quint16 index, quint16 subIndex, quint16 param, const QByteArray &payload);
    QByteArray reply(quint8 service, bool ok, quint16 seq, quint16 index, quint16 subIndex,
                     quint16 param, const QByteArray &payload) const;
    void sendTo(const QByteArray &datagram, const QHostAddress &to, quint16 port);

    std::unique_ptr<SimDeviceModel> m_ownModel;
    SimDeviceModel *m_model = nullptr;
    SimFaults m_faults;
    QUdpSocket *m_socket = nullptr;
    QTimer *m_announceTimer = nullptr;
    QHostAddress m_address{QHostAddress::LocalHost};
    quint16 m_port = DEFAULT_PORT;
    QHostAddress m_announceTarget{QHostAddress::LocalHost};
    quint16 m_announcePort = DEFAULT_ANNOUNCE_PORT;
    int m_announceIntervalMs = DEFAULT_ANNOUNCE_INTERVAL_MS;
    QHostAddress m_announcedAddress;
    quint16 m_announcedPort = 0;
    bool m_announcing = true;
    int m_announcementsSent = 0;
    QString m_error;
    QList<SimUdpRequest> m_log;
};
