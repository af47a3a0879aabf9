#pragma once
// A UDP socket as the engine uses it: bound to a local port, aimed at one
// remote host and port, one datagram per send, one event per datagram.
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUdpSocket>

class UdpTransport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // 0 on success, else the number of the socket message table (10048 port in
    // use, ...); `description` receives the platform's text.
    virtual int bind(quint16 localPort, QString* description = nullptr) = 0;
    virtual void setRemote(const QString& host, quint16 port) = 0;
    virtual bool send(const QByteArray& datagram) = 0;
    virtual void close() = 0;
    virtual bool isBound() const = 0;

Q_SIGNALS:
    void datagram(const QByteArray& bytes);
    // A datagram from another sender than the remote host and port, on a
    // socket aimed at one (it is only counted).
    void foreignDatagram();
};

class QtUdpTransport : public UdpTransport {
    Q_OBJECT
public:
    explicit QtUdpTransport(QObject* parent = nullptr);
    int bind(quint16 localPort, QString* description = nullptr) override;
    void setRemote(const QString& host, quint16 port) override;
    bool send(const QByteArray& datagram) override;
    void close() override;
    bool isBound() const override { return sock_.state() == QAbstractSocket::BoundState; }

    static int errorNumber(QAbstractSocket::SocketError e);

private:
    void readPending();
    QUdpSocket sock_;
    QHostAddress remote_;
    quint16 remotePort_ = 0;
};
