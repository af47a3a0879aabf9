#include "proto/firmware.h"

#include "proto/serial_frame.h"

namespace firmware {

std::vector<QByteArray> cutBlocks(const QByteArray& image, CutError* why)
{
    const auto fail = [&](CutError e) {
        if (why)
            *why = e;
        return std::vector<QByteArray>{};
    };
    if (image.isEmpty())
        return fail(CutError::Empty);
    const qint64 count = (qint64(image.size()) + BLOCK_SIZE - 1) / BLOCK_SIZE;
    if (count > MAX_BLOCKS)
        return fail(CutError::TooLarge);
    std::vector<QByteArray> blocks;
    blocks.reserve(std::size_t(count));
    for (qint64 at = 0; at < image.size(); at += BLOCK_SIZE) {
        QByteArray b = image.mid(at, BLOCK_SIZE);
        if (b.size() < BLOCK_SIZE)
            b.append(QByteArray(BLOCK_SIZE - b.size(), PAD));
        blocks.push_back(std::move(b));
    }
    if (why)
        *why = CutError::None;
    return blocks;
}

QByteArray startRequest() { return serial::buildFrame(FN_START); }

QByteArray sizeRequest(std::uint16_t blockCount)
{
    return serial::buildFrame(FN_SIZE, sizePayload(blockCount));
}

std::optional<QByteArray> blockRequest(const QByteArray& block)
{
    if (block.size() != BLOCK_SIZE)
        return std::nullopt;
    return serial::buildFrame(FN_BLOCK, block);
}

QByteArray startPayload() { return QByteArray(1, '\0'); }

QByteArray sizePayload(std::uint16_t blockCount)
{
    QByteArray p(2, '\0');
    p[0] = char(blockCount & 0xFF);
    p[1] = char(blockCount >> 8);
    return p;
}

} // namespace firmware
