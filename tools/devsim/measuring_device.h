// A simulated measuring device for the AQ calibration: it answers the UDP read
// of index 110 with eight readings (single precision, little-endian) after the
// 12-byte reply header. It binds only to a loopback address.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <array>

class QUdpSocket;

class SimMeasuringDevice : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 DEFAULT_PORT = 11000;
    static constexpr quint16 MEASURE_INDEX = 110;

    explicit SimMeasuringDevice(QObject *parent = nullptr);
    ~SimMeasuringDevice() override;

    // False for an address outside 127.0.0.0/8 or a port that cannot be bound.
    bool start(const QHostAddress &address, quint16 port);
    quint16 port() const;

    std::array<float, 8> readings{};
    bool silent = false;
    QList<QByteArray> received; // every request, in order

private:
    void onReadyRead();
    QUdpSocket *m_socket = nullptr;
};
