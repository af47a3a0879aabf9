#include "proto/net_datagram.h"

namespace net {

namespace {

void putU16(QByteArray& b, int at, qint32 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

quint16 getU16(const QByteArray& b, int at)
{
    return quint16(quint8(b[at]) | (quint8(b[at + 1]) << 8));
}

// Bytes 0..15, common to both requests (bytes 1..3 and 8..9 stay 0).
void putHeader(QByteArray& b, quint8 service, int length, quint16 seq, qint32 index, qint32 subIndex,
               qint32 param)
{
    b[0] = char(service);
    putU16(b, LENGTH_AT, length);
    putU16(b, SEQ_AT, seq);
    putU16(b, INDEX_AT, index);
    putU16(b, SUB_INDEX_AT, subIndex);
    putU16(b, PARAM_AT, param);
}

} // namespace

QByteArray NetReadRequest(quint16 seq, qint32 index, qint32 subIndex, qint32 param)
{
    QByteArray b(READ_REQUEST_SIZE, '\0');
    putHeader(b, SVC_READ, READ_REQUEST_SIZE, seq, index, subIndex, param);
    return b;
}

std::optional<QByteArray> NetWriteRequest(quint16 seq, qint32 index, qint32 subIndex, qint32 param,
                                          const QByteArray& payload)
{
    const int header = index == IDX_MEM ? WRITE_HEADER_SIZE_MEM : WRITE_HEADER_SIZE;
    const qsizetype total = header + payload.size();
    if (total > MAX_DATAGRAM)
        return std::nullopt;
    QByteArray b(total, '\0');
    putHeader(b, SVC_WRITE, int(total), seq, index, subIndex, param);
    std::copy(payload.begin(), payload.end(), b.begin() + header);
    return b;
}

quint16 nextSeq(qint32 current)
{
    const qint32 n = current + 1;
    return n > 65535 ? 0 : quint16(n);
}

std::optional<ReplyHeader> parseReplyHeader(const QByteArray& datagram)
{
    if (datagram.isEmpty())
        return std::nullopt;
    const auto b0 = quint8(datagram[0]);
    ReplyHeader h;
    switch (b0 & SVC_CODE_MASK) {
    case SVC_READ: h.kind = ReplyKind::Read; break;
    case SVC_WRITE: h.kind = ReplyKind::Write; break;
    default: h.kind = ReplyKind::Other; break;
    }
    h.ok = (b0 & SVC_STATUS_MASK) == SVC_STATUS_OK;
    h.hasSeq = datagram.size() >= REPLY_HEADER_SIZE;
    h.seq = h.hasSeq ? getU16(datagram, SEQ_AT) : 0;
    return h;
}

bool decodeZigbeeReply(const QByteArray& reply, serial::ZigbeeBlock& out)
{
    if (reply.size() < REPLY_PAYLOAD_AT)
        return false;
    const auto* p = reinterpret_cast<const std::uint8_t*>(reply.constData()) + REPLY_PAYLOAD_AT;
    return serial::decodeZigbee({p, std::size_t(reply.size() - REPLY_PAYLOAD_AT)}, out);
}

QByteArray userBlockData(const QByteArray& reply)
{
    if (reply.size() <= USER_BLOCK_DATA_AT)
        return {};
    return reply.mid(USER_BLOCK_DATA_AT);
}

std::optional<QByteArray> devIdBlock(const QByteArray& reply)
{
    if (reply.size() < REPLY_PAYLOAD_AT + DEVID_BLOCK_SIZE)
        return std::nullopt;
    return reply.mid(REPLY_PAYLOAD_AT, DEVID_BLOCK_SIZE);
}

std::optional<quint16> weekdayValue(const QByteArray& reply)
{
    if (reply.size() < WEEKDAY_AT + 2)
        return std::nullopt;
    return getU16(reply, WEEKDAY_AT);
}

std::optional<std::array<qint16, 8>> innerCalValues(const QByteArray& reply)
{
    std::array<qint16, 8> v{};
    if (reply.size() < REPLY_PAYLOAD_AT + 2 * int(v.size()))
        return std::nullopt;
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = qint16(getU16(reply, REPLY_PAYLOAD_AT + 2 * int(i)));
    return v;
}

} // namespace net
