// Text commands that steer the simulated device, one per line (the devsim
// executable reads them from stdin):
//
//   [serial|udp] silent on|off     never answer / answer again
//   [serial|udp] drop N            swallow the next N replies
//   [serial|udp] delay MS          hold every reply back MS milliseconds (0: off)
//   [serial] truncate [N]          send only the first half of the next N replies
//   [serial] corrupt-crc [N]       spoil the CRC of the next N replies
//   [serial] corrupt-markers [N]   spoil the end marker of the next N replies
//   [serial] wrong-fn [N]          answer the next N with a function code nobody asked for
//   [udp] fail [N]                 answer the next N with status bits 00
//   [udp] wrong-seq [N]            echo a wrong sequence number in the next N replies
//   [udp] duplicate [N]            send each of the next N replies twice
//   announce on|off|now            start, stop or send one announcement
//   [serial|udp] clear             end every fault mode
//   status                         counters
//   quit                           leave
//
// Without a prefix a command goes to every side it applies to.
#pragma once

#include <QString>

class SimSerialDevice;
class SimUdpDevice;

class SimConsole
{
public:
    SimConsole(SimSerialDevice *serial, SimUdpDevice *udp) : m_serial(serial), m_udp(udp) {}

    // Runs one command; returns the answer line, "OK ..." or "ERR ...".
    QString execute(const QString &line);
    bool quitRequested() const { return m_quit; }

private:
    SimSerialDevice *m_serial;
    SimUdpDevice *m_udp;
    bool m_quit = false;
};
