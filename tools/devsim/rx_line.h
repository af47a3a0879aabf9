// The data part of an "RX" line: enough of a write's payload to see what was
// written.
#pragma once

#include <QByteArray>
#include <QString>

// " data=01 02 03" for a non-empty payload (the first 48 bytes, then " .."),
// nothing for an empty one.
QString rxData(const QByteArray &payload);
// The payload of a serial request frame: after the function code, before the CRC.
QByteArray serialPayload(const QByteArray &frame);
// The payload of a UDP write request (nothing for a read).
QByteArray udpWritePayload(const QByteArray &datagram);
