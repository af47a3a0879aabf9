#pragma once
// The platform serial port behind SerialTransport: QSerialPort with the
// receive-threshold semantics the engine relies on.
#include "link/serial_transport.h"

#include <QSerialPort>
#include <QStringList>

class QtSerialTransport : public SerialTransport {
    Q_OBJECT
public:
    explicit QtSerialTransport(QObject* parent = nullptr);
    int open(const QString& port, const QString& settings, QString* description = nullptr) override;
    int setSettings(const QString& settings) override;
    QString settings() const override { return settings_; }
    bool isOpen() const override { return port_.isOpen(); }
    QString portName() const override { return name_; }
    void close() override;
    bool write(const QByteArray& bytes) override;
    void clearInput() override;
    void setThreshold(int bytes) override;
    int bytesAvailable() const override { return int(buffer_.size()); }
    QByteArray readAll() override;

    // The message-table number of a port error.
    static int errorNumber(QSerialPort::SerialPortError e);

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError e);
    void check();

    QSerialPort port_;
    QString name_;
    QString settings_ = QStringLiteral("9600,N,8,1");
    QByteArray buffer_;
    int threshold_ = 0;
    bool armed_ = false;
};

// Parses "9600,N,8,1"; false when the text is not a valid settings text.
bool applySerialSettings(QSerialPort& port, const QString& settings);

// The ports offered to the user: the device paths in RIODESK_PORTS
// (colon-separated, in their order) followed by the platform's serial ports.
QStringList candidatePorts(bool withPlatformPorts = true);
