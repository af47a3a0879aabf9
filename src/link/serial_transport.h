#pragma once
// The serial port as the engine uses it: open with a settings text, write,
// empty the input, and one receive event once at least the threshold of bytes
// is in. A read returns every byte in the input.
#include <QByteArray>
#include <QObject>
#include <QString>

class SerialTransport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // 0 on success, else the error number of the port message table (8002 no
    // such port, 8005 in use, ...). `description` receives the platform's text.
    virtual int open(const QString& port, const QString& settings, QString* description = nullptr) = 0;
    virtual int setSettings(const QString& settings) = 0;   // "9600,N,8,1"
    virtual QString settings() const = 0;
    virtual bool isOpen() const = 0;
    virtual QString portName() const = 0;
    virtual void close() = 0;
    virtual bool write(const QByteArray& bytes) = 0;
    virtual void clearInput() = 0;                            // input count := 0
    virtual void setThreshold(int bytes) = 0;                 // 0: no receive events
    virtual int bytesAvailable() const = 0;
    virtual QByteArray readAll() = 0;

Q_SIGNALS:
    void received(); // the OnComm event
    // The port is gone under the open link (adapter unplugged, the other end
    // of a pseudo-terminal closed): raised once, with the port already closed.
    void lost(const QString& description);
};
