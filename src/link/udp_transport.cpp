#include "link/udp_transport.h"

#include <QNetworkDatagram>

QtUdpTransport::QtUdpTransport(QObject* parent) : UdpTransport(parent)
{
    connect(&sock_, &QUdpSocket::readyRead, this, &QtUdpTransport::readPending);
}

int QtUdpTransport::errorNumber(QAbstractSocket::SocketError e)
{
    switch (e) {
    case QAbstractSocket::AddressInUseError: return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError: return 10049;
    case QAbstractSocket::SocketAccessError: return 10013; // not in the table: the description is shown
    case QAbstractSocket::SocketResourceError: return 10055;
    case QAbstractSocket::NetworkError: return 10050;
    case QAbstractSocket::DatagramTooLargeError: return 10040;
    case QAbstractSocket::HostNotFoundError: return 11001;
    case QAbstractSocket::UnsupportedSocketOperationError: return 10043;
    default: return -1;
    }
}

int QtUdpTransport::bind(quint16 localPort, QString* description)
{
    if (sock_.state() != QAbstractSocket::UnconnectedState) {
        if (description)
            *description = QStringLiteral("already bound");
        return 10048;
    }
    // Shared, so that a device on another loopback address may use the same number.
    if (!sock_.bind(QHostAddress::AnyIPv4, localPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        if (description)
            *description = sock_.errorString();
        return errorNumber(sock_.error());
    }
    return 0;
}

void QtUdpTransport::setRemote(const QString& host, quint16 port)
{
    remote_ = QHostAddress(host);
    remotePort_ = port;
}

bool QtUdpTransport::send(const QByteArray& datagram)
{
    if (remote_.isNull())
        return false;
    return sock_.writeDatagram(datagram, remote_, remotePort_) == datagram.size();
}

void QtUdpTransport::close() { sock_.close(); }

void QtUdpTransport::readPending()
{
    while (sock_.hasPendingDatagrams()) {
        const auto d = sock_.receiveDatagram();
        const bool aimed = !remote_.isNull() && remotePort_ != 0;
        if (aimed && (d.senderPort() != int(remotePort_)
                      || !d.senderAddress().isEqual(remote_, QHostAddress::ConvertV4MappedToIPv4)))
            Q_EMIT foreignDatagram();
        else
            Q_EMIT datagram(d.data());
    }
}
