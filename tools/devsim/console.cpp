#include "devsim/console.h"

#include "devsim/serial_device.h"
#include "devsim/udp_device.h"

#include <QStringList>

QString SimConsole::execute(const QString &line)
{
    QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    const QString echo = words.join(QLatin1Char(' '));

    SimSerialDevice *serial = m_serial;
    SimUdpDevice *udp = m_udp;
    if (words.front() == QLatin1String("serial")) {
        udp = nullptr;
        words.removeFirst();
        if (!serial)
            return QStringLiteral("ERR no serial side");
    } else if (words.front() == QLatin1String("udp")) {
        serial = nullptr;
        words.removeFirst();
        if (!udp)
            return QStringLiteral("ERR no udp side");
    }
    if (words.isEmpty())
        return QStringLiteral("ERR missing command");

    const QString cmd = words.front();
    const QString arg = words.size() > 1 ? words.at(1) : QString();
    bool numeric = false;
    int n = arg.isEmpty() ? 1 : arg.toInt(&numeric);
    if (arg.isEmpty())
        numeric = true;
    const auto ok = [&] { return QStringLiteral("OK ") + echo; };
    const auto needNumber = [&] { return QStringLiteral("ERR %1 needs a number").arg(cmd); };

    if (cmd == QLatin1String("quit") || cmd == QLatin1String("exit")) {
        m_quit = true;
        return ok();
    }
    if (cmd == QLatin1String("status")) {
        QStringList parts;
        if (m_serial)
            parts << QStringLiteral("serial rx=%1 replies=%2 bad=%3")
                         .arg(m_serial->receivedFunctions().size())
                         .arg(m_serial->repliesSent())
                         .arg(m_serial->badFrames());
        if (m_udp)
            parts << QStringLiteral("udp rx=%1 announcements=%2")
                         .arg(m_udp->receivedRequests().size())
                         .arg(m_udp->announcementsSent());
        return QStringLiteral("OK status ") + parts.join(QStringLiteral("; "));
    }
    if (cmd == QLatin1String("silent")) {
        if (arg != QLatin1String("on") && arg != QLatin1String("off"))
            return QStringLiteral("ERR silent needs on or off");
        const bool on = arg == QLatin1String("on");
        if (serial)
            serial->setSilent(on);
        if (udp)
            udp->setSilent(on);
        return ok();
    }
    if (cmd == QLatin1String("clear")) {
        if (serial)
            serial->clearFaults();
        if (udp)
            udp->clearFaults();
        return ok();
    }
    if (cmd == QLatin1String("announce")) {
        if (!udp)
            return QStringLiteral("ERR no udp side");
        if (arg == QLatin1String("on"))
            udp->setAnnouncing(true);
        else if (arg == QLatin1String("off"))
            udp->setAnnouncing(false);
        else if (arg == QLatin1String("now"))
            udp->announceNow();
        else
            return QStringLiteral("ERR announce needs on, off or now");
        return ok();
    }

    if (!numeric || n < 0)
        return needNumber();
    if (cmd == QLatin1String("drop")) {
        if (serial)
            serial->dropReplies(n);
        if (udp)
            udp->dropReplies(n);
        return ok();
    }
    if (cmd == QLatin1String("delay")) {
        if (arg.isEmpty())
            return needNumber();
        if (serial)
            serial->setReplyDelay(n);
        if (udp)
            udp->setReplyDelay(n);
        return ok();
    }

    if (cmd == QLatin1String("refuse-slave-row")) {
        if (serial)
            serial->faults().refuseSlaveRow = n;
        if (udp)
            udp->faults().refuseSlaveRow = n;
        return ok();
    }

    // Serial-only modes.
    if (cmd == QLatin1String("truncate") || cmd == QLatin1String("corrupt-crc")
        || cmd == QLatin1String("corrupt-markers") || cmd == QLatin1String("wrong-fn")) {
        if (!serial)
            return QStringLiteral("ERR %1 is a serial fault").arg(cmd);
        if (cmd == QLatin1String("truncate"))
            serial->truncateNextReplies(n);
        else if (cmd == QLatin1String("corrupt-crc"))
            serial->corruptNextCrc(n);
        else if (cmd == QLatin1String("corrupt-markers"))
            serial->corruptNextMarkers(n);
        else
            serial->wrongFunctionNext(n);
        return ok();
    }
    // UDP-only modes.
    if (cmd == QLatin1String("fail") || cmd == QLatin1String("wrong-seq") || cmd == QLatin1String("duplicate")) {
        if (!udp)
            return QStringLiteral("ERR %1 is a udp fault").arg(cmd);
        if (cmd == QLatin1String("fail"))
            udp->failNext(n);
        else if (cmd == QLatin1String("wrong-seq"))
            udp->wrongSeqNext(n);
        else
            udp->duplicateNext(n);
        return ok();
    }
    return QStringLiteral("ERR unknown command: ") + cmd;
}
