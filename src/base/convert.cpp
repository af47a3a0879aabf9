#include "base/convert.h"

QByteArray ChangeDataOrder(const QByteArray& a)
{
    return QByteArray(a.constData(), a.size()); // a private copy, same order
}

QString Hex2Bin(const QString& hex)
{
    static const QString table =
        QStringLiteral("0000000100100011010001010110011110001001101010111100110111101111");
    QString out;
    out.reserve(hex.size() * 4);
    for (QChar c : hex) {
        bool ok = false;
        int d = QString(c).toInt(&ok, 16);
        if (!ok)
            d = 0;
        out += table.mid(d * 4, 4);
    }
    return out;
}

std::int32_t WordToLong(std::int16_t v) { return static_cast<std::uint16_t>(v); }
std::int16_t LongToWord(std::int32_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF)); }
std::int16_t ByteToInt(std::uint8_t v) { return v; }
std::uint8_t IntToByte(std::int16_t v) { return static_cast<std::uint8_t>(v & 0xFF); }
