#include "devsim/rx_line.h"

#include "devsim/bytes.h"

namespace {
constexpr int SHOWN = 48;
constexpr quint8 SVC_WRITE = 13;
constexpr quint16 IDX_MEM = 107;
} // namespace

QString rxData(const QByteArray &payload)
{
    if (payload.isEmpty())
        return {};
    QString s = QStringLiteral(" data=") + QString::fromLatin1(payload.left(SHOWN).toHex(' '));
    if (payload.size() > SHOWN)
        s += QStringLiteral(" ..");
    return s;
}

QByteArray serialPayload(const QByteArray &frame)
{
    return frame.size() > 7 ? frame.mid(3, frame.size() - 7) : QByteArray();
}

QByteArray udpWritePayload(const QByteArray &d)
{
    if (d.size() < 16 || sim::u8(d, 0) != SVC_WRITE)
        return {};
    return d.mid(sim::getU16(d, 10) == IDX_MEM ? 16 : 18);
}
