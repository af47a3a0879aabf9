#include "link/serial_port.h"

#include <QSerialPortInfo>
#include <QTimer>

QtSerialTransport::QtSerialTransport(QObject* parent) : SerialTransport(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialTransport::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialTransport::onError);
}

void QtSerialTransport::onError(QSerialPort::SerialPortError e)
{
    // Errors that mean the port is gone. Closing it also stops the event
    // source that would otherwise fire without pause.
    if (e != QSerialPort::ResourceError && e != QSerialPort::ReadError)
        return;
    if (!port_.isOpen())
        return;
    const QString why = port_.errorString();
    port_.close();
    buffer_.clear();
    armed_ = false;
    Q_EMIT lost(why);
}

int QtSerialTransport::errorNumber(QSerialPort::SerialPortError e)
{
    switch (e) {
    case QSerialPort::NoError: return 0;
    case QSerialPort::DeviceNotFoundError: return 8002;
    case QSerialPort::PermissionError: return 8005;
    case QSerialPort::OpenError: return 8013;
    case QSerialPort::NotOpenError: return 8012;
    case QSerialPort::ResourceError: return 8010;
    case QSerialPort::UnsupportedOperationError: return 8007;
    case QSerialPort::ReadError: return 8020;
    case QSerialPort::TimeoutError: return 8001;
    default: return 8017; // not in the message table: the description is shown
    }
}

bool applySerialSettings(QSerialPort& port, const QString& settings)
{
    const auto f = settings.split(QLatin1Char(','));
    if (f.size() != 4)
        return false;
    bool ok = false;
    const int baud = f[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return false;
    QSerialPort::Parity parity;
    switch (f[1].trimmed().toUpper().at(0).toLatin1()) {
    case 'N': parity = QSerialPort::NoParity; break;
    case 'E': parity = QSerialPort::EvenParity; break;
    case 'O': parity = QSerialPort::OddParity; break;
    case 'S': parity = QSerialPort::SpaceParity; break;
    case 'M': parity = QSerialPort::MarkParity; break;
    default: return false;
    }
    const int bits = f[2].trimmed().toInt();
    const int stop = f[3].trimmed().toInt();
    if (bits < 5 || bits > 8 || (stop != 1 && stop != 2))
        return false;
    return port.setBaudRate(baud) && port.setParity(parity) && port.setDataBits(QSerialPort::DataBits(bits))
        && port.setStopBits(stop == 1 ? QSerialPort::OneStop : QSerialPort::TwoStop)
        && port.setFlowControl(QSerialPort::NoFlowControl);
}

int QtSerialTransport::open(const QString& name, const QString& settings, QString* description)
{
    if (port_.isOpen())
        port_.close();
    name_ = name;
    settings_ = settings;
    buffer_.clear();
    if (name.isEmpty()) {
        if (description)
            *description = QStringLiteral("no such port");
        return 8002;
    }
    port_.setPortName(name);
    if (!port_.open(QIODevice::ReadWrite)) {
        if (description)
            *description = port_.errorString();
        const int n = errorNumber(port_.error());
        port_.clearError();
        return n;
    }
    if (!applySerialSettings(port_, settings)) {
        if (description)
            *description = port_.errorString();
        port_.close();
        return 380;
    }
    port_.clear(QSerialPort::Input);
    return 0;
}

int QtSerialTransport::setSettings(const QString& settings)
{
    settings_ = settings;
    if (!port_.isOpen())
        return 0;
    return applySerialSettings(port_, settings) ? 0 : 380;
}

void QtSerialTransport::close()
{
    port_.close();
    buffer_.clear();
    armed_ = false;
}

bool QtSerialTransport::write(const QByteArray& bytes)
{
    if (!port_.isOpen())
        return false;
    return port_.write(bytes) == bytes.size();
}

void QtSerialTransport::clearInput()
{
    if (port_.isOpen()) {
        port_.readAll();
        port_.clear(QSerialPort::Input);
    }
    buffer_.clear();
}

void QtSerialTransport::setThreshold(int bytes)
{
    threshold_ = bytes;
    armed_ = bytes > 0;
    check();
}

QByteArray QtSerialTransport::readAll()
{
    if (port_.isOpen())
        buffer_ += port_.readAll();
    QByteArray out;
    out.swap(buffer_);
    armed_ = threshold_ > 0; // the next threshold's worth of bytes raises the event again
    return out;
}

void QtSerialTransport::onReadyRead()
{
    buffer_ += port_.readAll();
    check();
}

void QtSerialTransport::check()
{
    if (armed_ && threshold_ > 0 && buffer_.size() >= threshold_) {
        armed_ = false;
        Q_EMIT received();
    }
}

QStringList candidatePorts(bool withPlatformPorts)
{
    QStringList out;
    const auto env = qEnvironmentVariable("RIODESK_PORTS");
    for (const auto& p : env.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (!out.contains(p))
            out << p;
    if (!withPlatformPorts)
        return out;
    for (const auto& info : QSerialPortInfo::availablePorts())
        if (!out.contains(info.systemLocation()))
            out << info.systemLocation();
    return out;
}
