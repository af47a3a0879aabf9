// The simulated device's firmware store: a transfer starts, announces its
// block count and sends 512-byte blocks, which the device keeps in order so a
// test can compare them with the file.
#include "devsim/device_model.h"
#include "devsim/serial_device.h"

#include <termios.h>

void SimDeviceModel::flashStart()
{
    flashStarted = true;
    flashBlocksReceived = 0;
    flashImage.clear();
}

void SimDeviceModel::flashSize(quint16 blocks)
{
    flashBlockCount = blocks;
    flashImage.reserve(int(blocks) * 512);
}

void SimDeviceModel::flashBlock(const QByteArray &block)
{
    ++flashBlocksReceived;
    flashImage.append(block);
}

int SimSerialDevice::lineSpeed() const
{
    termios tio{};
    if (m_slave < 0 || ::tcgetattr(m_slave, &tio) != 0)
        return 0;
    switch (::cfgetispeed(&tio)) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}
