#include "devsim/measuring_device.h"

#include "devsim/bytes.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <cstring>

using namespace sim;

SimMeasuringDevice::SimMeasuringDevice(QObject *parent) : QObject(parent)
{
    for (int i = 0; i < 8; ++i)
        readings[i] = 1.5f * float(i + 1);
}

SimMeasuringDevice::~SimMeasuringDevice() = default;

bool SimMeasuringDevice::start(const QHostAddress &address, quint16 port)
{
    if (!address.isLoopback())
        return false;
    m_socket = new QUdpSocket(this);
    if (!m_socket->bind(address, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
        return false;
    connect(m_socket, &QUdpSocket::readyRead, this, &SimMeasuringDevice::onReadyRead);
    return true;
}

quint16 SimMeasuringDevice::port() const { return m_socket ? m_socket->localPort() : 0; }

void SimMeasuringDevice::onReadyRead()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram d = m_socket->receiveDatagram();
        const QByteArray req = d.data();
        received << req;
        if (silent || req.size() < 16 || u8(req, 0) != 12 || getU16(req, 10) != MEASURE_INDEX)
            continue;
        if (!d.senderAddress().isLoopback())
            continue;
        QByteArray reply(12, '\0');
        putU8(reply, 0, 0x4C);               // read answered, status ok
        putU16(reply, 6, getU16(req, 6));    // sequence echo
        putU16(reply, 10, MEASURE_INDEX);
        for (int i = 0; i < 8; ++i) {
            quint32 bits;
            std::memcpy(&bits, &readings[i], sizeof bits);
            putU32(reply, 12 + 4 * i, bits);
        }
        m_socket->writeDatagram(reply, d.senderAddress(), quint16(d.senderPort()));
    }
}
